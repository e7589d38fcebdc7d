// tool_stubs: stand-ins for the desktop's tools, first on PATH for the life of the object. The
// folder is exported as $T; add() puts tests/support/answering-tool there under a tool's name (it
// records its arguments in $T/<name>.args and answers $ZENITY_ANSWER), add_script() any other script.
// Invariant: once the object is gone PATH is as before, and T and the answer variables are unset.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace test {

class tool_stubs {
public:
    tool_stubs()
    {
        const char* path = std::getenv("PATH");
        old_path_ = path ? path : "";
        setenv("PATH", (folder.root + ":" + old_path_).c_str(), 1);
        setenv("T", folder.root.c_str(), 1);
        answer("");
    }
    ~tool_stubs()
    {
        setenv("PATH", old_path_.c_str(), 1);
        unsetenv("T");
        answer("");
    }
    tool_stubs(const tool_stubs&) = delete;
    tool_stubs& operator=(const tool_stubs&) = delete;

    void add(const std::string& tool) const
    {
        const char* source = std::getenv("VELTRIX_SOURCE_DIR");
        std::filesystem::copy_file(std::string(source ? source : ".") + "/tests/support/answering-tool", folder / tool);
    }
    void add_script(const std::string& tool, const std::string& script) const
    {
        write_file(folder / tool, script);
        chmod((folder / tool).c_str(), 0755);
    }
    // The answer of every stand-in from now on; empty: cancel. A status other than 0 is a failure.
    static void answer(const std::string& text, int status = 0)
    {
        if (text.empty())
            unsetenv("ZENITY_ANSWER");
        else
            setenv("ZENITY_ANSWER", text.c_str(), 1);
        if (status)
            setenv("ZENITY_STATUS", std::to_string(status).c_str(), 1);
        else
            unsetenv("ZENITY_STATUS");
    }
    // What the tool was called with so far, one argument a line.
    std::string args(const std::string& tool) const { return read_file(folder / (tool + ".args")); }
    // PATH holding only the stand-ins: no real tool can be found.
    void hide_system_tools() const { setenv("PATH", folder.root.c_str(), 1); }

    temp_folder folder;

private:
    std::string old_path_;
};

}  // namespace test
