// netcfg: the host names and HTTP port built into the program.
// Callers: the HTTP client (port), the installer (list and web hosts), the about box (update
// host, site name and address). Values come from the build (CMake cache); a build that sets
// none names hosts under the reserved ".invalid" domain and so contacts nobody.
// Invariant: constant-initialised, so readable from any static initialiser.
#pragma once

#include <cstdint>

extern const char kListHost[];     // serves "/serverlist.txt"
extern const char kWebHost[];      // the maker's web pages ("/demo.html", the shop page)
extern const char kUpdateHost[];   // serves the about box's "/serverlist.txt"
extern const char kWebSiteName[];  // the web site's name as the about box shows it
extern const char kWebSiteUrl[];   // the web site's address opened in the browser
extern const uint16_t kHttpPort;   // port of every HTTP request (80 in a shipping build)
