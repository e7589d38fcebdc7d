// Push buttons, check boxes, radio buttons, window panels, close boxes and tabs: what they draw,
// which presses they take and what they return.
#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "core/globals.h"
#include "core/mnw.h"
#include "platform/events.h"
#include "shell/event_proc.h"
#include "widgets/action.h"
#include "widgets/bool.h"
#include "widgets/panels.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

class PushButton : public widget_gl_test { };

TEST_F(PushButton, SizedFromItsLabelWithAnInclusiveHitBox)
{
    // "OK": 21 + 8 + 6 = 35 units, so the hit box is 182.5 .. 217.5; the bar is drawn 36 wide.
    struct probe {
        float x, y;
        int expected;
    };
    const probe probes[] = {{217.5f, 310, 1}, {182.5f, 290, 1}, {217.6f, 300, 0},
                            {182.4f, 300, 0}, {200, 310.1f, 0}, {200, 289.9f, 0}};
    for (const probe& p : probes) {
        mouse(p.x, p.y, 1);
        EXPECT_EQ(BTN_action(200, 300, 0, 0, ACTION_NO_FEEDBACK, "OK"), p.expected) << p.x << ", " << p.y;
    }
    EXPECT_EQ(texel_at(182, 300).s, 304);
    EXPECT_EQ(texel_at(217, 300).s, 355);
    EXPECT_FALSE(texel_at(218, 290).drawn());

    // Hovering without a press, or a held button from an earlier press, is no click.
    mouse(200, 300, 0);
    mnw.held = 1;
    EXPECT_EQ(BTN_action(200, 300, 0, 0, ACTION_SHOW_PRESS, "OK"), 0);
}

TEST_F(PushButton, QuietWhileAMenuIsOpenButStillDrawn)
{
    mnw.open_menu = 3;
    mouse(200, 300, 1);
    EXPECT_EQ(BTN_action(200, 300, 60, 0, ACTION_SHOW_PRESS, "Go"), 0);
    EXPECT_EQ(texel_at(175, 300).t, 499);  // the face, left of the caption
}

TEST_F(PushButton, ThePressedLookShowsAtOnceOnlyWhenAsked)
{
    // Mode 0: the click is answered and nothing is redrawn; the face stays in the back buffer.
    mouse(200, 300, 1);
    EXPECT_EQ(BTN_action(200, 300, 60, 0, ACTION_NO_FEEDBACK, "Go"), 1);
    EXPECT_EQ(texel_at(175, 300).t, 499);

    // Mode 1: the pressed bar is drawn over the face and the buffers are swapped within the call.
    win().reset_2d();
    resync_state();
    mouse(500, 300, 1);
    EXPECT_EQ(BTN_action(500, 300, 60, 0, ACTION_SHOW_PRESS, "Go"), 1);
    // Software GL swaps by copying, so the back buffer still holds what was shown: the pressed bar,
    // style 3, 13 rows up from t 459, where mode 0 left the face (t 499).
    EXPECT_EQ(texel_at(475, 300).t, 472);
}

TEST_F(PushButton, AClickThroughTheRealQueueIsAnsweredOnce)
{
    // The pointer is moved by the window system and the press pushed into the real event queue;
    // the shell's frame reads both and the button, drawn in APP_update, answers once.
    int clicks = 0, frames = 0;
    on_app_update = [&] {
        ++frames;
        clicks += BTN_action(200, 300, 80, 0, ACTION_NO_FEEDBACK, "Press");
    };
    plat::flush_events();
    MACIBM_event_proc();
    ASSERT_TRUE(move_pointer(200, 300));
    EXPECT_EQ(clicks, 0);

    press_at(200, 300);
    const int before = frames;
    for (int frame = 0; frame < 3; ++frame)
        MACIBM_event_proc();
    EXPECT_EQ(frames - before, 3);
    EXPECT_EQ(clicks, 1);
}

class CheckBoxes : public widget_gl_test { };

TEST_F(CheckBoxes, ClicksToggleAnyOnValueAndTheHitBoxIsOneUnitInside)
{
    int value = 7;
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_bool(300, 300, &value, "", BOOL_CHECK_BOX), 0);
    EXPECT_EQ(texel_at(291, 295), (texel{139, 197}));  // drawn on: the on cell over the off cell
    EXPECT_EQ(value, 7);

    mouse(308, 312, 1);
    EXPECT_EQ(BTN_bool(300, 300, &value, "", BOOL_CHECK_BOX), 1);
    EXPECT_EQ(value, 0);
    mouse(292, 296, 1);
    EXPECT_EQ(BTN_bool(300, 300, &value, "", BOOL_CHECK_BOX), 1);
    EXPECT_EQ(value, 1);

    for (auto [x, y] : {std::pair{309.0f, 300.0f}, {300.0f, 295.0f}, {291.0f, 300.0f}, {300.0f, 313.0f}}) {
        mouse(x, y, 1);
        EXPECT_EQ(BTN_bool(300, 300, &value, "", BOOL_CHECK_BOX), 0) << x << ", " << y;
    }
    EXPECT_EQ(value, 1);
}

