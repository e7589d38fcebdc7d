#include "platform/spawn.h"

#include "platform/owners.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace plat {
namespace {

bool is_executable_file(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Reads what report_exec_failure wrote, then closes the pipe: 0 when the
// program started (end of file once its exec closed the pipe), else the errno
// of the failed start.
int read_exec_result(descriptor pipe)
{
    int error = 0;
    ssize_t got;
    do {
        got = read(pipe.get(), &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    pipe.reset();
    if (got != static_cast<ssize_t>(sizeof error))
        return 0;
    return error != 0 ? error : ENOEXEC;
}

// Writes the whole errno to the pipe; only async-signal-safe calls.
void report_exec_failure(int fd, int error)
{
    const char* bytes = reinterpret_cast<const char*>(&error);
    size_t done = 0;
    while (done < sizeof error) {
        ssize_t wrote = write(fd, bytes + done, sizeof error - done);
        if (wrote <= 0 && errno != EINTR)
            return;
        if (wrote > 0)
            done += static_cast<size_t>(wrote);
    }
}

}  // namespace

std::string find_program(const std::string& program)
{
    if (program.empty())
        return "";
    if (program.find('/') != std::string::npos)
        return program;
    const char* path = getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t colon = folders.find(':', start);
        if (colon == std::string::npos)
            colon = folders.size();
        // An empty PATH entry means the current folder.
        std::string folder = colon > start ? folders.substr(start, colon - start) : std::string(".");
        std::string candidate = folder + "/" + program;
        if (is_executable_file(candidate))
            return candidate;
        start = colon + 1;
    }
    return "";
}

// The argument vector execv takes, built before fork so the child only execs:
// the program itself stands as argv[0] when the caller gives no arguments.
static std::vector<char*> exec_arguments(const std::vector<std::string>& argv, const std::string& resolved)
{
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    if (arguments.empty())
        arguments.push_back(const_cast<char*>(resolved.c_str()));
    arguments.push_back(nullptr);
    return arguments;
}

int spawn(const std::string& program, const std::vector<std::string>& argv, pid_t* pid, const SpawnFiles& files)
{
    std::string resolved = find_program(program);
    if (resolved.empty())
        return ENOENT;

    std::vector<char*> arguments = exec_arguments(argv, resolved);

    int result_pipe[2];
    if (pipe2(result_pipe, O_CLOEXEC) != 0)
        return errno;
    descriptor result_read(result_pipe[0]), result_write(result_pipe[1]);

    pid_t child = fork();
    if (child < 0)
        return errno;
    if (child == 0) {
        if (files.input >= 0)
            dup2(files.input, 0);
        if (files.output >= 0)
            dup2(files.output, 1);
        if (files.error >= 0)
            dup2(files.error, 2);
        // Nothing else the parent holds may leak into the new program; the
        // result pipe is already close-on-exec and so is everything above 2.
        syscall(SYS_close_range, 3U, ~0U, CLOSE_RANGE_CLOEXEC);
        execv(resolved.c_str(), arguments.data());
        int error = errno;
        report_exec_failure(result_write.get(), error);
        _exit(error);
    }

    // Our copy of the writing end goes, so that the read sees the end once the child's exec closes its own.
    result_write.reset();
    if (int error = read_exec_result(std::move(result_read)); error != 0) {
        // The exec failed: the child is about to leave, collect it. Its status adds nothing to
        // the errno it reported.
        (void)wait_child(child);
        return error;
    }
    if (pid)
        *pid = child;
    return 0;
}

int spawn_detached(const std::string& program, const std::vector<std::string>& argv)
{
    std::string resolved = find_program(program);
    if (resolved.empty())
        return ENOENT;

    std::vector<char*> arguments = exec_arguments(argv, resolved);

    descriptor null_file(open("/dev/null", O_RDWR | O_CLOEXEC));
    if (!null_file)
        return errno;
    int result_pipe[2];
    if (pipe2(result_pipe, O_CLOEXEC) != 0)
        return errno;
    descriptor result_read(result_pipe[0]), result_write(result_pipe[1]);

    pid_t middle = fork();
    if (middle < 0)
        return errno;
    if (middle == 0) {
        pid_t program_pid = fork();
        if (program_pid < 0)
            report_exec_failure(result_write.get(), errno);
        if (program_pid != 0)
            _exit(0);
        // A session of its own: a terminal hang-up or a signal to our group leaves it alone.
        setsid();
        dup2(null_file.get(), 0);
        dup2(null_file.get(), 1);
        dup2(null_file.get(), 2);
        syscall(SYS_close_range, 3U, ~0U, CLOSE_RANGE_CLOEXEC);
        execv(resolved.c_str(), arguments.data());
        report_exec_failure(result_write.get(), errno);
        _exit(127);
    }

    null_file.reset();
    result_write.reset();
    // End of file once the middle child has left and the program's exec closed its copy.
    const int error = read_exec_result(std::move(result_read));
    (void)wait_child(middle);  // only collected: the middle child forks and leaves, its status says nothing
    return error;
}

int wait_child(pid_t pid)
{
    int status;
    pid_t got;
    do {
        got = waitpid(pid, &status, 0);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

int run_program(const std::string& program, const std::vector<std::string>& argv, std::string* output)
{
    int out_pipe[2];
    if (pipe2(out_pipe, O_CLOEXEC) != 0)
        return -1;
    descriptor out_read(out_pipe[0]), out_write(out_pipe[1]);
    SpawnFiles files;
    files.output = out_write.get();
    pid_t child = 0;
    int error = spawn(program, argv, &child, files);
    // Only the child writes: its end of file comes once it and its own children are gone.
    out_write.reset();
    if (error != 0)
        return -1;
    char buffer[4096];
    for (;;) {
        ssize_t got = read(out_read.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (output)
            output->append(buffer, static_cast<size_t>(got));
    }
    out_read.reset();
    return wait_child(child);
}

}  // namespace plat
