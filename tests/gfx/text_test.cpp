// Bitmap-font text, number fields and the spectrum scale, drawn with a marker atlas: every glyph
// cell shows one opaque texel column whose colour names the cell, so a row of read-back pixels
// tells which cell landed at which pen position.
#include "gfx/text.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/gfx_helpers.h"
#include "gfx/hooks.h"
#include "gfx/numbers.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/tman.h"
#include "support/gl_window.h"

using gfx_test::count_pixels;
using test::rgba;

namespace {

struct glyph_hit {
    int x, column, row, set;
    bool operator==(const glyph_hit&) const = default;
};

std::ostream& operator<<(std::ostream& out, const glyph_hit& h)
{
    return out << "{x " << h.x << ", cell " << h.column << "/" << h.row << ", set " << h.set << "}";
}

// Cell of a character in the atlas layout (space, digits, letters; and a few punctuation marks).
glyph_hit at(int x, char c, int set = 0)
{
    int index = 0;
    if (c >= '0' && c <= '9')
        index = 1 + (c - '0');
    else if (c >= 'A' && c <= 'Z')
        index = 11 + 2 * (c - 'A');
    else if (c >= 'a' && c <= 'z')
        index = 12 + 2 * (c - 'a');
    else if (c == '-')
        return {x, 10, 3, set};
    else if (c == '.')
        return {x, 1, 4, set};
    else if (c == ',')
        return {x, 3, 4, set};
    return {x, index % 21, index / 21, set};
}

// The glyph bars crossing pixel row y between x_from and x_to, left to right.
std::vector<glyph_hit> glyphs_on_row(int y, int x_from = 0, int x_to = 1024)
{
    std::vector<unsigned char> line(static_cast<size_t>(x_to - x_from) * 4);
    glFinish();
    glReadPixels(x_from, y, x_to - x_from, 1, GL_RGBA, GL_UNSIGNED_BYTE, line.data());
    std::vector<glyph_hit> hits;
    for (int i = 0; i < x_to - x_from; ++i) {
        const unsigned char* p = &line[static_cast<size_t>(i) * 4];
        if (p[2] != gfx_test::MARKER_BLUE_PROPORTIONAL && p[2] != gfx_test::MARKER_BLUE_FIXED)
            continue;
        hits.push_back({x_from + i, (p[0] - 5) / 10, (p[1] - 5) / 40, p[2] == gfx_test::MARKER_BLUE_FIXED ? 1 : 0});
    }
    return hits;
}

std::vector<glyph_hit> fixed(std::vector<glyph_hit> hits)
{
    for (auto& h : hits)
        h.set = 1;
    return hits;
}

struct hook_call {
    std::string what;
    float x = 0, y = 0, width = 0;
    int style_or_align = 0;
    std::string text;
};
std::vector<hook_call> hook_calls;

class text_drawing : public test::gl_test {
protected:
    static void SetUpTestSuite()
    {
        test::gl_test::SetUpTestSuite();
        gfx_test::set_up_screen();
        gfx_test::load_marker_atlas();
    }
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
        gfx_test::sync_state_cache();
        mnw.off_x = mnw.off_y = 0;
        oglp.text_scale = 1;
    }
};

}  // namespace

TEST(TextWidths, ProportionalTableAndSums)
{
    EXPECT_EQ(OGL_char_width(','), 2);
    EXPECT_EQ(OGL_char_width('i'), 3);
    EXPECT_EQ(OGL_char_width(' '), 4);
    EXPECT_EQ(OGL_char_width('S'), 5);
    EXPECT_EQ(OGL_char_width('a'), 6);
    EXPECT_EQ(OGL_char_width('A'), 7);
    EXPECT_EQ(OGL_char_width('m'), 8);
    EXPECT_EQ(OGL_char_width('W'), 9);
    EXPECT_EQ(OGL_char_width('"'), 0);
    EXPECT_EQ(OGL_char_width('\n'), 0);
    EXPECT_EQ(OGL_char_width('~'), 0);
    EXPECT_EQ(OGL_char_width(static_cast<char>(0xE9)), 6);
    EXPECT_EQ(OGL_char_width(static_cast<char>(0xFB)), 3);
    EXPECT_EQ(OGL_char_width(static_cast<char>(0x80)), 0);
    EXPECT_EQ(OGL_string_width("AV"), 14);
    EXPECT_EQ(OGL_string_width("ill"), 9);
    EXPECT_EQ(OGL_string_width(""), 0);
}

