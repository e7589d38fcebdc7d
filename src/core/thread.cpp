#include "core/thread.h"

#include "core/alert.h"
#include "core/globals.h"
#include "platform/system.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

std::mutex xer_mutex;

static const char* const thread_unit = "DEzovuv/UTL/UTL_thread";

// Every OS error of the primitives is fatal, in one form: the failing call,
// then "err=" with the number in floating form (22 gives err=22.000000).
// The text is composed in a local rather than the shared scratch string, since
// workers may fail at the same time as the main thread.
static void os_error(const char* what, int err, int line)
{
    char text[64];
    snprintf(text, sizeof text, "err=%f", static_cast<double>(err));
    __MACIBM_alert(0, what, text, "", "", 2, thread_unit, line);
}

// [SECTION] Threads

void UTL_thread_create(UTL_thread_func func, void* arg, pthread_t* thread, pthread_t* id, pthread_t* join)
{
    int err = pthread_create(thread, nullptr, func, arg);
    if (err)
        os_error("\"pthread_create\" OS error", err, 112);
    *id = *thread;
    *join = *thread;
}

void UTL_thread_join(pthread_t* thread, pthread_t*)
{
    int err = pthread_join(*thread, nullptr);
    if (err) {
        std::lock_guard guard(xer_mutex);
        xer << "Warning: wait on thread cleanup failed with error " << err << "\n";
    }
}

int UTL_thread_murder(pthread_t* thread)
{
    return pthread_cancel(*thread);
}

pthread_t UTL_get_current_thread()
{
    return pthread_self();
}

unsigned UTL_count_processors()
{
    return plat::processor_count();
}

// [SECTION] Critical sections

void UTL_critical_section_create(pthread_mutex_t* mutex)
{
    if (int err = pthread_mutex_init(mutex, nullptr))
        os_error("\"::pthread_mutex_init\" OS error", err, 162);
}

void UTL_critical_section_destroy(pthread_mutex_t* mutex)
{
    if (int err = pthread_mutex_destroy(mutex))
        os_error("\"::pthread_mutex_destroy\" OS error", err, 175);
}

void UTL_critical_section_lock(pthread_mutex_t* mutex)
{
    if (int err = pthread_mutex_lock(mutex))
        os_error("\"pthread_mutex_lock\" OS error", err, 188);
}

void UTL_critical_section_unlock(pthread_mutex_t* mutex)
{
    if (int err = pthread_mutex_unlock(mutex))
        os_error("\"pthread_mutex_unlock\" OS error", err, 201);
}

// [SECTION] Message queues

namespace {
struct queue_node {
    queue_node* prev;
    queue_node* next;
    void* message;
};
}

struct UTL_message_queue {
    pthread_mutex_t mutex;
    pthread_cond_t condition;
    queue_node* head;  // oldest
    queue_node* tail;
    int waiters;
    int count;
};

void UTL_message_queue_create(UTL_message_queue** out)
{
    auto* queue = new UTL_message_queue{};
    *out = queue;
    if (int err = pthread_mutex_init(&queue->mutex, nullptr))
        os_error("\"::pthread_mutex_init\" OS error", err, 245);
    // Timed reads measure their deadline on the monotonic clock, so a change
    // of the wall clock cannot stretch or cut a wait.
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    int err = pthread_cond_init(&queue->condition, &attr);
    pthread_condattr_destroy(&attr);
    if (err)
        os_error("\"::pthread_cond_init\" OS error", err, 248);
}

void UTL_message_queue_destroy(UTL_message_queue* queue)
{
    if (int err = pthread_mutex_destroy(&queue->mutex))
        os_error("\"::pthread_mutex_destroy\" OS error", err, 264);
    if (int err = pthread_cond_destroy(&queue->condition))
        os_error("\"::pthread_cond_desroy\" OS error", err, 267);
    // The queue owns its nodes, never the messages.
    for (queue_node* node = queue->head; node;) {
        queue_node* next = node->next;
        delete node;
        node = next;
    }
    delete queue;
}

void UTL_message_queue_write(UTL_message_queue* queue, void* message)
{
    if (int err = pthread_mutex_lock(&queue->mutex))
        os_error("\"pthread_mutex_lock\" OS error", err, 296);
    // Signalling before appending is safe: the woken reader cannot look at the
    // list before the unlock below.
    if (queue->waiters > 0) {
        if (int err = pthread_cond_signal(&queue->condition))
            os_error("\"pthread_cond_signal\" OS error", err, 301);
    }
    auto* node = new queue_node{queue->tail, nullptr, message};
    if (queue->tail)
        queue->tail->next = node;
    else
        queue->head = node;
    queue->tail = node;
    queue->count++;
    if (int err = pthread_mutex_unlock(&queue->mutex))
        os_error("\"pthread_mutex_unlock\" OS error", err, 307);
}

