// The file-select fields: the path component they show, the folder chooser their button opens (a stub
// zenity first on PATH answering as the user would), the char-buffer form's bounds and the checks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "core/globals.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"
#include "widgets/select_file.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

class SelectFile : public widget_gl_test {
protected:
    void SetUp() override
    {
        widget_gl_test::SetUp();
        test::write_file(stub.root + "/zenity",
                         "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$T/zenity.args\"\n"
                         "[ -n \"$ZENITY_ANSWER\" ] || exit 1\nprintf '%s\\n' \"$ZENITY_ANSWER\"\n");
        chmod((stub / "zenity").c_str(), 0755);
        setenv("PATH", (stub.root + ":" + old_path).c_str(), 1);
        setenv("T", stub.root.c_str(), 1);
    }
    void TearDown() override
    {
        setenv("PATH", old_path.c_str(), 1);
        unsetenv("ZENITY_ANSWER");
    }
    static void answer(const std::string& path) { setenv("ZENITY_ANSWER", path.c_str(), 1); }

    test::temp_folder stub;
    std::string old_path = std::getenv("PATH");
};

TEST_F(SelectFile, ShowsTheLastComponentAndKeepsWhatTheChooserAnswers)
{
    // clang-format off
    const std::pair<const char*, const char*> shown[] = {{"/Applications/Sim/", "Sim/"}, {"/Applications", "/Applications"},
        {"abc", ""}, {"ab", "ab"}, {"a", ""}, {"C:\\x\\y", "y"}, {"/a/", "/a/"}};
    // clang-format on
    mouse(0, 0, 0);
    for (auto [path, expected] : shown) {
        std::string p = path;
        BTN_select_file_stl(200, 200, 998, 0, 0, &p, "");
        EXPECT_EQ(stl_global, expected) << path;
    }
    // A press on the button (its hit box 172 .. 194 by 192 .. 212) runs the folder chooser; a cancel
    // leaves the path, and the buffer form cuts an answer to its buffer.
    std::string path = "/old/place";
    answer("/home/pilot/Sim Suite");
    mouse(194, 212, 1);
    EXPECT_EQ(BTN_select_file_stl(200, 200, 999, 1, 17, &path, ""), 1);
    EXPECT_EQ(path, "/home/pilot/Sim Suite");
    EXPECT_EQ(test::read_file(stub / "zenity.args"),
              "--file-selection\n--directory\n--title=Please pick an Veltrix Suite to update\n");
    answer("");
    EXPECT_EQ(BTN_select_file_stl(200, 200, 999, 1, 17, &path, ""), 0);
    EXPECT_EQ(path, "/home/pilot/Sim Suite");
    char buffer[12] = "/a\0########";
    answer("/abcdefghijklmnopqrstuvwxyz/01");
    EXPECT_EQ(BTN_select_file_chr(200, 200, 998, 0, 0, buffer, 10, ""), 1);
    EXPECT_EQ(std::string(buffer) + buffer[10], "/abcdefgh#");
    mouse(195, 200, 1);  // beside the button: no chooser
    const std::string asked = test::read_file(stub / "zenity.args");
    BTN_select_file_chr(200, 200, 998, 0, 0, buffer, 10, "");
    EXPECT_EQ(test::read_file(stub / "zenity.args"), asked);
}