TEST_F(text_drawing, ProportionalTextAdvancesByTheWidthTableAndMapsCells)
{
    OGL_string(0, 100, 400, "AV\"ill!?", OGL_NO_WRAP, charset_UI_diff_space);
    const std::vector<glyph_hit> expected = {at(100, 'A'), at(107, 'V'),   at(114, 'i'),  at(117, 'l'),
                                             at(120, 'l'), {123, 0, 3, 0}, {126, 4, 4, 0}};
    EXPECT_EQ(glyphs_on_row(403), expected);
    // The 11-pixel cell stands 2 px below the baseline.
    EXPECT_EQ(glyphs_on_row(397).size(), 0u);
    EXPECT_EQ(glyphs_on_row(398).size(), expected.size());
    EXPECT_EQ(glyphs_on_row(408).size(), expected.size());
    EXPECT_EQ(glyphs_on_row(409).size(), 0u);
}

TEST_F(text_drawing, FixedCharsetsAdvanceEvenOverUnmappedBytes)
{
    OGL_string(0, 100, 400, "a,b", OGL_NO_WRAP, charset_UI_fixed_6);
    EXPECT_EQ(glyphs_on_row(403), fixed({at(100, 'a'), at(106, ','), at(112, 'b')}));
    OGL_string(0, 100, 300, "a\"b", OGL_NO_WRAP, charset_UI_fixed_10);
    EXPECT_EQ(glyphs_on_row(303), fixed({at(100, 'a'), at(120, 'b')}));
}

TEST_F(text_drawing, PenStartsOnWholePixelsWithTheBoxOffset)
{
    OGL_string(0, 10.5f, 400, "a", OGL_NO_WRAP, charset_UI_diff_space);
    OGL_string(0, 20.4f, 400, "a", OGL_NO_WRAP, charset_UI_diff_space);
    mnw.off_x = 0.6f;
    mnw.off_y = 100;
    OGL_string(0, 30, 300, "a", OGL_NO_WRAP, charset_UI_diff_space);
    EXPECT_EQ(glyphs_on_row(403), (std::vector<glyph_hit>{at(11, 'a'), at(20, 'a'), at(31, 'a')}));
    mnw.off_x = 0;
    mnw.off_y = 0;
    win().reset_2d();
    gfx_test::sync_state_cache();
    OGL_string(0, -10.5f, 400, "aaa", OGL_NO_WRAP, charset_UI_diff_space);
    EXPECT_EQ(glyphs_on_row(403), (std::vector<glyph_hit>{at(1, 'a')})) << "pen at -11, third glyph at 1";
}

TEST_F(text_drawing, ControlBytesNeverMoveThePenAndLineFeedsOnlyBreakWhenWrapping)
{
    OGL_string(0, 100, 600, "a\r\tb\nc", OGL_NO_WRAP, charset_UI_diff_space);
    EXPECT_EQ(glyphs_on_row(603), (std::vector<glyph_hit>{at(100, 'a'), at(106, 'b'), at(112, 'c')}));

    OGL_string(0, 100, 500, "a\nb", 200, charset_UI_diff_space);
    EXPECT_EQ(glyphs_on_row(503, 0, 300), (std::vector<glyph_hit>{at(100, 'a')}));
    EXPECT_EQ(glyphs_on_row(493, 0, 300), (std::vector<glyph_hit>{at(100, 'b')}));
}

TEST_F(text_drawing, WrappingBreaksBeforeWordsThatWouldCrossTheLimit)
{
    // "aaa " is 22 px; the next word is estimated at 3 x 6 = 18 px: 40 > 30 starts a new line.
    OGL_string(0, 100, 600, "aaa bbb", 30, charset_UI_diff_space);
    EXPECT_EQ(glyphs_on_row(603), (std::vector<glyph_hit>{at(100, 'a'), at(106, 'a'), at(112, 'a')}));
    EXPECT_EQ(glyphs_on_row(593), (std::vector<glyph_hit>{at(100, 'b'), at(106, 'b'), at(112, 'b')}));

    // A single word wider than the limit stays on one line.
    OGL_string(0, 100, 500, "abcdefgh", 20, charset_UI_diff_space);
    EXPECT_EQ(glyphs_on_row(503).size(), 8u);
    EXPECT_EQ(glyphs_on_row(493).size(), 0u);

    // Two spaces: the first sees another break character next, the second a short word.
    OGL_string(0, 100, 400, "a  b", 30, charset_UI_diff_space);
    EXPECT_EQ(glyphs_on_row(403), (std::vector<glyph_hit>{at(100, 'a'), at(114, 'b')}));

    // The estimate ignores the charset: 6 px per byte also in the 10-px charset, so "cd" is
    // guessed at 12 px and fits (130 + 12 <= 145) although it really takes 20.
    OGL_string(0, 100, 300, "ab cd", 45, charset_UI_fixed_10);
    EXPECT_EQ(glyphs_on_row(303), fixed({at(100, 'a'), at(110, 'b'), at(130, 'c'), at(140, 'd')}));
}

