#pragma once
// Builds sim_info by hand for tests that need a particular listing without reading one.

#include <string>

#include "installer/listing.h"

// Appends a history of one version (or extends the last history when it has the same path).
inline file_version_struct& add_history(const std::string& path, int platform, const std::string& sig_want,
                                        const std::string& sig_have = "NONE", bool same_history = false)
{
    file_version_struct version{};
    version.kind = 0;
    version.platform = platform;
    version.version = 85008;
    version.zip_kb = 1;
    version.unzip_kb = 2;
    version.sig_want = sig_want;
    version.sig_have = sig_have;
    version.path = path;
    if (!same_history || sim_info.empty())
        sim_info.emplace_back();
    sim_info.back().push_back(version);
    return sim_info.back().back();
}
