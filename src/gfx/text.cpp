// Glyph cells of the atlas: rows 0-2 hold space, digits and letters in one sequence; rows 3 and
// 4 hold punctuation and accented letters by code. Every other byte shows the blank cell.
#include "gfx/text.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstring>

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "gfx/hooks.h"
#include "gfx/state.h"
#include "gfx/tman.h"

oglp_class oglp;

namespace {

constexpr int BAD_CHARSET_LINE = 342;

constexpr float ATLAS_SIZE = 512;  // texels per side of the glyph textures
constexpr float CELL_W = 8, CELL_H = 11;
constexpr float FIXED_SET_S0 = 168;  // first texel column of the fixed-advance glyph set
constexpr float KOREAN_CELL = 13;
constexpr int KOREAN_CELLS_PER_ROW = 40;
constexpr int FIXED_6_ADVANCE = 6, FIXED_10_ADVANCE = 10, KOREAN_ADVANCE = 15;
constexpr int CELLS_PER_ROW = 21;
constexpr float LINE_STEP = 10;
// Wrapping estimates the next word at this many pixels per byte, whatever the charset.
constexpr float WORD_BYTE_WIDTH = 6;
// Boxed strings: padding around the value and the width used for other charsets.
constexpr int BOX_PADDING = 7;
constexpr float BOX_OTHER_WIDTH = 100;
constexpr float BOX_TEXT_INSET = 4;
constexpr float BOX_LABEL_GAP = 8;
constexpr int BOX_FRAME_STYLE = 9;

const unsigned char ROW3[CELLS_PER_ROW] = {0x21, 0x40, 0x23, 0x24, 0x25, 0x5E, 0x26, 0x2A, 0x28, 0x29, 0x2D,
                                           0x5F, 0x2B, 0x3D, 0x5B, 0x5D, 0x7C, 0x5C, 0x27, 0x3A, 0x3B};
const unsigned char ROW4[CELLS_PER_ROW] = {0x3C, 0x2E, 0x3E, 0x2C, 0x3F, 0x2F, 0x60, 0xFB, 0xC1, 0xE1, 0xC9,
                                           0xE9, 0xCD, 0xED, 0xD3, 0xF3, 0xDA, 0xFA, 0xD1, 0xF1, 0xBF};

struct cell {
    int column = 0, row = 0;
};

// Cell of every byte, indexed by its unsigned value.
std::array<cell, 256> build_cell_map()
{
    std::array<cell, 256> map{};
    auto place = [&map](unsigned char byte, int index) { map[byte] = {index % CELLS_PER_ROW, index / CELLS_PER_ROW}; };
    place(' ', 0);
    for (int d = 0; d < 10; ++d)
        place(static_cast<unsigned char>('0' + d), 1 + d);
    for (int k = 0; k < 26; ++k) {
        place(static_cast<unsigned char>('A' + k), 11 + 2 * k);
        place(static_cast<unsigned char>('a' + k), 12 + 2 * k);
    }
    for (int c = 0; c < CELLS_PER_ROW; ++c) {
        map[ROW3[c]] = {c, 3};
        map[ROW4[c]] = {c, 4};
    }
    return map;
}

const std::array<cell, 256> CELL_MAP = build_cell_map();

std::array<signed char, 256> build_width_table()
{
    std::array<signed char, 256> widths{};
    auto set = [&widths](const char* bytes, int width) {
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes); *p; ++p)
            widths[*p] = static_cast<signed char>(width);
    };
    set(",.", 2);
    set("!':;Iil`\xFB", 3);
    set(" ()*[]frt|", 4);
    set("$/?EFJLScjks", 5);
    set("+-0123456789=BKPRZ\\^_abdeghnopquvxyz\xBF\xC1\xC9\xCD\xD1\xD3\xDA\xE1\xE9\xED\xF1\xF3\xFA", 6);
    set("<>ACDGHNTUVXY", 7);
    set("#%&OQmw", 8);
    set("@MW", 9);
    return widths;
}

const std::array<signed char, 256> WIDTHS = build_width_table();

bool is_break(char c)
{
    return c == '\0' || c == ' ' || c == '-' || c == '/' || c == ':';
}

// Positions at or beyond the end read as the terminating NUL.
char byte_at(const std::string& text, size_t i)
{
    return i < text.size() ? text[i] : '\0';
}

// Whole pixels, halves away from zero, so glyph texels map one to one onto the screen.
float whole_pixel(float v)
{
    return std::round(v);
}

}  // namespace

int OGL_char_width(char byte)
{
    return WIDTHS[static_cast<unsigned char>(byte)];
}

int OGL_string_width(const std::string& text)
{
    int sum = 0;
    for (char c : text)
        sum += OGL_char_width(c);
    return sum;
}

