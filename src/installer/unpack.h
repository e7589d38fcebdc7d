// unpack: the heavy part of installing one downloaded archive (its names checked, then every
// entry extracted with its CRC checked as it is written) as work for a worker of the core thread
// pool, so that the screen goes on drawing while a large file is written. The engine takes the
// results back on the main thread in the order it handed the archives in, and only there is
// anything logged, alerted or retried: the user sees everything in the same order as before.
// Without a running pool the work is done at once, on the calling thread.
// Invariant: the work raises no alert and writes no log line; what extraction logs is kept in
// the result. Main thread only.
#pragma once

#include <string>

struct unpack_result {
    int damage = 0;   // archive_damage's answer: when not 0, nothing was extracted
    int error = 0;    // zip_to_file's answer
    std::string log;  // the lines the extraction logged, for the main thread to write
};

// Hands in the archive of a stream: its names are checked against leaf, then it is extracted
// into folder (both paths normalised already). A stream has at most one archive in hand.
void unpack_start(int stream, const std::string& archive, const std::string& leaf, const std::string& folder);

// Whether the stream's archive is handed in and its result not yet taken.
[[nodiscard]] bool unpack_pending(int stream);
// Whether any archive is.
[[nodiscard]] bool unpack_any_pending();

// Takes the stream's result when its archive is the oldest one handed in and its work has
// ended: true with *result filled. False while it waits on the work or on an older archive.
[[nodiscard]] bool unpack_take(int stream, unpack_result* result);

// Waits for the work of every archive in hand and drops the results (before the engine starts
// another install, or ends one early).
void unpack_wait_all();
