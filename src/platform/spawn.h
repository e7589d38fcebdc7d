#pragma once
// Starting other programs: fork + execv, never through a shell.
//
// Everything the child needs is prepared before fork; the child calls only
// dup2, close_range, execv and _exit. Whether execv succeeded travels back
// through a close-on-exec pipe, so the caller learns "could not start" as an
// errno instead of a child that silently exits.

#include <sys/types.h>

#include <string>
#include <vector>

namespace plat {

// Descriptors the child gets as its standard input, output and error;
// -1 keeps the parent's.
struct SpawnFiles {
    int input = -1;
    int output = -1;
    int error = -1;
};

// The full path of `program`: itself when it holds a '/', else the first
// executable match on PATH; "" when none.
std::string find_program(const std::string& program);

// Starts `program` (resolved by find_program) with `argv` (argv[0]
// included). Returns 0 with *pid set once the new program runs, or the errno
// of the step that failed (ENOENT for a program that cannot be found); a
// child that could not exec has already been reaped.
[[nodiscard]] int spawn(const std::string& program, const std::vector<std::string>& argv, pid_t* pid,
                        const SpawnFiles& files = {});

// Starts `program` so that it outlives the call and is never this process's
// child: a middle child forks the program's process and ends at once, and is
// reaped here, so no zombie is left and the call does not wait for the
// program. The program runs in a session of its own with standard input,
// output and error on /dev/null. Returns 0 once the program runs, or the
// errno that kept it from starting.
[[nodiscard]] int spawn_detached(const std::string& program, const std::vector<std::string>& argv);

// Waits for a child; returns its exit status, 128 + signal when killed, or
// -1 when it cannot be waited for.
[[nodiscard]] int wait_child(pid_t pid);

// Runs a program to its end, collecting its standard output into *output
// (when not null). Returns the exit status, or -1 when it could not start.
[[nodiscard]] int run_program(const std::string& program, const std::vector<std::string>& argv, std::string* output);

}  // namespace plat
