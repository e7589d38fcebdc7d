// The vertical and horizontal sliders and the scrolling name list: where they draw, what the mouse
// and the wheel do to their values, and the bounds they keep.
#include <gtest/gtest.h>

#include <tuple>

#include "core/clock.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "widgets/sliders.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

class Sliders : public widget_gl_test { };

TEST_F(Sliders, TheVerticalKnobShowsAndTakesTheValue)
{
    // Over 0 .. 100 on a track from 200 to 400 at x 500, the knob runs from y 390 (0) to 209 (100);
    // the knob cell's middle texel is (92, 252).
    for (auto [value, knob_y] : {std::pair{0, 390}, {130, 209}}) {
        int v = value;
        mouse(0, 0, 0);
        BTN_vert_slider(0, 500, 200, 400, 0, 100, &v);
        EXPECT_EQ(texel_at(500, knob_y), (texel{92, 252})) << value;
    }
    // mouse x, y, click, held_long, tick, then the value from 50, whose knob is at 299.5
    const std::tuple<float, float, int, int, int, int> cases[] = {
        {500, 410, 1, 0, 0, 49},  {500, 190, 1, 0, 0, 51},     // the arrows
        {511, 350, 1, 0, 0, 40},  {489, 250, 1, 0, 0, 60},     // the track above and below the knob, at its edges
        {512, 350, 1, 0, 0, 50},  {500, 350, 0, 1, 1, 40},     // beside it; held long, on the 0.2 s beat
        {500, 350, 0, 1, 0, 50},  {500, 299.5f, 1, 0, 0, 50},  // between beats; the knob taken
        {500, 1e30f, 0, 0, 0, 0},                              // dragged far up: the minimum
    };
    for (const auto& [mouse_x, mouse_y, click, held_long, tick, expected] : cases) {
        int v = 50;
        mouse(mouse_x, mouse_y, click);
        mnw.held = 1;
        mnw.held_long = held_long;
        xtim.tick_0_2s = tick;
        BTN_vert_slider(1, 500, 200, 400, 0, 100, &v);
        EXPECT_EQ(v, expected) << mouse_x << ", " << mouse_y;
    }
    // A track two grabs long has nowhere to drag the knob to.
    int v = 5;
    mouse(500, 210.5f, 1);
    EXPECT_EQ(BTN_vert_slider(2, 500, 200, 222, 0, 10, &v), 1);
    EXPECT_EQ(v, 5);
    mnw.held = mnw.held_long = xtim.tick_0_2s = 0;

    alert_recorder alerts;
    for (int slot : {-1, 4})
        EXPECT_EQ(expect_fatal([&] { BTN_vert_slider(slot, 500, 200, 400, 0, 100, &v); }).l1, "Too many sliders!");
}

TEST_F(Sliders, TheHorizontalSliderFollowsAHeldMouseWithinItsRange)
{
    // min, max, mouse x, y, editable, result, then the value from 3, on a track from x 300, 200 wide
    const std::tuple<float, float, float, float, int, int, float> cases[] = {
        {0, 10, 350, 305, 1, 1, 2.5f},  {0, 10, 290, 310, 1, 1, 0},          {0, 10, 510, 290, 1, 1, 10},
        {0, 10, 350, 311, 1, 0, 3},     {0, 10, 350, 300, 0, 0, 3},          {10, 0, 350, 300, 1, 1, 2.5f},
        {1, 1, 400, 300, 1, 1, 1.005f}, {5, 4.995f, 500, 300, 1, 1, 5.005f},  // ranges widened to 0.01
    };
    for (const auto& [min, max, mouse_x, mouse_y, editable, result, expected] : cases) {
        float value = 3;
        mouse(mouse_x, mouse_y, 0);
        mnw.held = 1;
        EXPECT_EQ(BTN_horz_slider(300, 300, 200, 0, min, max, &value, editable, "", ""), result);
        EXPECT_NEAR(value, expected, 1e-5) << min << " .. " << max << " at " << mouse_x;
    }
    // At 5 of 0 .. 10: the fill from 300 and the knob's middle at 400.
    float value = 5;
    mouse(0, 0, 0);
    BTN_horz_slider(300, 300, 200, 0, 0, 10, &value, 1, "", "");
    EXPECT_EQ(texel_at(302, 304).s, 291);
    EXPECT_EQ(texel_at(400, 302), (texel{272, 278}));
}

TEST_F(Sliders, TheNameListKeepsItsCurrentEntryOnTheMiddleRow)
{
    for (int k = 0; k < listing_capacity; ++k) {
        g_file[k] = "entry";
        g_file_type[k] = 0;
    }
    // Entry k's kind, and the s of its icon cell's middle (-1: none).
    const std::pair<int, int> icons[] = {{1, 40},   {3, 54},   {4, 68},  {5, 96}, {9, 110},
                                         {10, 124}, {12, 138}, {7, 152}, {0, -1}};
    for (int k = 0; k < 9; ++k)
        g_file_type[k] = icons[k].first;
    // At (300, 400), 280 x 220: rows 10 apart around the current entry, the first one here.
    int current = 0, hovered = 0;
    mouse(0, 0, 0);
    BTN_big_name_list(NAME_LIST_TABLES, 0, 300, 400, 0, 0, &current, &hovered, 0, 50, nullptr, nullptr);
    for (int k = 0; k < 9; ++k) {
        const texel t = texel_at(310, 400 - 10 * k);
        if (icons[k].second < 0)
            EXPECT_GE(t.t, 289) << k;  // the list's panel: no icon
        else
            EXPECT_EQ(t, (texel{icons[k].second, 63})) << k;
    }

    // mouse x, y, click, wheel, min, max, result, then current and hovered from 10, 10
    const std::tuple<float, float, int, int, int, int, int, int, int> cases[] = {
        {400, 420, 1, 0, 0, 50, 1, 8, 8},                // 20 above the middle: two rows up
        {400, 384, 0, 0, 0, 50, 0, 10, 12},              // hovering 16 below: row -2
        {400, 400, 0, 3, 0, 50, 0, 7, 7},                // the wheel turned up three steps
        {299, 400, 1, 0, 0, 50, 0, 10, 10},              // left of the list
        {400, 290, 1, -9000, -20, 5000, 1, 2999, 2999},  // a range past the listing tables is cut to them
    };
    for (const auto& [mouse_x, mouse_y, click, wheel, min, max, result, now_current, now_hovered] : cases) {
        current = hovered = 10;
        mouse(mouse_x, mouse_y, click);
        mnw.wheel = wheel;
        EXPECT_EQ(
            BTN_big_name_list(NAME_LIST_TABLES, 0, 300, 400, 0, 0, &current, &hovered, min, max, nullptr, nullptr),
            result);
        EXPECT_EQ(std::pair(current, hovered), std::pair(now_current, now_hovered)) << mouse_y;
    }
}
