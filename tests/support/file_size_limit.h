#pragma once
// While a file_size_limit lives, a write that would take any file of this process past `bytes` fails
// with EFBIG instead of raising SIGXFSZ: a full disk, without root and without filling one. The limit
// covers every thread and every child started meanwhile, so keep it around the steps that should
// meet it. The previous limit and the signal's handling come back when it goes.

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <string>

namespace test {

class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &previous_) != 0)
            throw std::runtime_error(std::string("getrlimit: ") + std::strerror(errno));
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        previous_signal_ = std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            std::signal(SIGXFSZ, previous_signal_);
            throw std::runtime_error(std::string("setrlimit: ") + std::strerror(errno));
        }
    }
    ~file_size_limit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previous_signal_);
    }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

private:
    rlimit previous_{};
    void (*previous_signal_)(int) = SIG_DFL;
};

}  // namespace test
