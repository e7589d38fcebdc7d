// The file box drawn in OpenGL, frame by frame over a real folder tree made by the test: where it
// starts, the folder pop-up, opening folders and files, saved names, and folders that change under it.
// BTN_opensave's own loop is driven end to end with xdotool by opensave_e2e.sh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/globals.h"
#include "core/mnw.h"
#include "shell/windows.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"
#include "widgets/menus.h"
#include "widgets/opensave.h"
#include "widgets/textlist.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;
namespace fs = std::filesystem;

namespace {

// The box (341 x 484) sits at (342, 142) on the 1024 x 768 screen.
constexpr int BOX_X = 342, BOX_Y = 142;
// The name list's middle row is at y 180, rows 10 apart; the buttons sit at y 28.
constexpr float LIST_MIDDLE = 180, ROW = 10;
constexpr float SAVE_X = 282, CANCEL_X = 42, BUTTONS_Y = 28;

}  // namespace

class FileBox : public widget_gl_test {
protected:
    // The program's folder: A/B holds a file, an aircraft, and folders named with '-' and '|'.
    void SetUp() override
    {
        widget_gl_test::SetUp();
        old_folder_ = fs::current_path();
        fs::current_path(root.root);
        for (const char* folder : {"A/B/sub-dir", "A/B/pipe|name", "empty", "Output/movies"})
            fs::create_directories(folder);
        for (const char* file : {"A/B/file.txt", "A/B/other.acf", "A/x.txt", "Output/movies/old.smo"})
            test::write_file(file, "x");
        fs::create_directories("flights/old");
        test::write_file("flights/notes.fdr", "A\n1 version\nTITL, Not this\nComm, a flight to remember\n");
        wrk_path.clear();
        stl_input.clear();
        mnw.cur_win = WIN_MAIN;
    }
    void TearDown() override
    {
        mnw.cur_win = WIN_MAIN;
        fs::current_path(old_folder_);
        widget_gl_test::TearDown();
    }

    // One frame with the mouse at (x, y) of the box, pressed or not; Return lasts one frame.
    opensave_answer frame(float x, float y, int click = 0)
    {
        mouse(x, y, click);
        const opensave_answer answer = opensave_frame(box, &result);
        return_hit = 0;
        return answer;
    }
    // A press on entry k of the list, whose middle row shows the current entry.
    opensave_answer click_entry(int k) { return frame(100, LIST_MIDDLE - ROW * (k - box.current), 1); }

    test::temp_folder root;
    opensave_box box;
    std::string result = "unchanged";

private:
    fs::path old_folder_;
};

TEST_F(FileBox, StartsInTheFolderOfTheResultAndClimbsThroughThePopup)
{
    box = opensave_open(WIN_FILE_OPEN, OPENSAVE_RELATIVE_PATH, 0, "A/B/file.txt");
    EXPECT_EQ(wrk_path, "A/B/");
    EXPECT_EQ(mnw.cur_win, WIN_FILE_OPEN);
    // file.txt, other.acf, pipe|name, sub-dir: the middle one of four is current.
    EXPECT_EQ(box.current, 2);
    EXPECT_EQ(frame(0, 0), opensave_answer::going_on);
    // The path as a staircase in the info panel: A at (40, 395), B at (50, 385).
    EXPECT_EQ(texel_at(BOX_X + 41, BOX_Y + 397).s, 89);
    EXPECT_EQ(texel_at(BOX_X + 51, BOX_Y + 387).s, 105);
    // The open box shows the hovered entry's name in its bar.
    EXPECT_TRUE(glyph_at(BOX_X + 26, BOX_Y + 51));

    // The pop-up lists the program's folder and the path's folders, the last one chosen.
    frame(170, 440, 1);
    ASSERT_EQ(mnw.open_menu, POPUP_MENU);
    const std::vector<item_struct>& items = menu[POPUP_MENU].items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].name, "Veltrix Suite folder");
    EXPECT_EQ(items[1].name, "A");
    EXPECT_EQ(items[2].name, "B");
    EXPECT_EQ(items[2].y1, 438);

    // Picking the program's folder, two rows above, lists the program's folder.
    mouse(170, 465, 1);
    MACIBM_handleclick(0);
    frame(0, 0);
    EXPECT_EQ(wrk_path, "");
    box.current = 0;
    EXPECT_EQ(click_entry(0), opensave_answer::going_on);  // "A": into it
    EXPECT_EQ(wrk_path, "A/");
    EXPECT_EQ(click_entry(0), opensave_answer::going_on);  // "B"
    EXPECT_EQ(wrk_path, "A/B/");

    // Folder names with '-' and '|' show blanks in the pop-up, which would refuse a '|'.
    alert_recorder alerts;
    frame(170, 440, 1);
    EXPECT_EQ(click_entry(2), opensave_answer::going_on);  // "pipe|name"
    EXPECT_EQ(wrk_path, "A/B/pipe|name/");
    frame(170, 440, 1);
    ASSERT_EQ(menu[POPUP_MENU].items.size(), 4u);
    EXPECT_EQ(menu[POPUP_MENU].items[3].name, "pipe name");
    EXPECT_TRUE(alerts.alerts().empty());
}

