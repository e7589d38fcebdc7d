#include "platform/keymap.h"

#include <SDL2/SDL.h>

namespace plat {

namespace {

struct key_entry {
    SDL_Scancode scancode;
    int mac_code;
    char plain;    // US-layout character without Shift, 0 for none
    char shifted;  // with Shift
    int control;   // classic control code for non-printing keys
};

// Classic control codes of the non-printing keys.
constexpr int CHAR_HOME = 1;
constexpr int CHAR_ENTER = 3;
constexpr int CHAR_END = 4;
constexpr int CHAR_BACKSPACE = 8;
constexpr int CHAR_TAB = 9;
constexpr int CHAR_PAGE_UP = 11;
constexpr int CHAR_PAGE_DOWN = 12;
constexpr int CHAR_RETURN = 13;
constexpr int CHAR_FUNCTION = 16;
constexpr int CHAR_ESCAPE = 27;
constexpr int CHAR_LEFT = 28;
constexpr int CHAR_RIGHT = 29;
constexpr int CHAR_UP = 30;
constexpr int CHAR_DOWN = 31;
constexpr int CHAR_FORWARD_DELETE = 127;

// clang-format off
constexpr key_entry KEYS[] = {
    {SDL_SCANCODE_A, 0x00, 'a', 'A', 0}, {SDL_SCANCODE_S, 0x01, 's', 'S', 0},
    {SDL_SCANCODE_D, 0x02, 'd', 'D', 0}, {SDL_SCANCODE_F, 0x03, 'f', 'F', 0},
    {SDL_SCANCODE_H, 0x04, 'h', 'H', 0}, {SDL_SCANCODE_G, 0x05, 'g', 'G', 0},
    {SDL_SCANCODE_Z, 0x06, 'z', 'Z', 0}, {SDL_SCANCODE_X, 0x07, 'x', 'X', 0},
    {SDL_SCANCODE_C, 0x08, 'c', 'C', 0}, {SDL_SCANCODE_V, 0x09, 'v', 'V', 0},
    {SDL_SCANCODE_B, 0x0B, 'b', 'B', 0}, {SDL_SCANCODE_Q, 0x0C, 'q', 'Q', 0},
    {SDL_SCANCODE_W, 0x0D, 'w', 'W', 0}, {SDL_SCANCODE_E, 0x0E, 'e', 'E', 0},
    {SDL_SCANCODE_R, 0x0F, 'r', 'R', 0}, {SDL_SCANCODE_Y, 0x10, 'y', 'Y', 0},
    {SDL_SCANCODE_T, 0x11, 't', 'T', 0}, {SDL_SCANCODE_O, 0x1F, 'o', 'O', 0},
    {SDL_SCANCODE_U, 0x20, 'u', 'U', 0}, {SDL_SCANCODE_I, 0x22, 'i', 'I', 0},
    {SDL_SCANCODE_P, 0x23, 'p', 'P', 0}, {SDL_SCANCODE_L, 0x25, 'l', 'L', 0},
    {SDL_SCANCODE_J, 0x26, 'j', 'J', 0}, {SDL_SCANCODE_K, 0x28, 'k', 'K', 0},
    {SDL_SCANCODE_N, 0x2D, 'n', 'N', 0}, {SDL_SCANCODE_M, 0x2E, 'm', 'M', 0},

    {SDL_SCANCODE_1, 0x12, '1', '!', 0}, {SDL_SCANCODE_2, 0x13, '2', '@', 0},
    {SDL_SCANCODE_3, 0x14, '3', '#', 0}, {SDL_SCANCODE_4, 0x15, '4', '$', 0},
    {SDL_SCANCODE_6, 0x16, '6', '^', 0}, {SDL_SCANCODE_5, 0x17, '5', '%', 0},
    {SDL_SCANCODE_EQUALS, 0x18, '=', '+', 0}, {SDL_SCANCODE_9, 0x19, '9', '(', 0},
    {SDL_SCANCODE_7, 0x1A, '7', '&', 0}, {SDL_SCANCODE_MINUS, 0x1B, '-', '_', 0},
    {SDL_SCANCODE_8, 0x1C, '8', '*', 0}, {SDL_SCANCODE_0, 0x1D, '0', ')', 0},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1E, ']', '}', 0}, {SDL_SCANCODE_LEFTBRACKET, 0x21, '[', '{', 0},
    {SDL_SCANCODE_APOSTROPHE, 0x27, '\'', '"', 0}, {SDL_SCANCODE_SEMICOLON, 0x29, ';', ':', 0},
    {SDL_SCANCODE_BACKSLASH, 0x2A, '\\', '|', 0}, {SDL_SCANCODE_COMMA, 0x2B, ',', '<', 0},
    {SDL_SCANCODE_SLASH, 0x2C, '/', '?', 0}, {SDL_SCANCODE_PERIOD, 0x2F, '.', '>', 0},
    {SDL_SCANCODE_GRAVE, 0x32, '`', '~', 0},