TEST_F(text_drawing, EmptyTextStillSetsStateColourAndTexture)
{
    glBindTexture(GL_TEXTURE_2D, 0);
    tman.reset_bind();
    OGL_string(5, 100, 100, "", OGL_NO_WRAP, charset_UI_diff_space);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_NEAR(colour[2], 0, 1e-6);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, OGL_FONT_TEX);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(text_drawing, TextScaleEnlargesTheQuadOnly)
{
    // Magnified glyphs are filtered, so look at coverage rather than exact colours.
    auto covered = [this](int x, int y) { return pixel(x, y).b > 0; };
    OGL_string(0, 100, 400, "a", OGL_NO_WRAP, charset_UI_diff_space);
    EXPECT_TRUE(covered(100, 408));
    EXPECT_FALSE(covered(100, 409));
    oglp.text_scale = 2;
    OGL_string(0, 200, 400, "a", OGL_NO_WRAP, charset_UI_diff_space);
    EXPECT_FALSE(covered(200, 397));
    EXPECT_TRUE(covered(200, 398));
    EXPECT_TRUE(covered(200, 419)) << "22 rows high";
    EXPECT_FALSE(covered(200, 420));
    EXPECT_TRUE(covered(201, 403)) << "the one-texel bar is two pixels wide";
}

TEST_F(text_drawing, KoreanCharsetPairsBytesIntoOneGlyph)
{
    // A fully opaque white texture: each glyph is a solid 13 x 13 block.
    std::vector<unsigned char> white(64 * 64 * 4, 255);
    gfx_test::load_texture_pixels(OGL_KOREAN_FONT_TEX, 64, 64, white.data());
    OGL_string(0, 100, 400, "ab", OGL_NO_WRAP, charset_UI_menus_KOR);
    EXPECT_EQ(count_pixels(0, 400, 1024, 1, 255, 255, 255), 13);
    OGL_string(0, 100, 300, "abc", OGL_NO_WRAP, charset_UI_menus_KOR);
    EXPECT_EQ(count_pixels(0, 300, 1024, 1, 255, 255, 255), 26) << "odd length: the last byte pairs with NUL";
    EXPECT_EQ(pixel(115, 300), (rgba{255, 255, 255, 255}));
    EXPECT_EQ(pixel(113, 300), (rgba{0, 0, 0, 255}));
}

TEST_F(text_drawing, GrayStringSitsCentredOnAHalfTransparentBox)
{
    win().reset_2d({255, 255, 255, 255});
    gfx_test::sync_state_cache();
    OGL_gray_string(0, 500, 300, "");
    EXPECT_EQ(count_pixels(480, 290, 40, 20, 128, 128, 128), 4 * 10) << "box from y - 2 to y + 8, 4 px wide";

    OGL_gray_string(0, 700, 300, "AV");
    // The box is 14 + 4 px wide; the two glyph bars reach one row above it.
    EXPECT_EQ(count_pixels(680, 290, 40, 20, 255, 255, 255), 40 * 20 - 18 * 10 - 2);
    EXPECT_EQ(glyphs_on_row(303, 680, 720), (std::vector<glyph_hit>{at(693, 'A'), at(700, 'V')}));
}

