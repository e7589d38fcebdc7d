// The main road without a window: listing download, decisions, the four-stream engine and the
// end-of-install clean-up, against a real nginx on loopback with archives packed by Debian's zip.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <sys/stat.h>

#include "core/clock.h"
#include "core/errors.h"
#include "core/stg.h"
#include "core/thread.h"
#include "installer/decisions.h"
#include "installer/engine.h"
#include "installer/fetch.h"
#include "installer/install_tree.h"
#include "installer/listing.h"
#include "installer/servers.h"
#include "net/http.h"
#include "listing_fixture.h"
#include "release_server.h"
#include "support/alert_recorder.h"
#include "support/box_guard.h"
#include "support/fake_clock.h"
#include "support/file_bytes.h"
#include "support/idle_frames.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

using namespace test;

namespace fs = std::filesystem;

namespace {

// Engine calls allowed for one install; a loopback install of a few files needs far fewer, and
// the bound turns a hang into a failure.
constexpr int ENGINE_CALL_LIMIT = 2000000;

const std::string BIG = patterned_bytes(300000, 7);
const std::string EXTRACT_ALERT = "The installer cannot extract a file.";

std::vector<release_file> first_release()
{
    return {
        {"All/Resources/settings.txt", "volume 7\n"},
        {"All/Resources/deep/terrain.bin", BIG},
        {"Macintosh/Veltrix.app/Contents/MacOS/Veltrix", "#!/bin/sh\necho flying\n", 1},
        {"All/Resources/current", "settings.txt", 0, true},
        {"Windows/Veltrix.exe", "MZ not for this machine", 2},
    };
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.running()) << "nginx did not start on port " << kHttpPort;
        // A fresh clock record: the seconds since its first frame stay small enough for a float
        // to tell the 20 ms of a frame apart.
        xtim = xtim_class();
        xtim.advance_frame(0, 0);
        fs::create_directories(dir / "tmp");
        temp_path = dir / "tmp/";
        set_stg_defaults();
        stg._download_os = OS_MACINTOSH;
        stg._log_actions = 1;
        install_name = "Veltrix 851";
        use_servers({{"127.0.0.1", "/pub/"}});
        next.all_done = 0;
        this_install_has_exes = 0;
        sim_info.clear();
        fs::create_directories(dir / "dest/Suite");
        dest_dir_path = dir / "dest/Suite/";
    }
    void TearDown() override
    {
        reset_slots();
        sim_info.clear();
    }

    // The mirrors (host, path) the install draws from, starting with the first.
    static void use_servers(const std::vector<std::pair<std::string, std::string>>& mirrors)
    {
        stg.server_count = int(mirrors.size());
        stg.server_index = 0;
        for (size_t i = 0; i < mirrors.size(); ++i) {
            server_name[i] = mirrors[i].first;
            server_path[i] = mirrors[i].second + "Veltrix 851/";
        }
    }

    // Fetches and reads the listing the way the screen does.
    void read_listing()
    {
        stg.dir_state = 0;
        for (int i = 0; i < ENGINE_CALL_LIMIT && stg.dir_state == 0; ++i) {
            poll_directory_listing();
            let_pauses_pass();
        }
        ASSERT_EQ(stg.dir_state, 1);
        ASSERT_EQ(read_directory(extracted_listing_path(), "reading"), 3);
    }

    // Decides and prepares as INSTALL does, then runs the engine to its end.
    int install()
    {
        make_dirs();
        EXPECT_EQ(choose_files(), 1);
        reset_slots();
        int result = 0;
        for (int i = 0; i < ENGINE_CALL_LIMIT && result == 0; ++i) {
            result = grab_files();
            let_pauses_pass();
        }
        return result;
    }

    // Time moves only while no download is in flight: a stream waiting out its pause after a
    // failure gets its turn on the next call, and no running transfer ever sees a stall.
    void let_pauses_pass()
    {
        for (int slot = 0; slot < HTTP_SLOT_COUNT; ++slot)
            if (http.slots[slot] != nullptr)
                return;
        clock.advance_seconds(FETCH_LONGEST_PAUSE);
        xtim.advance_frame(0, 0);
    }

    FakeClock clock;
    temp_folder dir;
    release_server server{dir / "srv"};
    alert_recorder alerts;
    box_guard no_prompt;
};

