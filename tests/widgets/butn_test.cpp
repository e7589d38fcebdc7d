// Widget foundations: label parts and lines, and where each painter draws which atlas texels.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <tuple>

#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "gfx/state.h"
#include "widgets/butn.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

namespace {

// Glyph cells of the proportional set (8 x 11 texels, 21 to a row): the texel a glyph's lower-left
// corner shows. The letter indexes follow the font's cell map: space 0, digits 1-10, 'A' 11, 'a' 12, ...
texel upper(char c)
{
    int i = 11 + 2 * (c - 'A');
    return {8 * (i % 21), 11 * (i / 21)};
}
texel lower(char c)
{
    int i = 12 + 2 * (c - 'a');
    return {8 * (i % 21), 11 * (i / 21)};
}

}  // namespace

TEST(LabelParts, SplitAtTheLastBarAndBrace)
{
    // The character after '{' is skipped; later marks replace earlier ones.
    const std::array<const char*, 4> rows[] = {{"Go|Start{ Click to start", "Go", "Start", "Click to start"},
                                               {"Name{x", "Name", "", ""},
                                               {"|English", "", "English", ""},
                                               {"a|b|c{ one{ two", "a|b", "c{ one", "two"},
                                               {"plain", "plain", "", ""}};
    for (const auto& r : rows) {
        std::string left = "unset", right = "unset", help = "unset";
        BTN_expand_label(r[0], &left, &right, &help);
        EXPECT_EQ(left + "/" + right + "/" + help, std::string(r[1]) + "/" + r[2] + "/" + r[3]) << r[0];
    }
}

class Painters : public widget_gl_test { };

TEST_F(Painters, LabelsBreakNearTheMiddleOntoTwoLinesAndLitOnesPulse)
{
    // x, y, alignment, text, and a pixel with the texel it must show.
    // "Download the files": spaces at 8 and 12 of 18 characters, 8 nearer the middle, 9. Line 1 at
    // y + 5 (its cell starts 2 below, its lowest row covered by line 2's top row), line 2 at y - 5.
    // "abcdefghijklmnop" has nowhere to break and ends at x: a6 b6 c5 d6 e6 f4 g6 h6 i3 j5 k5 l3 m8
    // n6 o6 p6 = 87 units. A leading '-' is dropped and the text never splits; a break that would
    // leave an empty line is not made; align 1 never splits, and any other alignment draws nothing.
    const std::tuple<float, float, int, const char*, texel_probe> rows[] = {
        {200, 300, ALIGN_START_AT_X, "Download the files", {200, 304, {upper('D').s, 1}}},
        {200, 300, ALIGN_START_AT_X, "Download the files", {200, 293, lower('t')}},
        {500, 400, ALIGN_END_AT_X, "abcdefghijklmnop", {413, 398, lower('a')}},
        {500, 400, ALIGN_END_AT_X, "abcdefghijklmnop", {412, 398, {}}},
        {600, 500, ALIGN_START_AT_X, "-Install everything now", {600, 498, upper('I')}},
        {100, 600, ALIGN_START_AT_X, "abcdefghijkl ", {100, 598, lower('a')}},
        {700, 600, ALIGN_ONE_LINE, "Download the files", {700, 598, upper('D')}},
        {700, 200, 3, "Download the files", {700, 198, {}}},
    };
    for (const auto& [x, y, align, text, probe] : rows)
        BTN_util_draw_label(x, y, align, text, 0);
    for (const auto& [x, y, align, text, probe] : rows)
        expect_texels({probe}, text);

    colr.assign(42, 1, 1, 1);
    colr.assign(76, 0, 0, 1);
    BTN_util_draw_label(100, 100, ALIGN_START_AT_X, "Dd", 0);
    BTN_util_draw_label(100, 200, ALIGN_START_AT_X, "Dd", 1);
    EXPECT_EQ(texel_at(100, 98), upper('D'));
    const test::rgba lit = pixel(100, 198);
    EXPECT_TRUE(lit.r == 0 && lit.g == 0 && lit.b > 0) << lit;
}

