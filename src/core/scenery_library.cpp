// The scenery library, read from each package's "library.txt":
//
//   A                              header: platform letter,
//   800 version                    version 800 only,
//   LIBRARY                        and this keyword
//   EXPORT name path               an entry of weight 1 for the current region
//   EXPORT_EXTEND name path        the same, joining the exports of other packages
//   EXPORT_RATIO n name path       an entry of weight n that hides the entries behind it
//   REGION name                    later exports hold only inside that region
//   REGION_DEFINE name             a new, empty region; the next two lines fill it
//   REGION_RECT west south east north
//   REGION_BITMAP file             a 360 x 180 image, non-zero pixels inside
//
// Words are separated by blanks, a keyword counts only when a blank follows it, and a path runs to the
// end of its line. Any other line is skipped.

#include "core/scenery_library.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/header.h"
#include "core/hooks.h"
#include "core/listing.h"
#include "core/xmap.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <set>

std::string obj_path = "Resources:objects:";
std::string cus_path = "Custom Scenery:";
std::string def_path = "Resources:default scenery:";
std::vector<std::string> scenery_packages;
std::vector<int> package_problems;
std::vector<int> package_is_custom;
std::map<std::string, lib_entry*> dsf_library;
std::map<std::string, lib_region*> dsf_regions;

