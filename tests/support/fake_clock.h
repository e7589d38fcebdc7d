// fake_clock: a hand-stepped time source for tests of anything that reads `xtim`.
// While a FakeClock lives, plat::monotonic_microseconds returns its reading.
// A step per read makes time pass by itself, for code that polls the clock in a loop.
// Invariant: one FakeClock at a time; the destructor restores the real clock.
//
// xtim_class::microsecs fixes its origin once per process, at its first reading, and reads 0 below
// it. A hand-stepped clock runs ahead of the real one, so the origin is fixed on the real clock
// before the first FakeClock takes over, and each FakeClock starts at the real reading: neither
// the real readings of later tests nor a later FakeClock then fall below it.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/clock.h"
#include "platform/clock.h"

class FakeClock {
public:
    FakeClock()
    {
        (void)xtim_class::microsecs();
        step_value().store(0);
        now_value().store(plat::monotonic_microseconds());
        plat::set_time_source(&read);
    }
    ~FakeClock() { plat::set_time_source(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void advance_microseconds(uint64_t us) { now_value().fetch_add(us); }
    void advance_seconds(double s) { advance_microseconds(static_cast<uint64_t>(s * 1e6 + 0.5)); }
    // Every later read moves the clock on by `us` first (0 stops it again).
    void step_every_read(uint64_t us) { step_value().store(us); }

private:
    static std::atomic<uint64_t>& now_value()
    {
        static std::atomic<uint64_t> value{0};
        return value;
    }
    static std::atomic<uint64_t>& step_value()
    {
        static std::atomic<uint64_t> value{0};
        return value;
    }
    static uint64_t read()
    {
        const uint64_t step = step_value().load();
        return now_value().fetch_add(step) + step;
    }
};
