// Sliders and the scrolling name list.
//
// Index of this file:
//   [SECTION] Vertical slider (BTN_vert_slider)
//   [SECTION] Horizontal slider (BTN_horz_slider)
//   [SECTION] Name list (BTN_big_name_list)
#include "widgets/sliders.h"

#include <algorithm>
#include <cmath>

#include "core/alert.h"
#include "core/clock.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "shell/windows.h"
#include "widgets/butn.h"

float io_cx = 160, io_dx = 280, io_dy = 220;

// ---------------------------------------------------------------------------
// [SECTION] Vertical slider
// ---------------------------------------------------------------------------

namespace {

constexpr int TRACK_STYLE = 6;
// The knob travels from 10 below the top to 9 above the bottom of the track.
constexpr float KNOB_TOP_ROOM = 10, KNOB_BOTTOM_ROOM = 9;
// Knob, arrows and the drag all answer 11 units either side of their centre line.
constexpr float GRAB = 11;
constexpr float ARROW_LENGTH = 20;
constexpr int PAGE_STEP = 10;
// Cells: 18 texels wide from s 83; the arrows 22 high centred 8 above the top and 10 below the
// bottom, the knob 26 high.
constexpr float CELL_HALF_WIDTH = 9, CELL_S1 = 83, CELL_S2 = 101;
constexpr float ARROW_HALF_HEIGHT = 11, TOP_ARROW_RAISE = 8, BOTTOM_ARROW_DROP = 10, KNOB_HALF_HEIGHT = 13;
constexpr float TOP_ARROW_T1 = 266, TOP_ARROW_T2 = 288, KNOB_T1 = 239, KNOB_T2 = 265;
constexpr float BOTTOM_ARROW_T1 = 216, BOTTOM_ARROW_T2 = 238;
constexpr int HELD_COLOUR = 46;

int knob_held[VERT_SLIDER_SLOTS];

bool mouse_x_within(float x, float reach)
{
    return mnw.mouse_x >= x - reach && mnw.mouse_x <= x + reach;
}

bool mouse_y_within(float y1, float y2)
{
    return mnw.mouse_y >= y1 && mnw.mouse_y <= y2;
}

}  // namespace

int BTN_vert_slider(int slot, float x, float y_bottom, float y_top, int min, int max, int* value)
{
    BTN_frame0(TRACK_STYLE, x, (y_bottom + y_top) / 2, y_top - y_bottom);
    if (max <= min)
        return 0;

    const float lo = y_bottom + KNOB_BOTTOM_ROOM, hi = y_top - KNOB_TOP_ROOM;
    const float span = static_cast<float>(max) - static_cast<float>(min);
    const float pos =
        std::clamp(hi + (lo - hi) * (static_cast<float>(*value) - min) / span, std::min(lo, hi), std::max(lo, hi));
    // A negative slot would index the flags from below just as a large one from above.
    if (slot < 0 || slot >= VERT_SLIDER_SLOTS) {
        __MACIBM_alert(0, "Too many sliders!", "", "", "", ALERT_FATAL, BUTN_SOURCE, __LINE__);
        return 0;
    }

    int& held = knob_held[slot];
    if (!mnw.held)
        held = 0;
    else if (mouse_x_within(x, GRAB) && mouse_y_within(pos - GRAB, pos + GRAB))
        held = 1;

    // Worked in floating point and clamped before the conversion, so that no mouse position,
    // however far off, makes an int out of range.
    double v = *value;
    if (held) {
        const double drag_top = y_top - GRAB, drag_bottom = y_bottom + GRAB;
        // A track exactly two grabs long has no room to drag in: the value stays.
        if (drag_bottom != drag_top)
            v = std::trunc(min + span * (mnw.mouse_y - drag_top) / (drag_bottom - drag_top));
    } else if (mnw.click || (mnw.held_long && xtim.tick_0_2s)) {
        if (mouse_x_within(x, GRAB)) {
            if (mouse_y_within(y_top, y_top + ARROW_LENGTH))
                v -= 1;
            if (mouse_y_within(y_bottom - ARROW_LENGTH, y_bottom))
                v += 1;
            if (mouse_y_within(y_bottom, y_top))
                v += mnw.mouse_y >= pos ? -PAGE_STEP : PAGE_STEP;
        }
    }
    *value = static_cast<int>(std::clamp(v, static_cast<double>(min), static_cast<double>(max)));

    const int colour = held ? HELD_COLOUR : 0;
    const float top_arrow = y_top + TOP_ARROW_RAISE, bottom_arrow = y_bottom - BOTTOM_ARROW_DROP;
    draw_atlas_cell(x - CELL_HALF_WIDTH, top_arrow - ARROW_HALF_HEIGHT, x + CELL_HALF_WIDTH,
                    top_arrow + ARROW_HALF_HEIGHT, CELL_S1, TOP_ARROW_T1, CELL_S2, TOP_ARROW_T2, colour);
    draw_atlas_cell(x - CELL_HALF_WIDTH, pos - KNOB_HALF_HEIGHT, x + CELL_HALF_WIDTH, pos + KNOB_HALF_HEIGHT, CELL_S1,
                    KNOB_T1, CELL_S2, KNOB_T2, colour);
    draw_atlas_cell(x - CELL_HALF_WIDTH, bottom_arrow - ARROW_HALF_HEIGHT, x + CELL_HALF_WIDTH,
                    bottom_arrow + ARROW_HALF_HEIGHT, CELL_S1, BOTTOM_ARROW_T1, CELL_S2, BOTTOM_ARROW_T2, colour);
    return held;
}

