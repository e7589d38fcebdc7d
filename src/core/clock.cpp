#include "core/clock.h"

#include <cmath>
#include <cstring>

#include "core/mnw.h"
#include "platform/clock.h"

xtim_class xtim;

namespace {

constexpr double MICROSECONDS_PER_SECOND = 1000000.0;

// Periods of tick_10s .. tick_0_01s, in field order.
constexpr float TICK_PERIODS[XTIM_PERIOD_COUNT] = {10.0f, 5.0f, 2.0f, 1.0f, 0.5f, 0.2f, 0.1f, 0.05f, 0.025f, 0.01f};

constexpr int days_in_month[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int LAST_DAY_OF_YEAR = 364;

// The frame periods are re-measured every tenth frame, so one slow frame moves them little.
constexpr int ADAPT_EVERY_FRAMES = 10;
constexpr float ADAPT_RATIO_MIN = 0.5f;
constexpr float ADAPT_RATIO_MAX = 1.5f;
// One unit in the last place below 0.0010001, as single precision.
constexpr float PERIOD_FM_MIN = 0.0010000999f;
constexpr float PERIOD_FM_MAX = 0.05f;
constexpr float PERIOD_UI_MIN = 0.0001f;
constexpr float PERIOD_UI_MAX = 0.1f;
// Modal dialog boxes hold the interface loop still.
constexpr int FIRST_DIALOG_WINDOW = 995;
constexpr int LAST_DIALOG_WINDOW = 999;

// Clamps that also catch a NaN, which a zero period and zero elapsed time would make.
float clamp_low_first(float value, float low, float high)
{
    if (!(value >= low))
        return low;
    return value > high ? high : value;
}

// One adaptation loop: every tenth applied frame, measure the mean frame time of the last
// ten against the period and move the period by the fourth root of the ratio.
void adapt_period(float now, int* count, float* last_time, float* ratio, float* period, float period_min,
                  float period_max)
{
    int before = (*count)++;
    if (before % ADAPT_EVERY_FRAMES != 0)
        return;
    float measured = (now - *last_time) * 0.1f;
    float r = *period > 0.0f ? measured / *period : ADAPT_RATIO_MAX;
    r = clamp_low_first(r, ADAPT_RATIO_MIN, ADAPT_RATIO_MAX);
    *ratio = r;
    *period = clamp_low_first(*period * std::pow(r, 0.25f), period_min, period_max);
    *last_time = now;
}

}

xtim_class::xtim_class()
{
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    rat_FM = 1.0f;
    rat_UI = 1.0f;
    day_seconds_sun = 57600.0f;
    day_seconds_local = 28800.0f;
    time_step = 0.05f;
    day_of_year = 90;
}

uint64_t xtim_class::microsecs()
{
    // One reading serves both the origin and the result, so the first call is exactly 0.
    uint64_t now = plat::monotonic_microseconds();
    static const uint64_t init_call = now;
    // A thread that read the clock just before another one fixed the origin reads 0, not 2^64.
    return now > init_call ? now - init_call : 0;
}

uint32_t xtim_class::del_time(uint64_t* previous)
{
    static uint64_t old = 0;
    uint64_t now = microsecs();
    uint64_t* p = previous ? previous : &old;
    uint32_t result = static_cast<uint32_t>(now) - static_cast<uint32_t>(*p);
    *p = now;
    return result;
}

void xtim_class::current_month_day(int* month, int* day) const
{
    // Past the table's last day the walk would read beyond December.
    int d = day_of_year < 0 ? 0 : (day_of_year > LAST_DAY_OF_YEAR ? LAST_DAY_OF_YEAR : day_of_year);
    int m = 0;
    int start = 0;
    if (d >= days_in_month[0]) {
        start = days_in_month[0];
        for (m = 1; m < 12; ++m) {
            if (start + days_in_month[m] > d)
                break;
            start += days_in_month[m];
        }
    }
    *month = m;
    *day = d - start + 1;
}

void xtim_class::xtim_hrs_min_sec(float seconds, float* hours, float* minutes, float* secs)
{
    *hours = static_cast<float>(static_cast<int>(seconds / 3600.0f));
    *minutes = static_cast<float>(static_cast<int>(seconds / 60.0f) - static_cast<int>(*hours * 60.0f));
    *secs = static_cast<float>(static_cast<int>(seconds) - static_cast<int>(*hours * 3600.0f) -
                               static_cast<int>(*minutes * 60.0f));
}

float xtim_class::speed_rat() const
{
    switch (mnw.speed) {
        case 2:
            return -5.0f;
        case 3:
            return -1.0f;
        case 4:
            return -0.2f;
        case 5:
            return 0.0f;
        case 6:
            return 0.2f;
        case 7:
            return 1.0f;
        case 8:
            return 5.0f;
        default:
            return 1.0f;
    }
}

void xtim_class::raise_period_flags()
{
    int* flags[XTIM_PERIOD_COUNT] = {&tick_10s,  &tick_5s,   &tick_2s,    &tick_1s,     &tick_0_5s,
                                     &tick_0_2s, &tick_0_1s, &tick_0_05s, &tick_0_025s, &tick_0_01s};
    for (int i = 0; i < XTIM_PERIOD_COUNT; ++i) {
        *flags[i] = 0;
        if (elapsed > period_last[i] + TICK_PERIODS[i]) {
            period_last[i] = elapsed;
            *flags[i] = 1;
        }
    }
}

void xtim_class::advance_frame(int current_window, int second_monitor)
{
    double now = static_cast<double>(microsecs()) / MICROSECONDS_PER_SECOND;
    if (!frames_started) {
        frames_started = 1;
        start_seconds = now;
    }
    elapsed = static_cast<float>(now - start_seconds);

    if (current_window == 0 || second_monitor)
        adapt_period(elapsed, &count_FM, &last_time_FM, &rat_FM, &_prd_FM, PERIOD_FM_MIN, PERIOD_FM_MAX);
    else
        last_time_FM = elapsed;

    if (current_window < FIRST_DIALOG_WINDOW || current_window > LAST_DIALOG_WINDOW)
        adapt_period(elapsed, &count_UI, &last_time_UI, &rat_UI, &_prd_UI, PERIOD_UI_MIN, PERIOD_UI_MAX);
    else
        last_time_UI = elapsed;
}
