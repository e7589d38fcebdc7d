// clock: the program's one clock record `xtim`, seconds since the first frame plus the
// period flags and adaptive frame periods that the frame procedure keeps once per frame.
// Everything that measures time (download stall, transfer rates, auto-repeat) reads `xtim`,
// never the operating system. Written on the main thread only; other threads may read it.
#pragma once

#include <cstdint>
#include <string>

// Periods, in seconds, of the ten flags tick_10s .. tick_0_01s, in field order.
constexpr int XTIM_PERIOD_COUNT = 10;

class xtim_class {
public:
    int frame_flag;           // cleared by the frame procedure after the application's update
    float _prd_FM;            // adaptive frame period of the main screen (preference "_prd_FM")
    float _prd_UI;            // adaptive frame period of the interface (preference "_prd_UI")
    float rat_FM;             // last ratio of real frame time to _prd_FM, 0.5 .. 1.5
    float rat_UI;             // the same for _prd_UI
    float elapsed;            // seconds since the first frame
    float day_seconds_sun;    // seconds of the day, first (16:00:00); no reader here
    float day_seconds_local;  // seconds of the day, second (08:00:00); no reader here
    float time_step;          // 0.05; no reader here
    int day_of_year;          // 0 = 1 January
    int tick_10s, tick_5s, tick_2s, tick_1s, tick_0_5s;
    int tick_0_2s, tick_0_1s, tick_0_05s, tick_0_025s, tick_0_01s;

    xtim_class();

    // Microseconds since the first call in the process; the first call returns 0.
    static uint64_t microsecs();
    // Microseconds since *previous (or since the last null-argument call), modulo 2^32;
    // *previous becomes the current reading.
    static uint32_t del_time(uint64_t* previous);

    // Month (0 = January) and day (from 1) of day_of_year; no leap day.
    void current_month_day(int* month, int* day) const;
    static void xtim_hrs_min_sec(float seconds, float* hours, float* minutes, float* secs);
    // Simulation speed factor from the window record's speed setting.
    float speed_rat() const;
    void xtim_update() { }
    void profile_chart(std::string label, int value) { }

    // Frame procedure, step one: decide the period flags on the previous frame's clock.
    void raise_period_flags();
    // Frame procedure, after the events: advance `elapsed` from microsecs() and adapt the
    // two frame periods. `current_window` is mnw's window id; `second_monitor` its flag.
    void advance_frame(int current_window, int second_monitor);

private:
    // State of the frame procedure that the record keeps between frames.
    float period_last[XTIM_PERIOD_COUNT];  // clock at which each period last ended
    int frames_started;                    // 0 until the first advance_frame
    double start_seconds;                  // microsecs() / 10^6 at the first frame
    int count_FM, count_UI;                // frames counted by each adaptation loop
    float last_time_FM, last_time_UI;      // clock at the last measurement of each loop
};

extern xtim_class xtim;

// Profiling hooks; empty in this program.
inline void UTL_profiler_init() { }
inline void UTL_profiler_start(const char* name) { }
inline void UTL_profiler_stop() { }
