// The vertical and horizontal sliders and the scrolling name list: where they draw, what the mouse
// and the wheel do to their values, and the bounds they keep.
#include <gtest/gtest.h>

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
    struct case_ {
        float mouse_x, mouse_y;
        int click, held_long, tick, expected;  // from 50, whose knob is at 299.5
    };
    const case_ cases[] = {
        {500, 410, 1, 0, 0, 49},  {500, 190, 1, 0, 0, 51},     // the arrows
        {511, 350, 1, 0, 0, 40},  {489, 250, 1, 0, 0, 60},     // the track above and below the knob, at its edges
        {512, 350, 1, 0, 0, 50},  {500, 350, 0, 1, 1, 40},     // beside it; held long, on the 0.2 s beat
        {500, 350, 0, 1, 0, 50},  {500, 299.5f, 1, 0, 0, 50},  // between beats; the knob taken
        {500, 1e30f, 0, 0, 0, 0},                              // dragged far up: the minimum
    };
    for (const case_& c : cases) {
        int v = 50;
        mouse(c.mouse_x, c.mouse_y, c.click);
        mnw.held = 1;
        mnw.held_long = c.held_long;
        xtim.tick_0_2s = c.tick;
        BTN_vert_slider(1, 500, 200, 400, 0, 100, &v);
        EXPECT_EQ(v, c.expected) << c.mouse_x << ", " << c.mouse_y;
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
    struct case_ {
        float min, max, mouse_x, mouse_y;
        int editable, result;
        float expected;  // from 3, on a track from x 300, 200 wide
    };
    const case_ cases[] = {
        {0, 10, 350, 305, 1, 1, 2.5f},  {0, 10, 290, 310, 1, 1, 0},          {0, 10, 510, 290, 1, 1, 10},
        {0, 10, 350, 311, 1, 0, 3},     {0, 10, 350, 300, 0, 0, 3},          {10, 0, 350, 300, 1, 1, 2.5f},
        {1, 1, 400, 300, 1, 1, 1.005f}, {5, 4.995f, 500, 300, 1, 1, 5.005f},  // ranges widened to 0.01
    };
    for (const case_& c : cases) {
        float value = 3;
        mouse(c.mouse_x, c.mouse_y, 0);
        mnw.held = 1;
        EXPECT_EQ(BTN_horz_slider(300, 300, 200, 0, c.min, c.max, &value, c.editable, "", ""), c.result);
        EXPECT_NEAR(value, c.expected, 1e-5) << c.min << " .. " << c.max << " at " << c.mouse_x;
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

    struct case_ {
        float mouse_x, mouse_y;
        int click, wheel, min, max, result, current, hovered;  // from 10, 10
    };
    const case_ cases[] = {
        {400, 420, 1, 0, 0, 50, 1, 8, 8},                // 20 above the middle: two rows up
        {400, 384, 0, 0, 0, 50, 0, 10, 12},              // hovering 16 below: row -2
        {400, 400, 0, 3, 0, 50, 0, 7, 7},                // the wheel turned up three steps
        {299, 400, 1, 0, 0, 50, 0, 10, 10},              // left of the list
        {400, 290, 1, -9000, -20, 5000, 1, 2999, 2999},  // a range past the listing tables is cut to them
    };
    for (const case_& c : cases) {
        current = hovered = 10;
        mouse(c.mouse_x, c.mouse_y, c.click);
        mnw.wheel = c.wheel;
        EXPECT_EQ(
            BTN_big_name_list(NAME_LIST_TABLES, 0, 300, 400, 0, 0, &current, &hovered, c.min, c.max, nullptr, nullptr),
            c.result);
        EXPECT_EQ(current, c.current) << c.mouse_y;
        EXPECT_EQ(hovered, c.hovered) << c.mouse_y;
    }
}
