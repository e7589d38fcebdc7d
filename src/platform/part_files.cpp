#include "platform/part_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

namespace plat {

namespace {

constexpr size_t prefix_length = sizeof(part_file_prefix) - 1;
// Names taken by a live file of ours are skipped; this many in a row means something else is wrong.
constexpr int name_attempts = 100;

std::string next_part_name(const std::string& folder)
{
    static std::atomic<unsigned> counter{0};
    return folder + part_file_prefix + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

// The process that wrote a part file, from its name; 0 when the name holds none.
pid_t writer_of(const char* name)
{
    char* end = nullptr;
    const long pid = std::strtol(name + prefix_length, &end, 10);
    return (end != name + prefix_length && *end == '-' && pid > 0) ? pid_t(pid) : 0;
}

// A process of another user is there all the same: it answers EPERM.
bool still_running(pid_t pid)
{
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace

std::string part_folder(const std::string& target)
{
    return target.substr(0, target.rfind('/') + 1);
}

int write_all(int fd, const void* data, size_t length)
{
    const char* bytes = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t put = ::write(fd, bytes, length);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (put == 0)
            return EIO;  // a regular file that takes nothing and says no error
        bytes += put;
        length -= size_t(put);
    }
    return 0;
}

int remove_leftover_part_files(const std::string& folder)
{
    static std::mutex lock;
    static std::set<std::string> swept;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!swept.insert(folder).second)
            return 0;
    }
    const folder_handle listing(opendir(folder.empty() ? "." : folder.c_str()));
    if (!listing)
        return 0;
    int removed = 0;
    while (const dirent* entry = readdir(listing.get())) {
        // A file whose writer still runs is being written: a second run on the same folder leaves it.
        if (std::strncmp(entry->d_name, part_file_prefix, prefix_length) != 0 ||
            still_running(writer_of(entry->d_name)))
            continue;
        const std::string path = folder + entry->d_name;
        struct stat facts;
        // A folder of that name is not ours to empty.
        if (lstat(path.c_str(), &facts) == 0 && !S_ISDIR(facts.st_mode) && unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

part_file::part_file(const std::string& folder)
{
    remove_leftover_part_files(folder);
    for (int attempt = 0; attempt < name_attempts; ++attempt) {
        path_ = next_part_name(folder);
        file_.reset(open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (file_ || errno != EEXIST)
            break;
    }
    if (!file_) {
        error_ = errno;
        path_.clear();
    }
}

part_file::~part_file()
{
    file_.reset();
    if (!path_.empty())
        unlink(path_.c_str());
}

int part_file::write(const void* data, size_t length)
{
    return file_ ? write_all(file_.get(), data, length) : EBADF;
}

int part_file::set_mode(mode_t mode)
{
    if (!file_)
        return EBADF;
    return fchmod(file_.get(), mode) == 0 ? 0 : errno;
}

int part_file::commit(const std::string& target)
{
    if (!file_)
        return EBADF;
    // A full disk may only show when the last blocks are written out at the close.
    if (const int error = file_.close(); error != 0)
        return error;
    if (rename(path_.c_str(), target.c_str()) != 0)
        return errno;
    path_.clear();
    return 0;
}

int replace_with_link(const std::string& folder, const std::string& text, const std::string& target)
{
    remove_leftover_part_files(folder);
    std::string name;
    int error = EEXIST;
    for (int attempt = 0; attempt < name_attempts && error == EEXIST; ++attempt) {
        name = next_part_name(folder);
        error = symlink(text.c_str(), name.c_str()) == 0 ? 0 : errno;
    }
    if (error != 0)
        return error;
    if (rename(name.c_str(), target.c_str()) != 0) {
        error = errno;
        unlink(name.c_str());
    }
    return error;
}

}  // namespace plat
