#include "platform/clock.h"

#include <atomic>
#include <ctime>

namespace plat {

namespace {

constexpr uint64_t MICROSECONDS_PER_SECOND = 1000000;
constexpr uint64_t NANOSECONDS_PER_MICROSECOND = 1000;

uint64_t read_monotonic()
{
    timespec now{};
    // CLOCK_MONOTONIC cannot fail with a valid clock id and pointer.
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * MICROSECONDS_PER_SECOND +
        static_cast<uint64_t>(now.tv_nsec) / NANOSECONDS_PER_MICROSECOND;
}

std::atomic<TimeSource> current_source{nullptr};

}

void set_time_source(TimeSource source)
{
    current_source.store(source, std::memory_order_release);
}

uint64_t monotonic_microseconds()
{
    TimeSource source = current_source.load(std::memory_order_acquire);
    return source ? source() : read_monotonic();
}

}
