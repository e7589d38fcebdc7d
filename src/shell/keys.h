// keys: keyboard translation of key-down and auto-key events into key codes for the
// application's key hook, the typed text stl_input and the Return flag return_hit.
// Called by the frame procedure's event dispatch, on the main thread only.
// Invariant: stl_input only ever gains printable bytes (0x20 and above, never 0x7F).
#pragma once

#include <string>

#include "platform/carbon_types.h"

// Key codes for shifted arrows and command keys.
constexpr int KEY_CODE_COMMAND = -9999;
constexpr int KEY_CODE_SHIFT_UP = 50000;
constexpr int KEY_CODE_SHIFT_LEFT = 50001;
constexpr int KEY_CODE_SHIFT_DOWN = 50002;
constexpr int KEY_CODE_SHIFT_RIGHT = 50003;

// Kinds passed to APP_handlekey.
constexpr int KEY_KIND_PLAIN = 0;
constexpr int KEY_KIND_NAVIGATION = 1;
constexpr int KEY_KIND_CONTROL = 2;
constexpr int KEY_KIND_FUNCTION = 3;

class keys_class {
public:
    void handle_key(EventRecord event);
    // Reads the keys file at keys_path; a file that cannot be read is a fatal alert.
    void init();

    unsigned char state = 0;
    std::string keys_path;
};

extern keys_class keys;
