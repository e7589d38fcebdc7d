#pragma once
// A private temporary folder for one test, removed with everything in it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class scratch_dir {
public:
    scratch_dir()
    {
        char name[] = "/tmp/veltrix-test-XXXXXX";
        if (mkdtemp(name) != nullptr)
            root = name;
    }
    ~scratch_dir()
    {
        std::error_code ignored;
        if (!root.empty())
            std::filesystem::remove_all(root, ignored);
    }
    scratch_dir(const scratch_dir&) = delete;
    scratch_dir& operator=(const scratch_dir&) = delete;

    // Absolute path of a name inside the folder.
    std::string operator/(const std::string& name) const { return root + "/" + name; }

    std::string root;
};

inline void write_bytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs a shell command line (test set-up only) and returns its standard output.
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
