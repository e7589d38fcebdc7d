#pragma once
// Points the log stream xer at a fresh temporary file and reads it back.

#include "core/globals.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

class log_capture {
public:
    log_capture()
    {
        char name[] = "/tmp/veltrix-log-XXXXXX";
        int fd = mkstemp(name);
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
        unlink(path.c_str());
    }
    std::string text()
    {
        xer.flush();
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string path;
};
