// Widget foundations: labels, the atlas painters and the shared press rule.
//
// Index of this file:
//   [SECTION] Press rule (widget_behaviour, mouse_in)
//   [SECTION] Labels (BTN_expand_label, BTN_util_draw_label, proportional_text_width)
//   [SECTION] Single cells (BTN_util_element, draw_atlas_cell, close boxes, BTN_util_draw_boxed_button)
//   [SECTION] Bars and tracks (BTN_frame1, BTN_frame0)
//   [SECTION] Panels (BTN_frame2)
#include "widgets/butn.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "gfx/state.h"
#include "gfx/text.h"
#include "gfx/tman.h"

namespace {

// The atlas is 512 texels on a side; the installer picture sits in a texture 1024 texels wide.
constexpr float ATLAS_TEXELS = 512.0f;

// A label longer than this many characters is split onto two lines (unless it starts with '-').
constexpr size_t LABEL_SPLIT_LENGTH = 12;
constexpr size_t LABEL_NO_SPLIT_LENGTH = 9999;
// The two lines of a split label sit this far above and below its y.
constexpr float LABEL_LINE_OFFSET = 5.0f;
constexpr int LABEL_COLOUR = 42;
constexpr int LABEL_LIT_COLOUR = 76;

// Window ids whose style-11 panels carry no close boxes: the main screen and the alert and file boxes.
constexpr int FIRST_SYSTEM_BOX = 995;
constexpr int LAST_SYSTEM_BOX = 999;

// Close boxes: the 18 x 18 atlas cell, normal or pressed, in the box's top corners.
constexpr float CLOSE_S1 = 120, CLOSE_S2 = 138;
constexpr float CLOSE_T_NORMAL = 178, CLOSE_T_PRESSED = 197, CLOSE_CELL = 18;
constexpr float CLOSE_LEFT_X = 7, CLOSE_RIGHT_FROM_EDGE = 25, CLOSE_TOP_FROM_EDGE = 19;

// Round half away from zero, as the painters place bars on even pixels.
float round_away(float v)
{
    return std::round(v);
}

// Sets the 2-D state every painter uses and binds the art texture on unit 0.
void begin_art(int texture, int colour)
{
    OGL_setstate(fog_fals, 1, lit_fals, al_blend, deR_fals, deW_fals);
    OGL_setcolor(colour, 1.0f);
    tman.bind_ref(texture, 0, 0);
    glBegin(GL_QUADS);
}

// One textured quad in box coordinates; texel coordinates divided by the texture side.
void emit_quad(float x1, float y1, float x2, float y2, float s1, float t1, float s2, float t2, float side)
{
    const float ox = mnw.off_x, oy = mnw.off_y;
    OGL_rect_vertices(x1 + ox, y1 + oy, x2 + ox, y2 + oy, s1 / side, t1 / side, s2 / side, t2 / side);
}

// Texel rows past the atlas's top edge would wrap round to the font rows at its bottom; the two
// bars whose element ends one row above the atlas read their top row from the last real row.
float keep_inside_atlas(float t)
{
    return std::min(t, ATLAS_TEXELS);
}

}  // namespace

// ---------------------------------------------------------------------------
// [SECTION] Press rule
// ---------------------------------------------------------------------------

bool mouse_in(const hit_rect& rect)
{
    return rect.holds(mnw.mouse_x, mnw.mouse_y);
}

widget_answer widget_behaviour(const hit_rect& rect, menu_rule rule, const std::string* help)
{
    if (rule == menu_rule::quiet_while_menu_open && mnw.open_menu != -1)
        return WIDGET_IDLE;
    if (!mouse_in(rect))
        return WIDGET_IDLE;
    if (help)
        stls.help_line = *help;
    return mnw.click ? WIDGET_CLICKED : WIDGET_HOVERED;
}

// ---------------------------------------------------------------------------
// [SECTION] Labels
// ---------------------------------------------------------------------------

