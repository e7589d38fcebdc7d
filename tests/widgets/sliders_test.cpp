// The vertical and horizontal sliders and the scrolling name list: where they draw, what the mouse
// and the wheel do to their values, and the bounds they keep.
#include <gtest/gtest.h>

#include <climits>

#include "core/clock.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "widgets/sliders.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

class VertSlider : public widget_gl_test {
protected:
    // Over 0 .. 100 on a track from 200 to 400 at x 500: the knob runs from y 390 (0) to 209 (100).
    int run(int value, float mouse_y, int click, int held = 1, float mouse_x = 500)
    {
        mouse(mouse_x, mouse_y, click);
        mnw.held = held;
        BTN_vert_slider(1, 500, 200, 400, 0, 100, &value);
        return value;
    }
};

TEST_F(VertSlider, TheKnobStandsWhereTheValueSaysOnTheTrack)
{
    struct case_ {
        int value;
        int knob_y, track_y;  // a row through the knob, a row of bare track
    };
    const case_ cases[] = {{0, 390, 215}, {100, 209, 385}, {50, 300, 220}, {-30, 390, 215}, {130, 209, 385}};
    for (const case_& c : cases) {
        win().reset_2d();
        resync_state();
        int value = c.value;
        mouse(0, 0, 0);
        EXPECT_EQ(BTN_vert_slider(0, 500, 200, 400, 0, 100, &value), 0);
        EXPECT_EQ(texel_at(500, c.knob_y).s, 92) << c.value;
        EXPECT_GE(texel_at(500, c.knob_y).t, 239) << c.value;
        EXPECT_LT(texel_at(500, c.knob_y).t, 265) << c.value;
        EXPECT_EQ(texel_at(500, c.track_y).s, 112) << c.value;
        // The arrows above and below the track.
        EXPECT_EQ(texel_at(500, 408), (texel{92, 277}));
        EXPECT_EQ(texel_at(500, 190), (texel{92, 227}));
        EXPECT_EQ(value, std::clamp(c.value, 0, 100));
    }
}

TEST_F(VertSlider, ArrowsStepByOneTheTrackByTenAndAHeldButtonRepeats)
{
    struct case_ {
        float mouse_x, mouse_y;
        int click, held_long, tick;
        int expected;  // from 50, whose knob is at 299.5
    };
    const case_ cases[] = {
        {500, 410, 1, 0, 0, 49},  // top arrow
        {500, 190, 1, 0, 0, 51},  // bottom arrow
        {511, 350, 1, 0, 0, 40},  // track above the knob, at the right edge
        {489, 250, 1, 0, 0, 60},  // track below the knob, at the left edge
        {512, 350, 1, 0, 0, 50},  // beside the track
        {500, 350, 0, 1, 1, 40},  // held past 0.25 s on the 0.2 s beat: repeats
        {500, 350, 0, 1, 0, 50},  // held, between beats
        {500, 350, 0, 0, 1, 50},  // held, not yet long
    };
    for (const case_& c : cases) {
        mnw.held_long = c.held_long;
        xtim.tick_0_2s = c.tick;
        EXPECT_EQ(run(50, c.mouse_y, c.click, 1, c.mouse_x), c.expected) << c.mouse_x << ", " << c.mouse_y;
    }
    xtim.tick_0_2s = 0;
    mnw.held_long = 0;
}

TEST_F(VertSlider, DraggingTheKnobFollowsTheMouseAndStopsAtTheEnds)
{
    int value = 50;
    mouse(500, 299.5f, 1);
    mnw.held = 1;
    EXPECT_EQ(BTN_vert_slider(2, 500, 200, 400, 0, 100, &value), 1);
    EXPECT_EQ(value, 50);  // trunc(100 x (299.5 - 389) / (211 - 389)) = trunc(50.3)
    // Held, the knob follows the mouse wherever it goes.
    for (auto [y, expected] : {std::pair{345.0f, 24}, {2000.0f, 0}, {-2000.0f, 100}, {1e30f, 0}}) {
        mouse(700, y, 0);
        EXPECT_EQ(BTN_vert_slider(2, 500, 200, 400, 0, 100, &value), 1);
        EXPECT_EQ(value, expected) << y;
    }
    // Released, the slot lets go; a press beside the knob does not take it.
    mnw.held = 0;
    EXPECT_EQ(BTN_vert_slider(2, 500, 200, 400, 0, 100, &value), 0);
    EXPECT_EQ(run(50, 330, 0), 50);

    // A track exactly two grabs long has nowhere to drag: the value stays.
    value = 5;
    mouse(500, 210.5f, 1);
    mnw.held = 1;
    EXPECT_EQ(BTN_vert_slider(3, 500, 200, 222, 0, 10, &value), 1);
    EXPECT_EQ(value, 5);
}

