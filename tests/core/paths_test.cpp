// Path strings and file operations on real folders.

#include "core/paths.h"

#include "file_test_support.h"
#include "platform/single_run.h"
#include "support/core_hook.h"
#include "support/log_capture.h"
#include "support/wait_until.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <tuple>

namespace {

std::string normalised(std::string path)
{
    set_dir_chars(path);
    return path;
}

// A program that writes its argv, one per line, into `record`.
void write_recorder(const std::string& path, const std::string& record)
{
    write_file(path,
               "#!/bin/sh\n{ printf '%s\\n' \"$0\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + record +
                   ".part'\nmv '" + record + ".part' '" + record + "'\n");
    chmod(path.c_str(), 0755);
}

}  // namespace

using PathStrings = FileTest;

TEST_F(PathStrings, SeparatorsBecomeSlashesExceptTheSecondCharacterUpTo499Characters)
{
    // clang-format off
    const std::pair<std::string, std::string> paths[] = {
        {"ab\\c:d/e", "ab/c/d/e"}, {"a\\b:c", "a\\b/c"}, {"::x", "/:x"}, {":", "/"}, {"C:\\x", "C:/x"},
        {":a:b:", "/a/b/"}, {"a:b", "a:b"}, {"", ""}, {std::string(499, 'x'), std::string(499, 'x')}};
    // clang-format on
    for (const auto& [path, normal] : paths)
        EXPECT_EQ(normalised(path), normal) << path;
    EXPECT_TRUE(alert_recorder::alerts().empty());

    const std::string too_long(500, 'y');
    EXPECT_EQ(summary(test::expect_fatal([&] { normalised(too_long); })),
              "String too long!|" + too_long + "|||2|DEzovuv/GenH/hl_string:132");
    // The prefix counts: each part fits, the whole does not.
    app_path = std::string(300, 'p');
    EXPECT_EQ(test::expect_fatal([] { is_sim_link(std::string(300, 'q').c_str(), nullptr); }).l2,
              std::string(300, 'p') + std::string(300, 'q'));
    // Neither returns: the alert throws.
    EXPECT_THROW((void)delete_file(std::string(250, 'r')), fatal_alert);
    EXPECT_THROW((void)make_file_executable(std::string(200, 's').c_str()), fatal_alert);
}

// The one rule for names from a listing or an archive; the readers' own tests show they apply it.
TEST(RelativePaths, NamesThatLeaveTheirFolderOrHoldControlBytesAreRefused)
{
    for (const std::string path : {"All/Resources/file.txt", "..hidden/a..b/...", "a/./b", "x", "high\x80\xff"})
        EXPECT_TRUE(relative_path_is_safe(path)) << path;
    const std::string nul_inside("nul\0../x", 8);
    for (const std::string path : {"", "/etc/passwd", ":abs", "\\abs", "..", "../x", "a/..", "a/../b", "a:..:b",
                                   "a\\..\\b", "bell\x07", "line\nbreak", "tab\there", "cr\r", "del\x7f"})
        EXPECT_FALSE(relative_path_is_safe(path)) << path;
    EXPECT_FALSE(relative_path_is_safe(nul_inside));
}

TEST(RelativePaths, EnclosingFoldersRunDeepestFirstAndStopShortOfTheRoot)
{
    // clang-format off
    const std::pair<const char*, std::vector<std::string>> paths[] = {
        {"a/b/c", {"a/b/", "a/"}}, {"/home/x/f", {"/home/x/", "/home/"}}, {"a/b/", {"a/b/", "a/"}},
        {"a//b", {"a//", "a/"}}, {"/f", {}}, {"f", {}}, {"", {}}};
    // clang-format on
    for (const auto& [path, folders] : paths)
        EXPECT_EQ(enclosing_folders(path), folders) << path;
}

