#pragma once
// The program-wide alert and the other shell services that lower layers call.
//
// The core library cannot include the shell, yet every layer reports failures
// through the alert, finds the application's folder and shuts the program
// down. Each service therefore dispatches through the core's hook table
// (core/hooks.h): the shell's functions in the programs, recorders in tests,
// and the core's plain defaults below wherever a member is null.

#include <string>

// Values of the alert's `type` argument.
enum alert_type : int {
    ALERT_MESSAGE = 1,  // shown and logged; the program goes on
    ALERT_FATAL = 2,    // shown and logged; the program ends with status 1
};

// The program-wide alert. Off the main thread while the worker pool runs, it
// shows nothing and throws instead (THREAD_throw_on_worker).
// A fatal alert never returns.
void __MACIBM_alert(int window, std::string l1, std::string l2, std::string l3, std::string l4, int type,
                    const char* file, int line);

// Sets *out to the absolute path of the folder holding the application,
// ending in '/'; sets *flag to 1 when flag is not null.
void MACIBM_app_path(std::string* out, int* flag);

// The shut-down sequence; a non-zero argument also writes the preferences and
// stops the worker pool (the shell's handler does that part).
void MACIBM_finishup(int write_prefs);

// The start-up progress screen; does nothing until the shell draws one.
void MACIBM_show_init(const std::string& message, float* fraction);

// The core's own handlers, for a handler that wants to fall back on them.
// The default alert prints "ALERT: <l1 l2> | <l3 l4>" to stderr, appends the
// lines to `xer` and, for a fatal alert, finishes up and ends the process
// with status 1.
void alert_default(int window, const std::string& l1, const std::string& l2, const std::string& l3,
                   const std::string& l4, int type, const char* file, int line);
void app_path_default(std::string* out, int* flag);
void finishup_default(int write_prefs);
