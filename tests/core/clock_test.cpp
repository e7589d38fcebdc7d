// The clock record: microsecond counter, lap timer, calendar and time conversions, and the
// per-frame period flags and frame-period adaptation, driven by a hand-stepped time source.
#include "core/clock.h"

#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <vector>

#include "support/fake_clock.h"

namespace {

// Runs `frames` frames `step_us` apart the way the frame procedure does, returning for each
// frame the value of the flag chosen by `flag`.
std::vector<int> run_frames(FakeClock& clock, int frames, uint64_t step_us, int xtim_class::*flag)
{
    xtim_class t;
    std::vector<int> seen;
    for (int i = 0; i < frames; ++i) {
        t.raise_period_flags();
        seen.push_back(t.*flag);
        clock.advance_microseconds(step_us);
        t.advance_frame(0, 0);
    }
    return seen;
}

}

TEST(Clock, RealReadingsStartAtZeroAndCountMicroseconds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process: the first-reading origin is fixed by this call.
    EXPECT_EXIT(_exit(xtim_class::microsecs() == 0 ? 0 : 1), testing::ExitedWithCode(0), "");

    const uint64_t previous = xtim_class::microsecs();
    timespec pause{0, 50 * 1000 * 1000};
    while (nanosleep(&pause, &pause) != 0) { }
    // nanosleep never returns early, so 50 ms must read as at least 50,000 microseconds.
    EXPECT_GE(xtim_class::microsecs() - previous, 50000u);
}

TEST(Clock, LapTimerAndElapsedTimeOnAHandSteppedClock)
{
    FakeClock clock;
    uint64_t lap = xtim_class::microsecs();
    EXPECT_EQ(xtim_class::del_time(&lap), 0u);
    clock.advance_microseconds(1234);
    EXPECT_EQ(xtim_class::del_time(&lap), 1234u);
    // Only the low 32 bits take part, so a lap of 2^32 + 5 microseconds reads as 5.
    clock.advance_microseconds((uint64_t(1) << 32) + 5);
    EXPECT_EQ(xtim_class::del_time(&lap), 5u);
    // Null shares one remembered reading between callers.
    (void)xtim_class::del_time(nullptr);
    clock.advance_microseconds(777);
    EXPECT_EQ(xtim_class::del_time(nullptr), 777u);
    EXPECT_EQ(xtim_class::del_time(nullptr), 0u);

    // Elapsed time counts from the first frame, however long the process ran before.
    clock.advance_seconds(100.0);
    xtim_class t;
    t.advance_frame(0, 0);
    EXPECT_EQ(t.elapsed, 0.0f);
    clock.advance_seconds(2.5);
    t.advance_frame(0, 0);
    EXPECT_FLOAT_EQ(t.elapsed, 2.5f);
}

TEST(Clock, CalendarAndTimeOfDayConversions)
{
    xtim_class t;
    const int days[][3] = {{0, 0, 1},     {30, 0, 31},   {31, 1, 1},     {59, 2, 1}, {90, 3, 1},
                           {364, 11, 31}, {365, 11, 31}, {5000, 11, 31}, {-7, 0, 1}};
    for (const auto& [day, month, day_of_month] : days) {
        t.day_of_year = day;
        int m = -1, d = -1;
        t.current_month_day(&m, &d);
        EXPECT_EQ(std::to_string(m) + "/" + std::to_string(d),
                  std::to_string(month) + "/" + std::to_string(day_of_month))
            << "day of year " << day;
    }

    const float times[][4] = {
        {125.5f, 0, 2, 5}, {59.9f, 0, 0, 59}, {7200.0f, 2, 0, 0}, {3725.0f, 1, 2, 5}, {86399.0f, 23, 59, 59}};
    for (const auto& [seconds, hours, minutes, secs] : times) {
        float h = -1, m = -1, s = -1;
        xtim_class::xtim_hrs_min_sec(seconds, &h, &m, &s);
        EXPECT_EQ(std::vector<float>({h, m, s}), std::vector<float>({hours, minutes, secs})) << seconds;
    }
}

