// The pop-up text list, the digit-wheel number fields, the character wheel and the text field.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <tuple>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "shell/windows.h"
#include "widgets/enterstring.h"
#include "widgets/menus.h"
#include "widgets/numbers.h"
#include "widgets/textlist.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

class Fields : public widget_gl_test { };

TEST_F(Fields, AClosedListClampsItsChoiceAndShowsItOnABarThatGivesHelp)
{
    int choice = 9;
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_textlist(300, 600, &choice, SYSTEMS, ""), 0);
    EXPECT_EQ(choice, 4);
    choice = -3;
    BTN_textlist(300, 100, &choice, SYSTEMS, "");
    EXPECT_EQ(choice, 0);
    // "Linux Athlon XP" is 79 wide, centred on 300: it starts at 260.5, drawn from pixel 261. The widest
    // entry is 89: the bar is centred at x + 10 and 89 + 28 wide, which the painter makes 122 units on
    // even pixels, 249 .. 370, from 393 to 416 (here 593 .. 616).
    // clang-format off
    expect_texels({{261, 598, {96, 11}}, {249, 605, {357, 500}}, {370, 605, {424, 500}}, {248, 605, {}},
                   {371, 605, {}}, {300, 593, {ANY, 488}}, {330, 592, {}}});
    // clang-format on
    choice = 1;
    stls.help_line = "stale";
    mouse(300, 400, 0);
    BTN_textlist(300, 400, &choice, SYSTEMS, "{ Pick a system");
    EXPECT_EQ(stls.help_line, "Pick a system");
}

TEST_F(Fields, AClickOpensThePopupAroundTheChoiceAndAPickComesBackOnce)
{
    // The bar answers 250.5 .. 369.5 by 398 .. 408.
    int choice = 1;
    mouse(370, 400, 1);
    BTN_textlist(300, 400, &choice, SYSTEMS, "");
    EXPECT_EQ(mnw.open_menu, -1);

    stls.help_line = "stale";
    mouse(369.5f, 408, 1);
    EXPECT_EQ(BTN_textlist(300, 400, &choice, SYSTEMS, "Platform{ Pick a system"), 0);
    EXPECT_EQ(active_popup_code, 400 * 1024 + 300);
    EXPECT_EQ(mnw.open_menu, POPUP_MENU);
    EXPECT_EQ(stls.help_line, "stale") << "an open list gives no help";
    const menu_struct& slot = menu[POPUP_MENU];
    EXPECT_EQ(std::tuple(slot.x1, slot.y1, slot.x2, slot.y2), std::tuple(252, 360, 349, 422));
    ASSERT_EQ(slot.items.size(), 5u);
    EXPECT_EQ(slot.items[1].y1, 400) << "the chosen row sits on the bar";

    // A press beside every row closes the menu in the dispatcher, but the list opens again.
    mouse(500, 380, 1);
    MACIBM_handleclick(0);
    BTN_textlist(300, 400, &choice, SYSTEMS, "");
    EXPECT_EQ(mnw.open_menu, POPUP_MENU);

    mouse(300, 380, 1);  // row 3
    MACIBM_handleclick(0);
    EXPECT_EQ(std::pair(mnw.open_menu, mnw.click), std::pair(-1, 0));
    EXPECT_EQ(BTN_textlist(300, 400, &choice, SYSTEMS, ""), 1);
    EXPECT_EQ(choice, 3);
    EXPECT_EQ(BTN_textlist(300, 400, &choice, SYSTEMS, ""), 0);
    EXPECT_EQ(mnw.open_menu, -1);

    // A press on another list moves the pop-up there.
    int second = 0;
    for (float y : {402.0f, 202.0f}) {
        mouse(300, y, 1);
        BTN_textlist(300, 400, &choice, SYSTEMS, "");
        BTN_textlist(300, 200, &second, "A-B", "");
        EXPECT_EQ(active_popup_code, static_cast<int>(y - 2) * 1024 + 300);
    }
    EXPECT_EQ(menu[POPUP_MENU].items.size(), 2u);
}

