// Helpers for the shell's tests: a private temporary folder, stub programs put first on PATH,
// the log stream opened on a file of that folder, and whole-file reading.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/globals.h"

namespace shell_test {

inline std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void write_file(const std::string& path, const std::string& text, mode_t mode = 0644)
{
    std::ofstream(path, std::ios::binary) << text;
    chmod(path.c_str(), mode);
}

// A fresh folder with bin/ first on PATH and T exported for the stubs; removed afterwards,
// with PATH and T restored.
class scratch_folder {
public:
    scratch_folder()
    {
        char name[] = "/tmp/veltrix-shell-XXXXXX";
        path_ = mkdtemp(name);
        std::filesystem::create_directory(bin());
        const char* old = std::getenv("PATH");
        old_path_ = old ? old : "";
        setenv("PATH", (bin() + ":" + old_path_).c_str(), 1);
        setenv("T", path_.c_str(), 1);
    }
    ~scratch_folder()
    {
        setenv("PATH", old_path_.c_str(), 1);
        unsetenv("T");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    scratch_folder(const scratch_folder&) = delete;
    scratch_folder& operator=(const scratch_folder&) = delete;

    const std::string& path() const { return path_; }
    std::string bin() const { return path_ + "/bin"; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void add_tool(const std::string& name, const std::string& script) const
    {
        write_file(bin() + "/" + name, script, 0755);
    }
    // PATH holding only the stub folder: no real tool can be found.
    void hide_system_tools() const { setenv("PATH", bin().c_str(), 1); }

private:
    std::string path_;
    std::string old_path_;
};

// The log stream on a file for the life of the object.
class log_on_file {
public:
    explicit log_on_file(const std::string& path) : path_(path)
    {
        xer.close();
        xer.clear();
        xer.open(path, std::ios::out | std::ios::trunc);
    }
    ~log_on_file() { xer.close(); }
    std::string text()
    {
        xer.flush();
        return read_file(path_);
    }

private:
    std::string path_;
};

}
