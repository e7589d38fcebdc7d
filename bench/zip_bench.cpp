// zip_to_file against Debian's unzip in the same run, whole process against whole process: 1,000
// small archives and one 200 MB archive, with the peak memory of each side.
//   zip_bench                           runs the comparison
//   zip_bench --extract FOLDER ZIP...   extracts each archive into the folder (our side)
#include <cstdio>
#include <string>
#include <vector>

#include "bench_files.h"
#include "core/zip.h"

namespace {

constexpr int small_archive_count = 1000;
constexpr size_t big_length = 200u * 1000 * 1000;

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::string(argv[1]) == "--extract") {
        for (int i = 3; i < argc; ++i)
            if (zip_to_file(argv[i], argv[2], nullptr, 0) != 0)
                return 1;
        return 0;
    }
    bench::temp_folder dir("zip-bench");
    if (dir.path.empty())
        return 1;
    const std::string src = dir.path + "/src";
    std::filesystem::create_directories(src);

    // The archives are made by the packer the release builder uses.
    std::vector<std::string> archives;
    for (int i = 0; i < small_archive_count; ++i) {
        const std::string file = src + "/file" + std::to_string(i) + ".dat";
        bench::write_generated_file(file, 1000 + size_t(i * 7919) % 30000, uint64_t(i));
        archives.push_back(dir.path + "/small" + std::to_string(i) + ".zip");
        if (file_to_zip(file, archives.back()) != 0) {
            std::fprintf(stderr, "zip_bench: could not pack %s\n", file.c_str());
            return 1;
        }
    }
    const std::string big_file = src + "/big.dat";
    const std::string big_zip = dir.path + "/big.zip";
    bench::write_generated_file(big_file, big_length, 99);
    if (file_to_zip(big_file, big_zip) != 0)
        return 1;
    std::filesystem::remove_all(src);

    const std::string ours_dir = dir.path + "/ours/";
    const std::string peer_dir = dir.path + "/peer/";
    std::filesystem::create_directories(ours_dir);
    std::filesystem::create_directories(peer_dir);

    std::vector<std::string> extract = {"--extract", ours_dir};
    extract.insert(extract.end(), archives.begin(), archives.end());
    const bench::child_run ours_small = bench::run_self(extract);
    std::string command = "cd " + bench::quoted(peer_dir) + " && for f in " + bench::quoted(dir.path) +
        "/small*.zip; do unzip -qo \"$f\" || exit 1; done";
    const bench::child_run peer_small = bench::run_command(command);
    if (ours_small.status != 0 || peer_small.status != 0) {
        std::fprintf(stderr, "zip_bench: extracting the small archives failed\n");
        return 1;
    }
    std::printf("zip_to_file 1000 small archives: %.0f archives/s (%.2fx unzip)\n",
                small_archive_count / ours_small.seconds, peer_small.seconds / ours_small.seconds);

    const bench::child_run ours_big = bench::run_self({"--extract", ours_dir, big_zip});
    const bench::child_run peer_big =
        bench::run_command("cd " + bench::quoted(peer_dir) + " && unzip -qo " + bench::quoted(big_zip));
    if (ours_big.status != 0 || peer_big.status != 0) {
        std::fprintf(stderr, "zip_bench: extracting the 200 MB archive failed\n");
        return 1;
    }
    if (bench::run_command("cmp -s " + bench::quoted(ours_dir + "big.dat") + " " + bench::quoted(peer_dir + "big.dat"))
            .status != 0) {
        std::fprintf(stderr, "zip_bench: the two extractions differ\n");
        return 1;
    }
    std::printf("zip_to_file 200 MB archive: %.0f MB/s (%.2fx unzip)\n", big_length / 1e6 / ours_big.seconds,
                peer_big.seconds / ours_big.seconds);
    std::printf("zip_to_file 200 MB archive peak memory: %.0f MB (%.2fx unzip)\n", ours_big.peak_kb / 1000.0,
                double(ours_big.peak_kb) / double(peer_big.peak_kb > 0 ? peer_big.peak_kb : 1));
    return 0;
}
