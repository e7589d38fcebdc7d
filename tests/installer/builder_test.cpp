// The release builder on real reference trees: the executable writes a release, Debian's unzip
// reads its archives, read_directory reads its listing.

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "core/stg.h"
#include "core/zip.h"
#include "installer/builder.h"
#include "listing_fixture.h"
#include "support/alert_recorder.h"
#include "support/temp_folder.h"

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

struct run_result {
    int status = -1;
    std::string output;  // standard output and standard error together
};

// Runs the real builder with the arguments, each quoted for the shell, from the working folder.
run_result run_builder(const std::vector<std::string>& args, const std::string& working_folder = ".")
{
    const char* binary = std::getenv("VELTRIX_BINARY_DIR");
    std::string command = "cd '" + working_folder + "' && VELTRIX_HEADLESS=1 '" + (binary ? binary : ".") +
        "/bin/veltrix-release-builder'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    const std::string output = command_output(command + " 2>&1; echo \"status $?\"");
    const size_t status = output.rfind("status ");
    return {std::stoi(output.substr(status + 7)), output.substr(0, status)};
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

class Builder : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The tree lives below a folder whose own name would break the name rules.
        tree = dir / "work.d copy/reference";
        out = dir / "out";
        // The folders and files every reference tree must hold.
        for (const char* folder :
             {"All/Aircraft", "All/Airfoils", "All/Instructions", "All/Output", "All/Weapons", "All/Custom Scenery",
              "All/Resources/plugins", "All/Resources/default scenery/820 world terrain", "Macintosh", "Windows",
              "Linux Generic x86", "Linux Pentium 3", "Linux Athlon XP"})
            fs::create_directories(tree + "/" + folder);
        add("All/Resources/menus/English/Veltrix.txt", "menus\n");
        add("All/Resources/text/English/Veltrix.txt", "texts\n");
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
    // The tree's files, each with the platform its record names, or -1 where the file rules leave it out.
    const std::pair<std::string, int> entries[] = {
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
        {"All/Resources/settings.prf", -1},
        {"All/Resources/default scenery/820 world terrain/terrain/other.ter", -1},
        {"All/Resources/bitmaps/Earth Orbit Textures/orbit.png", -1},
        {"All/Resources/default scenery/DSF 820 Earth/+40-080.dsf", -1},
        {"All/PFC Aircraft/pfc.acf", -1},
    };
    ASSERT_EQ(symlink("veltrix-x86", (tree + "/Linux Generic x86/Veltrix").c_str()), 0);
    add("All/Output/empty file.txt", "");
    add("All/Resources/big.bin", patterned_bytes(3 * 1000 * 1000 + 17));
    add("All/Aircraft/My Plane/My Plane.acf", std::string(50000, 'a'));  // packs to almost nothing
    for (const auto& [path, platform] : entries)
        if (!path_exists(tree + "/" + path))
            add(path, path);
    chmod((tree + "/Linux Generic x86/veltrix-x86").c_str(), 0755);

    const run_result run = run_builder({"--name", release_name, tree, out});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("OK compression is done. Checklist:"), std::string::npos) << run.output;
    const std::string release = release_folder(out);
    for (const auto& [path, platform] : entries) {
        if (platform < 0) {
            EXPECT_FALSE(fs::exists(release + path + ".zip")) << path;
            continue;
        }
        const std::string listed = command_output("unzip -l '" + release + path + ".zip'");
        EXPECT_NE(listed.find(" " + fs::path(path).filename().string() + "\n"), std::string::npos) << listed;
    }
    EXPECT_FALSE(fs::exists(release + "directory.txt"));
    EXPECT_EQ(read_file(out + "/MY CONTAINER FOR " + release_name + "/dvd_version.txt"),
              "A\n820 version\nDVD\n\nVERSION " + std::string(release_name) + "\n");

    // The listing names exactly the published files, with their signatures.
    stg._download_os = OS_LINUX_GENERIC;
    ASSERT_EQ(read_release_listing(out, dir / "listing"), LISTING_READ);
    std::map<std::string, const file_version_struct*> listed;
    for (const file_history_struct& h : sim_info) {
        EXPECT_EQ(h.size(), 1u);
        listed[h.back().path] = &h.back();
    }
    float want_kb = 0;
    size_t published = 0;
    for (const auto& [path, platform] : entries) {
        if (platform < 0)
            continue;
        ++published;
        ASSERT_TRUE(listed.count(path)) << path;
        const file_version_struct& v = *listed[path];
        EXPECT_EQ(v.sig_want, listed_signature(tree + "/" + path)) << path;
        EXPECT_EQ(v.platform, platform) << path;
        EXPECT_EQ(v.version, builder_version);
        EXPECT_EQ(v.sig_have, SIG_NONE);
        EXPECT_EQ(int(v.zip_kb), int(fs::file_size(release + path + ".zip") / 1000)) << path;
        want_kb += platform == 0 || platform == 3 || platform == 6 ? v.zip_kb : 0;
    }
    EXPECT_EQ(listed.size(), published);
    EXPECT_EQ(listed["All/Output/empty file.txt"]->sig_want, "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(listed["All/Resources/big.bin"]->unzip_kb, 3000.0f);
    EXPECT_EQ(listed["All/Aircraft/My Plane/My Plane.acf"]->unzip_kb, 50.0f);
    EXPECT_FLOAT_EQ(stg.down_kb, want_kb);
    EXPECT_EQ(this_install_has_exes, 1);

    // Program files keep their mode, and links stay links, in their archives.
    EXPECT_EQ(command_output("zipinfo '" + release + "Linux Generic x86/veltrix-x86.zip' veltrix-x86").substr(0, 10),
              "-rwxr-xr-x");
    EXPECT_EQ(command_output("zipinfo '" + release + "Linux Generic x86/Veltrix.zip' Veltrix").substr(0, 4), "lrwx");
}

