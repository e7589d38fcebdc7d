// Bitmap-font text, number fields and the spectrum scale, drawn with a marker atlas: every glyph
// cell shows one opaque texel column whose colour names the cell, so a row of read-back pixels
// tells which cell landed at which pen position.
#include "gfx/text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "gfx/gfx_helpers.h"
#include "gfx/hooks.h"
#include "gfx/numbers.h"
#include "gfx/tman.h"

using gfx_test::count_pixels;
using test::rgba;

namespace {

constexpr int PROPORTIONAL = charset_UI_diff_space, FIXED_6 = charset_UI_fixed_6, FIXED_10 = charset_UI_fixed_10;
constexpr float NO_WRAP = OGL_NO_WRAP;

struct glyph_hit {
    int x, column, row, set;
    bool operator==(const glyph_hit&) const = default;
};

std::ostream& operator<<(std::ostream& out, const glyph_hit& h)
{
    return out << "{x " << h.x << ", cell " << h.column << "/" << h.row << ", set " << h.set << "}";
}

// The glyphs a layout names, e.g. "100:A 107:V 123:0/3": each a pen position, then a character or a
// cell given as column/row. The atlas holds the space, the digits and the letters in order from cell 0
// (upper and lower case alternating), 21 cells a row; '-', '.' and ',' sit apart. The fixed-advance
// charsets use the second glyph set.
std::vector<glyph_hit> glyphs(const std::string& layout, int charset = PROPORTIONAL)
{
    const std::map<char, std::pair<int, int>> marks = {{'-', {10, 3}}, {'.', {1, 4}}, {',', {3, 4}}};
    std::vector<glyph_hit> hits;
    std::istringstream in(layout);
    for (std::string token; in >> token;) {
        int x = 0, column = 0, row = 0;
        char c = ' ';
        if (std::sscanf(token.c_str(), "%d:%d/%d", &x, &column, &row) != 3 &&
            std::sscanf(token.c_str(), "%d:%c", &x, &c) == 2) {
            const int index = std::isdigit(c) ? 1 + (c - '0')
                : std::isupper(c)             ? 11 + 2 * (c - 'A')
                : std::islower(c)             ? 12 + 2 * (c - 'a')
                                              : 0;
            std::tie(column, row) = marks.count(c) ? marks.at(c) : std::pair(index % 21, index / 21);
        }
        hits.push_back({x, column, row, charset != PROPORTIONAL});
    }
    return hits;
}

// The glyph bars crossing pixel row y between x_from and x_to, left to right.
std::vector<glyph_hit> glyphs_on_row(int y, int x_from = 0, int x_to = 1024)
{
    std::vector<unsigned char> line(static_cast<size_t>(x_to - x_from) * 4);
    glReadPixels(x_from, y, x_to - x_from, 1, GL_RGBA, GL_UNSIGNED_BYTE, line.data());
    std::vector<glyph_hit> hits;
    for (int i = 0; i < x_to - x_from; ++i) {
        const unsigned char* p = &line[static_cast<size_t>(i) * 4];
        if (p[2] == gfx_test::MARKER_BLUE_PROPORTIONAL || p[2] == gfx_test::MARKER_BLUE_FIXED)
            hits.push_back({x_from + i, (p[0] - 5) / 10, (p[1] - 5) / 40, p[2] == gfx_test::MARKER_BLUE_FIXED});
    }
    return hits;
}

class text_drawing : public gfx_test::screen_test {
protected:
    static void SetUpTestSuite()
    {
        screen_test::SetUpTestSuite();
        gfx_test::set_up_screen();
        gfx_test::load_marker_atlas();
    }
    void SetUp() override
    {
        screen_test::SetUp();
        oglp.text_scale = 1;
    }
};

}  // namespace