void BTN_expand_label(const std::string& label, std::string* left, std::string* right, std::string* help)
{
    const size_t length = label.size();
    size_t bar = std::string::npos, brace = std::string::npos;
    for (size_t i = 0; i < length; ++i) {
        if (label[i] == '|')
            bar = i;
        if (label[i] == '{')
            brace = i;
    }
    if (brace == std::string::npos)
        brace = length;
    if (bar == std::string::npos)
        bar = brace;

    auto part = [&](size_t from, size_t to) {
        from = std::min(from, length);
        to = std::min(to, length);
        return from < to ? label.substr(from, to - from) : std::string();
    };
    if (left)
        *left = part(0, bar);
    if (right)
        *right = part(bar + 1, brace);
    // The character right after '{' is a separator and is skipped.
    if (help)
        *help = part(brace + 2, length);
}

float proportional_text_width(const std::string& text)
{
    return static_cast<float>(OGL_string_width(text));
}

void BTN_util_draw_label(float x, float y, int align, const std::string& label_text, int lit)
{
    if (label_text.empty())
        return;
    if (align != ALIGN_END_AT_X && align != ALIGN_ONE_LINE && align != ALIGN_START_AT_X)
        return;

    std::string text = label_text;
    size_t threshold = LABEL_SPLIT_LENGTH;
    if (text[0] == '-') {
        text.erase(0, 1);
        threshold = LABEL_NO_SPLIT_LENGTH;
    }
    const int colour = lit ? LABEL_LIT_COLOUR : LABEL_COLOUR;

    std::string lines[2];
    float line_y[2] = {y, y};
    int line_count = 1;
    lines[0] = text;
    if (align != ALIGN_ONE_LINE && text.size() > threshold) {
        const long half = static_cast<long>(text.size() / 2);
        long best = 0;
        for (long p = 0; p < static_cast<long>(text.size()); ++p) {
            char c = text[static_cast<size_t>(p)];
            if (c != ' ' && c != '-' && c != '/')
                continue;
            if (std::labs(p - half) < std::labs(best - half))
                best = p;
        }
        if (best > 0 && best < static_cast<long>(text.size()) - 1) {
            lines[0] = text.substr(0, static_cast<size_t>(best));
            lines[1] = text.substr(static_cast<size_t>(best) + 1);
            line_y[0] = y + LABEL_LINE_OFFSET;
            line_y[1] = y - LABEL_LINE_OFFSET;
            line_count = 2;
        }
    }
    for (int i = 0; i < line_count; ++i) {
        float lx = align == ALIGN_END_AT_X ? x - proportional_text_width(lines[i]) : x;
        OGL_string(colour, lx, line_y[i], lines[i], NO_WRAP, charset_UI_diff_space);
    }
}

// ---------------------------------------------------------------------------
// [SECTION] Single cells
// ---------------------------------------------------------------------------

namespace {

void atlas_quad(int colour, float x1, float y1, float x2, float y2, float s1, float t1, float s2, float t2)
{
    constexpr float d = ATLAS_TEXELS;
    OGL_2dquad(TEX_INTERFACE_ATLAS, colour, 1.0f, x1, y1, s1 / d, t1 / d, x1, y2, s1 / d, t2 / d, x2, y2, s2 / d,
               t2 / d, x2, y1, s2 / d, t1 / d, 1, al_blend);
}

}  // namespace

void draw_atlas_cell(float x1, float y1, float x2, float y2, float s1, float t1, float s2, float t2, int colour)
{
    atlas_quad(colour, x1, y1, x2, y2, s1, t1, s2, t2);
}

void BTN_util_element(float x, float y, float s, float t, float half_w, float half_h, int colour)
{
    atlas_quad(colour, x - half_w, y - half_h, x + half_w, y + half_h, s - half_w, t - half_h, s + half_w, t + half_h);
}

hit_rect close_box_rect(bool right_corner)
{
    const float x1 = right_corner ? mnw.box_w - CLOSE_RIGHT_FROM_EDGE : CLOSE_LEFT_X;
    const float y1 = mnw.box_h - CLOSE_TOP_FROM_EDGE;
    return {x1, y1, x1 + CLOSE_CELL, y1 + CLOSE_CELL};
}

