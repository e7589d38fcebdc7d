#pragma once
// Scenery package trees on disk for the scenery tests: a package folder with its library file.

#include "support/file_bytes.h"

#include <filesystem>
#include <string>

namespace test {

// Creates the package folder `package` and writes its "library.txt": the header (of the given version)
// and `body`.
inline void write_library(const std::string& package, const std::string& body, const std::string& version = "800")
{
    std::filesystem::create_directories(package);
    write_file(package + "/library.txt", "A\n" + version + " version\nLIBRARY\n" + body);
}

}  // namespace test