// ---------------------------------------------------------------------------
// [SECTION] Horizontal slider
// ---------------------------------------------------------------------------

namespace {

constexpr int TRACK_BAR = 7, FILL_BAR = 8;
// min and max are kept at least this far apart, so the value never divides by zero.
constexpr float SMALLEST_RANGE = 0.01f;
constexpr float LABEL_GAP = 8;
constexpr float HELP_HALF_HEIGHT = 7, DRAG_MARGIN = 10;
constexpr float VALUE_RAISE = 10, VALUE_RIGHT_ROOM = 3, VALUE_CENTRE_SHIFT = 5;
constexpr int VALUE_COLOUR = 42;
constexpr float FILL_RAISE = 4;
// Knob: 20 x 22 texels from (262, 267), centred 2 above y.
constexpr float KNOB_HALF_W = 10, KNOB_HALF_H = 11, KNOB_RAISE = 2, KNOB_S = 262, KNOB_T = 267;

bool is_signed_number(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-'; });
}

}  // namespace

int BTN_horz_slider(float x, float y, float w, int fill_colour, float min, float max, float* value, int editable,
                    std::string label, std::string value_text)
{
    std::string left, right, help;
    BTN_expand_label(label, &left, &right, &help);
    if (min < max && max < min + SMALLEST_RANGE)
        max = min + SMALLEST_RANGE;
    else if (min >= max && min < max + SMALLEST_RANGE)
        min = max + SMALLEST_RANGE;

    BTN_frame1(TRACK_BAR, x + w / 2, y, w, 0);
    BTN_util_draw_label(x - LABEL_GAP, y, ALIGN_END_AT_X, left, 0);
    BTN_util_draw_label(x + w + LABEL_GAP, y, ALIGN_START_AT_X, right, 0);
    if (mouse_in({x, y - HELP_HALF_HEIGHT, x + w, y + HELP_HALF_HEIGHT}))
        stls.help_line = help;

    const float value_x = is_signed_number(value_text)
        ? x + w - VALUE_RIGHT_ROOM - proportional_text_width(value_text)
        : x + w / 2 - proportional_text_width(value_text) / 2 + VALUE_CENTRE_SHIFT;
    OGL_string(VALUE_COLOUR, value_x, y + VALUE_RAISE, value_text, NO_WRAP, charset_UI_diff_space);

    const float lo = std::min(min, max), hi = std::max(min, max);
    const float fill = std::clamp(w * (*value - min) / (max - min), 0.0f, std::max(w, 0.0f));

    int result = 0;
    const hit_rect drag{x - DRAG_MARGIN, y - DRAG_MARGIN, x + w + DRAG_MARGIN, y + DRAG_MARGIN};
    if (editable && mnw.held && mouse_in(drag)) {
        *value = w == 0 ? (lo + hi) / 2 : std::clamp(lo + (hi - lo) * (mnw.mouse_x - x) / w, lo, hi);
        result = 1;
    }

    if (fill_colour != HORZ_SLIDER_NO_FILL && fill > 0) {
        const float length = 2 * std::round(std::trunc(fill) / 2);
        BTN_frame1(FILL_BAR, x + length / 2, y + FILL_RAISE, length, fill_colour);
    }
    if (editable) {
        // min and max so large that the smallest range does not part them leave no range: the middle.
        const float kx = hi == lo
            ? x + w / 2
            : std::clamp(x + w * (*value - lo) / (hi - lo), std::min(x, x + w), std::max(x, x + w));
        draw_atlas_cell(kx - KNOB_HALF_W, y + KNOB_RAISE - KNOB_HALF_H, kx + KNOB_HALF_W, y + KNOB_RAISE + KNOB_HALF_H,
                        KNOB_S, KNOB_T, KNOB_S + 2 * KNOB_HALF_W, KNOB_T + 2 * KNOB_HALF_H);
    }
    return result;
}

// ---------------------------------------------------------------------------
// [SECTION] Name list
// ---------------------------------------------------------------------------

