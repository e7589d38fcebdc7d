#include "core/exce.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/thread.h"

#include <atomic>
#include <mutex>

exce_class::exce_class() : file("no exception"), line(0) { }

exce_class::exce_class(std::string l1, std::string l2, std::string l3, std::string l4, const char* f, int l)
    : line1(std::move(l1)), line2(std::move(l2)), line3(std::move(l3)), line4(std::move(l4)), file(f), line(l)
{
}

static void write_lines(const exce_class& e)
{
    xer << e.line1 << "\n" << e.line2 << "\n" << e.line3 << "\n" << e.line4 << "\n";
    xer.flush();
}

void exce_class::ReportAndContinue()
{
    if (THREAD_is_inited() && !THREAD_is_main_thread()) {
        {
            std::lock_guard guard(xer_mutex);
            xer << "EXCEPTION REPORTED FROM THREAD!!  File: " << file << ", line " << line << ".\n";
            write_lines(*this);
        }
        // A worker cannot run the shut-down sequence itself (it would join
        // itself and close the window off the main thread): the main loop sees
        // app_done and main() finishes up once, writing the preferences.
        app_done.store(1);
        return;
    }
    __MACIBM_alert(0, line1, line2, line3, line4, 1, "DEzovuv/OOPS_cpp/exce", 73);
}

void exce_class::LogAndContinue()
{
    std::lock_guard guard(xer_mutex);
    xer << "Logging Exception thrown from file: " << file << ", line " << line << ".\n";
    write_lines(*this);
}