TEST_F(Fields, AListAtTheBoxOriginIsLikeAnyOtherAndAnOpenListCreepsBackOnScreen)
{
    // Its position computes to 0, which the pop-up globals use for "no list".
    int choice = 1;
    popup_menu_select = 2;
    mouse(500, 500, 0);
    EXPECT_EQ(BTN_textlist(0, 0, &choice, "A-B-C", ""), 0);
    EXPECT_EQ(std::pair(choice, mnw.open_menu), std::pair(1, -1));
    mouse(0, 0, 1);
    BTN_textlist(0, 0, &choice, "A-B-C", "");
    EXPECT_EQ(mnw.open_menu, POPUP_MENU);
    mouse(0, -12 + 6, 1);  // row 2
    MACIBM_handleclick(0);
    EXPECT_EQ(BTN_textlist(0, 0, &choice, "A-B-C", ""), 1);
    EXPECT_EQ(choice, 2);

    // One row a frame; below the box origin even the last row is off screen, and the choice stays
    // an index of the list.
    choice = 0;
    mouse(300, 12, 1);
    for (int expected : {1, 2, 3, 4, 4}) {
        BTN_textlist(300, 10, &choice, SYSTEMS, "");
        mouse(0, 0, 0);
        EXPECT_EQ(choice, expected);
    }
    active_popup_code = 0;
    choice = 1;
    mouse(300, -3, 1);
    BTN_textlist(300, -5, &choice, "A-B", "");
    EXPECT_EQ(std::pair(choice, mnw.open_menu), std::pair(1, POPUP_MENU));
}

TEST_F(Fields, ListItemsMayNotHoldBarsAndNumberAtMostThreeHundred)
{
    alert_recorder alerts;
    int choice = 0;
    const std::string most(299, '-');
    EXPECT_EQ(BTN_textlist(300, 400, &choice, most, ""), 0);
    EXPECT_TRUE(alerts.alerts().empty());
    recorded_alert a = expect_fatal([&] { BTN_textlist(300, 400, &choice, most + "-", "Label"); });
    EXPECT_EQ(std::tuple(a.l1, a.l2, a.l4, a.file, a.line),
              std::tuple("BTN_text_list overflow!", most + "-", "Label", "DEzovuv/OOPS_cpp/butn", 603));
    a = expect_fatal([&] { BTN_textlist(300, 400, &choice, "One|Two", "Label"); });
    EXPECT_EQ(std::pair(a.l1, a.line), std::pair(std::string("Found | char in text string!"), 599));
}

TEST_F(Fields, NumberColumnsStepByTheirUnitUpAboveAndDownBelowAndValuesAreClampedAndRounded)
{
    // value, x, y, click, min, max, result, value after.
    // At (100, 200) four digits, one decimal: columns 10 wide from the hundreds to the tenths, the
    // upper half from y + 3. On the border of two columns both step; outside nothing does.
    const std::tuple<float, float, float, int, float, float, int, float> rows[] = {
        {12.34f, 0, 0, 0, -1000, 1000, 0, 12.3f},
        {-12.35f, 0, 0, 0, -1000, 1000, 0, -12.4f},
        {5, 0, 0, 0, 50, 20, 0, 20},  // min above max: max wins
        {0, 105, 210, 1, -1000, 1000, 1, 100},
        {100, 135, 202.9f, 1, -1000, 1000, 1, 99.9f},
        {99.9f, 120, 203, 1, -1000, 1000, 1, 110.9f},
        {0, 99, 210, 1, -1000, 1000, 0, 0},
        {0, 141, 210, 1, -1000, 1000, 0, 0},
        {0, 110, 181.9f, 1, -1000, 1000, 0, 0},
        {0, 110, 224.1f, 1, -1000, 1000, 0, 0},
    };
    for (const auto& [value, x, y, click, min, max, result, after] : rows) {
        float v = value;
        mouse(x, y, click);
        EXPECT_EQ(BTN_flt_range(100, 200, &v, 4, 1, min, max, ""), result) << x << ", " << y;
        EXPECT_FLOAT_EQ(v, after) << value << " at " << x << ", " << y;
    }
    // Whole numbers: the range clamps even a click's result.
    int streams = 0;
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_int_range(100, 400, &streams, 1, 1, 4, ""), 0);
    EXPECT_EQ(streams, 1);
    streams = 4;
    mouse(105, 410, 1);
    EXPECT_EQ(BTN_int_range(100, 400, &streams, 1, 1, 4, ""), 1);
    EXPECT_EQ(streams, 4);
}

TEST_F(Fields, NumberFieldsWithAMenuOpenDrawButTakeNoClickAndHelpComesFromTheDigitRow)
{
    float v = 0;
    for (auto [y, click, open_menu, help] :
         {std::tuple{198.0f, 0, -1, "Megabytes to keep"}, {197.9f, 0, -1, "stale"}, {204.0f, 1, 2, "stale"}}) {
        stls.help_line = "stale";
        mnw.open_menu = open_menu;
        mouse(105, y, click);
        EXPECT_EQ(BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, "Size{ Megabytes to keep"), 0);
        EXPECT_EQ(stls.help_line, help) << y;
    }
    EXPECT_EQ(v, 0);
    expect_texels({{99, 181, {83, 178}}, {129, 209, {83, 197}}}, "column 0's down arrow, column 3's up arrow");
}