TEST_F(FileBox, TheOpenBoxReturnsTheFileClickedOrHovered)
{
    struct case_ {
        int path_mode;
        bool by_return;
        const char* expected;
    };
    const case_ cases[] = {{OPENSAVE_RELATIVE_PATH, false, "A/x.txt"},
                           {OPENSAVE_BARE_NAME, false, "x.txt"},
                           {OPENSAVE_RELATIVE_PATH, true, "A/x.txt"}};
    for (const case_& c : cases) {
        mnw.cur_win = 2;
        result = "unchanged";
        box = opensave_open(WIN_FILE_OPEN, c.path_mode, 0, "A/");
        EXPECT_EQ(wrk_path, "");  // a folder path starts in its parent
        box.current = 0;
        ASSERT_EQ(click_entry(0), opensave_answer::going_on);  // into A: B, x.txt
        ASSERT_EQ(wrk_path, "A/");
        opensave_answer answer;
        if (c.by_return) {
            frame(100, LIST_MIDDLE - ROW * (1 - box.current));  // hover x.txt
            return_hit = 1;
            answer = frame(0, 0);
        } else {
            answer = click_entry(1);
        }
        EXPECT_EQ(answer, opensave_answer::chosen);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(mnw.cur_win, 2);  // the window it came from
    }

    // Cancel leaves the result as it was.
    result = "unchanged";
    box = opensave_open(WIN_FILE_OPEN, OPENSAVE_BARE_NAME, 0, "");
    EXPECT_EQ(frame(CANCEL_X, BUTTONS_Y, 1), opensave_answer::cancelled);
    EXPECT_EQ(result, "unchanged");
}

TEST_F(FileBox, TheSaveBoxNamesWhatWasTyped)
{
    struct case_ {
        int kind, path_mode;
        std::string typed;
        std::string expected;
    };
    const case_ cases[] = {
        {10, OPENSAVE_RELATIVE_PATH, "clip.mov", "Output/movies/clip.SMO"},
        {10, OPENSAVE_BARE_NAME, "clip.mov", "clip.SMO"},
        {10, OPENSAVE_BARE_NAME, "a.bc", "a.bc.SMO"},
        {10, OPENSAVE_BARE_NAME, std::string(35, 'n'), std::string(30, 'n') + ".SMO"},
        {0, OPENSAVE_BARE_NAME, "plain.txt", "plain"},
        {1, OPENSAVE_RELATIVE_PATH, "flight", "A/flight"},
    };
    for (const case_& c : cases) {
        box = opensave_open(WIN_FILE_SAVE, c.path_mode, c.kind, "A/x.txt");
        stl_input = c.typed;
        EXPECT_EQ(frame(SAVE_X, BUTTONS_Y, 1), opensave_answer::chosen) << c.typed;
        EXPECT_EQ(result, c.expected);
    }

    // With nothing typed, Save and Return wait; a file clicked does nothing, a folder opens.
    result = "unchanged";
    box = opensave_open(WIN_FILE_SAVE, OPENSAVE_RELATIVE_PATH, 0, "A/x.txt");
    EXPECT_EQ(frame(SAVE_X, BUTTONS_Y, 1), opensave_answer::going_on);
    return_hit = 1;
    EXPECT_EQ(frame(0, 0), opensave_answer::going_on);
    box.current = 0;
    EXPECT_EQ(click_entry(1), opensave_answer::going_on);  // x.txt
    EXPECT_EQ(wrk_path, "A/");
    EXPECT_EQ(click_entry(0), opensave_answer::going_on);  // B
    EXPECT_EQ(wrk_path, "A/B/");
    EXPECT_EQ(result, "unchanged");
}