TEST_F(Engine, FreshInstallFromBehindADeadMirrorPlacesEveryWantedFileAndRenamesTheFolder)
{
    log_capture log;
    publish_release(server.www(), "/pub/", "Veltrix 851", first_release());
    read_listing();
    EXPECT_GT(stg.down_kb, 0);
    use_servers({{"127.0.0.2", "/pub/"}, {"127.0.0.1", "/pub/"}});  // nothing listens on the first
    ASSERT_EQ(install(), 1);
    EXPECT_EQ(stg.install_error, 0);
    EXPECT_EQ(stg.download_failed, 0) << "the last download succeeded";
    EXPECT_EQ(next.all_done, 1);
    EXPECT_TRUE(alerts.alerts().empty());

    const std::string root = dir / "dest/Veltrix 851/";
    EXPECT_EQ(dest_dir_path, root) << "a release with platform files renames the install folder";
    EXPECT_FALSE(fs::exists(dir / "dest/Suite"));
    EXPECT_EQ(read_file(root + "Resources/settings.txt"), "volume 7\n");
    EXPECT_EQ(listed_signature(root + "Resources/deep/terrain.bin"), md5_hex_of(BIG));
    EXPECT_EQ(fs::read_symlink(root + "Resources/current"), "settings.txt");
    EXPECT_EQ(fs::status(root + "Veltrix.app/Contents/MacOS/Veltrix").permissions() & fs::perms::all, fs::perms(0755));
    EXPECT_FALSE(fs::exists(root + "Veltrix.exe")) << "another platform's file is not fetched";
    EXPECT_EQ(server.requests_containing("Veltrix.exe"), 0);
    EXPECT_EQ(server.requests_containing("terrain.bin.zip"), 1);
    for (int s = 0; s < 4; ++s)
        EXPECT_FALSE(fs::exists(temp_path + std::to_string(s) + ".zip")) << "archives are deleted after extraction";

    // A release name that is no plain folder name renames nothing, even with nothing left to fetch.
    install_name = "../escaped";
    read_listing();
    ASSERT_EQ(install(), 1);
    EXPECT_EQ(dest_dir_path, root);
    EXPECT_FALSE(fs::exists(dir / "escaped"));
    EXPECT_NE(log.text().find("'../escaped'"), std::string::npos);
}

TEST_F(Engine, UpdateFetchesOnlyChangesAndRemovesDroppedFilesAndEmptiedFolders)
{
    stg._rename_folder = 0;
    const std::string root = dest_dir_path;
    fs::create_directories(root + "Resources/deep");
    fs::create_directories(root + "Old/inner");
    write_file(root + "Resources/settings.txt", "volume 6\n");  // an older listed version
    write_file(root + "Resources/deep/terrain.bin", BIG);       // already current
    write_file(root + "Old/inner/gone.txt", "retired\n");       // a known version, now removed
    write_file(root + "Old/keep-me.txt", "user notes\n");       // not listed at all
    std::vector<release_file> files = first_release();
    files[0] = {"All/Resources/settings.txt", "volume 8\n", 0, false, {"volume 6\n"}};
    files.push_back({"All/Resources/new.txt", "added\n"});
    files.push_back({"All/Old/inner/gone.txt", "", 0, false, {"retired\n"}, true});
    publish_release(server.www(), "/pub/", "Veltrix 851", files);

    read_listing();
    ASSERT_EQ(install(), 1);
    EXPECT_TRUE(alerts.alerts().empty());
    EXPECT_EQ(dest_dir_path, root) << "no rename when the preference is off";
    EXPECT_EQ(read_file(root + "Resources/settings.txt"), "volume 8\n");
    EXPECT_EQ(read_file(root + "Resources/new.txt"), "added\n");
    EXPECT_EQ(server.requests_containing("terrain.bin.zip"), 0) << "an identical file is not fetched again";
    EXPECT_EQ(server.requests_containing("settings.txt.zip"), 1);
    EXPECT_FALSE(fs::exists(root + "Old/inner")) << "a folder emptied by the update is removed";
    EXPECT_TRUE(fs::exists(root + "Old/keep-me.txt")) << "a folder that still holds a file stays";
}

