// The embedded images as textures, the installer's picture-cut controls, size texts, and screenshots
// of every widget drawn with the program's own art (written under <build>/widget-screens for review).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "gfx/tman.h"
#include "installer/art.h"
#include "widgets/action.h"
#include "widgets/bool.h"
#include "widgets/butn.h"
#include "widgets/enterstring.h"
#include "widgets/menus.h"
#include "widgets/numbers.h"
#include "widgets/panels.h"
#include "widgets/textlist.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

namespace {

constexpr int PICTURE_W = 1010;

test::rgba picture_texel(int s, int t)
{
    const unsigned char* p = t_installer_dat + (static_cast<size_t>(t) * PICTURE_W + s) * 4;
    return {p[0], p[1], p[2], p[3]};
}

test::rgba atlas_texel(int s, int t)
{
    const unsigned char* p = t_interface_dat + (static_cast<size_t>(t) * 512 + s) * 4;
    return {p[0], p[1], p[2], p[3]};
}

// Where the start-up takes the interface colours from (x, y in atlas texels).
struct swatch {
    int entry, x, y;
};
constexpr swatch SWATCHES[] = {{33, 319, 155}, {34, 319, 147}, {35, 319, 139}, {36, 319, 131}, {37, 319, 123},
                               {39, 319, 115}, {40, 319, 107}, {41, 319, 99},  {42, 319, 91},  {43, 395, 115},
                               {44, 319, 83},  {45, 319, 75},  {46, 319, 67}};

void take_interface_colours()
{
    for (const swatch& w : SWATCHES) {
        test::rgba c = atlas_texel(w.x, w.y);
        colr.assign(w.entry, c.r / 255.0f, c.g / 255.0f, c.b / 255.0f);
    }
    for (int k = 0; k < 3; ++k)
        colr.col[38][k] = (colr.col[34][k] + colr.col[37][k]) / 2;
    colr.assign(76, 1, 0.3f, 0.3f);
}

void draw_background()
{
    OGL_2dquad(365, 0, 1.0f, 0, 0, 0, 0, 0, 768, 0, 0.75f, 1024, 768, 1, 0.75f, 1024, 0, 1, 0, 1, 5);
}

}  // namespace

class Art : public widget_gl_test {
protected:
    void SetUp() override
    {
        real_art = true;
        widget_gl_test::SetUp();
        take_interface_colours();
    }
};

TEST_F(Art, TheFourImagesAreLoadedAndTheAtlasIsLeftInScratch)
{
    for (int ref : {363, 364, 365, 366})
        EXPECT_EQ(tman.refs[static_cast<size_t>(ref)].load_time, tex_load_now) << ref;
    EXPECT_EQ(tman.refs[364].dx, 1010);
    EXPECT_EQ(tman.refs[364].dy, 764);
    // The picture and backgrounds with flags 0x282, the atlas with 2, all under the one scratch name.
    for (int ref : {364, 365, 366})
        EXPECT_EQ(tman.refs[static_cast<size_t>(ref)].type, 0x282) << ref;
    EXPECT_EQ(tman.refs[363].type, 2);
    for (int ref : {363, 364, 365, 366})
        EXPECT_EQ(tman.refs[static_cast<size_t>(ref)].name, "scratch_array:hard-wired textures") << ref;
    EXPECT_EQ(tman.refs[365].dx, 1024);
    EXPECT_EQ(tman.refs[365].dy, 768);
    EXPECT_EQ(tman.refs[363].dx, 512);
    // Start-up samples the palette from scratch_array right after the loads.
    load_real_art();
    EXPECT_EQ(std::memcmp(scratch_array, t_interface_dat, 512 * 512 * 4), 0);
}

