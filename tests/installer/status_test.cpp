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

TEST(StatusIdle, ReportsWhetherTheInstallFitsOnTheVolume)
{
    int space_ok = 1;
    status_block fits = idle_status(DIR_STATE_READ, 1500000, 1200000, "Veltrix 851", &space_ok);
    EXPECT_EQ(fits.line[0], "You are about to install 1.5 Gig of files to get Veltrix 851.");
    EXPECT_EQ(fits.line[1], "You have 1.2 Gig of drive space available for the selected directory.");
    EXPECT_EQ(fits.line[2], "You don't have enough disk space to install this!");
    EXPECT_EQ(fits.colour[2], COLOUR_WARNING);
    EXPECT_EQ(space_ok, 0);

    status_block equal = idle_status(DIR_STATE_READ, 5000, 5000, "R", &space_ok);
    EXPECT_EQ(equal.line[2], "You don't have enough disk space to install this!")
        << "needed equal to free is too little";

    status_block room = idle_status(DIR_STATE_READ, 5000, 999999, "R", &space_ok);
    EXPECT_EQ(room.line[0], "You are about to install 5.0 Meg of files to get R.");
    EXPECT_EQ(room.line[2], "You may install at will.");
    EXPECT_EQ(room.colour[2], COLOUR_SUCCESS);
    EXPECT_EQ(space_ok, 1);

    space_ok = 0;
    status_block unknown = idle_status(DIR_STATE_READ, 5000, -1, "R", &space_ok);
    EXPECT_EQ(unknown.line[1], "");
    EXPECT_EQ(unknown.line[2], "");
    EXPECT_EQ(space_ok, 0) << "an unreadable volume keeps the last test result";
}

TEST(StatusIdle, ExplainsTheStatesBeforeAnythingIsNeeded)
{
    int space_ok = 1;
    status_block fetching = idle_status(DIR_STATE_NONE, 0, -1, "R", &space_ok);
    EXPECT_EQ(fetching.line[0], "I am figuring out what the latest version of Veltrix is right now...");
    status_block current = idle_status(DIR_STATE_READ, 0, 100, "R", &space_ok);
    EXPECT_EQ(current.line[0], "Your copy of Veltrix is already the latest version.");
    EXPECT_EQ(current.line[2], "This is a full installer.");
}

TEST(StatusProgress, RatioStaysFiniteAndWithinRange)
{
    float ratio = 0;
    for (int frame = 0; frame < 200; ++frame)
        ratio = next_install_ratio(ratio, 0.02f, 0, 0);
    EXPECT_TRUE(std::isfinite(ratio));
    EXPECT_GT(ratio, 0.99f) << "an install that needs nothing counts as done";
    EXPECT_LE(ratio, 1.0f);

    // One frame of 0.02 s moves a tenth of the way to the truth.
    EXPECT_FLOAT_EQ(next_install_ratio(0, 0.02f, 500, 1000), 0.05f);
    EXPECT_FLOAT_EQ(next_install_ratio(0.9f, 0.02f, 4000, 1000), 1.0f) << "clamped at 1";
    EXPECT_FLOAT_EQ(next_install_ratio(0, 0.5f, -100, 1000), 0.0f) << "clamped at 0";
}

TEST(StatusProgress, PercentKeepsTwoDigitsAndTruncatesOneDecimal)
{
    EXPECT_EQ(percent_text(0.0537f), "05.3");
    EXPECT_EQ(percent_text(0.0f), "00.0");
    EXPECT_EQ(percent_text(0.999f), "99.9");
    EXPECT_EQ(percent_text(1.0f), "100.0");
}

TEST(StatusProgress, TimeLeftSwitchesUnitsAndVanishesWithoutARate)
{
    // 100 kB downloaded in 10 s: 10 kB/s.
    EXPECT_EQ(time_left_text(100, 10, 100 + 1190, 2),
              "About 119 seconds left in the install, downloading at 10 kilobytes/second with 2 simultaneous download "
              "streams.");
    EXPECT_EQ(time_left_text(100, 10, 100 + 1200, 3).substr(0, 15), "About 2 minutes");
    EXPECT_EQ(time_left_text(100, 10, 100 + 72000, 4).substr(0, 13), "About 2 hours");
    EXPECT_EQ(time_left_text(0, 10, 5000, 2), "") << "no bytes yet: no rate, no line";
    EXPECT_EQ(time_left_text(50, 0, 5000, 2).substr(0, 6), "About ") << "elapsed below 1 s counts as 1 s";
    EXPECT_EQ(time_left_text(100, 10, 50, 2).substr(0, 15), "About 0 seconds") << "nothing left is not negative";
    // A trickle against a huge download: hours past any integer, still a plain positive count.
    std::string trickle = time_left_text(1e-30f, 1e6f, 3e38f, 2);
    EXPECT_EQ(trickle.substr(0, 6), "About ");
    EXPECT_EQ(trickle.find('-'), std::string::npos) << trickle;
    EXPECT_NE(trickle.find(" hours left"), std::string::npos) << trickle;
}

