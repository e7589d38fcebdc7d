// The pop-up text list, the digit-wheel number fields, the character wheel and the text field.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "platform/events.h"
#include "shell/event_proc.h"
#include "shell/windows.h"
#include "widgets/enterstring.h"
#include "widgets/menus.h"
#include "widgets/numbers.h"
#include "widgets/textlist.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

namespace {

const std::string SYSTEMS = "Macintosh-Windows-Linux Generic x86-Linux Pentium 3-Linux Athlon XP";

}  // namespace

class TextList : public widget_gl_test { };

TEST_F(TextList, TheChoiceIsClampedIntoTheList)
{
    int choice = 9;
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_textlist(300, 400, &choice, SYSTEMS, ""), 0);
    EXPECT_EQ(choice, 4);
    // "Linux Athlon XP" is 79 wide, centred on 300: it starts at 260.5, drawn from pixel 261.
    EXPECT_EQ(texel_at(261, 398), (texel{96, 11}));  // 'L'

    choice = -3;
    BTN_textlist(300, 500, &choice, SYSTEMS, "");
    EXPECT_EQ(choice, 0);
}

TEST_F(TextList, TheBarFollowsThePainterAndHelpShowsWhileClosed)
{
    // The widest entry is 89: the bar is centred at x + 10 and 89 + 28 wide, which the painter makes
    // 122 units on even pixels, 249 .. 370, from 393 to 416.
    int choice = 1;
    stls.help_line = "stale";
    mouse(300, 400, 0);
    BTN_textlist(300, 400, &choice, SYSTEMS, "{ Pick a system");
    EXPECT_EQ(texel_at(249, 405), (texel{357, 500}));
    EXPECT_EQ(texel_at(370, 405), (texel{424, 500}));
    EXPECT_FALSE(texel_at(248, 405).drawn());
    EXPECT_FALSE(texel_at(371, 405).drawn());
    EXPECT_EQ(texel_at(300, 393).t, 488);
    EXPECT_FALSE(texel_at(330, 392).drawn());
    EXPECT_EQ(stls.help_line, "Pick a system");

    // Open, the list shows its rows in the menu slot and the bar gives no help.
    stls.help_line = "stale";
    mouse(300, 400, 1);
    BTN_textlist(300, 400, &choice, SYSTEMS, "Platform{ Pick a system");
    mouse(300, 400, 0);
    BTN_textlist(300, 400, &choice, SYSTEMS, "Platform{ Pick a system");
    EXPECT_EQ(mnw.open_menu, 1519);
    EXPECT_EQ(stls.help_line, "stale");
}

TEST_F(TextList, APickThroughTheRealQueue)
{
    // The list is drawn in APP_update; the shell's frame draws its pop-up and its click dispatch
    // delivers the pick, all from real presses in the event queue.
    int choice = 0, picks = 0;
    on_app_update = [&] { picks += BTN_textlist(300, 400, &choice, SYSTEMS, ""); };
    plat::flush_events();
    ASSERT_TRUE(move_pointer(600, 600));
    press_at(300, 402);  // the bar
    MACIBM_event_proc();
    EXPECT_EQ(mnw.open_menu, 1519);
    EXPECT_EQ(picks, 0);

    press_at(300, 402 - 3 * 12);  // the row of "Linux Pentium 3", three below the chosen one
    MACIBM_event_proc();
    MACIBM_event_proc();
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(choice, 3);
    EXPECT_EQ(mnw.open_menu, -1);
}

TEST_F(TextList, ItemsMayNotHoldBarsAndNumberAtMostThreeHundred)
{
    alert_recorder alerts;
    int choice = 0;
    const std::string most(299, '-');
    EXPECT_EQ(BTN_textlist(300, 400, &choice, most, ""), 0);
    EXPECT_TRUE(alerts.alerts().empty());

    recorded_alert a = expect_fatal([&] { BTN_textlist(300, 400, &choice, most + "-", "Label"); });
    EXPECT_EQ(a.l1, "BTN_text_list overflow!");
    EXPECT_EQ(a.l2, most + "-");
    EXPECT_EQ(a.l4, "Label");
    EXPECT_EQ(a.line, 603);
    EXPECT_EQ(a.file, "DEzovuv/OOPS_cpp/butn");

    a = expect_fatal([&] { BTN_textlist(300, 400, &choice, "One|Two", "Label"); });
    EXPECT_EQ(a.l1, "Found | char in text string!");
    EXPECT_EQ(a.line, 599);
}