TEST_F(Engine, DamagedOrHostileArchivesAreFetchedElsewhereAndWorkersReportThroughTheMainThread)
{
    // The running program's pool: every extraction goes to a worker.
    THREAD_init();
    stg._rename_folder = 0;
    const std::string root = dest_dir_path;
    fs::create_directories(root + "Resources");
    write_file(root + "Resources/settings.txt", "volume 6\n");
    write_file(root + "Resources/notes.txt", "the user's own notes\n");  // listed nowhere
    // The bad mirror, where the two streams start with the first two files: garbage inside a
    // valid-looking archive, and one that holds a neighbour of its file instead of the file.
    const std::vector<release_file> files = {{"All/Resources/settings.txt", "volume 7\n", 0, false, {"volume 6\n"}},
                                             {"All/Resources/c.txt", "sea\n"},
                                             {"All/Resources/a.txt", "aye\n"},
                                             {"All/Resources/deep/terrain.bin", BIG},
                                             {"All/Resources/z.txt", "zed\n"}};
    publish_release(server.www(), "/pub/", "Veltrix 851", files);
    publish_release(server.www(), "/bad/", "Veltrix 851", files);
    const std::string bad = server.www() + "/bad/Veltrix 851/All/Resources/";
    damage_archive(bad + "settings.txt.zip");
    fs::create_directories(dir / "plant");
    write_file(dir / "plant/notes.txt", "overwritten by a mirror\n");
    fs::remove(bad + "c.txt.zip");
    (void)command_output("cd '" + dir / "plant" + "' && zip -q '" + bad + "c.txt.zip' notes.txt");
    log_capture log;
    read_listing();
    use_servers({{"127.0.0.1", "/bad/"}, {"127.0.0.1", "/pub/"}});
    ASSERT_EQ(install(), 1);
    EXPECT_EQ(stg.install_error, 0);
    EXPECT_TRUE(alerts.alerts().empty());
    for (const release_file& file : files)
        EXPECT_TRUE(read_file(root + file.listed_path.substr(4)) == file.content) << file.listed_path;
    EXPECT_EQ(read_file(root + "Resources/notes.txt"), "the user's own notes\n") << "an archive names only its file";
    for (const char* refused : {"settings.txt", "c.txt"})
        EXPECT_NE(log.text().find("/bad/Veltrix 851/All/Resources/" + std::string(refused) +
                                  ".zip from 127.0.0.1 is damaged"),
                  std::string::npos)
            << refused;

    // A file whose place is taken by a folder: the worker's failure is the main thread's alert.
    fs::remove(root + "Resources/z.txt");
    fs::create_directories(root + "Resources/z.txt/inside");
    read_listing();
    ASSERT_EQ(install(), 1);
    THREAD_shutdown();
    EXPECT_EQ(stg.install_error, 1);
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.alerts()[0].l1, EXTRACT_ALERT);
    EXPECT_EQ(alerts.alerts()[0].l4, "Destination:" + root + "Resources/z.txt");
    EXPECT_EQ(alerts.alerts()[0].type, ALERT_MESSAGE);
    EXPECT_TRUE(fs::is_directory(root + "Resources/z.txt/inside"));

    // What an extraction logged (on a worker) comes right before the engine's line on its result,
    // and each file's lines stand together, EXPANDING, CHMODING and DELETING one after another.
    const std::string text = log.text();
    const auto line_before_last = [&](const std::string& what) {
        const size_t end = text.rfind('\n', text.rfind(what));
        const size_t start = text.rfind('\n', end - 1) + 1;
        return text.substr(start, end - start);
    };
    for (const std::string& result :
         {std::string("/bad/Veltrix 851/All/Resources/settings.txt.zip from 127.0.0.1 is damaged"),
          "EXPANDING file " + root + "Resources/z.txt, with result="})
        EXPECT_EQ(line_before_last(result).rfind("Zip to file failed with error err = ", 0), 0u) << result;
    for (const char* file : {"a.txt", "c.txt", "deep/terrain.bin", "settings.txt", "z.txt"}) {
        const std::string local = root + "Resources/" + file;
        EXPECT_NE(text.find("EXPANDING file " + local + ", with result=0.\nCHMODING  file " + local +
                            ", with result=0.\nDELETING  file " + temp_path),
                  std::string::npos)
            << file;
    }
}

TEST_F(Engine, ResultsAreActedOnInTheOrderTheDownloadsFinished)
{
    // The first archive comes at once and takes long to extract (20 MB of zeros); the second comes
    // later and extracts at once: its result still waits for the first's.
    THREAD_init();
    stg._rename_folder = 0;
    publish_release(server.www(), "/pub/", "Veltrix 851",
                    {{"All/zeros.bin", std::string(20000000, '\0')}, {"All/pattern.bin", patterned_bytes(1000000, 3)}});
    log_capture log;
    read_listing();
    ASSERT_EQ(install(), 1);
    THREAD_shutdown();
    const std::string text = log.text();
    EXPECT_LT(text.find("EXPANDING file " + dest_dir_path + "zeros.bin"),
              text.find("EXPANDING file " + dest_dir_path + "pattern.bin"));
}

