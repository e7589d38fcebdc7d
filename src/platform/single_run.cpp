#include "platform/single_run.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <utility>

#include "platform/owners.h"

namespace plat {

namespace {

// Open for the life of the process. Close-on-exec: a program we start must not keep holding the
// lock after we end.
descriptor& lock_file()
{
    static descriptor file;
    return file;
}

std::string& lock_folder()
{
    static std::string folder;
    return folder;
}

}  // namespace

int take_single_run_lock(const std::string& folder)
{
    if (lock_file())
        return 0;
    const std::string path = folder + single_run_lock_name;
    descriptor file(open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600));
    if (!file)
        return errno;
    while (flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR)
            return errno;
    }
    lock_file() = std::move(file);
    lock_folder() = folder;
    return 0;
}

std::string let_go_single_run_lock()
{
    descriptor& file = lock_file();
    if (!file)
        return "";
    // Explicitly: a child forked and not yet exec'd shares the open file, and a close alone would
    // leave the lock with it.
    (void)flock(file.get(), LOCK_UN);
    file.reset();
    return std::exchange(lock_folder(), "");
}

}  // namespace plat
