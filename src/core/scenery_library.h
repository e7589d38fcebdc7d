#pragma once
// The scenery library: the exports of every scenery package's "library.txt", by virtual name, each
// name with its exports newest first and each export optionally limited to a region of 1-degree tiles.
// DSF_ScanSceneryFolder rebuilds it; the lookups and the resource search (core/scenery_search.h) read
// it. Main thread only; nothing here is locked.
// Invariant: every entry and region the scan made is owned by the library and lives until the next
// scan, which frees them before it reads anything.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Folders of the resources and of the two kinds of package (path strings ending in a separator).
extern std::string obj_path;  // "Resources:objects:"
extern std::string cus_path;  // "Custom Scenery:", the user's packages
extern std::string def_path;  // "Resources:default scenery:", the packages that come with the program

// The packages of the last scan, highest priority first, each a folder path ending in '/'; the two
// other tables run beside it.
extern std::vector<std::string> scenery_packages;
extern std::vector<int> package_problems;   // 1 once an error in the package has been shown to the user
extern std::vector<int> package_is_custom;  // 1 for a package of cus_path, 0 for one of def_path

// A region covers whole 1-degree tiles: longitudes -180..179, latitudes -90..89.
constexpr int REGION_WEST = -180;
constexpr int REGION_SOUTH = -90;
constexpr int REGION_LONGITUDES = 360;
constexpr int REGION_LATITUDES = 180;

struct lib_region {
    std::string name;
    // 0 or 1; the tile (longitude, latitude) is at (longitude + 180) * 180 + (latitude + 90).
    unsigned char cells[REGION_LONGITUDES * REGION_LATITUDES] = {};
};

// The weight of an entry (1 for a plain export), and the mark of the last entry a lookup with a tile
// considers: the entries behind it are hidden.
constexpr uint32_t LIB_WEIGHT_MASK = 0xFFFFFF;
constexpr uint32_t LIB_LAST_CONSIDERED = 0x1000000;

struct lib_entry {
    lib_entry* next = nullptr;     // the next older entry of the same name
    lib_region* region = nullptr;  // null: the entry holds everywhere
    int package = 0;               // index into scenery_packages
    uint32_t flags = 0;            // weight and LIB_LAST_CONSIDERED
    std::string path;              // relative to the package folder
};

// Virtual name -> newest entry of its list.
extern std::map<std::string, lib_entry*> dsf_library;
// Region name -> region, for the library file being read (region names hold within one file).
extern std::map<std::string, lib_region*> dsf_regions;

// Lists the packages of cus_path, then of def_path (each in byte order of their names: the priority
// order), logs the list and reads every package's library file. Errors in a library file are reported
// through __DSF_NonFatalError and never stop the scan.
void DSF_ScanSceneryFolder();

// Puts `entry` first in the list of `name`. A plain export (extend 0) from another package than the
// list's first entry hides what is behind it; an extension joins the list. An entry that the scan did
// not make stays its caller's to free, after the next scan.
void DSF_RegisterEntry(const std::string& name, lib_entry* entry, int extend);

// Resolve a virtual name to a path (package folder + the export's path) by a weighted random choice
// among the entries eligible for the tile: those without a region, and those whose region holds the
// tile. A tile outside -180..179 / -90..89 lies in no region. Not found: false, and `name` unchanged.
[[nodiscard]] bool DSF_LookupLibraryResource(int longitude, int latitude, std::string& name);
// Every entry of the name takes part, the hidden ones too.
[[nodiscard]] bool DSF_LookupLibraryResourceAnywhere(std::string& name);
// Every eligible entry's path, repeated by its weight, up to the first that hides the rest; at most
// LIB_MULTIPLE_PATH_LIMIT paths (see DSF_ListWeightedPaths).
[[nodiscard]] bool DSF_LookupLibraryResourceMultiple(int longitude, int latitude, const std::string& name,
                                                     std::vector<std::string>& out);
[[nodiscard]] bool DSF_LookupLibraryResourceAnywhereMultiple(const std::string& name, std::vector<std::string>& out);

// A weight reaches 2^24 - 1 and a path is as long as its line, both from a package of any origin: a
// list of paths repeated by their weights is kept to this many paths and this much path text (the sum
// of their lengths), so that one line of a library file cannot exhaust memory.
constexpr size_t LIB_MULTIPLE_PATH_LIMIT = 65536;
constexpr size_t LIB_MULTIPLE_BYTE_LIMIT = 16 * 1024 * 1024;

// A path that a multiple lookup lists, and its weight.
struct lib_candidate {
    std::string path;
    uint32_t weight = 0;
};

// The eligible entries of the name for the tile, newest first, up to the first that hides the rest:
// what DSF_LookupLibraryResourceMultiple lists, before the repeats.
std::vector<lib_candidate> DSF_LibraryCandidates(int longitude, int latitude, const std::string& name);

// out = each candidate's path as often as its weight, in order. When the weights add up to more than
// LIB_MULTIPLE_PATH_LIMIT, or the paths so repeated to more than LIB_MULTIPLE_BYTE_LIMIT bytes, a
// candidate of weight w stands max(1, w * limit / natural) times instead, by the tighter of the two
// (weight 0 still never), and the log says so once per name until the next scan. Standing at least
// once, very many candidates or long ones could still pass a limit: the list ends there, the last ones
// left out. A single path longer than LIB_MULTIPLE_BYTE_LIMIT on its own stands once when it comes
// first, so the list never holds more text than the larger of the limit and its longest path.
// Returns whether out is not empty.
bool DSF_ListWeightedPaths(const std::string& name, const std::vector<lib_candidate>& candidates,
                           std::vector<std::string>& out);

// Reports an error in the scenery file `file`: always a log line, and a message alert naming the
// package that holds the file the first time that package has a problem (or naming the file when no
// package holds it).
void __DSF_NonFatalError(const char* source, int line, const char* file, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
// The same with a fatal alert: the program ends (on a worker thread, the alert throws).
void __DSF_FatalError(const char* source, int line, const char* file, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