TEST_F(VertSlider, SlotsOutsideTheTableAndEmptyRanges)
{
    alert_recorder alerts;
    int value = 7;
    mouse(0, 0, 0);
    for (int slot : {-1, 4, INT_MIN}) {
        recorded_alert a = expect_fatal([&] { BTN_vert_slider(slot, 500, 200, 400, 0, 100, &value); });
        EXPECT_EQ(a.l1, "Too many sliders!") << slot;
        EXPECT_EQ(a.type, ALERT_FATAL);
    }
    // An empty range draws the track only and leaves the value alone.
    EXPECT_EQ(BTN_vert_slider(9, 500, 200, 400, 5, 5, &value), 0);
    EXPECT_EQ(value, 7);
}

class HorzSlider : public widget_gl_test { };

TEST_F(HorzSlider, AHeldMouseSetsTheValueWithinTheRange)
{
    struct case_ {
        float min, max;
        float mouse_x, mouse_y;
        int editable;
        int result;
        float expected;  // from 3
    };
    const case_ cases[] = {
        {0, 10, 350, 305, 1, 1, 2.5f},        // a quarter along
        {0, 10, 290, 310, 1, 1, 0},           // in the margin left of the track
        {0, 10, 510, 290, 1, 1, 10},          // at the far corner of the margin
        {0, 10, 350, 311, 1, 0, 3},           // above the margin
        {0, 10, 350, 300, 0, 0, 3},           // not editable
        {10, 0, 350, 300, 1, 1, 2.5f},        // a reversed range works from its smaller end
        {1, 1, 400, 300, 1, 1, 1.005f},       // an empty range becomes 1 .. 1.01
        {5, 4.995f, 500, 300, 1, 1, 5.005f},  // so does one narrower than 0.01
    };
    for (const case_& c : cases) {
        float value = 3;
        mouse(c.mouse_x, c.mouse_y, 0);
        mnw.held = 1;
        EXPECT_EQ(BTN_horz_slider(300, 300, 200, 0, c.min, c.max, &value, c.editable, "", ""), c.result)
            << c.min << " .. " << c.max << " at " << c.mouse_x;
        EXPECT_NEAR(value, c.expected, 1e-5) << c.min << " .. " << c.max << " at " << c.mouse_x;
    }
}

TEST_F(HorzSlider, FillKnobAndValueTextAreDrawnWhereTheyBelong)
{
    float value = 5;
    mouse(0, 0, 0);
    BTN_horz_slider(300, 300, 200, 0, 0, 10, &value, 1, "", "42");
    // Fill over half the track (300 .. 400, 4 up), the knob centred at 400, the digits ending at 497.
    EXPECT_EQ(texel_at(302, 304).s, 291);
    EXPECT_EQ(texel_at(420, 300).s, 270);  // the track's third tile, past the fill
    EXPECT_EQ(texel_at(400, 302), (texel{272, 278}));
    EXPECT_EQ(texel_at(485, 312), (texel{40, 4}));  // '4' from 485: 497 less two 6-unit digits
    EXPECT_FALSE(glyph_at(484, 312));

    // Words are centred 5 right of the middle; fill colour 12 means no fill; no knob when not editable.
    win().reset_2d();
    resync_state();
    BTN_horz_slider(300, 300, 200, 12, 0, 10, &value, 0, "", "x");
    EXPECT_EQ(texel_at(402, 312).s, 128);  // 'x' is 6 wide: 400 - 3 + 5
    EXPECT_EQ(texel_at(302, 304).s, 242);  // the track's cap, no fill over it
    EXPECT_NE(texel_at(400, 295).s, 272);
}

class NameList : public widget_gl_test {
protected:
    void SetUp() override
    {
        widget_gl_test::SetUp();
        for (int k = 0; k < listing_capacity; ++k) {
            g_file[k] = "entry" + std::to_string(k);
            g_file_type[k] = 0;
        }
    }
    // The list at (300, 400), 280 x 220: rows 10 apart, the current entry on row y 400.
    int run(int* current, int* hovered, int min, int max, int list_type = NAME_LIST_TABLES)
    {
        return BTN_big_name_list(list_type, 0, 300, 400, 0, 0, current, hovered, min, max, nullptr, name_of);
    }
    static std::string name_of(int k) { return k == 3 ? "WW" : "i"; }
};

TEST_F(NameList, TwentyOneRowsAroundTheCurrentEntry)
{
    int current = 0, hovered = -5;
    mouse(0, 0, 0);
    EXPECT_EQ(run(&current, &hovered, 0, 50), 0);
    // Names start at x 320, 3 below each row's centre; rows above the current entry 0 stay empty.
    for (int i = 0; i <= 10; ++i)
        EXPECT_TRUE(glyph_at(321, 400 - 10 * i - 3)) << "row " << i;
    for (int i = 1; i <= 10; ++i)
        EXPECT_FALSE(glyph_at(321, 400 + 10 * i - 3)) << "row -" << i;
    EXPECT_FALSE(glyph_at(321, 400 - 110 - 3));
    EXPECT_EQ(hovered, 0);  // clamped into the range
    // The slider stands 16 right of the list, at x 596.
    EXPECT_EQ(texel_at(596, 300).s, 112);
}