TEST_F(Fields, GridFieldsEndOnTheirGridLineAndADisplayedNumberHasNoArrows)
{
    // Column 1, row 2 with three digits: x = 75 + 75 - 30 = 120, y = 125.
    float v = 0;
    mouse(125, 130, 1);  // the hundreds, upper half
    EXPECT_EQ(BTN_fltij(1, 2, &v, 3, 0, 0, ""), 1);
    EXPECT_FLOAT_EQ(v, 100);
    mouse(145, 120, 1);  // the ones, lower half
    EXPECT_EQ(BTN_flt_rangeij(1, 2, &v, 3, 0, 0, 500, ""), 1);
    EXPECT_FLOAT_EQ(v, 99);
    mouse(151, 130, 1);  // past the grid line
    EXPECT_EQ(BTN_fltij(1, 2, &v, 3, 0, 0, ""), 0);
    EXPECT_FLOAT_EQ(v, 99);

    // Three digits at x 500: the frame is centred on 514 and 45 + 4 units wide on even pixels, 489 .. 538.
    BTN_display_number(500, 300, 42, 3, 0, "");
    // clang-format off
    expect_texels({{489, 303, {262, ANY}}, {538, 303, {312, ANY}}, {488, 303, {}}, {539, 303, {}},
                   {505, 285, {}}, {505, 320, {}}});
    // clang-format on
    // "042" in the fixed font's cells, 10 units apart from x + 4: '0' is cell 1, '4' cell 5, '2' cell 3.
    auto cells_shown = [](int x1) {
        std::set<int> cells;
        for (int y = 294; y < 312; ++y)
            for (int x = x1 + 2; x < x1 + 7; ++x)
                if (texel t = texel_at(x, y); t.drawn() && t.t < 11 && t.s >= 168)
                    cells.insert((t.s - 168) / 8);
        return cells;
    };
    EXPECT_EQ(cells_shown(504), std::set<int>{1});
    EXPECT_EQ(cells_shown(514), std::set<int>{5});
    EXPECT_EQ(cells_shown(524), std::set<int>{3});
}

TEST_F(Fields, RangesFollowTheDigitsAndIntsSaturate)
{
    mouse(0, 0, 0);
    for (auto [value, digits, decimals, negative, after] : {std::tuple{5000.0f, 3, 0, 0, 999.0f},
                                                            {-5.0f, 3, 0, 0, 0.0f},
                                                            {-5000.0f, 3, 0, 1, -999.0f},
                                                            {50.0f, 2, 1, 0, 9.9f}}) {
        float v = value;
        BTN_flt(100, 100, &v, digits, decimals, negative, "");
        EXPECT_FLOAT_EQ(v, after) << value;
    }
    // Ten digits reach past the int range: the write-back saturates instead of overflowing.
    for (auto [start, y, click] : {std::tuple{INT_MAX, 0.0f, 0}, {INT_MAX, 110.0f, 1}, {INT_MIN, 90.0f, 1}}) {
        int big = start;
        mouse(105, y, click);
        EXPECT_EQ(BTN_int(100, 100, &big, 10, 1, ""), click);
        EXPECT_EQ(big, start);
    }
    // The double form writes back only on a click.
    double d = 5000;
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_dob_range(100, 100, &d, 3, 0, 0, 100, ""), 0);
    EXPECT_EQ(d, 5000);
    mouse(105, 110, 1);
    EXPECT_EQ(BTN_dob_range(100, 100, &d, 3, 0, 0, 100, ""), 1);
    EXPECT_EQ(d, 100);
}

TEST_F(Fields, TheCharacterWheelTurnsThroughItsRing)
{
    // y + 3 and above is the upper half (the previous symbol); below it the next one.
    for (auto [from, y, to] : {std::tuple{'A', 110.0f, '9'},
                               {' ', 103.0f, '-'},
                               {'z', 102.0f, '-'},
                               {'-', 90.0f, ' '},
                               {'#', 90.0f, '1'},
                               {'0', 90.0f, '1'},
                               {'Z', 90.0f, '-'},
                               {'m', 110.0f, 'L'}}) {
        char code[2] = {from, 0};
        mouse(105, y, 1);
        BTN_chars(100, 100, code, 1, "");
        EXPECT_EQ(code[0], to) << from;
    }
    // The wheel turns even with a menu open; a click beside every column turns nothing.
    char code[3] = {'A', 'B', 0};
    mnw.open_menu = 5;
    for (float x : {115.0f, 121.0f}) {
        mouse(x, 90, 1);
        BTN_chars(100, 100, code, 2, "");
        EXPECT_STREQ(code, "AC") << x;
    }
}

