#pragma once
// owners: one owner type for each kind of thing the system hands out and wants back, used by
// every layer: a descriptor, an open folder, a C stream. An early return closes what was
// opened, and nothing is closed twice.
// Invariant: an owner holds one open object or none; moving it hands the object over.

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

namespace plat {

class descriptor {
public:
    explicit descriptor(int fd = -1) noexcept : fd_(fd) { }
    ~descriptor() { reset(); }
    descriptor(descriptor&& other) noexcept : fd_(other.release()) { }
    descriptor& operator=(descriptor&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    descriptor(const descriptor&) = delete;
    descriptor& operator=(const descriptor&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Hands the descriptor over to the caller, who closes it.
    int release() { return std::exchange(fd_, -1); }
    // Closes what is held and holds fd instead. The close's answer is not wanted here: this is
    // the way out of a failure, or the end of a descriptor only read from.
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            (void)::close(fd_);
        fd_ = fd;
    }
    // Closes now, for a caller that wants to know how it went: a full disk may only show at
    // the close of a file written. 0 (also when nothing is held) or the errno of the close.
    [[nodiscard]] int close()
    {
        const int fd = release();
        return fd < 0 || ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

struct folder_closer {
    void operator()(DIR* folder) const { (void)closedir(folder); }  // a folder only read from
};
// An open folder listing (opendir).
using folder_handle = std::unique_ptr<DIR, folder_closer>;

struct stream_closer {
    // The way out of a failure: a caller that needs the close's answer takes the stream back
    // with release() and closes it itself.
    void operator()(FILE* stream) const { (void)std::fclose(stream); }
};
// An open C stream (fopen).
using stream_handle = std::unique_ptr<FILE, stream_closer>;

}  // namespace plat
