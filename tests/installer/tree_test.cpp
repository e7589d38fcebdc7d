// Install-tree preparation, the destination test and chooser, and the path helpers, on real folders.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/stg.h"
#include "installer/destination.h"
#include "installer/install_tree.h"
#include "listing_fixture.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"
#include "support/tool_stubs.h"

using namespace test;

namespace fs = std::filesystem;

namespace {

const std::string SIG = "0123456789abcdef0123456789abcdef";

TEST(InstallTree, MakesAncestorsWantedFoldersAndFixedFolders)
{
    temp_folder dir;
    alert_recorder alerts;
    stg._download_os = OS_MACINTOSH;
    dest_dir_path = dir / "A/B/C/";
    sim_info.clear();
    add_history("Macintosh/a/b/c.txt", 1, {SIG});
    add_history("Windows/w/only.txt", 2, {SIG});
    add_history("All/gone/old.txt", 0, {SIG_GONE});
    add_history("All/Resources/k1/file.txt", 0, {SIG}, SIG_NONE, 1);
    make_dirs();
    sim_info.clear();
    for (const char* made : {"a/b", "Resources/k1", "Output/FMS plans", "Output/logbooks", "Output/movies",
                             "Output/situations", "Resources/preferences"})
        EXPECT_TRUE(fs::is_directory(dir / "A/B/C/" + made)) << made;
    EXPECT_FALSE(fs::exists(dir / "A/B/C/w")) << "another platform's folders are not made";
    EXPECT_FALSE(fs::exists(dir / "A/B/C/gone")) << "a removed file needs no folder";
    EXPECT_TRUE(alerts.alerts().empty());

    // A folder that cannot be made is reported, and the install goes on.
    write_file(dir / "blocker", "a file where a folder should go");
    dest_dir_path = dir / "blocker/inside/";
    make_dirs();
    ASSERT_FALSE(alerts.alerts().empty());
    EXPECT_EQ(alerts.alerts()[0].l1.substr(0, 47), "I am unable to install or update Veltrix. An er");
    EXPECT_EQ(alerts.alerts()[0].type, ALERT_MESSAGE);
    EXPECT_EQ(alerts.alerts()[0].l3, "Install Location: " + dest_dir_path);
}

TEST(InstallTree, MovesRealFrameworkFoldersAsideButLeavesLinks)
{
    temp_folder dir;
    dest_dir_path = dir.root + "/";
    sim_info.clear();
    std::string kvem = dir / "Resources/plugins/KVEM.framework/";
    std::string widgets = dir / "Resources/plugins/KVWidgets.framework/";
    fs::create_directories(kvem + "Versions/Current");
    fs::create_directories(kvem + "Resources");
    fs::create_directories(widgets + "Versions/A");
    fs::create_symlink("A", widgets + "Versions/Current");
    fs::create_symlink("Versions/Current/Resources", widgets + "Resources");
    make_dirs();
    EXPECT_TRUE(fs::is_directory(kvem + "Versions/_Current"));
    EXPECT_FALSE(fs::exists(kvem + "Versions/Current"));
    EXPECT_TRUE(fs::is_directory(kvem + "_Resources"));
    EXPECT_TRUE(fs::is_symlink(widgets + "Versions/Current"));
    EXPECT_TRUE(fs::is_symlink(widgets + "Resources"));
}

TEST(InstallPaths, TrimFolderLeafAndNoFileTests)
{
    const struct {
        std::string path, trimmed, folder, leaf;
        int no_file;
    } cases[] = {
        {"All/Resources/x", "Resources/x", "All/Resources/", "x", 0},
        {"plain", "plain", "", "plain", 0},
        {"All/", "", "", "All/", 1},
        {"/x/y/z.txt", "x/y/z.txt", "/x/y/", "z.txt", 0},
        {"/x/y/", "x/y/", "/x/", "y/", 1},
        {"Airfoils:naca.afl", "Airfoils:naca.afl", "Airfoils:", "naca.afl", 0},
        {"a:b:", "a:b:", "a:", "b:", 1},
        {"/", "", "", "/", 1},
        {"", "", "", "", 0},
    };
    for (const auto& c : cases) {
        std::string trimmed = c.path;
        trim_dest_folder(trimmed);
        EXPECT_EQ(trimmed, c.trimmed) << c.path;
        EXPECT_EQ(folder_of(c.path), c.folder) << c.path;
        EXPECT_EQ(leaf_of(c.path), c.leaf) << c.path;
        EXPECT_EQ(path_has_no_file(c.path), c.no_file) << c.path;
    }
}

TEST(Destination, AFolderHoldingTheFourFoldersIsAnInstallElseItsVeltrixFolderIs)
{
    temp_folder dir;
    for (const char* sub : {"Airfoils", "Instructions", "Output", "Resources"})
        fs::create_directories(dir / "Suite/" + sub);
    for (const char* sub : {"Airfoils", "Output", "Resources"})
        fs::create_directories(dir / "Broken/" + sub);
    write_file(dir / "Broken/Instructions", "a file, not a folder");
    fs::create_directories(dir / "Airfoils Instructions Output Resources/anything");
    fs::create_directories(dir / "empty");
    const struct {
        std::string given;
        int is_install;
        std::string dest;
    } cases[] = {
        {"Suite/", 1, "Suite/"},
        {"Suite", 1, "Suite/"},  // an existing folder given without its '/'
        {"Broken/", 0, "Broken/Veltrix/"},
        // The four words are searched in the whole listed path, so one sub-folder suffices here.
        {"Airfoils Instructions Output Resources/", 1, "Airfoils Instructions Output Resources/"},
        {"empty/not-yet/", 0, "empty/Veltrix/"},  // a missing folder falls back to its parent
        {"empty/", 0, "empty/Veltrix/"},
    };
    for (const auto& c : cases) {
        dest_dir_path = dir / c.given;
        check_dest_path();
        EXPECT_EQ(stg.dest_is_install, c.is_install) << c.given;
        EXPECT_EQ(dest_dir_path, dir / c.dest) << c.given;
    }
}

TEST(Destination, ChooserAnswersSetTheFolderAndACancelChangesNothing)
{
    temp_folder dir;
    fs::create_directories(dir / "picked");
    tool_stubs tools;
    tools.add("zenity");
    // An over-long destination opens the chooser without a start folder, whole or cut.
    const std::string too_long = "/" + std::string(1100, 'x') + "/";
    const struct {
        std::string start, answer;
        int chosen;
        std::string dest;
    } cases[] = {
        {dir / "start/", "", 0, dir / "start/"},
        {dir / "start/", dir / "picked", 1, dir / "picked/Veltrix/"},
        {dir / "start/", "/", 1, "/Veltrix/"},  // the root gets no second '/'
        {too_long, "", 0, too_long},
    };
    for (const auto& c : cases) {
        dest_dir_path = c.start;
        tool_stubs::answer(c.answer);
        EXPECT_EQ(pick_dest_path(), c.chosen) << c.answer;
        EXPECT_EQ(dest_dir_path, c.dest) << c.answer;
    }
    const std::string args = tools.args("zenity");
    size_t openings = 0;
    for (size_t at = args.find("--directory"); at != std::string::npos; at = args.find("--directory", at + 1))
        ++openings;
    EXPECT_EQ(openings, std::size(cases));
    EXPECT_EQ(args.find(std::string(1024, 'x')), std::string::npos) << "no start folder, whole or cut";
}

}  // namespace
