// Threads, queues and the worker pool, on real threads and real time.

#include "core/thread.h"

#include "support/alert_recorder.h"
#include "support/log_capture.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <set>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace test;

namespace {

void* as_message(intptr_t v)
{
    return reinterpret_cast<void*>(v);
}
intptr_t as_value(void* m)
{
    return reinterpret_cast<intptr_t>(m);
}

TEST(MessageQueue, DeliversInOrderToOneReaderEachAndTimedReadsEndOnTimeOrOnAMessage)
{
    alert_recorder recorder;
    UTL_message_queue* q = nullptr;
    UTL_message_queue_create(&q);
    for (intptr_t v : {1, 2, 3})
        UTL_message_queue_write(q, as_message(v));
    EXPECT_EQ(as_value(UTL_message_queue_read(q, -1)), 1);
    EXPECT_EQ(as_value(UTL_message_queue_read(q, 0)), 2);
    EXPECT_EQ(as_value(UTL_message_queue_read(q, 250)), 3);
    // Empty: a zero time-out and a short one both give null, and the queue stays usable.
    EXPECT_EQ(UTL_message_queue_read(q, 0), nullptr);
    EXPECT_EQ(UTL_message_queue_read(q, 20), nullptr);
    UTL_message_queue_write(q, nullptr);  // null is a message like any other
    UTL_message_queue_write(q, as_message(7));
    EXPECT_EQ(UTL_message_queue_count(q), 2);
    EXPECT_EQ(UTL_message_queue_read(q, 0), nullptr);
    EXPECT_EQ(as_value(UTL_message_queue_read(q, 0)), 7);

    // Time-outs whose nanoseconds carry into the next second: a deadline left un-normalised
    // makes the timed wait fail with EINVAL, a fatal alert.
    for (int timeout : {1, 999, 1999, 1500, 750}) {
        for (int round = 0; round < 4; round++) {
            std::thread writer([&] {
                usleep(2000);
                UTL_message_queue_write(q, as_message(timeout));
            });
            void* m = UTL_message_queue_read(q, timeout + 5000);
            writer.join();
            EXPECT_EQ(as_value(m), timeout);
        }
    }
    EXPECT_TRUE(recorder.alerts().empty());

    // Each message goes to exactly one of several blocked readers.
    constexpr int readers = 4, per_reader = 250;
    std::vector<std::vector<intptr_t>> got(readers);
    std::vector<std::thread> threads;
    for (int r = 0; r < readers; r++)
        threads.emplace_back([&, r] {
            for (int i = 0; i < per_reader; i++)
                got[r].push_back(as_value(UTL_message_queue_read(q, -1)));
        });
    for (int i = 1; i <= readers * per_reader; i++)
        UTL_message_queue_write(q, as_message(i));
    for (auto& t : threads)
        t.join();

    std::set<intptr_t> all;
    for (auto& list : got) {
        // One reader sees its messages in arrival order.
        for (size_t i = 1; i < list.size(); i++)
            EXPECT_LT(list[i - 1], list[i]);
        all.insert(list.begin(), list.end());
    }
    EXPECT_EQ(all.size(), size_t(readers * per_reader));

    // Destroying a queue that still holds messages frees their nodes (the leak check sees it).
    UTL_message_queue_write(q, as_message(42));
    UTL_message_queue_destroy(q);
}

TEST(Threads, MutexErrorsAreFatalAlertsAndAFailedJoinIsOnlyLogged)
{
    log_capture log;
    alert_recorder recorder;
    // A thread cannot join itself: the failure is a log line, not an alert.
    const std::string warning = "Warning: wait on thread cleanup failed with error " + std::to_string(EDEADLK) + "\n";
    pthread_t self = UTL_get_current_thread();
    UTL_thread_join(&self, &self);
    EXPECT_EQ(log.text(), warning);
    EXPECT_TRUE(recorder.alerts().empty());

#if !defined(__SANITIZE_THREAD__)  // ThreadSanitizer reports the locked mutex destroyed on purpose
    pthread_mutex_t m;
    UTL_critical_section_create(&m);
    UTL_critical_section_lock(&m);
    // glibc refuses to destroy a locked mutex with EBUSY.
    EXPECT_EQ(summary(test::expect_fatal([&] { UTL_critical_section_destroy(&m); })),
              "\"::pthread_mutex_destroy\" OS error|err=" + std::to_string(EBUSY) +
                  ".000000|||2|DEzovuv/UTL/UTL_thread:175");
    UTL_critical_section_unlock(&m);
    UTL_critical_section_destroy(&m);
    EXPECT_EQ(recorder.alerts().size(), 1u);
#endif
}

// [SECTION] The pool

std::atomic<int> gate{0};

void* wait_for_gate(void* arg)
{
    while (!gate.load())
        usleep(200);
    return arg;
}

void* square(void* arg)
{
    intptr_t v = as_value(arg);
    return as_message(v * v);
}

// What a task that raised a fatal alert A, B, C, D reports once it is collected.
const std::string TASK_ALERT = "A|B|C|D|2|DEzovuv/OOPS_cpp/exce:15";

void* throw_abcd(void*)
{
    __MACIBM_alert(0, "A", "B", "C", "D", 2, "test/unit", 99);
    return as_message(1);  // not reached: the alert throws on a worker
}

// Waits for a task and collects it. The task's exception is raised exactly
// once, by whichever of is_done and cleanup first finds it after the reply;
// on a worker that raise throws exce_class, on the main thread (with the
// recorder installed) fatal_alert. Returns how many times it was raised,
// giving up at the second raise (an exception that comes back every time
// would keep the test forever), and keeps the last raised object in *last.
template <typename Raised> int collect(THREAD_call* call, Raised* last = nullptr)
{
    int raised = 0;
    for (bool done = false, clean = false; !clean && raised < 2;) {
        try {
            if (!done) {
                done = THREAD_is_done(call, 20);
            } else {
                THREAD_cleanup(call);
                clean = true;
            }
        } catch (const Raised& e) {
            raised++;
            if (last)
                *last = e;
        }
    }
    return raised;
}

// What a task saw when the task it waited for threw.
struct caught_on_worker {
    exce_class exception;
    int raised = 0;
};

// A task that waits for another task which throws: the wait, on a worker,
// throws the exception, which this task passes onward as it came.
void* wait_for_thrower(void* arg)
{
    auto* seen = static_cast<caught_on_worker*>(arg);
    THREAD_call* inner = THREAD_run_async(throw_abcd, nullptr);
    seen->raised = collect<exce_class>(inner, &seen->exception);
    throw seen->exception;
}

// Runs one task to its end and returns its result.
intptr_t run_task(UTL_thread_func func, intptr_t arg, int* cookie = nullptr)
{
    THREAD_call* c = THREAD_run_async(func, as_message(arg));
    if (cookie)
        *cookie = c->cookie;
    EXPECT_EQ(THREAD_is_done(c, -1), 1);
    return as_value(THREAD_cleanup(c));
}

class ThreadPool : public ::testing::Test {
protected:
    void SetUp() override { THREAD_init(); }
    void TearDown() override { THREAD_shutdown(); }
    log_capture log;
};

TEST_F(ThreadPool, DoneIsTakenOnceAndRecordsComeBackWithTheNextCookie)
{
    alert_recorder recorder;
    gate = 0;
    THREAD_call* c = THREAD_run_async(wait_for_gate, as_message(5));
    EXPECT_EQ(THREAD_is_done(c, 0), 0);
    EXPECT_EQ(THREAD_is_done(c, 10), 0);
    EXPECT_EQ(summary(test::expect_fatal([&] { THREAD_cleanup(c); })),
              "Thread cleanup called on not-done call.||||2|DEzovuv/Thread/hl_thread:139");
    gate = 1;
    EXPECT_EQ(THREAD_is_done(c, -1), 1);
    // A later call answers from the record, without reading the reply queue.
    EXPECT_EQ(THREAD_is_done(c, 0), 1);
    EXPECT_EQ(as_value(THREAD_cleanup(c)), 5);
    THREAD_call* again = THREAD_run_async(square, as_message(3));
    EXPECT_EQ(again, c);  // recycled
    EXPECT_EQ(THREAD_is_done(again, -1), 1);
    THREAD_cleanup(again);
}

TEST_F(ThreadPool, AnAlertOnAWorkerTravelsBackAndIsReportedOnceOnTheMainThread)
{
    alert_recorder recorder;
    // The worker shows nothing; collecting the task on the main thread raises
    // the fatal alert with the task's four lines, once.
    THREAD_call* c = THREAD_run_async(throw_abcd, nullptr);
    ASSERT_EQ(collect<fatal_alert>(c), 1);
    EXPECT_EQ(summary(recorder.alerts()[0]), TASK_ALERT);

    // Once the task has replied, is_done raises before it takes the reply;
    // the next call takes it. (The reply is peeked at to know the task ran.)
    recorder.clear();
    c = THREAD_run_async(throw_abcd, nullptr);
    UTL_message_queue_write(c->reply_queue, UTL_message_queue_read(c->reply_queue, -1));
    EXPECT_THROW(THREAD_is_done(c, 0), fatal_alert);
    EXPECT_EQ(THREAD_is_done(c, 0), 1);
    THREAD_cleanup(c);
    EXPECT_EQ(recorder.alerts().size(), 1u);

    // A reply taken without the exception being raised: cleanup raises it.
    recorder.clear();
    c = THREAD_run_async(throw_abcd, nullptr);
    UTL_message_queue_read(c->reply_queue, -1);
    c->done = 1;
    EXPECT_THROW(THREAD_cleanup(c), fatal_alert);
    EXPECT_EQ(recorder.alerts().size(), 1u);
    THREAD_cleanup(c);  // raised once: now the record goes back to the pool

    // Through a task waiting on a task: the wait on a worker throws an
    // exce_class with the inner task's lines and the report's source, and the
    // exception arrives here with the original lines. The outer task holds a
    // worker while it waits, so this needs two.
    if (THREAD_worker_count() < 2)
        GTEST_SKIP() << "one worker cannot run a task that waits for another";
    recorder.clear();
    caught_on_worker seen;
    THREAD_call* outer = THREAD_run_async(wait_for_thrower, &seen);
    ASSERT_EQ(collect<fatal_alert>(outer), 1);
    EXPECT_EQ(seen.raised, 1);
    const exce_class& e = seen.exception;
    EXPECT_EQ(summary({e.line1, e.line2, e.line3, e.line4, 2, e.file, e.line}), TASK_ALERT);
    EXPECT_EQ(summary(recorder.alerts().back()), TASK_ALERT);
}

TEST_F(ThreadPool, ReplyTokensWrapPastZeroAndStillCarryTheReply)
{
    // Near the top of the 32-bit range a token turns negative as an int, and
    // the wrap must skip 0, which a timed read returns when nothing came: a
    // reply of 0 would never be seen as done.
    std::vector<int> cookies;
    for (uint32_t start : {0x7FFFFFF8u, 0xFFFFFFF8u}) {
        THREAD_set_last_cookie(start);
        for (intptr_t i = 2; i < 5; i++) {
            EXPECT_EQ(run_task(square, i, &cookies.emplace_back()), i * i);
        }
    }
    EXPECT_EQ(cookies, (std::vector<int>{0x7FFFFFFC, INT32_MIN, INT32_MIN + 4, -4, 4, 8}));
}

// Threads of this process, as the kernel lists them.
int thread_count()
{
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return int(std::distance(begin(tasks), end(tasks)));
}

TEST(ThreadPoolLifecycle, OneWorkerPerProcessorRunsTasksAndShutdownIsCleanAndIdempotent)
{
    log_capture log;
    EXPECT_EQ(THREAD_is_inited(), 0);
    // A sanitizer's runtime starts a helper thread of its own when the process makes its first thread,
    // which this test may be: one thread made and joined first, so that the counts are the pool's alone.
    std::thread([] {}).join();
    const int before = thread_count();
    THREAD_init();
    EXPECT_EQ(THREAD_is_main_thread(), 1);
    EXPECT_EQ(THREAD_worker_count(), int(sysconf(_SC_NPROCESSORS_ONLN)));
    EXPECT_EQ(thread_count(), before + THREAD_worker_count());
    EXPECT_EQ(log.text(), "CPU count = " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + "\n");

    std::vector<THREAD_call*> calls;
    for (intptr_t i = 0; i < 64; i++)
        calls.push_back(THREAD_run_async(square, as_message(i)));
    for (intptr_t i = 0; i < 64; i++) {
        EXPECT_EQ(THREAD_is_done(calls[i], -1), 1);
        EXPECT_EQ(as_value(THREAD_cleanup(calls[i])), i * i);
    }
    // Workers are not the main thread.
    EXPECT_EQ(run_task([](void*) -> void* { return as_message(THREAD_is_main_thread()); }, 0), 0);

    THREAD_shutdown();
    EXPECT_EQ(THREAD_is_inited(), 0);
    // Every worker has ended. The kernel drops a joined thread's entry a
    // moment after the join returns, so give it a bounded while.
    EXPECT_TRUE(wait_until([&] { return thread_count() == before; })) << thread_count() << " threads, not " << before;
    // A second shutdown does nothing, and says nothing.
    THREAD_shutdown();
    EXPECT_EQ(log.text(),
              "CPU count = " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + "\nClean exit from threads.\n");

    // A second start works on fresh queues.
    THREAD_init();
    EXPECT_EQ(run_task(square, 6), 36);
    THREAD_shutdown();
}

TEST(ThreadPoolDeathTest, AFatalAlertWithLiveWorkersEndsWithStatusOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Even rounds leave every worker blocked on the empty queue; odd rounds
    // keep every worker busy with more tasks queued behind them.
    for (int round = 0; round < 20; round++) {
        EXPECT_EXIT(
            {
                test::set_core_hook(&core_hooks::alert, nullptr);
                THREAD_init();
                gate = 0;
                if (round % 2)
                    for (int i = 0; i < 2 * THREAD_worker_count(); i++)
                        THREAD_run_async(wait_for_gate, nullptr);
                __MACIBM_alert(0, "Fatal with workers alive", "", "", "", 2, "test/unit", 1);
            },
            ::testing::ExitedWithCode(1), "Fatal with workers alive");
    }
}

}