TEST_F(PathStrings, BoundedCopyCutsToTheFieldAndRefusesFiveHundredCharacters)
{
    // clang-format off
    const std::tuple<size_t, std::string, std::string> rows[] = {
        {40, "", ""}, {5, "ABCDEFG", "ABCD"}, {1, "abc", ""}, {40, std::string(499, 'x'), std::string(39, 'x')},
        {600, std::string(499, 'x'), std::string(499, 'x')}};
    // clang-format on
    for (const auto& [size, source, expected] : rows) {
        std::vector<char> field(size + 1, '#');
        copy_bounded_str(field.data(), size, source.c_str());
        EXPECT_STREQ(field.data(), expected.c_str()) << size << " " << source.size();
        EXPECT_EQ(field[size], '#') << "wrote past the field";
    }
    EXPECT_TRUE(alert_recorder::alerts().empty());

    // 500 bytes with no NUL: the copy reads none beyond them, and refuses them as the path helpers do.
    std::vector<char> unterminated(500, 'z');
    char field[40];
    EXPECT_EQ(test::expect_fatal([&] { copy_bounded_str(field, sizeof field, unterminated.data()); }).l2,
              std::string(500, 'z'));
}

TEST_F(PathStrings, CaseIsCorrectedAgainstTheDiskOnlyWhereNeeded)
{
    make({"Resources/foo.txt", "data/x", "Data/"});

    // Off: paths are used as written.
    EXPECT_EQ(normalised("resources:FOO.txt"), "resources/FOO.txt");

    // On: each folder that exists is corrected, absolute paths from the root down. Of names that
    // differ only in case, the exact one is never rewritten, and otherwise the first in byte order wins.
    g_case_sensitive = 1;
    // clang-format off
    const std::pair<std::string, std::string> paths[] = {
        {"resources:FOO.txt", "Resources/foo.txt"}, {"RESOURCES:missing.txt", "Resources/missing.txt"},
        {"nowhere:foo.txt", "nowhere/foo.txt"}, {root + "/RESOURCES/Foo.TXT", root + "/Resources/foo.txt"},
        {"data:x", "data/x"}, {"DATA:x", "Data/x"}};
    // clang-format on
    for (const auto& [path, corrected] : paths)
        EXPECT_EQ(normalised(path), corrected) << path;
    EXPECT_EQ(file_exists("RESOURCES:FOO.TXT"), 1);
    char buffer[] = "dAtA/x";
    findPath(buffer);
    EXPECT_STREQ(buffer, "Data/x");
}

TEST_F(PathStrings, CaseCorrectionSeesEveryChangeOfAFolder)
{
    g_case_sensitive = 1;
    make({"Old/", "Elsewhere/"});
    ASSERT_EQ(symlink("Old", at("Link").c_str()), 0);
    // Each step changes the folder ("+" adds a file, "-" removes it, ">" renames it in from Elsewhere,
    // "<" renames it away, "~" dates the folder a minute back, as an installed one is, "!" replaces the
    // folder by a new one holding that file) and at once corrects a path in it.
    std::tuple<const char*, const char*, const char*> steps[] = {
        {"+b.txt", "old:B.TXT", "Old/b.txt"}, {"~", "old:B.TXT", "Old/b.txt"},
        {"+B.txt", "old:b.TXT", "Old/B.txt"}, {"~", "old:b.TXT", "Old/B.txt"},
        {"-B.txt", "old:b.TXT", "Old/b.txt"}, {">A.txt", "old:a.txt", "Old/A.txt"},
        {"<b.txt", "old:B.TXT", "Old/B.TXT"}, {"+c.txt", "LINK:C.TXT", "Link/c.txt"},
        {"!C.txt", "old:c.txt", "Old/C.txt"}, {"+d.txt", "old:D.TXT", "Old/d.txt"},
    };
    for (const auto& [change, asked, found] : steps) {
        const std::string file = at("Old/") + (change + 1);
        const std::string away = at("Elsewhere/") + (change + 1);
        const struct timespec minute_ago[2] = {{time(nullptr) - 60, 0}, {time(nullptr) - 60, 0}};
        if (change[0] == '+') {
            write_file(file, "");
        } else if (change[0] == '-') {
            ASSERT_EQ(unlink(file.c_str()), 0);
        } else if (change[0] == '>') {
            write_file(away, "");
            ASSERT_EQ(rename(away.c_str(), file.c_str()), 0);
        } else if (change[0] == '<') {
            ASSERT_EQ(rename(file.c_str(), away.c_str()), 0);
        } else if (change[0] == '!') {
            std::filesystem::remove_all(at("Old"));
            make({"Old/" + std::string(change + 1)});
        } else {
            ASSERT_EQ(utimensat(AT_FDCWD, at("Old").c_str(), minute_ago, 0), 0);
        }
        EXPECT_EQ(normalised(asked), found) << "after " << change;
    }
}

