// read_directory on listings written by hand: the format's rules, the disk examination, and
// hostile listings that must be refused before the disk is touched.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/stg.h"
#include "core/thread.h"
#include "listing_fixture.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

using namespace test;

namespace fs = std::filesystem;

namespace {

// RFC 1321's digest of "a".
const std::string SIG_A = "0cc175b9c0f1b6a831c399e269772661";

std::string md5(const std::string& bytes)
{
    return md5_of_bytes(bytes.data(), bytes.size());
}

class Listing : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("VELTRIX_HEADLESS", "1", 1);
        set_stg_defaults();
        app_done = 0;
        this_install_has_exes = 0;
        dest_dir_path = dir / "install/";
        fs::create_directories(dest_dir_path);
        // The disk is examined with the pool's workers signing ahead, as in the program.
        THREAD_init();
    }
    void TearDown() override { THREAD_shutdown(); }
    int read(const std::string& text)
    {
        write_file(dir / "directory.txt", text);
        return read_directory(dir / "directory.txt", "caption");
    }
    temp_folder dir;
    alert_recorder alerts;
};

TEST_F(Listing, RecordsFormHistoriesAndTheDiskDecidesTheTotals)
{
    fs::create_directories(dest_dir_path + "Resources");
    for (const char* same : {"Resources/current.txt", "Resources/upper.txt", "Old Tool"})
        write_file(dest_dir_path + same, "a");
    write_file(dest_dir_path + "Resources/changed.txt", "local edit");
    const std::string text = listing_text("\r\nDIR All/Resources/\r\n"
                                          "FILE 0 0 85007 12 40 {b} current.txt\n"
                                          "FILE 0 0 85008 13 41 {a} current.txt\n"
                                          "FILE 0 0 85008 20 50 {b} changed.txt\n"
                                          "FILE 0 0 85008 7 9 {a} missing file.txt\n"
                                          "FILE 0 0 85007 1 1 {b} current.txt\n"
                                          "some other line that is skipped\n"
                                          "FILE 0 0 85008 3 4 0CC175B9C0F1B6A831C399E269772661 upper.txt\n"
                                          "\nDIR Windows/\nFILE 0 2 85008 100 200 {a} win.exe\n"
                                          "\nDIR Linux Generic x86/\nFILE 7 -3 85008 5 5 {a} clamped\n"
                                          "FILE 0 9 85008 30 31 {a} every linux\n"
                                          "\nDIR Macintosh/\nFILE 0 1 85008 0 0 GONE Old Tool\n");
    stg._download_os = OS_LINUX_GENERIC;
    ASSERT_EQ(read(text), LISTING_READ);
    // Each history's path, length and current version as read and signed. The same path after
    // another path starts a history of its own; an upper-case digest is not the disk's.
    const struct {
        std::string path;
        size_t versions;
        int kind, platform;
        std::string have;
        int have_it;
    } expected[] = {
        {"All/Resources/current.txt", 2, 0, 0, SIG_A, 1},
        {"All/Resources/changed.txt", 1, 0, 0, md5("local edit"), 0},
        {"All/Resources/missing file.txt", 1, 0, 0, SIG_NONE, 0},
        {"All/Resources/current.txt", 1, 0, 0, SIG_A, 0},
        {"All/Resources/upper.txt", 1, 0, 0, SIG_A, 0},
        {"Windows/win.exe", 1, 0, 2, SIG_NONE, 0},
        {"Linux Generic x86/clamped", 1, 1, 0, SIG_NONE, 0},
        {"Linux Generic x86/every linux", 1, 0, 6, SIG_NONE, 0},
        {"Macintosh/Old Tool", 1, 0, 1, SIG_A, 0},
    };
    ASSERT_EQ(sim_info.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const file_version_struct& v = sim_info[i].back();
        EXPECT_EQ(v.path, expected[i].path) << i;
        EXPECT_EQ(sim_info[i].size(), expected[i].versions) << i;
        EXPECT_EQ(v.kind, expected[i].kind) << i;
        EXPECT_EQ(v.platform, expected[i].platform) << i;
        EXPECT_EQ(v.sig_have, expected[i].have) << i;
        EXPECT_EQ(v.have_it, expected[i].have_it) << i;
    }
    EXPECT_EQ(sim_info[0][0].version, 85007);
    EXPECT_EQ(sim_info[0][0].zip_kb, 12.0f);
    EXPECT_EQ(sim_info[0][1].unzip_kb, 41.0f);
    EXPECT_EQ(sim_info[0][0].sig_have, "") << "only the current version is signed";

    // Changed (20/50), missing (7/9), the second "current.txt" (1/1), the upper-case digest (3/4), the
    // clamped record judged by its own kind (5/5) and every-Linux (30/31) count; the identical file,
    // Windows and GONE do not.
    EXPECT_EQ(stg.down_kb, 20.0f + 7 + 1 + 3 + 5 + 30);
    EXPECT_EQ(stg.disk_kb, 50.0f + 9 + 1 + 4 + 5 + 31);
    EXPECT_EQ(this_install_has_exes, 0);
    stg._download_os = OS_WINDOWS;
    ASSERT_EQ(read(text), LISTING_READ);
    EXPECT_EQ(this_install_has_exes, 1);
    EXPECT_TRUE(alerts.alerts().empty());
}

