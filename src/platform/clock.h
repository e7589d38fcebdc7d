// clock: the monotonic microsecond counter behind the program's clock record `xtim`.
// Callers: xtim_class::microsecs (core). Tests replace the source to drive time by hand.
// Invariant: the real source never runs backwards; a replaced source is the test's business.
#pragma once

#include <cstdint>

namespace plat {

// A source of microseconds. The real one reads CLOCK_MONOTONIC.
using TimeSource = uint64_t (*)();

// Replaces the source for the whole process; null restores CLOCK_MONOTONIC.
// Safe to call while other threads read the clock.
void set_time_source(TimeSource source);

// Microseconds from the current source.
uint64_t monotonic_microseconds();

}
