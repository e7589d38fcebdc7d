#pragma once
// Records alerts instead of showing them (a fatal one throws recorded_fatal), so tests can check the four lines,
// the type and the source of every alert raised while it is installed.

#include "core/alert.h"

#include <mutex>
#include <string>
#include <vector>

// Thrown by the recorder for a fatal alert: the alert never returns, so a
// test observes it by catching this.
struct recorded_fatal { };

struct recorded_alert {
    std::string l1, l2, l3, l4;
    int type;
    std::string file;
    int line;
};

class alert_recorder {
public:
    alert_recorder() { alert_set_handler(&record); clear(); }
    ~alert_recorder() { alert_set_handler(nullptr); }

    static std::vector<recorded_alert> alerts()
    {
        std::lock_guard guard(mutex());
        return list();
    }
    static void clear()
    {
        std::lock_guard guard(mutex());
        list().clear();
    }

private:
    static void record(int, const std::string& l1, const std::string& l2, const std::string& l3,
                       const std::string& l4, int type, const char* file, int line)
    {
        {
            std::lock_guard guard(mutex());
            list().push_back({ l1, l2, l3, l4, type, file ? file : "", line });
        }
        if (type == 2)
            throw recorded_fatal {};
    }
    static std::mutex& mutex() { static std::mutex m; return m; }
    static std::vector<recorded_alert>& list() { static std::vector<recorded_alert> v; return v; }
};
