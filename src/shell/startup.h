// startup: the process from launch to the first drawable frame (MACIBM_init) and back down
// (the shell's finish-up, reached through MACIBM_finishup of core/alert.h).
// The installer's entry sets the hook tables, then calls MACIBM_init; the fatal alert and launch_app finish up.
// Invariant: ogl_inited is 0 until the window, its context and the palette are ready, so every
// alert raised during start-up goes to the system box.
#pragma once

#include <string>

extern int ogl_inited;
// The main screen's size, refreshed by every MACIBM_setres.
extern int g_mon_x_res_now, g_mon_y_res_now;

void MACIBM_init(int argc, const char* const* argv);
void MACIBM_setres(int entering);
void MACIBM_setupforlang();
void IBM_turnoff();

// The shell's answers to the core's calls, as shell_fill_core_hooks sets them.
void shell_app_path(std::string* path, int* case_flag);
void shell_finishup(int save);
void shell_show_init(const std::string& message, float* fraction);

// The folder that holds the application, from the executable's path: cut at the last
// "/Contents/MacOS/", then keep up to the last separator before the final character.
std::string app_folder_of(const std::string& executable);

// The log header's text for the given facts (the machine part of start-up step 6).
void write_log_header();

// The screen-depth rule of MACIBM_setres, apart from the screen.
struct screen_mode {
    int width = 0, height = 0, depth = 0;
};
struct setres_memory {
    bool remembered = false;
    screen_mode original;
    int may_change_original = 0;
};
// Returns the depth to switch the screen to, or 0 for no change. `memory` keeps the first
// call's screen, as the original kept it in function statics.
int setres_decide(int entering, const screen_mode& now, int set_res, int requested_depth, setres_memory* memory);