TEST_F(TextList, AClickOpensThePopupAndAPickComesBackOnce)
{
    // The widest entry, "Linux Generic x86", is 89 wide: the bar answers 250.5 .. 369.5 by 398 .. 408.
    int choice = 1;
    mouse(370, 400, 1);
    BTN_textlist(300, 400, &choice, SYSTEMS, "");
    EXPECT_EQ(mnw.open_menu, -1);

    mouse(369.5f, 408, 1);
    EXPECT_EQ(BTN_textlist(300, 400, &choice, SYSTEMS, ""), 0);
    EXPECT_EQ(active_popup_code, 400 * 1024 + 300);
    EXPECT_EQ(mnw.open_menu, 1519);
    const menu_struct& slot = menu[1519];
    EXPECT_EQ(slot.x1, 252);
    EXPECT_EQ(slot.y1, 360);
    EXPECT_EQ(slot.x2, 349);
    EXPECT_EQ(slot.y2, 422);
    ASSERT_EQ(slot.items.size(), 5u);
    EXPECT_EQ(slot.items[1].y1, 400);  // the chosen row sits on the bar
    EXPECT_EQ(slot.items[3].y1, 376);
    EXPECT_EQ(slot.items[3].name, "Linux Pentium 3");

    // A press beside every row closes the menu in the dispatcher, but the list opens again.
    mouse(500, 380, 1);
    MACIBM_handleclick(0);
    BTN_textlist(300, 400, &choice, SYSTEMS, "");
    EXPECT_EQ(mnw.open_menu, 1519);

    mouse(300, 380, 1);  // row 3
    MACIBM_handleclick(0);
    EXPECT_EQ(mnw.open_menu, -1);
    EXPECT_EQ(mnw.click, 0);
    EXPECT_EQ(BTN_textlist(300, 400, &choice, SYSTEMS, ""), 1);
    EXPECT_EQ(choice, 3);
    EXPECT_EQ(BTN_textlist(300, 400, &choice, SYSTEMS, ""), 0);
    EXPECT_EQ(mnw.open_menu, -1);
}

TEST_F(TextList, APressOnAnotherListMovesThePopup)
{
    int first = 0, second = 0;
    mouse(300, 402, 1);
    BTN_textlist(300, 400, &first, SYSTEMS, "");
    BTN_textlist(300, 200, &second, "A-B", "");
    EXPECT_EQ(active_popup_code, 400 * 1024 + 300);
    mouse(300, 202, 1);
    BTN_textlist(300, 400, &first, SYSTEMS, "");
    BTN_textlist(300, 200, &second, "A-B", "");
    EXPECT_EQ(active_popup_code, 200 * 1024 + 300);
    EXPECT_EQ(menu[1519].items.size(), 2u);
}

TEST_F(TextList, AListAtTheBoxOriginIsLikeAnyOther)
{
    // Its position computes to 0, which the pop-up globals use for "no list".
    int choice = 1;
    popup_menu_select = 2;
    mouse(500, 500, 0);
    EXPECT_EQ(BTN_textlist(0, 0, &choice, "A-B-C", ""), 0);
    EXPECT_EQ(choice, 1);
    EXPECT_EQ(mnw.open_menu, -1);

    mouse(0, 0, 1);
    BTN_textlist(0, 0, &choice, "A-B-C", "");
    EXPECT_EQ(mnw.open_menu, 1519);
    mouse(0, -12 + 6, 1);  // row 2
    MACIBM_handleclick(0);
    EXPECT_EQ(BTN_textlist(0, 0, &choice, "A-B-C", ""), 1);
    EXPECT_EQ(choice, 2);
    EXPECT_EQ(BTN_textlist(0, 0, &choice, "A-B-C", ""), 0);
}

TEST_F(TextList, AnOpenListCreepsBackOntoTheScreenRowByRow)
{
    int choice = 0;
    mouse(300, 12, 1);
    for (int expected : {1, 2, 3, 4, 4}) {
        BTN_textlist(300, 10, &choice, SYSTEMS, "");
        mouse(0, 0, 0);
        EXPECT_EQ(choice, expected);
    }
    // Below the box origin even the last row is off screen; the choice stays an index of the list.
    active_popup_code = 0;
    choice = 1;
    mouse(300, -3, 1);
    BTN_textlist(300, -5, &choice, "A-B", "");
    EXPECT_EQ(mnw.open_menu, 1519);
    EXPECT_EQ(choice, 1);
}

class NumberFields : public widget_gl_test { };

