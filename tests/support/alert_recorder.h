#pragma once
// Records alerts instead of showing them, so tests can check the four lines, the type and the source of
// every alert raised while a recorder is installed.
//
// A fatal alert never returns: after the handler the program ends unless the handler throws. So the
// recorder throws fatal_alert for one, and the test observes it by catching that.

#include "core/alert.h"
#include "support/core_hook.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace test {

struct recorded_alert {
    std::string l1, l2, l3, l4;
    int type = 0;
    std::string file;
    int line = 0;
};

// An alert in one line, to compare all of it at once: "l1|l2|l3|l4|type|file:line".
inline std::string summary(const recorded_alert& a)
{
    return a.l1 + "|" + a.l2 + "|" + a.l3 + "|" + a.l4 + "|" + std::to_string(a.type) + "|" + a.file + ":" +
        std::to_string(a.line);
}

// Thrown by the recorder for a fatal alert.
struct fatal_alert {
    recorded_alert alert;
};

class alert_recorder {
public:
    alert_recorder()
    {
        clear();
        set_core_hook(&core_hooks::alert, &record);
    }
    ~alert_recorder() { set_core_hook(&core_hooks::alert, nullptr); }
    alert_recorder(const alert_recorder&) = delete;
    alert_recorder& operator=(const alert_recorder&) = delete;

    // Read these once the threads that may raise alerts have finished.
    static const std::vector<recorded_alert>& alerts() { return list(); }
    static void clear()
    {
        std::lock_guard guard(mutex());
        list().clear();
    }

    // The handler itself, for a test that installs it by hand.
    static void record(int, const std::string& l1, const std::string& l2, const std::string& l3, const std::string& l4,
                       int type, const char* file, int line)
    {
        recorded_alert alert{l1, l2, l3, l4, type, file ? file : "", line};
        {
            std::lock_guard guard(mutex());
            list().push_back(alert);
        }
        if (type == ALERT_FATAL)
            throw fatal_alert{alert};
    }

private:
    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }
    static std::vector<recorded_alert>& list()
    {
        static std::vector<recorded_alert> v;
        return v;
    }
};

// Runs `call` and returns the fatal alert it raised; fails the test when none was raised.
inline recorded_alert expect_fatal(const std::function<void()>& call)
{
    try {
        call();
    } catch (const fatal_alert& fatal) {
        return fatal.alert;
    }
    ADD_FAILURE() << "no fatal alert was raised";
    return {};
}

}  // namespace test
