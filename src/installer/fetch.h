// fetch: one download stream of the installer (the server list, the listing, each engine
// stream), a net_check on its HTTP slot with what the installer adds around it:
// - pacing: after a failure the stream waits 1 s before it tries again, twice as long after each
//   further failure up to 30 s, and not at all once a download succeeded, so that an installer
//   left offline neither floods the servers nor fills the log and the processor;
// - its download lands on a fixed name of the private temporary folder, which is cleared of
//   whatever stands there (even a folder) before a transfer starts;
// - a download that fails because the temporary folder is full or cannot be written is told to
//   the user, once until a download succeeds again, instead of passing for a network failure.
// Main thread only; the clock is xtim.
#pragma once

#include <string>

// Seconds a stream waits after its first failure, and the most it ever waits.
constexpr float FETCH_FIRST_PAUSE = 1.0f;
constexpr float FETCH_LONGEST_PAUSE = 30.0f;

// fetch_step's answer while the stream waits out its pause (next to NET_RUNNING, NET_DONE and
// NET_FAILED): no transfer is running.
constexpr int FETCH_PAUSED = -1;

// The pause of one stream; the about box's version check keeps one too.
struct fetch_pacing {
    float pause = 0;     // seconds waited after the last failure; 0 after a success
    float next_try = 0;  // clock (xtim.elapsed) from which the stream may try again

    [[nodiscard]] bool ready() const;
    void failed();
    void succeeded() { *this = fetch_pacing{}; }
};

// One step of the stream: FETCH_PAUSED, or net_check's result for the slot. A failure starts or
// lengthens the pause, a success ends it.
[[nodiscard]] int fetch_step(int slot, fetch_pacing& pacing, const std::string& server, const std::string& path,
                             const std::string& dest);

// The errno with which the last download into the temporary folder failed there (full,
// unwritable), 0 once a download succeeded after it.
[[nodiscard]] int temp_folder_error();
