#pragma once
// Zip archives of files with resource forks, Finder information and symbolic
// links. `zip_to_file` extracts an archive into a folder; `file_to_zip` packs
// one file (with its fork, as an AppleDouble "__MACOSX" entry) into a new archive.
#include <functional>
#include <string>

#include "core/paths.h"  // sErrFile and sErrLine: where the last failing step happened

struct unz_file_info64_s;

// Extracts every entry of the archive zip into the folder dir (ending in a
// separator). When name is not null it receives the first entry's name. An entry
// that would land outside dir is refused with EINVAL. Each file or link is replaced
// whole or not at all: a failed entry leaves what stood at its path as it was.
// 0 or an error code.
[[nodiscard]] int zip_to_file(std::string zip, std::string dir, std::string* name, int use_name);

// The step of a walk over an archive's entries that failed.
enum zip_walk_step : int {
    ZIP_STEP_NONE = 0,  // none: the answer is the visitor's own
    ZIP_STEP_OPEN,      // the archive did not open as one (kErrZipOpen)
    ZIP_STEP_RECORD,    // an entry's directory record (UNZ_END_OF_LIST_OF_FILE: the archive has no entry)
    ZIP_STEP_NEXT,      // the move to the next entry
};

// Called with the open archive standing at one entry (so that it may read the entry's data), the
// entry's whole stored name (a NUL inside it kept, so that the name check sees it) and its
// directory record: 0 goes on to the next entry, anything else ends the walk with that answer.
using zip_entry_visitor = std::function<int(void* archive, const std::string& name, const unz_file_info64_s& info)>;

// Opens the archive at path (a POSIX path used as it is) and visits its entries in order; the
// archive is closed however the walk ends. 0 after the last entry, the visitor's first answer
// other than 0, or the minizip code of the step that failed, named in *failed when not null.
[[nodiscard]] int zip_walk_entries(const std::string& path, const zip_entry_visitor& visit,
                                   zip_walk_step* failed = nullptr);

// zip_to_file (no name wanted) for a worker thread: the lines it would log are appended to *log
// instead, for the caller to write to the log where they belong.
[[nodiscard]] int zip_to_file_logged(const std::string& zip, const std::string& dir, std::string* log);

// Applies the archive's current AppleDouble entry to the file that path names
// (the path still holds the "._" of the entry's leaf).
[[nodiscard]] int unzip_resource_fork(void* archive, std::string path, const unz_file_info64_s& info);

// Makes path (already normalised) a symbolic link with the given text, the
// current entry's content as zip_to_file read and checked it; whatever stood at
// path is replaced in one step. 0 or -1.
[[nodiscard]] int unzip_symlink(const std::string& path, const std::string& text);

// Packs the file (or symbolic link) into a new archive zip. 0 or an error code.
[[nodiscard]] int file_to_zip(std::string file, std::string zip);

// True when a link at entry_name (relative to the extraction folder) with the
// given text stays inside that folder: the text is relative and its ".."
// components lead it no higher than the folder itself.
bool zip_link_target_is_safe(const std::string& entry_name, const std::string& target);
