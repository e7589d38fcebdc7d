#pragma once
// Frames of a polled download under a FakeClock: time moves 20 ms a frame, but only while the
// slot has no transfer in flight, so a running transfer never sees a stall and a stream waiting
// out its pause after a failure sees its seconds pass in frames.

#include <functional>

#include "core/clock.h"
#include "net/http.h"
#include "support/fake_clock.h"

namespace test {

constexpr double IDLE_FRAME_SECONDS = 0.02;

// Runs `frame` once a frame until `seconds` of the slot's idle time have passed; the slot is idle
// again when it returns.
inline void run_idle_frames(FakeClock& clock, int slot, double seconds, const std::function<void()>& frame)
{
    for (double t = 0; t < seconds; xtim.advance_frame(0, 0)) {
        frame();
        if (http.slots[slot] == nullptr) {
            clock.advance_seconds(IDLE_FRAME_SECONDS);
            t += IDLE_FRAME_SECONDS;
        }
    }
}

}  // namespace test
