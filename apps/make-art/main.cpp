// make-art: paints the four interface images the installer carries and writes them as raw RGBA,
// together with a C++ source that links the raw files into the program unchanged.
//   veltrix-make-art <output folder>
// Everything is drawn here from shapes and the font of font.cpp; no outside artwork is used.
// Cell positions are texel rectangles the widget code reads; they are named where they are painted.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "canvas.h"
#include "font.h"

using namespace art;

namespace {

// ---------------------------------------------------------------------------
// Theme: light panels, fields and buttons under dark text, so that every text colour the screens
// use, the fixed warning, success and error colours among them, stands out from what it is drawn on;
// dark title bands, menus and tooltips under light text; one blue accent.
// ---------------------------------------------------------------------------
const colour BACKGROUND = rgb(26, 30, 38);
const colour PANEL_BOTTOM = rgb(226, 230, 236);
const colour PANEL_TOP = rgb(238, 241, 245);
const colour PANEL_BORDER = rgb(138, 149, 168);
const colour GROUP_BOTTOM = rgb(241, 243, 247);
const colour GROUP_TOP = rgb(247, 248, 251);
const colour GROUP_BORDER = rgb(176, 184, 198);
const colour HEADER = rgb(55, 63, 79);
const colour FIELD = rgb(252, 252, 253);
const colour FIELD_BORDER = rgb(130, 141, 160);
const colour BUTTON_BOTTOM = rgb(208, 214, 223);
const colour BUTTON_TOP = rgb(236, 239, 244);
const colour BUTTON_BORDER = rgb(128, 139, 158);
// The lit or pressed button keeps its dark caption readable: a light accent.
const colour LIT_BOTTOM = rgb(150, 190, 246);
const colour LIT_TOP = rgb(186, 214, 252);
const colour LIT_BORDER = rgb(70, 130, 220);
const colour ACCENT_BOTTOM = rgb(38, 108, 214);
const colour ACCENT_TOP = rgb(72, 146, 250);
const colour ACCENT_BORDER = rgb(120, 176, 255);
// Menus, the pop-up list's bar and tooltips stay dark under their light text.
const colour DARK_BOTTOM = rgb(56, 63, 78);
const colour DARK_TOP = rgb(74, 83, 101);
const colour DARK_BORDER = rgb(100, 112, 136);
// The start-up, progress and file boxes' panel: dark enough for the mid-grey start-up message.
const colour NIGHT_BOTTOM = rgb(12, 14, 18);
const colour NIGHT_TOP = rgb(16, 18, 23);
const colour WHITE = rgb(255, 255, 255);
const colour MARK = rgb(236, 240, 246);  // arrows and crosses on dark cells
const colour INK = rgb(44, 52, 66);      // arrows on light cells

// Palette swatches: the shell reads one texel of each at start-up (x, y in atlas texels).
struct swatch {
    int x, y;
    colour c;
};
const swatch SWATCHES[] = {
    {319, 155, BACKGROUND},          // 33 background
    {319, 147, rgb(18, 21, 27)},     // 34 dark separator line
    {319, 139, rgb(80, 150, 255)},   // 35 hover tint (drawn at a quarter alpha)
    {319, 131, rgb(82, 92, 112)},    // 36 light separator line
    {319, 123, rgb(226, 231, 239)},  // 37 menu text, on the dark menus and list bar
    {319, 115, rgb(242, 245, 250)},  // 39 window title, on the dark title band
    {319, 107, rgb(16, 20, 28)},     // 40 selected tab title
    {319, 99, rgb(58, 66, 82)},      // 41 other tab titles
    {319, 91, rgb(28, 34, 46)},      // 42 normal text
    {395, 115, rgb(96, 170, 255)},   // 43 accent
    {319, 83, rgb(22, 70, 150)},     // 44 values in fields
    {319, 75, rgb(24, 30, 42)},      // 45 installer text
    {319, 67, rgb(246, 226, 160)},   // 46 help text, on the dark tooltip and boxes
};
constexpr int SWATCH_HALF = 3;

// ---------------------------------------------------------------------------
// Font cells: 8 x 11 texels, proportional set from s 0, fixed set from s 168.
// ---------------------------------------------------------------------------
constexpr int CELL_W = 8, CELL_H = 11, CELLS_PER_ROW = 21, FIXED_SET_S = 168, BASELINE = 2;

const unsigned char ROW3[CELLS_PER_ROW] = {0x21, 0x40, 0x23, 0x24, 0x25, 0x5E, 0x26, 0x2A, 0x28, 0x29, 0x2D,
                                           0x5F, 0x2B, 0x3D, 0x5B, 0x5D, 0x7C, 0x5C, 0x27, 0x3A, 0x3B};
const unsigned char ROW4[8] = {0x3C, 0x2E, 0x3E, 0x2C, 0x3F, 0x2F, 0x60, 0xFB};

void paint_glyph(canvas& img, unsigned char ch, int column, int row)
{
    const auto& font = interface_font();
    auto it = font.find(ch);
    if (it == font.end())
        return;
    int ink = 0;
    for (const auto& r : it->second)
        ink = std::max<int>(ink, static_cast<int>(r.size()));
    std::string s(1, static_cast<char>(ch));
    img.text(column * CELL_W, row * CELL_H + BASELINE, s, WHITE);
    img.text(FIXED_SET_S + column * CELL_W + (CELL_W - ink) / 2, row * CELL_H + BASELINE, s, WHITE);
}

void paint_font(canvas& img)
{
    auto place = [&](unsigned char ch, int index) {
        paint_glyph(img, ch, index % CELLS_PER_ROW, index / CELLS_PER_ROW);
    };
    place(' ', 0);
    for (int d = 0; d < 10; ++d)
        place(static_cast<unsigned char>('0' + d), 1 + d);
    for (int k = 0; k < 26; ++k) {
        place(static_cast<unsigned char>('A' + k), 11 + 2 * k);
        place(static_cast<unsigned char>('a' + k), 12 + 2 * k);
    }
    for (int c = 0; c < CELLS_PER_ROW; ++c)
        paint_glyph(img, ROW3[c], c, 3);
    for (int c = 0; c < 8; ++c)
        paint_glyph(img, ROW4[c], c, 4);
}

// ---------------------------------------------------------------------------
// Widget cells.
// ---------------------------------------------------------------------------

// A three-slice bar element whose shape fills `inset` rows less at top and bottom than its cell.
void bar(canvas& img, int s, int t, int w, int h, float inset, float radius, const colour& bottom, const colour& top,
         const colour& border)
{
    img.round_rect(s + 0.5f, t + inset, w - 1.0f, h - 2 * inset, radius, bottom, top, border, 1.0f);
}

// A nine-slice panel element: a rounded panel with a soft shadow in its outer margin and, when
// `band` is given, a title band of that colour across its top.
void panel(canvas& img, int s, int t, int e, float margin, float radius, const colour& bottom, const colour& top,
           const colour& border, const colour* band = nullptr)
{
    constexpr float BAND_HEIGHT = 24;
    img.shadow(s + margin, t + margin - 1, e - 2 * margin, e - 2 * margin, radius, margin, 0.45f);
    img.round_rect(s + margin, t + margin, e - 2 * margin, e - 2 * margin, radius, bottom, top, border, 1.0f);
    if (band) {
        // The title band sits in the top border slice, so it keeps its height at any panel size.
        float hy = t + e - margin - BAND_HEIGHT;
        img.round_rect(s + margin + 1, hy, e - 2 * margin - 2, BAND_HEIGHT - 1, radius - 1, *band,
                       mix(*band, WHITE, 0.06f), *band, 0);
        img.fill_rect(s + static_cast<int>(margin) + 1, static_cast<int>(hy), e - 2 * static_cast<int>(margin) - 2, 1,
                      mix(*band, rgb(0, 0, 0), 0.45f));
    }
}

// A menu panel element (42 texels). The painter sets it 2 units above the item rows but 13 below
// and 8 beside them, so the shape reaches the element's top and keeps its shadow below and beside:
// an edge drawn lower would cut through the first row's letters.
void menu_panel(canvas& img, int s, int t, const colour& bottom, const colour& top, const colour& border)
{
    constexpr float SIDE = 42, BESIDE = 5, BELOW = 8, ABOVE = 1, RADIUS = 4, SHADOW = 5;
    const float w = SIDE - 2 * BESIDE, h = SIDE - BELOW - ABOVE;
    // The shadow's rectangle is lowered so that its spread stays inside the element.
    img.shadow(s + BESIDE, t + BELOW - 1, w, h - SHADOW, RADIUS, SHADOW, 0.45f);
    img.round_rect(s + BESIDE, t + BELOW, w, h, RADIUS, bottom, top, border, 1.0f);
}

void chevron(canvas& img, float cx, float cy, float size, int direction, const colour& c, float width = 1.6f)
{
    // direction: 0 up, 1 down, 2 right
    if (direction == 0) {
        img.line(cx - size, cy - size * 0.5f, cx, cy + size * 0.5f, width, c);
        img.line(cx, cy + size * 0.5f, cx + size, cy - size * 0.5f, width, c);
    } else if (direction == 1) {
        img.line(cx - size, cy + size * 0.5f, cx, cy - size * 0.5f, width, c);
        img.line(cx, cy - size * 0.5f, cx + size, cy + size * 0.5f, width, c);
    } else {
        img.line(cx - size * 0.5f, cy + size, cx + size * 0.5f, cy, width, c);
        img.line(cx + size * 0.5f, cy, cx - size * 0.5f, cy - size, width, c);
    }
}

void paint_bars(canvas& img)
{
    // Style 0, menu bar (1, 487) 100 x 26: the strip fills the top 18 rows, a shadow fades below.
    for (int j = 0; j < 7; ++j)
        img.fill_rect(1, 487 + j, 100, 1, {0, 0, 0, 0.05f * (j + 1)});
    img.fill_rect(1, 494, 100, 18, rgb(34, 39, 49));
    img.fill_rect(1, 494, 100, 1, rgb(16, 18, 23));
    img.fill_rect(1, 511, 100, 1, rgb(60, 68, 84));
    // Style 1, title strip (102, 487) 100 x 26, caps 20.
    bar(img, 102, 487, 100, 25, 3, 9, HEADER, mix(HEADER, WHITE, 0.08f), PANEL_BORDER);
    // Style 2, push button (304, 486) 52 x 26; style 3, lit or pressed (304, 459).
    bar(img, 304, 486, 52, 26, 2, 6, BUTTON_BOTTOM, BUTTON_TOP, BUTTON_BORDER);
    bar(img, 304, 459, 52, 26, 2, 6, LIT_BOTTOM, LIT_TOP, LIT_BORDER);
    // Style 4, progress track (112, 161) 28 x 16; style 5, progress fill (83, 161).
    bar(img, 112, 161, 28, 16, 2, 5, FIELD, FIELD, FIELD_BORDER);
    bar(img, 83, 161, 28, 16, 3, 4, ACCENT_BOTTOM, ACCENT_TOP, ACCENT_BOTTOM);
    // Style 7, horizontal slider track (240, 242) 65 x 24; style 8, its fill (289, 219) 16 x 16.
    bar(img, 240, 242, 65, 24, 9, 3, FIELD, FIELD, FIELD_BORDER);
    bar(img, 289, 219, 16, 16, 5, 3, ACCENT_BOTTOM, ACCENT_TOP, ACCENT_BOTTOM);
    // Style 9, framed field (262, 133) 51 x 26.
    bar(img, 262, 133, 51, 26, 3, 4, FIELD, mix(FIELD, WHITE, 0.03f), FIELD_BORDER);
    // Style 10, pop-up list bar (357, 488) 68 x 24: a field whose right cap carries the drop-down mark.
    // The list's labels are placed one unit inside the painted bar's ends, so the shape leaves three
    // texels clear at each end to keep a gap between bar and label.
    constexpr int LIST_BAR_CLEAR = 3;
    bar(img, 357 + LIST_BAR_CLEAR, 488, 68 - 2 * LIST_BAR_CLEAR, 24, 2, 5, DARK_BOTTOM, DARK_TOP, DARK_BORDER);
    img.fill_rect(357 + 46, 492, 1, 16, rgb(40, 46, 57));
    chevron(img, 357 + 55.5f, 500, 3.5f, 1, MARK);
    // Style 6, vertical track: s 102..122, t 248..288.
    img.round_rect(106, 248.5f, 12, 39, 5, FIELD, FIELD, FIELD_BORDER, 1);
    // Tabs: 98 x 26, selected at t 486, others at t 459.
    img.round_rect(204.5f, 486, 97, 26, 6, FIELD, WHITE, ACCENT_BORDER, 1);
    img.fill_rect(210, 487, 86, 2, ACCENT_TOP);
    img.round_rect(204.5f, 460, 97, 24, 6, BUTTON_BOTTOM, PANEL_BOTTOM, PANEL_BORDER, 1);
}

void paint_panels(canvas& img)
{
    // Styles 11..15: 100-texel elements at t 358. The window with close boxes titles in light text on
    // a dark band; the one without, in the normal dark text on a light band.
    const colour LIGHT_BAND = rgb(210, 216, 226);
    panel(img, 1, 358, 100, 6, 8, PANEL_BOTTOM, PANEL_TOP, PANEL_BORDER, &HEADER);         // 11 window, close boxes
    panel(img, 102, 358, 100, 6, 8, PANEL_BOTTOM, PANEL_TOP, PANEL_BORDER, &LIGHT_BAND);   // 12 window
    panel(img, 203, 358, 100, 4, 6, GROUP_BOTTOM, GROUP_TOP, GROUP_BORDER);                // 13 group
    panel(img, 304, 358, 100, 4, 6, rgb(30, 33, 40), rgb(34, 38, 46), rgb(150, 132, 86));  // 14 tooltip
    panel(img, 405, 358, 100, 6, 8, NIGHT_BOTTOM, NIGHT_TOP, ACCENT_BORDER, &HEADER);      // 15 dark boxes
    // Style 16, name list (1, 289) 68.
    img.round_rect(2, 290, 66, 66, 4, FIELD, FIELD, FIELD_BORDER, 1);
    // Styles 17 and 18, open menus (70, 315) and (113, 315), 42.
    menu_panel(img, 70, 315, rgb(36, 41, 51), rgb(40, 45, 56), PANEL_BORDER);
    menu_panel(img, 113, 315, rgb(30, 34, 42), rgb(34, 38, 47), ACCENT_BORDER);
    // Style 19 (440, 12) 44.
    panel(img, 440, 12, 44, 4, 5, GROUP_BOTTOM, GROUP_TOP, GROUP_BORDER);
}

void paint_cells(canvas& img)
{
    // Close boxes 18 x 18 at s 120, t 178 (normal) and t 197 (pressed).
    for (int pressed = 0; pressed < 2; ++pressed) {
        float cy = 178 + pressed * 19 + 9;
        colour fill = pressed ? rgb(220, 70, 70) : rgb(72, 80, 98);
        img.disc(129, cy, 7, fill);
        img.line(125.5f, cy - 3.5f, 132.5f, cy + 3.5f, 1.6f, MARK);
        img.line(125.5f, cy + 3.5f, 132.5f, cy - 3.5f, 1.6f, MARK);
    }
    // Digit-wheel arrows 14 x 18 at s 83: down at t 178, up at t 197.
    img.round_rect(84, 179, 12, 16, 3, BUTTON_BOTTOM, BUTTON_TOP, BUTTON_BORDER, 1);
    chevron(img, 90, 186, 3, 1, INK);
    img.round_rect(84, 198, 12, 16, 3, BUTTON_BOTTOM, BUTTON_TOP, BUTTON_BORDER, 1);
    chevron(img, 90, 207, 3, 0, INK);
    // Check box 18 x 18 at s 139: off at t 178, on at t 197.
    img.round_rect(141, 180, 14, 14, 3, FIELD, FIELD, FIELD_BORDER, 1);
    img.round_rect(141, 199, 14, 14, 3, rgb(40, 160, 90), rgb(60, 190, 110), rgb(120, 220, 150), 1);
    img.line(144, 206, 147, 203, 1.8f, WHITE);
    img.line(147, 203, 152.5f, 209.5f, 1.8f, WHITE);
    // Radio 18 x 18 at s 83: off at t 123, on at t 142.
    img.disc(92, 132, 7, FIELD_BORDER);
    img.disc(92, 132, 6, FIELD);
    img.disc(92, 151, 7, rgb(60, 190, 110));
    img.disc(92, 151, 5.5f, FIELD);
    img.disc(92, 151, 3.5f, rgb(90, 220, 130));
    // Sub-menu arrow 18 x 18 centred at (167, 187).
    chevron(img, 167, 187, 3, 2, MARK);
    // Slider cells 18 wide at s 83: up arrow t 266..288, knob t 239..265, down arrow t 216..238.
    img.round_rect(84, 267, 16, 20, 4, BUTTON_BOTTOM, BUTTON_TOP, BUTTON_BORDER, 1);
    chevron(img, 92, 277, 3.5f, 0, INK);
    img.round_rect(84, 240, 16, 24, 5, ACCENT_BOTTOM, ACCENT_TOP, ACCENT_BORDER, 1);
    img.round_rect(84, 217, 16, 20, 4, BUTTON_BOTTOM, BUTTON_TOP, BUTTON_BORDER, 1);
    chevron(img, 92, 227, 3.5f, 1, INK);
    // Horizontal slider knob 20 x 22 at s 262, t 267.
    img.round_rect(265, 270, 14, 16, 5, ACCENT_BOTTOM, ACCENT_TOP, ACCENT_BORDER, 1);
    // Folder chooser 26 x 26 at s 208, t 133.
    img.round_rect(209, 134, 24, 24, 5, BUTTON_BOTTOM, BUTTON_TOP, BUTTON_BORDER, 1);
    img.round_rect(214, 140, 14, 10, 1.5f, rgb(240, 196, 90), rgb(250, 210, 110), rgb(200, 150, 60), 1);
    img.fill_rect(214, 149, 6, 2, rgb(240, 196, 90));
}

// The name list's entry-kind icons, 12 x 12 texels each in the row t 57..69, at the s where the list
// reads them.
void paint_kind_icons(canvas& img)
{
    constexpr int T = 57;
    const colour folder_body = rgb(240, 196, 90), folder_edge = rgb(190, 140, 50);
    // Folder (s 34): a tab above a body.
    img.round_rect(35, T + 1, 10, 8, 1.5f, folder_body, mix(folder_body, WHITE, 0.2f), folder_edge, 1);
    img.round_rect(35, T + 8, 5, 3, 1, folder_body, folder_body, folder_edge, 1);
    // Aircraft (s 48): a swept silhouette nose up.
    img.polygon({54,       T + 11.5f, 55.2f,    T + 7,    59.5f,    T + 4.5f, 59.5f,    T + 3.2f, 55.2f,
                 T + 4.2f, 55,        T + 1.6f, 56.6f,    T + 0.5f, 51.4f,    T + 0.5f, 53,       T + 1.6f,
                 52.8f,    T + 4.2f,  48.5f,    T + 3.2f, 48.5f,    T + 4.5f, 52.8f,    T + 7},
                ACCENT_BOTTOM);
    // Airfoil (s 62): a wing section, round at the front and thin at the back.
    img.disc(65.5f, T + 6, 2.6f, rgb(96, 110, 134));
    img.polygon({65.5f, T + 8.6f, 73.5f, T + 6.2f, 73.5f, T + 5.8f, 65.5f, T + 3.4f}, rgb(96, 110, 134));
    // Weapon (s 90): a missile with fins.
    img.line(91.5f, T + 2.5f, 99.5f, T + 9.5f, 2.2f, rgb(200, 64, 56));
    img.polygon({90.5f, T + 0.5f, 94, T + 1.5f, 91.5f, T + 4}, rgb(120, 130, 150));
    img.polygon({101.5f, T + 11.5f, 99.8f, T + 8.2f, 98.2f, T + 10.2f}, rgb(120, 130, 150));
    // Situation (s 104): a flag on a pole.
    img.line(105.5f, T + 0.5f, 105.5f, T + 11.5f, 1.2f, INK);
    img.polygon({106, T + 11, 114.5f, T + 9, 106, T + 6}, rgb(60, 170, 100));
    // Movie (s 118): a film frame with its perforations.
    img.round_rect(118.5f, T + 1.5f, 11, 9, 1.5f, INK, INK, INK, 0);
    for (int k = 0; k < 3; ++k) {
        img.fill_rect(120 + 3 * k, T + 2, 2, 1, WHITE);
        img.fill_rect(120 + 3 * k, T + 9, 2, 1, WHITE);
    }
    img.fill_rect(120, T + 4, 8, 4, ACCENT_TOP);
    // Flight plan (s 132): a route through three waypoints.
    img.line(133.5f, T + 2, 137.5f, T + 8.5f, 1.3f, INK);
    img.line(137.5f, T + 8.5f, 142.5f, T + 4, 1.3f, INK);
    for (auto [x, y] : {std::pair{133.5f, 2.0f}, {137.5f, 8.5f}, {142.5f, 4.0f}})
        img.disc(x, T + y, 1.6f, ACCENT_BOTTOM);
    // Object (s 146): a cube seen from above one corner.
    img.polygon({152, T + 11.5f, 157, T + 9, 152, T + 6.5f, 147, T + 9}, rgb(176, 188, 208));
    img.polygon({147, T + 9, 152, T + 6.5f, 152, T + 0.5f, 147, T + 3}, rgb(120, 134, 158));
    img.polygon({152, T + 6.5f, 157, T + 9, 157, T + 3, 152, T + 0.5f}, rgb(90, 102, 124));
}

canvas make_interface_atlas()
{
    canvas img(512, 512);
    paint_font(img);
    paint_bars(img);
    paint_panels(img);
    paint_cells(img);
    paint_kind_icons(img);
    for (const swatch& s : SWATCHES)
        for (int j = -SWATCH_HALF; j <= SWATCH_HALF; ++j)
            for (int i = -SWATCH_HALF; i <= SWATCH_HALF; ++i)
                img.put(s.x + i, s.y + j, s.c);
    return img;
}

// ---------------------------------------------------------------------------
// Installer picture (1010 x 764) and backgrounds (1024 x 768).
// ---------------------------------------------------------------------------

// A control in three looks: normal at t, hover at t - (h + 1), pressed at t - 2(h + 1). Faces are a
// light neutral grey under a dark caption, so that the tint a screen draws them with (green for a
// usable control, red for a disabled one) is what the control shows.
void control(canvas& img, int s, int t, int w, int h, const std::string& caption)
{
    const colour CAPTION = rgb(26, 32, 44);
    const colour FACE_BOTTOM = rgb(206, 212, 222), FACE_TOP = rgb(232, 236, 242), EDGE = rgb(120, 130, 148);
    for (int look = 0; look < 3; ++look) {
        int y = t - look * (h + 1);
        colour bottom = FACE_BOTTOM, top = FACE_TOP;
        if (look == 1) {
            bottom = mix(bottom, WHITE, 0.4f);
            top = mix(top, WHITE, 0.5f);
        } else if (look == 2) {
            std::swap(bottom, top);
            bottom = mix(bottom, rgb(0, 0, 0), 0.12f);
            top = mix(top, rgb(0, 0, 0), 0.12f);
        }
        img.round_rect(s + 0.5f, y + 0.5f, w - 1.0f, h - 1.0f, 5, bottom, top, EDGE, 1);
        int tw = canvas::text_width(caption, true);
        int pen_y = y + (h - GLYPH_BODY_ROWS) / 2 - (look == 2 ? 1 : 0);
        img.text(s + (w - tw) / 2, pen_y, caption, CAPTION, true);
    }
}

void globe(canvas& img, float cx, float cy, float radius, float turn)
{
    for (int j = static_cast<int>(cy - radius - 1); j <= static_cast<int>(cy + radius + 1); ++j)
        for (int i = static_cast<int>(cx - radius - 1); i <= static_cast<int>(cx + radius + 1); ++i) {
            float cover = 0;
            colour acc{0, 0, 0, 0};
            for (int sy = 0; sy < 3; ++sy)
                for (int sx = 0; sx < 3; ++sx) {
                    float px = (i + (sx + 0.5f) / 3 - cx) / radius, py = (j + (sy + 0.5f) / 3 - cy) / radius;
                    float r2 = px * px + py * py;
                    if (r2 > 1)
                        continue;
                    float pz = std::sqrt(1 - r2);
                    float lat = std::asin(py), lon = std::atan2(px, pz) + turn;
                    // Land: a few smooth blobs in longitude and latitude.
                    float land = std::sin(lon * 2.0f) * std::cos(lat * 3.0f) +
                        0.6f * std::sin(lon * 5.0f + 1.3f) * std::sin(lat * 4.0f + 0.5f);
                    colour c = land > 0.55f ? rgb(86, 170, 110) : rgb(40, 110, 200);
                    float grid = std::min(std::fabs(std::sin(lon * 6.0f)) * 6, std::fabs(std::sin(lat * 6.0f)) * 6);
                    if (grid < 0.35f)
                        c = mix(c, WHITE, 0.3f);
                    float light = 0.35f + 0.65f * std::max(0.0f, px * -0.4f + py * 0.5f + pz * 0.77f);
                    c = {c.r * light, c.g * light, c.b * light, 1};
                    acc = {acc.r + c.r, acc.g + c.g, acc.b + c.b, 1};
                    cover += 1;
                }
            if (cover > 0)
                img.blend(i, j, {acc.r / cover, acc.g / cover, acc.b / cover, 1}, cover / 9);
        }
}

canvas make_installer_picture()
{
    canvas img(1010, 764);
    // Buttons of the main screen and the agreement window.
    control(img, 513, 166, 126, 22, "DESTINATION");
    control(img, 640, 166, 83, 22, "INSTALL");
    control(img, 780, 166, 51, 22, "QUIT");
    control(img, 832, 166, 85, 22, "DECLINE");
    control(img, 918, 166, 59, 22, "AGREE");
    control(img, 822, 235, 116, 22, "VISIT THE SHOP");
    // Banner 128 x 86 at (644, 33): a swept-wing silhouette over the name.
    img.round_rect(644.5f, 33.5f, 127, 85, 8, rgb(24, 40, 70), rgb(40, 90, 160), rgb(110, 160, 230), 1);
    img.polygon({708, 112, 712, 96, 748, 80, 748, 74, 712, 84, 711, 66, 720, 58, 720, 55,
                 708, 60,  696, 55, 696, 58, 705, 66, 704, 84, 668, 74, 668, 80, 704, 96},
                {1, 1, 1, 0.95f});
    int tw = canvas::text_width("VELTRIX", true);
    img.text(708 - tw / 2, 42, "VELTRIX", WHITE, true);
    // Globe cells 8..23, each 64 x 64, one turn in sixteen steps.
    constexpr float FULL_TURN = 6.2831853f;
    for (int i = 8; i < 24; ++i) {
        int s = (i % 8) * 64, t = (i / 8) * 64 + 66;
        globe(img, s + 32, t + 32, 28, (i - 8) * FULL_TURN / 16);
    }
    // Panel style 20 element (774, 78) 41: an opaque white card. The status lines on it take the
    // fixed warning, success and error colours, which only a light ground sets off.
    img.round_rect(775, 79, 39, 39, 6, WHITE, WHITE, rgb(150, 161, 180), 1);
    return img;
}

// A light sky, darker upward, with a soft glow low in the middle and pale hills along the bottom:
// labels and the hint line are drawn straight on it in the dark text colours.
canvas make_background(const colour& low, const colour& high, const colour& glow, const colour& ridge, unsigned start)
{
    canvas img(1024, 768);
    unsigned state = start;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0f;
    };
    for (int y = 0; y < 768; ++y) {
        float t = y / 767.0f;
        for (int x = 0; x < 1024; ++x) {
            colour c = mix(low, high, std::pow(t, 0.8f));
            float dx = (x - 512) / 700.0f, dy = (y - 190) / 260.0f;
            float g = std::exp(-(dx * dx + dy * dy));
            c = mix(c, glow, 0.35f * g);
            // A little noise keeps the long gradients from banding.
            float n = (next() - 0.5f) / 255.0f;
            img.put(x, y, {c.r + n, c.g + n, c.b + n, 1});
        }
    }
    // Low hills along the bottom.
    for (int layer = 0; layer < 3; ++layer) {
        std::vector<float> xy;
        float base = 70 + layer * 40;
        for (int x = 0; x <= 1024; x += 16)
            xy.insert(xy.end(),
                      {static_cast<float>(x),
                       base + 30 * std::sin(x * 0.006f + layer * 1.7f) + 14 * std::sin(x * 0.017f + layer)});
        xy.insert(xy.end(), {1024, 0, 0, 0});
        colour hill = mix(low, ridge, 0.2f + 0.12f * (2 - layer));
        hill.a = 0.85f;
        img.polygon(xy, hill);
    }
    return img;
}

