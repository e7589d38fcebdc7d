// The release builder program on a tree of 2,000 files / 500 MB against Info-ZIP's zip packing
// the same files one archive each plus md5sum, and read_directory on a listing of 50,000 records
// whose files are all present on the disk against md5sum over them; both in the same run as
// their peers, whole process against whole process.
//   builder_bench                                   runs the comparison
//   builder_bench --read-listing INSTALL LISTING    reads the listing against the folder (our side)
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_files.h"
#include "core/alert.h"
#include "core/md5.h"
#include "core/stg.h"
#include "core/thread.h"
#include "installer/listing.h"

namespace {

constexpr int tree_file_count = 2000;
constexpr size_t tree_bytes = 500u * 1000 * 1000;
constexpr int listing_records = 50000;
constexpr int files_per_folder = 500;

void make_required_entries(const std::string& root)
{
    for (const char* folder :
         {"All/Aircraft", "All/Airfoils", "All/Instructions", "All/Output", "All/Weapons", "All/Custom Scenery",
          "All/Resources/plugins", "All/Resources/default scenery/820 world terrain", "All/Resources/menus/English",
          "All/Resources/text/English", "Macintosh", "Windows", "Linux Generic x86", "Linux Pentium 3",
          "Linux Athlon XP"})
        std::filesystem::create_directories(root + "/" + folder);
    std::ofstream(root + "/All/Resources/menus/English/Veltrix.txt") << "menus\n";
    std::ofstream(root + "/All/Resources/text/English/Veltrix.txt") << "texts\n";
}

int bench_builder(const std::string& base)
{
    const std::string tree = base + "/tree";
    make_required_entries(tree);
    const size_t average = tree_bytes / tree_file_count;
    size_t total = 0;
    for (int i = 0; i < tree_file_count; ++i) {
        const std::string folder = tree + "/All/Aircraft/set " + std::to_string(i / files_per_folder);
        if (i % files_per_folder == 0)
            std::filesystem::create_directories(folder);
        // Sizes from 2% to 198% of the average, so the mean stays at 250 KB.
        const size_t length = average / 50 + (size_t(i) * 7919 % 97) * average / 49;
        bench::write_generated_file(folder + "/file " + std::to_string(i) + ".dat", length, uint64_t(i));
        total += length;
    }
    bench::run_command("find " + bench::quoted(tree) + " -type f -print0 | xargs -0 cat > /dev/null");

    const std::string out = base + "/out";
    std::filesystem::create_directories(out);
    char self[4096] = {};
    const ssize_t got = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string bin =
        got > 0 ? std::filesystem::path(std::string(self, size_t(got))).parent_path().string() : ".";
    const bench::child_run ours =
        bench::run_command(bench::quoted(bin + "/veltrix-release-builder") + " " + bench::quoted(tree + "/") + " " +
                           bench::quoted(out + "/") + " > /dev/null 2>&1");

    const std::string peer_out = base + "/peer";
    std::filesystem::create_directories(peer_out);
    const bench::child_run peer = bench::run_command(
        "cd " + bench::quoted(tree) + " && find . -type f | { n=0; while IFS= read -r f; do n=$((n+1)); zip -qX " +
        bench::quoted(peer_out) +
        "/$n.zip \"$f\" || exit 1; done; } && find . -type f -print0 | xargs -0 md5sum "
        "> /dev/null");
    if (ours.status != 0 || peer.status != 0) {
        std::fprintf(stderr, "builder_bench: a build failed (ours %d, peer %d)\n", ours.status, peer.status);
        return 1;
    }
    std::printf("release builder 2000 files / 500 MB: %.1f MB/s (%.2fx zip+md5sum)\n", total / 1e6 / ours.seconds,
                peer.seconds / ours.seconds);
    std::filesystem::remove_all(tree);
    std::filesystem::remove_all(out);
    std::filesystem::remove_all(peer_out);
    return 0;
}

int bench_listing(const std::string& base)
{
    const std::string install = base + "/install/";
    std::string listing = "A\n840 version\nINSTALLER\n\n";
    std::string content(1500, '\0');
    for (int i = 0; i < listing_records; ++i) {
        const std::string folder = "Resources/part " + std::to_string(i / files_per_folder) + "/";
        if (i % files_per_folder == 0) {
            std::filesystem::create_directories(install + folder);
            listing += "\nDIR All/" + folder + "\n";
        }
        const std::string name = "file " + std::to_string(i) + ".txt";
        content.resize(200 + size_t(i) * 131 % 2000);
        bench::fill_bytes(content.data(), content.size(), uint64_t(i));
        std::ofstream(install + folder + name, std::ios::binary).write(content.data(), std::streamsize(content.size()));
        listing += "FILE 0 0 85008 1 2 " + md5_of_bytes(content.data(), content.size()) + " " + name + "\n";
    }
    const std::string listing_path = base + "/directory.txt";
    std::ofstream(listing_path, std::ios::binary) << listing;
    bench::run_command("find " + bench::quoted(install) + " -type f -print0 | xargs -0 cat > /dev/null");

    const bench::child_run ours = bench::run_self({"--read-listing", install, listing_path});
    const bench::child_run peer =
        bench::run_command("find " + bench::quoted(install) + " -type f -print0 | xargs -0 md5sum > /dev/null");
    if (ours.status != 0) {
        std::fprintf(stderr, "builder_bench: read_directory failed (%d)\n", ours.status);
        return 1;
    }
    std::printf("read_directory 50000 records, files present: %.0f records/s (%.2fx md5sum)\n",
                listing_records / ours.seconds, peer.seconds / ours.seconds);
    return 0;
}

// Our side of the listing comparison: 0 when every record was read and found in place.
int read_listing(const std::string& install, const std::string& listing_path)
{
    set_stg_defaults();
    dest_dir_path = install;
    // As in the installer, whose start-up starts the pool the disk examination signs on.
    THREAD_init();
    const int state = read_directory(listing_path, "bench");
    THREAD_shutdown();
    if (state != LISTING_READ || int(sim_info.size()) != listing_records)
        return 1;
    for (const file_history_struct& h : sim_info)
        if (!h.back().have_it)
            return 2;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--read-listing")
        return read_listing(argv[2], argv[3]);
    bench::temp_folder dir("builder-bench");
    if (dir.path.empty())
        return 1;
    if (bench_builder(dir.path) != 0)
        return 1;
    return bench_listing(dir.path);
}
