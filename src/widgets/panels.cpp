// Window panels, framed groups, close boxes and tabs.
#include "widgets/panels.h"

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/text.h"
#include "widgets/butn.h"

namespace {

constexpr int PANEL_WITH_CLOSE_BOXES = 11;
constexpr int PANEL_PLAIN = 12;
constexpr int FILLWIN_TITLE_STRIP = 1;
constexpr int FILLWIN_NOTHING_MORE = 21;
constexpr float TITLE_STRIP_DROP = 50;
// The inner panel of BTN_fillwin leaves a 10-unit margin and 40 units at the top for the title.
constexpr float INNER_MARGIN = 10, INNER_TOP_ROOM = 40;

// BTN_subwin: the gap left between groups, and what a group stretched to the box edge keeps free.
constexpr float GROUP_GAP = 10;
constexpr float GROUP_RIGHT_ROOM = 10, GROUP_TOP_ROOM = 28;

// Tabs: 88 units apart in a row, rows 32 units apart from 38 below the box top.
constexpr float TAB_PITCH_X = 88, TAB_FIRST_X = 53, TAB_PITCH_Y = 32, TAB_TOP_DROP = 38;
// The hit box is not centred on the art: 50 units to the left, 40 to the right.
constexpr float TAB_HIT_LEFT = 50, TAB_HIT_RIGHT = 40, TAB_HALF_HEIGHT = 13;
constexpr float TAB_ART_HALF_WIDTH = 49, TAB_S1 = 204, TAB_S2 = 302;
constexpr float TAB_T_SELECTED = 486, TAB_T_OTHER = 459, TAB_ART_HEIGHT = 26;
constexpr float TAB_TITLE_DX = 35, TAB_TITLE_DY = 4;
constexpr int TAB_SELECTED_COLOUR = 40, TAB_OTHER_COLOUR = 41;

}  // namespace

void BTN_fillwin(int style, int type)
{
    BTN_frame2(style != 0 ? PANEL_WITH_CLOSE_BOXES : PANEL_PLAIN, 0, 0, mnw.box_w, mnw.box_h, stls.win_title);
    if (type == FILLWIN_TITLE_STRIP) {
        BTN_frame1(1, mnw.box_w / 2, mnw.box_h - TITLE_STRIP_DROP, mnw.box_w, 0);
    } else if (type != FILLWIN_NOTHING_MORE) {
        BTN_frame2(type, INNER_MARGIN, INNER_MARGIN, mnw.box_w - 2 * INNER_MARGIN, mnw.box_h - INNER_TOP_ROOM, "");
    }
}

void BTN_subwin(float top, int style, float x, float y, float w, float h, std::string title, float* next_x,
                float* next_y)
{
    if (x < 0)
        x = GROUP_GAP;
    if (y < 0)
        y = GROUP_GAP;
    if (w < 0)
        w = mnw.box_w - GROUP_RIGHT_ROOM - x;
    if (h < 0)
        h = mnw.box_h - GROUP_TOP_ROOM - y - top;
    BTN_frame2(style, x, y, w, h, title);
    if (next_x)
        *next_x = x + w + GROUP_GAP;
    if (next_y)
        *next_y = y + h + GROUP_GAP;
}

int BTN_zap_boxes(int pressed)
{
    const hit_rect left = close_box_rect(false), right = close_box_rect(true);

    // The close boxes answer even while a menu is open: the box must stay closable.
    draw_close_box(left, pressed != 0);
    if (widget_behaviour(left, menu_rule::react_while_menu_open, nullptr) == WIDGET_CLICKED)
        return 1;
    draw_close_box(right, pressed != 0);
    return widget_behaviour(right, menu_rule::react_while_menu_open, nullptr) == WIDGET_CLICKED ? 1 : 0;
}

int BTN_tab(int column, int row, int* current, int value, std::string title)
{
    const float x = TAB_PITCH_X * column + TAB_FIRST_X;
    const float y = mnw.box_h - TAB_TOP_DROP - TAB_PITCH_Y * row;
    const hit_rect hit{x - TAB_HIT_LEFT, y - TAB_HALF_HEIGHT, x + TAB_HIT_RIGHT, y + TAB_HALF_HEIGHT};

    int result = 0;
    if (widget_behaviour(hit, menu_rule::react_while_menu_open, nullptr) == WIDGET_CLICKED) {
        *current = value;
        result = 1;
    }
    const bool selected = *current == value;
    const float t1 = selected ? TAB_T_SELECTED : TAB_T_OTHER;
    draw_atlas_cell(x - TAB_ART_HALF_WIDTH, y - TAB_HALF_HEIGHT, x + TAB_ART_HALF_WIDTH, y + TAB_HALF_HEIGHT, TAB_S1,
                    t1, TAB_S2, t1 + TAB_ART_HEIGHT);
    OGL_string(selected ? TAB_SELECTED_COLOUR : TAB_OTHER_COLOUR, x - TAB_TITLE_DX, y - TAB_TITLE_DY, title, NO_WRAP,
               charset_UI_diff_space);
    return result;
}
