// fake_clock: a hand-stepped time source for tests of anything that reads `xtim`.
// While a FakeClock lives, plat::monotonic_microseconds returns its reading; it starts at the
// real reading so that xtim_class::microsecs (whose origin may already be fixed) never wraps.
// A step per read makes time pass by itself, for code that polls the clock in a loop.
// Invariant: one FakeClock at a time; the destructor restores the real clock.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/clock.h"

class FakeClock {
public:
    FakeClock()
    {
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