namespace {

constexpr const char* LOCATE_SOURCE = "DEzovuv/Files/io_locate";

// The lines this unit's reports name.
enum locate_line : int {
    LINE_BAD_VERSION = 218,
    LINE_RATIO_TOO_LARGE = 269,
    LINE_UNKNOWN_REGION = 286,
    LINE_REGION_DEFINED_TWICE = 297,
    LINE_RECT_WITHOUT_REGION = 310,
    LINE_RECT_OUT_OF_RANGE = 319,
    LINE_BITMAP_WITHOUT_REGION = 332,
    LINE_BITMAP_UNREADABLE = 336,
    LINE_BITMAP_WRONG_SIZE = 343,
    LINE_ALERT_WITHOUT_PACKAGE = 405,
    LINE_ALERT_PACKAGE = 411,
    LINE_FATAL_WITHOUT_PACKAGE = 440,
    LINE_FATAL_PACKAGE = 446,
};

constexpr int LIBRARY_VERSION = 800;
constexpr const char* LIBRARY_FILE = "library.txt";
// A formatted report keeps at most 4095 characters; the values in it come from the files.
constexpr size_t REPORT_BUFFER_BYTES = 4096;

// Everything the last scan made. A deque never moves what it holds, so the tables' pointers stay good
// until the next scan empties it.
std::deque<lib_entry> scanned_entries;
std::deque<lib_region> scanned_regions;
// The names whose lists were cut to LIB_MULTIPLE_PATH_LIMIT or LIB_MULTIPLE_BYTE_LIMIT since the last
// scan: each is logged once, however often it is looked up.
std::set<std::string> cut_names;

struct tile {
    int longitude;
    int latitude;
};

bool eligible(const lib_entry& entry, const tile* where)
{
    if (where == nullptr || entry.region == nullptr)
        return true;
    // A tile off the world lies in no region.
    if (where->longitude < REGION_WEST || where->longitude >= REGION_WEST + REGION_LONGITUDES ||
        where->latitude < REGION_SOUTH || where->latitude >= REGION_SOUTH + REGION_LATITUDES)
        return false;
    const int x = where->longitude - REGION_WEST;
    const int y = where->latitude - REGION_SOUTH;
    return entry.region->cells[x * REGION_LATITUDES + y] != 0;
}

uint32_t weight_of(const lib_entry& entry)
{
    return entry.flags & LIB_WEIGHT_MASK;
}

// Calls visit(entry) for each entry of a name's list that the lookup considers, until visit returns
// true. With `stop_at_last` the walk ends after the first considered entry that hides the rest.
template <typename Visit> void walk_entries(const std::string& name, const tile* where, bool stop_at_last, Visit visit)
{
    auto found = dsf_library.find(name);
    if (found == dsf_library.end())
        return;
    for (const lib_entry* entry = found->second; entry != nullptr; entry = entry->next) {
        if (!eligible(*entry, where))
            continue;
        if (visit(*entry))
            return;
        if (stop_at_last && (entry->flags & LIB_LAST_CONSIDERED))
            return;
    }
}

std::string full_path(const lib_entry& entry)
{
    const bool known = entry.package >= 0 && static_cast<size_t>(entry.package) < scenery_packages.size();
    return (known ? scenery_packages[entry.package] : std::string()) + entry.path;
}

// The weighted random choice among the considered entries; `name` becomes the chosen path.
bool choose_entry(const tile* where, bool stop_at_last, std::string& name)
{
    // Weights reach 2^24 - 1 each: the sum is kept wide enough for any list.
    uint64_t total = 0;
    walk_entries(name, where, stop_at_last, [&](const lib_entry& entry) {
        total += weight_of(entry);
        return false;
    });
    if (total == 0)
        return false;
    uint64_t pick = total == 1 ? 0 : static_cast<uint64_t>(rand()) % total;
    const lib_entry* chosen = nullptr;
    walk_entries(name, where, stop_at_last, [&](const lib_entry& entry) {
        if (pick < weight_of(entry)) {
            chosen = &entry;
            return true;
        }
        pick -= weight_of(entry);
        return false;
    });
    if (chosen == nullptr)
        return false;
    name = full_path(*chosen);
    return true;
}

std::vector<lib_candidate> candidates_of(const tile* where, const std::string& name)
{
    std::vector<lib_candidate> candidates;
    walk_entries(name, where, true, [&](const lib_entry& entry) {
        candidates.push_back({full_path(entry), weight_of(entry)});
        return false;
    });
    return candidates;
}

// ---------------------------------------------------------------------------------------------------
// Reports
// ---------------------------------------------------------------------------------------------------

// The first package whose folder and `file` agree over the shorter of their lengths; -1 for none.
int package_holding(const char* file)
{
    const size_t length = strlen(file);
    for (size_t i = 0; i < scenery_packages.size(); ++i) {
        const std::string& folder = scenery_packages[i];
        if (memcmp(folder.data(), file, std::min(length, folder.size())) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

// Logs the formatted report and gives the package that holds `file` (-1 for none); a null file is
// taken as "".
__attribute__((format(printf, 4, 0))) int log_report(const char* source, int line, const char*& file,
                                                     const char* format, va_list arguments)
{
    if (file == nullptr)
        file = "";
    char message[REPORT_BUFFER_BYTES];
    vsnprintf(message, sizeof message, format, arguments);
    xer << "***Error with scenery file \"" << file << "\" (" << (source ? source : "") << ": " << line << ".)\n  "
        << message << "\n";
    xer.flush();
    return package_holding(file);
}

// The alert of a scenery error: what holds the error (its package, or the file itself) and the advice.
void alert_scenery_error(const std::string& holder, const char* advice, int type, int line)
{
    __MACIBM_alert(0, "Error loading the scenery package:", holder, advice,
                   "Please see the log.txt file for detailed error information.", type, LOCATE_SOURCE, line);
}

// ---------------------------------------------------------------------------------------------------
// The scan
// ---------------------------------------------------------------------------------------------------

void forget_last_scan()
{
    dsf_library.clear();
    dsf_regions.clear();
    scanned_entries.clear();
    scanned_regions.clear();
    cut_names.clear();
    scenery_packages.clear();
    package_problems.clear();
    package_is_custom.clear();
}

void add_packages_of(const std::string& folder, int custom)
{
    wrk_path = folder;
    const int count = opensave_getitems(LIST_FOLDER);
    for (int i = 0; i < count; ++i) {
        scenery_packages.push_back(g_path_rel[i]);
        package_problems.push_back(0);
        package_is_custom.push_back(custom);
    }
}

void log_packages()
{
    xer << "I found the following scenery packages (prioritized in this order):\n";
    for (size_t i = 0; i < scenery_packages.size(); ++i) {
        char index[24];  // room for any size_t
        snprintf(index, sizeof index, "%3zu", i);
        xer << index << " " << scenery_packages[i] << "\n";
    }
    xer.flush();
}

// Adding 180 or 90 to a value read from the file wraps as 32-bit arithmetic does, never overflowing.
int shifted(int value, int offset)
{
    return static_cast<int>(static_cast<uint32_t>(value) + static_cast<uint32_t>(offset));
}

// One library file being read: the reader, its package, and the regions in use.
class library_reader {
public:
    library_reader(int package, const std::string& file)
        : reader_(file), package_(package), file_(file), folder_(scenery_packages[package])
    {
    }

    void read()
    {
        if (reader_.base == nullptr)
            return;  // a package without a library file
        int versions[] = {LIBRARY_VERSION, 0};
        if (reader_.check_file(FILE_TYPE_TEXT, versions, "LIBRARY", nullptr) == 0) {
            __DSF_NonFatalError(LOCATE_SOURCE, LINE_BAD_VERSION, file_.c_str(),
                                "Incorrect version for scenery library file.  Will skip.");
            return;
        }
        dsf_regions.clear();
        while (reader_.cur != reader_.end) {
            if (reader_.TXT_str_scan_match("EXPORT", 0))
                read_export(1, 0);
            else if (reader_.TXT_str_scan_match("EXPORT_EXTEND", 0))
                read_export(1, 1);
            else if (reader_.TXT_str_scan_match("EXPORT_RATIO", 0))
                read_ratio();
            else if (reader_.TXT_str_scan_match("REGION", 0))
                read_region();
            else if (reader_.TXT_str_scan_match("REGION_DEFINE", 0))
                read_region_define();
            else if (reader_.TXT_str_scan_match("REGION_RECT", 0))
                read_region_rect();
            else if (reader_.TXT_str_scan_match("REGION_BITMAP", 0))
                read_region_bitmap();
            else
                reader_.TXT_str_scan_eoln(nullptr);
        }
    }

private:
    void add_entry(const std::string& name, const std::string& path, uint32_t flags, int extend)
    {
        lib_entry& entry = scanned_entries.emplace_back();
        entry.region = current_;
        entry.package = package_;
        entry.flags = flags;
        entry.path = path;
        DSF_RegisterEntry(name, &entry, extend);
    }

    void read_export(uint32_t flags, int extend)
    {
        std::string name, path;
        reader_.TXT_str_scan_space(&name);
        reader_.TXT_str_scan_eoln(&path);
        add_entry(name, path, flags, extend);
    }

    void read_ratio()
    {
        const uint32_t ratio = static_cast<uint32_t>(reader_.TXT_int_scan());
        std::string name, path;
        reader_.TXT_str_scan_space(&name);
        reader_.TXT_str_scan_eoln(&path);
        // Too large a ratio is cut to its low 24 bits and still registered.
        if (ratio > LIB_WEIGHT_MASK)
            __DSF_NonFatalError(LOCATE_SOURCE, LINE_RATIO_TOO_LARGE, file_.c_str(),
                                "Library error: you cannot have a ratio of more than 2^24 lib items for %s -> %s.",
                                path.c_str(), name.c_str());
        add_entry(name, path, (ratio & LIB_WEIGHT_MASK) | LIB_LAST_CONSIDERED, 0);
    }

    void read_region()
    {
        std::string name;
        reader_.TXT_str_scan_space(&name);
        auto found = dsf_regions.find(name);
        if (found == dsf_regions.end()) {
            __DSF_NonFatalError(LOCATE_SOURCE, LINE_UNKNOWN_REGION, file_.c_str(),
                                "REGION %s - region unknown.  Ingoring", name.c_str());
            return;
        }
        current_ = found->second;
    }

    void read_region_define()
    {
        std::string name;
        reader_.TXT_str_scan_space(&name);
        if (dsf_regions.count(name) != 0) {
            __DSF_NonFatalError(LOCATE_SOURCE, LINE_REGION_DEFINED_TWICE, file_.c_str(),
                                "REGION_DEFINE %s - region already defined.  Ignoring.", name.c_str());
            defining_ = nullptr;
            return;
        }
        lib_region& region = scanned_regions.emplace_back();
        region.name = name;
        dsf_regions[name] = &region;
        defining_ = &region;
    }

    void read_region_rect()
    {
        const int west = reader_.TXT_int_scan();
        const int south = reader_.TXT_int_scan();
        const int east = reader_.TXT_int_scan();
        const int north = reader_.TXT_int_scan();
        if (defining_ == nullptr) {
            __DSF_NonFatalError(LOCATE_SOURCE, LINE_RECT_WITHOUT_REGION, file_.c_str(),
                                "REGION_RECT command used but no region has been defined.");
            return;
        }
        const int x0 = shifted(west, -REGION_WEST), y0 = shifted(south, -REGION_SOUTH);
        const int x1 = shifted(east, -REGION_WEST), y1 = shifted(north, -REGION_SOUTH);
        if (x0 < 0 || y0 < 0 || x1 >= REGION_LONGITUDES || y1 >= REGION_LATITUDES || y0 > y1 || x0 > x1) {
            __DSF_NonFatalError(LOCATE_SOURCE, LINE_RECT_OUT_OF_RANGE, file_.c_str(),
                                "The boundaries to a REGION_RECT command are out of range: %d,%d->%d,%d", x0, y0, x1,
                                y1);
            return;
        }
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y)
                defining_->cells[x * REGION_LATITUDES + y] = 1;
    }

    void read_region_bitmap()
    {
        std::string file;
        reader_.TXT_str_scan_eoln(&file);
        if (defining_ == nullptr) {
            __DSF_NonFatalError(LOCATE_SOURCE, LINE_BITMAP_WITHOUT_REGION, file_.c_str(),
                                "REGION_BITMAP used with no region defined.  REGION_BITMAP will be ignored.");
            return;
        }
        const auto loader = core_get_hooks().region_bitmap;
        int width = 0, height = 0;
        std::vector<unsigned char> pixels;
        if (loader == nullptr || loader(folder_ + file, &width, &height, &pixels) == 0 ||
            pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
            __DSF_NonFatalError(LOCATE_SOURCE, LINE_BITMAP_UNREADABLE, file_.c_str(),
                                "Unable to load bitmap file '%s' for REGION_BITMAP command - will skip.", file.c_str());
            return;
        }
        if (width != REGION_LONGITUDES || height != REGION_LATITUDES) {
            __DSF_NonFatalError(LOCATE_SOURCE, LINE_BITMAP_WRONG_SIZE, file_.c_str(),
                                "REGION_BITMAP with bitmap %s has a size of %d, %d but need sa size of 360x180.",
                                file.c_str(), width, height);
            return;
        }
        for (int y = 0; y < REGION_LATITUDES; ++y)
            for (int x = 0; x < REGION_LONGITUDES; ++x)
                defining_->cells[x * REGION_LATITUDES + y] = pixels[y * REGION_LONGITUDES + x] != 0 ? 1 : 0;
    }

    xmap_class reader_;
    int package_;
    std::string file_;
    std::string folder_;
    lib_region* current_ = nullptr;   // the region of the exports that follow
    lib_region* defining_ = nullptr;  // the region REGION_RECT and REGION_BITMAP fill
};

}  // namespace

void DSF_ScanSceneryFolder()
{
    forget_last_scan();
    add_packages_of(cus_path, 1);
    add_packages_of(def_path, 0);
    log_packages();
    // The highest priority registers last, so its entries stand first in every list.
    for (int package = static_cast<int>(scenery_packages.size()) - 1; package >= 0; --package) {
        library_reader file(package, scenery_packages[package] + LIBRARY_FILE);
        file.read();
    }
}

void DSF_RegisterEntry(const std::string& name, lib_entry* entry, int extend)
{
    auto found = dsf_library.find(name);
    if (found == dsf_library.end() || found->second == nullptr) {
        entry->next = nullptr;
        dsf_library[name] = entry;
        return;
    }
    lib_entry* first = found->second;
    if (extend == 0 && entry->package != first->package)
        entry->flags |= LIB_LAST_CONSIDERED;
    entry->next = first;
    found->second = entry;
}

bool DSF_LookupLibraryResource(int longitude, int latitude, std::string& name)
{
    const tile where{longitude, latitude};
    return choose_entry(&where, true, name);
}

bool DSF_LookupLibraryResourceAnywhere(std::string& name)
{
    return choose_entry(nullptr, false, name);
}

bool DSF_LookupLibraryResourceMultiple(int longitude, int latitude, const std::string& name,
                                       std::vector<std::string>& out)
{
    return DSF_ListWeightedPaths(name, DSF_LibraryCandidates(longitude, latitude, name), out);
}

bool DSF_LookupLibraryResourceAnywhereMultiple(const std::string& name, std::vector<std::string>& out)
{
    return DSF_ListWeightedPaths(name, candidates_of(nullptr, name), out);
}

std::vector<lib_candidate> DSF_LibraryCandidates(int longitude, int latitude, const std::string& name)
{
    const tile where{longitude, latitude};
    return candidates_of(&where, name);
}

bool DSF_ListWeightedPaths(const std::string& name, const std::vector<lib_candidate>& candidates,
                           std::vector<std::string>& out)
{
    out.clear();
    // What the list would hold uncut. 64 bits hold any number of 24-bit weights, and their products
    // with paths as long as a file that fits in memory.
    uint64_t paths = 0, bytes = 0;
    for (const lib_candidate& candidate : candidates) {
        paths += candidate.weight;
        bytes += uint64_t(candidate.weight) * candidate.path.size();
    }
    const bool cut = paths > LIB_MULTIPLE_PATH_LIMIT || bytes > LIB_MULTIPLE_BYTE_LIMIT;
    // Past either limit, the tighter of the two sets the scale: the text's when the paths are longer
    // than LIB_MULTIPLE_BYTE_LIMIT / LIB_MULTIPLE_PATH_LIMIT bytes on average.
    const bool by_text =
        cut && (unsigned __int128)bytes * LIB_MULTIPLE_PATH_LIMIT > (unsigned __int128)paths * LIB_MULTIPLE_BYTE_LIMIT;
    if (cut && cut_names.insert(name).second) {
        if (by_text)
            xer << "The scenery library's entries for " << name << " would list " << bytes
                << " bytes of paths: its lookups list " << LIB_MULTIPLE_BYTE_LIMIT
                << " bytes of paths at most, in the same proportions.\n";
        else
            xer << "The scenery library's entries for " << name << " weigh " << paths << " together: its lookups list "
                << LIB_MULTIPLE_PATH_LIMIT << " paths at most, in the same proportions.\n";
        xer.flush();
    }
    uint64_t text_room = LIB_MULTIPLE_BYTE_LIMIT;
    for (const lib_candidate& candidate : candidates) {
        const uint64_t weight = candidate.weight;
        if (weight == 0)
            continue;
        uint64_t times = weight;
        if (by_text)
            times = std::max<uint64_t>(1, weight * LIB_MULTIPLE_BYTE_LIMIT / bytes);
        else if (cut)
            times = std::max<uint64_t>(1, weight * LIB_MULTIPLE_PATH_LIMIT / paths);
        // Each candidate standing at least once can take the list past a limit (very many of them, or
        // many light ones beside a heavy one, or long ones): the last ones then find no room.
        times = std::min<uint64_t>(times, LIB_MULTIPLE_PATH_LIMIT - out.size());
        if (const size_t length = candidate.path.size(); length > 0) {
            uint64_t fit = text_room / length;
            // A path longer than the limit on its own still answers the lookup, alone.
            if (fit == 0 && out.empty())
                fit = 1;
            times = std::min(times, fit);
            text_room -= std::min(text_room, times * length);
        }
        out.insert(out.end(), size_t(times), candidate.path);
    }
    return !out.empty();
}

void __DSF_NonFatalError(const char* source, int line, const char* file, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int package = log_report(source, line, file, format, arguments);
    va_end(arguments);
    if (package < 0) {
        alert_scenery_error(file, "The scenery may not look correct.", ALERT_MESSAGE, LINE_ALERT_WITHOUT_PACKAGE);
        return;
    }
    // One alert per package: the log holds the rest.
    if (package_problems[package] != 0)
        return;
    package_problems[package] = 1;
    alert_scenery_error(scenery_packages[package], "The scenery may not look correct.", ALERT_MESSAGE,
                        LINE_ALERT_PACKAGE);
}

void __DSF_FatalError(const char* source, int line, const char* file, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int package = log_report(source, line, file, format, arguments);
    va_end(arguments);
    if (package < 0) {
        alert_scenery_error(file, "Veltrix cannot run with this corrupt file.", ALERT_FATAL,
                            LINE_FATAL_WITHOUT_PACKAGE);
        return;
    }
    package_problems[package] = 1;
    const char* advice = package_is_custom[package]
        ? "Veltrix cannot run with this package installed - you may need to remove the custom  scenery package."
        : "Veltrix cannot run with this package installed - You may need to reinstall Veltrix.";
    alert_scenery_error(scenery_packages[package], advice, ALERT_FATAL, LINE_FATAL_PACKAGE);
}
