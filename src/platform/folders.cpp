// The user's standard folders on Linux (XDG) and the private temporary folder.

#include "platform/files.h"

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <vector>

namespace plat {
namespace {

constexpr const char* program_folder_name = "veltrix-installer";

std::string absolute_env(const char* name)
{
    const char* value = getenv(name);
    if (value == nullptr || value[0] != '/')
        return "";
    return value;
}

std::string with_slash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

// mkdir -p: every missing component is created with `mode`.
bool make_folders(const std::string& path, mode_t mode)
{
    if (path.empty() || path[0] != '/')
        return false;
    size_t at = 1;
    while (at <= path.size()) {
        size_t slash = path.find('/', at);
        if (slash == std::string::npos)
            slash = path.size();
        std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && mkdir(prefix.c_str(), mode) != 0 && errno != EEXIST)
            return false;
        at = slash + 1;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string config_home()
{
    std::string config = absolute_env("XDG_CONFIG_HOME");
    if (config.empty()) {
        std::string home = home_folder();
        if (home.empty())
            return "";
        config = with_slash(home) + ".config";
    }
    return config;
}

// XDG_DESKTOP_DIR="$HOME/Desktop" in user-dirs.dirs; "" when absent.
std::string desktop_from_user_dirs()
{
    std::string config = config_home();
    if (config.empty())
        return "";
    std::ifstream file(with_slash(config) + "user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DESKTOP_DIR=";
    while (std::getline(file, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
            continue;
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home_folder() + value.substr(5);
        if (!value.empty() && value[0] == '/')
            return value;
    }
    return "";
}

// Accepts a folder for private files only when it is a real folder (not a
// link), owned by us, and closed to everyone else.
bool is_private_folder(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

std::string temp_base()
{
    std::string base = absolute_env("TMPDIR");
    return base.empty() ? "/tmp" : base;
}

}  // namespace

std::string home_folder()
{
    std::string home = absolute_env("HOME");
    if (!home.empty())
        return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry;
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return "";
    if (found->pw_dir == nullptr || found->pw_dir[0] != '/')
        return "";
    return found->pw_dir;
}

std::string private_temp_folder()
{
    std::vector<std::string> candidates;
    std::string cache = absolute_env("XDG_CACHE_HOME");
    if (cache.empty()) {
        std::string home = home_folder();
        if (!home.empty())
            cache = with_slash(home) + ".cache";
    }
    if (!cache.empty())
        candidates.push_back(with_slash(cache) + program_folder_name);
    candidates.push_back(with_slash(temp_base()) + program_folder_name + "-" + std::to_string(getuid()));

    for (const std::string& candidate : candidates) {
        make_folders(candidate, 0700);
        if (is_private_folder(candidate))
            return candidate + "/";
    }

    // Both places are taken or unsafe: a fresh folder nobody else can know.
    for (const std::string& base : {with_slash(temp_base()), std::string("/tmp/")}) {
        std::string pattern = base + program_folder_name + "-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            return pattern + "/";
    }
    return "";
}

bool special_folder(int kind, std::string* out)
{
    std::string folder;
    mode_t mode = 0755;
    switch (kind) {
        case 1:
            folder = desktop_from_user_dirs();
            if (folder.empty()) {
                std::string home = home_folder();
                if (home.empty())
                    return false;
                folder = with_slash(home) + "Desktop";
            }
            break;
        case 2:
            folder = home_folder();
            break;
        case 3:
            folder = private_temp_folder();
            if (folder.empty())
                return false;
            *out = folder;
            return true;
        case 4:
            folder = config_home();
            mode = 0700;
            break;
        default:
            return false;
    }
    if (folder.empty() || !make_folders(folder, mode))
        return false;
    *out = with_slash(folder);
    return true;
}

}  // namespace plat
