#pragma once
// The program-wide alert and the other shell services that lower layers call.
//
// The core library cannot include the shell, yet every layer reports failures
// through the alert, finds the application's folder and shuts the program
// down. Each service therefore dispatches to a replaceable handler: the core
// installs a plain default (log, stderr, exit), the shell installs its own at
// start-up, and tests install recorders. Passing null to a setter restores
// the default.

#include <string>

// Values of the alert's `type` argument.
enum alert_type : int {
    ALERT_MESSAGE = 1,  // shown and logged; the program goes on
    ALERT_FATAL = 2,    // shown and logged; the program ends with status 1
};

// The program-wide alert. Off the main thread while the worker pool runs,
// the worker hook (below) throws instead of showing anything.
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

// Handlers. Each setter takes null to restore the default.
using alert_handler = void (*)(int window, const std::string& l1, const std::string& l2, const std::string& l3,
                               const std::string& l4, int type, const char* file, int line);
using app_path_handler = void (*)(std::string* out, int* flag);
using finishup_handler = void (*)(int write_prefs);
using show_init_handler = void (*)(const std::string& message, float* fraction);

void alert_set_handler(alert_handler handler);
void app_path_set_handler(app_path_handler handler);
void finishup_set_handler(finishup_handler handler);
void show_init_set_handler(show_init_handler handler);

// Runs before any alert handler. The thread pool installs one that throws an
// `exce_class` when the pool is running and the caller is not the main
// thread; returning means "show the alert here". Null removes it.
using alert_worker_hook = void (*)(const std::string& l1, const std::string& l2, const std::string& l3,
                                   const std::string& l4, const char* file, int line);
void alert_set_worker_hook(alert_worker_hook hook);

// The core's own handlers, for a handler that wants to fall back on them.
// The default alert prints "ALERT: <l1 l2> | <l3 l4>" to stderr, appends the
// lines to `xer` and, for a fatal alert, finishes up and ends the process
// with status 1.
void alert_default(int window, const std::string& l1, const std::string& l2, const std::string& l3,
                   const std::string& l4, int type, const char* file, int line);
void app_path_default(std::string* out, int* flag);
void finishup_default(int write_prefs);
