#pragma once
// The shared file header of data files, and the output stream `ouf`.
//
// Text form:   "A\n" "<version> version<notice>\n" [keyword line] body
// Binary form: 'a' (big-endian) or 'i' (little-endian), then a 4-byte version.
// The reader side is xmap_class::check_file (core/xmap.h).

#include "core/xmap.h"

#include <string>

enum file_type_code : int {
    FILE_TYPE_BINARY = 10000,
    FILE_TYPE_TEXT = 10001,
};

// The notice that writes no notice at all.
inline constexpr const char* no_copyright_notice = "no-copyright-string";

// Opens `ouf` on app_path + path (the last three characters lower-cased, the
// path rules applied) and writes the header. False, after a message alert,
// when the file cannot be written; a bad type is a fatal alert.
[[nodiscard]] bool ouf_open(std::string path, int type, int version, std::string notice);