int OGL_strtex(int charset, int colour, float* s0, float* t0, float* cell_w, float* cell_h)
{
    OGL_setstate(fog_fals, 1, lit_fals, al_blend, deR_fals, deW_fals);
    OGL_setcolor(colour, 1);
    switch (charset) {
        case charset_UI_diff_space:
        case charset_UI_fixed_6:
        case charset_UI_fixed_10:
            tman.bind_ref(OGL_FONT_TEX, 0, 0);
            *s0 = charset == charset_UI_diff_space ? 0 : FIXED_SET_S0;
            *t0 = 0;
            *cell_w = CELL_W;
            *cell_h = CELL_H;
            if (charset == charset_UI_diff_space)
                return 0;
            return charset == charset_UI_fixed_6 ? FIXED_6_ADVANCE : FIXED_10_ADVANCE;
        case charset_UI_menus_KOR:
            tman.bind_ref(OGL_KOREAN_FONT_TEX, 0, 0);
            *s0 = 0;
            *t0 = 0;
            *cell_w = KOREAN_CELL;
            *cell_h = KOREAN_CELL;
            return KOREAN_ADVANCE;
        default:
            __MACIBM_alert(0, "String proc with bad charset!", "", "", "", ALERT_FATAL, OGL_TEXT_SOURCE,
                           BAD_CHARSET_LINE);
            return 0;
    }
}

void OGL_char(float x, float y, float s0, float t0, float cell_w, float cell_h, int code, int charset)
{
    int column = 0, row = 0;
    if (charset == charset_UI_menus_KOR) {
        row = code / KOREAN_CELLS_PER_ROW;
        column = code - KOREAN_CELLS_PER_ROW * row;
    } else if (code >= -128 && code <= 127) {
        const cell c = CELL_MAP[static_cast<unsigned char>(static_cast<signed char>(code))];
        column = c.column;
        row = c.row;
    }
    const float s = (s0 + column * cell_w) / ATLAS_SIZE;
    const float t = (t0 + row * cell_h) / ATLAS_SIZE;
    const float sw = cell_w / ATLAS_SIZE, th = cell_h / ATLAS_SIZE;
    float w = cell_w, h = cell_h;
    if (oglp.text_scale > 1) {
        w *= oglp.text_scale;
        h *= oglp.text_scale;
    }
    OGL_rect_vertices(x, y, x + w, y + h, s, t, s + sw, t + th);
}

void OGL_string(int colour, float x, float y, const std::string& text, float wrap_width, int charset)
{
    float s0 = 0, t0 = 0, cell_w = 0, cell_h = 0;
    const int adv = OGL_strtex(charset, colour, &s0, &t0, &cell_w, &cell_h);
    if (cell_w == 0)
        return;  // bad charset: the alert has been raised and nothing can be drawn
    const float x0 = whole_pixel(x + mnw.off_x);
    float y0 = whole_pixel(y + mnw.off_y) - OGL_CELL_DROP;
    float pen = x0;
    const bool wrapping = wrap_width < OGL_NO_WRAP;
    const size_t length = text.size();

    glBegin(GL_QUADS);
    size_t i = 0;
    while (i < length) {
        const signed char b = static_cast<signed char>(text[i]);
        const bool two_bytes = charset == charset_UI_menus_KOR;
        if (b != '\r' && b != '\n' && b != '\t') {
            int code = b;
            if (two_bytes)
                code = b * 127 + static_cast<signed char>(byte_at(text, i + 1)) - 128;
            OGL_char(pen, y0, s0, t0, cell_w, cell_h, code, charset);
            pen += adv > 0 ? adv : OGL_char_width(static_cast<char>(b));
        }
        const size_t k = two_bytes ? i + 1 : i;
        const size_t n = k + 1;
        if (wrapping) {
            const char last = byte_at(text, k);
            bool new_line = false;
            if (is_break(last)) {
                float word_end = pen;
                if (!is_break(byte_at(text, n))) {
                    size_t end = n;
                    while (!is_break(byte_at(text, end)))
                        ++end;
                    word_end = pen + WORD_BYTE_WIDTH * static_cast<float>(end - n);
                }
                new_line = word_end > x0 + wrap_width;
            }
            if (new_line || last == '\n') {
                pen = x0;
                y0 -= LINE_STEP;
            }
        }
        i = n;
    }
    glEnd();
}

void OGL_gray_string(int colour, float x, float y, std::string text)
{
    const float width = static_cast<float>(OGL_string_width(text));
    const float left = x - width * 0.5f, right = x + width * 0.5f;
    OGL_grayrect(left - 2, y - 2, right + 2, y + 8, 0.5f);
    OGL_string(colour, left, y, text, OGL_NO_WRAP, charset_UI_diff_space);
}

void OGL_boxed_string(float x, float y, const std::string& label, const std::string& text, int charset, int colour)
{
    const gfx_hooks& widgets = gfx_get_hooks();
    std::string left, right, help;
    if (widgets.expand_label != nullptr)
        widgets.expand_label(label, &left, &right, &help);

    float width = BOX_OTHER_WIDTH;
    if (charset == charset_UI_fixed_10)
        width = static_cast<float>(FIXED_10_ADVANCE * static_cast<int>(text.size()) + BOX_PADDING);
    else if (charset == charset_UI_diff_space)
        width = static_cast<float>(OGL_string_width(text) + BOX_PADDING);

    if (widgets.frame1 != nullptr)
        widgets.frame1(BOX_FRAME_STYLE, x, y + 3, width, 0);
    if (widgets.draw_label != nullptr) {
        widgets.draw_label(x - width * 0.5f - BOX_LABEL_GAP, y, 0, left, 0);
        widgets.draw_label(x + width * 0.5f + BOX_LABEL_GAP, y, 2, right, 0);
    }
    OGL_string(colour, x - width * 0.5f + BOX_TEXT_INSET, y, text, OGL_NO_WRAP, charset);
}