void draw_close_box(const hit_rect& box, bool pressed)
{
    const float t1 = pressed ? CLOSE_T_PRESSED : CLOSE_T_NORMAL;
    draw_atlas_cell(box.x1, box.y1, box.x2, box.y2, CLOSE_S1, t1, CLOSE_S2, t1 + CLOSE_CELL);
}

void BTN_util_draw_boxed_button(float x, float y, float width, float dx, int count)
{
    BTN_frame1(9, x, y, width, 0);
    for (int k = 0; k < count; ++k) {
        float cx = x + dx + 5 - 5 * count + 10 * k;
        draw_atlas_cell(cx - 7, y - 22, cx + 7, y - 4, 83, 178, 97, 196);
        draw_atlas_cell(cx - 7, y + 6, cx + 7, y + 24, 83, 197, 97, 215);
    }
}

// ---------------------------------------------------------------------------
// [SECTION] Bars and tracks
// ---------------------------------------------------------------------------

namespace {

struct bar_style {
    int style;
    float s0, t0;
    float cap, right_cap_at, height, added_width, dy;
};

// Atlas elements of the horizontal bars: a left cap [0, C), a tile [C, M) and a right cap [M, M + C).
constexpr bar_style BAR_STYLES[] = {
    {0, 1, 487, 10, 90, 26, 0, -3},    // open menu bar
    {1, 102, 487, 20, 80, 26, 0, -3},  // window title strip
    {2, 304, 486, 10, 42, 26, 0, 0},   // push button face
    {3, 304, 459, 10, 42, 26, 0, 0},   // push button lit or pressed
    {4, 112, 161, 10, 18, 16, 0, 0},   // progress track
    {5, 83, 161, 10, 18, 16, 0, 0},    // progress fill
    {7, 240, 242, 10, 55, 24, 0, 0},   // horizontal slider track
    {8, 289, 219, 7, 9, 16, 0, 0},     // horizontal slider fill
    {9, 262, 133, 10, 41, 26, 4, 0},   // framed field
    {10, 357, 488, 26, 42, 24, 4, 0},  // pop-up text list bar
};

const bar_style* find_bar_style(int style)
{
    for (const bar_style& b : BAR_STYLES)
        if (b.style == style)
            return &b;
    return nullptr;
}

// Vertical track element (style 6): caps of 10 texels around a 20-texel tile.
constexpr int TRACK_STYLE = 6;
constexpr float TRACK_S1 = 102, TRACK_S2 = 122, TRACK_HALF_WIDTH = 10;
constexpr float TRACK_T0 = 248, TRACK_CAP = 10, TRACK_TILE = 20, TRACK_EXTRA_LENGTH = 8;

}  // namespace

void BTN_frame1(int style, float x, float y, float width, int colour)
{
    const bar_style* b = find_bar_style(style);
    if (!b) {
        __MACIBM_alert(0, "Bad BTN_frame1 call!", "", "", "", ALERT_FATAL, BUTN_SOURCE, __LINE__);
        return;
    }
    const float xc = 2 * round_away(x / 2);
    const float w = 2 * round_away(width / 2) + b->added_width;
    const float yc = y + b->dy;
    const float c = b->cap, m = b->right_cap_at, tile = m - c;
    const float left = xc - w / 2, bottom = yc - b->height / 2, top = yc + b->height / 2;
    const float t1 = b->t0, t2 = keep_inside_atlas(b->t0 + b->height);
    const int n = static_cast<int>(std::trunc((w - 2 * c) / tile));
    if (n + 1 < -1)
        return;

    begin_art(TEX_INTERFACE_ATLAS, colour);
    if (n + 1 >= 0) {
        emit_quad(left, bottom, left + c, top, b->s0, t1, b->s0 + c, t2, ATLAS_TEXELS);
        for (int k = 0; k <= n; ++k) {
            float start = c + k * tile, end = c + (k + 1) * tile, tex_end = m;
            if (k == n) {
                end = w - c;
                tex_end = std::clamp(c + (w - c - start) * tile / m, c, m);
            }
            emit_quad(left + start, bottom, left + end, top, b->s0 + c, t1, b->s0 + tex_end, t2, ATLAS_TEXELS);
        }
    }
    emit_quad(left + w - c, bottom, left + w, top, b->s0 + m, t1, b->s0 + m + c, t2, ATLAS_TEXELS);
    glEnd();
}

