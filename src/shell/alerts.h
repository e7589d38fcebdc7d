// alerts: the program-wide alert as the shell shows it (the four-line box drawn in OpenGL, the
// system box before OpenGL is up or inside another alert), and the three-answer box.
// Reached through __MACIBM_alert of core/alert.h once main has set the core's table (shell_fill_core_hooks).
// Invariant: a fatal alert logs, finishes up and ends the process with status 1; it never returns.
#pragma once

#include <string>

void shell_alert(int back_window, const std::string& line1, const std::string& line2, const std::string& line3,
                 const std::string& line4, int type, const char* file, int line);

int MACIBM_nuke_alert(std::string name, int three_buttons);

// Alert type 0: the language choice.
constexpr int ALERT_LANGUAGE = 0;
