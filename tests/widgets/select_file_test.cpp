// The file-select fields: the path component they show, the folder chooser their button opens (a stub
// zenity answering as the user would), the char-buffer form's bounds and the argument checks.
#include <gtest/gtest.h>

#include <cstring>

#include "core/globals.h"
#include "core/mnw.h"
#include "support/zenity_stub.h"
#include "widgets/select_file.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

class SelectFile : public widget_gl_test {
protected:
    test::zenity_stub zenity;
};

TEST_F(SelectFile, ShowsTheLastComponentOfThePath)
{
    struct case_ {
        const char* path;
        const char* shown;
    };
    const case_ cases[] = {
        {"/Applications/Sim/", "Sim/"},
        {"/Applications", "/Applications"},
        {"abc", ""},
        {"ab", "ab"},
        {"a", ""},
        {"", ""},
        {"C:\\x\\y", "y"},
        {"a:b", "b"},
        {"//", "//"},
        {"/a/", "/a/"},
    };
    mouse(0, 0, 0);
    for (const case_& c : cases) {
        std::string path = c.path;
        EXPECT_EQ(BTN_select_file_stl(200, 200, 998, 0, 0, &path, ""), 0);
        EXPECT_EQ(stl_global, c.shown) << c.path;
        EXPECT_EQ(path, c.path);
    }
    // The shown text starts at x, the chooser button's art left of the field.
    std::string path = "/x/Sim";
    BTN_select_file_stl(200, 200, 998, 0, 0, &path, "");
    EXPECT_EQ(texel_at(201, 202).s, 41);               // 'S': cell 47, from s 40
    EXPECT_EQ(texel_at(183, 203), (texel{221, 146}));  // the chooser cell's middle
    EXPECT_TRUE(zenity.arguments().empty());
}

TEST_F(SelectFile, TheButtonOpensTheFolderChooserAndKeepsWhatItAnswers)
{
    std::string path = "/old/place";
    stls.help_line.clear();
    mouse(172, 192, 0);  // the button's corner: hovering shows the help only
    EXPECT_EQ(BTN_select_file_stl(200, 200, 999, 1, 17, &path, "Folder|{ Pick it"), 0);
    EXPECT_EQ(stls.help_line, "Pick it");
    EXPECT_TRUE(zenity.arguments().empty());

    zenity.answer("/home/pilot/Sim Suite");
    mouse(194, 212, 1);  // the opposite corner, with a press
    EXPECT_EQ(BTN_select_file_stl(200, 200, 999, 1, 17, &path, "Folder|"), 1);
    EXPECT_EQ(path, "/home/pilot/Sim Suite");
    EXPECT_EQ(stl_global, "Sim Suite");
    EXPECT_EQ(zenity.arguments(), "--file-selection\n--directory\n--title=Please pick an Veltrix Suite to update\n");

    // Cancelled, the path stays; a press beside the button opens nothing.
    zenity.answer("");
    EXPECT_EQ(BTN_select_file_stl(200, 200, 999, 1, 17, &path, ""), 0);
    EXPECT_EQ(path, "/home/pilot/Sim Suite");
    const std::string asked = zenity.arguments();
    mouse(195, 200, 1);
    EXPECT_EQ(BTN_select_file_stl(200, 200, 999, 1, 17, &path, ""), 0);
    EXPECT_EQ(zenity.arguments(), asked);
}

TEST_F(SelectFile, TheBufferFormCutsToItsSizeAndHoldsTheStringLimit)
{
    alert_recorder alerts;
    mouse(180, 200, 1);
    const std::string thirty = "/abcdefghijklmnopqrstuvwxyz/01";
    zenity.answer(thirty);
    char buffer[12];
    std::memset(buffer, '#', sizeof buffer);
    std::strcpy(buffer, "/a");
    EXPECT_EQ(BTN_select_file_chr(200, 200, 998, 0, 0, buffer, 10, ""), 1);
    EXPECT_EQ(std::string(buffer), thirty.substr(0, 9));
    EXPECT_EQ(buffer[10], '#');

    // 499 characters fit the text buffers; 500 are fatal.
    std::vector<char> large(600, 0);
    zenity.answer("/" + std::string(498, 'p'));
    EXPECT_EQ(BTN_select_file_chr(200, 200, 998, 0, 0, large.data(), 600, ""), 1);
    EXPECT_EQ(std::strlen(large.data()), 499u);
    zenity.answer("/" + std::string(499, 'p'));
    const recorded_alert a = expect_fatal([&] { BTN_select_file_chr(200, 200, 998, 0, 0, large.data(), 600, ""); });
    EXPECT_EQ(a.l1, "String too long!");
    EXPECT_EQ(a.l2, "/" + std::string(499, 'p'));
}

TEST_F(SelectFile, BadArgumentsAreFatal)
{
    alert_recorder alerts;
    struct case_ {
        int open_save, file_path, file_type;
        const char* message;
    };
    const case_ cases[] = {{997, 0, 0, "Bad open_save arg to "},
                           {998, 2, 0, "Bad file_path arg to "},
                           {999, -1, 0, "Bad file_path arg to "},
                           {998, 1, 18, "Bad file_type arg to "},
                           {999, 0, -1, "Bad file_type arg to "}};
    mouse(0, 0, 0);
    for (const case_& c : cases) {
        std::string path;
        char buffer[8] = "";
        EXPECT_EQ(
            expect_fatal([&] { BTN_select_file_stl(200, 200, c.open_save, c.file_path, c.file_type, &path, ""); }).l1,
            std::string(c.message) + "BTN_select_file_stl!");
        EXPECT_EQ(expect_fatal([&] {
                      BTN_select_file_chr(200, 200, c.open_save, c.file_path, c.file_type, buffer, 8, "");
                  }).l1,
                  std::string(c.message) + "BTN_select_file_chr!");
    }
}
