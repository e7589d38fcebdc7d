// Helpers shared by the file benchmarks: a private temporary folder, quick
// generated file contents, timing, and running a peer tool with its peak memory.
#pragma once

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace bench {

inline double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A folder below TMPDIR (or /tmp), removed with its contents on destruction.
struct temp_folder {
    temp_folder(const char* tag)
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/veltrix-" + tag + "-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            path = pattern;
    }
    ~temp_folder()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

// Half-compressible bytes: runs of text-like repetition between random words,
// so deflate works about as hard as on real release files.
inline void fill_bytes(char* out, size_t length, uint64_t start)
{
    uint64_t state = start * 0x9E3779B97F4A7C15ull + 1;
    for (size_t i = 0; i < length;) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const size_t run = 8 + (state & 63);
        if (state & 0x100) {
            for (size_t k = 0; k < run && i < length; ++k, ++i)
                out[i] = char('a' + (k % 13));
        } else {
            uint64_t word = state;
            for (size_t k = 0; k < run && i < length; ++k, ++i) {
                out[i] = char(word);
                word = (word >> 8) | (word << 56);
            }
        }
    }
}

inline bool write_generated_file(const std::string& path, size_t length, uint64_t start)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    std::string block(1 << 20, '\0');
    for (size_t done = 0; done < length;) {
        const size_t piece = std::min(block.size(), length - done);
        fill_bytes(block.data(), piece, start + done);
        std::fwrite(block.data(), 1, piece, out);
        done += piece;
    }
    return std::fclose(out) == 0;
}

struct child_run {
    double seconds = 0;
    long peak_kb = 0;  // maximum resident set of the child
    int status = -1;
};

// Runs work() in a child process and reports its time and peak memory, so the
// figure is that of the work alone.
inline child_run run_in_child(const std::function<int()>& work)
{
    child_run run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0)
        _exit(work());
    struct rusage usage { };
    int status = 0;
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        run.seconds = seconds_since(start);
        run.peak_kb = usage.ru_maxrss;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

// Runs a shell command line (the peer tools) in a child.
inline child_run run_command(const std::string& command)
{
    return run_in_child([&] {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        return 127;
    });
}

// Runs this benchmark's own program again with the given arguments, so that our side is a whole
// process started from nothing, like the peer tool it is compared with.
inline child_run run_self(const std::vector<std::string>& args)
{
    return run_in_child([&] {
        std::vector<char*> argv{const_cast<char*>("self")};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        return 127;
    });
}

inline std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace bench
