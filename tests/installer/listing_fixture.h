#pragma once
// Listings for the installer's tests: sim_info built by hand for tests that need a particular
// listing without reading one, and listing texts written one record a line.

#include <filesystem>
#include <string>
#include <vector>

#include "core/md5.h"
#include "installer/listing.h"
#include "support/file_bytes.h"

// Appends the history of one path, a version per signature (oldest first), the disk's signature on
// the current one.
inline void add_history(const std::string& path, int platform, const std::vector<std::string>& sig_wants,
                        const std::string& sig_have = SIG_NONE, int kind = 0)
{
    file_history_struct& history = sim_info.emplace_back();
    for (const std::string& sig : sig_wants) {
        file_version_struct& version = history.emplace_back();
        version.kind = kind;
        version.platform = platform;
        version.version = 85008;
        version.zip_kb = 1;
        version.unzip_kb = 2;
        version.sig_want = sig;
        version.path = path;
    }
    history.back().sig_have = sig_have;
}

// The text with every "{bytes}" replaced by the MD5 of those bytes.
inline std::string with_digests(std::string text)
{
    for (size_t open = text.find('{'); open != std::string::npos; open = text.find('{', open)) {
        const size_t close = text.find('}', open);
        const std::string bytes = text.substr(open + 1, close - open - 1);
        text.replace(open, close - open + 1, md5_of_bytes(bytes.data(), bytes.size()));
    }
    return text;
}

// A listing's text: the header, then the records (with digests as with_digests writes them).
inline std::string listing_text(const std::string& records)
{
    return "A\n840 version\nINSTALLER\n\n" + with_digests(records);
}

// The signature a listing gives a file on the disk, from md5sum: of its content, or of the name a
// link points to.
inline std::string listed_signature(const std::string& path)
{
    const bool link = std::filesystem::is_symlink(path);
    return test::command_output((link ? "readlink -n '" : "md5sum < '") + path + (link ? "' | md5sum" : "'"))
        .substr(0, 32);
}
