// read_directory on listings written by hand: the format's rules, the disk
// examination, and hostile listings that must be refused before the disk is
// touched.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/md5.h"
#include "core/stg.h"
#include "core/thread.h"
#include "installer/listing.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

using namespace test;

namespace fs = std::filesystem;

namespace {

const std::string header = "A\n840 version\nINSTALLER\n\n";
const std::string sig_a = md5_of_bytes("a", 1);
const std::string sig_b = md5_of_bytes("b", 1);

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
    write_file(dest_dir_path + "Resources/current.txt", "a");
    write_file(dest_dir_path + "Resources/changed.txt", "local edit");
    write_file(dest_dir_path + "Old Tool", "a");
    const std::string text = header +
        "\r\nDIR All/Resources/\r\n"
        "FILE 0 0 85007 12 40 " +
        sig_b +
        " current.txt\n"
        "FILE 0 0 85008 13 41 " +
        sig_a +
        " current.txt\n"
        "FILE 0 0 85008 20 50 " +
        sig_b +
        " changed.txt\n"
        "FILE 0 0 85008 7 9 " +
        sig_a +
        " missing file.txt\n"
        "FILE 0 0 85007 1 1 " +
        sig_b +
        " current.txt\n"
        "some other line that is skipped\n"
        "\nDIR Windows/\n"
        "FILE 0 2 85008 100 200 " +
        sig_a +
        " win.exe\n"
        "\nDIR Linux Generic x86/\n"
        "FILE 7 -3 85008 5 5 " +
        sig_a +
        " clamped\n"
        "FILE 0 9 85008 30 31 " +
        sig_a +
        " every linux\n"
        "\nDIR Macintosh/\n"
        "FILE 0 1 85008 0 0 GONE Old Tool\n";
    stg._download_os = OS_LINUX_GENERIC;
    ASSERT_EQ(read(text), LISTING_READ);
    ASSERT_EQ(sim_info.size(), 8u);

    // Two versions of one path, then the same path again after another path.
    EXPECT_EQ(sim_info[0].size(), 2u);
    EXPECT_EQ(sim_info[0][0].path, "All/Resources/current.txt");
    EXPECT_EQ(sim_info[0][0].version, 85007);
    EXPECT_EQ(sim_info[0][0].zip_kb, 12.0f);
    EXPECT_EQ(sim_info[0][1].unzip_kb, 41.0f);
    EXPECT_EQ(sim_info[3].size(), 1u);
    EXPECT_EQ(sim_info[3][0].path, "All/Resources/current.txt");

    EXPECT_EQ(sim_info[0].back().sig_have, sig_a);
    EXPECT_EQ(sim_info[0].back().have_it, 1);
    EXPECT_EQ(sim_info[0][0].sig_have, "");  // only the current version is signed
    EXPECT_EQ(sim_info[1].back().sig_have, md5_of_bytes("local edit", 10));
    EXPECT_EQ(sim_info[1].back().have_it, 0);
    EXPECT_EQ(sim_info[2].back().path, "All/Resources/missing file.txt");
    EXPECT_EQ(sim_info[2].back().sig_have, SIG_NONE);
    EXPECT_EQ(sim_info[4].back().platform, 2);
    EXPECT_EQ(sim_info[5].back().kind, 1);
    EXPECT_EQ(sim_info[5].back().platform, 0);
    EXPECT_EQ(sim_info[6].back().platform, 6);
    EXPECT_EQ(sim_info[7].back().path, "Macintosh/Old Tool");
    EXPECT_EQ(sim_info[7].back().have_it, 0);

    // Changed (20/50), missing (7/9), the second "current.txt" history whose
    // content differs from the disk (1/1), the clamped record judged by its own
    // kind (5/5) and every-Linux (30/31) count; the identical file, Windows and
    // GONE do not.
    EXPECT_EQ(stg.down_kb, 20.0f + 7 + 1 + 5 + 30);
    EXPECT_EQ(stg.disk_kb, 50.0f + 9 + 1 + 5 + 31);
    EXPECT_EQ(this_install_has_exes, 0);

    stg._download_os = OS_WINDOWS;
    ASSERT_EQ(read(text), LISTING_READ);
    EXPECT_EQ(this_install_has_exes, 1);
    EXPECT_TRUE(alerts.alerts().empty());
}