using FileOperations = FileTest;

TEST_F(FileOperations, FoldersAreMadeAndExistingOnesAreNoError)
{
    // The second character is never a separator: "a:b:" would name the
    // folder "a:b", so the folders here have longer names.
    EXPECT_EQ(make_folder("ab:"), 0);
    EXPECT_EQ(make_folder("ab:cd:"), 0);
    EXPECT_EQ(mode_of(at("ab/cd")) & ~0022u, 0755u & ~0022u);
    EXPECT_EQ(make_folder("a:b:"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(at("a:b")));

    int again = make_folder("ab:cd:");
    EXPECT_EQ(again, EEXIST);
    // Only a real failure to make a folder is shown; deletion failures never are.
    EXPECT_EQ(std::vector<int>({show_make_dir_err(again), show_make_dir_err(0), show_make_dir_err(-48),
                                show_make_dir_err(EACCES), show_del_err(EACCES)}),
              std::vector<int>({0, 0, 0, 1, 0}));

    sErrFile = "";
    sErrLine = -1;
    EXPECT_EQ(make_folder("missing:deep:"), ENOENT);
    EXPECT_STREQ(sErrFile, "DEzovuv/Files/io_utils");
    EXPECT_GT(sErrLine, 0);
}

TEST_F(FileOperations, DeleteAndRenameTakeTheForkSidecarAlongAndLeaveFullFolders)
{
    make({"xy/", "full/f.txt", "base/inner/g", "dir/a.txt", "dir/._a.txt", "box/", "._box"});
    // clang-format off
    const std::pair<const char*, int> deletions[] = {
        {"", ENOENT}, {"xy:", 0}, {"full:", ENOTEMPTY}, {"full:f.txt", 0}, {"full:f.txt", ENOENT}, {"full/", 0}};
    // clang-format on
    for (const auto& [name, error] : deletions)
        EXPECT_EQ(delete_file(name), error) << name;
    EXPECT_FALSE(path_exists(at("xy")) || path_exists(at("full")));

    write_file(at("dir/a.txt"), "data");
    EXPECT_EQ(rename_file("dir:", "a.txt", "b.txt"), 0);
    EXPECT_EQ(read_file(at("dir/b.txt")), "data");
    EXPECT_TRUE(path_exists(at("dir/._b.txt")) && !path_exists(at("dir/._a.txt")));
    EXPECT_EQ(rename_file("dir:", "nothing", "else"), ENOENT);
    EXPECT_EQ(delete_file("dir:b.txt"), 0);
    EXPECT_FALSE(path_exists(at("dir/._b.txt")));
    EXPECT_EQ(delete_file("dir:"), 0);  // nothing hidden keeps it from going
    // A folder's own sidecar goes with the folder.
    EXPECT_EQ(delete_file("box:"), 0);
    EXPECT_FALSE(path_exists(at("._box")));

    // The prefix is put in front.
    app_path = root + "/base/";
    EXPECT_EQ(delete_file("inner:g"), 0);
    EXPECT_FALSE(path_exists(at("base/inner/g")));
}

TEST_F(FileOperations, ExistenceAndLinksAreReadWithoutFollowingThem)
{
    make({"folder/", "file", "A/", "sub/"});
    ASSERT_EQ(symlink("folder", at("link").c_str()), 0);
    ASSERT_EQ(mkfifo(at("pipe").c_str(), 0600), 0);
    const std::pair<const char*, int> folders[] = {
        {"folder", 1}, {"folder:", 1}, {"link:", 1}, {"file", 0}, {"none:", 0}};
    for (const auto& [name, exists] : folders)
        EXPECT_EQ(dir_exists(name), exists) << name;
    // A FIFO answers at once instead of waiting for a writer.
    const std::pair<const char*, int> files[] = {{"file", 1}, {"none", 0}, {"pipe", 1}};
    for (const auto& [name, exists] : files)
        EXPECT_EQ(file_exists(name), exists) << name;

    // Dangling links and long targets are links too; a plain file or nothing leaves the text alone.
    const std::string long_target(600, 'z');
    ASSERT_EQ(symlink("A", at("Current").c_str()), 0);
    ASSERT_EQ(symlink(long_target.c_str(), at("long").c_str()), 0);
    ASSERT_EQ(symlink("../A", at("sub/up").c_str()), 0);
    // clang-format off
    const std::tuple<const char*, int, std::string> links[] = {
        {"file", 0, "kept"}, {"absent", 0, "kept"}, {"Current", 1, "A"}, {"long", 1, long_target}, {"sub:up", 1, "../A"}};
    // clang-format on
    for (const auto& [name, is_link, text] : links) {
        std::string target = "kept";
        EXPECT_EQ(is_sim_link(name, &target), is_link) << name;
        EXPECT_EQ(target, text) << name;
    }
    EXPECT_EQ(is_sim_link("Current", nullptr), 1);
}

TEST_F(FileOperations, MakeFileExecutable)
{
    write_file(at("tool"), "#!/bin/sh\n");
    for (const char* name : {"tool", "TOOL"}) {
        g_case_sensitive = name[0] == 'T';
        chmod(at("tool").c_str(), 0600);
        EXPECT_EQ(make_file_executable(name), 0) << name;
        EXPECT_EQ(mode_of(at("tool")), 0755u) << name;
    }
    EXPECT_EQ(make_file_executable("no-tool"), ENOENT);
}

using SpecialFolders = FileTest;

TEST_F(SpecialFolders, EachKindIsAnAbsoluteFolderEndingInSlashAndFailuresLeaveTheOutputAlone)
{
    const std::string home = root + "/home";
    const auto folder_of = [](int kind) {
        std::string out = "unchanged";
        get_OS_abs_path(kind, out);
        return out;
    };
    EXPECT_TRUE(std::filesystem::exists(folder_of(OS_FOLDER_APPLICATION) + "core_paths"));
    EXPECT_EQ(folder_of(9), "unchanged");
    EXPECT_EQ(folder_of(-1), "unchanged");

    EXPECT_EQ(folder_of(OS_FOLDER_DESKTOP), home + "/Desktop/");
    EXPECT_TRUE(std::filesystem::is_directory(home + "/Desktop"));
    make({"home/.config/"});
    write_file(home + "/.config/user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    EXPECT_EQ(folder_of(OS_FOLDER_DESKTOP), home + "/Bureau/");
    EXPECT_EQ(folder_of(OS_FOLDER_APPLICATIONS), home + "/");

    // The preferences folder is made private; a relative XDG value does not count.
    EXPECT_EQ(folder_of(OS_FOLDER_PREFERENCES), home + "/.config/");
    setenv("XDG_CONFIG_HOME", (root + "/conf/deeper").c_str(), 1);
    EXPECT_EQ(folder_of(OS_FOLDER_PREFERENCES), root + "/conf/deeper/");
    EXPECT_EQ(mode_of(root + "/conf/deeper"), 0700u);
    setenv("XDG_CONFIG_HOME", "relative/conf", 1);
    EXPECT_EQ(folder_of(OS_FOLDER_PREFERENCES), home + "/.config/");
    write_file(at("blocker"), "a file where a folder should be");
    setenv("XDG_CONFIG_HOME", (root + "/blocker/conf").c_str(), 1);
    EXPECT_EQ(folder_of(OS_FOLDER_PREFERENCES), "unchanged");
}

TEST_F(SpecialFolders, TemporaryFolderIsPrivate)
{
    const std::string tmp = root + "/tmp", cache = root + "/home/.cache/veltrix-installer";
    const std::string fixed = tmp + "/veltrix-installer-" + std::to_string(getuid());
    // A real folder of ours, closed to everyone else.
    const auto private_folder = [] {
        std::string out;
        get_OS_abs_path(OS_FOLDER_TEMPORARY, out);
        struct stat info;
        EXPECT_TRUE(out.ends_with('/') && lstat(out.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
                    info.st_uid == getuid() && (info.st_mode & 0777) == 0700)
            << out;
        return out;
    };
    EXPECT_EQ(private_folder(), cache + "/");

    // A link planted at the cache location is refused.
    std::filesystem::remove_all(cache);
    make({"elsewhere/"});
    ASSERT_EQ(symlink(at("elsewhere").c_str(), cache.c_str()), 0);
    EXPECT_EQ(private_folder(), fixed + "/");

    // So is a folder open to others, at both places: then a fresh one.
    std::filesystem::remove_all(fixed);
    make({"tmp/veltrix-installer-" + std::to_string(getuid()) + "/"});
    chmod(fixed.c_str(), 0777);
    const std::string fresh = private_folder();
    EXPECT_EQ(fresh.compare(0, (tmp + "/veltrix-installer-").size(), tmp + "/veltrix-installer-"), 0);
    EXPECT_NE(fresh, fixed + "/");

    // XDG_CACHE_HOME moves the first choice.
    setenv("XDG_CACHE_HOME", (root + "/cache").c_str(), 1);
    EXPECT_EQ(private_folder(), root + "/cache/veltrix-installer/");
}

using LaunchApp = FileTest;

TEST_F(LaunchApp, AStartedProgramGetsPathArgumentAndWeExitWithStatusOneElseWeGoOn)
{
    // A program that cannot start is reported, and we go on.
    test::log_capture log;
    EXPECT_EQ(launch_app("no-such-program", "dest"), ENOENT);
    EXPECT_EQ(log.text(), "Launching: no-such-program with dest\n");
    write_file(at("not-executable"), "#!/bin/sh\n");
    EXPECT_EQ(launch_app("not-executable", ""), EACCES);

    // With the prefix the program's path is absolute, which is also what a script sees as its own
    // name; an application folder runs the program inside.
    app_path = root + "/";
    make({"Tool.app/Contents/MacOS/", "Empty.app/"});
    const std::tuple<const char*, const char*, const char*> launches[] = {
        {"recorder", "/some/folder", "recorder\n-path\n/some/folder\n"},
        {"recorder2", "", "recorder2\n"},
        {"Tool.app:", "x", "Tool.app/Contents/MacOS/Tool\n-path\nx\n"},
    };
    for (const auto& [program, argument, recorded] : launches) {
        const std::string record = at(std::string(program) + ".txt");
        write_recorder(std::string(program).ends_with(".app:") ? at("Tool.app/Contents/MacOS/Tool") : at(program),
                       record);
        EXPECT_EXIT((void)launch_app(program, argument), ::testing::ExitedWithCode(1), "");  // it never returns
        // The record appears whole, renamed into place.
        EXPECT_TRUE(test::wait_until([&] { return path_exists(record); })) << record << " never appeared";
        EXPECT_EQ(read_file(record), root + "/" + recorded);
    }
    // Without the inner program the folder itself is what fails to start.
    EXPECT_EQ(launch_app("Empty.app", ""), EACCES);
}

// Where the program launched below leaves its record; the finish-up hook waits for it.
static std::string launched_record;

TEST_F(LaunchApp, TheStartedProgramFindsTheSingleRunLockFree)
{
    // A newer installer takes the lock as it starts, while we are still finishing up: the finish-up
    // here lasts until the started program has looked.
    app_path = root + "/";
    launched_record = at("lock.txt");
    write_file(at("taker"),
               "#!/bin/sh\nflock -n '" + at(plat::single_run_lock_name) + "' true && echo free > '" + launched_record +
                   ".part' || echo held > '" + launched_record + ".part'\nmv '" + launched_record + ".part' '" +
                   launched_record + "'\n");
    chmod(at("taker").c_str(), 0755);
    const auto launch = [this] {
        if (plat::take_single_run_lock(root + "/") != 0)
            _exit(2);
        test::set_core_hook(&core_hooks::finishup,
                            [](int) { (void)test::wait_until([] { return path_exists(launched_record); }); });
        (void)launch_app("taker", "");
    };
    EXPECT_EXIT(launch(), ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_file(launched_record), "free\n");

    // When nothing starts, the lock is ours again.
    ASSERT_EQ(plat::take_single_run_lock(root + "/"), 0);
    EXPECT_EQ(launch_app("no-such-program", ""), ENOENT);
    EXPECT_NE(std::system(("flock -n '" + at(plat::single_run_lock_name) + "' true").c_str()), 0);
    EXPECT_EQ(plat::let_go_single_run_lock(), root + "/");
}