TEST_F(Builder, HistoryFromThePreviousListingIsCarriedForward)
{
    add("All/Resources/same.txt", "same content");
    add("All/Resources/changed.txt", "new content");
    add("All/Resources/came back.txt", "back again");
    const std::string previous = listing_text("\nDIR All/Resources/\n"
                                              "FILE 0 0 85006 1 1 {old content} same.txt\n"
                                              "FILE 0 0 85007 1 1 {same content} same.txt\n"
                                              "FILE 0 0 85007 2 3 {old content} changed.txt\n"
                                              "FILE 0 0 85006 1 1 {back again} came back.txt\n"
                                              "FILE 0 0 85007 0 0 GONE came back.txt\n"
                                              "FILE 0 0 85007 4 5 {old content} removed.txt\n"
                                              "FILE 0 0 85006 4 5 {old content} long gone.txt\n"
                                              "FILE 0 0 85007 0 0 GONE long gone.txt\n"
                                              "FILE 0 0 85007 4 5 {old content} refused.prf\n");
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

    std::map<std::string, std::string> history;  // path: each version's record fields, oldest first
    for (const file_history_struct& h : sim_info)
        for (const file_version_struct& v : h)
            history[v.path] += " " + std::to_string(v.version) + " " + std::to_string(int(v.zip_kb)) + " " +
                std::to_string(int(v.unzip_kb)) + " " + v.sig_want;
    const std::pair<std::string, std::string> expected[] = {
        {"same.txt", " 85006 1 1 {old content} 85008 0 0 {same content}"},
        {"changed.txt", " 85007 2 3 {old content} 85008 0 0 {new content}"},
        {"came back.txt", " 85008 0 0 {back again}"},
        {"removed.txt", " 85007 4 5 {old content} 85008 0 0 GONE"},
        {"long gone.txt", " 85006 4 5 {old content} 85007 0 0 GONE"},
        {"refused.prf", ""},
    };
    for (const auto& [path, versions] : expected)
        EXPECT_EQ(history["All/Resources/" + path], with_digests(versions)) << path;

    // The first record of the listing follows a folder record.
    const std::string text = read_file(dir / "listing/directory.txt");
    EXPECT_EQ(text.find("A\n840 version\nINSTALLER\n\n\nDIR "), 0u) << text;
}

