// file_size_limit: a full disk without root. While one lives, this process cannot make a file longer
// than the limit: a write past it fails with EFBIG instead of raising SIGXFSZ, which is ignored.
// Keep it around the one call under test, so that nothing else the test binary writes meets the limit.
// Invariant: the limit and the signal's handling are as before once the object is gone.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <stdexcept>

namespace test {

class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &saved_limit_) != 0)
            throw std::runtime_error("cannot read the file size limit");
        struct sigaction ignore { };
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        if (sigaction(SIGXFSZ, &ignore, &saved_action_) != 0)
            throw std::runtime_error("cannot ignore SIGXFSZ");
        // Only the soft limit moves, so that it can be raised again without privileges.
        struct rlimit limited = saved_limit_;
        limited.rlim_cur = bytes;
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0) {
            sigaction(SIGXFSZ, &saved_action_, nullptr);
            throw std::runtime_error("cannot lower the file size limit");
        }
    }
    ~file_size_limit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_limit_);
        sigaction(SIGXFSZ, &saved_action_, nullptr);
    }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

private:
    struct rlimit saved_limit_ { };
    struct sigaction saved_action_ { };
};

}  // namespace test
