// hooks: the installer's answers to the shell (its frame, keys, menu picks and art), and the start of
// every program built on the installer: installer_set_all_hooks fills and sets the table of each
// layer below with the functions of the layers above it. The programs' main calls it first, on the
// main thread, before MACIBM_init; test fixtures that need only part of this fill their own tables.
#pragma once

#include "shell/hooks.h"

// Draws and answers the main screen; once per frame while no sized box is open.
void APP_update();
// A translated key (KEY_KIND_* of shell/keys.h); the installer answers none.
void APP_handlekey(int kind, int value);
// A picked menu item's code; the installer has no menus.
void APP_handlemenu(int code);

// Sets the application members of the shell's table; leaves the others as they are.
void installer_fill_shell_hooks(shell_hooks& hooks);
// The core's, the graphics layer's and the shell's tables, filled by every library above each one.
void installer_set_all_hooks();
