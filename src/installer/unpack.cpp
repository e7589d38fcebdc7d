// Archives in hand, oldest first, each with its call on the core thread pool.

#include "installer/unpack.h"

#include <deque>
#include <memory>

#include "core/thread.h"
#include "core/zip.h"
#include "installer/engine.h"

namespace {

struct unpack_job {
    int stream = 0;
    std::string archive, leaf, folder;
    unpack_result result;
    THREAD_call* call = nullptr;  // null when the work was done at once
};

// Oldest first; a job stays until its result is taken, so results leave in the order they came.
std::deque<std::unique_ptr<unpack_job>> jobs;

void* run_job(void* argument)
{
    unpack_job& job = *static_cast<unpack_job*>(argument);
    job.result.damage = archive_damage(job.archive, job.leaf);
    if (job.result.damage == 0)
        job.result.error = zip_to_file_logged(job.archive, job.folder, &job.result.log);
    return nullptr;
}

}  // namespace

void unpack_start(int stream, const std::string& archive, const std::string& leaf, const std::string& folder)
{
    auto job = std::make_unique<unpack_job>();
    job->stream = stream;
    job->archive = archive;
    job->leaf = leaf;
    job->folder = folder;
    if (THREAD_is_inited())
        job->call = THREAD_run_async(run_job, job.get());
    else
        run_job(job.get());
    jobs.push_back(std::move(job));
}

bool unpack_pending(int stream)
{
    for (const auto& job : jobs)
        if (job->stream == stream)
            return true;
    return false;
}

bool unpack_any_pending()
{
    return !jobs.empty();
}

bool unpack_take(int stream, unpack_result* result)
{
    if (jobs.empty() || jobs.front()->stream != stream)
        return false;
    unpack_job& job = *jobs.front();
    if (job.call != nullptr) {
        if (!THREAD_is_done(job.call, 0))
            return false;
        (void)THREAD_cleanup(job.call);  // the result lives in the job
    }
    *result = std::move(job.result);
    jobs.pop_front();
    return true;
}

void unpack_wait_all()
{
    for (const auto& job : jobs)
        if (job->call != nullptr && THREAD_is_done(job->call, -1))
            (void)THREAD_cleanup(job->call);  // results are dropped here
    jobs.clear();
}
