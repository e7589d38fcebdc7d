// Push buttons, check boxes, radio buttons, window panels, close boxes and tabs: what they draw,
// which presses they take and what they return.
#include <gtest/gtest.h>

#include <tuple>

#include "core/globals.h"
#include "core/mnw.h"
#include "widgets/action.h"
#include "widgets/bool.h"
#include "widgets/butn.h"
#include "widgets/panels.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

class Controls : public widget_gl_test {
protected:
    static void open_box(float w, float h)
    {
        mnw.cur_win = 2;
        mnw.box_w = w;
        mnw.box_h = h;
    }
};

TEST_F(Controls, APushButtonIsSizedFromItsLabelAndTakesOnlyAFreshPressInsideIt)
{
    // x, y, click, held, open_menu, result.
    // "OK": 21 + 8 + 6 = 35 units, so the hit box is 182.5 .. 217.5 by 290 .. 310, bounds included.
    // Hovering, a held button from an earlier press, or an open menu is no click.
    const std::tuple<float, float, int, int, int, int> rows[] = {
        {217.5f, 310, 1, 0, -1, 1}, {182.5f, 290, 1, 0, -1, 1}, {217.6f, 300, 1, 0, -1, 0}, {182.4f, 300, 1, 0, -1, 0},
        {200, 310.1f, 1, 0, -1, 0}, {200, 289.9f, 1, 0, -1, 0}, {200, 300, 0, 1, -1, 0},    {200, 300, 1, 0, 3, 0}};
    for (const auto& [x, y, click, held, open_menu, result] : rows) {
        mouse(x, y, click);
        mnw.held = held;
        mnw.open_menu = open_menu;
        EXPECT_EQ(BTN_action(200, 300, 0, 0, ACTION_NO_FEEDBACK, "OK"), result) << x << ", " << y;
    }
    // The bar is drawn 36 wide, even with a menu open.
    expect_texels({{182, 300, {304, ANY}}, {217, 300, {355, ANY}}, {218, 290, {}}});

    // Mode 0 answers the click and redraws nothing: the face stays in the back buffer. Mode 1 draws the
    // pressed bar (style 3, 13 rows up from t 459) and swaps within the call; software GL swaps by
    // copying, so the back buffer still holds what was shown.
    mnw.open_menu = -1;
    mouse(200, 500, 1);
    EXPECT_EQ(BTN_action(200, 500, 60, 0, ACTION_NO_FEEDBACK, "Go"), 1);
    mouse(500, 500, 1);
    EXPECT_EQ(BTN_action(500, 500, 60, 0, ACTION_SHOW_PRESS, "Go"), 1);
    expect_texels({{175, 500, {ANY, 499}}, {475, 500, {ANY, 472}}});
}

TEST_F(Controls, CheckBoxesToggleAnyOnValueInsideAHitBoxOneUnitWithinTheirArt)
{
    // value before, x, y, click, open_menu, result, value after
    const std::tuple<int, float, float, int, int, int, int> rows[] = {
        {7, 0, 0, 0, -1, 0, 7},     {7, 308, 312, 1, -1, 1, 0},   {0, 292, 296, 1, -1, 1, 1},
        {1, 309, 300, 1, -1, 0, 1}, {1, 300, 295, 1, -1, 0, 1},   {1, 291, 300, 1, -1, 0, 1},
        {1, 300, 313, 1, -1, 0, 1}, {0, 300, 300, 1, 1519, 0, 0},  // quiet while a menu is open
    };
    for (const auto& [before, x, y, click, open_menu, result, after] : rows) {
        int value = before;
        mouse(x, y, click);
        mnw.open_menu = open_menu;
        EXPECT_EQ(BTN_bool(300, 300, &value, "", BOOL_CHECK_BOX), result) << x << ", " << y;
        EXPECT_EQ(value, after) << x << ", " << y;
    }
    // Drawn off with the menu open; drawn on (the on cell over the off cell) for any value but 0.
    expect_texels({{291, 295, {139, 178}}});
    int on = 7;
    mouse(0, 0, 0);
    mnw.open_menu = -1;
    BTN_bool(300, 300, &on, "", BOOL_CHECK_BOX);
    expect_texels({{291, 295, {139, 197}}});

    // Help shows while the mouse rests on the box, unless a menu is open.
    for (auto [label, open_menu, help] : {std::tuple{"Left|Right{ Explains the box", -1, "Explains the box"},
                                          {"No help", -1, ""},
                                          {"L|R{ help", 1519, "stale"}}) {
        stls.help_line = "stale";
        mnw.open_menu = open_menu;
        mouse(300, 300, 0);
        BTN_bool(300, 300, &on, label, BOOL_CHECK_BOX);
        EXPECT_EQ(stls.help_line, help) << label;
    }
}

