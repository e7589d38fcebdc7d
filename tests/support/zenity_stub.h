#pragma once
// A stub zenity first on PATH for the life of the object, as the end-to-end runs have it: it records
// its arguments in <folder>/zenity.args and prints the answer given with answer(), or exits 1 (the
// user cancelled) when none is set. The chooser layer finds it as it would find the real tool.

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace test {

class zenity_stub {
public:
    zenity_stub()
    {
        const std::string bin = folder / "bin";
        mkdir(bin.c_str(), 0755);
        write_file(bin + "/zenity",
                   "#!/bin/sh\n"
                   "printf '%s\\n' \"$@\" >> \"$T/zenity.args\"\n"
                   "[ -n \"$ZENITY_ANSWER\" ] || exit 1\n"
                   "printf '%s\\n' \"$ZENITY_ANSWER\"\n");
        chmod((bin + "/zenity").c_str(), 0755);
        const char* path = std::getenv("PATH");
        old_path_ = path ? path : "";
        setenv("PATH", (bin + ":" + old_path_).c_str(), 1);
        setenv("T", folder.root.c_str(), 1);
        unsetenv("ZENITY_ANSWER");
    }
    ~zenity_stub()
    {
        setenv("PATH", old_path_.c_str(), 1);
        unsetenv("T");
        unsetenv("ZENITY_ANSWER");
    }
    zenity_stub(const zenity_stub&) = delete;
    zenity_stub& operator=(const zenity_stub&) = delete;

    // The path the next runs answer with; an empty one makes them cancel.
    void answer(const std::string& path) const
    {
        if (path.empty())
            unsetenv("ZENITY_ANSWER");
        else
            setenv("ZENITY_ANSWER", path.c_str(), 1);
    }
    // Every argument of every run so far, one a line; empty when the chooser never ran.
    std::string arguments() const { return read_file(folder / "zenity.args"); }

    temp_folder folder;

private:
    std::string old_path_;
};

}  // namespace test
