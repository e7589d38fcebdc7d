// The file-select fields: the path component they show, the folder chooser their button opens (a
// stand-in zenity first on PATH answering as the user would) and the char-buffer form's bounds.
#include <gtest/gtest.h>

#include "core/globals.h"
#include "support/tool_stubs.h"
#include "widgets/select_file.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

class SelectFile : public widget_gl_test { };

TEST_F(SelectFile, ShowsTheLastComponentAndKeepsWhatTheChooserAnswers)
{
    const std::pair<const char*, const char*> shown[] = {{"/Applications/Sim/", "Sim/"},
                                                         {"/Applications", "/Applications"},
                                                         {"abc", ""},
                                                         {"ab", "ab"},
                                                         {"a", ""},
                                                         {"C:\\x\\y", "y"},
                                                         {"/a/", "/a/"}};
    mouse(0, 0, 0);
    for (auto [path, expected] : shown) {
        std::string p = path;
        BTN_select_file_stl(200, 200, 998, 0, 0, &p, "");
        EXPECT_EQ(stl_global, expected) << path;
    }
    // A press on the button (its hit box 172 .. 194 by 192 .. 212) runs the folder chooser; a cancel
    // leaves the path, and the buffer form cuts an answer to its buffer.
    test::tool_stubs tools;
    tools.add("zenity");
    std::string path = "/old/place";
    tools.answer("/home/pilot/Sim Suite");
    mouse(194, 212, 1);
    EXPECT_EQ(BTN_select_file_stl(200, 200, 999, 1, 17, &path, ""), 1);
    EXPECT_EQ(path, "/home/pilot/Sim Suite");
    EXPECT_EQ(tools.args("zenity"), "--file-selection\n--directory\n--title=Please pick an Veltrix Suite to update\n");
    tools.answer("");
    EXPECT_EQ(BTN_select_file_stl(200, 200, 999, 1, 17, &path, ""), 0);
    EXPECT_EQ(path, "/home/pilot/Sim Suite");
    char buffer[12] = "/a\0########";
    tools.answer("/abcdefghijklmnopqrstuvwxyz/01");
    EXPECT_EQ(BTN_select_file_chr(200, 200, 998, 0, 0, buffer, 10, ""), 1);
    EXPECT_EQ(std::string(buffer) + buffer[10], "/abcdefgh#");
    mouse(195, 200, 1);  // beside the button: no chooser
    const std::string asked = tools.args("zenity");
    BTN_select_file_chr(200, 200, 998, 0, 0, buffer, 10, "");
    EXPECT_EQ(tools.args("zenity"), asked);
}
