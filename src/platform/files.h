#pragma once
// File references, catalog facts, folder iteration and free space: the parts
// of the original file manager that the core library relies on, on POSIX.

#include "platform/carbon_types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Maps an errno to the result code the file services reported for it;
// errno values without a counterpart come back unchanged.
OSErr error_from_errno(int error);

// Makes `path` absolute against the current folder, lexically: "." and empty
// components vanish and ".." removes the component before it.
std::string absolute_path(const std::string& path);

// Refers to an existing object (the leaf is not followed, so a dangling
// symbolic link can be referred to). An empty path fails with fnfErr.
[[nodiscard]] OSErr make_ref(const std::string& path, FSRef* ref);

// Copies the reference's path into `buffer` of `size` bytes, NUL included;
// fails with bdNamErr when it does not fit.
[[nodiscard]] OSErr ref_make_path(const FSRef& ref, char* buffer, size_t size);

struct CatalogInfo {
    bool is_folder = false;  // the object itself (not followed) is a folder
    bool is_root = false;    // the volume root: it has no parent
    uint64_t volume = 0;     // st_dev
    uint64_t node = 0;       // st_ino
    uint64_t parent_node = 0;
    std::string name;  // leaf; "root" for the root
    FSRef parent;      // empty path for the root
};
// Facts about a referenced object; fails when it no longer exists.
[[nodiscard]] OSErr get_catalog_info(const FSRef& ref, CatalogInfo* info);

// One entry of a folder, as its own lstat shows it.
struct FolderEntry {
    std::string name;
    bool is_folder = false;  // a real folder, not a link to one
    bool is_link = false;
};
// Reads every entry of a folder except "." and "..", sorted by the bytes of
// their names so every machine lists in the same order. Returns 0 or errno.
[[nodiscard]] int read_folder(const std::string& path, std::vector<FolderEntry>* entries);

// Removes whatever stands at path: a file, a link (never what it points to) or
// a folder with everything inside it. 0 when nothing is left there (nothing
// there to begin with included), else the errno of the first removal that failed.
[[nodiscard]] int remove_tree(const std::string& path);

// Free bytes available to the user on the volume of `path`, or of its
// nearest existing parent; -1 when nothing can be asked.
int64_t free_space(const std::string& path);

// The user's standard folders, each an absolute path ending in '/', created
// when missing. Kinds: 1 desktop, 2 home (stands in for Applications),
// 3 the private temporary folder, 4 preferences. Returns false (and leaves
// *out alone) for any other kind or on any failure.
bool special_folder(int kind, std::string* out);

// The home folder: $HOME when absolute, else the password database.
std::string home_folder();

// The folder for temporary files of this user only (mode 0700, owned by us,
// not a link), ending in '/'. Falls back to a fresh mkdtemp folder; empty
// only when even that cannot be made.
std::string private_temp_folder();

}  // namespace plat
