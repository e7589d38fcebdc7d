// Part files that other runs left in a folder, or are still writing there: the writers are real
// processes, running or ended.

#include "platform/part_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "support/temp_folder.h"

using test::temp_folder;

namespace {

// A process of ours that runs until this ends.
class running_process {
public:
    running_process() : pid_(fork())
    {
        if (pid_ < 0)
            throw std::runtime_error("cannot fork");
        if (pid_ == 0)
            for (;;)
                pause();
    }
    ~running_process()
    {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    running_process(const running_process&) = delete;
    running_process& operator=(const running_process&) = delete;

    pid_t pid() const { return pid_; }

private:
    pid_t pid_;
};

// The pid of a process that ran and was reaped.
pid_t ended_pid()
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

std::string part_name(pid_t writer)
{
    return plat::part_file_prefix + std::to_string(writer) + "-0";
}

bool exists(const std::string& path)
{
    struct stat facts;
    return lstat(path.c_str(), &facts) == 0;
}

}  // namespace

TEST(PartFiles, ASweepLeavesTheFilesOfRunningWritersAndRemovesTheRest)
{
    temp_folder folder;
    running_process writer;
    // clang-format off
    const struct { const char* writer; std::string name; bool kept; } cases[] = {
        {"this process",                  part_name(getpid()),     true},
        {"another running process",       part_name(writer.pid()), true},
        {"a process that ended",          part_name(ended_pid()),  false},
        {"a pid past any process",        part_name(999999999),    false},
        {"no pid at all",                 std::string(plat::part_file_prefix) + "x-0", false},
    };
    // clang-format on
    int ended = 0;
    for (const auto& c : cases) {
        std::ofstream(folder / c.name) << "half written";
        ended += !c.kept;
    }
    EXPECT_EQ(plat::remove_leftover_part_files(folder.root + "/"), ended);
    for (const auto& c : cases)
        EXPECT_EQ(exists(folder / c.name), c.kept) << c.writer;
}

TEST(PartFiles, TheFileOfAnotherUsersRunningProcessStays)
{
    // The sweep runs as a user who may not signal the writer: kill() answers EPERM then.
    temp_folder folder;
    chmod(folder.root.c_str(), 0777);
    pid_t foreign = 1;
    if (getuid() == 0) {
        foreign = getpid();  // the sweeping child gives up root; this process keeps it
    } else {
        struct stat facts;
        if (stat("/proc/1", &facts) != 0 || facts.st_uid == getuid())
            GTEST_SKIP() << "no process of another user to write the file";
    }
    const std::string running = part_name(foreign), ended = part_name(ended_pid());
    std::ofstream(folder / running) << "being written";
    std::ofstream(folder / ended) << "left behind";
    const pid_t sweeper = fork();
    if (sweeper == 0) {
        constexpr uid_t nobody = 65534;
        if (getuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0))
            _exit(100);
        if (access(folder.root.c_str(), W_OK | X_OK) != 0)
            _exit(101);
        _exit(plat::remove_leftover_part_files(folder.root + "/"));
    }
    int status = 0;
    ASSERT_EQ(waitpid(sweeper, &status, 0), sweeper);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 101)
        GTEST_SKIP() << "the other user cannot reach " << folder.root;
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_TRUE(exists(folder / running));
    EXPECT_FALSE(exists(folder / ended));
}