TEST_F(Controls, WrappersOverOtherTypesAndRadioGroups)
{
    char c = 5;
    unsigned char byte = 200;
    bool flag = false;
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_xchr(100, 100, &c, "") + BTN_xbol(100, 100, &flag, ""), 0);
    EXPECT_EQ(std::tuple(c, flag), std::tuple(5, false));
    mouse(100, 104, 1);
    EXPECT_EQ(BTN_xchr(100, 100, &c, "") + BTN_xbyt(100, 100, &byte, "") + BTN_xbol(100, 100, &flag, ""), 3);
    EXPECT_EQ(std::tuple(c, byte, flag), std::tuple(0, 0, true));

    int server = 1;
    mouse(0, 0, 0);
    BTN_is_int(100, 200, &server, 1, "|first");
    BTN_is_int(100, 230, &server, 2, "|second");
    expect_texels({{91, 195, {83, 142}}, {91, 225, {83, 123}}}, "the selected green ring, the grey ball");
    mouse(100, 204, 1);  // the selected one: answered, value kept
    EXPECT_EQ(BTN_is_int(100, 200, &server, 1, "|first"), 1);
    EXPECT_EQ(server, 1);
    mouse(100, 234, 1);
    EXPECT_EQ(BTN_is_int(100, 200, &server, 1, "|first"), 0);
    EXPECT_EQ(BTN_is_int(100, 230, &server, 2, "|second"), 1);
    EXPECT_EQ(server, 2);
}

TEST_F(Controls, GroupsAndBoxPanelsFillTheBoxAndTellWhereTheNextStarts)
{
    open_box(500, 380);
    float next_x = 0, next_y = 0;
    BTN_subwin(0, 12, -1, 30, -1, 100, "", &next_x, &next_y);
    EXPECT_EQ(std::pair(next_x, next_y), std::pair(500.0f, 140.0f));
    expect_texels({{1, 16, {102, 358}}, {0, 16, {}}}, "x 10 - 9, y 30 - 14");
    BTN_subwin(40, 12, 10, 10, 100, -1, "", &next_x, &next_y);
    EXPECT_EQ(std::pair(next_x, next_y), std::pair(120.0f, 322.0f)) << "302 high: 380 - 28 - 10 - 40";

    // The title strip: style 1 at box height - 50, dy -3, row 13.5 of 26 rows that read the 25 atlas
    // rows 487..511; the panel starts 9 left of and 14 below the box.
    win().reset_2d();
    resync_state();
    open_box(500, 300);
    BTN_fillwin(1, 1);
    expect_texels({{250, 247, {ANY, 499}}, {0, 0, {1 + 9, 358 + 14}}});
}

TEST_F(Controls, CloseBoxesShowInOrdinaryBoxesOnlyAndAnswerTheirOwnSquaresEvenWithAMenuOpen)
{
    // A window panel carries them in its top corners, in an ordinary box only.
    const texel close_box{120, 178};
    for (int window : {995, 2}) {
        open_box(500, 300);
        mnw.cur_win = window;
        mouse(-100, 0, 0);
        BTN_frame2(11, 0, 0, 500, 300, "");
        EXPECT_EQ(std::pair(texel_at(7, 281) == close_box, texel_at(475, 281) == close_box),
                  std::pair(window == 2, window == 2));
    }

    win().reset_2d();
    resync_state();
    mouse(25, 299, 1);  // the left box's corner, bounds included
    EXPECT_EQ(BTN_zap_boxes(0), 1);
    expect_texels({{7, 281, {120, 178}}, {475, 281, {}}}, "returned before the right box was drawn");

    win().reset_2d();
    resync_state();
    mouse(475, 281, 1);
    EXPECT_EQ(BTN_zap_boxes(1), 1);
    expect_texels({{475, 281, {120, 197}}}, "pressed look");
    mouse(474, 281, 1);
    EXPECT_EQ(BTN_zap_boxes(0), 0);
    mnw.open_menu = 4;
    mouse(7, 281, 1);
    EXPECT_EQ(BTN_zap_boxes(0), 1);
}

TEST_F(Controls, TabHitBoxesAreOffCentreAndSelectAtOnce)
{
    open_box(500, 300);
    // Tab (2, 0) is centred at (229, 262) and answers 50 units to its left and 40 to its right.
    for (auto [x, result] : {std::pair{269.0f, 1}, {270.0f, 0}, {179.0f, 1}, {178.0f, 0}, {229.0f, 1}}) {
        int current = 0;
        mouse(x, 262, 1);
        EXPECT_EQ(BTN_tab(2, 0, &current, 5, "Tab"), result) << x;
        EXPECT_EQ(current, result ? 5 : 0) << x;
    }
    mouse(0, 0, 0);
    int current = 0;
    BTN_tab(1, 1, &current, 6, "Other");  // centre (141, 230), not selected
    expect_texels({{229, 262, {204 + 49, 486 + 13}}, {141, 230, {204 + 49, 459 + 13}}},
                  "drawn selected in the same call");
}
