#pragma once
// Resource forks and Finder information on Linux.
//
// Each file keeps them in one of two forms at a time: the extended attributes
// "user.FinderInfo" (32 bytes: the 16 info bytes, then 16 zeros) and
// "user.ResourceFork", or, where the file system refuses those (tmpfs, NFS,
// ext4 above about 4 KB, symbolic links), an AppleDouble sidecar "._<leaf>"
// beside the file, byte for byte the layout of an archive's "__MACOSX" entry.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace plat {

constexpr size_t finder_info_size = 16;

// Reads the Finder information and resource fork of the file at path (a POSIX
// path). The sidecar wins over the attributes; a file without either gives 16
// zero bytes and an empty fork. 0, or the errno of a file that cannot be seen.
[[nodiscard]] int fork_read(const std::string& path, uint8_t finder16[finder_info_size], std::string& fork);

// Stores both values for the file at path and removes the other form. Zero info
// with an empty fork removes both forms. 0, or an errno.
[[nodiscard]] int fork_write(const std::string& path, const uint8_t finder16[finder_info_size],
                             const std::string& fork);

// Where the sidecar of path lives: the same folder, "._" + leaf.
std::string sidecar_path(const std::string& path);

// delete_file and rename_file call these after a successful unlink or rename,
// so that a fork goes with its file. A missing sidecar is not an error.
void sidecar_delete(const std::string& path);
void sidecar_rename(const std::string& from, const std::string& to);

// Test seam: when the function returns false for a path, the attributes are not
// used there (as on tmpfs). Null restores the real behaviour (always try them).
using XattrEnabledSource = std::function<bool(const std::string& path)>;
void set_xattr_enabled(XattrEnabledSource source);

// The AppleDouble form shared by sidecars and archive entries (big-endian):
// magic 00051607, version 00020000, 16 zeros, count 2, entries {9, 50, 32} and
// {2, 82, fork length}, the 32 Finder-information bytes, then the fork.
constexpr size_t appledouble_header_size = 82;
std::string appledouble_encode(const uint8_t finder16[finder_info_size], const std::string& fork);

// Walks an AppleDouble image: 0 and the values found (has_finder / has_fork say
// which), or 20012 when the fixed header differs or an entry points outside the
// image. Nothing is read outside [data, data + length).
struct appledouble_parts {
    int has_finder = 0;
    int has_fork = 0;
    uint8_t finder16[finder_info_size] = {};
    const uint8_t* fork = nullptr;
    size_t fork_length = 0;
};
[[nodiscard]] int appledouble_decode(const uint8_t* data, size_t length, appledouble_parts& parts);

}  // namespace plat
