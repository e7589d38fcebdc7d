// The scenery library and resource search. The scan of 100 packages x 10,000 exports is compared with
// reading the same library files line by line; 10,000 resource searches, nine in ten of them misses,
// with case correction on, against a Resources folder of 5,000 entries, are compared with a plain stat
// of the same candidate paths in the same run. Run as "scenery_bench long LENGTH", it looks up one
// library line of the largest weight with a path of LENGTH bytes, every entry listed, and compares the
// process's peak memory after the lookup with its peak before it.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_files.h"
#include "core/globals.h"
#include "core/scenery_library.h"
#include "core/scenery_search.h"

namespace {

constexpr int package_count = 100;
constexpr int exports_per_package = 10000;
constexpr int resource_entries = 5000;
constexpr int search_count = 10000;
constexpr int hit_every = 10;  // one search in ten finds its file
// An installed tree was last changed long ago; the path finder trusts a folder's listing only once it
// has stood unchanged for a while.
constexpr int tree_age_seconds = 60;

std::string package_name(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "Package %03d", index);
    return name;
}

void write_scenery(const std::string& root)
{
    for (int p = 0; p < package_count; ++p) {
        const std::string folder = root + "/Custom Scenery/" + package_name(p);
        std::filesystem::create_directories(folder);
        std::ofstream out(folder + "/library.txt");
        out << "A\n800 version\nLIBRARY\n";
        // Half the names are shared by every package, half are the package's own.
        for (int e = 0; e < exports_per_package; ++e) {
            const std::string name =
                e % 2 ? "lib/shared_" + std::to_string(e) : "lib/p" + std::to_string(p) + "_" + std::to_string(e);
            out << (e % 7 == 0 ? "EXPORT_EXTEND " : "EXPORT ") << name << ".obj objects/" << name << ".obj\n";
        }
    }
}

double read_lines_of_libraries(const std::string& root, size_t* lines)
{
    const auto start = std::chrono::steady_clock::now();
    std::string line;
    for (int p = 0; p < package_count; ++p) {
        std::ifstream in(root + "/Custom Scenery/" + package_name(p) + "/library.txt");
        while (std::getline(in, line))
            ++*lines;
    }
    return bench::seconds_since(start);
}

// The places a search of an image `stem` in `folder` tries, in order (as core/scenery_search.h
// documents), spelled as on disk.
std::vector<std::string> image_candidates(const std::string& folder, const std::string& stem, const char* png)
{
    std::vector<std::string> places;
    for (const std::string& where : {folder, folder + "custom terrain textures/", folder + "custom object textures/",
                                     std::string("Resources/bitmaps/terrain/"), std::string("Resources/")})
        for (const char* extension : {png, ".bmp"})
            places.push_back(where + stem + extension);
    return places;
}

void date_back(const std::string& path)
{
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= tree_age_seconds;
    times[1] = times[0];
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

double peak_megabytes()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

int long_path_lookup(size_t length)
{
    bench::temp_folder dir("scenery-long-bench");
    if (dir.path.empty() || chdir(dir.path.c_str()) != 0)
        return 1;
    const std::string package = "Custom Scenery/Package 000/";
    std::filesystem::create_directories(package);
    std::string path = package + "objects/";
    path.resize(length, 'p');
    std::ofstream(package + "library.txt")
        << "A\n800 version\nLIBRARY\nEXPORT_RATIO 16777215 n " << path.substr(package.size()) << "\n";
    DSF_ScanSceneryFolder();
    const double peak_before = peak_megabytes();
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> paths;
    const bool found = DSF_LookupLibraryResourceAnywhereMultiple("n", paths);
    const double looking = bench::seconds_since(start);
    size_t text = 0;
    for (const std::string& listed : paths)
        text += listed.size();
    if (!found) {
        std::fprintf(stderr, "scenery_bench: the lookup found nothing\n");
        return 1;
    }
    std::printf("scenery Multiple lookup of one %zu-byte path at weight 16777215: %.1f ms, %zu paths, %.1f MiB of "
                "path text, peak memory %.0f MB (%.0f MB before the lookup)\n",
                length, looking * 1000, paths.size(), text / 1048576.0, peak_megabytes(), peak_before);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "long")
        return long_path_lookup(std::stoul(argv[2]));
    bench::temp_folder dir("scenery-bench");
    if (dir.path.empty() || chdir(dir.path.c_str()) != 0)
        return 1;

    write_scenery(dir.path);
    size_t lines = 0;
    const double reading = read_lines_of_libraries(dir.path, &lines);
    const auto scan_start = std::chrono::steady_clock::now();
    DSF_ScanSceneryFolder();
    const double scanning = bench::seconds_since(scan_start);
    std::vector<std::string> found;
    if (!DSF_LookupLibraryResourceMultiple(0, 0, "lib/shared_1.obj", found) || lines == 0) {
        std::fprintf(stderr, "scenery_bench: the scan found nothing\n");
        return 1;
    }
    std::printf("scenery scan of %d packages x %d exports: %.2f s, %.0f exports/s (%.1fx the time of reading "
                "the same %zu lines)\n",
                package_count, exports_per_package, scanning, package_count * exports_per_package / scanning,
                scanning / reading, lines);

    // The Resources folder holds its images in another case than the searches ask for.
    std::filesystem::create_directories("Resources/bitmaps/terrain");
    std::filesystem::create_directories("Custom Scenery/Package 000/objects");
    for (int i = 0; i < resource_entries; ++i)
        std::ofstream("Resources/Image_" + std::to_string(i) + ".PNG");
    for (const char* folder : {".", "Resources", "Resources/bitmaps", "Resources/bitmaps/terrain", "Custom Scenery",
                               "Custom Scenery/Package 000", "Custom Scenery/Package 000/objects"})
        date_back(folder);

    g_case_sensitive = 1;
    const std::string folder = "Custom Scenery/Package 000/objects/";
    std::vector<std::string> names;
    for (int i = 0; i < search_count; ++i)
        names.push_back(i % hit_every == 0 ? "image_" + std::to_string(i % resource_entries)
                                           : "missing_" + std::to_string(i));

    const auto search_start = std::chrono::steady_clock::now();
    int hits = 0;
    std::string out;
    for (const std::string& name : names) {
        DSF_LocateResourceNoLib(RESOURCE_IMAGE, name + ".png", folder, false, out);
        hits += out.empty() ? 0 : 1;
    }
    const double searching = bench::seconds_since(search_start);

    // The same candidates with one stat each, up to the first that exists (spelled as on disk).
    const auto stat_start = std::chrono::steady_clock::now();
    int stat_hits = 0;
    size_t stats = 0;
    struct stat info;
    for (const std::string& name : names) {
        const bool hit = name.compare(0, 6, "image_") == 0;
        const std::string stem = hit ? "Image_" + name.substr(6) : name;
        for (const std::string& place : image_candidates(folder, stem, hit ? ".PNG" : ".png")) {
            ++stats;
            if (stat(place.c_str(), &info) == 0) {
                ++stat_hits;
                break;
            }
        }
    }
    const double stating = bench::seconds_since(stat_start);
    if (hits != stat_hits) {
        std::fprintf(stderr, "scenery_bench: the search found %d files, stat %d\n", hits, stat_hits);
        return 1;
    }
    std::printf("scenery search, %d image searches (%d found) in a %d-entry Resources folder, case correction on: "
                "%.0f searches/s (%.1fx the time of a plain stat of the same %zu candidate paths)\n",
                search_count, hits, resource_entries, search_count / searching, searching / stating, stats);
    return 0;
}