TEST_F(NumberFields, ValuesAreClampedAndRoundedOnEveryCall)
{
    int streams = 0;
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_int_range(100, 100, &streams, 1, 1, 4, ""), 0);
    EXPECT_EQ(streams, 1);
    streams = 4;
    mouse(105, 110, 1);
    EXPECT_EQ(BTN_int_range(100, 100, &streams, 1, 1, 4, ""), 1);
    EXPECT_EQ(streams, 4);

    float v = 12.34f;
    mouse(0, 0, 0);
    BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, "");
    EXPECT_FLOAT_EQ(v, 12.3f);
    v = -12.35f;
    BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, "");
    EXPECT_FLOAT_EQ(v, -12.4f);
    v = 5;
    BTN_flt_range(100, 200, &v, 4, 1, 50, 20, "");  // min above max: max wins
    EXPECT_FLOAT_EQ(v, 20);
}

TEST_F(NumberFields, UpperHalvesAddAndLowerHalvesSubtractTheColumnsUnit)
{
    float v = 0;
    mouse(105, 210, 1);  // leftmost column, upper half: hundreds
    EXPECT_EQ(BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, ""), 1);
    EXPECT_FLOAT_EQ(v, 100);
    mouse(135, 202.9f, 1);  // rightmost column, lower half: tenths
    EXPECT_EQ(BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, ""), 1);
    EXPECT_FLOAT_EQ(v, 99.9f);
    mouse(120, 203, 1);  // on the border of columns 1 and 2: both step
    EXPECT_EQ(BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, ""), 1);
    EXPECT_FLOAT_EQ(v, 110.9f);
    for (auto [x, y] : {std::pair{99.0f, 210.0f}, {141.0f, 210.0f}, {110.0f, 181.9f}, {110.0f, 224.1f}}) {
        mouse(x, y, 1);
        EXPECT_EQ(BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, ""), 0) << x << ", " << y;
    }
    EXPECT_FLOAT_EQ(v, 110.9f);

    // While a menu is open the field still corrects and draws, but takes no click and sets no help.
    stls.help_line = "stale";
    mnw.open_menu = 2;
    v = 12.34f;
    mouse(105, 204, 1);
    EXPECT_EQ(BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, "{ help"), 0);
    EXPECT_FLOAT_EQ(v, 12.3f);
    EXPECT_EQ(stls.help_line, "stale");
    EXPECT_EQ(texel_at(99, 181), (texel{83, 178}));   // column 0's down arrow
    EXPECT_EQ(texel_at(129, 209), (texel{83, 197}));  // column 3's up arrow
}

TEST_F(NumberFields, HelpComesFromTheDigitRowOnly)
{
    float v = 0;
    stls.help_line = "stale";
    mouse(105, 198, 0);  // y - 2: on the digits
    BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, "Size{ Megabytes to keep");
    EXPECT_EQ(stls.help_line, "Megabytes to keep");
    stls.help_line = "stale";
    mouse(105, 197.9f, 0);  // over the down arrows: still the field, but no help
    BTN_flt_range(100, 200, &v, 4, 1, -1000, 1000, "Size{ Megabytes to keep");
    EXPECT_EQ(stls.help_line, "stale");
}

TEST_F(NumberFields, GridFieldsEndOnTheirGridLine)
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
}

TEST_F(NumberFields, ADisplayedNumberHasTheFrameAndDigitsButNoArrows)
{
    // Three digits at x 100: the frame is centred on 114 and 45 + 4 units wide on even pixels, 89 .. 138.
    mouse(105, 210, 1);
    BTN_display_number(100, 300, 42, 3, 0, "");
    EXPECT_EQ(texel_at(89, 303).s, 262);
    EXPECT_EQ(texel_at(138, 303).s, 312);
    EXPECT_FALSE(texel_at(88, 303).drawn());
    EXPECT_FALSE(texel_at(139, 303).drawn());
    EXPECT_FALSE(texel_at(105, 285).drawn());  // no down arrow
    EXPECT_FALSE(texel_at(105, 320).drawn());  // no up arrow
    // "042" in the fixed font's cells, 10 units apart from x + 4: '0' is cell 1, '4' cell 5, '2' cell 3.
    auto cells_shown = [](int x1) {
        std::set<int> cells;
        for (int y = 294; y < 312; ++y)
            for (int x = x1 + 2; x < x1 + 7; ++x) {
                texel t = texel_at(x, y);
                if (t.drawn() && t.t < 11 && t.s >= 168)
                    cells.insert((t.s - 168) / 8);
            }
        return cells;
    };
    EXPECT_EQ(cells_shown(104), std::set<int>{1});
    EXPECT_EQ(cells_shown(114), std::set<int>{5});
    EXPECT_EQ(cells_shown(124), std::set<int>{3});
}

