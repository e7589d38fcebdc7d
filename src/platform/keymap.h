// keymap: SDL key events turned into the classic event fields the keyboard translation reads.
// Key codes follow the physical key position and characters the US layout, so the same key
// press gives the same code and character on every machine (and under Xvfb).
// Invariant: mac_key_code answers -1 for any key the program has no code for; such keys make no event.
#pragma once

#include <cstdint>

namespace plat {

// Modifier bits of an event record.
constexpr int MOD_ACTIVE = 0x0001;
constexpr int MOD_COMMAND = 0x0100;
constexpr int MOD_SHIFT = 0x0200;
constexpr int MOD_CAPS_LOCK = 0x0400;
constexpr int MOD_OPTION = 0x0800;
constexpr int MOD_CONTROL = 0x1000;

// Virtual key codes the program itself tests.
constexpr int KEY_RETURN = 0x24;
constexpr int KEY_TAB = 0x30;
constexpr int KEY_DELETE = 0x33;  // the backspace key
constexpr int KEY_ESCAPE = 0x35;
constexpr int KEY_FORWARD_DELETE = 0x75;
constexpr int KEY_LEFT = 0x7B;
constexpr int KEY_RIGHT = 0x7C;
constexpr int KEY_DOWN = 0x7D;
constexpr int KEY_UP = 0x7E;

// Virtual key code of an SDL scancode, or -1.
int mac_key_code(int sdl_scancode);

// The event character of a key: its US-layout byte for printable keys (Shift and Caps Lock
// applied), the classic control code for Return, Tab, arrows and the like, else 0.
int key_character(int sdl_scancode, int modifiers);

// Event modifier bits of an SDL key-modifier state.
int modifier_bits(int sdl_keymod);

}
