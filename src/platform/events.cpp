#include "platform/events.h"

#include <SDL2/SDL.h>

#include "platform/keymap.h"

namespace plat {

namespace {

// Focus gained gives two records; the second waits here for the next read.
bool pending_valid = false;
event_record pending;

wheel_handler& current_wheel_handler()
{
    static wheel_handler handler;
    return handler;
}

event_record key_record(const SDL_KeyboardEvent& key, int kind)
{
    event_record r;
    int code = mac_key_code(key.keysym.scancode);
    if (code < 0)
        return r;
    int modifiers = modifier_bits(key.keysym.mod);
    r.what = kind;
    r.modifiers = modifiers;
    r.message = static_cast<uint32_t>(key_character(key.keysym.scancode, modifiers) & 0xFF) |
        (static_cast<uint32_t>(code) << 8);
    r.when = key.timestamp;
    return r;
}

event_record translate(const SDL_Event& e)
{
    event_record r;
    switch (e.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.button != SDL_BUTTON_LEFT)
                return r;
            r.what = e.type == SDL_MOUSEBUTTONDOWN ? EVENT_MOUSE_DOWN : EVENT_MOUSE_UP;
            r.where_h = e.button.x;
            r.where_v = e.button.y;
            r.when = e.button.timestamp;
            r.modifiers = modifier_bits(SDL_GetModState());
            return r;
        case SDL_KEYDOWN:
            return key_record(e.key, e.key.repeat ? EVENT_AUTO_KEY : EVENT_KEY_DOWN);
        case SDL_KEYUP:
            return key_record(e.key, EVENT_KEY_UP);
        case SDL_MOUSEWHEEL: {
            int steps = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (current_wheel_handler())
                current_wheel_handler()(steps);
            return r;
        }
        case SDL_QUIT:
            r.what = EVENT_HIGH_LEVEL;
            r.when = e.quit.timestamp;
            return r;
        case SDL_WINDOWEVENT:
            r.when = e.window.timestamp;
            switch (e.window.event) {
                case SDL_WINDOWEVENT_EXPOSED:
                    r.what = EVENT_UPDATE;
                    return r;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    r.what = EVENT_ACTIVATE;
                    r.modifiers = MOD_ACTIVE;
                    pending = event_record{};
                    pending.what = EVENT_OS;
                    pending.when = r.when;
                    pending_valid = true;
                    return r;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    r.what = EVENT_OS;
                    return r;
                default:
                    return r;
            }
        default:
            return r;
    }
}

bool take_pending(event_record* out)
{
    if (!pending_valid)
        return false;
    *out = pending;
    pending_valid = false;
    return true;
}

}

bool poll_event(event_record* out)
{
    if (take_pending(out))
        return true;
    SDL_Event e;
    if (!SDL_PollEvent(&e))
        return false;
    *out = translate(e);
    return true;
}

bool wait_event(event_record* out, int timeout_ms)
{
    if (take_pending(out))
        return true;
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, timeout_ms))
        return false;
    *out = translate(e);
    return true;
}

void set_wheel_handler(wheel_handler handler)
{
    current_wheel_handler() = std::move(handler);
}

void flush_events()
{
    pending_valid = false;
    if (SDL_WasInit(SDL_INIT_EVENTS))
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void mouse_position(int* x, int* y)
{
    SDL_GetMouseState(x, y);
}

void push_key_event(int sdl_scancode, bool down, bool repeat, int sdl_keymod)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = static_cast<SDL_Scancode>(sdl_scancode);
    e.key.keysym.sym = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(sdl_scancode));
    e.key.keysym.mod = static_cast<Uint16>(sdl_keymod);
    e.key.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}

void push_button_event(int x, int y, bool down)
{
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    e.button.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}

void push_wheel_event(int steps, bool flipped)
{
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = steps;
    e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    e.wheel.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}

}