TEST_F(text_drawing, StringsAdvanceWrapAndMapCellsByCharset)
{
    const char* const proportional = "100:A 107:V 114:i 117:l 120:l 123:0/3 126:4/4";  // '"' has no width
    // Charset, pen, text, wrap limit, then the glyphs on the pixel row read back.
    const std::tuple<int, float, float, const char*, float, int, const char*> cases[] = {
        // The proportional charset advances by the width table; its 11-pixel cell stands 2 px below the baseline.
        {PROPORTIONAL, 100, 400, "AV\"ill!?", NO_WRAP, 397, ""},
        {PROPORTIONAL, 100, 400, "AV\"ill!?", NO_WRAP, 398, proportional},
        {PROPORTIONAL, 100, 400, "AV\"ill!?", NO_WRAP, 409, ""},
        // Fixed charsets advance even over unmapped bytes.
        {FIXED_6, 100, 400, "a,b", NO_WRAP, 403, "100:a 106:, 112:b"},
        {FIXED_10, 100, 300, "a\"b", NO_WRAP, 303, "100:a 120:b"},
        // The pen starts on whole pixels, halves away from zero: at -11 the third glyph lands at 1.
        {PROPORTIONAL, 10.5f, 400, "a", NO_WRAP, 403, "11:a"},
        {PROPORTIONAL, 20.4f, 400, "a", NO_WRAP, 403, "20:a"},
        {PROPORTIONAL, -10.5f, 400, "aaa", NO_WRAP, 403, "1:a"},
        // Control bytes never move the pen, and line feeds only break when wrapping.
        {PROPORTIONAL, 100, 600, "a\r\tb\nc", NO_WRAP, 603, "100:a 106:b 112:c"},
        {PROPORTIONAL, 100, 500, "a\nb", 200, 503, "100:a"},
        {PROPORTIONAL, 100, 500, "a\nb", 200, 493, "100:b"},
        // "aaa " is 22 px; the next word is estimated at 3 x 6 = 18 px: 40 > 30 starts a new line.
        {PROPORTIONAL, 100, 600, "aaa bbb", 30, 603, "100:a 106:a 112:a"},
        {PROPORTIONAL, 100, 600, "aaa bbb", 30, 593, "100:b 106:b 112:b"},
        // A single word wider than the limit stays on one line.
        {PROPORTIONAL, 100, 500, "abcdefgh", 20, 503, "100:a 106:b 112:c 117:d 123:e 129:f 133:g 139:h"},
        {PROPORTIONAL, 100, 500, "abcdefgh", 20, 493, ""},
        // Two spaces: the first sees another break character next, the second a short word.
        {PROPORTIONAL, 100, 400, "a  b", 30, 403, "100:a 114:b"},
        // The estimate ignores the charset: 6 px per byte also in the 10-px charset, so "cd" is
        // guessed at 12 px and fits (130 + 12 <= 145) although it really takes 20.
        {FIXED_10, 100, 300, "ab cd", 45, 303, "100:a 110:b 130:c 140:d"},
    };
    for (const auto& [charset, x, y, text, wrap, row, layout] : cases) {
        SetUp();
        OGL_string(0, x, y, text, wrap, charset);
        EXPECT_EQ(glyphs_on_row(row), glyphs(layout, charset)) << '"' << text << "\" on row " << row;
    }
    // Inside a box the pen starts at the box's offset, still on whole pixels.
    SetUp();
    mnw.off_x = 0.6f, mnw.off_y = 100;
    OGL_string(0, 30, 300, "a", NO_WRAP, PROPORTIONAL);
    EXPECT_EQ(glyphs_on_row(403), glyphs("31:a"));
}

TEST_F(text_drawing, TextScaleEnlargesTheQuadOnly)
{
    // Magnified glyphs are filtered, so look at coverage rather than exact colours.
    auto covered = [this](int x, int y) { return pixel(x, y).b > 0; };
    OGL_string(0, 100, 400, "a", NO_WRAP, PROPORTIONAL);
    oglp.text_scale = 2;
    OGL_string(0, 200, 400, "a", NO_WRAP, PROPORTIONAL);
    // 11 rows high, then 22 rows high from the same start; the one-texel bar two pixels wide.
    EXPECT_EQ(std::vector<bool>({covered(100, 408), covered(100, 409), covered(200, 397), covered(200, 398),
                                 covered(200, 419), covered(200, 420), covered(201, 403)}),
              std::vector<bool>({true, false, false, true, true, false, true}));
}

