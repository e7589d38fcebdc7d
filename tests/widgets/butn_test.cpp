// Widget foundations: label parts and lines, and where each painter draws which atlas texels.
#include <gtest/gtest.h>

#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/state.h"
#include "gfx/draw2d.h"
#include "widgets/butn.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

namespace {

struct parts {
    std::string left, right, help;
};
parts split(const std::string& label)
{
    parts p{"unset", "unset", "unset"};
    BTN_expand_label(label, &p.left, &p.right, &p.help);
    return p;
}

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
    parts p = split("Go|Start{ Click to start");
    EXPECT_EQ(p.left, "Go");
    EXPECT_EQ(p.right, "Start");
    EXPECT_EQ(p.help, "Click to start");

    p = split("Name{x");  // the character after '{' is skipped, leaving no help
    EXPECT_EQ(p.left, "Name");
    EXPECT_EQ(p.right, "");
    EXPECT_EQ(p.help, "");

    p = split("|English");
    EXPECT_EQ(p.left, "");
    EXPECT_EQ(p.right, "English");
    EXPECT_EQ(p.help, "");

    p = split("a|b|c{ one{ two");  // later marks replace earlier ones
    EXPECT_EQ(p.left, "a|b");
    EXPECT_EQ(p.right, "c{ one");
    EXPECT_EQ(p.help, "two");

    p = split("plain");
    EXPECT_EQ(p.left, "plain");
    EXPECT_EQ(p.right, "");
    EXPECT_EQ(p.help, "");
}

class Labels : public widget_gl_test { };

TEST_F(Labels, LongLabelsBreakNearTheMiddleOntoTwoLines)
{
    // Spaces at 8 and 12 of 18 characters: 8 is nearer the middle, 9.
    BTN_util_draw_label(200, 300, ALIGN_START_AT_X, "Download the files", 0);
    // Line 1 at y + 5 (its cell starts 2 below, and its lowest row is covered by line 2's top row).
    EXPECT_EQ(texel_at(200, 304), (texel{upper('D').s, 1}));
    EXPECT_EQ(texel_at(200, 293), lower('t'));  // line 2 at y - 5

    // Sixteen characters with nowhere to break stay whole; align 0 ends them at x.
    // a6 b6 c5 d6 e6 f4 g6 h6 i3 j5 k5 l3 m8 n6 o6 p6 = 87 units.
    BTN_util_draw_label(500, 400, ALIGN_END_AT_X, "abcdefghijklmnop", 0);
    EXPECT_EQ(texel_at(413, 398), lower('a'));
    EXPECT_FALSE(texel_at(412, 398).drawn());

    // A leading '-' is dropped and the text never splits.
    BTN_util_draw_label(600, 500, ALIGN_START_AT_X, "-Install everything now", 0);
    EXPECT_EQ(texel_at(600, 498), upper('I'));

    // Thirteen characters whose only space is the last: the break would leave an empty line.
    BTN_util_draw_label(100, 600, ALIGN_START_AT_X, "abcdefghijkl ", 0);
    EXPECT_EQ(texel_at(100, 598), lower('a'));

    // Align 1 never splits; any other alignment draws nothing.
    BTN_util_draw_label(700, 600, ALIGN_ONE_LINE, "Download the files", 0);
    EXPECT_EQ(texel_at(700, 598), upper('D'));
    BTN_util_draw_label(700, 200, 3, "Download the files", 0);
    EXPECT_FALSE(texel_at(700, 198).drawn());
}

TEST_F(Labels, LitLabelsUseThePulseColour)
{
    colr.assign(42, 1, 1, 1);
    colr.assign(76, 0, 0, 1);
    BTN_util_draw_label(100, 100, ALIGN_START_AT_X, "Dd", 0);
    BTN_util_draw_label(100, 200, ALIGN_START_AT_X, "Dd", 1);
    EXPECT_EQ(texel_at(100, 98), upper('D'));
    test::rgba lit = pixel(100, 198);
    EXPECT_EQ(lit.r, 0);
    EXPECT_EQ(lit.g, 0);
    EXPECT_GT(lit.b, 0);
}

class Painters : public widget_gl_test { };

TEST_F(Painters, BarsCentreOnEvenPixelsAndTileTheirMiddle)
{
    // Push button face: x 101 centres at 102 and width 99 becomes 100, so the bar spans 52..151.
    BTN_frame1(2, 101, 200, 99, 0);
    EXPECT_EQ(texel_at(52, 200), (texel{304, 499}));   // left cap, 13 rows up the 26-row element
    EXPECT_EQ(texel_at(62, 200), (texel{314, 499}));   // first middle tile
    EXPECT_EQ(texel_at(151, 200), (texel{355, 499}));  // last texel of the right cap
    EXPECT_FALSE(texel_at(51, 200).drawn());
    EXPECT_FALSE(texel_at(152, 200).drawn());
    EXPECT_EQ(texel_at(100, 187), (texel{314 + (100 - 62) % 32, 486}));
    EXPECT_FALSE(texel_at(100, 186).drawn());
    // The last middle piece, 126..142, is cut at the right cap and squeezes texels 314 .. 314 + 16 x 32 / 42
    // into its 16 units (divided by the cap offset M, not the tile): 8.5 units in shows texel 320, not 322.
    EXPECT_EQ(texel_at(134, 200).s, 320);
    EXPECT_EQ(texel_at(141, 200).s, 325);
    EXPECT_EQ(texel_at(142, 200).s, 346);  // the right cap starts afresh

    // A framed field grows by 4: width 40 spans 44 units.
    BTN_frame1(9, 300, 400, 40, 0);
    EXPECT_EQ(texel_at(278, 400), (texel{262, 146}));
    EXPECT_EQ(texel_at(321, 400), (texel{312, 146}));
    EXPECT_FALSE(texel_at(322, 400).drawn());

    // Narrower than two caps: both caps overlap and the right one is drawn last.
    BTN_frame1(2, 500, 500, 10, 0);
    EXPECT_EQ(texel_at(495, 500), (texel{346, 499}));
}

