// Install-tree preparation, the destination test and the path helpers, on real folders.

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "core/stg.h"
#include "installer/destination.h"
#include "installer/install_tree.h"
#include "installer/listing.h"
#include "listing_fixture.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

using namespace test;

namespace fs = std::filesystem;

namespace {

TEST(InstallTree, MakesAncestorsWantedFoldersAndFixedFolders)
{
    temp_folder dir;
    alert_recorder alerts;
    stg._download_os = OS_MACINTOSH;
    dest_dir_path = dir.root + "/A/B/C/";
    sim_info.clear();
    add_history("Macintosh/a/b/c.txt", 1, "0123456789abcdef0123456789abcdef");
    add_history("Windows/w/only.txt", 2, "0123456789abcdef0123456789abcdef");
    add_history("All/gone/old.txt", 0, "GONE");
    add_history("All/Resources/settings.txt", 0, "0123456789abcdef0123456789abcdef");
    make_dirs();

    EXPECT_TRUE(fs::is_directory(dir.root + "/A/B/C"));
    EXPECT_TRUE(fs::is_directory(dir.root + "/A/B/C/a/b"));
    EXPECT_FALSE(fs::exists(dir.root + "/A/B/C/w")) << "another platform's folders are not made";
    EXPECT_FALSE(fs::exists(dir.root + "/A/B/C/gone")) << "a removed file needs no folder";
    for (const char* fixed : {"Output", "Output/FMS plans", "Output/logbooks", "Output/movies", "Output/situations",
                              "Resources/preferences"})
        EXPECT_TRUE(fs::is_directory(dir.root + "/A/B/C/" + fixed)) << fixed;
    EXPECT_TRUE(alerts.alerts().empty());
    sim_info.clear();
}

TEST(InstallTree, MovesRealFrameworkFoldersAsideButLeavesLinks)
{
    temp_folder dir;
    dest_dir_path = dir.root + "/";
    sim_info.clear();
    std::string kvem = dir.root + "/Resources/plugins/KVEM.framework/";
    std::string widgets = dir.root + "/Resources/plugins/KVWidgets.framework/";
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

TEST(InstallTree, ReportsAFolderThatCannotBeMadeAndGoesOn)
{
    temp_folder dir;
    alert_recorder alerts;
    write_file(dir / "blocker", "a file where a folder should go");
    dest_dir_path = dir.root + "/blocker/inside/";
    sim_info.clear();
    make_dirs();
    ASSERT_FALSE(alerts.alerts().empty());
    EXPECT_EQ(alerts.alerts()[0].l1.substr(0, 47), "I am unable to install or update Veltrix. An er");
    EXPECT_EQ(alerts.alerts()[0].type, 1);
    EXPECT_EQ(alerts.alerts()[0].l3, "Install Location: " + dest_dir_path);
}

TEST(InstallPaths, TrimFolderAndNoFileTests)
{
    std::string p = "All/Resources/x";
    trim_dest_folder(p);
    EXPECT_EQ(p, "Resources/x");
    p = "plain";
    trim_dest_folder(p);
    EXPECT_EQ(p, "plain");
    p = "All/";
    trim_dest_folder(p);
    EXPECT_EQ(p, "");
    EXPECT_EQ(path_has_no_file("a/b/"), 1);
    EXPECT_EQ(path_has_no_file("a:b:"), 1);
    EXPECT_EQ(path_has_no_file("a/b"), 0);
    EXPECT_EQ(path_has_no_file(""), 0);
    EXPECT_EQ(folder_of("/x/y/z.txt"), "/x/y/");
    EXPECT_EQ(folder_of("/x/y/"), "/x/");
    EXPECT_EQ(folder_of("name"), "");
    EXPECT_EQ(leaf_of("/x/y/z.txt"), "z.txt");
    EXPECT_EQ(leaf_of("Airfoils:naca.afl"), "naca.afl");
    EXPECT_EQ(leaf_of("/x/y/"), "y/");
    EXPECT_EQ(leaf_of("name"), "name");
    EXPECT_EQ(leaf_of("/"), "/");
}

TEST(Destination, RecognisesAnInstallByItsFourFolders)
{
    temp_folder dir;
    for (const char* sub : {"Airfoils", "Instructions", "Output", "Resources"})
        fs::create_directories(dir.root + "/Suite/" + sub);
    dest_dir_path = dir.root + "/Suite/";
    check_dest_path();
    EXPECT_EQ(stg.dest_is_install, 1);
    EXPECT_EQ(dest_dir_path, dir.root + "/Suite/");

    dest_dir_path = dir.root + "/Suite";
    check_dest_path();
    EXPECT_EQ(stg.dest_is_install, 1) << "an existing folder given without its '/' is still that folder";
    EXPECT_EQ(dest_dir_path, dir.root + "/Suite/");

    fs::remove(dir.root + "/Suite/Instructions");
    write_file(dir.root + "/Suite/Instructions", "a file, not a folder");
    dest_dir_path = dir.root + "/Suite/";
    check_dest_path();
    EXPECT_EQ(stg.dest_is_install, 0);
    EXPECT_EQ(dest_dir_path, dir.root + "/Suite/Veltrix/");
}

TEST(Destination, TheFourWordsAreSearchedInTheWholeListedPath)
{
    temp_folder dir;
    std::string odd = dir.root + "/Airfoils Instructions Output Resources/";
    fs::create_directories(odd + "anything");
    dest_dir_path = odd;
    check_dest_path();
    EXPECT_EQ(stg.dest_is_install, 1) << "one sub-folder suffices when the folder's own path holds the words";
    EXPECT_EQ(dest_dir_path, odd);
}

TEST(Destination, AMissingFolderFallsBackToItsParent)
{
    temp_folder dir;
    dest_dir_path = dir.root + "/not-yet/";
    check_dest_path();
    EXPECT_EQ(stg.dest_is_install, 0);
    EXPECT_EQ(dest_dir_path, dir.root + "/Veltrix/");

    fs::create_directories(dir.root + "/empty");
    dest_dir_path = dir.root + "/empty/";
    check_dest_path();
    EXPECT_EQ(stg.dest_is_install, 0) << "an empty folder holds no install";
    EXPECT_EQ(dest_dir_path, dir.root + "/empty/Veltrix/");
}

TEST(Destination, ChooserAnswersSetTheFolderAndACancelChangesNothing)
{
    temp_folder dir;
    fs::create_directories(dir.root + "/bin");
    fs::create_directories(dir.root + "/picked");
    write_file(dir / "bin/zenity",
               "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"" + dir.root +
                   "/zenity.args\"\n[ -n \"$ZENITY_ANSWER\" ] || exit 1\n"
                   "printf '%s\\n' \"$ZENITY_ANSWER\"\n");
    chmod((dir / "bin/zenity").c_str(), 0755);
    std::string old_path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (dir.root + "/bin:" + old_path).c_str(), 1);

    dest_dir_path = dir.root + "/start/";
    unsetenv("ZENITY_ANSWER");
    EXPECT_EQ(pick_dest_path(), 0);
    EXPECT_EQ(dest_dir_path, dir.root + "/start/");

    setenv("ZENITY_ANSWER", (dir.root + "/picked").c_str(), 1);
    EXPECT_EQ(pick_dest_path(), 1);
    EXPECT_EQ(dest_dir_path, dir.root + "/picked/Veltrix/");
    EXPECT_NE(read_file(dir / "zenity.args").find("--directory"), std::string::npos);

    setenv("ZENITY_ANSWER", "/", 1);
    EXPECT_EQ(pick_dest_path(), 1);
    EXPECT_EQ(dest_dir_path, "/Veltrix/") << "the root gets no second '/' before the product folder";

    dest_dir_path = "/" + std::string(1100, 'x') + "/";
    unsetenv("ZENITY_ANSWER");
    EXPECT_EQ(pick_dest_path(), 0) << "an over-long destination opens the chooser without a start folder";
    EXPECT_EQ(dest_dir_path.size(), 1102u);
    std::string args = read_file(dir / "zenity.args");
    EXPECT_EQ(args.find(std::string(1024, 'x')), std::string::npos) << "no start folder, whole or cut";
    size_t openings = 0;
    for (size_t at = args.find("--directory"); at != std::string::npos; at = args.find("--directory", at + 1))
        ++openings;
    EXPECT_EQ(openings, 4u) << "the chooser still opened, the fourth time without a start folder";

    setenv("PATH", old_path.c_str(), 1);
    unsetenv("ZENITY_ANSWER");
}

}  // namespace