TEST_F(text_drawing, KoreanCharsetPairsBytesIntoOneGlyph)
{
    // A fully opaque white texture: each glyph is a solid 13 x 13 block.
    std::vector<unsigned char> white(64 * 64 * 4, 255);
    gfx_test::load_texture_pixels(OGL_KOREAN_FONT_TEX, 64, 64, white.data());
    OGL_string(0, 100, 400, "ab", NO_WRAP, charset_UI_menus_KOR);
    EXPECT_EQ(count_pixels(0, 400, 1024, 1, 255, 255, 255), 13);
    OGL_string(0, 100, 300, "abc", NO_WRAP, charset_UI_menus_KOR);
    EXPECT_EQ(count_pixels(0, 300, 1024, 1, 255, 255, 255), 26) << "odd length: the last byte pairs with NUL";
    EXPECT_EQ(std::tuple(pixel(115, 300), pixel(113, 300)), std::tuple(gfx_test::WHITE, gfx_test::BLACK));
}

TEST_F(text_drawing, GrayStringSitsCentredOnAHalfTransparentBox)
{
    colr.assign(33, 1, 1, 1);
    OGL_plot_back_col();
    OGL_gray_string(0, 500, 300, "");
    EXPECT_EQ(count_pixels(480, 290, 40, 20, 128, 128, 128), 4 * 10) << "box from y - 2 to y + 8, 4 px wide";
    OGL_gray_string(0, 700, 300, "AV");
    // The box is 14 + 4 px wide; the two glyph bars reach one row above it.
    EXPECT_EQ(count_pixels(680, 290, 40, 20, 255, 255, 255), 40 * 20 - 18 * 10 - 2);
    EXPECT_EQ(glyphs_on_row(303, 680, 720), glyphs("693:A 700:V"));
}

TEST_F(text_drawing, BoxedStringPlacesFrameLabelsAndValue)
{
    static std::vector<std::string> calls;
    gfx_set_hooks({
        .expand_label = [](const std::string& label, std::string* left, std::string* right,
                           std::string* help) { *left = "<" + label, *right = label + ">", help->clear(); },
        .frame1 = [](int style, float x, float y, float width,
                     int colour) { calls.push_back(testing::PrintToString(std::tuple(style, x, y, width, colour))); },
        .draw_label = [](float x, float y, int align, const std::string& text,
                         int) { calls.push_back(testing::PrintToString(std::tuple(x, y, align, text))); },
    });
    OGL_boxed_string(300, 400, "Speed", "12", FIXED_6, 0);
    // Frame style 9 three pixels up, 100 px wide for this charset; the labels 8 px outside it.
    EXPECT_EQ(
        calls,
        std::vector<std::string>({"(9, 300, 403, 100, 0)", "(242, 400, 0, \"<Speed\")", "(358, 400, 2, \"Speed>\")"}));
    EXPECT_EQ(glyphs_on_row(403), glyphs("254:1 260:2", FIXED_6));
    // The 10-px charset boxes 10 px a byte, the proportional one the width table's sum, plus 7; bytes
    // above 127 index the table's other half (0xE9 is 6 px wide).
    for (const auto& [text, charset, width] :
         {std::tuple{"12", FIXED_10, 27}, {"AV\xE9", PROPORTIONAL, 27}, {"", PROPORTIONAL, 7}}) {
        calls.clear();
        OGL_boxed_string(300, 100, "x", text, charset, 0);
        EXPECT_EQ(calls.front(), testing::PrintToString(std::tuple(9, 300.0f, 103.0f, float(width), 0)));
    }
    gfx_set_hooks({});
}

TEST_F(text_drawing, BadCharsetEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(OGL_string(0, 10, 10, "a", NO_WRAP, 104), testing::ExitedWithCode(1), "String proc with bad charset!");
    EXPECT_EXIT(OGL_number(0, 10, 10, 1, 3, 0, PROPORTIONAL), testing::ExitedWithCode(1),
                "Numbers must be mono-spaced! This is because we increment by a constant step size for each digit.");
}

