// The release builder on real reference trees: the executable writes a
// release, Debian's unzip reads its archives, read_directory reads its listing.

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "core/md5.h"
#include "core/stg.h"
#include "core/zip.h"
#include "installer/builder.h"
#include "installer/listing.h"
#include "installer/release_tree.h"
#include "support/alert_recorder.h"

using namespace test;

namespace fs = std::filesystem;

namespace {

constexpr const char* release_name = "Test Release";

std::string release_folder(const std::string& out)
{
    return out + "/MY CONTAINER FOR " + release_name + "/" + release_name + "/";
}

// Unzips the release's listing next to it and reads it with the installer's reader.
int read_release_listing(const std::string& out, const std::string& work)
{
    fs::create_directories(work);
    EXPECT_EQ(zip_to_file(release_folder(out) + "directory.txt.zip", work + "/", nullptr, 0), 0);
    return read_directory(work + "/directory.txt", "reading");
}

std::string md5_file(const std::string& path)
{
    std::string sig = "unreadable";  // left as it is when the file cannot be signed
    (void)calc_file_md5(path, sig);
    return sig;
}

// Whether anything opened a file in `folder` while `run` ran, as inotify saw it.
bool opens_a_file_in(const std::string& folder, const std::function<void()>& run)
{
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    EXPECT_GE(inotify_add_watch(watch, folder.c_str(), IN_OPEN), 0) << folder << ": " << strerror(errno);
    run();
    alignas(inotify_event) char event[sizeof(inotify_event) + NAME_MAX + 1];
    const bool opened = read(watch, event, sizeof event) > 0;
    close(watch);
    return opened;
}

struct expected_file {
    std::string path;  // below the tree's root
    int platform;
};

class Builder : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The tree lives below a folder whose own name would break the name rules.
        tree = dir / "work.d copy/reference";
        out = dir / "out";
        fs::create_directories(tree);
        make_required_entries(tree);
        set_stg_defaults();
        dest_dir_path = dir / "install/";
        fs::create_directories(dest_dir_path);
    }
    void add(const std::string& rel, const std::string& bytes)
    {
        fs::create_directories(fs::path(tree + "/" + rel).parent_path());
        write_file(tree + "/" + rel, bytes);
    }
    temp_folder dir;
    std::string tree, out;
};