TEST_F(Listing, ManyFilesAreSignedInListOrderAndAnOverlongPathAlertsFromTheCaller)
{
    // Enough files that every signing worker takes many, of every kind the
    // examination meets: present, edited, missing, large, a link, a folder.
    fs::create_directories(dest_dir_path + "Many/folder");
    std::string text = header + "DIR All/Many/\n";
    const int count = 300;
    std::vector<std::string> want(count);
    for (int i = 0; i < count; ++i) {
        const std::string name = "file " + std::to_string(i);
        std::string body = "body " + std::to_string(i);
        if (i % 50 == 7)
            body = std::string(300 * 1024 + i, char('a' + i % 26));
        if (i % 3 == 1) {
            write_file(dest_dir_path + "Many/" + name, body);
            want[i] = md5_of_bytes(body.data(), body.size());
        } else if (i % 3 == 2) {
            write_file(dest_dir_path + "Many/" + name, "edited");
            want[i] = md5_of_bytes("edited", 6);
        } else {
            want[i] = SIG_NONE;
        }
        text += "FILE 0 0 85008 1 1 " + md5_of_bytes(body.data(), body.size()) + " " + name + "\n";
    }
    fs::create_symlink("file 1", dest_dir_path + "Many/link");
    text += "FILE 0 0 85008 1 1 " + sig_a + " link\nFILE 0 0 85008 1 1 " + sig_a + " folder\n";

    ASSERT_EQ(read(text), LISTING_READ);
    ASSERT_EQ(sim_info.size(), size_t(count + 2));
    int have = 0;
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(sim_info[i].back().sig_have, want[i]) << i;
        have += sim_info[i].back().have_it;
    }
    EXPECT_EQ(have, count / 3);
    EXPECT_EQ(sim_info[count].back().sig_have, md5_of_bytes("file 1", 6));
    EXPECT_EQ(sim_info[count + 1].back().sig_have, SIG_NONE);
    EXPECT_EQ(stg.down_kb, float(count - have + 2));
    EXPECT_TRUE(alerts.alerts().empty());

    // A listed path too long for the path limit, among files the workers sign:
    // the fatal alert still reaches this thread, where its handler can throw.
    std::string long_text = text;
    long_text += "FILE 0 0 85008 1 1 " + sig_a + " " + std::string(520 - dest_dir_path.size(), 'x') + "\n";
    long_text += "FILE 0 0 85008 1 1 " + sig_a + " after\n";
    EXPECT_THROW(read(long_text), fatal_alert);
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.alerts()[0].l1, "String too long!");
}

TEST_F(Listing, HeadersAreCheckedAndEmptyListingsAreFine)
{
    ASSERT_EQ(read(header), LISTING_READ);
    EXPECT_TRUE(sim_info.empty());
    EXPECT_EQ(stg.down_kb, 0.0f);

    // The largest version and sizes that can be are taken as they stand.
    ASSERT_EQ(read("A\n810 version\nINSTALLER\n\nDIR All/\nFILE 0 0 2147483647 0 2147483647 " + sig_a + " x\n"),
              LISTING_READ);
    EXPECT_EQ(sim_info.size(), 1u);
    EXPECT_EQ(sim_info.at(0).back().version, 2147483647);

    // Rejected: other headers, and a record whose version or size cannot be (negative, signed,
    // not a number, past 2^31-1), even after a good record.
    const std::string good = header + "DIR All/\nFILE 0 0 1 1 1 " + sig_b + " y\nFILE 0 0 ";
    for (const std::string& bad :
         {std::string("A\n820 version\nINSTALLER\n\n"), std::string("A\n840 version\nSERVERS\n"), std::string(""),
          std::string("garbage"), good + "-85008 1 1 " + sig_a + " x\n", good + "1 -5 1 " + sig_a + " x\n",
          good + "1 1 2147483648 " + sig_a + " x\n", good + "1 99999999999 1 " + sig_a + " x\n",
          good + "12abc 1 1 " + sig_a + " x\n", good + "1 +3 1 " + sig_a + " x\n"}) {
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
    EXPECT_THROW((void)read_directory(dir / "nothing here.txt", "caption"), fatal_alert);
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.alerts()[0].l1, "I tried to read a directory file that does not exist!");
    EXPECT_EQ(alerts.alerts()[0].l2, "The file is:");
    EXPECT_EQ(alerts.alerts()[0].file, "src/installer/listing.cpp") << "relative to the source tree";
}

TEST_F(Listing, HostileListingsAreRefusedBeforeTheDiskIsTouched)
{
    const std::string escape = "I am reading the directory text file and found a path that leaves the install folder!";
    const std::string no_file = "I am reading the directory text file and found a path that has no file!";
    const struct {
        std::string body;
        std::string reason;
    } cases[] = {
        {"DIR All/../../\nFILE 0 0 1 1 1 " + sig_a + " x\n", escape},
        {"DIR All/\nFILE 0 0 1 1 1 " + sig_a + " ../../outside\n", escape},
        {"DIR All/sub/\nFILE 0 0 1 1 1 GONE ..\n", escape},
        {"DIR /etc/\nFILE 0 0 1 1 1 GONE passwd\n", escape},
        {"FILE 0 0 1 1 1 GONE /etc/passwd\n", escape},
        {"DIR All/\nFILE 0 0 1 1 1 " + sig_a + " del\x7fname\n", escape},
        {"DIR All/\nFILE 0 0 1 1 1 " + sig_a + " \n", no_file},
        {"DIR All/folder/\nFILE 0 0 85008", no_file},
        {"FILE 0 0 85008", no_file},
    };
    // A file the hostile paths would reach: it must never be signed or changed.
    write_file(dir / "outside", "precious");
    for (const auto& c : cases) {
        alerts.clear();
        EXPECT_THROW(read(header + c.body), fatal_alert) << c.body;
        ASSERT_EQ(alerts.alerts().size(), 1u) << c.body;
        const recorded_alert a = alerts.alerts()[0];
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
    ASSERT_EQ(read(header + "DIR All/..hidden/\nFILE 0 0 1 1 1 " + sig_a + " a..b\n"), LISTING_READ);
    EXPECT_EQ(sim_info.at(0).back().path, "All/..hidden/a..b");
    EXPECT_TRUE(alerts.alerts().empty());
}

}  // namespace
