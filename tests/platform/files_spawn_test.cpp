// The platform's file services and process start-up, on real folders and
// real programs.

#include "platform/files.h"
#include "platform/spawn.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "support/temp_folder.h"

using test::temp_folder;

namespace {

void touch(const std::string& path)
{
    std::ofstream(path).put('x');
}

}  // namespace

TEST(PlatformFiles, ErrorsMapToTheFileServiceCodes)
{
    // An errno the services have no code for passes through as it is.
    // clang-format off
    const std::pair<int, OSErr> cases[] = {
        {0, noErr}, {ENOENT, fnfErr}, {ENOTDIR, dirNFErr}, {EACCES, afpAccessDenied}, {EPERM, afpAccessDenied},
        {ENAMETOOLONG, bdNamErr}, {EEXIST, dupFNErr}, {ENOSPC, dskFulErr}, {EROFS, wPrErr}, {EIO, ioErr},
        {ENOMEM, memFullErr}, {EBUSY, EBUSY}};
    // clang-format on
    for (const auto& [error, code] : cases)
        EXPECT_EQ(plat::error_from_errno(error), code) << error;
}

TEST(PlatformFiles, PathsAndReferences)
{
    temp_folder folder;
    EXPECT_EQ(plat::absolute_path("/a/./b//c/../d"), "/a/b/d");
    EXPECT_EQ(plat::absolute_path("/.."), "/");
    char* cwd = getcwd(nullptr, 0);
    EXPECT_EQ(plat::absolute_path("x/y"), std::string(cwd) + "/x/y");
    free(cwd);

    touch(folder.root + "/file");
    FSRef ref;
    ASSERT_EQ(plat::make_ref(folder.root + "/./file", &ref), noErr);
    EXPECT_EQ(ref.path, folder.root + "/file");
    EXPECT_EQ(plat::make_ref(folder.root + "/missing", &ref), fnfErr);
    EXPECT_EQ(plat::make_ref(folder.root + "/file/below", &ref), dirNFErr);
    EXPECT_EQ(plat::make_ref("", &ref), fnfErr);

    ASSERT_EQ(plat::make_ref(folder.root + "/file", &ref), noErr);
    char small[8];
    EXPECT_EQ(plat::ref_make_path(ref, small, sizeof small), bdNamErr);
    char fits[4096];
    ASSERT_EQ(plat::ref_make_path(ref, fits, sizeof fits), noErr);
    EXPECT_EQ(std::string(fits), ref.path);

    plat::CatalogInfo info;
    ASSERT_EQ(plat::get_catalog_info(ref, &info), noErr);
    EXPECT_FALSE(info.is_folder);
    EXPECT_EQ(info.name, "file");
    EXPECT_EQ(info.parent.path, folder.root);
}

TEST(PlatformFiles, FoldersReadSortedByBytes)
{
    temp_folder folder;
    for (const char* name : {"b", "B", "a", "_z", "10", "9", "\xc3\xa9t\xc3\xa9"})
        touch(folder.root + "/" + name);
    std::filesystem::create_directory(folder.root + "/dir");
    ASSERT_EQ(symlink("dir", (folder.root + "/link").c_str()), 0);

    std::vector<plat::FolderEntry> entries;
    ASSERT_EQ(plat::read_folder(folder.root, &entries), 0);
    std::vector<std::string> names;
    for (const auto& entry : entries)
        names.push_back(entry.name);
    std::vector<std::string> expected = {"10", "9", "B", "_z", "a", "b", "dir", "link", "\xc3\xa9t\xc3\xa9"};
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(entries[6].is_folder);
    EXPECT_FALSE(entries[7].is_folder);
    EXPECT_TRUE(entries[7].is_link);

    EXPECT_EQ(plat::read_folder(folder.root + "/none", &entries), ENOENT);
    EXPECT_TRUE(entries.empty());
}

TEST(PlatformFiles, FreeSpaceOfTheNearestExistingFolder)
{
    temp_folder folder;
    struct statvfs info;
    ASSERT_EQ(statvfs(folder.root.c_str(), &info), 0);
    int64_t expected = static_cast<int64_t>(info.f_bavail) * static_cast<int64_t>(info.f_frsize);
    int64_t free_here = plat::free_space(folder.root);
    int64_t free_below = plat::free_space(folder.root + "/not/yet/made/");
    // Other programs write meanwhile: allow for some drift, not for a wrong formula.
    EXPECT_NEAR(static_cast<double>(free_here), static_cast<double>(expected), 64.0 * 1024 * 1024);
    EXPECT_NEAR(static_cast<double>(free_below), static_cast<double>(expected), 64.0 * 1024 * 1024);
    EXPECT_GT(free_here, 0);
}

TEST(PlatformSpawn, ProgramsAreFoundStartedAndTheirFailuresReported)
{
    std::string sh = plat::find_program("sh");
    ASSERT_FALSE(sh.empty());
    EXPECT_EQ(sh.front(), '/');
    EXPECT_EQ(plat::find_program("no-such-tool-anywhere"), "");
    EXPECT_EQ(plat::find_program("/bin/x"), "/bin/x");

    std::string output;
    EXPECT_EQ(plat::run_program("sh", {"sh", "-c", "printf '%s|' \"$@\"; exit 3", "sh", "a b", ""}, &output), 3);
    EXPECT_EQ(output, "a b||");

    pid_t pid = 0;
    EXPECT_EQ(plat::spawn("no-such-tool-anywhere", {"x"}, &pid), ENOENT);
    temp_folder folder;
    touch(folder.root + "/plain");
    EXPECT_EQ(plat::spawn(folder.root + "/plain", {"plain"}, &pid), EACCES);
    EXPECT_EQ(plat::spawn(folder.root, {"dir"}, &pid), EACCES);
    EXPECT_EQ(plat::run_program(folder.root + "/plain", {"plain"}, &output), -1);

    ASSERT_EQ(plat::spawn("true", {"true"}, &pid), 0);
    EXPECT_GT(pid, 0);
    EXPECT_EQ(plat::wait_child(pid), 0);
}

TEST(PlatformSpawn, ChildrenInheritNoStrayDescriptors)
{
    // A descriptor opened without close-on-exec must still not reach the child.
    int stray = dup2(open("/dev/null", O_RDONLY), 57);
    ASSERT_EQ(stray, 57);
    std::string listing;
    ASSERT_EQ(plat::run_program("ls", {"ls", "/proc/self/fd"}, &listing), 0);
    close(stray);
    EXPECT_EQ(("\n" + listing).find("\n57\n"), std::string::npos) << listing;
    // 0, 1, 2 and the folder ls itself reads.
    int lines = 0;
    for (char c : listing)
        lines += c == '\n';
    EXPECT_LE(lines, 4) << listing;
}