static timespec deadline_after(int timeout_ms)
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    int64_t nsec = static_cast<int64_t>(now.tv_nsec) + static_cast<int64_t>(timeout_ms % 1000) * 1000000;
    timespec deadline;
    deadline.tv_sec = now.tv_sec + timeout_ms / 1000 + static_cast<time_t>(nsec / 1000000000);
    deadline.tv_nsec = static_cast<long>(nsec % 1000000000);
    return deadline;
}

void* UTL_message_queue_read(UTL_message_queue* queue, int timeout_ms)
{
    if (int err = pthread_mutex_lock(&queue->mutex))
        os_error("\"pthread_mutex_lock\" OS error", err, 337);
    queue->waiters++;
    timespec deadline{};
    if (timeout_ms != -1)
        deadline = deadline_after(timeout_ms < 0 ? 0 : timeout_ms);

    while (!queue->head) {
        int err = timeout_ms == -1 ? pthread_cond_wait(&queue->condition, &queue->mutex)
                                   : pthread_cond_timedwait(&queue->condition, &queue->mutex, &deadline);
        if (err == ETIMEDOUT) {
            if (queue->head)
                break;
            queue->waiters--;
            if (int unlock_err = pthread_mutex_unlock(&queue->mutex))
                os_error("\"pthread_mutex_unlock\" OS error", unlock_err, 368);
            return nullptr;
        }
        if (err)
            os_error("\"pthread_cond_timedwait\" OS error", err, 370);
    }

    queue->waiters--;
    queue_node* node = queue->head;
    queue->head = node->next;
    if (queue->head)
        queue->head->prev = nullptr;
    else
        queue->tail = nullptr;
    queue->count--;
    void* message = node->message;
    delete node;
    pthread_mutex_unlock(&queue->mutex);
    return message;
}

int UTL_message_queue_count(UTL_message_queue* queue)
{
    pthread_mutex_lock(&queue->mutex);
    int count = queue->count;
    pthread_mutex_unlock(&queue->mutex);
    return count;
}

// [SECTION] Worker pool

static const char* const pool_unit = "DEzovuv/Thread/hl_thread";
static const char* const exce_unit = "DEzovuv/OOPS_cpp/exce";

// Workers are plain pthread handles, never std::thread: a joinable std::thread
// destroyed at exit terminates the process, and a fatal alert with workers
// still alive must end with status 1.
static std::vector<pthread_t> worker_threads;
static std::vector<pthread_t> worker_threads_join;
static std::vector<pthread_t> worker_threads_id;
static std::atomic<int> threads_inited{0};
static pthread_t main_thread;
static UTL_message_queue* call_queue;
static THREAD_call* free_calls;
static pthread_mutex_t free_calls_lock;
static uint32_t next_cookie;  // unsigned, so that the wrap to 0 is defined

static void* const stop_marker = reinterpret_cast<void*>(~uintptr_t(0));

void THREAD_throw_on_worker(const std::string& l1, const std::string& l2, const std::string& l3, const std::string& l4,
                            const char* file, int line)
{
    if (THREAD_is_inited() && !THREAD_is_main_thread())
        throw exce_class(l1, l2, l3, l4, file, line);
}

void THREAD_init()
{
    if (!plat::multiprocessing_ready())
        __MACIBM_alert(0, "Unable to initialize MP services.", "", "", "", 2, pool_unit, 211);
    if (threads_inited.load())
        return;
    main_thread = UTL_get_current_thread();
    UTL_critical_section_create(&free_calls_lock);
    UTL_message_queue_create(&call_queue);

    worker_threads.clear();
    worker_threads_join.clear();
    worker_threads_id.clear();
    unsigned n = UTL_count_processors();
    {
        std::lock_guard guard(xer_mutex);
        xer << "CPU count = " << n << "\n";
    }
    for (unsigned i = 0; i < n; i++) {
        pthread_t thread, id, join;
        UTL_thread_create(xtaskproc, nullptr, &thread, &id, &join);
        worker_threads.push_back(thread);
        worker_threads_join.push_back(join);
        worker_threads_id.push_back(id);
    }
    threads_inited.store(1);
}

void* xtaskproc(void*)
{
    for (;;) {
        void* message = UTL_message_queue_read(call_queue, -1);
        if (message == stop_marker)
            return nullptr;
        auto* call = static_cast<THREAD_call*>(message);
        void* result = nullptr;
        try {
            result = call->func(call->arg);
        } catch (const exce_class& e) {
            UTL_critical_section_lock(&call->lock);
            call->has_exception = 1;
            call->exception = e;
            UTL_critical_section_unlock(&call->lock);
        }
        UTL_critical_section_lock(&call->lock);
        call->result = result;
        UTL_critical_section_unlock(&call->lock);
        UTL_message_queue_write(call->reply_queue, reinterpret_cast<void*>(static_cast<intptr_t>(call->cookie)));
    }
}

