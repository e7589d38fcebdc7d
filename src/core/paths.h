#pragma once
// Path strings and the small file operations built on them.
//
// A path string is relative to the folder that holds the application and may
// separate folders with ':', '\' or '/'; a folder path ends in a separator.
// Before any file-system call every separator except the second character
// becomes '/', so "C:\x" keeps its drive-letter colon. Paths are at most 499
// characters: a longer one is the fatal alert "String too long!".
// Operations return 0 or the errno of their failing call.

#include <string>
#include <vector>

// The longest path string.
constexpr size_t path_max_chars = 499;

// Whether c separates folders in a path string: ':', '/' and '\' all do, whatever the system.
constexpr bool is_folder_separator(char c)
{
    return c == ':' || c == '/' || c == '\\';
}

// Whether a name taken from a listing or an archive stays inside the folder it is relative to:
// not empty, not absolute, no ".." component in any separator spelling, and no control byte
// (below 0x20, or DEL). A NUL would cut the name short of what its source says, and a line
// break or a tab could forge a record of the listing; the release builder refuses them all.
[[nodiscard]] bool relative_path_is_safe(const std::string& path);

// The folders along a '/'-separated path, deepest first, each up to and including its '/':
// "a/b/c" gives "a/b/" then "a/", and a path ending in '/' starts with itself. The root alone
// ("/") is never one of them.
[[nodiscard]] std::vector<std::string> enclosing_folders(const std::string& path);

// Where the last failing file or archive operation of this thread failed
// (source file and line); printed by the archive code's failure log lines.
// One per thread, so an extraction on a worker cannot mix its place with the
// main thread's.
extern thread_local const char* sErrFile;
extern thread_local int sErrLine;

// Rewrites separators to '/' (index 1 excepted) and, when g_case_sensitive
// is set, corrects the case of each component against the disk.
void set_dir_chars(std::string& path);

// Copies the C string `source` into a character field of `size` bytes, cut to
// size - 1 characters and ended with a NUL; the two may overlap. The source is
// read no further than 500 bytes: a source of 500 characters or more is the
// fatal alert "String too long!".
void copy_bounded_str(char* destination, size_t size, const char* source);

// Corrects, in place, the case of each component of a POSIX path that does
// not exist as written. A component that exists exactly as written is kept;
// otherwise, among the entries equal to it ignoring case, the first in byte
// order wins. Stops at the first component with no match. The length never
// changes. A folder's names are read once and kept up to date with every
// change the system reports (or, where it reports none, while the folder's
// modification time stays the same), so repeated corrections in a large folder
// cost a stat even while it fills; the answer is always that of a fresh read.
// Safe on any thread.
void findPath(char* path);

[[nodiscard]] int make_folder(const std::string& path);
[[nodiscard]] int rename_file(const std::string& folder, const std::string& old_name, const std::string& new_name);
[[nodiscard]] int delete_file(std::string path);
int dir_exists(std::string path);
int file_exists(std::string path);
// Whether the file at `path`, a POSIX path used as it is, opens for reading: the test of file_exists.
bool opens_for_reading(const std::string& path);
int is_sim_link(const char* path, std::string* target);
// The two steps of is_sim_link, for a caller that goes on to open the same file: the path with
// app_path in front, held to the length limit and normalised; and whether the file there is a
// symbolic link (leaf not followed), with its target text.
std::string app_file_path(const char* path);
int sim_link_at(const std::string& full, std::string* target);
[[nodiscard]] int make_file_executable(const char* path);
int show_del_err(int error);
int show_make_dir_err(int error);

// The operating system's folders, as absolute paths ending in '/':
// 0 the application's folder, 1 desktop, 2 home (the Applications stand-in),
// 3 the private temporary folder, 4 preferences. Any failure, or another
// kind, leaves `out` exactly as it was.
enum os_folder_kind : int {
    OS_FOLDER_APPLICATION = 0,
    OS_FOLDER_DESKTOP = 1,
    OS_FOLDER_APPLICATIONS = 2,
    OS_FOLDER_TEMPORARY = 3,
    OS_FOLDER_PREFERENCES = 4,
};
void get_OS_abs_path(int kind, std::string& out);

// Starts another program with "-path <argument>" (or no argument when empty)
// and, once it runs, shuts this one down with status 1. When it cannot be
// started, returns the errno and this program goes on. A folder "X.app"
// runs "X.app/Contents/MacOS/X" when that file exists.
[[nodiscard]] int launch_app(const std::string& bundle, const std::string& argument);
