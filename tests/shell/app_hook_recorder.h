// The application hooks for shell test programs: they record what the shell hands them.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "shell/hooks.h"

namespace shell_test {

struct app_hook_log {
    int updates = 0;
    std::vector<std::pair<int, int>> keys;  // (kind, value)
    int texture_loads = 0;
    std::function<void()> on_update;  // extra drawing a test wants inside the frame's update

    void clear() { *this = app_hook_log{}; }
};

extern app_hook_log app_hooks;

// Loads an interface atlas whose swatch pixels hold colours the tests can tell apart, and counts
// the load: the texture hook of recording_hooks().
void load_swatch_atlas();

// The shell's table of a test program: the recording application hooks, the plain widget
// drawing and no menus. A test changes the members it needs on a copy before setting it.
shell_hooks recording_hooks();

// What a program's main sets before start-up: the core's table with the shell's own answers
// and the shell's table from recording_hooks().
void set_program_hooks();

}
