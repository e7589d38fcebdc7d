// One old aircraft file (647 KB, big-endian words, so every word is reversed) read end to end: mapped, its
// header checked, copied, reversed and converted into a cleared entry. Against it, a plain memcpy of the same
// bytes in the same run: the least any reader must do with them.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "aircraft/old_files.h"
#include "aircraft/veh.h"
#include "bench_files.h"
#include "support/file_bytes.h"
#include "support/old_files.h"

namespace {

constexpr int ROUNDS = 200;

}  // namespace

int main()
{
    bench::temp_folder folder("old-aircraft");
    const std::string path = folder.path + "/plane.acf";
    test::old_record plane(OLD_VEH_BYTES, test::byte_order::big);
    plane.tag_words(test::OLD_AIRCRAFT_TEXTS);
    plane.put_int(9508, 2);
    plane.write(path, 740);
    size_aircraft_lists(1);

    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < ROUNDS; ++i) {
        if (test::read_old_aircraft(path, 0) != 740) {
            std::fprintf(stderr, "old_aircraft_bench: the file was refused\n");
            return 1;
        }
    }
    const double converted = bench::seconds_since(start) / ROUNDS;

    const std::vector<uint8_t> bytes = test::read_file_bytes(path);
    std::vector<uint8_t> copy(bytes.size());
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < ROUNDS; ++i) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        asm volatile("" : : "r"(copy.data()) : "memory");  // keep every copy
    }
    const double copied = bench::seconds_since(start) / ROUNDS;

    std::printf("old aircraft file, 647 KB, read and converted: %.2f ms (%.1fx one memcpy of its bytes, %.1f us)\n",
                converted * 1e3, converted / copied, copied * 1e6);
    return 0;
}
