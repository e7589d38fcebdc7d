#pragma once
// Points the log stream xer at a fresh temporary file for the life of the object and reads it back.
//
// The file is unlinked as soon as it is open, and xer reaches it through /proc/self/fd: nothing is
// left in TMPDIR however the process ends, a death-test child that calls exit() with a capture alive
// included. Captures nest: when an inner one ends, xer goes back to the one around it.

#include "core/globals.h"
#include "support/temp_folder.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace test {

class log_capture {
public:
    log_capture()
    {
        std::string name = temp_base() + "/veltrix-log-XXXXXX";
        fd = mkstemp(name.data());
        if (fd < 0)
            throw std::runtime_error("cannot make a log file " + name + ": " + std::strerror(errno));
        unlink(name.c_str());
        point_xer_at(fd, std::ios::trunc);
        open_captures().push_back(this);
    }
    ~log_capture()
    {
        std::vector<log_capture*>& open = open_captures();
        const bool innermost = !open.empty() && open.back() == this;
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
        if (innermost) {
            xer.close();
            xer.clear();
            if (!open.empty())
                point_xer_at(open.back()->fd, std::ios::app);
        }
        close(fd);
    }
    log_capture(const log_capture&) = delete;
    log_capture& operator=(const log_capture&) = delete;

    // Everything logged so far.
    std::string text() const
    {
        xer.flush();
        std::string all;
        char chunk[65536];
        for (off_t at = 0;;) {
            const ssize_t got = pread(fd, chunk, sizeof chunk, at);
            if (got <= 0)
                return all;
            all.append(chunk, size_t(got));
            at += got;
        }
    }

private:
    static void point_xer_at(int fd, std::ios::openmode mode)
    {
        if (xer.is_open())
            xer.close();
        xer.clear();
        xer.open("/proc/self/fd/" + std::to_string(fd), std::ios::out | mode);
    }
    static std::vector<log_capture*>& open_captures()
    {
        static std::vector<log_capture*> open;
        return open;
    }

    int fd = -1;
};

}  // namespace test