TEST_F(Builder, ReleaseRoundTripsThroughArchivesAndTheListing)
{
    add("All/Aircraft/My Plane/My Plane.acf", patterned_bytes(5000));
    add("All/Output/empty file.txt", "");
    add("All/Resources/big.bin", patterned_bytes(3 * 1000 * 1000 + 17));
    add("All/Resources/plugins/KVEM.so", "linux plugin");
    add("All/Resources/plugins/KVEM.dll", "windows plugin");
    add("All/Resources/default scenery/820 world terrain/terrain/temp_crp_sq1.ter", "network terrain");
    add("Linux Generic x86/veltrix-x86", "#!/bin/sh\necho flying\n");
    chmod((tree + "/Linux Generic x86/veltrix-x86").c_str(), 0755);
    ASSERT_EQ(symlink("veltrix-x86", (tree + "/Linux Generic x86/Veltrix").c_str()), 0);
    add("Macintosh/Veltrix.app/Contents/MacOS/Veltrix", "mac binary");
    // Left out by the file rules.
    add("All/Resources/settings.prf", "prefs");
    add("All/Resources/default scenery/820 world terrain/terrain/other.ter", "disc terrain");
    add("All/Resources/bitmaps/Earth Orbit Textures/orbit.png", "orbit");
    add("All/Resources/default scenery/DSF 820 Earth/+40-080.dsf", "tile");
    add("All/PFC Aircraft/pfc.acf", "pfc");

    const run_result run = run_builder({"--name", release_name, tree, out});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("OK compression is done. Checklist:"), std::string::npos) << run.output;

    const std::vector<expected_file> published = {
        {"All/Aircraft/My Plane/My Plane.acf", 0},
        {"All/Output/empty file.txt", 0},
        {"All/Resources/big.bin", 0},
        {"All/Resources/default scenery/820 world terrain/terrain/temp_crp_sq1.ter", 0},
        {"All/Resources/menus/English/Veltrix.txt", 0},
        {"All/Resources/plugins/KVEM.dll", 2},
        {"All/Resources/plugins/KVEM.so", 6},
        {"All/Resources/text/English/Veltrix.txt", 0},
        {"Linux Generic x86/Veltrix", 3},
        {"Linux Generic x86/veltrix-x86", 3},
        {"Macintosh/Veltrix.app/Contents/MacOS/Veltrix", 1},
    };
    const std::string release = release_folder(out);
    for (const expected_file& f : published) {
        const std::string zip = release + f.path + ".zip";
        ASSERT_TRUE(fs::exists(zip)) << zip;
        const std::string leaf = fs::path(f.path).filename().string();
        const std::string listed = command_output("unzip -l '" + zip + "'");
        EXPECT_NE(listed.find(" " + leaf + "\n"), std::string::npos) << listed;
    }
    for (const char* left_out : {"All/Resources/settings.prf", "All/Resources/bitmaps/Earth Orbit Textures/orbit.png",
                                 "All/PFC Aircraft/pfc.acf", "All/Resources/default scenery/DSF 820 Earth/+40-080.dsf",
                                 "All/Resources/default scenery/820 world terrain/terrain/other.ter"})
        EXPECT_FALSE(fs::exists(release + left_out + ".zip")) << left_out;
    EXPECT_FALSE(fs::exists(release + "directory.txt"));
    EXPECT_EQ(read_file(out + "/MY CONTAINER FOR " + release_name + "/dvd_version.txt"),
              "A\n820 version\nDVD\n\nVERSION " + std::string(release_name) + "\n");

    // The listing names exactly the published files, with their signatures.
    stg._download_os = OS_LINUX_GENERIC;
    ASSERT_EQ(read_release_listing(out, dir / "listing"), LISTING_READ);
    std::map<std::string, const file_version_struct*> listed;
    for (const file_history_struct& h : sim_info) {
        ASSERT_EQ(h.size(), 1u);
        listed[h.back().path] = &h.back();
    }
    ASSERT_EQ(listed.size(), published.size());
    float want_kb = 0;
    for (const expected_file& f : published) {
        ASSERT_TRUE(listed.count(f.path)) << f.path;
        const file_version_struct& v = *listed[f.path];
        EXPECT_EQ(v.sig_want, md5_file(tree + "/" + f.path)) << f.path;
        EXPECT_EQ(v.platform, f.platform) << f.path;
        EXPECT_EQ(v.version, builder_version);
        EXPECT_EQ(v.sig_have, SIG_NONE);
        EXPECT_EQ(int(v.zip_kb), int(fs::file_size(release + f.path + ".zip") / 1000)) << f.path;
        if (f.platform == 0 || f.platform == 3 || f.platform == 6)
            want_kb += v.zip_kb;
    }
    EXPECT_EQ(listed["All/Output/empty file.txt"]->sig_want, "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(listed["All/Resources/big.bin"]->unzip_kb, 3000.0f);
    EXPECT_FLOAT_EQ(stg.down_kb, want_kb);
    EXPECT_EQ(this_install_has_exes, 1);

    // Installing every archive the way the engine does makes the disk current.
    for (const expected_file& f : published) {
        const std::string inside = f.path.substr(f.path.find('/') + 1);
        const std::string folder = fs::path(dest_dir_path + inside).parent_path().string() + "/";
        fs::create_directories(folder);
        ASSERT_EQ(zip_to_file(release + f.path + ".zip", folder, nullptr, 0), 0) << f.path;
    }
    EXPECT_EQ(fs::status(dest_dir_path + "veltrix-x86").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    EXPECT_EQ(fs::read_symlink(dest_dir_path + "Veltrix"), "veltrix-x86");
    EXPECT_TRUE(fs::is_regular_file(dest_dir_path + "Output/empty file.txt"));
    ASSERT_EQ(read_release_listing(out, dir / "listing2"), LISTING_READ);
    for (const file_history_struct& h : sim_info)
        EXPECT_EQ(h.back().have_it, 1) << h.back().path;
    EXPECT_EQ(stg.down_kb, 0.0f);
    EXPECT_EQ(stg.disk_kb, 0.0f);
}

TEST_F(Builder, HistoryFromThePreviousListingIsCarriedForward)
{
    add("All/Resources/same.txt", "same content");
    add("All/Resources/changed.txt", "new content");
    add("All/Resources/came back.txt", "back again");
    const std::string same = md5_of_bytes("same content", 12);
    const std::string old_sig = md5_of_bytes("old content", 11);
    const std::string back = md5_of_bytes("back again", 10);
    const std::string previous = "A\n840 version\nINSTALLER\n\n"
                                 "\nDIR All/Resources/\n"
                                 "FILE 0 0 85006 1 1 " +
        old_sig +
        " same.txt\n"
        "FILE 0 0 85007 1 1 " +
        same +
        " same.txt\n"
        "FILE 0 0 85007 2 3 " +
        old_sig +
        " changed.txt\n"
        "FILE 0 0 85006 1 1 " +
        back +
        " came back.txt\n"
        "FILE 0 0 85007 0 0 GONE came back.txt\n"
        "FILE 0 0 85007 4 5 " +
        old_sig +
        " removed.txt\n"
        "FILE 0 0 85006 4 5 " +
        old_sig +
        " long gone.txt\n"
        "FILE 0 0 85007 0 0 GONE long gone.txt\n"
        "FILE 0 0 85007 4 5 " +
        old_sig + " refused.prf\n";
    write_file(dir / "previous.txt", previous);

    // Run from a folder that holds files at the listed paths, the builder opens none of them.
    const std::string elsewhere = dir / "elsewhere";
    fs::create_directories(elsewhere + "/Resources");
    write_file(elsewhere + "/Resources/same.txt", "same content");
    write_file(elsewhere + "/Resources/changed.txt", "old content");
    run_result run;
    EXPECT_FALSE(opens_a_file_in(elsewhere + "/Resources", [&] {
        run = run_builder({"--previous", dir / "previous.txt", "--name", release_name, tree, out}, elsewhere);
    })) << "the builder read files outside its reference tree";
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(read_release_listing(out, dir / "listing"), LISTING_READ);

    std::map<std::string, std::vector<std::string>> history;  // path -> "version sig" oldest first
    for (const file_history_struct& h : sim_info)
        for (const file_version_struct& v : h)
            history[v.path].push_back(std::to_string(v.version) + " " + v.sig_want);
    using list = std::vector<std::string>;
    EXPECT_EQ(history["All/Resources/same.txt"], (list{"85006 " + old_sig, "85008 " + same}));
    EXPECT_EQ(history["All/Resources/changed.txt"],
              (list{"85007 " + old_sig, "85008 " + md5_of_bytes("new content", 11)}));
    EXPECT_EQ(history["All/Resources/came back.txt"], (list{"85008 " + back}));
    EXPECT_EQ(history["All/Resources/removed.txt"], (list{"85007 " + old_sig, "85008 GONE"}));
    EXPECT_EQ(history["All/Resources/long gone.txt"], (list{"85006 " + old_sig, "85007 GONE"}));
    EXPECT_EQ(history.count("All/Resources/refused.prf"), 0u);

    // The first record of the listing follows a folder record.
    fs::create_directories(dir / "raw");
    ASSERT_EQ(zip_to_file(release_folder(out) + "directory.txt.zip", dir / "raw/", nullptr, 0), 0);
    const std::string text = read_file(dir / "raw/directory.txt");
    EXPECT_EQ(text.find("A\n840 version\nINSTALLER\n\n\nDIR "), 0u) << text;
}

TEST_F(Builder, BrokenTreesStopTheBuildWithTheReason)
{
    const struct {
        const char* rel;
        bool folder;
        const char* reason;
    } cases[] = {
        {"All/Resources/readme copy.txt", false, "found a copy file!"},
        {"All/Resources/source.cpp", false, "found a .cpp file!"},
        {"All/stray.txt", false, "I FOUND A FILE INSIDE THE 'ALL' FOLDER!"},
        {"All/Extras", true, "What the hell is THIS doing in here!?!?!?"},
        {"All/Resources/trailing ", false, "You tried to include a file or directory with a space at the end!"},
        {"All/Resources/a:b", false, "found a  : in the path!"},
        {"All/Resources/back\\slash", false, "found a \\ in the path!"},
        {"All/Resources/two\nlines", false, "found a control character in the path!"},
        {"All/Resources/tab\there", false, "found a control character in the path!"},
        {"Macintosh/OS-X Joystick.bundle", true, "WE DO NOT USE BUNDLE ANY MORE!"},
    };
    for (const auto& c : cases) {
        const std::string path = tree + "/" + c.rel;
        if (c.folder)
            fs::create_directories(path);
        else
            write_file(path, "x");
        const run_result run = run_builder({tree, out});
        EXPECT_EQ(run.status, 1) << c.rel;
        EXPECT_NE(run.output.find(c.reason), std::string::npos) << c.rel << ": " << run.output;
        fs::remove_all(path);
    }

    ASSERT_EQ(symlink("/etc/passwd", (tree + "/Windows/outside").c_str()), 0);
    run_result run = run_builder({tree, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("found a link that leads out of the install!"), std::string::npos) << run.output;
    fs::remove(tree + "/Windows/outside");

    fs::remove_all(tree + "/All/Resources/plugins");
    run = run_builder({tree, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("!found_plug\t\t\t\t\t"), std::string::npos) << run.output;
    fs::create_directories(tree + "/All/Resources/plugins");

    // Two old histories whose keys differ only in case.
    write_file(dir / "twice.txt",
               "A\n840 version\nINSTALLER\n\nDIR All/\nFILE 0 0 85007 1 1 GONE a.txt\n"
               "FILE 0 0 85007 1 1 GONE A.TXT\n");
    run = run_builder({"--previous", dir / "twice.txt", tree, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("WARNING: you appear to have a file TWICE in an old directory file."), std::string::npos)
        << run.output;

    // A file where an output folder goes: the build stops, naming the folder and why.
    const std::string container = out + "/MY CONTAINER FOR Veltrix 8.50 Beta 8";
    fs::remove_all(container);
    write_file(container, "not a folder");
    run = run_builder({tree, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("I could not make a folder of the release!"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(container + "/Veltrix 8.50 Beta 8/"), std::string::npos) << run.output;
    fs::remove(container);

    // With everything mended the same tree builds.
    run = run_builder({tree, out});
    EXPECT_EQ(run.status, 0) << run.output;
}

TEST_F(Builder, WrongArgumentsPrintTheUsage)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{},
                                                                                      {tree},
                                                                                      {tree, out, "third"},
                                                                                      {"--previous"},
                                                                                      {"--bogus", tree, out},
                                                                                      {dir / "no such tree", out},
                                                                                      {"--name", "a:..", tree, out},
                                                                                      {"--name", "a\\b", tree, out},
                                                                                      {"--name", "..", tree, out}}) {
        const run_result run = run_builder(args);
        EXPECT_NE(run.status, 0);
        EXPECT_NE(run.output.find("usage: veltrix-release-builder"), std::string::npos) << run.output;
    }
}

TEST(BuilderRules, FileRulesAndRegions)
{
    src_fold = "/tree/work.x/";
    set_builder_paths();
    const std::string terrain = src_fold + "All/Resources/default scenery/820 world terrain/";
    EXPECT_EQ(path_is_dvd_only(terrain + "terrain/trop_crptwnhill_sq4.ter"), 0);
    EXPECT_EQ(path_is_dvd_only(terrain + "textures/human/north_crp_irr2_LIT.png"), 0);
    EXPECT_EQ(path_is_dvd_only(terrain + "terrain/trop_crptwnhill_sq5.ter"), 1);
    EXPECT_EQ(is_good_file(terrain + "terrain/temp_crp_sq2.ter", 0, 0), 1);
    EXPECT_EQ(is_good_file(terrain + "terrain/temp_crp_sq9.ter", 0, 0), 0);
    EXPECT_EQ(is_good_file(src_fold + "All/Resources/Mars nav data/x.env", 0, 0), 0);
    EXPECT_EQ(is_good_file(src_fold + "All/Resources/Mars nav data/x.dat", 0, 0), 1);
    EXPECT_EQ(is_good_file(src_fold + "All/Resources/._x", 0, 0), 0);
    EXPECT_EQ(is_good_file(src_fold + "All/Resources/movie.mov", 0, 0), 0);
    EXPECT_EQ(is_good_file(src_fold + "All/Resources/default scenery/DSF 830 Moon/+00+000.dsf", 0, 0), 0);
    EXPECT_EQ(is_good_file(src_fold + "All/Resources/default scenery/DSF 830 Moon/readme.txt", 0, 0), 1);
    // The walk's own check: a file that cannot be mapped is not published.
    EXPECT_EQ(is_good_file(src_fold + "All/Resources/missing.txt", 0, 1), 0);

    reg = 2;
    EXPECT_EQ(want_reg("/x/+40-080.dsf"), 1);
    EXPECT_EQ(want_reg("/x/+50-080.dsf"), 0);
    EXPECT_EQ(want_reg("/x/+40+010.dsf"), 0);
    reg = 5;
    EXPECT_EQ(want_reg("/x/+40+010.dsf"), 1);
    for (reg = 1; reg <= 7; ++reg)
        EXPECT_EQ(want_reg("/x/+10+180.dsf"), 0) << reg;
    reg = 0;

    std::string key = "All/Resources/x";
    chop_platform(key, 0);
    EXPECT_EQ(key, "ALL_os/Resources/x");
    key = "Linux Athlon XP/bin";
    chop_platform(key, 5);
    EXPECT_EQ(key, "LINAMD_os/bin");
    key = "All/Resources/plugins/KVEM.so";
    chop_platform(key, 6);
    EXPECT_EQ(key, "/Resources/plugins/KVEM.so");

    alert_recorder alerts;
    key = "no folder";
    EXPECT_THROW(chop_platform(key, 0), fatal_alert);
    EXPECT_EQ(alerts.alerts().back().l1, "Could not find the dir char!");
}

}  // namespace