TEST_F(text_drawing, BoxedStringPlacesFrameLabelsAndValue)
{
    gfx_set_hooks({
        .expand_label =
            [](const std::string& label, std::string* left, std::string* right, std::string* help) {
                const size_t bar = label.find('|');
                *left = label.substr(0, bar);
                *right = bar == std::string::npos ? "" : label.substr(bar + 1);
                help->clear();
            },
        .frame1 =
            [](int style, float x, float y, float width, int colour) {
                hook_calls.push_back({"frame", x, y, width, style, std::to_string(colour)});
            },
        .draw_label =
            [](float x, float y, int align, const std::string& text, int lit) {
                hook_calls.push_back({"label", x, y, 0, align, text});
            },
    });
    hook_calls.clear();
    OGL_boxed_string(300, 400, "Speed|knots", "12", charset_UI_fixed_6, 0);
    ASSERT_EQ(hook_calls.size(), 3u);
    EXPECT_EQ(hook_calls[0].what, "frame");
    EXPECT_EQ(hook_calls[0].style_or_align, 9);
    EXPECT_EQ(hook_calls[0].width, 100) << "charset 101 always boxes 100 px";
    EXPECT_EQ(hook_calls[0].y, 403);
    EXPECT_EQ(hook_calls[1].x, 300 - 50 - 8);
    EXPECT_EQ(hook_calls[1].style_or_align, 0);
    EXPECT_EQ(hook_calls[1].text, "Speed");
    EXPECT_EQ(hook_calls[2].x, 300 + 50 + 8);
    EXPECT_EQ(hook_calls[2].style_or_align, 2);
    EXPECT_EQ(hook_calls[2].text, "knots");
    EXPECT_EQ(glyphs_on_row(403), fixed({at(254, '1'), at(260, '2')}));

    hook_calls.clear();
    OGL_boxed_string(300, 300, "x", "12", charset_UI_fixed_10, 0);
    EXPECT_EQ(hook_calls[0].width, 27);
    hook_calls.clear();
    OGL_boxed_string(300, 200, "x", "AV", charset_UI_diff_space, 0);
    EXPECT_EQ(hook_calls[0].width, 21);
    hook_calls.clear();
    OGL_boxed_string(300, 100, "x", "", charset_UI_diff_space, 0);
    EXPECT_EQ(hook_calls[0].width, 7);
    gfx_set_hooks({});
}

TEST_F(text_drawing, BadCharsetEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(OGL_string(0, 10, 10, "a", OGL_NO_WRAP, 104), testing::ExitedWithCode(1),
                "String proc with bad charset!");
    EXPECT_EXIT(OGL_number(0, 10, 10, 1, 3, 0, charset_UI_diff_space), testing::ExitedWithCode(1),
                "Numbers must be mono-spaced! This is because we increment by a constant step size for each digit.");
    EXPECT_EXIT(OGL_number(0, 10, 10, 1, 3, 0, charset_UI_menus_KOR), testing::ExitedWithCode(1),
                "Numbers must be mono-spaced!");
}

TEST_F(text_drawing, NumberFieldsPadWithZerosAndPlaceSignPointAndCommas)
{
    OGL_number(0, 100, 600, -999.5f, 6, 2, charset_UI_fixed_6);
    EXPECT_EQ(glyphs_on_row(603),
              fixed({at(95, '-'), at(100, '0'), at(103, ','), at(106, '9'), at(112, '9'), at(118, '9'), at(121, '.'),
                     at(124, '5'), at(130, '0')}));

    OGL_number(0, 100, 500, 42, 5, 0, charset_UI_fixed_6);
    EXPECT_EQ(glyphs_on_row(503),
              fixed({at(100, '0'), at(106, '0'), at(109, ','), at(112, '0'), at(118, '4'), at(124, '2')}));

    OGL_number(0, 100, 400, 0.04f, 3, 1, charset_UI_fixed_6);
    OGL_number(0, 200, 400, -0.004f, 3, 1, charset_UI_fixed_6);
    OGL_number(0, 300, 400, -0.06f, 3, 1, charset_UI_fixed_6);
    EXPECT_EQ(glyphs_on_row(403),
              fixed({at(100, '0'), at(106, '0'), at(109, '.'), at(112, '0'), at(200, '0'), at(206, '0'), at(209, '.'),
                     at(212, '0'), at(295, '-'), at(300, '0'), at(306, '0'), at(309, '.'), at(312, '1')}));

    OGL_number(0, 100, 300, 42, 3, 0, charset_UI_fixed_10);
    EXPECT_EQ(glyphs_on_row(303), fixed({at(100, '0'), at(110, '4'), at(120, '2')}));
}

TEST_F(text_drawing, NumbersTooWideForTheFieldShowTheExponentForm)
{
    OGL_number(0, 100, 600, 5000, 3, 0, charset_UI_fixed_6);
    EXPECT_EQ(glyphs_on_row(603),
              fixed({at(100, '5'), at(105, '.'), at(106, '0'), at(112, '0'), at(118, 'x'), at(124, '3')}));
    EXPECT_EQ(glyphs_on_row(597, 100, 110), fixed({at(105, '.')})) << "the point sits 1 px lower";

    OGL_number(0, 100, 500, 50, 1, 0, charset_UI_fixed_6);
    OGL_number(0, 300, 500, 7, 0, 0, charset_UI_fixed_6);
    EXPECT_EQ(glyphs_on_row(503),
              fixed({at(100, '0'), at(105, '.'), at(106, '5'), at(112, '0'), at(118, 'x'), at(124, '2'), at(300, '0'),
                     at(305, '.'), at(306, '0'), at(312, '7'), at(318, 'x'), at(324, '2')}));

    // An exponent of 10 or more shows '0'.
    OGL_number(0, 100, 400, 1.0e12f, 3, 0, charset_UI_fixed_6);
    EXPECT_EQ(glyphs_on_row(403, 120, 130), fixed({at(124, '0')}));
}

