// Keyboard translation. Every key-down and auto-key event passes here once: function keys go
// to the application hook only, navigation keys drop the text focus, Return answers boxes,
// and printable characters are appended to the typed text.
#include "shell/keys.h"

#include "core/alert.h"
#include "core/header.h"
#include "core/mnw.h"
#include "core/xmap.h"
#include "platform/keymap.h"
#include "shell/hooks.h"
#include "shell/windows.h"

keys_class keys;

namespace {

constexpr char COMMAND_CHARACTER = -15;
constexpr int KEY_MINUS = 0x1B;

struct letter_key {
    int code;
    char letter;
};
constexpr letter_key LETTER_KEYS[] = {
    {0x00, 'A'}, {0x01, 'S'}, {0x02, 'D'}, {0x03, 'F'}, {0x04, 'H'}, {0x05, 'G'}, {0x06, 'Z'}, {0x07, 'X'}, {0x08, 'C'},
    {0x09, 'V'}, {0x0B, 'B'}, {0x0C, 'Q'}, {0x0D, 'W'}, {0x0E, 'E'}, {0x0F, 'R'}, {0x10, 'Y'}, {0x11, 'T'}, {0x1F, 'O'},
    {0x20, 'U'}, {0x22, 'I'}, {0x23, 'P'}, {0x25, 'L'}, {0x26, 'J'}, {0x28, 'K'}, {0x2D, 'N'}, {0x2E, 'M'},
};

// F1..F12 by their key codes.
constexpr int FUNCTION_KEYS[] = {0x7A, 0x78, 0x63, 0x76, 0x60, 0x61, 0x62, 0x64, 0x65, 0x6D, 0x67, 0x6F};
constexpr int FUNCTION_VALUE_BASE = 49;        // Fn gives 49 + n
constexpr int FUNCTION_VALUE_SHIFT_BASE = 61;  // with shift, 61 + n

// Keypad 1, 2, 3, 4, 5, 6 and 8 move like arrows.
constexpr int KEYPAD_NAVIGATION[] = {0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x5B};

// Typed text takes printable bytes only: control codes and forward delete would otherwise
// land in text fields and saved settings.
constexpr unsigned char FIRST_PRINTABLE = 0x20;
constexpr unsigned char DELETE_BYTE = 0x7F;

constexpr int KEYS_FILE_VERSION = 2;

bool control_letter(int key, bool shift, char* out)
{
    for (const letter_key& l : LETTER_KEYS) {
        if (l.code == key) {
            *out = shift ? l.letter : static_cast<char>(l.letter - 'A' + 'a');
            return true;
        }
    }
    if (key == KEY_MINUS) {
        *out = shift ? '_' : '-';
        return true;
    }
    return false;
}

int function_number(int key)
{
    for (int n = 0; n < 12; n++)
        if (FUNCTION_KEYS[n] == key)
            return n + 1;
    return 0;
}

bool is_arrow(int key)
{
    return key == plat::KEY_UP || key == plat::KEY_LEFT || key == plat::KEY_DOWN || key == plat::KEY_RIGHT;
}

int shifted_arrow_code(int key)
{
    switch (key) {
        case plat::KEY_UP:
            return KEY_CODE_SHIFT_UP;
        case plat::KEY_LEFT:
            return KEY_CODE_SHIFT_LEFT;
        case plat::KEY_DOWN:
            return KEY_CODE_SHIFT_DOWN;
        default:
            return KEY_CODE_SHIFT_RIGHT;
    }
}

bool is_keypad_navigation(int key)
{
    for (int k : KEYPAD_NAVIGATION)
        if (k == key)
            return true;
    return false;
}

}

void keys_class::handle_key(EventRecord event)
{
    int key = static_cast<int>((event.message >> 8) & 0xFF);
    bool command = event.modifiers & plat::MOD_COMMAND;
    bool shift = event.modifiers & plat::MOD_SHIFT;
    bool control = event.modifiers & plat::MOD_CONTROL;

    int code = command ? KEY_CODE_COMMAND : key * 256;
    char character = command ? COMMAND_CHARACTER : static_cast<char>(event.message & 0xFF);
    auto handlekey = shell_get_hooks().app.handlekey;

    bool letter_under_control = control && control_letter(key, shift, &character);
    if (!letter_under_control) {
        if (int n = function_number(key)) {
            if (handlekey)
                handlekey(KEY_KIND_FUNCTION, (shift ? FUNCTION_VALUE_SHIFT_BASE : FUNCTION_VALUE_BASE) + n);
            return;
        }
    }

    int kind = control ? KEY_KIND_CONTROL : KEY_KIND_PLAIN;
    bool moves = key == plat::KEY_TAB || is_arrow(key);
    if (moves || is_keypad_navigation(key)) {
        kind = KEY_KIND_NAVIGATION;
        if (is_arrow(key) && shift)
            code = shifted_arrow_code(key);
    }
    if (key == plat::KEY_RETURN)
        return_hit = 1;
    if (moves)
        mnw.focus = -1;
    if (mnw.cur_win != WIN_MAIN && return_hit) {
        MACIBM_handleclick(1);
        return;
    }

    mnw.key_code = character;
    if (mnw.cur_win != WIN_FILE_SAVE && mnw.focus < 0 && handlekey)
        handlekey(kind, kind == KEY_KIND_NAVIGATION ? code : character);

    if (moves)
        return;
    if (key == plat::KEY_DELETE) {
        if (!stl_input.empty())
            stl_input.pop_back();
        return;
    }
    if (key == plat::KEY_RETURN || command)
        return;
    unsigned char byte = static_cast<unsigned char>(character);
    if (byte >= FIRST_PRINTABLE && byte != DELETE_BYTE)
        stl_input.push_back(character);
}

void keys_class::init()
{
    xmap_class file(keys_path);
    int versions[] = {KEYS_FILE_VERSION, 0};
    if (!file.base || !file.check_file(FILE_TYPE_TEXT, versions, nullptr, nullptr)) {
        __MACIBM_alert(0, "Cannot open the keys file!", keys_path, "", "", ALERT_FATAL, "keys", 23);
        return;
    }
    if (file.cur < file.end)
        state = static_cast<unsigned char>(file.TXT_byt_scan());
    file.TXT_str_scan_eoln(nullptr);
}
