// MD5 file signatures against md5sum in the same run, whole process against whole process: one
// 1 GiB file, a tree of 20,000 small files, and a sparse file past 4 GiB whose digest must agree.
//   md5_bench                    runs the comparison
//   md5_bench --sign PATH...     signs each file or every file below each folder (our side)
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

// Our side of a comparison: signs the files and every file below the folders named.
int sign_paths(int count, char** paths)
{
    std::string sig;
    for (int i = 0; i < count; ++i) {
        if (!std::filesystem::is_directory(paths[i])) {
            if (calc_file_md5(paths[i], sig) != 0)
                return 1;
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(paths[i]))
            if (entry.is_regular_file() && calc_file_md5(entry.path().string(), sig) != 0)
                return 1;
    }
    return 0;
}

// Our digest of a file, untimed, for the check against md5sum.
std::string our_digest(const std::string& path)
{
    std::string sig;
    if (calc_file_md5(path, sig) != 0)
        return "unreadable";  // never a digest md5sum gives
    return sig;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--sign")
        return sign_paths(argc - 2, argv + 2);
    bench::temp_folder dir("md5-bench");
    if (dir.path.empty())
        return 1;

    // One large file; both tools read it once beforehand so each finds it cached.
    const std::string big = dir.path + "/big.bin";
    bench::write_generated_file(big, gib, 1);
    bench::run_command("cat " + bench::quoted(big) + " > /dev/null");
    const double ours_big = bench::run_self({"--sign", big}).seconds;
    const bench::child_run peer_big = bench::run_command("md5sum " + bench::quoted(big) + " > /dev/null");
    if (our_digest(big) != md5sum_digest(big)) {
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
    const double ours_small = bench::run_self({"--sign", dir.path + "/tree"}).seconds;
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
    const double ours_sparse = bench::run_self({"--sign", sparse}).seconds;
    const bench::child_run peer_sparse = bench::run_command("md5sum " + bench::quoted(sparse) + " > /dev/null");
    if (our_digest(sparse) != md5sum_digest(sparse)) {
        std::fprintf(stderr, "md5_bench: digest of the 4 GiB sparse file differs from md5sum\n");
        return 1;
    }
    std::printf("md5 4 GiB sparse file: %.0f MB/s (%.2fx md5sum)\n", double(sparse_length) / 1e6 / ours_sparse,
                peer_sparse.seconds / ours_sparse);
    return 0;
}