TEST_F(NumberFields, RangesFollowTheDigitsAndIntsSaturate)
{
    float v = 5000;
    mouse(0, 0, 0);
    BTN_flt(100, 100, &v, 3, 0, 0, "");
    EXPECT_FLOAT_EQ(v, 999);
    v = -5;
    BTN_flt(100, 100, &v, 3, 0, 0, "");
    EXPECT_FLOAT_EQ(v, 0);
    v = -5000;
    BTN_flt(100, 100, &v, 3, 0, 1, "");
    EXPECT_FLOAT_EQ(v, -999);
    v = 50;
    BTN_flt(100, 100, &v, 2, 1, 0, "");
    EXPECT_FLOAT_EQ(v, 9.9f);

    // Ten digits reach past the int range: the write-back saturates instead of overflowing.
    int big = INT_MAX;
    BTN_int(100, 100, &big, 10, 1, "");
    EXPECT_EQ(big, INT_MAX);
    mouse(105, 110, 1);
    EXPECT_EQ(BTN_int(100, 100, &big, 10, 1, ""), 1);
    EXPECT_EQ(big, INT_MAX);
    big = INT_MIN;
    mouse(105, 90, 1);
    BTN_int(100, 100, &big, 10, 1, "");
    EXPECT_EQ(big, INT_MIN);

    double d = 5000;
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_dob_range(100, 100, &d, 3, 0, 0, 100, ""), 0);
    EXPECT_EQ(d, 5000);
    mouse(105, 110, 1);
    EXPECT_EQ(BTN_dob_range(100, 100, &d, 3, 0, 0, 100, ""), 1);
    EXPECT_EQ(d, 100);
}

TEST_F(NumberFields, TheCharacterWheelTurnsThroughItsRing)
{
    struct turn {
        char from;
        float y;
        char to;
    };
    // y + 3 and above is the upper half (the previous symbol); below it the next one.
    for (const turn& t : {turn{'A', 110, '9'}, turn{' ', 103, '-'}, turn{'z', 102, '-'}, turn{'-', 90, ' '},
                          turn{'#', 90, '1'}, turn{'0', 90, '1'}, turn{'Z', 90, '-'}, turn{'m', 110, 'L'}}) {
        char code[2] = {t.from, 0};
        mouse(105, t.y, 1);
        BTN_chars(100, 100, code, 1, "");
        EXPECT_EQ(code[0], t.to) << t.from;
    }
    // The wheel turns even with a menu open; a click beside every column turns nothing.
    char code[3] = {'A', 'B', 0};
    mnw.open_menu = 5;
    mouse(115, 90, 1);
    BTN_chars(100, 100, code, 2, "");
    EXPECT_STREQ(code, "AC");
    mouse(121, 90, 1);
    BTN_chars(100, 100, code, 2, "");
    EXPECT_STREQ(code, "AC");
}

class TextField : public widget_gl_test { };

TEST_F(TextField, AClickTakesTheFocusAndEmptiesTheField)
{
    std::string port = "8080";
    stl_input = "left over";
    mouse(130, 308, 1);  // x + 6L, y + 8: the corner of the hit box
    EXPECT_EQ(BTN_enterstring(100, 300, &port, 5, 1, ""), 1);
    EXPECT_EQ(mnw.focus, 1);
    EXPECT_EQ(port, "");
    EXPECT_EQ(stl_input, "");

    mouse(0, 0, 0);
    stl_input = "1234567";
    EXPECT_EQ(BTN_enterstring(100, 300, &port, 5, 1, ""), 0);
    EXPECT_EQ(port, "12345");
    EXPECT_EQ(stl_input, "12345");
    stl_input.pop_back();
    BTN_enterstring(100, 300, &port, 5, 1, "");
    EXPECT_EQ(port, "1234");

    // The event procedure drops the focus on every press; a second click empties the field again.
    mnw.focus = -1;
    mouse(100, 300, 1);
    EXPECT_EQ(BTN_enterstring(100, 300, &port, 5, 1, ""), 1);
    EXPECT_EQ(port, "");

    mnw.focus = -1;
    mouse(99, 304, 1);
    EXPECT_EQ(BTN_enterstring(100, 300, &port, 5, 1, ""), 0);
    EXPECT_EQ(mnw.focus, -1);

    // Resting on the field shows its help, focused or not.
    stls.help_line = "stale";
    mouse(110, 300, 0);
    BTN_enterstring(100, 300, &port, 5, 1, "Port{ The proxy's port");
    EXPECT_EQ(stls.help_line, "The proxy's port");
}