TEST_F(Painters, BarsCentreOnEvenPixelsAndTileTheirMiddle)
{
    // Push button face: x 101 centres at 102 and width 99 becomes 100, so the bar spans 52..151: the
    // left cap 13 rows up the 26-row element, the first middle tile, the right cap's last texel. The
    // last middle piece, 126..142, is cut at the right cap and squeezes texels 314 .. 314 + 16 x 32 / 42
    // into its 16 units (divided by the cap offset M, not the tile): 8.5 units in shows 320, not 322.
    BTN_frame1(2, 101, 200, 99, 0);
    // A framed field grows by 4: width 40 spans 44 units.
    BTN_frame1(9, 300, 400, 40, 0);
    // Narrower than two caps: both caps overlap and the right one is drawn last.
    BTN_frame1(2, 500, 500, 10, 0);
    // Style 0's element reaches one row past the atlas; its top row must not wrap to the font rows.
    BTN_frame1(0, 512, 600, 200, 0);  // dy -3: rows 584..609
    // clang-format off
    expect_texels({{52, 200, {304, 499}}, {62, 200, {314, 499}}, {151, 200, {355, 499}}, {51, 200, {}},
                   {152, 200, {}}, {100, 187, {314 + (100 - 62) % 32, 486}}, {100, 186, {}}, {134, 200, {320, ANY}},
                   {141, 200, {325, ANY}}, {142, 200, {346, ANY}}, {278, 400, {262, 146}}, {321, 400, {312, 146}},
                   {322, 400, {}}, {495, 500, {346, 499}}, {512, 584, {ANY, 487}}, {512, 609, {ANY, 511}}});
    // clang-format on
}

TEST_F(Painters, TracksCellsAndPanels)
{
    BTN_frame0(6, 100, 300, 50);  // length 58: y 271..328, x 90..109
    BTN_util_element(400, 400, 167, 187, 9, 9, 0);
    // Three arrow pairs 10 apart centred on x: the first at 190, the last at 210.
    BTN_util_draw_boxed_button(200, 500, 60, 0, 3);
    // A panel slices its element around a tiled middle: the first tile lies past the 40-texel border.
    BTN_frame2(12, 600, 100, 200, 150, "");  // 591..808 by 86..253
    // Too small for any slice: only the title, centred, 13 below the top for style 11; other styles
    // drop it 16 below the top, and the installer's style 20 indents it 10 from x.
    BTN_frame2(11, 600, 400, 0, 0, "Hi");  // "Hi" is 10 wide
    BTN_frame2(12, 600, 600, 0, 0, "Hi");
    BTN_frame2(20, 700, 700, 0, 0, "Hi");
    // clang-format off
    expect_texels({{90, 271, {102, 248}}, {109, 328, {121, 287}}, {100, 270, {}}, {100, 329, {}},
                   {391, 391, {158, 178}}, {408, 408, {175, 195}}, {183, 478, {83, 178}}, {183, 506, {83, 197}},
                   {203, 478, {83, 178}}, {591, 86, {102, 358}}, {808, 253, {201, 457}}, {631, 126, {142, 398}},
                   {590, 86, {}}, {809, 253, {}}, {595, 385, upper('H')}, {592, 390, {}},
                   {595, 582, upper('H')}, {595, 581, {}}, {710, 682, upper('H')}});
    // clang-format on
}

TEST_F(Painters, BadStylesAndPositionsAreFatal)
{
    alert_recorder alerts;
    const std::pair<std::function<void()>, const char*> calls[] = {
        {[] { BTN_frame1(6, 10, 10, 10, 0); }, "Bad BTN_frame1 call!"},
        {[] { BTN_frame2(21, 10, 10, 10, 10, "Title"); }, "Bad BTN_frame2 call!"},
        {[] { BTN_frame0(7, 10, 10, 10); }, "Bad BTN_frame0 call!"},
        {[] { BTN_frame0(6, 10.5f, 10, 10); }, "BTN_frame0 non-int x_center!"},
        {[] { BTN_frame0(6, 10, 10.5f, 10); }, "BTN_frame0 non-int y_center!"},
    };
    for (const auto& [call, message] : calls) {
        const recorded_alert a = expect_fatal(call);
        EXPECT_EQ(a.l1, message);
        EXPECT_EQ(a.type, ALERT_FATAL);
        EXPECT_EQ(a.file, "butn");
    }
    EXPECT_EQ(alerts.alerts()[1].l4, "Title");
}
