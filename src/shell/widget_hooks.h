// widget_hooks: the widget and menu drawing that the shell's own boxes, tooltip, start-up screen
// and click dispatch use. The widgets sit above the shell, so they register their functions here
// at start-up (shell_set_widget_hooks / shell_set_menu_hooks); the shell never includes them.
// Invariant: an unset widget hook falls back to a plain drawing of the shell's own, so an alert
// can always be drawn and answered; an unset menu hook means "there are no menus".
#pragma once

#include <string>

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

void shell_set_widget_hooks(const shell_widget_hooks& hooks);
void shell_set_menu_hooks(const shell_menu_hooks& hooks);
const shell_widget_hooks& shell_widgets();
const shell_menu_hooks& shell_menus();
