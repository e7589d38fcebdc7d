// MD5 file signatures against md5sum in the same run: one 1 GiB file, a tree of
// 20,000 small files, and a sparse file past 4 GiB whose digest must agree.
#include <cstdio>
#include <string>
#include <vector>

#include "bench_files.h"
#include "core/md5.h"

namespace {

constexpr size_t gib = size_t(1) << 30;
constexpr int small_file_count = 20000;

std::string md5sum_digest(const std::string& path)
{
    std::string out;
    if (FILE* pipe = popen(("md5sum " + bench::quoted(path)).c_str(), "r")) {
        char buffer[64] = {};
        if (std::fgets(buffer, sizeof(buffer), pipe))
            out.assign(buffer, 32);
        pclose(pipe);
    }
    return out;
}

// Signs one file in this process and gives the seconds it took.
double time_calc(const std::string& path, std::string* digest)
{
    const auto start = std::chrono::steady_clock::now();
    std::string sig;
    calc_file_md5(path, sig);
    if (digest)
        *digest = sig;
    return bench::seconds_since(start);
}

}  // namespace

int main()
{
    bench::temp_folder dir("md5-bench");
    if (dir.path.empty())
        return 1;

    // One large file; both tools read it once beforehand so each finds it cached.
    const std::string big = dir.path + "/big.bin";
    bench::write_generated_file(big, gib, 1);
    bench::run_command("cat " + bench::quoted(big) + " > /dev/null");
    std::string ours;
    const double ours_big = time_calc(big, &ours);
    const bench::child_run peer_big = bench::run_command("md5sum " + bench::quoted(big) + " > /dev/null");
    if (ours != md5sum_digest(big)) {
        std::fprintf(stderr, "md5_bench: digest of the 1 GiB file differs from md5sum\n");
        return 1;
    }
    const double mb = double(gib) / 1e6;
    std::printf("md5 1 GiB file: %.0f MB/s (%.2fx md5sum)\n", mb / ours_big, peer_big.seconds / ours_big);
    std::remove(big.c_str());

    // Many small files, 500 B to 20 KB.
    std::vector<std::string> files;
    files.reserve(small_file_count);
    for (int i = 0; i < small_file_count; ++i) {
        const std::string folder = dir.path + "/tree/" + std::to_string(i / 500);
        if (i % 500 == 0)
            std::filesystem::create_directories(folder);
        files.push_back(folder + "/f" + std::to_string(i) + ".dat");
        bench::write_generated_file(files.back(), 500 + size_t(i * 7919) % 20000, uint64_t(i));
    }
    bench::run_command("find " + bench::quoted(dir.path + "/tree") + " -type f -print0 | xargs -0 cat > /dev/null");
    auto start = std::chrono::steady_clock::now();
    std::string sig;
    for (const std::string& f : files)
        calc_file_md5(f, sig);
    const double ours_small = bench::seconds_since(start);
    const bench::child_run peer_small = bench::run_command("find " + bench::quoted(dir.path + "/tree") +
                                                           " -type f -print0 | xargs -0 md5sum > /dev/null");
    std::printf("md5 20000 small files: %.0f files/s (%.2fx md5sum)\n", small_file_count / ours_small,
                peer_small.seconds / ours_small);
    std::filesystem::remove_all(dir.path + "/tree");

    // Past 4 GiB the mapping's length no longer fits 32 bits; the pieces must carry it.
    const std::string sparse = dir.path + "/sparse.bin";
    const size_t sparse_length = 4 * gib + 123457;
    if (FILE* out = std::fopen(sparse.c_str(), "wb")) {
        std::fseek(out, long(sparse_length - 5), SEEK_SET);
        std::fwrite("tail!", 1, 5, out);
        std::fclose(out);
    }
    // As for the other files, both tools find it cached: otherwise the first
    // reader alone pays for filling the page cache with the holes' zeros.
    bench::run_command("cat " + bench::quoted(sparse) + " > /dev/null");
    const double ours_sparse = time_calc(sparse, &ours);
    const bench::child_run peer_sparse = bench::run_command("md5sum " + bench::quoted(sparse) + " > /dev/null");
    if (ours != md5sum_digest(sparse)) {
        std::fprintf(stderr, "md5_bench: digest of the 4 GiB sparse file differs from md5sum\n");
        return 1;
    }
    std::printf("md5 4 GiB sparse file: %.0f MB/s (%.2fx md5sum)\n", double(sparse_length) / 1e6 / ours_sparse,
                peer_sparse.seconds / ours_sparse);
    return 0;
}
