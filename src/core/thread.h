#pragma once
// Threads, critical sections and message queues over POSIX threads, and the
// worker pool built on them. Every OS error except a failed join is fatal.

#include <cstdint>
#include <mutex>
#include <pthread.h>

#include "core/exce.h"

// Guards the log stream xer wherever it may be written off the main thread.
extern std::mutex xer_mutex;

// [SECTION] Primitives

using UTL_thread_func = void* (*)(void*);

struct UTL_message_queue;

void UTL_thread_create(UTL_thread_func func, void* arg, pthread_t* thread, pthread_t* id, pthread_t* join);
void UTL_thread_join(pthread_t* thread, pthread_t* join);
[[nodiscard]] int UTL_thread_murder(pthread_t* thread);
pthread_t UTL_get_current_thread();
unsigned UTL_count_processors();

void UTL_critical_section_create(pthread_mutex_t* mutex);
void UTL_critical_section_destroy(pthread_mutex_t* mutex);
void UTL_critical_section_lock(pthread_mutex_t* mutex);
void UTL_critical_section_unlock(pthread_mutex_t* mutex);

void UTL_message_queue_create(UTL_message_queue** queue);
void UTL_message_queue_destroy(UTL_message_queue* queue);
void UTL_message_queue_write(UTL_message_queue* queue, void* message);
// Oldest message, or null when timeout_ms passed with the queue still empty
// (-1 waits without limit, 0 returns at once).
void* UTL_message_queue_read(UTL_message_queue* queue, int timeout_ms);

// Number of messages waiting; for tests and diagnostics.
int UTL_message_queue_count(UTL_message_queue* queue);

// [SECTION] Worker pool

struct THREAD_call {
    THREAD_call* next;
    UTL_message_queue* reply_queue;
    pthread_mutex_t lock;
    UTL_thread_func func;
    void* arg;
    void* result;
    int done;
    int has_exception;
    exce_class exception;
    int cookie;
};

void THREAD_init();
void THREAD_shutdown();
THREAD_call* THREAD_run_async(UTL_thread_func func, void* arg);
int THREAD_is_done(THREAD_call* call, int timeout_ms);
void* THREAD_cleanup(THREAD_call* call);
int THREAD_is_main_thread();
int THREAD_is_inited();
// While the pool runs, an alert raised off the main thread shows nothing there: this throws it
// as an exce_class, which travels back to whoever waits for the task. Returns on the main
// thread and while no pool runs.
void THREAD_throw_on_worker(const std::string& l1, const std::string& l2, const std::string& l3, const std::string& l4,
                            const char* file, int line);
void* xtaskproc(void*);

// Number of workers the pool started; for tests and the log.
int THREAD_worker_count();

// Sets the last reply token handed out, so that tests can reach the token's
// wrap to 0, which lies 2^30 tasks away.
void THREAD_set_last_cookie(uint32_t cookie);