TEST_F(Builder, BrokenTreesStopTheBuildWithTheReason)
{
    // What each case puts in the tree (f a file, d a folder, l a link out of it) or takes away (r).
    const struct {
        const char* rel;
        char change;
        const char* reason;
    } cases[] = {
        {"All/Resources/readme copy.txt", 'f', "found a copy file!"},
        {"All/Resources/source.cpp", 'f', "found a .cpp file!"},
        {"All/stray.txt", 'f', "I FOUND A FILE INSIDE THE 'ALL' FOLDER!"},
        {"All/Extras", 'd', "What the hell is THIS doing in here!?!?!?"},
        {"All/Resources/trailing ", 'f', "You tried to include a file or directory with a space at the end!"},
        {"All/Resources/a:b", 'f', "found a  : in the path!"},
        {"All/Resources/back\\slash", 'f', "found a \\ in the path!"},
        {"All/Resources/two\nlines", 'f', "found a control character in the path!"},
        {"All/Resources/tab\there", 'f', "found a control character in the path!"},
        {"Macintosh/OS-X Joystick.bundle", 'd', "WE DO NOT USE BUNDLE ANY MORE!"},
        {"Windows/outside", 'l', "found a link that leads out of the install!"},
        {"All/Resources/plugins", 'r', "!found_plug\t\t\t\t\t"},
    };
    for (const auto& c : cases) {
        const std::string path = tree + "/" + c.rel;
        if (c.change == 'f')
            write_file(path, "x");
        else if (c.change == 'd')
            fs::create_directories(path);
        else if (c.change == 'l')
            ASSERT_EQ(symlink("/etc/passwd", path.c_str()), 0);
        else
            fs::remove_all(path);
        const run_result run = run_builder({tree, out});
        EXPECT_EQ(run.status, 1) << c.rel;
        EXPECT_NE(run.output.find(c.reason), std::string::npos) << c.rel << ": " << run.output;
        fs::remove_all(path);
        if (c.change == 'r')
            fs::create_directories(path);
    }

    // Two old histories whose keys differ only in case.
    write_file(dir / "twice.txt",
               listing_text("DIR All/\nFILE 0 0 85007 1 1 GONE a.txt\nFILE 0 0 85007 1 1 GONE A.TXT\n"));
    run_result run = run_builder({"--previous", dir / "twice.txt", tree, out});
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
    const std::vector<std::string> argument_lists[] = {{},
                                                       {tree},
                                                       {tree, out, "third"},
                                                       {"--previous"},
                                                       {"--bogus", tree, out},
                                                       {dir / "no such tree", out},
                                                       {"--name", "a:..", tree, out},
                                                       {"--name", "a\\b", tree, out},
                                                       {"--name", "..", tree, out}};
    for (const std::vector<std::string>& args : argument_lists) {
        const run_result run = run_builder(args);
        EXPECT_NE(run.status, 0);
        EXPECT_NE(run.output.find("usage: veltrix-release-builder"), std::string::npos) << run.output;
    }
}

TEST(BuilderRules, FileRulesRegionsAndPlatformKeys)
{
    src_fold = "/tree/work.x/";
    set_builder_paths();
    const std::string terrain = "All/Resources/default scenery/820 world terrain/";
    EXPECT_EQ(path_is_dvd_only(src_fold + terrain + "terrain/trop_crptwnhill_sq4.ter"), 0);
    EXPECT_EQ(path_is_dvd_only(src_fold + terrain + "textures/human/north_crp_irr2_LIT.png"), 0);
    EXPECT_EQ(path_is_dvd_only(src_fold + terrain + "terrain/trop_crptwnhill_sq5.ter"), 1);
    const std::pair<std::string, int> published[] = {
        {terrain + "terrain/temp_crp_sq2.ter", 1},
        {terrain + "terrain/temp_crp_sq9.ter", 0},
        {"All/Resources/Mars nav data/x.env", 0},
        {"All/Resources/Mars nav data/x.dat", 1},
        {"All/Resources/._x", 0},
        {"All/Resources/movie.mov", 0},
        {"All/Resources/default scenery/DSF 830 Moon/+00+000.dsf", 0},
        {"All/Resources/default scenery/DSF 830 Moon/readme.txt", 1},
    };
    for (const auto& [path, good] : published)
        EXPECT_EQ(is_good_file(src_fold + path, 0, 0), good) << path;
    // The walk's own check: a file that cannot be mapped is not published.
    EXPECT_EQ(is_good_file(src_fold + "All/Resources/missing.txt", 0, 1), 0);

    const struct {
        int region;
        const char* tile;
        int wanted;
    } regions[] = {
        {2, "/x/+40-080.dsf", 1}, {2, "/x/+50-080.dsf", 0}, {2, "/x/+40+010.dsf", 0}, {5, "/x/+40+010.dsf", 1}};
    for (const auto& r : regions) {
        reg = r.region;
        EXPECT_EQ(want_reg(r.tile), r.wanted) << r.region << " " << r.tile;
    }
    for (reg = 1; reg <= 7; ++reg)
        EXPECT_EQ(want_reg("/x/+10+180.dsf"), 0) << "no Earth region reaches longitude 180, region " << reg;
    reg = 0;

    const struct {
        std::string path;
        int platform;
        std::string key;
    } keys[] = {{"All/Resources/x", 0, "ALL_os/Resources/x"},
                {"Linux Athlon XP/bin", 5, "LINAMD_os/bin"},
                {"All/Resources/plugins/KVEM.so", 6, "/Resources/plugins/KVEM.so"}};
    for (const auto& k : keys) {
        std::string key = k.path;
        chop_platform(key, k.platform);
        EXPECT_EQ(key, k.key);
    }
    alert_recorder alerts;
    std::string key = "no folder";
    EXPECT_EQ(expect_fatal([&] { chop_platform(key, 0); }).l1, "Could not find the dir char!");
}

}  // namespace