TEST(Clock, PeriodFlagsRiseOnceInTheFrameEachPeriodEnds)
{
    FakeClock clock;
    // 16 ms frames: one second ends every 63 frames (62 x 16 ms is still below a second).
    std::vector<int> one_second = run_frames(clock, 700, 16000, &xtim_class::tick_1s);
    std::vector<int> raised;
    for (int i = 0; i < static_cast<int>(one_second.size()); ++i)
        if (one_second[i])
            raised.push_back(i);
    ASSERT_GE(raised.size(), 10u);
    for (size_t k = 1; k < raised.size(); ++k)
        EXPECT_EQ(raised[k] - raised[k - 1], 63) << "between rises " << k - 1 << " and " << k;

    // 50 ms frames are longer than the two shortest periods: their flags stand every frame from
    // frame 2 (frame 0 has no clock yet and frame 1 still reads the first frame's 0), while the
    // ten-second flag stays down for the first two seconds.
    const std::vector<int> standing = run_frames(clock, 40, 50000, &xtim_class::tick_0_01s);
    EXPECT_EQ(run_frames(clock, 40, 50000, &xtim_class::tick_0_025s), standing);
    EXPECT_EQ(std::vector<int>(standing.begin() + 2, standing.end()), std::vector<int>(38, 1));
    EXPECT_EQ(run_frames(clock, 40, 50000, &xtim_class::tick_10s), std::vector<int>(40, 0));
}

TEST(Clock, FramePeriodsAdaptToTheTenFrameMeanWithinTheirBounds)
{
    FakeClock clock;
    xtim_class t;
    t._prd_FM = 0.02f;
    t._prd_UI = 0.02f;
    // The first measured frame sees a last time of 0: the ratio clamps to 0.5, the periods move
    // by its fourth root.
    t.advance_frame(0, 0);
    EXPECT_FLOAT_EQ(t.rat_FM, 0.5f);
    EXPECT_NEAR(t._prd_FM, 0.0168179283, 1e-7);
    EXPECT_NEAR(t._prd_UI, 0.0168179283, 1e-7);
    // Ten frames of 25 ms: the mean frame time is 25 ms against the new period.
    for (int i = 0; i < 10; ++i) {
        clock.advance_microseconds(25000);
        t.advance_frame(0, 0);
    }
    EXPECT_NEAR(t.rat_FM, 1.48650889, 1e-4);
    EXPECT_NEAR(t._prd_FM, 0.0185701057, 1e-6);

    // A dialog box holds the interface period; a non-main window holds the main period...
    const float ui_before = t._prd_UI, fm_before = t._prd_FM;
    for (int i = 0; i < 30; ++i) {
        clock.advance_microseconds(90000);
        t.advance_frame(997, 0);
    }
    EXPECT_EQ(t._prd_UI, ui_before);
    EXPECT_EQ(t._prd_FM, fm_before);
    // ...unless a second monitor is in use.
    for (int i = 0; i < 30; ++i) {
        clock.advance_microseconds(90000);
        t.advance_frame(2, 1);
    }
    EXPECT_NE(t._prd_FM, fm_before);

    // Frames of a minute each push both periods to their ceilings; frames of no time to their floors.
    for (int i = 0; i < 400; ++i) {
        clock.advance_seconds(60.0);
        t.advance_frame(0, 0);
        ASSERT_LE(t.rat_FM, 1.5f);
    }
    EXPECT_EQ(std::vector<float>({t._prd_FM, t._prd_UI}), std::vector<float>({0.05f, 0.1f}));
    for (int i = 0; i < 4000; ++i) {
        t.advance_frame(0, 0);
        ASSERT_GE(t.rat_UI, 0.5f);
    }
    EXPECT_EQ(std::vector<float>({t._prd_FM, t._prd_UI}), std::vector<float>({0.0010000999f, 0.0001f}));

    // A period of zero (before start-up sets it) does not poison the record with NaN.
    xtim_class fresh;
    fresh.advance_frame(0, 0);
    EXPECT_EQ(fresh._prd_FM, 0.0010000999f);
    EXPECT_FALSE(std::isnan(fresh.rat_FM));
}
