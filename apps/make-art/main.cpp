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

#include "canvas.h"
#include "font.h"

using namespace art;

namespace {

// ---------------------------------------------------------------------------
// Theme: a dark slate interface with one blue accent.
// ---------------------------------------------------------------------------
const colour BACKGROUND = rgb(26, 30, 38);
const colour PANEL_BOTTOM = rgb(37, 42, 52);
const colour PANEL_TOP = rgb(44, 50, 62);
const colour PANEL_BORDER = rgb(78, 88, 108);
const colour HEADER = rgb(55, 63, 79);
const colour FIELD = rgb(19, 22, 28);
const colour FIELD_BORDER = rgb(84, 95, 117);
const colour BUTTON_BOTTOM = rgb(56, 63, 78);
const colour BUTTON_TOP = rgb(74, 83, 101);
const colour BUTTON_BORDER = rgb(100, 112, 136);
const colour ACCENT_BOTTOM = rgb(38, 108, 214);
const colour ACCENT_TOP = rgb(72, 146, 250);
const colour ACCENT_BORDER = rgb(120, 176, 255);
const colour WHITE = rgb(255, 255, 255);
const colour MARK = rgb(236, 240, 246);
const colour MUTED = rgb(150, 160, 178);

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
    {319, 123, rgb(226, 231, 239)},  // 37 menu text
    {319, 115, rgb(242, 245, 250)},  // 39 window title
    {319, 107, rgb(255, 255, 255)},  // 40 selected tab title
    {319, 99, rgb(158, 168, 186)},   // 41 other tab titles
    {319, 91, rgb(214, 220, 230)},   // 42 normal text
    {395, 115, rgb(96, 170, 255)},   // 43 accent
    {319, 83, rgb(140, 205, 255)},   // 44 values in fields
    {319, 75, rgb(222, 227, 236)},   // 45 installer text
    {319, 67, rgb(246, 226, 160)},   // 46 help text
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

// A nine-slice panel element: a rounded panel with a soft shadow in its outer margin.
void panel(canvas& img, int s, int t, int e, float margin, float radius, const colour& bottom, const colour& top,
           const colour& border, float header)
{
    img.shadow(s + margin, t + margin - 1, e - 2 * margin, e - 2 * margin, radius, margin, 0.45f);
    img.round_rect(s + margin, t + margin, e - 2 * margin, e - 2 * margin, radius, bottom, top, border, 1.0f);
    if (header > 0) {
        // The title band sits in the top border slice, so it keeps its height at any panel size.
        float hy = t + e - margin - header;
        img.round_rect(s + margin + 1, hy, e - 2 * margin - 2, header - 1, radius - 1, HEADER,
                       mix(HEADER, WHITE, 0.06f), HEADER, 0);
        img.fill_rect(s + static_cast<int>(margin) + 1, static_cast<int>(hy), e - 2 * static_cast<int>(margin) - 2, 1,
                      rgb(30, 34, 42));
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
    bar(img, 304, 459, 52, 26, 2, 6, ACCENT_BOTTOM, ACCENT_TOP, ACCENT_BORDER);
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
    bar(img, 357 + LIST_BAR_CLEAR, 488, 68 - 2 * LIST_BAR_CLEAR, 24, 2, 5, BUTTON_BOTTOM, BUTTON_TOP, BUTTON_BORDER);
    img.fill_rect(357 + 46, 492, 1, 16, rgb(40, 46, 57));
    chevron(img, 357 + 55.5f, 500, 3.5f, 1, MARK);
    // Style 6, vertical track: s 102..122, t 248..288.
    img.round_rect(106, 248.5f, 12, 39, 5, FIELD, FIELD, FIELD_BORDER, 1);
    // Tabs: 98 x 26, selected at t 486, others at t 459.
    img.round_rect(204.5f, 486, 97, 26, 6, PANEL_TOP, mix(PANEL_TOP, WHITE, 0.1f), ACCENT_BORDER, 1);
    img.fill_rect(210, 487, 86, 2, ACCENT_TOP);
    img.round_rect(204.5f, 460, 97, 24, 6, rgb(33, 37, 46), rgb(40, 45, 56), PANEL_BORDER, 1);
}

void paint_panels(canvas& img)
{
    // Styles 11..15: 100-texel elements at t 358.
    panel(img, 1, 358, 100, 6, 8, PANEL_BOTTOM, PANEL_TOP, PANEL_BORDER, 24);    // 11 window with close boxes
    panel(img, 102, 358, 100, 6, 8, PANEL_BOTTOM, PANEL_TOP, PANEL_BORDER, 24);  // 12 window
    panel(img, 203, 358, 100, 4, 6, rgb(33, 37, 46), rgb(36, 41, 51), rgb(64, 72, 89), 0);    // 13 group
    panel(img, 304, 358, 100, 4, 6, rgb(30, 33, 40), rgb(34, 38, 46), rgb(150, 132, 86), 0);  // 14 tooltip
    panel(img, 405, 358, 100, 6, 8, PANEL_BOTTOM, PANEL_TOP, ACCENT_BORDER, 24);  // 15 progress and file boxes
    // Style 16, name list (1, 289) 68.
    img.round_rect(2, 290, 66, 66, 4, FIELD, FIELD, FIELD_BORDER, 1);
    // Styles 17 and 18, open menus (70, 315) and (113, 315), 42.
    menu_panel(img, 70, 315, rgb(36, 41, 51), rgb(40, 45, 56), PANEL_BORDER);
    menu_panel(img, 113, 315, rgb(30, 34, 42), rgb(34, 38, 47), ACCENT_BORDER);
    // Style 19 (440, 12) 44.
    panel(img, 440, 12, 44, 4, 5, rgb(33, 37, 46), rgb(36, 41, 51), rgb(64, 72, 89), 0);
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
    img.round_rect(84, 179, 12, 16, 3, rgb(44, 50, 62), rgb(52, 59, 73), rgb(70, 79, 97), 1);
    chevron(img, 90, 186, 3, 1, MARK);
    img.round_rect(84, 198, 12, 16, 3, rgb(44, 50, 62), rgb(52, 59, 73), rgb(70, 79, 97), 1);
    chevron(img, 90, 207, 3, 0, MARK);
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
    chevron(img, 92, 277, 3.5f, 0, MARK);
    img.round_rect(84, 240, 16, 24, 5, ACCENT_BOTTOM, ACCENT_TOP, ACCENT_BORDER, 1);
    img.round_rect(84, 217, 16, 20, 4, BUTTON_BOTTOM, BUTTON_TOP, BUTTON_BORDER, 1);
    chevron(img, 92, 227, 3.5f, 1, MARK);
    // Horizontal slider knob 20 x 22 at s 262, t 267.
    img.round_rect(265, 270, 14, 16, 5, ACCENT_BOTTOM, ACCENT_TOP, ACCENT_BORDER, 1);
    // Folder chooser 26 x 26 at s 208, t 133.
    img.round_rect(209, 134, 24, 24, 5, BUTTON_BOTTOM, BUTTON_TOP, BUTTON_BORDER, 1);
    img.round_rect(214, 140, 14, 10, 1.5f, rgb(240, 196, 90), rgb(250, 210, 110), rgb(200, 150, 60), 1);
    img.fill_rect(214, 149, 6, 2, rgb(240, 196, 90));
}

canvas make_interface_atlas()
{
    canvas img(512, 512);
    paint_font(img);
    paint_bars(img);
    paint_panels(img);
    paint_cells(img);
    for (const swatch& s : SWATCHES)
        for (int j = -SWATCH_HALF; j <= SWATCH_HALF; ++j)
            for (int i = -SWATCH_HALF; i <= SWATCH_HALF; ++i)
                img.put(s.x + i, s.y + j, s.c);
    return img;
}

// ---------------------------------------------------------------------------
// Installer picture (1010 x 764) and backgrounds (1024 x 768).
// ---------------------------------------------------------------------------

// A control in three looks: normal at t, hover at t - (h + 1), pressed at t - 2(h + 1).
void control(canvas& img, int s, int t, int w, int h, const std::string& caption, const colour& base)
{
    for (int look = 0; look < 3; ++look) {
        int y = t - look * (h + 1);
        colour bottom = mix(base, rgb(0, 0, 0), 0.25f), top = base, border = mix(base, WHITE, 0.35f);
        if (look == 1) {
            bottom = mix(bottom, WHITE, 0.15f);
            top = mix(top, WHITE, 0.2f);
        } else if (look == 2) {
            std::swap(bottom, top);
            bottom = mix(bottom, rgb(0, 0, 0), 0.2f);
        }
        img.round_rect(s + 0.5f, y + 0.5f, w - 1.0f, h - 1.0f, 5, bottom, top, border, 1);
        int tw = canvas::text_width(caption, true);
        int pen_y = y + (h - GLYPH_BODY_ROWS) / 2 - (look == 2 ? 1 : 0);
        img.text(s + (w - tw) / 2, pen_y, caption, WHITE, true);
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
    control(img, 513, 166, 126, 22, "DESTINATION", rgb(62, 72, 92));
    control(img, 640, 166, 83, 22, "INSTALL", rgb(40, 140, 80));
    control(img, 780, 166, 51, 22, "QUIT", rgb(150, 56, 56));
    control(img, 832, 166, 85, 22, "DECLINE", rgb(150, 56, 56));
    control(img, 918, 166, 59, 22, "AGREE", rgb(40, 140, 80));
    control(img, 822, 235, 116, 22, "VISIT THE SHOP", rgb(56, 96, 170));
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
    // Panel style 20 element (774, 78) 41: translucent glass.
    img.round_rect(775, 79, 39, 39, 6, {0.08f, 0.1f, 0.14f, 0.72f}, {0.1f, 0.12f, 0.17f, 0.72f},
                   {0.5f, 0.6f, 0.75f, 0.8f}, 1);
    return img;
}

canvas make_background(const colour& low, const colour& high, const colour& glow, unsigned start)
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
        colour hill = mix(low, rgb(8, 10, 16), 0.35f + 0.2f * (2 - layer));
        hill.a = 0.85f;
        img.polygon(xy, hill);
    }
    // A sparse field of faint stars in the upper half.
    for (int k = 0; k < 160; ++k) {
        int x = static_cast<int>(next() * 1024), y = 400 + static_cast<int>(next() * 368);
        img.blend(x, y, WHITE, 0.15f + 0.35f * next());
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
        {"t_ins_back_1_dat", "back1.rgba", make_background(rgb(14, 22, 40), rgb(26, 56, 96), rgb(90, 140, 190), 1)},
        {"t_ins_back_2_dat", "back2.rgba", make_background(rgb(30, 18, 34), rgb(60, 44, 92), rgb(220, 140, 110), 2)},
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