TEST_F(text_drawing, NumberFieldsPadSignPointCommasAndExponents)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const std::tuple<float, float, float, int, int, int, const char*> cases[] = {
        // pen, value, digits, decimals, charset, then the glyphs on the row 3 above the pen
        {100, 600, -999.5f, 6, 2, FIXED_6, "95:- 100:0 103:, 106:9 112:9 118:9 121:. 124:5 130:0"},
        {100, 500, 42, 5, 0, FIXED_6, "100:0 106:0 109:, 112:0 118:4 124:2"},
        {100, 400, 0.04f, 3, 1, FIXED_6, "100:0 106:0 109:. 112:0"},
        {200, 400, -0.004f, 3, 1, FIXED_6, "200:0 206:0 209:. 212:0"},  // no sign for what shows as zero
        {300, 400, -0.06f, 3, 1, FIXED_6, "295:- 300:0 306:0 309:. 312:1"},
        {100, 300, 42, 3, 0, FIXED_10, "100:0 110:4 120:2"},
        // Too wide for the field: three digits and the power of ten, 0 for a power of 10 or more.
        {100, 600, 5000, 3, 0, FIXED_6, "100:5 105:. 106:0 112:0 118:x 124:3"},
        {100, 500, 50, 1, 0, FIXED_6, "100:0 105:. 106:5 112:0 118:x 124:2"},
        {300, 500, 7, 0, 0, FIXED_6, "300:0 305:. 306:0 312:7 318:x 324:2"},
        {100, 400, 1.0e12f, 3, 0, FIXED_6, "100:1 105:. 106:0 112:0 118:x 124:0"},
        // Values that are not finite show zero fields instead of looping.
        {100, 600, nan, 4, 1, FIXED_6, "100:0 106:0 112:0 115:. 118:0"},
        {100, 500, -inf, 3, 0, FIXED_6, "95:- 100:0 106:0 112:0"},
        {300, 500, inf, 3, 0, FIXED_6, "300:0 306:0 312:0"},
        // 1.234e12 is 1234000019456 in single precision. Its cells from 10^10 down to 10^3 show
        // 3 4 0 0 0 0 1 9; the last three cells would need quotients beyond the int range: '0'.
        {100, 300, 1.234e12f, 11, 0, FIXED_6,
         "100:3 106:4 109:, 112:0 118:0 124:0 127:, 130:0 136:1 142:9 145:, 148:0 154:0 160:0"},
    };
    for (const auto& [x, y, value, digits, decimals, charset, layout] : cases) {
        SetUp();
        OGL_number(0, x, y, value, digits, decimals, charset);
        EXPECT_EQ(glyphs_on_row(int(y) + 3), glyphs(layout, charset)) << value << " in " << digits << "." << decimals;
    }
    SetUp();
    OGL_number(0, 100, 600, 5000, 3, 0, FIXED_6);
    EXPECT_EQ(glyphs_on_row(597), glyphs("105:.", FIXED_6)) << "the exponent's point sits 1 px lower";
}

TEST_F(text_drawing, SpectrumScaleRunsFromLowAtTheBottomToHighAtTheTop)
{
    auto near = [this](int x, int y, rgba colour) { return test::near_colour(pixel(x, y), colour, 3); };
    colr.spectrum_init(2);
    colr.spectrum_plotscale(50, -300, 0, 1);
    // The point drawn at y + 500 has index 500: green 0.5.
    EXPECT_TRUE(near(49, 200, {0, 128, 0, 255}) && near(49, 692, {0, 253, 0, 255})) << pixel(49, 200);
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(std::tuple(size, colr.spec_lo, colr.spec_hi), std::tuple(1, 0, 1));

    // Low above high: values are still clamped between the two, indices still grow upward, and
    // the top label shows high.
    colr.spectrum_plotscale(150, -300, 5, 2);
    EXPECT_TRUE(near(149, 200, {0, 128, 0, 255}) && near(149, 692, {0, 253, 0, 255})) << pixel(149, 200);
    EXPECT_EQ(colr.spec_range, -3);
    EXPECT_EQ(glyphs_on_row(699, 150, 250), glyphs("154:0 157:, 160:0 166:0 172:2 175:. 178:0 184:0", FIXED_6));

    // An empty range shows the first colour over the whole bar.
    colr.spectrum_init(0);
    colr.spectrum_plotscale(250, -300, 3, 3);
    EXPECT_EQ(std::tuple(pixel(249, 200), pixel(249, 600)), std::tuple(gfx_test::RED, gfx_test::RED));
}
