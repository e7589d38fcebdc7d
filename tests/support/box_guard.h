// box_guard: a modal box runs its own frames until someone answers it, so a test that opens one it
// did not expect would sit in it until the suite's time runs out. While a guard lives, starting any
// window but the main screen throws unexpected_box, which names the box, and the test fails at once.
// Invariant: the shell's hook table is as before once the guard is gone.
#pragma once

#include <stdexcept>
#include <string>

#include "core/mnw.h"
#include "shell/hooks.h"
#include "shell/windows.h"

namespace test {

struct unexpected_box : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class box_guard {
public:
    box_guard() : saved_(shell_get_hooks())
    {
        // The shell calls this member each time a window starts, once cur_win names it.
        shell_hooks hooks = saved_;
        reset_popup_slot_ = saved_.menus.reset_popup_slot;
        hooks.menus.reset_popup_slot = &refuse_box;
        shell_set_hooks(hooks);
    }
    ~box_guard() { shell_set_hooks(saved_); }
    box_guard(const box_guard&) = delete;
    box_guard& operator=(const box_guard&) = delete;

private:
    static void refuse_box()
    {
        if (reset_popup_slot_)
            reset_popup_slot_();
        const int box = mnw.cur_win;
        if (box == WIN_MAIN)
            return;
        mnw.cur_win = WIN_MAIN;
        const char* name = box == WIN_FILE_PROMPT ? "the changed-file prompt"
            : box == WIN_ALERT                    ? "an alert"
            : box == WIN_EULA                     ? "the agreement"
            : box == WIN_PREFS                    ? "the preferences"
                                                  : "a box";
        throw unexpected_box("the test reached " + std::string(name) + " (window " + std::to_string(box) +
                             "), which it did not expect");
    }

    shell_hooks saved_;
    static inline void (*reset_popup_slot_)() = nullptr;
};

}  // namespace test
