// The exception object, the command line, statistics, remote commands and
// the lazy memory pool.

#include "core/cmdline.h"
#include "core/exce.h"
#include "core/stats.h"
#include "core/thread.h"

#include "support/alert_recorder.h"
#include "support/log_capture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace test;

namespace {

std::atomic<int> workers_go{0}, finishups{0};

// Logs an object and, for even numbers, reports it; every worker starts at
// the same moment so that the log is written from all of them at once.
void* log_and_report(void* arg)
{
    int n = static_cast<int>(reinterpret_cast<intptr_t>(arg));
    while (!workers_go.load())
        std::this_thread::yield();
    exce_class e("line " + std::to_string(n), "", "third " + std::to_string(n), "", "src/worker", n);
    e.LogAndContinue();
    if (n % 2 == 0)
        e.ReportAndContinue();
    return nullptr;
}

TEST(Exception, ReportOnAWorkerLogsAndAsksTheMainLoopToEndAndOnTheMainThreadIsAMessage)
{
    alert_recorder recorder;
    log_capture log;
    test::set_core_hook(&core_hooks::finishup, [](int) { finishups++; });
    app_done = 0;
    THREAD_init();
    const int tasks = 4 * THREAD_worker_count();
    std::vector<THREAD_call*> calls;
    workers_go = 0;
    for (int n = 0; n < tasks; n++)
        calls.push_back(THREAD_run_async(log_and_report, reinterpret_cast<void*>(intptr_t(n))));
    workers_go = 1;
    for (THREAD_call* c : calls) {
        ASSERT_EQ(THREAD_is_done(c, -1), 1);
        THREAD_cleanup(c);
    }
    EXPECT_EQ(app_done.load(), 1);
    // Nothing shown and no shut-down on a worker: the main loop finishes up.
    EXPECT_TRUE(recorder.alerts().empty());
    EXPECT_EQ(finishups.load(), 0);
    THREAD_shutdown();
    test::set_core_hook(&core_hooks::finishup, nullptr);

    // Each object's lines arrive together, whichever workers wrote at once.
    std::string text = log.text();
    for (int n = 0; n < tasks; n++) {
        std::string lines = "line " + std::to_string(n) + "\n\nthird " + std::to_string(n) + "\n\n";
        std::string source = "src/worker, line " + std::to_string(n) + ".\n";
        EXPECT_NE(text.find("Logging Exception thrown from file: " + source + lines), std::string::npos) << n;
        EXPECT_EQ(text.find("EXCEPTION REPORTED FROM THREAD!!  File: " + source + lines) != std::string::npos,
                  n % 2 == 0)
            << n;
    }
    app_done = 0;

    exce_class("a", "b", "c", "d", "src/unit", 3).ReportAndContinue();
    ASSERT_EQ(recorder.alerts().size(), 1u);
    EXPECT_EQ(test::summary(recorder.alerts()[0]), "a|b|c|d|1|DEzovuv/OOPS_cpp/exce:73");
}

TEST(CommandLine, OptionsAreSplitStoredAndEchoed)
{
    log_capture log;
    UTL_cmdline c;
    const char* argv[] = {"/opt/app/inst", "--no_vbos", "--fps=30", "--a=b=c", "--x=", "--fps=60"};
    c.init_unix(6, argv);
    EXPECT_EQ(c.has_option("--no_vbos"), 1);
    EXPECT_EQ(c.has_option("--no_vbo"), 0);
    EXPECT_EQ(c.has_option("/opt/app/inst"), 0);
    EXPECT_EQ(c.value("--fps"), "60");
    EXPECT_EQ(c.value("--a"), "b=c");
    EXPECT_EQ(c.has_option("--x"), 1);
    EXPECT_EQ(c.value("--x"), "");
    // Only the program's path: nothing stored, nothing logged.
    UTL_cmdline only_path;
    only_path.init_unix(1, argv);
    EXPECT_EQ(only_path.size(), 0u);

    // A command string is split on white space; a value without a name is dropped. What is stored
    // is what the echo below shows.
    UTL_cmdline words;
    words.init_win("   --no_sprites \t  --z=1   =5");
    EXPECT_EQ(log.text(),
              "     '--no_vbos'\n"
              "     '--fps'='30'\n"
              "     '--a'='b=c'\n"
              "     '--x'\n"
              "WARNING: command line option --fps=60included twice.\n"
              "     '--fps'='60'\n"
              "     '--no_sprites'\n"
              "     '--z'='1'\n");
}

// Built by a static initialiser, before init_stats.
UTL_stat early_stat("early", UTL_stat_type(7), 3.0f);

TEST(Statistics, RegistrationResetAndCommands)
{
    EXPECT_EQ(all_stats[UTL_stat_type(7)].count(&early_stat), 0u);
    UTL_stat::init_stats();
    EXPECT_EQ(all_stats[UTL_stat_type(7)].count(&early_stat), 1u);

    UTL_stat own("own", UTL_stat_type(8), 5.0f);
    float outside = 9.0f;
    UTL_stat external(&outside, "outside", UTL_stat_type(8));
    EXPECT_EQ(all_stats[UTL_stat_type(8)].size(), 2u);  // registered at once after init
    EXPECT_EQ(external.get(), 9.0f);

    UTL_stat::reset_stats(UTL_stat_type(7));
    EXPECT_EQ(own.get(), 5.0f);
    EXPECT_EQ(early_stat.get(), 0.0f);
    UTL_stat::reset_stats(UTL_stat_type(8));
    EXPECT_EQ(own.get(), 0.0f);
    EXPECT_EQ(outside, 9.0f);  // an outside float keeps its number

    own.publish();  // a second insertion changes nothing
    EXPECT_EQ(all_stats[UTL_stat_type(8)].size(), 2u);
    all_stats[UTL_stat_type(8)].clear();  // the locals die with this test
}

std::string invoked;

TEST(RemoteCommands, AreNumberedInOrderAndInvokedById)
{
    int base = UTL_remote_cmd::free_id;
    UTL_remote_cmd first("First", [] { invoked += "first "; });
    UTL_remote_cmd second("Second", [] { invoked += "second "; });
    EXPECT_EQ(first.id, base);
    EXPECT_EQ(second.id, base + 1);
    for (int id : {second.id, second.id + 1, first.id})
        UTL_remote_cmd::invoke(nullptr, id);
    EXPECT_EQ(invoked, "second first ");
    UTL_remote_cmd::cmd_list = first.next;  // the locals die with this test
}

TEST(LazyMempool, DumpsItsTotalsAndFreesItsChain)
{
    log_capture log;
    {
        UTL_lazy_mempool pool;
        pool.dump();
        EXPECT_NE(pool.add_block(64), nullptr);
        EXPECT_NE(pool.add_block(128), nullptr);
        pool.dump();
    }  // the chain is freed here; ASan reports a leak otherwise
    EXPECT_EQ(log.text(),
              "Total memory allocated: 0\nTotal wasted memory: 0\nTotal ready memory: 0\n"
              "Total memory allocated: 192\nTotal wasted memory: 0\nTotal ready memory: 0\n");
}

}
