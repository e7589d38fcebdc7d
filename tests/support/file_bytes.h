#pragma once
// Whole files read and written as bytes, test data that shows a misplaced block, and the output of the
// command-line tools the tests cross-check with.

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test {

inline void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The whole file; empty when it cannot be read.
inline std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline std::vector<uint8_t> read_file_bytes(const std::string& path)
{
    const std::string bytes = read_file(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// True for anything at the path, a dangling link included.
inline bool path_exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// Bytes that vary with position, so a misplaced block shows in a digest.
inline std::string patterned_bytes(size_t length, unsigned start = 1)
{
    std::string bytes(length, '\0');
    unsigned value = start;
    for (size_t i = 0; i < length; ++i) {
        value = value * 1103515245u + 12345u;
        bytes[i] = char(value >> 16);
    }
    return bytes;
}

// Runs a shell command line (test set-up and cross-checks only) and returns its standard output.
inline std::string command_output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got;
        while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
            out.append(buffer, got);
        pclose(pipe);
    }
    return out;
}

}  // namespace test
