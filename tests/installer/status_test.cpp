// Status texts and arithmetic of the installer screen's bottom block.

#include <gtest/gtest.h>

#include <cmath>

#include "core/stg.h"
#include "installer/status.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

using test::command_output;
using test::temp_folder;

namespace {

const std::string NOT_ENOUGH = "You don't have enough disk space to install this!";

TEST(StatusIdle, ExplainsTheStateAndWhetherTheInstallFitsOnTheVolume)
{
    const std::string fetching = "I am figuring out what the latest version of Veltrix is right now...";
    const std::string listing = "This may take a moment as I download the latest list of Veltrix files...";
    const std::string latest = "Your copy of Veltrix is already the latest version.";
    const std::string remember = "(Remember, the BETA installer only checks for the latest BETA version, and the FULL "
                                 "installer checks only for the latest FULL version of Veltrix).";
    const std::string five = "You are about to install 5.0 Meg of files to get R.";
    const std::string have = " of drive space available for the selected directory.";
    const std::string may = "You may install at will.";
    const std::string gig = "You are about to install 1.5 Gig of files to get R.";
    const struct {
        int dir_state;
        float need, free;
        std::string line[3];
        int colour2, space_ok;  // the disk test's result, 7 before
    } cases[] = {
        {DIR_STATE_READ, 1500000, 1200000, {gig, "You have 1.2 Gig" + have, NOT_ENOUGH}, COLOUR_WARNING, 0},
        // Free space equal to the need is too little.
        {DIR_STATE_READ, 5000, 5000, {five, "You have 5.0 Meg" + have, NOT_ENOUGH}, COLOUR_WARNING, 0},
        {DIR_STATE_READ, 5000, 900000, {five, "You have 900.0 Meg" + have, may}, COLOUR_SUCCESS, 1},
        {DIR_STATE_READ, 5000, -1, {five, "", ""}, COLOUR_NORMAL, 7},  // an unreadable volume keeps the last result
        {DIR_STATE_NONE, 0, -1, {fetching, listing, ""}, COLOUR_NORMAL, 7},
        {DIR_STATE_READ, 0, 100, {latest, remember, "This is a full installer."}, COLOUR_NORMAL, 7},
    };
    for (const auto& c : cases) {
        int space_ok = 7;
        const status_block block = idle_status(c.dir_state, c.need, c.free, "R", &space_ok);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(block.line[i], c.line[i]) << c.need << " of " << c.free << ", line " << i;
        EXPECT_EQ(block.colour[2], c.colour2) << c.need << " of " << c.free;
        EXPECT_EQ(space_ok, c.space_ok) << c.need << " of " << c.free;
    }
}

TEST(StatusProgress, RatioPercentAndTimeLeft)
{
    float ratio = 0;
    for (int frame = 0; frame < 200; ++frame)
        ratio = next_install_ratio(ratio, 0.02f, 0, 0);
    EXPECT_TRUE(ratio > 0.99f && ratio <= 1.0f) << "an install that needs nothing counts as done: " << ratio;
    // One frame of 0.02 s moves a tenth of the way to the truth, and the ratio stays within 0..1.
    EXPECT_FLOAT_EQ(next_install_ratio(0, 0.02f, 500, 1000), 0.05f);
    EXPECT_FLOAT_EQ(next_install_ratio(0.9f, 0.02f, 4000, 1000), 1.0f);
    EXPECT_FLOAT_EQ(next_install_ratio(0, 0.5f, -100, 1000), 0.0f);

    const std::pair<float, const char*> percents[] = {
        {0.0537f, "05.3"}, {0.0f, "00.0"}, {0.999f, "99.9"}, {1.0f, "100.0"}};
    for (const auto& [fraction, text] : percents)
        EXPECT_EQ(percent_text(fraction), text) << fraction;

    // 100 kB downloaded in 10 s: 10 kB/s. No bytes yet: no rate, no line; elapsed below 1 s counts
    // as 1 s; nothing left is not negative; a trickle against a huge download is a plain positive count.
    EXPECT_EQ(time_left_text(100, 10, 100 + 1190, 2),
              "About 119 seconds left in the install, downloading at 10 kilobytes/second with 2 simultaneous download "
              "streams.");
    const struct {
        float done, elapsed, total;
        int streams;
        std::string starts;
    } left[] = {{100, 10, 100 + 1200, 3, "About 2 minutes left"},
                {100, 10, 100 + 72000, 4, "About 2 hours left"},
                {50, 0, 5000, 2, "About 99 seconds left"},
                {100, 10, 50, 2, "About 0 seconds left"}};
    for (const auto& l : left)
        EXPECT_EQ(time_left_text(l.done, l.elapsed, l.total, l.streams).substr(0, l.starts.size()), l.starts)
            << l.done << " in " << l.elapsed << " of " << l.total;
    EXPECT_EQ(time_left_text(0, 10, 5000, 2), "");
    const std::string trickle = time_left_text(1e-30f, 1e6f, 3e38f, 2);
    EXPECT_TRUE(trickle.rfind("About ", 0) == 0 && trickle.find('-') == std::string::npos &&
                trickle.find(" hours left") != std::string::npos)
        << trickle;
}

TEST(StatusLines, RunningFinishedRetryAndReleaseTexts)
{
    status_block running = running_status(ACTION_DOWNLOAD, "Cessna.acf", 0.427f, 0.0537f, "1.0 Meg", "9.0 Meg", "");
    EXPECT_EQ(running.line[0], "Downloading and installing Cessna.acf, currently 42% done with that file.");
    EXPECT_EQ(running.line[1],
              "05.3% done with the internet install, having installed 1.0 Meg of 9.0 Meg for the internet install.");
    EXPECT_EQ(running_status(ACTION_DELETE, "old.txt", 0, 0, "", "", "").line[0],
              "Deleting old.txt because that file is no longer needed!");
    EXPECT_EQ(finished_status(0).line[0], "INSTALLATION COMPLETE!");
    const status_block failed = finished_status(1);
    EXPECT_EQ(failed.line[0], "The installation was not completed because an error occurred.");
    EXPECT_EQ(failed.colour[0], COLOUR_ERROR);
    const status_block retry = download_failed_status("/pub/R/All/a.txt.zip");
    EXPECT_EQ(retry.line[0], "I can NOT download the file '/pub/R/All/a.txt.zip'!");
    EXPECT_EQ(retry.line[2], "I am trying another server now to see if I can still get you a download...");

    // The release panel's line: the first matching state wins; a completed install keeps its
    // text after a new destination.
    const struct {
        int servers, all_done, phase, is_install;
        std::string text;
        int colour;
    } lines[] = {
        {-1, 1, INSTALL_RUNNING, 1, "Looking for servers... you need internet for this...", COLOUR_NORMAL},
        {0, 1, INSTALL_RUNNING, 1, "I could not find any servers to get Veltrix from!", COLOUR_WARNING},
        {2, 1, INSTALL_IDLE, 0, "INSTALLATION COMPLETE!", COLOUR_SUCCESS},
        {2, 0, INSTALL_RUNNING, 0, "OK I am installing this now...", COLOUR_NORMAL},
    };
    for (const auto& l : lines) {
        int colour = -1;
        EXPECT_EQ(release_status_line(l.servers, l.all_done, l.phase, l.is_install, &colour), l.text);
        EXPECT_EQ(colour, l.colour) << l.text;
    }
    int colour = -1;
    EXPECT_EQ(
        std::string(release_status_line(2, 0, INSTALL_IDLE, 0, &colour)).rfind("To make the download a LOT faster,", 0),
        0u);
    EXPECT_NE(std::string(release_status_line(2, 0, INSTALL_IDLE, 1, &colour)).find("installation  by just"),
              std::string::npos);
}

TEST(StatusVolume, FreeSpaceOfAFolderOrItsParent)
{
    temp_folder dir;
    const float here = volume_free_kb(dir.root + "/");
    const double expected_kb = std::stod(command_output("df --output=avail -B1 '" + dir.root + "' | tail -1")) * 0.001;
    EXPECT_NEAR(here, expected_kb, expected_kb * 0.01 + 1000);
    EXPECT_NEAR(volume_free_kb(dir.root + "/not/yet/made/"), here, expected_kb * 0.01 + 1000)
        << "a folder not made yet is measured on its parent's volume";
}

TEST(StatusGlobeAndBar, GlobeCyclesWhileInstallingAndTheBarFillsItsTrack)
{
    EXPECT_EQ(next_globe_cell(8, INSTALL_IDLE, 1), 21);
    EXPECT_EQ(next_globe_cell(13, INSTALL_FINISHED, 0), 21);
    EXPECT_EQ(next_globe_cell(21, INSTALL_RUNNING, 0), 21) << "only the 0.1 s tick moves it";
    EXPECT_EQ(next_globe_cell(21, INSTALL_RUNNING, 1), 22);
    EXPECT_EQ(next_globe_cell(23, INSTALL_RUNNING, 1), 8) << "23 wraps to 8";

    const std::pair<float, int> halves[] = {{287.0f, 287}, {2.5f, 3}, {-2.5f, -3}, {2.49f, 2}};
    for (const auto& [value, rounded] : halves)
        EXPECT_EQ(nearest(value), rounded) << value;
    const bar_span track = progress_track(132, 1016);
    EXPECT_EQ(track.centre, 574);
    EXPECT_EQ(track.width, 884);
    bar_span fill;
    ASSERT_TRUE(progress_fill(132, 1016, 1.0f, &fill));
    EXPECT_EQ(fill.centre, 574) << "a full bar covers the track";
    EXPECT_EQ(fill.width, 884);
    EXPECT_FALSE(progress_fill(132, 1016, 0.015f, &fill)) << "time left shows from 0.01, the bar from 0.02";
    EXPECT_FALSE(progress_fill(132, 1016, 0.02f, &fill));
    ASSERT_TRUE(progress_fill(132, 1016, 0.5f, &fill));
    EXPECT_EQ(fill.width, 444);   // b = 132 + 442 = 574; width 4 x nearest(442 / 4)
    EXPECT_EQ(fill.centre, 354);  // 2 x nearest(706 / 4)
}

}  // namespace