void BTN_frame0(int style, float x_center, float y_center, float length)
{
    if (style != TRACK_STYLE) {
        __MACIBM_alert(0, "Bad BTN_frame0 call!", "", "", "", ALERT_FATAL, BUTN_SOURCE, __LINE__);
        return;
    }
    if (x_center != round_away(x_center)) {
        __MACIBM_alert(0, "BTN_frame0 non-int x_center!", "", "", "", ALERT_FATAL, BUTN_SOURCE, __LINE__);
        return;
    }
    if (y_center != round_away(y_center)) {
        __MACIBM_alert(0, "BTN_frame0 non-int y_center!", "", "", "", ALERT_FATAL, BUTN_SOURCE, __LINE__);
        return;
    }
    const float l = 2 * round_away(length / 2) + TRACK_EXTRA_LENGTH;
    const float x1 = x_center - TRACK_HALF_WIDTH, x2 = x_center + TRACK_HALF_WIDTH;
    const float base = y_center - l / 2;
    const int n = static_cast<int>(std::trunc((l - 2 * TRACK_CAP) / TRACK_TILE));
    if (n + 1 < -1)
        return;

    const float tile_t1 = TRACK_T0 + TRACK_CAP, tile_t2 = tile_t1 + TRACK_TILE;
    begin_art(TEX_INTERFACE_ATLAS, 0);
    emit_quad(x1, base, x2, base + TRACK_CAP, TRACK_S1, TRACK_T0, TRACK_S2, tile_t1, ATLAS_TEXELS);
    for (int k = 0; k <= n; ++k) {
        float start = TRACK_CAP + TRACK_TILE * k, end = start + TRACK_TILE, tex_end = tile_t2;
        if (k == n) {
            end = l - TRACK_CAP;
            tex_end = std::clamp(tile_t1 + (l - TRACK_CAP - start) * TRACK_TILE / 30.0f, tile_t1, tile_t2);
        }
        emit_quad(x1, base + start, x2, base + end, TRACK_S1, tile_t1, TRACK_S2, tex_end, ATLAS_TEXELS);
    }
    emit_quad(x1, base + l - TRACK_CAP, x2, base + l, TRACK_S1, tile_t2, TRACK_S2, tile_t2 + TRACK_CAP, ATLAS_TEXELS);
    glEnd();
}

// ---------------------------------------------------------------------------
// [SECTION] Panels
// ---------------------------------------------------------------------------