THREAD_call* THREAD_run_async(UTL_thread_func func, void* arg)
{
    UTL_critical_section_lock(&free_calls_lock);
    next_cookie += 4;
    if (next_cookie == 0)
        next_cookie = 4;
    int cookie = static_cast<int>(next_cookie);
    THREAD_call* call = free_calls;
    if (call)
        free_calls = call->next;
    UTL_critical_section_unlock(&free_calls_lock);

    if (!call) {
        call = new THREAD_call{};
        UTL_message_queue_create(&call->reply_queue);
        UTL_critical_section_create(&call->lock);
    }
    UTL_critical_section_lock(&call->lock);
    call->next = nullptr;
    call->func = func;
    call->arg = arg;
    call->result = nullptr;
    call->done = 0;
    call->has_exception = 0;
    call->exception = exce_class();
    call->cookie = cookie;
    UTL_critical_section_unlock(&call->lock);

    UTL_message_queue_write(call_queue, call);
    return call;
}

// Raises the task's exception once: fatal on the main thread, thrown onward
// (by the alert) on any other.
static void report_task_exception(THREAD_call* call)
{
    exce_class e = call->exception;
    call->has_exception = 0;
    UTL_critical_section_unlock(&call->lock);
    __MACIBM_alert(0, e.line1, e.line2, e.line3, e.line4, 2, exce_unit, 15);
}

int THREAD_is_done(THREAD_call* call, int timeout_ms)
{
    UTL_critical_section_lock(&call->lock);
    if (call->has_exception) {
        report_task_exception(call);
        // Not reached: a fatal alert ends the program on the main thread and
        // throws on any other. Should it ever return, the reply is still to be taken.
        UTL_critical_section_lock(&call->lock);
    }
    if (call->done) {
        UTL_critical_section_unlock(&call->lock);
        return 1;
    }
    UTL_critical_section_unlock(&call->lock);

    if (!UTL_message_queue_read(call->reply_queue, timeout_ms))
        return 0;
    UTL_critical_section_lock(&call->lock);
    call->done = 1;
    UTL_critical_section_unlock(&call->lock);
    return 1;
}

void* THREAD_cleanup(THREAD_call* call)
{
    UTL_critical_section_lock(&call->lock);
    if (!call->done) {
        UTL_critical_section_unlock(&call->lock);
        __MACIBM_alert(0, "Thread cleanup called on not-done call.", "", "", "", 2, pool_unit, 139);
        return nullptr;
    }
    if (call->has_exception)
        report_task_exception(call);
    else
        UTL_critical_section_unlock(&call->lock);

    UTL_critical_section_lock(&call->lock);
    void* result = call->result;
    UTL_critical_section_unlock(&call->lock);

    UTL_critical_section_lock(&free_calls_lock);
    call->next = free_calls;
    free_calls = call;
    UTL_critical_section_unlock(&free_calls_lock);
    return result;
}

void THREAD_shutdown()
{
    // A second shut-down (a fatal alert during finish-up, say) finds nothing to stop.
    if (!threads_inited.load())
        return;
    size_t n = worker_threads.size();
    for (size_t i = 0; i < n; i++)
        UTL_message_queue_write(call_queue, stop_marker);
    for (size_t i = 0; i < n; i++)
        UTL_thread_join(&worker_threads[i], &worker_threads_join[i]);

    UTL_critical_section_destroy(&free_calls_lock);
    UTL_message_queue_destroy(call_queue);
    call_queue = nullptr;
    while (free_calls) {
        THREAD_call* call = free_calls;
        free_calls = call->next;
        UTL_message_queue_destroy(call->reply_queue);
        UTL_critical_section_destroy(&call->lock);
        delete call;
    }
    // The vectors keep their entries; a later THREAD_init starts a fresh set.
    threads_inited.store(0);
    std::lock_guard guard(xer_mutex);
    xer << "Clean exit from threads.\n";
}

int THREAD_is_main_thread()
{
    return pthread_equal(UTL_get_current_thread(), main_thread) ? 1 : 0;
}

int THREAD_is_inited()
{
    return threads_inited.load();
}

int THREAD_worker_count()
{
    return threads_inited.load() ? static_cast<int>(worker_threads.size()) : 0;
}

void THREAD_set_last_cookie(uint32_t cookie)
{
    if (!threads_inited.load()) {
        next_cookie = cookie;
        return;
    }
    UTL_critical_section_lock(&free_calls_lock);
    next_cookie = cookie;
    UTL_critical_section_unlock(&free_calls_lock);
}