TEST_F(Listing, ManyFilesAreSignedInListOrderAndAnOverlongPathAlertsFromTheCaller)
{
    // Enough files that every signing worker takes many, of every kind the examination meets:
    // present, edited, missing, large, a link, a folder.
    fs::create_directories(dest_dir_path + "Many/folder");
    std::string text = listing_text("DIR All/Many/\n");
    const int count = 300;
    std::vector<std::string> want(count, SIG_NONE);
    for (int i = 0; i < count; ++i) {
        const std::string name = "file " + std::to_string(i);
        const std::string body = i % 50 == 7 ? std::string(300 * 1024 + i, char('a' + i % 26)) : name;
        if (i % 3 > 0) {
            write_file(dest_dir_path + "Many/" + name, i % 3 == 1 ? body : "edited");
            want[i] = md5(i % 3 == 1 ? body : "edited");
        }
        text += "FILE 0 0 85008 1 1 " + md5(body) + " " + name + "\n";
    }
    fs::create_symlink("file 1", dest_dir_path + "Many/link");
    text += "FILE 0 0 85008 1 1 " + SIG_A + " link\nFILE 0 0 85008 1 1 " + SIG_A + " folder\n";

    ASSERT_EQ(read(text), LISTING_READ);
    ASSERT_EQ(sim_info.size(), size_t(count + 2));
    int have = 0;
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(sim_info[i].back().sig_have, want[i]) << i;
        have += sim_info[i].back().have_it;
    }
    EXPECT_EQ(have, count / 3);
    EXPECT_EQ(sim_info[count].back().sig_have, md5("file 1")) << "a link is signed by its target's name";
    EXPECT_EQ(sim_info[count + 1].back().sig_have, SIG_NONE);
    EXPECT_EQ(stg.down_kb, float(count - have + 2));
    EXPECT_TRUE(alerts.alerts().empty());

    // A listed path too long for the path limit, among files the workers sign: the fatal alert
    // still reaches this thread, where its handler can throw.
    text += "FILE 0 0 85008 1 1 " + SIG_A + " " + std::string(520 - dest_dir_path.size(), 'x') + "\n";
    text += "FILE 0 0 85008 1 1 " + SIG_A + " after\n";
    EXPECT_EQ(expect_fatal([&] { (void)read(text); }).l1, "String too long!");
    EXPECT_EQ(alerts.alerts().size(), 1u);
}

