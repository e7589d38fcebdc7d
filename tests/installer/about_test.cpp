// The about box's version check: reading the update host's list and deciding what to offer.

#include <gtest/gtest.h>

#include "installer/about.h"
#include "support/file_bytes.h"
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

}  // namespace