TEST_F(Engine, ArchiveDamagedOnEveryServerEndsTheInstallAndKeepsTheFileInPlace)
{
    stg._rename_folder = 0;
    const std::string root = dest_dir_path;
    fs::create_directories(root + "Resources");
    write_file(root + "Resources/settings.txt", "volume 6\n");
    // One stream once the first file is in: the damaged copies are counted exactly.
    stg._stream_count = 1;
    publish_release(
        server.www(), "/pub/", "Veltrix 851",
        {{"All/Resources/a.txt", "aye\n"}, {"All/Resources/settings.txt", "volume 7\n", 0, false, {"volume 6\n"}}});
    damage_archive(server.www() + "/pub/Veltrix 851/All/Resources/settings.txt.zip");
    read_listing();
    ASSERT_EQ(install(), 1);
    EXPECT_EQ(stg.install_error, 1);
    const std::vector<recorded_alert> shown = alerts.alerts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].l1, EXTRACT_ALERT);
    EXPECT_EQ(shown[0].l2, "Error:" + error_str(kErrZipRead));
    EXPECT_EQ(shown[0].l3.rfind("Compressed File:" + temp_path, 0), 0u);
    EXPECT_EQ(shown[0].l4, "Destination:" + root + "Resources/settings.txt");
    EXPECT_EQ(shown[0].type, ALERT_MESSAGE);
    EXPECT_EQ(stg.download_failed, 0) << "the screen must not go on saying another server is being tried";
    EXPECT_EQ(read_file(root + "Resources/settings.txt"), "volume 6\n") << "a broken copy never replaces the file";
    EXPECT_EQ(server.requests_containing("settings.txt.zip"), 10) << "ten damaged copies from the one server";
    EXPECT_FALSE(fs::exists(shown[0].l3.substr(16))) << "the damaged archive is not kept";
}

TEST_F(Engine, ListingArchiveHoldingAFolderForTheListingIsDamagedAndLeavesNothing)
{
    // Folders where the fixed names of the downloads stand, left by an earlier broken archive.
    fs::create_directories(temp_path + "directory.txt.zip/left");
    fs::create_directories(temp_path + "directory.txt/left");
    fs::create_directories(dir / "work/directory.txt");
    fs::create_directories(server.www() + "/pub/Veltrix 851");
    (void)command_output("cd '" + dir / "work" + "' && zip -q -r '" + server.www() +
                         "/pub/Veltrix 851/directory.txt.zip' directory.txt");
    stg.dir_state = 0;
    for (int i = 0; i < ENGINE_CALL_LIMIT && alerts.alerts().empty(); ++i) {
        poll_directory_listing();
        let_pauses_pass();
    }
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.alerts()[0].l1, "DIR-scan: " + EXTRACT_ALERT);
    EXPECT_EQ(alerts.alerts()[0].l2, "Error:" + error_str(kErrZipRead));
    EXPECT_FALSE(path_exists(temp_path + "directory.txt")) << "nothing of an earlier run or of the archive stands in";
    alerts.clear();
    publish_release(server.www(), "/pub/", "Veltrix 851", first_release());
    read_listing();
}

TEST_F(Engine, AServerListThatCannotBeSavedIsAskedForCalmlyAndToldOnce)
{
    // A file stands where the temporary folder should be, so nothing downloaded can be saved,
    // for a hundred seconds of frames (20 ms each while nothing is in flight).
    log_capture log;
    temp_path = dir / "blocked/";
    write_file(dir / "blocked", "");
    publish_server_list(server.www(), "FINAL Veltrix 851\nSERVER 127.0.0.1\n/pub/\nloopback\n");
    stg.server_count = -1;
    auto run_frames = [&](double seconds) { run_idle_frames(clock, 0, seconds, poll_server_list); };
    run_frames(100);
    // Tries at 0, 1, 3, 7, 15, 31, 61 and 91 s, each pause twice the last up to 30 s; the failure
    // logged once in full, and the user told once what the system said.
    EXPECT_EQ(server.requests_containing("GET /serverlist.txt"), 8);
    const std::string text = log.text();
    const std::string again = "HTTP Error for " + temp_path + "serverlist.txt: the same again ";
    EXPECT_EQ(text.find("HTTP Error for "), text.rfind("HTTP Error for " + temp_path + "serverlist.txt\n")) << text;
    EXPECT_EQ(text.find(again), text.rfind(again + "6 more times.\n")) << "counted once a minute: " << text;
    EXPECT_LT(text.size(), 2000u);
    EXPECT_EQ(temp_folder_error(), ENOTDIR);
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.alerts()[0].l1, "I can NOT save the files I download in my temporary folder " + temp_path + "!");
    EXPECT_EQ(alerts.alerts()[0].l2, "Error: " + error_str(ENOTDIR));

    // Mended: the next try, 30 s after the last, reads the list, and the trouble is over.
    fs::remove(dir / "blocked");
    fs::create_directories(dir / "blocked");
    run_frames(31);
    EXPECT_EQ(stg.server_count, 1);
    EXPECT_EQ(server.requests_containing("GET /serverlist.txt"), 9);
    EXPECT_EQ(temp_folder_error(), 0);
    EXPECT_EQ(alerts.alerts().size(), 1u);
    EXPECT_NE(log.text().find(again + "1 more times.\n"), std::string::npos) << "the rest counted at the end";
}

