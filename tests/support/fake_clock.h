// fake_clock: a hand-stepped time source for tests of anything that reads `xtim`.
// While a FakeClock lives, plat::monotonic_microseconds returns its reading; it starts at the
// real reading so that xtim_class::microsecs (whose origin may already be fixed) never wraps.
// Invariant: one FakeClock at a time; the destructor restores the real clock.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/clock.h"

class FakeClock {
public:
    FakeClock()
    {
        now_value().store(plat::monotonic_microseconds());
        plat::set_time_source(&read);
    }
    ~FakeClock() { plat::set_time_source(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void advance_microseconds(uint64_t us) { now_value().fetch_add(us); }
    void advance_seconds(double s) { advance_microseconds(static_cast<uint64_t>(s * 1e6 + 0.5)); }

private:
    static std::atomic<uint64_t>& now_value()
    {
        static std::atomic<uint64_t> value{0};
        return value;
    }
    static uint64_t read() { return now_value().load(); }
};
