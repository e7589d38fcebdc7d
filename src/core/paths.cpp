#include "core/paths.h"

#include "core/alert.h"
#include "core/globals.h"
#include "platform/files.h"
#include "platform/forks.h"
#include "platform/spawn.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

const char* sErrFile = "";
int sErrLine = -1;

namespace {

constexpr const char* module_file = "DEzovuv/Files/io_utils";
constexpr const char* string_module_file = "DEzovuv/GenH/hl_string";
constexpr int string_too_long_line = 132;

void note_failure(int line)
{
    sErrFile = module_file;
    sErrLine = line;
}

bool is_separator(char c)
{
    return c == ':' || c == '\\' || c == '/';
}

void check_length(const std::string& text)
{
    if (text.size() > path_max_chars)
        __MACIBM_alert(0, "String too long!", text, "", "", ALERT_FATAL, string_module_file, string_too_long_line);
}

void rewrite_separators(std::string& path)
{
    for (size_t i = 0; i < path.size(); ++i)
        if (i != 1 && is_separator(path[i]))
            path[i] = '/';
}

// The prefix step of app_file_path: both texts and their concatenation are
// held to the path limit.
std::string prefixed(const char* path)
{
    std::string given = path ? path : "";
    check_length(app_path);
    check_length(given);
    std::string full = app_path + given;
    check_length(full);
    return full;
}

// Chooses, among the entries of `folder`, the spelling of `component` to
// use: "" when none matches ignoring case.
std::string matching_entry(const char* folder, const std::string& component)
{
    DIR* dir = opendir(folder);
    if (dir == nullptr)
        return "";
    std::string best;
    bool exact = false;
    struct stat info;
    if (fstatat(dirfd(dir), component.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        exact = true;
        best = component;
    }
    while (!exact) {
        dirent* entry = readdir(dir);
        if (entry == nullptr)
            break;
        if (strcasecmp(entry->d_name, component.c_str()) != 0)
            continue;
        if (best.empty() || strcmp(entry->d_name, best.c_str()) < 0)
            best = entry->d_name;
    }
    closedir(dir);
    return best;
}

}  // namespace

void findPath(char* path)
{
    if (path == nullptr || path[0] == '\0')
        return;
    struct stat info;
    if (stat(path, &info) == 0)
        return;

    size_t length = strlen(path);
    size_t start = 0;
    while (start < length) {
        if (path[start] == '/') {  // empty component (root or doubled separator)
            ++start;
            continue;
        }
        size_t end = start;
        while (end < length && path[end] != '/')
            ++end;
        std::string component(path + start, end - start);
        std::string folder;
        if (start == 0)
            folder = ".";
        else {
            size_t prefix_end = start - 1;
            while (prefix_end > 0 && path[prefix_end - 1] == '/')
                --prefix_end;
            folder = prefix_end == 0 ? "/" : std::string(path, prefix_end);
        }
        std::string spelling = matching_entry(folder.c_str(), component);
        if (spelling.size() != component.size())
            return;  // no match (or a folder that cannot be read): rest stays
        memcpy(path + start, spelling.data(), spelling.size());
        start = end;
    }
}

void set_dir_chars(std::string& path)
{
    // A longer path never gets past the fatal alert, and findPath keeps the
    // length, so the string is rewritten where it is.
    check_length(path);
    rewrite_separators(path);
    if (g_case_sensitive)
        findPath(path.data());
}

void copy_bounded_str(char* destination, size_t size, const char* source)
{
    if (source == nullptr)
        source = "";
    const size_t length = strnlen(source, path_max_chars + 1);
    if (length > path_max_chars) {
        check_length(std::string(source, length));
        return;
    }
    if (size == 0)
        return;
    const size_t kept = std::min(length, size - 1);
    memmove(destination, source, kept);
    destination[kept] = '\0';
}

int make_folder(const std::string& path)
{
    std::string target = path;
    set_dir_chars(target);
    if (!target.empty() && target.back() == '/')
        target.pop_back();
    if (mkdir(target.c_str(), 0755) != 0) {
        note_failure(__LINE__);
        return errno;
    }
    return 0;
}

int rename_file(const std::string& folder, const std::string& old_name, const std::string& new_name)
{
    std::string from = folder + old_name;
    std::string to = folder + new_name;
    set_dir_chars(from);
    set_dir_chars(to);
    if (rename(from.c_str(), to.c_str()) != 0) {
        int error = errno;
        note_failure(__LINE__);
        return error;
    }
    // A fork kept beside its file moves with it, as the fork of a file did.
    plat::sidecar_rename(from, to);
    return 0;
}

int delete_file(std::string path)
{
    path = app_path + path;
    set_dir_chars(path);
    if (path.empty())
        return ENOENT;
    if (path.back() == '/') {
        path.pop_back();
        if (rmdir(path.c_str()) != 0) {
            int error = errno;
            note_failure(__LINE__);
            return error;
        }
        plat::sidecar_delete(path);
        return 0;
    }
    if (unlink(path.c_str()) != 0) {
        int error = errno;
        note_failure(__LINE__);
        return error;
    }
    plat::sidecar_delete(path);
    return 0;
}

int dir_exists(std::string path)
{
    path = app_path + path;
    set_dir_chars(path);
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 1 : 0;
}

int file_exists(std::string path)
{
    path = app_path + path;
    set_dir_chars(path);
    // Opening for reading is the test; O_NONBLOCK keeps a FIFO from hanging it.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    close(fd);
    return 1;
}

int is_sim_link(const char* path, std::string* target)
{
    return sim_link_at(app_file_path(path), target);
}

std::string app_file_path(const char* path)
{
    std::string full = prefixed(path);
    set_dir_chars(full);
    return full;
}

int sim_link_at(const std::string& full, std::string* target)
{
    struct stat info;
    if (full.empty() || lstat(full.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return 0;
    char buffer[PATH_MAX + 1];
    ssize_t got = readlink(full.c_str(), buffer, PATH_MAX);
    if (got < 0)
        return 0;
    buffer[got] = '\0';
    if (target)
        target->assign(buffer, static_cast<size_t>(got));
    return 1;
}

int make_file_executable(const char* path)
{
    if (chmod(app_file_path(path).c_str(), 0755) != 0)
        return errno;
    return 0;
}

int show_del_err(int error)
{
    return 0;
}

int show_make_dir_err(int error)
{
    return error == 0 || error == -48 || error == EEXIST ? 0 : 1;
}

void get_OS_abs_path(int kind, std::string& out)
{
    if (kind == OS_FOLDER_APPLICATION) {
        MACIBM_app_path(&out, nullptr);
        return;
    }
    std::string folder;
    if (plat::special_folder(kind, &folder))
        out = folder;
}

int launch_app(const std::string& bundle, const std::string& argument)
{
    std::string path = bundle;
    set_dir_chars(path);
    if (!path.empty() && is_separator(path.back()))
        path.pop_back();
    path = app_path + path;

    // No bundles here: a folder "X.app" holds its program at Contents/MacOS/X.
    const std::string suffix = ".app";
    struct stat info;
    if (path.size() > suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0 &&
        stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        size_t slash = path.rfind('/');
        std::string leaf = path.substr(slash == std::string::npos ? 0 : slash + 1);
        leaf.resize(leaf.size() - suffix.size());
        std::string inner = path + "/Contents/MacOS/" + leaf;
        if (stat(inner.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            path = inner;
    }

    xer << "Launching: " << path << " with " << argument << "\n";
    xer.flush();

    // The program runs from this path as given, never looked up on PATH.
    std::string program = path.find('/') == std::string::npos ? "./" + path : path;
    std::vector<std::string> argv = {path};
    if (!argument.empty()) {
        argv.push_back("-path");
        argv.push_back(argument);
    }
    pid_t child = 0;
    int error = plat::spawn(program, argv, &child);
    if (error != 0)
        return error;
    MACIBM_finishup(1);
    fflush(nullptr);
    _exit(1);
}
