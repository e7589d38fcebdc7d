// servers: the server list ("serverlist.txt") and the download of the release's zipped listing.
// The installer screen runs poll_server_list and poll_directory_listing at the start of every frame;
// the engine and the about box reuse the skewed server choice and the record checks.
// Invariant: server_count counts only usable records (0..max_servers; later ones are read over);
// it is -1 until a list has been read.
#pragma once

#include <string>

// The one header version of the server list this installer understands.
constexpr int SERVER_LIST_VERSION = 820;

// Reads a server list into install_name and the three server tables and sets stg.server_count.
// Returns 1 when the header was accepted, 0 when the file is missing or its header is rejected
// (server_count is then left untouched).
[[nodiscard]] int read_server_list(const std::string& path);

// A host and path pair that net_check accepts: a non-empty host not ending in a separator and a
// path that begins with one. Records that fail this are skipped rather than reaching fatal alerts.
[[nodiscard]] bool server_location_is_usable(const std::string& host, const std::string& path);

// Index 0..count-1 drawn with a skew towards the front of the list (x^1.3 of a uniform x);
// -1 when count is 0.
[[nodiscard]] int pick_server_skewed(int count);

// Per-frame sections of the installer screen: fetch and read the server list while
// server_count is -1; fetch and extract "directory.txt.zip" while dir_state is 0.
void poll_server_list();
void poll_directory_listing();

// Where the listing lies once extracted; the screen hands it to read_directory.
[[nodiscard]] std::string extracted_listing_path();
