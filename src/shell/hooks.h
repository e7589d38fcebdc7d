// hooks: the shell's calls into the layers above it (the installer's frame, keys, menu picks and art; the
// widgets' drawing of boxes, tooltip, start-up screen and menus). The program's main or a test fixture fills
// it (widgets_fill_shell_hooks, installer_fill_shell_hooks) and sets it on the main thread before MACIBM_init.
// Adding a call is one member line; its caller skips it while null. Invariant: the six widget members below
// never read null (the shell's plain drawing stands in, so an alert can always be answered).
#pragma once

#include <string>

#include "core/hooks.h"

struct shell_app_hooks {
    void (*update)() = nullptr;  // APP_update: draws and answers the main screen, once per frame without a box
    // APP_handlekey: a translated key; kind 0 plain, 1 navigation, 2 with control, 3 function key.
    void (*handlekey)(int kind, int value) = nullptr;
    void (*handlemenu)(int code) = nullptr;  // APP_handlemenu: a picked menu item's code
    // Loads the interface images at start-up, leaving the interface atlas in scratch_array.
    void (*recall_ins_texes)() = nullptr;
    // The frame's wait when no event is queued: up to milliseconds on something of the
    // application's own (the installer's downloads); -1 when it had nothing to wait on, and
    // the shell waits for events as usual.
    int (*wait)(int milliseconds) = nullptr;
};

struct shell_widget_hooks {
    void (*fillwin)(int style, int type) = nullptr;                                                       // BTN_fillwin
    int (*action)(float x, float y, float width, int lit, int mode, std::string label) = nullptr;         // BTN_action
    int (*is_int)(float x, float y, int* variable, int value, std::string label) = nullptr;               // BTN_is_int
    void (*frame1)(int style, float x, float y, float width, int colour) = nullptr;                       // BTN_frame1
    void (*frame2)(int style, float x, float y, float width, float height, std::string title) = nullptr;  // BTN_frame2
    int (*zap_boxes)(int pressed) = nullptr;  // BTN_zap_boxes
};

// Menu result of a pick.
constexpr int MENU_PICK_NONE = 0;   // no item under the mouse
constexpr int MENU_PICK_ITEM = 1;   // an item of an ordinary menu; *code is for APP_handlemenu
constexpr int MENU_PICK_POPUP = 2;  // an item of the pop-up slot; the pop-up globals are already set

struct shell_menu_hooks {
    void (*clear_menus)(int flag) = nullptr;  // MACIBM_clear_menus
    void (*hover)() = nullptr;                // frame step: moving onto another title opens it
    void (*draw)() = nullptr;                 // draws the open menu over everything
    // Index of the menu-bar title (or submenu of the open menu) under the mouse of mnw, -1 none.
    int (*title_at)() = nullptr;
    // Picks the item of `menu` under the mouse of mnw (MENU_PICK_*).
    int (*pick_item)(int menu, int* code) = nullptr;
    void (*reset_popup_slot)() = nullptr;  // the pop-up slot's rectangle to (-1, -1, -1, -1)
};

struct shell_hooks {
    shell_app_hooks app;
    shell_widget_hooks widgets;
    shell_menu_hooks menus;
};

void shell_set_hooks(const shell_hooks& hooks);
// The table in force; every widget member is set (null ones hold the plain drawing).
const shell_hooks& shell_get_hooks();

// Sets the members of the core's table that the shell answers (alert, application folder,
// shut-down, start-up screen); leaves the others as they are.
void shell_fill_core_hooks(core_hooks& hooks);