TEST_F(Art, EveryGlyphHasInkThatStaysInsideItsAdvance)
{
    // Cell map of the proportional set: space 0, digits 1..10, then 'A' 'a' 'B' 'b' ...; rows 3 and 4 by code.
    std::vector<std::pair<char, int>> cells;
    for (int d = 0; d < 10; ++d)
        cells.push_back({static_cast<char>('0' + d), 1 + d});
    for (int k = 0; k < 26; ++k) {
        cells.push_back({static_cast<char>('A' + k), 11 + 2 * k});
        cells.push_back({static_cast<char>('a' + k), 12 + 2 * k});
    }
    const std::string row3 = "!@#$%^&*()-_+=[]|\\':;", row4 = "<.>,?/`";
    for (size_t c = 0; c < row3.size(); ++c)
        cells.push_back({row3[c], 63 + static_cast<int>(c)});
    for (size_t c = 0; c < row4.size(); ++c)
        cells.push_back({row4[c], 84 + static_cast<int>(c)});

    for (auto [ch, index] : cells) {
        const int s0 = 8 * (index % 21), t0 = 11 * (index / 21);
        int ink = 0, rightmost = -1;
        for (int t = t0; t < t0 + 11; ++t)
            for (int s = s0; s < s0 + 8; ++s)
                if (atlas_texel(s, t).a > 0) {
                    ++ink;
                    rightmost = std::max(rightmost, s - s0);
                }
        EXPECT_GT(ink, 0) << "no glyph for '" << ch << "'";
        EXPECT_LT(rightmost, OGL_char_width(ch)) << "'" << ch << "' runs into the next letter";
    }
    // The blank cell stays empty: unmapped bytes draw nothing.
    for (int t = 0; t < 11; ++t)
        for (int s = 0; s < 8; ++s)
            EXPECT_EQ(atlas_texel(s, t).a, 0);
}

TEST_F(Art, ControlsCutFromThePictureShowTheirThreeLooks)
{
    // INSTALL: 83 x 22 at s 640, t 166; hover 23 texels lower, pressed 46.
    auto expect_look = [&](int t_look) {
        for (auto [i, j] : {std::pair{10, 5}, {41, 11}, {70, 17}})
            EXPECT_TRUE(test::near_colour(pixel(300 + i, 200 + j), picture_texel(640 + i, t_look + j)))
                << "look at t " << t_look << ", texel " << i << ", " << j;
    };
    mouse(0, 0, 0);
    EXPECT_EQ(interface_rect(300, 200, 640, 166, 83, 22, 1, 0), 0);
    expect_look(166);

    mouse(383, 222, 0);  // the far corner is inside
    interface_rect(300, 200, 640, 166, 83, 22, 1, 0);
    expect_look(143);
    mnw.held = 1;
    interface_rect(300, 200, 640, 166, 83, 22, 1, 0);
    expect_look(120);
    interface_rect(300, 200, 640, 166, 83, 22, 0, 0);  // not hot: never changes look
    expect_look(166);

    mouse(383, 222, 1);
    EXPECT_EQ(interface_rect(300, 200, 640, 166, 83, 22, 1, 0), 1);
    mouse(383.1f, 222, 1);
    EXPECT_EQ(interface_rect(300, 200, 640, 166, 83, 22, 1, 0), 0);

    // Tint 1 keeps green and takes a fifth off red and blue; tint 2 keeps red; any other is white.
    auto tinted = [](test::rgba c, float r, float g, float b) {
        auto scale = [](uint8_t v, float f) { return static_cast<uint8_t>(std::lround(v * f)); };
        return test::rgba{scale(c.r, r), scale(c.g, g), scale(c.b, b), 255};
    };
    const test::rgba texel_colour = picture_texel(640 + 41, 166 + 11);
    mouse(0, 0, 0);
    interface_rect(300, 200, 640, 166, 83, 22, 1, TINT_USABLE);
    EXPECT_TRUE(test::near_colour(pixel(341, 211), tinted(texel_colour, 0.8f, 1, 0.8f))) << pixel(341, 211);
    interface_rect(300, 200, 640, 166, 83, 22, 1, TINT_DISABLED);
    EXPECT_TRUE(test::near_colour(pixel(341, 211), tinted(texel_colour, 1, 0.8f, 0.8f))) << pixel(341, 211);
    interface_rect(300, 200, 640, 166, 83, 22, 1, 7);
    EXPECT_TRUE(test::near_colour(pixel(341, 211), texel_colour)) << pixel(341, 211);
}