TEST_F(text_drawing, NonFiniteValuesShowZeroFieldsInsteadOfLooping)
{
    OGL_number(0, 100, 600, std::numeric_limits<float>::quiet_NaN(), 4, 1, charset_UI_fixed_6);
    EXPECT_EQ(glyphs_on_row(603), fixed({at(100, '0'), at(106, '0'), at(112, '0'), at(115, '.'), at(118, '0')}));
    OGL_number(0, 100, 500, -std::numeric_limits<float>::infinity(), 3, 0, charset_UI_fixed_6);
    OGL_number(0, 300, 500, std::numeric_limits<float>::infinity(), 3, 0, charset_UI_fixed_6);
    EXPECT_EQ(glyphs_on_row(503),
              fixed({at(95, '-'), at(100, '0'), at(106, '0'), at(112, '0'), at(300, '0'), at(306, '0'), at(312, '0')}));
    // A finite value beyond the int range in a wide field: every cell still a digit.
    OGL_number(0, 100, 400, 3.0e15f, 11, 0, charset_UI_fixed_6);
    const auto hits = glyphs_on_row(403);
    ASSERT_EQ(hits.size(), 11u + 3u);  // eleven cells and three commas
    for (const auto& h : hits)
        EXPECT_TRUE((h.row == 0 && h.column >= 1 && h.column <= 10) || (h.row == 4 && h.column == 3)) << h;

    // 1.234e12 is 1234000019456 in single precision. Its cells from 10^10 down to 10^3 show
    // 3 4 0 0 0 0 1 9; the last three cells would need quotients beyond the int range, so they
    // show '0' rather than the 4 5 6 of the value.
    OGL_number(0, 100, 300, 1.234e12f, 11, 0, charset_UI_fixed_6);
    EXPECT_EQ(
        glyphs_on_row(303),
        fixed({at(100, '3'), at(106, '4'), at(109, ','), at(112, '0'), at(118, '0'), at(124, '0'), at(127, ','),
               at(130, '0'), at(136, '1'), at(142, '9'), at(145, ','), at(148, '0'), at(154, '0'), at(160, '0')}));
}

TEST_F(text_drawing, SpectrumScaleRunsFromLowAtTheBottomToHighAtTheTop)
{
    colr_class saved(colr);
    colr.spectrum_init(2);
    colr.spectrum_plotscale(50, -300, 0, 1);
    // The point drawn at y + 500 has index 500: green 0.5.
    EXPECT_TRUE(test::near_colour(pixel(49, 200), rgba{0, 128, 0, 255}, 3)) << pixel(49, 200);
    EXPECT_TRUE(test::near_colour(pixel(49, 692), rgba{0, 253, 0, 255}, 3)) << pixel(49, 692);
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 1);
    EXPECT_EQ(colr.spec_lo, 0);
    EXPECT_EQ(colr.spec_hi, 1);

    // Low above high: values are still clamped between the two, indices still grow upward, and
    // the top label shows high.
    colr.spectrum_plotscale(150, -300, 5, 2);
    EXPECT_TRUE(test::near_colour(pixel(149, 200), rgba{0, 128, 0, 255}, 3)) << pixel(149, 200);
    EXPECT_TRUE(test::near_colour(pixel(149, 692), rgba{0, 253, 0, 255}, 3)) << pixel(149, 692);
    EXPECT_EQ(colr.spec_range, -3);
    EXPECT_EQ(glyphs_on_row(699, 150, 250),
              fixed({at(154, '0'), at(157, ','), at(160, '0'), at(166, '0'), at(172, '2'), at(175, '.'), at(178, '0'),
                     at(184, '0')}));

    // An empty range shows the first colour over the whole bar.
    colr.spectrum_init(0);
    colr.spectrum_plotscale(250, -300, 3, 3);
    EXPECT_EQ(pixel(249, 200), (rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(249, 600), (rgba{255, 0, 0, 255}));
    colr = saved;
}