TEST_F(Engine, AStreamThatSucceedsBetweenFailuresWaitsOneSecondAgain)
{
    // Each row: whether the archive is on the server, the seconds of frames run (each fetching
    // until the archive came), then the requests and the archives fetched so far.
    const struct {
        bool served;
        double seconds;
        int requests, fetched;
    } rows[] = {
        // Asked at 0, 1 and 3 s; the pause before the next try is 4 s.
        {false, 4, 3, 0},
        // Fetched at 7 s.
        {true, 5, 4, 1},
        // Failing again, asked at once and then after 1 s: the success ended the 4 s pause.
        {false, 2.5, 6, 1},
    };
    const std::string remote = "/pub/a.txt.zip";
    fs::create_directories(server.www() + "/pub");
    fetch_pacing pacing;
    int fetched = 0;
    for (size_t i = 0; i < std::size(rows); ++i) {
        fs::remove(server.www() + remote);
        if (rows[i].served)
            write_file(server.www() + remote, "an archive\n");
        bool done = false;
        run_idle_frames(clock, FIRST_STREAM_SLOT, rows[i].seconds, [&] {
            if (!done && fetch_step(FIRST_STREAM_SLOT, pacing, "127.0.0.1", remote, temp_path + "0.zip") == NET_DONE) {
                done = true;
                ++fetched;
            }
        });
        EXPECT_EQ(server.requests_containing("GET " + remote), rows[i].requests) << "row " << i;
        EXPECT_EQ(fetched, rows[i].fetched) << "row " << i;
    }
}

TEST_F(Engine, ProgressPastTwentyOneMegabytesStaysAPercentageAndAResetDropsTheTransfer)
{
    constexpr size_t LARGE = 30000000;  // received x 100 passes 2^31 after 21,474,836 bytes
    write_file(server.www() + "/large.bin", patterned_bytes(LARGE, 9));
    write_file(server.www() + "/small.txt", "the file asked for now\n");
    const std::string archive = temp_path + "0.zip";
    const down_class* transfer = nullptr;
    for (int i = 0; i < ENGINE_CALL_LIMIT && (transfer == nullptr || transfer->received < 25000000); ++i) {
        ASSERT_EQ(http.net_check(FIRST_STREAM_SLOT, "127.0.0.1", "/large.bin", archive), 0);
        transfer = http.slots[FIRST_STREAM_SLOT].get();
    }
    EXPECT_GE(transfer_percent(FIRST_STREAM_SLOT), 83) << "25 MB of 30";
    EXPECT_LE(transfer_percent(FIRST_STREAM_SLOT), 100);

    // A transfer of an earlier install is dropped, not continued into the next one's archive.
    reset_slots();
    EXPECT_EQ(transfer_percent(FIRST_STREAM_SLOT), 0) << "an idle slot has no progress";
    int result = 0;
    for (int i = 0; i < ENGINE_CALL_LIMIT && result == 0; ++i)
        result = http.net_check(FIRST_STREAM_SLOT, "127.0.0.1", "/small.txt", archive);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(read_file(archive), "the file asked for now\n");
}

TEST(EngineRules, StreamTargetsAndFolderNames)
{
    const std::pair<float, int> targets[] = {{0, 2}, {50, 2}, {50.5f, 4}, {100, 4}, {101, 6}, {151, 8}, {201, 9}};
    for (const auto& [rate, streams] : targets)
        EXPECT_EQ(stream_target_for_rate(rate), streams) << rate;
    EXPECT_TRUE(is_plain_folder_name("Veltrix 851"));
    for (const char* bad : {"", ".", "..", "../x", "a/b", "a:b", "a\\b", "/"})
        EXPECT_FALSE(is_plain_folder_name(bad)) << bad;
}

}  // namespace