TEST_F(TextField, OnlyTheFocusedFieldFollowsTheTypedText)
{
    std::string host = "old host", port = "80";
    mouse(100, 304, 1);
    BTN_enterstring(100, 300, &host, 65, 0, "");
    mouse(0, 0, 0);
    stl_input = "proxy";
    BTN_enterstring(100, 300, &host, 65, 0, "");
    BTN_enterstring(100, 250, &port, 65, 1, "");
    EXPECT_EQ(host, "proxy");
    EXPECT_EQ(port, "80");

    mnw.focus = -1;
    mouse(100, 254, 1);
    BTN_enterstring(100, 300, &host, 65, 0, "");
    EXPECT_EQ(BTN_enterstring(100, 250, &port, 65, 1, ""), 1);
    mouse(0, 0, 0);
    stl_input = "3128";
    BTN_enterstring(100, 300, &host, 65, 0, "");
    BTN_enterstring(100, 250, &port, 65, 1, "");
    EXPECT_EQ(host, "proxy");
    EXPECT_EQ(port, "3128");

    // A press on empty space leaves no field focused; typing then changes nothing.
    mnw.focus = -1;
    mouse(600, 600, 1);
    BTN_enterstring(100, 300, &host, 65, 0, "");
    BTN_enterstring(100, 250, &port, 65, 1, "");
    stl_input = "typed";
    mouse(0, 0, 0);
    BTN_enterstring(100, 300, &host, 65, 0, "");
    BTN_enterstring(100, 250, &port, 65, 1, "");
    EXPECT_EQ(host, "proxy");
    EXPECT_EQ(port, "3128");
}

TEST_F(TextField, TheBoxFollowsThePainterNotTheNominalSpan)
{
    // Style 9 adds 4 to the width and centres on an even pixel: with x 101 and 5 characters the
    // box runs from x - 9 to x + 6L + 5, not x - 7 to x + 6L + 3.
    std::string text;
    mouse(0, 0, 0);
    BTN_enterstring(101, 300, &text, 5, 1, "");
    EXPECT_FALSE(texel_at(91, 303).drawn());
    EXPECT_EQ(texel_at(92, 303).s, 262);
    EXPECT_EQ(texel_at(135, 303).s, 312);
    EXPECT_FALSE(texel_at(136, 303).drawn());
}

TEST_F(TextField, TheCursorFollowsTheText)
{
    colr.assign(44, 1, 0, 0);
    std::string text = "ab";  // 12 wide: the cursor at x + 13
    mnw.focus = 3;
    stl_input = "ab";
    mouse(0, 0, 0);
    BTN_enterstring(100, 300, &text, 10, 3, "");
    EXPECT_EQ(pixel(113, 303), (test::rgba{255, 0, 0, 255}));
}

TEST_F(TextField, TheBufferFormHoldsAtMost499Characters)
{
    alert_recorder alerts;
    char buffer[600] = "start";
    mnw.focus = 2;
    mouse(0, 0, 0);
    stl_input = std::string(499, 'q');
    EXPECT_EQ(BTN_enterstring(100, 300, buffer, 580, 2, ""), 0);
    EXPECT_EQ(std::string(buffer), std::string(499, 'q'));

    stl_input = std::string(500, 'r');
    recorded_alert a = expect_fatal([&] { BTN_enterstring(100, 300, buffer, 580, 2, ""); });
    EXPECT_EQ(a.l1, "String too long!");
    EXPECT_EQ(a.l2, std::string(500, 'r'));
    EXPECT_EQ(a.file, "DEzovuv/GenH/hl_string");
    EXPECT_EQ(a.line, 132);
    EXPECT_EQ(std::string(buffer), std::string(499, 'q'));
}

TEST_F(TextField, KeysTypedIntoTheRealQueueReachTheFocusedField)
{
    // Keys go through the real event queue and the shell's frame; the field draws inside APP_update.
    std::string text = "unchanged";
    int taken = 0;
    on_app_update = [&] { taken += BTN_enterstring(100, 300, &text, 20, 7, ""); };
    plat::flush_events();
    MACIBM_event_proc();  // the first frame starts the main screen, which drops any focus
    mnw.focus = 7;
    for (SDL_Scancode key : {SDL_SCANCODE_H, SDL_SCANCODE_I}) {
        plat::push_key_event(key, true, false, 0);
        plat::push_key_event(key, false, false, 0);
    }
    for (int frame = 0; frame < 3; ++frame)
        MACIBM_event_proc();
    EXPECT_EQ(stl_input, "hi");
    EXPECT_EQ(text, "hi");
    EXPECT_EQ(taken, 0);
}
