// Folder watches on inotify: one descriptor for the process, opened at the first watch and read
// without blocking, so looking for changes costs one system call when there are none.
#include "platform/folder_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace plat {

namespace {

constexpr uint32_t WATCHED_EVENTS =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Room for many events per read; each is a header and a name of at most NAME_MAX + 1 bytes.
constexpr size_t EVENT_BUFFER_BYTES = 64 * 1024;

// -1 until the first watch; -2 when the system gave no descriptor, so watching is off for good.
int watch_fd = -1;

int descriptor()
{
    if (watch_fd == -1) {
        watch_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (watch_fd < 0)
            watch_fd = -2;
    }
    return watch_fd;
}

}  // namespace

int watch_folder(const std::string& path)
{
    const int fd = descriptor();
    if (fd < 0)
        return -1;
    const int watch = inotify_add_watch(fd, path.c_str(), WATCHED_EVENTS);
    return watch < 0 ? -1 : watch;
}

void unwatch_folder(int watch)
{
    if (watch_fd >= 0 && watch >= 0)
        (void)inotify_rm_watch(watch_fd, watch);  // an ended watch is already gone
}

bool take_folder_changes(std::vector<folder_change>& changes)
{
    if (watch_fd < 0)
        return true;
    alignas(inotify_event) char buffer[EVENT_BUFFER_BYTES];
    for (;;) {
        const ssize_t got = read(watch_fd, buffer, sizeof buffer);
        if (got < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW)
                return false;
            folder_change change;
            change.watch = event->wd;
            if (event->mask & (IN_CREATE | IN_MOVED_TO))
                change.kind = FOLDER_ENTRY_ADDED;
            else if (event->mask & (IN_DELETE | IN_MOVED_FROM))
                change.kind = FOLDER_ENTRY_REMOVED;
            else if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT))
                change.kind = FOLDER_GONE;
            else
                continue;
            if (change.kind != FOLDER_GONE && event->len > 0)
                change.name = event->name;  // NUL-padded to its length
            changes.push_back(std::move(change));
        }
    }
}

}  // namespace plat