namespace {

struct panel_style {
    int style;
    int texture;
    float s0, t0, side, grow_x, grow_y, shift_x, shift_y;
    int title_colour;
};

constexpr panel_style PANEL_STYLES[] = {
    {11, TEX_INTERFACE_ATLAS, 1, 358, 100, 18, 18, 9, 14, 39},    // window panel with close boxes
    {12, TEX_INTERFACE_ATLAS, 102, 358, 100, 18, 18, 9, 14, 42},  // window panel
    {13, TEX_INTERFACE_ATLAS, 203, 358, 100, 18, 18, 9, 14, 42},
    {14, TEX_INTERFACE_ATLAS, 304, 358, 100, 18, 18, 9, 14, 42},  // tooltip
    {15, TEX_INTERFACE_ATLAS, 405, 358, 100, 18, 18, 9, 14, 46},  // start-up, file and progress boxes
    {16, TEX_INTERFACE_ATLAS, 1, 289, 68, 4, 4, 2, 2, 42},        // name list
    {17, TEX_INTERFACE_ATLAS, 70, 315, 42, 16, 15, 8, 13, 42},    // open menu
    {18, TEX_INTERFACE_ATLAS, 113, 315, 42, 16, 15, 8, 13, 42},
    {19, TEX_INTERFACE_ATLAS, 440, 12, 44, 12, 13, 6, 9, 42},
    {20, TEX_INSTALLER_PICTURE, 774, 78, 41, 2, 2, 1, 1, 42},  // panels of the installer screen
};

constexpr int WINDOW_PANEL_STYLE = 11;
constexpr int INSTALLER_PANEL_STYLE = 20;
constexpr float WINDOW_TITLE_DROP = 13, TITLE_DROP = 16, INSTALLER_TITLE_INDENT = 10;

// One axis of the nine-slice: slice i (-1 .. n + 1) as a span of units and a span of texels.
struct slice {
    float from, to, tex_from, tex_to;
};

slice nine_slice_span(int i, int n, float origin, float size, float border, float step, float side)
{
    if (i == -1)
        return {origin, origin + border, 0, border};
    if (i == n + 1)
        return {origin + size - border, origin + size, side - border, side};
    float from = origin + border + i * step, to = from + step, tex_to = side - border;
    if (i == n) {
        to = origin + size - border;
        tex_to = std::clamp(border + (to - from), border, side - border);
    }
    return {from, to, border, tex_to};
}

bool is_system_box(int id)
{
    return id == 0 || (id >= FIRST_SYSTEM_BOX && id <= LAST_SYSTEM_BOX);
}

}  // namespace

void BTN_frame2(int style, float x, float y, float width, float height, std::string title)
{
    const panel_style* p = nullptr;
    for (const panel_style& candidate : PANEL_STYLES)
        if (candidate.style == style)
            p = &candidate;
    if (!p) {
        __MACIBM_alert(0, "Bad BTN_frame2 call!", "", "", title, ALERT_FATAL, BUTN_SOURCE, __LINE__);
        return;
    }
    const float x0 = x - p->shift_x, y0 = y - p->shift_y;
    const float w = width + p->grow_x, h = height + p->grow_y;
    const float border = 0.4f * p->side, step = p->side - 2 * border;
    const int nx = static_cast<int>(std::trunc((w - 2 * border) / step));
    const int ny = static_cast<int>(std::trunc((h - 2 * border) / step));
    const float side = p->texture == TEX_INSTALLER_PICTURE ? PICTURE_TEXELS : ATLAS_TEXELS;

    if (nx + 1 >= -1 && ny + 1 >= -1) {
        begin_art(p->texture, 0);
        for (int j = -1; j <= ny + 1; ++j) {
            slice row = nine_slice_span(j, ny, y0, h, border, step, p->side);
            for (int i = -1; i <= nx + 1; ++i) {
                slice col = nine_slice_span(i, nx, x0, w, border, step, p->side);
                emit_quad(col.from, row.from, col.to, row.to, p->s0 + col.tex_from, p->t0 + row.tex_from,
                          p->s0 + col.tex_to, p->t0 + row.tex_to, side);
            }
        }
        glEnd();
    }

    const float title_x = style == INSTALLER_PANEL_STYLE ? x + INSTALLER_TITLE_INDENT
                                                         : x + width / 2 - proportional_text_width(title) / 2;
    const float title_y = y + height - (style == WINDOW_PANEL_STYLE ? WINDOW_TITLE_DROP : TITLE_DROP);
    OGL_string(p->title_colour, title_x, title_y, title, NO_WRAP, charset_UI_diff_space);

    if (style != WINDOW_PANEL_STYLE || is_system_box(mnw.cur_win))
        return;
    const hit_rect left_box = close_box_rect(false);
    draw_close_box(left_box, false);
    // While the left box is being pressed the click dispatcher redraws the pair pressed; the right one
    // is left out so that it does not flash unpressed in between.
    if (mnw.click && mouse_in(left_box))
        return;
    draw_close_box(close_box_rect(true), false);
}
