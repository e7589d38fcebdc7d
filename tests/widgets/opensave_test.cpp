// The file box drawn in OpenGL, frame by frame over folders the test makes: what it does with folders
// that are large, empty, vanishing or oddly named, the names it saves, and flight-file comments.
// BTN_opensave's own loop, with its clicks, pop-up and typing, runs end to end in opensave_e2e.sh.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "core/globals.h"
#include "core/mnw.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"
#include "widgets/menus.h"
#include "widgets/opensave.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;
namespace fs = std::filesystem;

class FileBox : public widget_gl_test {
protected:
    void SetUp() override
    {
        widget_gl_test::SetUp();
        fs::current_path(root.root);  // the program's folder
        wrk_path.clear();
    }
    void TearDown() override { fs::current_path(old_folder); }
    // One frame with the mouse at (x, y) of the box; Return lasts that frame.
    opensave_answer frame(float x, float y, int click, int enter = 0)
    {
        mouse(x, y, click);
        return_hit = enter;
        return opensave_frame(box, &result);
    }

    fs::path old_folder = fs::current_path();
    test::temp_folder root;
    opensave_box box;
    std::string result = "unchanged";
};

TEST_F(FileBox, OnlyAnEntryOfThisFramesListingIsEverChosen)
{
    alert_recorder alerts;
    for (const char* folder : {"many", "empty", "gone", "odd/pipe|ü-name"})
        fs::create_directories(folder);
    for (int i = 0; i < 3005; ++i)
        test::write_file("many/f" + std::to_string(10000 + i), "");
    box = opensave_open(998, OPENSAVE_BARE_NAME, 0, "many/f10000");
    EXPECT_EQ(box.current, 1500);  // half of the 3000 entries listed
    frame(100, 130, 0);            // hovers f11505, five rows down
    // An empty folder, and one that vanished since the last frame, list nothing: neither a press nor
    // Return picks what the tables still hold from the big one.
    for (const char* folder : {"empty/", "gone/"}) {
        wrk_path = folder;
        fs::remove_all("gone");
        EXPECT_EQ(frame(100, 180, 1, 1), opensave_answer::going_on) << folder;
    }
    wrk_path = "odd/pipe|ü-name/";  // '|' would end the program in the pop-up's items
    frame(170, 440, 1);
    ASSERT_EQ(menu[POPUP_MENU].items.size(), 3u);
    EXPECT_EQ(menu[POPUP_MENU].items[2].name, "pipe ü name");
    wrk_path = "many/";
    box.current = 2999;
    EXPECT_EQ(frame(100, 180, 1), opensave_answer::chosen);
    EXPECT_EQ(result, "f12999");
    EXPECT_TRUE(alerts.alerts().empty());
}

TEST_F(FileBox, AKeptListingFollowsItsFolder)
{
    // A folder that has stood unchanged is not read again every frame; an entry added since shows.
    fs::create_directories("kept");
    test::write_file("kept/a", "");
    fs::last_write_time("kept", fs::file_time_type::clock::now() - std::chrono::seconds(10));
    box = opensave_open(998, OPENSAVE_BARE_NAME, 0, "kept/a");
    frame(0, 0, 0);
    test::write_file("kept/b", "");
    EXPECT_EQ(frame(100, 170, 1), opensave_answer::chosen);  // the second entry, a row below a
    EXPECT_EQ(result, "b");
}

TEST_F(FileBox, TheSaveBoxAddsTheKindsExtensionToATypedName)
{
    fs::create_directories("A");
    const std::tuple<int, int, std::string, std::string> cases[] = {
        {10, OPENSAVE_RELATIVE_PATH, "clip.mov", "Output/movies/clip.SMO"},
        {10, OPENSAVE_BARE_NAME, "a.bc", "a.bc.SMO"},
        {10, OPENSAVE_BARE_NAME, std::string(35, 'n'), std::string(30, 'n') + ".SMO"},
        {0, OPENSAVE_RELATIVE_PATH, "plain.txt", "A/plain"},
        {0, OPENSAVE_RELATIVE_PATH, "", "unchanged"},  // nothing typed: Save waits
    };
    for (const auto& [kind, path_mode, typed, expected] : cases) {
        result = "unchanged";
        box = opensave_open(999, path_mode, kind, "A/x.txt");
        stl_input = typed;
        EXPECT_EQ(frame(282, 28, 1), expected == "unchanged" ? opensave_answer::going_on : opensave_answer::chosen);
        EXPECT_EQ(result, expected);
    }
}

TEST_F(FileBox, FlightFilesShowTheirCommentAndBadCallsAreFatal)
{
    fs::create_directories("flights/old");
    test::write_file("flights/notes.fdr", "A\n1 version\nTITL, Not this\nComm, a flight to remember\n");
    box = opensave_open(998, OPENSAVE_BARE_NAME, 8, "flights/notes.fdr");  // notes.fdr, old
    frame(100, 190, 0);                                                    // hovers notes.fdr
    EXPECT_EQ(texel_at(342 + 31, 142 + 407).s, 97);                        // 'a' at (30, 405) in the box at (342, 142)

    alert_recorder alerts;
    const std::tuple<int, int, int, const char*> bad[] = {{997, 0, 0, "Bad open_save arg to BTN_opensave!"},
                                                          {998, 2, 0, "Bad file_path arg to BTN_opensave!"},
                                                          {999, 0, 18, "Bad file_type arg to BTN_opensave!"}};
    for (auto [box_id, path_mode, kind, message] : bad)
        EXPECT_EQ(expect_fatal([&] { (void)opensave_open(box_id, path_mode, kind, ""); }).l1, message);
}
