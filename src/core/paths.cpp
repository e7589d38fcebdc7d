#include "core/paths.h"

#include "core/alert.h"
#include "core/globals.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "platform/forks.h"
#include "platform/owners.h"
#include "platform/single_run.h"
#include "platform/spawn.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

thread_local const char* sErrFile = "";
thread_local int sErrLine = -1;

namespace {

constexpr const char* module_file = "DEzovuv/Files/io_utils";
constexpr const char* string_module_file = "DEzovuv/GenH/hl_string";
constexpr int string_too_long_line = 132;

void note_failure(int line)
{
    sErrFile = module_file;
    sErrLine = line;
}

void check_length(const std::string& text)
{
    if (text.size() > path_max_chars)
        __MACIBM_alert(0, "String too long!", text, "", "", ALERT_FATAL, string_module_file, string_too_long_line);
}

void rewrite_separators(std::string& path)
{
    for (size_t i = 0; i < path.size(); ++i)
        if (i != 1 && is_folder_separator(path[i]))
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

// The case correction reads whole folders, and an install or a scenery search asks about the same
// folders again and again, so each folder's names are kept. A watched folder's names follow every
// change the system reports (an install that fills a folder never reads it twice). Where no watch
// can be had, names are kept while the folder's modification time stays the same, and only once
// the folder has stood unchanged for this long, so that a change made within the file system's
// timestamp granularity of the one before it (which could leave the time as it was) is never missed.
constexpr time_t LISTING_SETTLED_SECONDS = 2;
// Folders whose names are kept; a long walk over many folders starts again from none.
constexpr size_t LISTING_CACHE_FOLDERS = 64;

struct folder_key {
    dev_t device = 0;
    ino_t node = 0;
    bool operator==(const folder_key&) const = default;
};
struct folder_key_hash {
    size_t operator()(const folder_key& key) const { return std::hash<ino_t>()(key.node) ^ key.device; }
};

struct folder_names {
    int watch = -1;  // the folder's watch, or -1 when the names hold only while `modified` does
    struct timespec modified = {};
    // (name in lower case, name): equal names ignoring case stand together, in byte order.
    std::set<std::pair<std::string, std::string>> names;
};

// Kept by the folder's identity, not its path: every path of one folder shares one listing, as
// the system gives one watch for them all.
std::mutex listing_mutex;
std::unordered_map<folder_key, folder_names, folder_key_hash> listing_cache;
std::unordered_map<int, folder_key> watched_folders;

// Folding as strcasecmp does without a locale: ASCII letters only.
std::string folded(const char* name)
{
    std::string out = name;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

void forget_all_listings()
{
    for (const auto& [watch, key] : watched_folders)
        plat::unwatch_folder(watch);
    watched_folders.clear();
    listing_cache.clear();
}

// Brings every watched listing up to date with what changed since the last look.
void follow_folder_changes()
{
    std::vector<plat::folder_change> changes;
    if (!plat::take_folder_changes(changes)) {
        forget_all_listings();
        return;
    }
    for (const plat::folder_change& change : changes) {
        auto watched = watched_folders.find(change.watch);
        if (watched == watched_folders.end())
            continue;
        auto kept = listing_cache.find(watched->second);
        if (change.kind == plat::FOLDER_GONE) {
            plat::unwatch_folder(change.watch);
            watched_folders.erase(watched);
            if (kept != listing_cache.end())
                listing_cache.erase(kept);
            continue;
        }
        if (kept == listing_cache.end())
            continue;
        auto entry = std::make_pair(folded(change.name.c_str()), change.name);
        if (change.kind == plat::FOLDER_ENTRY_ADDED)
            kept->second.names.insert(std::move(entry));
        else
            kept->second.names.erase(entry);
    }
}

bool read_names(const char* folder, folder_names* listing)
{
    const plat::folder_handle dir(opendir(folder));
    if (!dir)
        return false;
    while (dirent* entry = readdir(dir.get()))
        listing->names.emplace(folded(entry->d_name), entry->d_name);
    return true;
}

// The spelling of `component` to use: itself when it exists as written, else the first in byte order
// of the entries equal to it ignoring case; "" when none matches.
std::string spelling_in(const folder_names& listing, const std::string& component)
{
    const std::string key = folded(component.c_str());
    auto first = listing.names.lower_bound(std::make_pair(key, std::string()));
    for (auto past = first; past != listing.names.end() && past->first == key; ++past)
        if (past->second == component)
            return component;
    return first == listing.names.end() || first->first != key ? "" : first->second;
}

std::string matching_entry(const char* folder, const std::string& component)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct stat info;
    if (stat(folder, &info) != 0)
        return "";
    const folder_key key{info.st_dev, info.st_ino};
    std::lock_guard guard(listing_mutex);
    follow_folder_changes();
    auto kept = listing_cache.find(key);
    if (kept != listing_cache.end() &&
        (kept->second.watch >= 0 ||
         (kept->second.modified.tv_sec == info.st_mtim.tv_sec &&
          kept->second.modified.tv_nsec == info.st_mtim.tv_nsec)))
        return spelling_in(kept->second, component);

    if (kept != listing_cache.end())
        listing_cache.erase(kept);
    if (listing_cache.size() >= LISTING_CACHE_FOLDERS)
        forget_all_listings();
    // Watched before it is read: a change during the read is then reported too, and applying it
    // to names that already show it changes nothing.
    folder_names fresh;
    fresh.modified = info.st_mtim;
    fresh.watch = plat::watch_folder(folder);
    if (fresh.watch >= 0)
        watched_folders[fresh.watch] = key;
    if (!read_names(folder, &fresh)) {
        if (fresh.watch >= 0) {
            plat::unwatch_folder(fresh.watch);
            watched_folders.erase(fresh.watch);
        }
        return "";
    }
    const std::string spelling = spelling_in(fresh, component);
    if (fresh.watch >= 0 || info.st_mtim.tv_sec + LISTING_SETTLED_SECONDS < now.tv_sec)
        listing_cache.emplace(key, std::move(fresh));
    return spelling;
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

bool relative_path_is_safe(const std::string& path)
{
    if (path.empty() || is_folder_separator(path[0]))
        return false;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && (static_cast<unsigned char>(path[i]) < 0x20 || path[i] == 0x7f))
            return false;
        if (i == path.size() || is_folder_separator(path[i])) {
            if (i - start == 2 && path.compare(start, 2, "..") == 0)
                return false;
            start = i + 1;
        }
    }
    return true;
}

std::vector<std::string> enclosing_folders(const std::string& path)
{
    std::vector<std::string> folders;
    for (size_t cut = path.rfind('/'); cut != std::string::npos && cut > 0; cut = path.rfind('/', cut - 1))
        folders.push_back(path.substr(0, cut + 1));
    return folders;
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
    return opens_for_reading(path) ? 1 : 0;
}

bool opens_for_reading(const std::string& path)
{
    // O_NONBLOCK keeps a FIFO from hanging the test.
    return bool(plat::descriptor(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)));
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
    if (!path.empty() && is_folder_separator(path.back()))
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
    // A newer installer started here takes the single-run lock as it starts, while we are still
    // finishing up: ours goes first, and is taken back when nothing started.
    const std::string lock_folder = plat::let_go_single_run_lock();
    pid_t child = 0;
    int error = plat::spawn(program, argv, &child);
    if (error != 0) {
        if (!lock_folder.empty())
            (void)plat::take_single_run_lock(lock_folder);
        return error;
    }
    MACIBM_finishup(1);
    fflush(nullptr);
    _exit(1);
}
