// The clock record: microsecond counter, lap timer, calendar and time conversions, and the
// per-frame period flags and frame-period adaptation, driven by a hand-stepped time source.
#include "core/clock.h"

#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <vector>

#include "core/mnw.h"
#include "support/fake_clock.h"

namespace {

// Runs `frames` frames `step_us` apart the way the frame procedure does, returning for each
// frame the value of the flag chosen by `flag`.
std::vector<int> run_frames(xtim_class& t, FakeClock& clock, int frames, uint64_t step_us, int xtim_class::*flag)
{
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

TEST(Clock, FirstReadingOfTheProcessIsZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process: the first-reading origin is fixed by this call.
    EXPECT_EXIT(_exit(xtim_class::microsecs() == 0 ? 0 : 1), testing::ExitedWithCode(0), "");
}

TEST(Clock, RealReadingsNeverDecreaseAndCountMicroseconds)
{
    uint64_t previous = xtim_class::microsecs();
    for (int i = 0; i < 1000000; ++i) {
        uint64_t now = xtim_class::microsecs();
        ASSERT_GE(now, previous) << "reading " << i;
        previous = now;
    }
    uint64_t before = xtim_class::microsecs();
    timespec pause{0, 50 * 1000 * 1000};
    while (nanosleep(&pause, &pause) != 0) { }
    // nanosleep never returns early, so 50 ms must read as at least 50,000 microseconds.
    EXPECT_GE(xtim_class::microsecs() - before, 50000u);
}

TEST(Clock, LapTimerMeasuresFromThePreviousReading)
{
    FakeClock clock;
    uint64_t lap = xtim_class::microsecs();
    EXPECT_EQ(xtim_class::del_time(&lap), 0u);
    EXPECT_EQ(lap, xtim_class::microsecs());

    clock.advance_microseconds(1234);
    EXPECT_EQ(xtim_class::del_time(&lap), 1234u);
    EXPECT_EQ(lap, xtim_class::microsecs());

    // Only the low 32 bits take part, so a lap of 2^32 + 5 microseconds reads as 5.
    lap = xtim_class::microsecs();
    clock.advance_microseconds((uint64_t(1) << 32) + 5);
    EXPECT_EQ(xtim_class::del_time(&lap), 5u);

    // Null shares one remembered reading between callers.
    (void)xtim_class::del_time(nullptr);
    clock.advance_microseconds(777);
    EXPECT_EQ(xtim_class::del_time(nullptr), 777u);
    EXPECT_EQ(xtim_class::del_time(nullptr), 0u);
}

TEST(Clock, CalendarAndTimeOfDayConversions)
{
    xtim_class t;
    EXPECT_EQ(t.day_of_year, 90);
    struct Case {
        int day, month, day_of_month;
    };
    const Case cases[] = {{0, 0, 1},     {30, 0, 31},   {31, 1, 1},     {59, 2, 1}, {90, 3, 1},
                          {364, 11, 31}, {365, 11, 31}, {5000, 11, 31}, {-7, 0, 1}};
    for (const Case& c : cases) {
        t.day_of_year = c.day;
        int month = -1, day = -1;
        t.current_month_day(&month, &day);
        EXPECT_EQ(month, c.month) << "day of year " << c.day;
        EXPECT_EQ(day, c.day_of_month) << "day of year " << c.day;
    }

    struct Hms {
        float t, h, m, s;
    };
    const Hms times[] = {
        {125.5f, 0, 2, 5}, {59.9f, 0, 0, 59}, {7200.0f, 2, 0, 0}, {3725.0f, 1, 2, 5}, {86399.0f, 23, 59, 59}};
    for (const Hms& c : times) {
        float h = -1, m = -1, s = -1;
        xtim_class::xtim_hrs_min_sec(c.t, &h, &m, &s);
        EXPECT_EQ(h, c.h) << c.t;
        EXPECT_EQ(m, c.m) << c.t;
        EXPECT_EQ(s, c.s) << c.t;
    }
}

TEST(Clock, SpeedFactorFollowsTheSpeedSetting)
{
    xtim_class t;
    const float expected[] = {1.0f, 1.0f, -5.0f, -1.0f, -0.2f, 0.0f, 0.2f, 1.0f, 5.0f, 1.0f};
    for (int speed = 0; speed <= 9; ++speed) {
        mnw.speed = speed;
        EXPECT_FLOAT_EQ(t.speed_rat(), expected[speed]) << "speed " << speed;
    }
    mnw.speed = 0;
}

TEST(Clock, PeriodFlagsRiseOnceInTheFrameEachPeriodEnds)
{
    FakeClock clock;
    xtim_class t;

    // 16 ms frames: one second ends every 63 frames (62 x 16 ms is still below a second).
    std::vector<int> one_second = run_frames(t, clock, 700, 16000, &xtim_class::tick_1s);
    std::vector<int> raised;
    for (int i = 0; i < static_cast<int>(one_second.size()); ++i)
        if (one_second[i])
            raised.push_back(i);
    ASSERT_GE(raised.size(), 10u);
    for (size_t k = 1; k < raised.size(); ++k)
        EXPECT_EQ(raised[k] - raised[k - 1], 63) << "between rises " << k - 1 << " and " << k;

    // 50 ms frames are longer than the two shortest periods: their flags stand every frame.
    xtim_class slow;
    std::vector<int> hundredths = run_frames(slow, clock, 40, 50000, &xtim_class::tick_0_01s);
    xtim_class slow2;
    std::vector<int> quarter = run_frames(slow2, clock, 40, 50000, &xtim_class::tick_0_025s);
    // Frame 0 has no clock yet and frame 1 still reads the first frame's 0.
    for (int i = 2; i < 40; ++i) {
        EXPECT_EQ(hundredths[i], 1) << "frame " << i;
        EXPECT_EQ(quarter[i], 1) << "frame " << i;
    }
    // ...while the ten-second flag stays down for the first two seconds.
    xtim_class slow3;
    std::vector<int> ten = run_frames(slow3, clock, 40, 50000, &xtim_class::tick_10s);
    for (int v : ten)
        EXPECT_EQ(v, 0);
}

TEST(Clock, ElapsedStartsAtTheFirstFrame)
{
    FakeClock clock;
    clock.advance_seconds(100.0);
    xtim_class t;
    t.advance_frame(0, 0);
    EXPECT_EQ(t.elapsed, 0.0f);
    clock.advance_seconds(2.5);
    t.advance_frame(0, 0);
    EXPECT_FLOAT_EQ(t.elapsed, 2.5f);
}

TEST(Clock, FramePeriodsAdaptToTheTenFrameMean)
{
    FakeClock clock;
    xtim_class t;
    t._prd_FM = 0.02f;
    t._prd_UI = 0.02f;

    // The first measured frame sees a last time of 0: the ratio clamps to 0.5.
    t.advance_frame(0, 0);
    const float first = 0.02f * 0.8408964f;  // 0.5^0.25
    EXPECT_FLOAT_EQ(t.rat_FM, 0.5f);
    EXPECT_NEAR(t._prd_FM, first, 1e-7);
    EXPECT_NEAR(t._prd_UI, first, 1e-7);

    // Ten frames of 25 ms: the mean frame time is 25 ms against the new period.
    for (int i = 0; i < 10; ++i) {
        clock.advance_microseconds(25000);
        t.advance_frame(0, 0);
    }
    EXPECT_NEAR(t.rat_FM, 0.025f / first, 1e-4);
    EXPECT_NEAR(t._prd_FM, first * std::pow(0.025f / first, 0.25f), 1e-6);

    // A dialog box holds the interface period; a non-main window holds the main period.
    float ui_before = t._prd_UI;
    float fm_before = t._prd_FM;
    for (int i = 0; i < 30; ++i) {
        clock.advance_microseconds(90000);
        t.advance_frame(997, 0);
    }
    EXPECT_EQ(t._prd_UI, ui_before);
    EXPECT_EQ(t._prd_FM, fm_before);
    // With a second monitor the main period adapts in any window.
    for (int i = 0; i < 30; ++i) {
        clock.advance_microseconds(90000);
        t.advance_frame(2, 1);
    }
    EXPECT_NE(t._prd_FM, fm_before);
}

TEST(Clock, FramePeriodsStayInsideTheirBounds)
{
    FakeClock clock;
    xtim_class t;
    t._prd_FM = 0.02f;
    t._prd_UI = 0.02f;
    // Frames of a minute each push both periods up; frames of no time push them down.
    for (int i = 0; i < 400; ++i) {
        clock.advance_seconds(60.0);
        t.advance_frame(0, 0);
        ASSERT_LE(t._prd_FM, 0.05f);
        ASSERT_LE(t._prd_UI, 0.1f);
        ASSERT_LE(t.rat_FM, 1.5f);
    }
    EXPECT_EQ(t._prd_FM, 0.05f);
    EXPECT_EQ(t._prd_UI, 0.1f);
    for (int i = 0; i < 4000; ++i) {
        t.advance_frame(0, 0);
        ASSERT_GE(t._prd_FM, 0.0010000999f);
        ASSERT_GE(t._prd_UI, 0.0001f);
        ASSERT_GE(t.rat_UI, 0.5f);
    }
    EXPECT_EQ(t._prd_FM, 0.0010000999f);
    EXPECT_EQ(t._prd_UI, 0.0001f);

    // A period of zero (before start-up sets it) does not poison the record with NaN.
    xtim_class fresh;
    fresh.advance_frame(0, 0);
    EXPECT_EQ(fresh._prd_FM, 0.0010000999f);
    EXPECT_FALSE(std::isnan(fresh.rat_FM));
}
