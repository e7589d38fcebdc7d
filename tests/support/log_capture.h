#pragma once
// Points the log stream xer at a fresh temporary file for the life of the object and reads it back.

#include "core/globals.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace test {

class log_capture {
public:
    log_capture()
    {
        char name[] = "/tmp/veltrix-log-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0)
            close(fd);
        path = name;
        if (xer.is_open())
            xer.close();
        xer.clear();
        xer.open(path, std::ios::out | std::ios::trunc);
    }
    ~log_capture()
    {
        xer.close();
        xer.clear();
        unlink(path.c_str());
    }
    log_capture(const log_capture&) = delete;
    log_capture& operator=(const log_capture&) = delete;

    // Everything logged so far.
    std::string text() const
    {
        xer.flush();
        std::ifstream in(path);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    std::string path;
};

}  // namespace test
