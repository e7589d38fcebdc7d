// windows: the sub-windows (boxes) drawn inside the one window, and the dispatch of presses to
// menus, close corners and menu items before the widgets see them.
// Called by the frame procedure, the keyboard (Return in a box) and every modal box's loop.
// Invariant: opening a box clears the press in progress, the focus and the typed text.
#pragma once

// Window ids.
constexpr int WIN_EULA = 1;
constexpr int WIN_PREFS = 2;
constexpr int WIN_ABOUT = 994;
constexpr int WIN_ALERT = 995;
constexpr int WIN_NUKE_ALERT = 996;
constexpr int WIN_FILE_PROMPT = 997;
constexpr int WIN_FILE_OPEN = 998;
constexpr int WIN_FILE_SAVE = 999;

// 1 once a window has been started; the start-up screen draws only then.
extern int plot_init_lights;

void MACIBM_startwind(int id);
void MACIBM_handleclick(int force);

// Size of the box of a window id in virtual units; false for ids drawn on the whole screen.
bool box_size_of(int id, float* width, float* height);
