// The embedded images as textures, the installer's picture-cut controls, size texts, and widgets
// drawn with the program's own art: what they show and whether their texts can be read.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <tuple>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "gfx/tman.h"
#include "installer/art.h"
#include "widgets/butn.h"
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

}  // namespace

class Art : public widget_gl_test {
protected:
    void SetUp() override
    {
        real_art = true;
        widget_gl_test::SetUp();
        for (const swatch& w : SWATCHES) {
            test::rgba c = atlas_texel(w.x, w.y);
            colr.assign(w.entry, c.r / 255.0f, c.g / 255.0f, c.b / 255.0f);
        }
        for (int k = 0; k < 3; ++k)
            colr.col[38][k] = (colr.col[34][k] + colr.col[37][k]) / 2;
        colr.assign(76, 1, 0.3f, 0.3f);
    }
};

TEST_F(Art, TheFourImagesAreLoadedAndTheAtlasIsLeftInScratch)
{
    // The picture and backgrounds with flags 0x282, the atlas with 2, all under the one scratch name.
    const std::array<int, 4> images[] = {
        {363, 2, 512, 512}, {364, 0x282, 1010, 764}, {365, 0x282, 1024, 768}, {366, 0x282, 1024, 768}};
    for (auto [ref, type, dx, dy] : images) {
        const auto& r = tman.refs[static_cast<size_t>(ref)];
        EXPECT_EQ(std::tuple(r.load_time, r.type, r.dx, r.dy, r.name),
                  std::tuple(tex_load_now, type, dx, dy, "scratch_array:hard-wired textures"))
            << ref;
    }
    // Start-up samples the palette from scratch_array right after the loads.
    load_real_art();
    EXPECT_EQ(std::memcmp(scratch_array, t_interface_dat, 512 * 512 * 4), 0);
}

TEST_F(Art, ControlsCutFromThePictureShowThreeLooksAtTheTexturesStrideAndTheirTint)
{
    // INSTALL: 83 x 22 at s 640, t 166; hover 23 texels lower, pressed 46. The far corner is inside.
    // mouse x, held, hot, then the t of the look shown and the result
    const std::tuple<float, int, int, int, int> looks[] = {
        {0, 0, 1, 166, 0}, {383, 0, 1, 143, 1}, {383, 1, 1, 120, 1}, {383, 1, 0, 166, 1}, {383.1f, 1, 1, 166, 0}};
    for (const auto& [mouse_x, held, hot, t, result] : looks) {
        mouse(mouse_x, 222, 1);
        mnw.held = held;
        EXPECT_EQ(interface_rect(300, 200, 640, 166, 83, 22, hot, 0), result) << mouse_x;
        for (auto [i, j] : {std::pair{10, 5}, {41, 11}, {70, 17}})
            EXPECT_TRUE(test::near_colour(pixel(300 + i, 200 + j), picture_texel(640 + i, t + j)))
                << "look at t " << t << ", texel " << i << ", " << j;
    }
    // The looks above already show the picture's rows laid out 1024 pixels apart; globe cell 21
    // (s 320, t 194) is cut from the same picture by the icon painter.
    mouse(0, 0, 0);
    EXPECT_EQ(interface_icon(600, 300, 21), 0);
    EXPECT_TRUE(test::near_colour(pixel(632, 332), picture_texel(352, 226))) << pixel(632, 332);

    // Tint 1 keeps green and takes a fifth off red and blue; tint 2 keeps red; any other is white.
    const test::rgba face = picture_texel(640 + 41, 166 + 11);
    for (auto [tint, r, g, b] :
         {std::tuple{TINT_USABLE, 0.8, 1.0, 0.8}, {TINT_DISABLED, 1.0, 0.8, 0.8}, {7, 1.0, 1.0, 1.0}}) {
        interface_rect(300, 200, 640, 166, 83, 22, 1, tint);
        auto scale = [](uint8_t v, double f) { return static_cast<uint8_t>(std::lround(v * f)); };
        const test::rgba tinted{scale(face.r, r), scale(face.g, g), scale(face.b, b), 255};
        EXPECT_TRUE(test::near_colour(pixel(341, 211), tinted)) << tint << ": " << pixel(341, 211);
    }
}

TEST_F(Art, EveryTextColourStandsOutFromWhatItIsDrawnOn)
{
    // Each text colour on each ground the screens draw it on, at the screens' own places where the
    // ground varies: the installer's panels and background, the boxes, menus, fields and buttons.
    constexpr double READABLE = 4.5;
    struct pairing {
        const char* what;
        std::function<void()> ground;
        int colour, x, y;
    };
    const auto status_panel = [] { BTN_frame2(20, 135, 32, 880, 40, ""); };
    const auto window = [] { BTN_frame2(11, 100, 100, 400, 230, ""); };
    const auto dark_box = [] { BTN_frame2(15, 10, 31, 310, 200, ""); };
    const pairing pairings[] = {
        {"installer text on the status block", status_panel, 45, 144, 58},
        {"a warning on the status block", status_panel, 1, 144, 38},
        {"success on the status block", status_panel, 13, 144, 38},
        {"an error on the status block", status_panel, 68, 144, 48},
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
    load_real_art();  // as at start-up, where loading the art also sets the palette entries it needs
    for (const pairing& p : pairings) {
        win().reset_2d();
        resync_state();
        p.ground();
        OGL_string(p.colour, static_cast<float>(p.x), static_cast<float>(p.y), sample, NO_WRAP, charset_UI_diff_space);
        EXPECT_GE(drawn_contrast(p.x, p.y, sample), READABLE) << p.what << " (colour " << p.colour << ")";
    }
}

TEST(SizeText, MegabytesAndGigabytesTruncatedToOneDecimal)
{
    const std::pair<float, const char*> sizes[] = {
        {999999, "999.9 Meg"}, {1000000, "1.0 Gig"}, {0, "0.0 Meg"}, {2590000, "2.5 Gig"}, {123456, "123.4 Meg"}};
    for (auto [kb, text] : sizes) {
        std::string out;
        set_size_str(kb, &out);
        EXPECT_EQ(out, text) << kb;
    }
}