bool write_file(const std::filesystem::path& path, const void* data, size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    std::filesystem::path out = std::filesystem::absolute(argv[1]);
    std::error_code ec;
    std::filesystem::create_directories(out, ec);

    struct image {
        const char* symbol;
        const char* file;
        canvas pixels;
    };
    image images[] = {
        {"t_installer_dat", "installer.rgba", make_installer_picture()},
        {"t_ins_back_1_dat", "back1.rgba",
         make_background(rgb(226, 233, 242), rgb(160, 178, 204), rgb(255, 248, 232), rgb(120, 140, 168), 1)},
        {"t_ins_back_2_dat", "back2.rgba",
         make_background(rgb(240, 232, 226), rgb(190, 170, 196), rgb(255, 236, 220), rgb(160, 130, 140), 2)},
        {"t_interface_dat", "interface.rgba", make_interface_atlas()},
    };

    std::string source = "// Generated by veltrix-make-art: the interface images as raw RGBA, rows bottom to top.\n\n";
    for (const image& im : images) {
        if (!write_file(out / im.file, im.pixels.bytes().data(), im.pixels.bytes().size())) {
            std::fprintf(stderr, "make-art: cannot write %s\n", (out / im.file).c_str());
            return 1;
        }
        source += std::string("asm(\".section .rodata\\n.balign 16\\n.globl ") + im.symbol + "\\n" + im.symbol +
            ":\\n.incbin \\\"" + (out / im.file).string() + "\\\"\\n.previous\\n\");\n";
    }
    if (!write_file(out / "art_images.cpp", source.data(), source.size())) {
        std::fprintf(stderr, "make-art: cannot write %s\n", (out / "art_images.cpp").c_str());
        return 1;
    }
    return 0;
}