    {SDL_SCANCODE_RETURN, 0x24, 0, 0, CHAR_RETURN}, {SDL_SCANCODE_TAB, 0x30, 0, 0, CHAR_TAB},
    {SDL_SCANCODE_SPACE, 0x31, ' ', ' ', 0}, {SDL_SCANCODE_BACKSPACE, 0x33, 0, 0, CHAR_BACKSPACE},
    {SDL_SCANCODE_ESCAPE, 0x35, 0, 0, CHAR_ESCAPE},
    {SDL_SCANCODE_DELETE, 0x75, 0, 0, CHAR_FORWARD_DELETE},
    {SDL_SCANCODE_HOME, 0x73, 0, 0, CHAR_HOME}, {SDL_SCANCODE_END, 0x77, 0, 0, CHAR_END},
    {SDL_SCANCODE_PAGEUP, 0x74, 0, 0, CHAR_PAGE_UP}, {SDL_SCANCODE_PAGEDOWN, 0x79, 0, 0, CHAR_PAGE_DOWN},
    {SDL_SCANCODE_LEFT, 0x7B, 0, 0, CHAR_LEFT}, {SDL_SCANCODE_RIGHT, 0x7C, 0, 0, CHAR_RIGHT},
    {SDL_SCANCODE_DOWN, 0x7D, 0, 0, CHAR_DOWN}, {SDL_SCANCODE_UP, 0x7E, 0, 0, CHAR_UP},

    {SDL_SCANCODE_KP_0, 0x52, '0', '0', 0}, {SDL_SCANCODE_KP_1, 0x53, '1', '1', 0},
    {SDL_SCANCODE_KP_2, 0x54, '2', '2', 0}, {SDL_SCANCODE_KP_3, 0x55, '3', '3', 0},
    {SDL_SCANCODE_KP_4, 0x56, '4', '4', 0}, {SDL_SCANCODE_KP_5, 0x57, '5', '5', 0},
    {SDL_SCANCODE_KP_6, 0x58, '6', '6', 0}, {SDL_SCANCODE_KP_7, 0x59, '7', '7', 0},
    {SDL_SCANCODE_KP_8, 0x5B, '8', '8', 0}, {SDL_SCANCODE_KP_9, 0x5C, '9', '9', 0},
    {SDL_SCANCODE_KP_ENTER, 0x4C, 0, 0, CHAR_ENTER}, {SDL_SCANCODE_KP_PERIOD, 0x41, '.', '.', 0},
    {SDL_SCANCODE_KP_MULTIPLY, 0x43, '*', '*', 0}, {SDL_SCANCODE_KP_PLUS, 0x45, '+', '+', 0},
    {SDL_SCANCODE_KP_DIVIDE, 0x4B, '/', '/', 0}, {SDL_SCANCODE_KP_MINUS, 0x4E, '-', '-', 0},
    {SDL_SCANCODE_KP_EQUALS, 0x51, '=', '=', 0},

    {SDL_SCANCODE_F1, 0x7A, 0, 0, CHAR_FUNCTION}, {SDL_SCANCODE_F2, 0x78, 0, 0, CHAR_FUNCTION},
    {SDL_SCANCODE_F3, 0x63, 0, 0, CHAR_FUNCTION}, {SDL_SCANCODE_F4, 0x76, 0, 0, CHAR_FUNCTION},
    {SDL_SCANCODE_F5, 0x60, 0, 0, CHAR_FUNCTION}, {SDL_SCANCODE_F6, 0x61, 0, 0, CHAR_FUNCTION},
    {SDL_SCANCODE_F7, 0x62, 0, 0, CHAR_FUNCTION}, {SDL_SCANCODE_F8, 0x64, 0, 0, CHAR_FUNCTION},
    {SDL_SCANCODE_F9, 0x65, 0, 0, CHAR_FUNCTION}, {SDL_SCANCODE_F10, 0x6D, 0, 0, CHAR_FUNCTION},
    {SDL_SCANCODE_F11, 0x67, 0, 0, CHAR_FUNCTION}, {SDL_SCANCODE_F12, 0x6F, 0, 0, CHAR_FUNCTION},
};
// clang-format on

const key_entry* find_key(int scancode)
{
    for (const key_entry& k : KEYS)
        if (k.scancode == scancode)
            return &k;
    return nullptr;
}

bool is_letter(char c)
{
    return c >= 'a' && c <= 'z';
}

}

int mac_key_code(int sdl_scancode)
{
    const key_entry* k = find_key(sdl_scancode);
    return k ? k->mac_code : -1;
}

int key_character(int sdl_scancode, int modifiers)
{
    const key_entry* k = find_key(sdl_scancode);
    if (!k)
        return 0;
    if (!k->plain)
        return k->control;
    bool shift = (modifiers & MOD_SHIFT) != 0;
    // Caps Lock shifts letters only, as on the US layout.
    if (is_letter(k->plain) && (modifiers & MOD_CAPS_LOCK))
        shift = !shift;
    return static_cast<unsigned char>(shift ? k->shifted : k->plain);
}

int modifier_bits(int sdl_keymod)
{
    int bits = 0;
    if (sdl_keymod & KMOD_GUI)
        bits |= MOD_COMMAND;
    if (sdl_keymod & KMOD_SHIFT)
        bits |= MOD_SHIFT;
    if (sdl_keymod & KMOD_CAPS)
        bits |= MOD_CAPS_LOCK;
    if (sdl_keymod & KMOD_ALT)
        bits |= MOD_OPTION;
    if (sdl_keymod & KMOD_CTRL)
        bits |= MOD_CONTROL;
    return bits;
}

}