TEST(StatusLines, RunningFinishedAndRetryTexts)
{
    status_block running = running_status(ACTION_DOWNLOAD, "Cessna.acf", 0.427f, 0.0537f, "1.0 Meg", "9.0 Meg", "");
    EXPECT_EQ(running.line[0], "Downloading and installing Cessna.acf, currently 42% done with that file.");
    EXPECT_EQ(running.line[1],
              "05.3% done with the internet install, having installed 1.0 Meg of 9.0 Meg for the internet install.");
    EXPECT_EQ(running_status(ACTION_DELETE, "old.txt", 0, 0, "", "", "").line[0],
              "Deleting old.txt because that file is no longer needed!");

    status_block done = finished_status(0);
    EXPECT_EQ(done.line[0], "INSTALLATION COMPLETE!");
    status_block failed = finished_status(1);
    EXPECT_EQ(failed.line[0], "The installation was not completed because an error occurred.");
    EXPECT_EQ(failed.colour[0], COLOUR_ERROR);

    status_block retry = download_failed_status("/pub/R/All/a.txt.zip");
    EXPECT_EQ(retry.line[0], "I can NOT download the file '/pub/R/All/a.txt.zip'!");
    EXPECT_EQ(retry.line[2], "I am trying another server now to see if I can still get you a download...");
}

TEST(StatusVolume, FreeSpaceOfAFolderOrItsParent)
{
    temp_folder dir;
    float here = volume_free_kb(dir.root + "/");
    float missing = volume_free_kb(dir.root + "/not/yet/made/");
    EXPECT_GT(here, 0);
    EXPECT_GT(missing, 0) << "a folder not made yet is measured on its parent's volume";
    std::string df = command_output("df --output=avail -B1 '" + dir.root + "' | tail -1");
    double expected_kb = std::stod(df) * 0.001;
    EXPECT_NEAR(here, expected_kb, expected_kb * 0.01 + 1000);
}

TEST(StatusBar, NearestRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(nearest(574.0f / 2), 287);
    EXPECT_EQ(nearest(2.5f), 3);
    EXPECT_EQ(nearest(-2.5f), -3);
    EXPECT_EQ(nearest(2.49f), 2);
}

}  // namespace

namespace {

TEST(StatusLine, FirstMatchingStateWins)
{
    int colour = -1;
    EXPECT_STREQ(release_status_line(-1, 1, INSTALL_RUNNING, 1, &colour),
                 "Looking for servers... you need internet for this...");
    EXPECT_EQ(colour, COLOUR_NORMAL);
    EXPECT_STREQ(release_status_line(0, 1, INSTALL_RUNNING, 1, &colour),
                 "I could not find any servers to get Veltrix from!");
    EXPECT_EQ(colour, COLOUR_WARNING);
    EXPECT_STREQ(release_status_line(2, 1, INSTALL_IDLE, 0, &colour), "INSTALLATION COMPLETE!")
        << "a completed install keeps its text after a new destination";
    EXPECT_EQ(colour, COLOUR_SUCCESS);
    EXPECT_STREQ(release_status_line(2, 0, INSTALL_RUNNING, 0, &colour), "OK I am installing this now...");
    EXPECT_EQ(std::string(release_status_line(2, 0, INSTALL_IDLE, 0, &colour)).substr(0, 34),
              "To make the download a LOT faster,");
    EXPECT_NE(std::string(release_status_line(2, 0, INSTALL_IDLE, 1, &colour)).find("installation  by just"),
              std::string::npos);
}

TEST(StatusGlobe, CyclesWhileInstallingAndRestsOtherwise)
{
    EXPECT_EQ(next_globe_cell(8, INSTALL_IDLE, 1), 21);
    EXPECT_EQ(next_globe_cell(13, INSTALL_FINISHED, 0), 21);
    EXPECT_EQ(next_globe_cell(21, INSTALL_RUNNING, 0), 21) << "only the 0.1 s tick moves it";
    EXPECT_EQ(next_globe_cell(21, INSTALL_RUNNING, 1), 22);
    EXPECT_EQ(next_globe_cell(23, INSTALL_RUNNING, 1), 8) << "23 wraps to 8";
    int cell = 21;
    bool seen[24] = {};
    for (int frame = 0; frame < 32; ++frame) {
        cell = next_globe_cell(cell, INSTALL_RUNNING, 1);
        ASSERT_GE(cell, 8);
        ASSERT_LE(cell, 23);
        seen[cell] = true;
    }
    for (int c = 8; c <= 23; ++c)
        EXPECT_TRUE(seen[c]) << c;
}

TEST(StatusBar, TrackAndFillSpans)
{
    bar_span track = progress_track(132, 1016);
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
