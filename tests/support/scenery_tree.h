#pragma once
// Scenery package trees on disk for the scenery tests: a package folder with its library file.

#include "support/file_bytes.h"

#include <filesystem>
#include <string>

namespace test {

// The header every valid library file starts with.
inline const std::string LIBRARY_HEADER = "A\n800 version\nLIBRARY\n";

// Creates the package folder `package` and writes `header` + `body` as its "library.txt".
inline void write_library(const std::string& package, const std::string& body,
                          const std::string& header = LIBRARY_HEADER)
{
    std::filesystem::create_directories(package);
    write_file(package + "/library.txt", header + body);
}

}  // namespace test