TEST_F(CheckBoxes, HoverHelpAndOpenMenus)
{
    int value = 0;
    stls.help_line = "stale";
    mouse(300, 300, 0);
    BTN_bool(300, 300, &value, "Left|Right{ Explains the box", BOOL_CHECK_BOX);
    EXPECT_EQ(stls.help_line, "Explains the box");
    BTN_bool(300, 300, &value, "No help", BOOL_CHECK_BOX);
    EXPECT_EQ(stls.help_line, "");

    stls.help_line = "stale";
    mnw.open_menu = 1519;
    mouse(300, 300, 1);
    EXPECT_EQ(BTN_bool(300, 300, &value, "L|R{ help", BOOL_CHECK_BOX), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(stls.help_line, "stale");
    EXPECT_EQ(texel_at(291, 295), (texel{139, 178}));  // still drawn, off
}

TEST_F(CheckBoxes, WrappersOverOtherTypes)
{
    char c = 5;
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_xchr(100, 100, &c, ""), 0);
    EXPECT_EQ(c, 5);
    mouse(100, 104, 1);
    EXPECT_EQ(BTN_xchr(100, 100, &c, ""), 1);
    EXPECT_EQ(c, 0);

    unsigned char byte = 200;
    EXPECT_EQ(BTN_xbyt(100, 100, &byte, ""), 1);
    EXPECT_EQ(byte, 0);

    bool flag = false;
    EXPECT_EQ(BTN_xbol(100, 100, &flag, ""), 1);
    EXPECT_TRUE(flag);
    mouse(0, 0, 0);
    EXPECT_EQ(BTN_xbol(100, 100, &flag, ""), 0);
    EXPECT_TRUE(flag);
}

TEST_F(CheckBoxes, RadioGroupsSelectOneValue)
{
    int server = 1;
    mouse(0, 0, 0);
    BTN_is_int(100, 100, &server, 1, "|first");
    BTN_is_int(100, 130, &server, 2, "|second");
    EXPECT_EQ(texel_at(91, 95), (texel{83, 142}));   // selected: the green ring
    EXPECT_EQ(texel_at(91, 125), (texel{83, 123}));  // the grey ball

    mouse(100, 104, 1);  // the selected one: answered, value kept
    EXPECT_EQ(BTN_is_int(100, 100, &server, 1, "|first"), 1);
    EXPECT_EQ(server, 1);
    mouse(100, 134, 1);
    EXPECT_EQ(BTN_is_int(100, 100, &server, 1, "|first"), 0);
    EXPECT_EQ(BTN_is_int(100, 130, &server, 2, "|second"), 1);
    EXPECT_EQ(server, 2);
}

class Panels : public widget_gl_test {
protected:
    void open_box(float w, float h)
    {
        mnw.cur_win = 2;
        mnw.box_w = w;
        mnw.box_h = h;
    }
};

TEST_F(Panels, GroupsFillTheBoxAndTellWhereTheNextStarts)
{
    open_box(500, 380);
    float next_x = 0, next_y = 0;
    BTN_subwin(0, 12, -1, 30, -1, 100, "", &next_x, &next_y);
    EXPECT_EQ(next_x, 500);
    EXPECT_EQ(next_y, 140);
    EXPECT_EQ(texel_at(1, 16), (texel{102, 358}));  // x 10 - 9, y 30 - 14
    EXPECT_FALSE(texel_at(0, 16).drawn());

    BTN_subwin(40, 12, 10, 10, 100, -1, "", &next_x, &next_y);
    EXPECT_EQ(next_y, 322);  // 302 high: 380 - 28 - 10 - 40
    EXPECT_EQ(next_x, 120);
}

TEST_F(Panels, FillwinDrawsThePanelAndTheTitleStrip)
{
    open_box(500, 300);
    BTN_fillwin(1, 1);
    // Strip style 1 at box height - 50, dy -3: row 13.5 of 26 rows that read the 25 atlas rows 487..511.
    EXPECT_EQ(texel_at(250, 247).t, 499);
    EXPECT_EQ(texel_at(0, 0), (texel{1 + 9, 358 + 14}));  // the panel starts 9 left, 14 below the box
}

TEST_F(Panels, CloseBoxesAnswerTheirOwnSquares)
{
    open_box(500, 300);
    mouse(25, 299, 1);  // the left box's corner, bounds included
    EXPECT_EQ(BTN_zap_boxes(0), 1);
    EXPECT_EQ(texel_at(7, 281), (texel{120, 178}));
    EXPECT_FALSE(texel_at(475, 281).drawn());  // returned before the right box was drawn

    win().reset_2d();
    resync_state();
    mouse(475, 281, 1);
    EXPECT_EQ(BTN_zap_boxes(1), 1);
    EXPECT_EQ(texel_at(475, 281), (texel{120, 197}));  // pressed look
    mouse(474, 281, 1);
    EXPECT_EQ(BTN_zap_boxes(0), 0);
    mnw.open_menu = 4;  // close boxes answer with a menu open
    mouse(7, 281, 1);
    EXPECT_EQ(BTN_zap_boxes(0), 1);
}

TEST_F(Panels, TabHitBoxesAreOffCentreAndSelectAtOnce)
{
    open_box(500, 300);
    int current = 0;
    struct probe {
        float x;
        int expected;
    };
    for (const probe& p : {probe{269, 1}, probe{270, 0}, probe{179, 1}, probe{178, 0}}) {
        current = 0;
        mouse(p.x, 262, 1);
        EXPECT_EQ(BTN_tab(2, 0, &current, 5, "Tab"), p.expected) << p.x;
        EXPECT_EQ(current, p.expected ? 5 : 0);
    }
    mouse(229, 262, 1);
    current = 0;
    EXPECT_EQ(BTN_tab(2, 0, &current, 5, "Tab"), 1);
    EXPECT_EQ(texel_at(229, 262), (texel{204 + 49, 486 + 13}));  // drawn selected in the same call
    mouse(0, 0, 0);
    BTN_tab(1, 1, &current, 6, "Other");  // centre (141, 230), not selected
    EXPECT_EQ(texel_at(141, 230), (texel{204 + 49, 459 + 13}));
}
