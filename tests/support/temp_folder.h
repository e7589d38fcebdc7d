#pragma once
// A private temporary folder for one test (under TMPDIR, else /tmp), removed with everything in it.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace test {

// Where a test's temporary files go: TMPDIR, else /tmp.
inline std::string temp_base()
{
    const char* base = std::getenv("TMPDIR");
    return base && *base ? base : "/tmp";
}

class temp_folder {
public:
    temp_folder()
    {
        std::string pattern = temp_base() + "/veltrix-test-XXXXXX";
        // Without its folder a test would write wherever it stands; stop it instead.
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder under " + pattern);
        root = pattern;
    }
    ~temp_folder()
    {
        std::error_code ignored;
        // A test may have taken the permissions away to provoke a failure; take them back to clean up.
        std::filesystem::permissions(root, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(root, ignored);
    }
    temp_folder(const temp_folder&) = delete;
    temp_folder& operator=(const temp_folder&) = delete;

    // Absolute path of a name inside the folder.
    std::string operator/(const std::string& name) const { return root + "/" + name; }

    std::string root;
};

// A private temporary folder that is the current folder while this lives, for code that writes and
// reads names relative to the program's folder.
class working_folder : public temp_folder {
public:
    working_folder() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(root); }
    ~working_folder()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }

private:
    std::filesystem::path previous_;
};

}  // namespace test
