#pragma once
// Conversions between path strings and file-system references. None of them
// puts app_path in front: callers pass paths that already carry it. Each
// returns the result code of the first step that fails (0 on success).

#include "platform/carbon_types.h"

#include <string>

// Without `name`: a reference to the existing object at `path`. With `name`:
// a reference to the parent folder and the leaf in *name, so the object
// itself need not exist. A leaf over 255 bytes is bdNamErr.
[[nodiscard]] OSErr FilePathToFSRefAndName(const char* path, FSRef* ref, HFSUniStr255* name);

// The FSSpec (volume, parent, leaf) of an existing object; "a:b::c"
// names the same object as "a:c".
[[nodiscard]] OSErr FilePathToFSSpec(const char* path, FSSpec& fss);

// The object's path from its volume down, without a leading '/':
// "root/home/user/file".
[[nodiscard]] OSErr FSRefToFilePath(FSRef* ref, std::string& out);

// The absolute POSIX path of an FSSpec; `out` is untouched on failure.
[[nodiscard]] OSErr FSSpecToFilePath(const FSSpec& fss, std::string& out);

// Rewrites a POSIX path as a volume-rooted, ':'-separated path
// ("root:home:user:"), keeping a trailing folder mark as ':'.
void ConvertPathToCFM(std::string& path);
