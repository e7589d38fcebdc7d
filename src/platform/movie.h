// movie: QuickTime movie files written with libavformat and libavcodec, for the graphics layer's
// screen recorder. One video track with time scale 600, Motion JPEG ('jpeg') at a fixed quantiser;
// each frame added becomes one sample lasting the duration given, in 1/600 s.
// Invariant: a writer either has a movie open (recording) or holds nothing; every failure leaves it
// holding nothing, with the step it failed in and the libav error code (negative) to report. A movie
// file left behind always plays: one that cannot be finished is removed.
#pragma once

#include <memory>
#include <string>

namespace plat {

// Units per second of the track's time scale, and so of every duration.
constexpr int MOVIE_TIME_SCALE = 600;

// The step of a recording a failure belongs to; the recorder words its alert after it.
enum class movie_step {
    none,
    create_file,       // the file cannot be made: a path that cannot be looked at, the muxer, the open
    begin_edits,       // the track cannot be started (its stream, the file header)
    compress_begin,    // the encoder cannot be opened
    compression_size,  // the picture buffers and converter cannot be had
    compress_frame,    // a frame cannot be encoded
    add_sample,        // a sample cannot be written
    end_edits,         // the encoder cannot be flushed
    add_resource,      // the movie cannot be finished (trailer)
};

struct movie_status {
    movie_step failed = movie_step::none;
    int code = 0;       // a negative libav error (AVERROR), 0 without failure
    bool lost = false;  // the movie could not be finished, and its file was removed
    bool ok() const { return failed == movie_step::none; }
};

// True when the "mov" muxer and the Motion JPEG encoder are both there.
bool movie_available();

class movie_writer {
public:
    movie_writer();
    // Finishes a movie still open.
    ~movie_writer();
    movie_writer(const movie_writer&) = delete;
    movie_writer& operator=(const movie_writer&) = delete;

    // Opens a new movie of width x height at the full POSIX path, replacing any file there.
    // A failure leaves no file of ours behind.
    [[nodiscard]] movie_status create(const std::string& path, int width, int height);
    // Encodes one frame of ARGB rows (top row first, width x 4 bytes each) and writes it as the next
    // sample. A failure finishes the movie with the samples written before; when that cannot be done
    // either, the failure is the frame's, marked lost.
    [[nodiscard]] movie_status add(const unsigned char* argb, int duration);
    // Writes what remains and the index, and closes the file; a failure removes the file (lost).
    [[nodiscard]] movie_status finish();
    bool recording() const { return open_ != nullptr; }

private:
    struct open_movie;
    std::unique_ptr<open_movie> open_;
};

}
