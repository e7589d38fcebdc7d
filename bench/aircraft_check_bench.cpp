// Clearing and checking one full aircraft design (8 engines and propulsors, all 48 wings fitted, so every
// test of the design check runs to its end), against copying the same record, which moves the same memory.
#include <chrono>
#include <cstdio>

#include "aircraft/veh.h"
#include "bench_files.h"
#include "core/alert.h"
#include "core/hooks.h"
#include "support/aircraft_design.h"

namespace {

constexpr int ROUNDS = 2000;
int alerts_seen = 0;

void count_alert(int, const std::string&, const std::string&, const std::string&, const std::string&, int, const char*,
                 int)
{
    ++alerts_seen;
}

}  // namespace

int main()
{
    core_set_hooks({.alert = count_alert});
    size_aircraft_lists(1);

    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < ROUNDS; ++i) {
        test::good_design(0, ENGINE_COUNT, FIRST_BODY_PART - 1);  // clear_veh, clear_flt, then the fields
        veh[0].check_veh(0);
    }
    const double checked = bench::seconds_since(start) / ROUNDS;
    if (alerts_seen != 0) {
        std::fprintf(stderr, "aircraft_check_bench: the full design failed the check\n");
        return 1;
    }

    veh_class copy;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < ROUNDS; ++i) {
        copy = veh[0];
        asm volatile("" : : "r"(&copy) : "memory");  // keep every copy
    }
    const double copied = bench::seconds_since(start) / ROUNDS;

    std::printf("aircraft clear_veh + check_veh, full design: %.1f us (%.2fx one copy of the record)\n", checked * 1e6,
                checked / copied);
    return 0;
}
