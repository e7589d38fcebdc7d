// qtim: the movie recorder. While it records, the frame loop calls mov_addframe after every buffer
// swap: the frame is copied into capture texture 379, drawn scaled to the movie size, read back small
// and, at most `fps` times a second, written as one sample lasting the real time since the last one.
// Takes go to "Veltrix movie take-N.mov" beside the program; qtim_wind draws the settings window.
// Main thread only. Invariant: `recording` is 1 exactly while a movie file is open.
#pragma once

#include <cstdint>
#include <string>

class qtim_class {
public:
    qtim_class();
    ~qtim_class();
    qtim_class(const qtim_class&) = delete;
    qtim_class& operator=(const qtim_class&) = delete;

    // Starts a recording, or stops one that has more than two samples; nothing without a movie writer.
    void mov_toggle();
    void mov_addframe();
    void qtim_wind();

    int32_t qt_available;  // the movie writer is there
    int32_t recording;
    int32_t frames;  // samples of the current movie
    int32_t movie_dx;
    int32_t movie_dy;  // follows the screen's shape when a recording starts
    float fps;
};

extern qtim_class qtim;

void mov_startrecord();
void mov_stoprecord();
// A failure of the movie writer: the three lines, and the error number with its sign.
void mov_alert(const std::string& line1, const std::string& line2, const char* line3, int error);

// Capture texture and the side of the square it is.
constexpr int QTIM_CAPTURE_TEX = 379;
constexpr int QTIM_CAPTURE_SIDE = 1024;
