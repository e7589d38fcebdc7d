// about: the about box (window 994) with its online version check and the download and launch
// of a newer installer. Nothing in the installer opens it; it is complete when called.
// Invariant: an installer location from the network is used only when net_check would accept it.
#pragma once

#include <string>

#include "installer/fetch.h"

// This build's number, compared with the published ones.
constexpr int THIS_BUILD = 85008;

// What the update host's server list says about published versions.
struct about_versions {
    int found = 0;             // 1 once a FINAL line was read
    std::string version_text;  // rest of the FINAL line
    int version_final = -1;
    int version_beta = -1;
    std::string final_server, final_path;  // empty when absent or unusable
    std::string beta_server, beta_path;
};

// Reads the version keys of a server list; a rejected header reads no line.
[[nodiscard]] about_versions read_update_list(const std::string& path);

// The decision of the version check: *state becomes 1 (offer the update, location in
// *server/*path) or 4 (with the status text in *message); *beta tells which release is offered.
void decide_update(const about_versions& versions, int* state, int* beta, std::string* server, std::string* path,
                   std::string* message);

// One frame of the version check: asks the update host for its list unless the pause after a
// failure lasts, and returns true on the frame the list came in, read into *versions. The check is
// paced as the installer's downloads are; a list without a FINAL line counts as a failure, since
// the box asks for it again as it does after a failed download.
[[nodiscard]] bool poll_update_list(fetch_pacing& pacing, about_versions* versions);

void MACIBM_about();
