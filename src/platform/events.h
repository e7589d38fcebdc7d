// events: the SDL event queue read as the classic event records the frame procedure dispatches.
// Kinds: 1 button down, 2 button up, 3 key down, 4 key up, 5 key repeat, 6 update, 8 activate,
// 15 operating-system event (focus change), 23 high-level event (a quit request).
// Invariant: mouse motion produces no record; the wheel goes to the wheel handler, never a record.
#pragma once

#include <cstdint>
#include <functional>

namespace plat {

enum event_kind : int {
    EVENT_NULL = 0,
    EVENT_MOUSE_DOWN = 1,
    EVENT_MOUSE_UP = 2,
    EVENT_KEY_DOWN = 3,
    EVENT_KEY_UP = 4,
    EVENT_AUTO_KEY = 5,
    EVENT_UPDATE = 6,
    EVENT_ACTIVATE = 8,
    EVENT_OS = 15,
    EVENT_HIGH_LEVEL = 23,
};

// One event: `message` holds the character in its low byte and the key code in the next.
struct event_record {
    int what = EVENT_NULL;
    uint32_t message = 0;
    uint32_t when = 0;  // milliseconds since the video layer started
    int where_h = 0;    // pixel position in the window, y down
    int where_v = 0;
    int modifiers = 0;  // MOD_* bits of platform/keymap.h
};

// Reads the next queued event without waiting. Returns false when the queue is empty; true
// with *out filled otherwise (out->what is EVENT_NULL for an event that has no record).
bool poll_event(event_record* out);
// The same, waiting up to timeout_ms for an event to arrive.
bool wait_event(event_record* out, int timeout_ms);

// Receives the summed steps of each wheel event, already turned for a flipped wheel.
using wheel_handler = std::function<void(int steps)>;
void set_wheel_handler(wheel_handler handler);

// Drops every queued event.
void flush_events();

// Mouse position in the window's pixels (y down) as the window system knows it now.
void mouse_position(int* x, int* y);

// Puts a synthetic key or button event into the real queue, for tests and benchmarks.
void push_key_event(int sdl_scancode, bool down, bool repeat, int sdl_keymod);
void push_button_event(int x, int y, bool down);
void push_wheel_event(int steps, bool flipped);

}