TEST_F(Painters, TheMenuBarReadsItsTopRowInsideTheAtlas)
{
    // Style 0's element reaches one row past the atlas; its top row must not wrap to the font rows.
    BTN_frame1(0, 512, 400, 200, 0);  // dy -3: rows 384..409
    EXPECT_EQ(texel_at(512, 384).t, 487);
    EXPECT_EQ(texel_at(512, 409).t, 511);
}

TEST_F(Painters, TracksAndCells)
{
    BTN_frame0(6, 100, 300, 50);  // length 58: y 271..328, x 90..109
    EXPECT_EQ(texel_at(90, 271), (texel{102, 248}));
    EXPECT_EQ(texel_at(109, 328), (texel{121, 287}));
    EXPECT_FALSE(texel_at(100, 270).drawn());
    EXPECT_FALSE(texel_at(100, 329).drawn());

    BTN_util_element(400, 400, 167, 187, 9, 9, 0);
    EXPECT_EQ(texel_at(391, 391), (texel{158, 178}));
    EXPECT_EQ(texel_at(408, 408), (texel{175, 195}));

    // Three arrow pairs 10 apart centred on x: the first at 190, the last at 210.
    BTN_util_draw_boxed_button(200, 300, 60, 0, 3);
    EXPECT_EQ(texel_at(183, 278), (texel{83, 178}));
    EXPECT_EQ(texel_at(183, 306), (texel{83, 197}));
    EXPECT_EQ(texel_at(203, 278), (texel{83, 178}));
}

TEST_F(Painters, PanelsSliceTheirElementAroundATiledMiddle)
{
    BTN_frame2(12, 100, 100, 200, 150, "");  // 91..308 by 86..253
    EXPECT_EQ(texel_at(91, 86), (texel{102, 358}));
    EXPECT_EQ(texel_at(308, 253), (texel{201, 457}));
    EXPECT_EQ(texel_at(131, 126), (texel{142, 398}));  // first tile, past the 40-texel border
    EXPECT_FALSE(texel_at(90, 86).drawn());
    EXPECT_FALSE(texel_at(309, 253).drawn());

    // Too small for any slice: only the title, centred, 13 below the top for style 11.
    BTN_frame2(11, 600, 300, 0, 0, "Hi");  // "Hi" is 10 wide
    EXPECT_EQ(texel_at(595, 285), upper('H'));
    EXPECT_FALSE(texel_at(592, 290).drawn());
    // Other styles drop their title 16 below the top; the installer's style 20 indents it 10 from x.
    BTN_frame2(12, 600, 500, 0, 0, "Hi");
    EXPECT_EQ(texel_at(595, 482), upper('H'));
    EXPECT_FALSE(texel_at(595, 481).drawn());
    BTN_frame2(20, 700, 100, 0, 0, "Hi");
    EXPECT_EQ(texel_at(710, 82), upper('H'));
}

TEST_F(Painters, WindowPanelsCarryCloseBoxesOnlyInOrdinaryBoxes)
{
    mnw.cur_win = 2;
    mnw.box_w = 500;
    mnw.box_h = 380;
    BTN_frame2(11, 0, 0, 500, 380, "");
    EXPECT_EQ(texel_at(7, 361), (texel{120, 178}));
    EXPECT_EQ(texel_at(475, 361), (texel{120, 178}));

    // A press on the left box leaves the right one out of this call.
    win().reset_2d();
    resync_state();
    mouse(16, 370, 1);
    BTN_frame2(11, 0, 0, 500, 380, "");
    EXPECT_EQ(texel_at(7, 361), (texel{120, 178}));
    EXPECT_NE(texel_at(475, 361), (texel{120, 178}));

    win().reset_2d();
    resync_state();
    mouse(-100, -100, 0);
    mnw.cur_win = 995;
    BTN_frame2(11, 0, 0, 500, 380, "");
    EXPECT_NE(texel_at(7, 361), (texel{120, 178}));
}

TEST_F(Painters, BadStylesAndPositionsAreFatal)
{
    alert_recorder alerts;
    recorded_alert a = expect_fatal([] { BTN_frame1(6, 10, 10, 10, 0); });
    EXPECT_EQ(a.l1, "Bad BTN_frame1 call!");
    EXPECT_EQ(a.type, 2);
    EXPECT_EQ(a.file, "butn");

    a = expect_fatal([] { BTN_frame2(21, 10, 10, 10, 10, "Title"); });
    EXPECT_EQ(a.l1, "Bad BTN_frame2 call!");
    EXPECT_EQ(a.l4, "Title");

    a = expect_fatal([] { BTN_frame0(7, 10, 10, 10); });
    EXPECT_EQ(a.l1, "Bad BTN_frame0 call!");
    a = expect_fatal([] { BTN_frame0(6, 10.5f, 10, 10); });
    EXPECT_EQ(a.l1, "BTN_frame0 non-int x_center!");
    a = expect_fatal([] { BTN_frame0(6, 10, 10.5f, 10); });
    EXPECT_EQ(a.l1, "BTN_frame0 non-int y_center!");
}
