#include "core/alert.h"

#include "core/globals.h"
#include "core/hooks.h"
#include "core/thread.h"
#include "platform/system_facts.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

void __MACIBM_alert(int window, std::string l1, std::string l2, std::string l3, std::string l4, int type,
                    const char* file, int line)
{
    if (file == nullptr)
        file = "";
    THREAD_throw_on_worker(l1, l2, l3, l4, file, line);
    if (auto alert = core_get_hooks().alert)
        alert(window, l1, l2, l3, l4, type, file, line);
    else
        alert_default(window, l1, l2, l3, l4, type, file, line);
    if (type == ALERT_FATAL) {
        // A fatal alert never returns, even when a replacement handler does.
        fflush(nullptr);
        _exit(1);
    }
}

void alert_default(int window, const std::string& l1, const std::string& l2, const std::string& l3,
                   const std::string& l4, int type, const char* file, int line)
{
    std::string shown = "ALERT: " + l1 + " " + l2 + " | " + l3 + " " + l4 + "\n";
    fputs(shown.c_str(), stderr);
    fflush(stderr);

    if (type == ALERT_MESSAGE || type == ALERT_FATAL) {
        xer << l1 << "\n" << l2 << "\n" << l3 << "\n" << l4 << "\n";
        if (type == ALERT_FATAL)
            xer << "(" << (file ? file : "") << " line " << line << ")"
                << "\n";
        xer.flush();
    }

    if (type != ALERT_FATAL)
        return;
    MACIBM_finishup(0);
    app_done = 1;
    // Workers may be blocked on their queues: no static destructor may run
    // under them, so leave without unwinding.
    fflush(nullptr);
    _exit(1);
}

void MACIBM_app_path(std::string* out, int* flag)
{
    if (auto app_path = core_get_hooks().app_path)
        app_path(out, flag);
    else
        app_path_default(out, flag);
}

void app_path_default(std::string* out, int* flag)
{
    // An unreadable link gives "", which has no folder either.
    const std::string exe = plat::executable_path();
    size_t slash = exe.rfind('/');
    if (slash == std::string::npos)
        return;
    if (out)
        *out = exe.substr(0, slash + 1);
    if (flag)
        *flag = 1;
}

void MACIBM_finishup(int write_prefs)
{
    if (auto finishup = core_get_hooks().finishup)
        finishup(write_prefs);
    else
        finishup_default(write_prefs);
}

void finishup_default(int write_prefs)
{
    xer.clear();
    if (xer.is_open())
        xer.close();
}

void MACIBM_show_init(const std::string& message, float* fraction)
{
    if (auto show_init = core_get_hooks().show_init)
        show_init(message, fraction);
}
