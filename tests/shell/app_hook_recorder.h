// The application hooks for shell test programs: they record what the shell hands them.
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace shell_test {

struct app_hook_log {
    int updates = 0;
    std::vector<std::pair<int, int>> keys;  // (kind, value)
    std::vector<int> menus;
    int texture_loads = 0;
    std::function<void()> on_update;  // extra drawing a test wants inside APP_update

    void clear() { *this = app_hook_log{}; }
};

extern app_hook_log app_hooks;

}
