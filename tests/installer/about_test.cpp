// The about box's version check: asking the update host for its list, reading it and deciding
// what to offer.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/clock.h"
#include "core/paths.h"
#include "installer/about.h"
#include "release_server.h"
#include "support/fake_clock.h"
#include "support/file_bytes.h"
#include "support/idle_frames.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

using test::log_capture;
using test::temp_folder;
using test::write_file;

namespace {

const std::string HEADER = "A\n820 version\nSERVERS\n";

struct decision {
    int state = -1, beta = -1;
    std::string server, path, message;
};

decision decide(const std::string& body)
{
    temp_folder dir;
    write_file(dir / "list.txt", HEADER + body);
    about_versions versions = read_update_list(dir / "list.txt");
    decision d;
    decide_update(versions, &d.state, &d.beta, &d.server, &d.path, &d.message);
    return d;
}

TEST(AboutVersions, ReadsTheKeysAndSkipsEverythingElse)
{
    temp_folder dir;
    write_file(dir / "list.txt",
               HEADER +
                   "BETA 8.50b9\nFINAL Veltrix 8.51\nSERVER h\n/p/\nd\nFINAL_VERSION 85100\n"
                   "BETA_VERSION 85090\nFINAL_INSTALLER_MAC update.example /get/installer.zip\n"
                   "BETA_INSTALLER_MAC update.example /beta/installer.zip\n");
    about_versions v = read_update_list(dir / "list.txt");
    EXPECT_EQ(v.found, 1);
    EXPECT_EQ(v.version_text, "Veltrix 8.51");
    EXPECT_EQ(v.version_final, 85100);
    EXPECT_EQ(v.version_beta, 85090);
    EXPECT_EQ(v.final_server, "update.example");
    EXPECT_EQ(v.final_path, "/get/installer.zip");
    EXPECT_EQ(v.beta_path, "/beta/installer.zip");

    write_file(dir / "bad.txt", "A\n810 version\nSERVERS\nFINAL x\nFINAL_VERSION 99999\n");
    about_versions rejected = read_update_list(dir / "bad.txt");
    EXPECT_EQ(rejected.found, 0) << "a rejected header reads no line";
    EXPECT_EQ(rejected.version_final, -1);
}

TEST(AboutDecision, OffersOnlyWhatCanBeFetched)
{
    const std::string visit = "There is a new version of Veltrix available; visit our website to download the update.";
    const struct {
        std::string body;
        int state, beta;
        std::string server, path, message;
    } cases[] = {
        {"FINAL v\nFINAL_VERSION 85008\nFINAL_INSTALLER_MAC h /i.zip\n", 4, 0, "", "",
         "Your version of Veltrix is up to date."},
        {"FINAL v\nFINAL_VERSION 85009\nFINAL_INSTALLER_MAC h.example /i.zip\n", 1, 0, "h.example", "/i.zip", ""},
        {"FINAL v\nFINAL_VERSION 85009\n", 4, 0, "", "", visit},
        // A server ending in a separator would stop the program, a relative path fetch nothing: no button.
        {"FINAL v\nFINAL_VERSION 85009\nFINAL_INSTALLER_MAC h.example/ /i.zip\n", 4, 0, "", "", visit},
        {"FINAL v\nFINAL_VERSION 85009\nFINAL_INSTALLER_MAC h.example i.zip\n", 4, 0, "", "", visit},
        {"FINAL v\nFINAL_VERSION 85000\nBETA_VERSION 85010\nBETA_INSTALLER_MAC b.example /b.zip\n"
         "FINAL_INSTALLER_MAC f.example /f.zip\n",
         1, 1, "b.example", "/b.zip", ""},
        {"FINAL v\nFINAL_VERSION 85000\nBETA_VERSION 85008\n", 4, 0, "", "", "You have the latest Veltrix beta."},
        {"FINAL v\n", 4, 0, "", "", "Can't connect to the net to find latest version."},
    };
    log_capture log;
    for (const auto& c : cases) {
        const decision d = decide(c.body);
        EXPECT_EQ(d.state, c.state) << c.body;
        EXPECT_EQ(d.beta, c.beta) << c.body;
        EXPECT_EQ(d.message, c.message) << c.body;
        if (c.state == 1) {
            EXPECT_EQ(d.server, c.server) << c.body;
            EXPECT_EQ(d.path, c.path) << c.body;
        }
    }
    EXPECT_NE(log.text().find("h.example/ /i.zip"), std::string::npos) << "the refused location is logged";
}

// The box stores the list under the application folder, which the other tests leave empty.
class AboutVersionCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.running()) << "nginx did not start on port " << kHttpPort;
        // A fresh clock record keeps the seconds small enough for a float to tell frames apart.
        xtim = xtim_class();
        xtim.advance_frame(0, 0);
        std::filesystem::create_directories(dir / "app/Resources/preferences");
        app_path = dir / "app/";
    }
    void TearDown() override { app_path = saved_app_path; }

    const std::string saved_app_path = app_path;
    FakeClock clock;
    temp_folder dir;
    release_server server{dir / "srv"};
};

TEST_F(AboutVersionCheck, AFailingHostIsAskedAgainAfterOneTwoFourSecondsUntilAListWithAFinalLineComes)
{
    const std::string failure = "HTTP Error for Resources:preferences:serverlist.txt\n";
    // Each row: the list's lines after its header (null: no list, a 404), the seconds of frames run
    // (each checking until a list with a FINAL line was read), then the requests, the lists read
    // and the failures logged so far.
    const struct {
        const char* served;
        double seconds;
        int requests, lists_read, failures_logged;
    } rows[] = {
        // Asked at 0, 1, 3, 7 and 15 s, each pause twice the last; the failure logged once.
        {nullptr, 20, 5, 0, 1},
        // Asked at 31 s; a list without a FINAL line is a failure too: the next pause is 30 s.
        {"FINAL_VERSION 85009\n", 20, 6, 1, 1},
        // Asked at 61 s and read: the check is over.
        {"FINAL Veltrix 8.51\nFINAL_VERSION 85009\n", 30, 7, 2, 1},
        // The box checks no more after a FINAL line; a check after that success starts over:
        // asked at once, then after 1, 2 and 4 s.
        {nullptr, 10, 11, 2, 2},
    };
    log_capture log;
    fetch_pacing pacing;
    int lists_read = 0;
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        std::filesystem::remove(server.www() + "/serverlist.txt");
        if (row.served != nullptr)
            publish_server_list(server.www(), row.served);
        int found = 0;
        test::run_idle_frames(clock, 0, row.seconds, [&] {
            if (about_versions versions; !found && poll_update_list(pacing, &versions)) {
                ++lists_read;
                found = versions.found;
            }
        });
        const std::string text = log.text();
        int failures_logged = 0;
        for (size_t at = text.find(failure); at != std::string::npos; at = text.find(failure, at + 1))
            ++failures_logged;
        EXPECT_EQ(server.requests_containing("GET /serverlist.txt"), row.requests) << "row " << i;
        EXPECT_EQ(lists_read, row.lists_read) << "row " << i;
        EXPECT_EQ(failures_logged, row.failures_logged) << "row " << i << ":\n" << text;
    }
}

}  // namespace