TEST_F(Art, EveryControlOfThePictureHasThreeDistinctLooks)
{
    struct control {
        const char* name;
        int s, t, w, h;
    };
    const control controls[] = {{"DESTINATION", 513, 166, 126, 22}, {"INSTALL", 640, 166, 83, 22},
                                {"QUIT", 780, 166, 51, 22},         {"decline", 832, 166, 85, 22},
                                {"agree", 918, 166, 59, 22},        {"shop", 822, 235, 116, 22}};
    for (const control& c : controls) {
        // The face just inside the left end, clear of the caption, in each look.
        const test::rgba normal = picture_texel(c.s + 4, c.t + c.h / 2);
        const test::rgba hover = picture_texel(c.s + 4, c.t - (c.h + 1) + c.h / 2);
        const test::rgba pressed = picture_texel(c.s + 4, c.t - 2 * (c.h + 1) + c.h / 2);
        for (const test::rgba& look : {normal, hover, pressed})
            EXPECT_EQ(look.a, 255) << c.name;
        EXPECT_FALSE(test::near_colour(normal, hover, 6)) << c.name << ": hover looks like normal";
        EXPECT_FALSE(test::near_colour(normal, pressed, 6)) << c.name << ": pressed looks like normal";
        EXPECT_FALSE(test::near_colour(hover, pressed, 6)) << c.name << ": pressed looks like hover";
        // The looks are one texel apart: the row between two looks is not part of either face.
        EXPECT_LT(picture_texel(c.s + c.w / 2, c.t - 1).a, 255) << c.name;
    }
}

TEST_F(Art, ThePictureKeepsItsRowsAtTheTexturesStride)
{
    // Rows far up the 1010-wide picture land where they belong only if every row was laid out
    // 1024 pixels apart: the shop button (t 235) and the top of the banner (t 118).
    mouse(0, 0, 0);
    interface_rect(100, 100, 822, 235, 116, 22, 0, 0);
    interface_rect(400, 100, 644, 33, 128, 86, 0, 0);
    for (auto [i, j] : {std::pair{20, 4}, {58, 11}, {100, 18}})
        EXPECT_TRUE(test::near_colour(pixel(100 + i, 100 + j), picture_texel(822 + i, 235 + j))) << i << ", " << j;
    for (auto [i, j] : {std::pair{5, 60}, {120, 20}, {30, 75}})
        EXPECT_TRUE(test::near_colour(pixel(400 + i, 100 + j), picture_texel(644 + i, 33 + j))) << i << ", " << j;

    // Globe cell 21 is cut from s 320, t 194.
    EXPECT_EQ(interface_icon(600, 300, 21), 0);
    EXPECT_TRUE(test::near_colour(pixel(632, 332), picture_texel(352, 226)));
}