TEST_F(Listing, HeadersAndNumbersAreCheckedAndEmptyListingsAreFine)
{
    ASSERT_EQ(read(listing_text("")), LISTING_READ);
    EXPECT_TRUE(sim_info.empty());
    EXPECT_EQ(stg.down_kb, 0.0f);

    // The older header, and the largest version and sizes that can be, are taken as they stand.
    ASSERT_EQ(read("A\n810 version\nINSTALLER\n\nDIR All/\nFILE 0 0 2147483647 0 2147483647 " + SIG_A + " x\n"),
              LISTING_READ);
    ASSERT_EQ(sim_info.size(), 1u);
    EXPECT_EQ(sim_info[0].back().version, 2147483647);

    // Rejected: other headers, and a record whose version or size cannot be (negative, signed, not
    // a number, past 2^31-1), even after a good record.
    std::vector<std::string> rejected = {"A\n820 version\nINSTALLER\n\n", "A\n840 version\nSERVERS\n", "", "garbage"};
    for (const char* numbers : {"-85008 1 1", "1 -5 1", "1 1 2147483648", "1 99999999999 1", "12abc 1 1", "1 +3 1"})
        rejected.push_back(
            listing_text("DIR All/\nFILE 0 0 1 1 1 {b} y\nFILE 0 0 " + std::string(numbers) + " {a} x\n"));
    for (const std::string& bad : rejected) {
        alerts.clear();
        app_done = 0;
        EXPECT_EQ(read(bad), LISTING_REJECTED) << bad;
        EXPECT_TRUE(sim_info.empty());
        EXPECT_EQ(stg.down_kb, 0.0f);
        // The polite exit: a message alert naming the file, and the program asked to quit.
        ASSERT_FALSE(alerts.alerts().empty());
        EXPECT_EQ(alerts.alerts().front().type, ALERT_MESSAGE);
        EXPECT_EQ(alerts.alerts().front().l4, dir / "directory.txt");
        EXPECT_EQ(app_done, 1);
    }

    alerts.clear();
    const recorded_alert missing = expect_fatal([&] { (void)read_directory(dir / "nothing here.txt", "caption"); });
    EXPECT_EQ(missing.l1, "I tried to read a directory file that does not exist!");
    EXPECT_EQ(missing.l2, "The file is:");
    EXPECT_EQ(missing.file, "src/installer/listing.cpp") << "relative to the source tree";
}

TEST_F(Listing, HostileListingsAreRefusedBeforeTheDiskIsTouched)
{
    const std::string escape = "I am reading the directory text file and found a path that leaves the install folder!";
    const std::string no_file = "I am reading the directory text file and found a path that has no file!";
    const struct {
        std::string body, reason;
    } cases[] = {
        {"DIR All/../../\nFILE 0 0 1 1 1 {a} x\n", escape},
        {"DIR All/\nFILE 0 0 1 1 1 {a} ../../outside\n", escape},
        {"DIR All/sub/\nFILE 0 0 1 1 1 GONE ..\n", escape},
        {"DIR /etc/\nFILE 0 0 1 1 1 GONE passwd\n", escape},
        {"FILE 0 0 1 1 1 GONE /etc/passwd\n", escape},
        {"DIR All/\nFILE 0 0 1 1 1 {a} del\x7fname\n", escape},
        {"DIR All/\nFILE 0 0 1 1 1 {a} \n", no_file},
        {"DIR All/folder/\nFILE 0 0 85008", no_file},
        {"FILE 0 0 85008", no_file},
    };
    // A file the hostile paths would reach: it must never be signed or changed.
    write_file(dir / "outside", "precious");
    for (const auto& c : cases) {
        alerts.clear();
        const recorded_alert a = expect_fatal([&] { (void)read(listing_text(c.body)); });
        EXPECT_EQ(alerts.alerts().size(), 1u) << c.body;
        EXPECT_EQ(a.l1, c.reason) << c.body;
        EXPECT_EQ(a.l2, "This is impossible to download or delete!");
        EXPECT_EQ(a.l3, "It is:");
        EXPECT_EQ(a.type, ALERT_FATAL);
        // Every history parsed so far is still unsigned: the disk was not examined.
        for (const file_history_struct& h : sim_info)
            EXPECT_EQ(h.back().sig_have, "");
    }
    EXPECT_EQ(read_file(dir / "outside"), "precious");

    // Names with dots that are not ".." components stay allowed.
    alerts.clear();
    ASSERT_EQ(read(listing_text("DIR All/..hidden/\nFILE 0 0 1 1 1 {a} a..b\n")), LISTING_READ);
    EXPECT_EQ(sim_info.at(0).back().path, "All/..hidden/a..b");
    EXPECT_TRUE(alerts.alerts().empty());
}

}  // namespace
