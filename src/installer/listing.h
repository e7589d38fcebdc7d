#pragma once
// The directory listing "directory.txt": every file of a release with the
// history of its versions. The release builder writes it and takes the
// previous release's history from `parse_directory`; the installer's
// `read_directory` parses it too, then signs the files already on the disk
// and totals what the install needs.
//
// Format (records end in LF; CR, blank lines and leading blanks are skipped):
//   A
//   840 version
//   INSTALLER
//
//   DIR <folder, platform folder first, ending in '/'>
//   FILE <kind> <platform> <version> <zip kB> <unzip kB> <32 hex digits|GONE> <name to line end>
#include <set>
#include <string>
#include <vector>

#include "core/header.h"
#include "core/stg.h"

// One listed version of one file.
struct file_version_struct {
    int kind = 0;          // install kind, 0 or 1
    int platform = 0;      // 0 every platform, 1-5 one platform, 6 every Linux
    int version = 0;       // build number that wrote the record
    float zip_kb = 0;      // zipped size, kilobytes of 1000 bytes
    float unzip_kb = 0;    // size of the file itself
    std::string sig_want;  // MD5 of the content, or "GONE"
    std::string sig_have;  // MD5 of the file on the disk, "NONE" when absent (current version only)
    std::string path;      // platform folder, '/', path inside the install
    int have_it = 0;       // the disk already holds exactly this version
    int download = 0;      // fetch and install this version
    int remove = 0;        // delete the local file
};

// The versions of one path, oldest first; the last is the current version.
using file_history_struct = std::vector<file_version_struct>;

extern std::vector<file_history_struct> sim_info;
extern int this_install_has_exes;            // a wanted, changed platform file is in the listing
extern std::set<std::string> deleted_files;  // folders touched by deletions (the engine's)

// Values `read_directory` returns for stg.dir_state.
constexpr int LISTING_REJECTED = DIR_STATE_REJECTED;
constexpr int LISTING_READ = DIR_STATE_READ;

constexpr int LISTING_TYPE = FILE_TYPE_TEXT;
constexpr int LISTING_VERSION = 840;
constexpr const char* LISTING_KEYWORD = "INSTALLER";
constexpr const char* SIG_GONE = "GONE";
constexpr const char* SIG_NONE = "NONE";

// Loads the listing at path into sim_info and touches nothing else on the
// disk. 3 when loaded, 2 when its header, or a record's version or size (not a
// whole number from 0 to 2^31-1), is rejected (after new_format). A missing
// listing, a record without a file name, or a path that would leave the install
// folder is a fatal alert, and leaves sim_info empty.
[[nodiscard]] int parse_directory(const std::string& path, const std::string& caption);

// parse_directory, then signs the current version of every file below
// dest_dir_path and totals what the install needs (stg.down_kb, stg.disk_kb,
// this_install_has_exes). Returns what parse_directory returned.
[[nodiscard]] int read_directory(const std::string& path, std::string caption);

// Draws the progress panel over everything and shows it at once; mode 0 is
// scanning the listing, mode 1 examining the disk. Nothing is drawn while no
// window exists, so the reader also runs headless.
void dir_progress_bar(float lo, float cur, float hi, int mode, std::string caption, std::string text);