TEST_F(NameList, ClicksAndTheWheelMoveTheCurrentEntry)
{
    struct case_ {
        float mouse_x, mouse_y;
        int click, wheel;
        int result, current, hovered;  // from current 10, hovered 10
    };
    const case_ cases[] = {
        {400, 420, 1, 0, 1, 8, 8},       // 20 above the centre: two rows up
        {400, 384, 0, 0, 0, 10, 12},     // hovering 16 below: row -2 (half away from zero)
        {400, 400, 0, 3, 0, 7, 7},       // the wheel turned up three steps
        {300, 290, 1, 0, 1, 21, 21},     // the bottom-left corner is inside
        {299, 400, 1, 2, 0, 10, 10},     // left of the list: nothing, wheel kept
        {400, 400, 1, -100, 1, 50, 50},  // far down: clamped to the last entry
    };
    for (const case_& c : cases) {
        int current = 10, hovered = 10;
        mouse(c.mouse_x, c.mouse_y, c.click);
        mnw.wheel = c.wheel;
        EXPECT_EQ(run(&current, &hovered, 0, 50), c.result) << c.mouse_x << ", " << c.mouse_y;
        EXPECT_EQ(current, c.current) << c.mouse_x << ", " << c.mouse_y;
        EXPECT_EQ(hovered, c.hovered) << c.mouse_x << ", " << c.mouse_y;
        EXPECT_EQ(mnw.wheel, c.mouse_x < 300 ? c.wheel : 0);
    }
}

TEST_F(NameList, KindIconsAndTheHoveredShade)
{
    struct icon {
        int kind;
        int s;  // texel at the icon's centre; -1: no icon
    };
    const icon icons[] = {{1, 40},   {3, 54},  {4, 68}, {5, 96}, {9, 110}, {10, 124},
                          {12, 138}, {7, 152}, {0, -1}, {2, -1}, {11, -1}};
    for (size_t i = 0; i < std::size(icons); ++i)
        g_file_type[i] = icons[i].kind;
    int current = 0, hovered = 0;
    mouse(0, 0, 0);
    run(&current, &hovered, 0, 20);
    for (size_t i = 0; i < std::size(icons); ++i) {
        const texel t = texel_at(310, 400 - 10 * static_cast<int>(i));
        if (icons[i].s < 0)
            EXPECT_GE(t.t, 289) << "kind " << icons[i].kind;  // the panel, not the icon row
        else
            EXPECT_EQ(t, (texel{icons[i].s, 63})) << "kind " << icons[i].kind;
    }
    // The caller's names have no icons; they come from name_of.
    win().reset_2d();
    resync_state();
    run(&current, &hovered, 0, 20, NAME_LIST_CALLER);
    EXPECT_GE(texel_at(310, 400).t, 289);
    EXPECT_EQ(texel_at(321, 367).s, 105);  // row 3 shows "WW": 'W' is cell 55, from s 104

    // The hovered row (under the mouse, 100 below the centre) is shaded with a quarter of black; the
    // row beside it is not.
    const test::rgba plain = pixel(500, 300), neighbour = pixel(500, 310);
    win().reset_2d();
    resync_state();
    mouse(400, 300, 0);
    run(&current, &hovered, 0, 20);
    EXPECT_EQ(hovered, 10);
    const test::rgba shaded = pixel(500, 300);
    EXPECT_NEAR(shaded.r, plain.r * 0.75, 1.5);
    EXPECT_NEAR(shaded.g, plain.g * 0.75, 1.5);
    EXPECT_NEAR(shaded.b, plain.b * 0.75, 1.5);
    EXPECT_EQ(pixel(500, 310), neighbour);
}

TEST_F(NameList, RangesAreHeldToTheListingTables)
{
    alert_recorder alerts;
    // A range past the 3000 table entries is cut to them, at both ends.
    int current = 2995, hovered = 4000;
    mouse(400, 300, 0);
    run(&current, &hovered, -20, 5000);
    EXPECT_EQ(hovered, 2999);
    current = -8;
    hovered = -8;
    mouse(0, 0, 0);
    run(&current, &hovered, -20, 5000);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(hovered, 0);
    current = INT_MAX;
    run(&current, &hovered, 0, 5000);
    EXPECT_EQ(current, 2999);
    // One entry, so no slider clamps first: a caller's entry at the int limit, moved by the wheel.
    current = INT_MIN;
    mnw.wheel = 5;
    mouse(400, 400, 0);
    run(&current, &hovered, 7, 7);
    EXPECT_EQ(current, 7);
    EXPECT_TRUE(alerts.alerts().empty());

    // An empty range draws the panel only; an unknown list type is fatal once a row is drawn.
    current = 4;
    EXPECT_EQ(run(&current, &hovered, 3, 2), 0);
    EXPECT_EQ(current, 4);
    EXPECT_EQ(expect_fatal([&] { run(&current, &hovered, 0, 10, 5); }).l1, "Bad big_name_list type!");
}