TEST_F(Fields, AClickOnATextFieldTakesTheFocusAndEmptiesItAndOnlyTheFocusedOneFollowsTheTypedText)
{
    std::string port = "8080", host = "old host";
    stl_input = "left over";
    mouse(130, 308, 1);  // x + 6L, y + 8: the corner of the hit box
    EXPECT_EQ(BTN_enterstring(100, 300, &port, 5, 1, ""), 1);
    EXPECT_EQ(std::tuple(mnw.focus, port, stl_input), std::tuple(1, "", ""));
    mouse(0, 0, 0);
    stl_input = "1234567";
    EXPECT_EQ(BTN_enterstring(100, 300, &port, 5, 1, ""), 0);
    EXPECT_EQ(std::pair(port, stl_input), std::pair(std::string("12345"), std::string("12345")));

    // The event procedure drops the focus on every press; a click on a field, even the one that had
    // it, empties it again, and a press beside every field leaves none focused.
    for (auto [x, y, focus] : {std::tuple{100.0f, 300.0f, 1}, {100.0f, 254.0f, 0}, {99.0f, 304.0f, -1}}) {
        mnw.focus = -1;
        mouse(x, y, 1);
        const int clicked = BTN_enterstring(100, 250, &host, 65, 0, "") + BTN_enterstring(100, 300, &port, 5, 1, "");
        EXPECT_EQ(std::pair(clicked, mnw.focus), std::pair(focus >= 0 ? 1 : 0, focus)) << y;
        EXPECT_EQ(focus == 1 ? port : focus == 0 ? host : "", "") << y;
        mouse(0, 0, 0);
        stl_input = "typed at " + std::to_string(static_cast<int>(y));
        BTN_enterstring(100, 250, &host, 65, 0, "");
        BTN_enterstring(100, 300, &port, 5, 1, "");
        EXPECT_EQ(host == stl_input, focus == 0) << y;
        EXPECT_EQ(port == stl_input, focus == 1) << y;
    }

    // Resting on the field shows its help, focused or not.
    stls.help_line = "stale";
    mouse(110, 300, 0);
    BTN_enterstring(100, 300, &port, 5, 1, "Port{ The proxy's port");
    EXPECT_EQ(stls.help_line, "The proxy's port");
}

TEST_F(Fields, TheTextFieldsBoxFollowsThePainterAndItsCursorTheGlyphWidths)
{
    // Style 9 adds 4 to the width and centres on an even pixel: with x 101 and 5 characters the
    // box runs from x - 9 to x + 6L + 5, not x - 7 to x + 6L + 3.
    std::string text;
    mouse(0, 0, 0);
    BTN_enterstring(101, 600, &text, 5, 1, "");
    expect_texels({{91, 603, {}}, {92, 603, {262, ANY}}, {135, 603, {312, ANY}}, {136, 603, {}}});

    // The cursor stands one unit right of the text, however wide its glyphs: "ab" is 12 wide, "mmm"
    // 24 and "iil" 9, where six units a character would put it at 13, 19 and 19.
    colr.assign(44, 1, 0, 0);
    const test::rgba cursor{255, 0, 0, 255};
    for (auto [typed, y, at, not_at] : {std::tuple{"ab", 100, 13, 0}, {"mmm", 200, 25, 19}, {"iil", 300, 10, 19}}) {
        mnw.focus = 3;
        stl_input = text = typed;
        BTN_enterstring(100, y, &text, 10, 3, "");
        EXPECT_EQ(pixel(100 + at, y + 3), cursor) << typed;
        if (not_at) {
            EXPECT_NE(pixel(100 + not_at, y + 3), cursor) << typed;
        }
    }
}

TEST_F(Fields, TheTextFieldsBufferFormHoldsAtMost499Characters)
{
    alert_recorder alerts;
    char buffer[600] = "start";
    mnw.focus = 2;
    mouse(0, 0, 0);
    stl_input = std::string(499, 'q');
    EXPECT_EQ(BTN_enterstring(100, 300, buffer, 580, 2, ""), 0);
    EXPECT_EQ(std::string(buffer), std::string(499, 'q'));
    stl_input = std::string(500, 'r');
    const recorded_alert a = expect_fatal([&] { BTN_enterstring(100, 300, buffer, 580, 2, ""); });
    EXPECT_EQ(std::tuple(a.l1, a.l2, a.file, a.line),
              std::tuple("String too long!", std::string(500, 'r'), "DEzovuv/GenH/hl_string", 132));
    EXPECT_EQ(std::string(buffer), std::string(499, 'q'));
}