namespace {

constexpr int LIST_PANEL_STYLE = 16;
constexpr float DEFAULT_HALF_HEIGHT = 110;
constexpr float ROW = 10;
// The slider stands 16 units right of the list.
constexpr float SLIDER_GAP = 16;
constexpr float NAME_DX = 20, NAME_DROP = 3;
constexpr int NAME_COLOUR = 44;
constexpr float ICON_DX = 10, ICON_HALF = 6, ICON_T1 = 57, ICON_T2 = 69;
constexpr float SHADE_DX = 18, SHADE_NARROWER = 22, SHADE_HALF_HEIGHT = 5;
constexpr int SHADE_COLOUR = 12, MIDDLE_ROW_COLOUR = 44;
constexpr float SHADE_ALPHA = 0.25f;

struct kind_icon {
    int kind;
    float s1;
};
// Icons of the entry kinds, 12 texels wide from s1 (folder, aircraft, airfoil, weapon, situation,
// movie, flight plan, object); other kinds have none.
constexpr kind_icon KIND_ICONS[] = {{1, 34}, {3, 48}, {4, 62}, {5, 90}, {9, 104}, {10, 118}, {12, 132}, {7, 146}};

bool reads_listing_tables(int list_type)
{
    return list_type == WIN_FILE_OPEN || list_type == WIN_FILE_SAVE || list_type == NAME_LIST_TABLES;
}

void draw_kind_icon(int kind, float x, float row_centre)
{
    for (const kind_icon& icon : KIND_ICONS)
        if (icon.kind == kind)
            draw_atlas_cell(x + ICON_DX - ICON_HALF, row_centre - ICON_HALF, x + ICON_DX + ICON_HALF,
                            row_centre + ICON_HALF, icon.s1, ICON_T1, icon.s1 + 2 * ICON_HALF, ICON_T2);
}

}  // namespace

int BTN_big_name_list(int list_type, int slot, float x, float y, float w, float h, int* current, int* hovered, int min,
                      int max, std::string* text, std::string (*name_of)(int))
{
    (void)text;  // the file box passes its typed text here; the list does not read it
    x = std::round(x);
    y = std::round(y);
    if (w <= 0)
        w = io_dx;
    float half = h / 2;
    if (h <= 0) {
        h = io_dy;
        half = DEFAULT_HALF_HEIGHT;
    }
    // The listing tables hold 3000 entries: a range reaching past them would read beyond the tables.
    if (reads_listing_tables(list_type)) {
        min = std::max(min, 0);
        max = std::min(max, listing_capacity - 1);
    }

    BTN_frame2(LIST_PANEL_STYLE, x, y - h / 2, w, h, "");
    if (max < min)
        return 0;
    if (min < max)
        BTN_vert_slider(slot, x + w + SLIDER_GAP, y - h / 2, y + h / 2, min, max, current);

    // Worked in 64 bits and clamped at the end: a caller's entry near the int limits, moved by the
    // wheel or a row, must not wrap round into the range.
    long long shown = *current, under_mouse = *hovered;
    int result = 0;
    if (mouse_in({x, y - half, x + w, y + half})) {
        shown -= mnw.wheel;
        mnw.wheel = 0;
        const int row = static_cast<int>(std::round((mnw.mouse_y - y) / ROW));
        under_mouse = shown - row;
        if (mnw.click) {
            shown -= row;
            result = 1;
        }
    }

    const int rows = static_cast<int>(std::trunc(h / (2 * ROW) - 1));
    for (int i = -rows; i <= rows; ++i) {
        const long long k = shown + i;
        if (k < min || k > max)
            continue;
        const int entry = static_cast<int>(k);
        const float row_centre = y - ROW * i;
        std::string name;
        if (reads_listing_tables(list_type))
            name = g_file[entry];
        else if (list_type == NAME_LIST_CALLER)
            name = name_of ? name_of(entry) : std::string();
        else {
            __MACIBM_alert(0, "Bad big_name_list type!", "", "", "", ALERT_FATAL, BUTN_SOURCE, __LINE__);
            return 0;
        }
        OGL_string(NAME_COLOUR, x + NAME_DX, row_centre - NAME_DROP, name, NO_WRAP, charset_UI_diff_space);
        if (list_type != NAME_LIST_CALLER)
            draw_kind_icon(g_file_type[entry], x, row_centre);
        if (entry == under_mouse)
            OGL_fillrect(SHADE_COLOUR, SHADE_ALPHA, x + SHADE_DX, row_centre - SHADE_HALF_HEIGHT, w - SHADE_NARROWER,
                         2 * SHADE_HALF_HEIGHT);
    }
    OGL_framerect(MIDDLE_ROW_COLOUR, 1.0f, x + SHADE_DX, y - SHADE_HALF_HEIGHT, w - SHADE_NARROWER,
                  2 * SHADE_HALF_HEIGHT);

    *current = static_cast<int>(std::clamp<long long>(shown, min, max));
    *hovered = static_cast<int>(std::clamp<long long>(under_mouse, min, max));
    return result;
}