namespace {

// Contrast ratio of two colours as displays show them (sRGB relative luminance): 1 for equal
// colours, 21 for black on white. 4.5 is the usual floor for small text.
double contrast(test::rgba a, test::rgba b)
{
    auto luminance = [](test::rgba c) {
        auto channel = [](uint8_t v) {
            double x = v / 255.0;
            return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
    };
    double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

// The contrast of a text with what it is drawn on, read back from the screen: the ground is the pixel
// just left of the text's pen, the ink the pixel of the text's cells that stands out most from it.
double drawn_contrast(int x, int y, const std::string& text)
{
    const int w = OGL_string_width(text), h = 11, bottom = y - 2;
    std::vector<test::rgba> cells(static_cast<size_t>(w) * h);
    glReadBuffer(GL_BACK);
    glReadPixels(x, bottom, w, h, GL_RGBA, GL_UNSIGNED_BYTE, cells.data());
    std::array<uint8_t, 4> ground{};
    glReadPixels(x - 2, y + 3, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, ground.data());
    const test::rgba under{ground[0], ground[1], ground[2], 255};
    double best = 1;
    for (const test::rgba& c : cells)
        best = std::max(best, contrast(c, under));
    return best;
}

TEST_F(Art, EveryTextColourStandsOutFromWhatItIsDrawnOn)
{
    // Each text colour on each ground the screens draw it on, at the screens' own places where the
    // ground varies: the installer's panels and background, the boxes, menus, fields and buttons.
    // Pure red (68) cannot reach 4.5:1 on any ground on which the success green (13) can, and the
    // two share the status block's last line: it gets the most it can, on white (4.0:1).
    constexpr double READABLE = 4.5, PURE_RED_ON_WHITE = 3.9;
    struct pairing {
        const char* what;
        std::function<void()> ground;
        int colour, x, y;
        double least = READABLE;
    };
    const auto status_panel = [] { BTN_frame2(20, 135, 32, 880, 40, ""); };
    const auto window = [] { BTN_frame2(11, 100, 100, 400, 230, ""); };
    const auto dark_box = [] { BTN_frame2(15, 10, 31, 310, 200, ""); };
    const pairing pairings[] = {
        {"installer text on the status block", status_panel, 45, 144, 58},
        {"a warning on the status block", status_panel, 1, 144, 38},
        {"success on the status block", status_panel, 13, 144, 38},
        {"an error on the status block", status_panel, 68, 144, 48, PURE_RED_ON_WHITE},
        {"the release panel's title", [] { BTN_frame2(20, 135, 600, 790, 72, ""); }, 42, 145, 656},
        {"the hint on the background", draw_main_background, 45, 134, 112},
        {"a server's label on the background", draw_main_background, 42, 154, 578},
        {"the destination in its field", [] { BTN_frame1(9, 285, 89, 300, 0); }, 44, 142, 86},
        {"a line of an alert", window, 42, 110, 295},
        {"a box's title on its band", window, 39, 280, 317},
        {"a label in a group", [] { BTN_frame2(13, 100, 100, 300, 100, ""); }, 42, 120, 184},
        {"help on the tooltip", [] { BTN_frame2(14, 100, 100, 420, 80, ""); }, 46, 103, 170},
        {"the start-up box's title", dark_box, 48, 22, 210},
        {"the start-up box's message", dark_box, 60, 22, 60},
        {"help in a dark box", dark_box, 46, 22, 120},
        {"agreement terms in their list", [] { BTN_frame2(16, 20, 50, 460, 220, ""); }, 45, 30, 200},
        {"a name in the name list", [] { BTN_frame2(16, 20, 70, 280, 220, ""); }, 44, 40, 177},
        {"an item of an open menu", [] { BTN_frame2(17, 100, 100, 120, 60, ""); }, 37, 110, 130},
        {"the choice on a list's bar", [] { BTN_frame1(10, 310, 405, 120, 0); }, 37, 270, 400},
        {"a caption on a push button", [] { BTN_frame1(2, 300, 300, 80, 0); }, 42, 280, 296},
        {"the selected tab's title", [] { draw_atlas_cell(100, 287, 198, 313, 204, 486, 302, 512); }, 40, 114, 296},
        {"another tab's title", [] { draw_atlas_cell(100, 287, 198, 313, 204, 459, 302, 485); }, 41, 114, 296},
    };
    const std::string sample = "Mmw 8 Veltrix";
    for (const pairing& p : pairings) {
        win().reset_2d();
        resync_state();
        p.ground();
        OGL_string(p.colour, static_cast<float>(p.x), static_cast<float>(p.y), sample, NO_WRAP, charset_UI_diff_space);
        EXPECT_GE(drawn_contrast(p.x, p.y, sample), p.least) << p.what << " (colour " << p.colour << ")";
    }
}

TEST_F(Art, TintedControlsReadAsTheirTintAndKindsHaveIcons)
{
    // INSTALL usable (tint 1) shows green, disabled (tint 2) red, its caption readable on either.
    for (const int tint : {TINT_USABLE, TINT_DISABLED}) {
        mouse(0, 0, 0);
        interface_rect(450, 78, 640, 166, 83, 22, 1, tint);
        const test::rgba face = pixel(455, 89);
        const int lead = tint == TINT_USABLE ? face.g : face.r, other = tint == TINT_USABLE ? face.r : face.g;
        EXPECT_GE(std::min(lead - other, lead - face.b), 25) << "tint " << tint << ": " << face;
        double caption = 1;
        for (int x = 460; x < 523; ++x)
            caption = std::max(caption, contrast(pixel(x, 89), face));
        EXPECT_GE(caption, 4.5) << "tint " << tint;
    }
    // Each entry kind the name list marks has ink in its 12 x 12 icon cell of the row t 57.
    for (int s1 : {34, 48, 62, 90, 104, 118, 132, 146}) {
        int ink = 0;
        for (int i = 0; i < 144; ++i)
            ink += atlas_texel(s1 + i % 12, 57 + i / 12).a > 128 ? 1 : 0;
        EXPECT_GE(ink, 20) << "the icon at s " << s1;
    }
}

TEST_F(Art, ListsKeepTheirTextsClearOfTheirEdges)
{
    const std::string systems = "Macintosh-Windows-Linux Generic x86-Linux Pentium 3-Linux Athlon XP";
    // Closed: the label ends one unit inside the painted bar, yet a clear column must part them.
    // "Linux Generic x86" is 89 wide: the label ends at 550.5, the bar is painted from 549.
    int choice = 2;
    mouse(0, 0, 0);
    const test::rgba clear = pixel(530, 240);
    BTN_textlist(600, 200, &choice, systems, "Platform");
    bool parted = false;
    for (int x = 540; x < 560 && !parted; ++x) {
        bool column_clear = true;
        for (int y = 195; y < 214; ++y)
            column_clear = column_clear && pixel(x, y) == clear;
        parted = column_clear;
    }
    EXPECT_TRUE(parted) << "the label runs into the bar";

    // Open: the panel lies only 2 units above the first row, whose letters reach its top; the row
    // must lie inside the panel's body, not under its edge. Row 0 is 512 .. 524, row 1 500 .. 512;
    // right of every text, inside the slot (x 552 .. 649).
    choice = 1;
    mouse(600, 502, 1);
    BTN_textlist(600, 500, &choice, systems, "");
    ASSERT_EQ(mnw.open_menu, 1519);
    mouse(0, 0, 0);
    menu_draw();
    // The body shades a little from bottom to top, hence the wider tolerance.
    for (int y : {521, 523})
        EXPECT_TRUE(test::near_colour(pixel(646, y), pixel(646, 506), 4))
            << y << ": " << pixel(646, y) << " vs " << pixel(646, 506);
}

TEST(SizeText, MegabytesAndGigabytesTruncatedToOneDecimal)
{
    std::string out;
    set_size_str(999999, &out);
    EXPECT_EQ(out, "999.9 Meg");
    set_size_str(1000000, &out);
    EXPECT_EQ(out, "1.0 Gig");
    set_size_str(0, &out);
    EXPECT_EQ(out, "0.0 Meg");
    set_size_str(2590000, &out);
    EXPECT_EQ(out, "2.5 Gig");
    set_size_str(123456, &out);
    EXPECT_EQ(out, "123.4 Meg");
}

class Screens : public Art { };

TEST_F(Screens, EveryWidgetState)
{
    draw_background();
    BTN_frame2(12, 40, 60, 944, 660, "Widgets");
    float next_x = 0, next_y = 0;
    BTN_subwin(0, 13, 60, 80, 420, 600, "Buttons and boxes", &next_x, &next_y);
    BTN_subwin(0, 13, next_x, 80, 440, 600, "Fields and lists", &next_x, &next_y);

    mouse(0, 0, 0);
    BTN_action(160, 620, 0, 0, ACTION_SHOW_PRESS, "Normal");
    BTN_action(270, 620, 0, 1, ACTION_SHOW_PRESS_LIT_CAPTION, "Lit");
    BTN_frame1(3, 380, 620, 80, 0);
    BTN_util_draw_label(355, 616, ALIGN_ONE_LINE, "Pressed", 0);
    int off = 0, on = 1, radio = 2;
    BTN_bool(180, 560, &off, "Check off|", BOOL_CHECK_BOX);
    BTN_bool(180, 530, &on, "Check on|", BOOL_CHECK_BOX);
    BTN_is_int(180, 500, &radio, 1, "Radio off|");
    BTN_is_int(180, 470, &radio, 2, "Radio on|");
    BTN_bool(360, 560, &on, "|Label on the right", BOOL_CHECK_BOX);
    BTN_frame1(4, 270, 400, 300, 0);
    BTN_frame1(5, 195, 400, 150, 0);
    BTN_util_draw_label(120, 420, ALIGN_ONE_LINE, "Progress 50%", 0);
    BTN_frame1(7, 270, 350, 300, 0);
    BTN_frame1(8, 200, 354, 160, 0);
    BTN_frame0(6, 100, 230, 160);
    BTN_util_draw_label(130, 260, ALIGN_START_AT_X, "Download the files", 0);
    mnw.box_h = 768;
    BTN_frame2(14, 130, 110, 300, 60, "");
    OGL_string(46, 133, 150, "Hover help appears in a tooltip like this one after a second.", 294, 100);

    float value = 12.5f;
    int streams = 3;
    char code[5] = "AB12";
    std::string host = "proxy.example.org", empty;
    int choice = 2;
    BTN_flt_range(600, 600, &value, 4, 1, -1000, 1000, "Number");
    BTN_int_range(800, 600, &streams, 1, 1, 4, "Streams");
    BTN_chars(600, 530, code, 4, "Code");
    BTN_display_number(800, 530, 42, 3, 0, "Shown");
    mnw.focus = 0;
    stl_input = host;
    BTN_enterstring(600, 460, &host, 30, 0, "Host");
    BTN_enterstring(600, 420, &empty, 30, 1, "Port");
    BTN_textlist(680, 360, &choice, "Macintosh-Windows-Linux Generic x86-Linux Pentium 3-Linux Athlon XP", "Platform");
    int tab = 1;
    mnw.box_h = 300;
    mnw.off_x = 540;
    mnw.off_y = 0;
    BTN_tab(0, 0, &tab, 0, "General");
    BTN_tab(1, 0, &tab, 1, "Network");
    BTN_tab(2, 0, &tab, 2, "Advanced");
    mnw.off_x = 0;
    mnw.box_h = 768;
    save_screen("widgets-every-state");

    // Opaque middles of the cells land where the widgets put them: the ticked and empty check boxes
    // (18 x 18 from y - 5), the selected radio dot and the selected tab (box offset 540, centre 141, 262).
    auto shows = [&](int x, int y, int s, int t) {
        const test::rgba art = atlas_texel(s, t);
        EXPECT_EQ(art.a, 255) << "texel " << s << ", " << t << " is not opaque";
        EXPECT_TRUE(test::near_colour(pixel(x, y), art)) << x << ", " << y << ": " << pixel(x, y) << " vs " << art;
    };
    shows(173, 534, 141, 206);            // check box on, its green face left of the tick
    shows(180, 564, 148, 187);            // check box off
    shows(180, 474, 92, 151);             // radio on, its inner dot
    shows(711, 262, 283, 499);            // selected tab, right of its title
    shows(540 + 53 + 30, 262, 283, 472);  // the tab left of it, not selected
}

TEST_F(Screens, MenusAndThePopupList)
{
    draw_background();
    MACIBM_create_menu(0, 0, "File");
    MACIBM_append_menu(0, 0, 101, "Open...[O]", 0);
    MACIBM_append_menu(0, 1, 102, "Save[S]", 0);
    MACIBM_append_menu(0, 2, 0, "-", 0);
    MACIBM_append_menu(0, 3, 103, "=Not available", 0);
    MACIBM_append_menu(0, 4, 104, "Recent", 0);
    MACIBM_create_menu(1, 0, "Edit");
    MACIBM_append_menu(1, 0, 201, "Undo", 0);
    MACIBM_create_menu(2, 0, "Help");
    MACIBM_create_menu(3, 0 * 300 + 4, "Recent files");
    mnw.open_menu = 0;
    mouse(40, 742, 0);
    menu_draw();
    int choice = 1;
    mouse(600, 402, 1);
    BTN_textlist(600, 400, &choice, "Macintosh-Windows-Linux Generic x86-Linux Pentium 3-Linux Athlon XP", "Platform|");
    mouse(600, 380, 0);
    menu_draw();
    save_screen("widgets-menus-and-popup");
    EXPECT_EQ(mnw.open_menu, 1519);
    // The pop-up's hovered row (the fourth, 376 .. 388) is tinted by a quarter of colour 35 over the
    // panel; the row above is not. Taken right of the texts, inside the slot.
    const test::rgba plain = pixel(646, 392), hovered = pixel(646, 380);
    const test::rgba tint = atlas_texel(319, 139);
    auto over = [](uint8_t under, uint8_t top) { return static_cast<uint8_t>(std::lround(under * 0.75 + top * 0.25)); };
    EXPECT_TRUE(
        test::near_colour(hovered, {over(plain.r, tint.r), over(plain.g, tint.g), over(plain.b, tint.b), 255}, 3))
        << hovered << " over " << plain;
    EXPECT_NE(hovered, plain);
}

TEST_F(Screens, ABoxWithCloseBoxesAndTheInstallerPicture)
{
    draw_background();
    mnw.cur_win = 2;
    mnw.box_w = 500;
    mnw.box_h = 380;
    mnw.off_x = 262;
    mnw.off_y = 194;
    stls.win_title = "Prefs";
    BTN_fillwin(1, 21);
    float nx = 0, ny = 0;
    BTN_subwin(40, 13, -1, -1, -1, -1, "Download", &nx, &ny);
    mouse(0, 0, 0);
    BTN_action(250, 40, 0, 0, ACTION_SHOW_PRESS, "OK");
    // A second, small box whose close boxes are shown pressed, as the click dispatcher shows them.
    mnw.box_w = 200;
    mnw.box_h = 100;
    mnw.off_x = 40;
    mnw.off_y = 300;
    stls.win_title = "Closing";
    BTN_fillwin(1, 21);
    BTN_zap_boxes(1);
    mnw.off_x = mnw.off_y = 0;
    mnw.cur_win = 0;
    interface_rect(20, 20, 513, 166, 126, 22, 0, TINT_USABLE);
    interface_rect(160, 20, 640, 166, 83, 22, 0, TINT_USABLE);
    interface_rect(260, 20, 780, 166, 51, 22, 0, TINT_DISABLED);
    interface_rect(20, 60, 513, 143, 126, 22, 0, 0);
    interface_rect(20, 100, 513, 120, 126, 22, 0, 0);
    interface_rect(330, 20, 832, 166, 85, 22, 0, 0);
    interface_rect(430, 20, 918, 166, 59, 22, 0, 0);
    interface_rect(500, 20, 822, 235, 116, 22, 0, 0);
    interface_rect(860, 660, 644, 33, 128, 86, 0, 0);
    for (int i = 8; i < 24; ++i)
        interface_icon(20 + (i - 8) * 62.0f, 690, i);
    BTN_frame2(20, 700, 60, 300, 150, "Status");
    save_screen("widgets-box-and-installer-picture");
    // The close boxes sit in the box's top corners (7 .. 25 and 475 .. 493, 361 .. 379), drawn from the
    // close-box cell: a point of its disc beside the cross shows at the same place in each.
    const test::rgba close_disc = atlas_texel(134, 187), pressed_disc = atlas_texel(134, 206);
    ASSERT_EQ(close_disc.a, 255);
    ASSERT_EQ(pressed_disc.a, 255);
    EXPECT_FALSE(test::near_colour(pressed_disc, close_disc, 6)) << "the pressed look is not told apart";
    EXPECT_TRUE(test::near_colour(pixel(262 + 21, 194 + 370), close_disc)) << pixel(262 + 21, 194 + 370);
    EXPECT_TRUE(test::near_colour(pixel(262 + 489, 194 + 370), close_disc)) << pixel(262 + 489, 194 + 370);
    EXPECT_TRUE(test::near_colour(pixel(40 + 21, 300 + 90), pressed_disc)) << pixel(40 + 21, 300 + 90);
    EXPECT_TRUE(test::near_colour(pixel(40 + 189, 300 + 90), pressed_disc)) << pixel(40 + 189, 300 + 90);
    // The tinted INSTALL control: the green of its face survives the tint, red and blue lose a fifth.
    const test::rgba face = picture_texel(640 + 5, 166 + 11);
    ASSERT_EQ(face.a, 255);
    const test::rgba shown = pixel(160 + 5, 20 + 11);
    EXPECT_NEAR(shown.g, face.g, 2);
    EXPECT_NEAR(shown.r, face.r * 0.8, 2);
}