TEST_F(FileBox, NothingStaleIsEverChosen)
{
    // A big folder leaves its names in the listing tables; an empty one then lists nothing, and
    // Return or a click there must not return what the tables still hold.
    fs::create_directory("many");
    for (int i = 0; i < 3005; ++i)
        test::write_file("many/f" + std::to_string(10000 + i), "");
    box = opensave_open(WIN_FILE_OPEN, OPENSAVE_BARE_NAME, 0, "many/f10000");
    EXPECT_EQ(box.current, 1500);
    EXPECT_EQ(frame(100, 130), opensave_answer::going_on);  // hovers f11505
    EXPECT_EQ(g_file[box.hovered], "f11505");

    wrk_path = "empty/";
    return_hit = 1;
    EXPECT_EQ(frame(100, 180, 1), opensave_answer::going_on);
    EXPECT_EQ(result, "unchanged");

    // A folder that disappears while the box shows it lists nothing from the next frame on.
    wrk_path = "A/B/";
    frame(0, 0);
    fs::remove_all("A/B");
    return_hit = 1;
    EXPECT_EQ(frame(100, 180, 1), opensave_answer::going_on);
    EXPECT_EQ(result, "unchanged");

    // The big folder: its last entries can be reached and chosen.
    wrk_path = "many/";
    box.current = 2999;
    EXPECT_EQ(click_entry(2999), opensave_answer::chosen);
    EXPECT_EQ(result, "f12999");
}

TEST_F(FileBox, FlightFilesShowTheirComment)
{
    // Kind 8 lists folders and .FDR files and shows the hovered file's "COMM" line instead of the path.
    box = opensave_open(WIN_FILE_OPEN, OPENSAVE_BARE_NAME, 8, "flights/notes.fdr");
    EXPECT_EQ(g_file[box.current], "old");
    EXPECT_EQ(frame(100, LIST_MIDDLE + ROW), opensave_answer::going_on);  // hovers notes.fdr, a row up
    EXPECT_EQ(g_file[box.hovered], "notes.fdr");
    EXPECT_EQ(texel_at(BOX_X + 31, BOX_Y + 407).s, 97);  // 'a' at (30, 405): cell 12, from s 96
    EXPECT_FALSE(glyph_at(BOX_X + 41, BOX_Y + 397));     // no staircase of "flights/"
}

TEST_F(FileBox, BadArgumentsAreFatal)
{
    alert_recorder alerts;
    struct case_ {
        int box_id, path_mode, kind;
        const char* message;
        int line;
    };
    const case_ cases[] = {{997, 0, 0, "Bad open_save arg to BTN_opensave!", 1105},
                           {998, 2, 0, "Bad file_path arg to BTN_opensave!", 1106},
                           {999, 0, 18, "Bad file_type arg to BTN_opensave!", 1107},
                           {999, 0, -1, "Bad file_type arg to BTN_opensave!", 1107}};
    for (const case_& c : cases) {
        const recorded_alert a = expect_fatal([&] { (void)opensave_open(c.box_id, c.path_mode, c.kind, ""); });
        EXPECT_EQ(a.l1, c.message);
        EXPECT_EQ(a.file, "DEzovuv/OOPS_cpp/butn");
        EXPECT_EQ(a.line, c.line);
    }
}
