// Palette, frame set-up and 2-D primitives, checked by what lands in the back buffer of a real
// window (or, for the colour rule and the set-up, by what OpenGL holds afterwards).
#include "gfx/draw2d.h"

#include <cmath>
#include <tuple>
#include <vector>

#include "core/mnw.h"
#include "gfx/camera.h"
#include "gfx/colr.h"
#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/viewport.h"

using gfx_test::count_pixels;
using gfx_test::current_colour;
using gfx_test::expect_pixels;
using test::rgba;

using drawing = gfx_test::screen_test;
using gfx_test::BLACK, gfx_test::WHITE, gfx_test::RED, gfx_test::GREEN, gfx_test::BLUE;

TEST(Palette, GammaSpectrumInterfaceLightsAndLitColour)
{
    colr_class p;
    // Gamma 9/11 rounded to bytes, values computed outside the program.
    EXPECT_EQ(std::vector<uint8_t>({p.gamma[0], p.gamma[1], p.gamma[100], p.gamma[200], p.gamma[255]}),
              std::vector<uint8_t>({0, 3, 119, 209, 255}));
    // Mode, step, channel, value, tolerance; mode 7 is unknown and changes nothing.
    // clang-format off
    const std::tuple<int, int, int, float, float> spectrum[] = {
        {0, 0, 0, 1, 0}, {0, 400, 1, 1, 0}, {0, 500, 0, 0.5f, 1e-5f}, {0, 999, 0, 0.796f, 1e-3f},
        {0, 999, 2, 0.801f, 1e-3f}, {2, 250, 1, 0.25f, 1e-6f}, {2, 250, 0, 0, 0}, {7, 250, 1, 0.25f, 1e-6f}};
    // clang-format on
    for (const auto& [mode, step, channel, value, tolerance] : spectrum) {
        p.spectrum_init(mode);
        EXPECT_NEAR(p.spectrum[step][channel], value, tolerance) << mode << ": " << step << "/" << channel;
    }
    p.assign(100, 0.5f, 0.9f, 0.2f);
    p.set_lites_for_interface();
    EXPECT_EQ(std::vector<float>(p.col[100], p.col[100] + 3), std::vector<float>({0.75f, 0.9f, 0.75f}));
    ren.light_level_1 = 0.8f;
    ren.light_level_2 = 0.3f;
    const std::tuple<int, int, float> lit[] = {{0, 0, 0.8f}, {0, 1, 0.9f}, {1, 1, 0.8f}, {2, 2, 0.3f}};
    for (const auto& [type, channel, value] : lit) {
        p.set_lit_col(type);
        EXPECT_EQ(p.col[47][channel], value) << type;
    }
    ren.light_level_1 = ren.light_level_2 = 0;
    EXPECT_EXIT(p.set_lit_col(3), testing::ExitedWithCode(1), "bad col_type!");
}

TEST_F(drawing, ColourRuleAppliesLightFactorGreenFoldAndAlphaThreshold)
{
    colr.assign(44, 1, 1, 1);
    colr.assign(45, 1, 1, 1);
    colr.assign(46, 0.25f, 0.25f, 0);
    colr.assign(100, 0.5f, 0.5f, 0.5f);
    const std::tuple<int, float, int, float, std::array<float, 4>> cases[] = {
        // index, global alpha, green only, alpha, then the colour over an earlier alpha of 0.25 (or
        // any alpha: Mesa sets 1 at a context's first three-component colour, keeps it afterwards)
        {44, 1, 0, 1, {0.5f, 0.5f, 0.5f, -1}},  // the light factor scales indices below 45
        {45, 1, 0, 1, {1, 1, 1, 0.25f}},        // above 0.99 only three components are set
        {45, 1, 0, 0.99f, {1, 1, 1, 0.25f}},   {45, 1, 0, 0.98f, {1, 1, 1, 0.98f}},
        {45, 0.5f, 0, 1, {1, 1, 1, 0.5f}},     {12, 1, 1, 1, {0, 0.01f, 0, 0.25f}},  // the green fold
        {45, 1, 1, 1, {0, 1, 0, 0.25f}},       {46, 1, 1, 1, {0, 0.5f, 0, 0.25f}},   // green is the components' sum
    };
    for (const auto& [index, global_alpha, green_only, alpha, colour] : cases) {
        ren.global_alpha = global_alpha, ren.green_only = green_only;
        glColor4f(0, 0, 0, 0.25f);
        OGL_setcolor(index, alpha);
        const std::array<float, 4> set = current_colour();
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(set[i], colour[i] < 0 ? set[i] : colour[i], 1e-6) << index << ", component " << i;
    }
}

TEST_F(drawing, PixSpecsPlacesTheVirtualScreenInWindowsOfAnySize)
{
    // Window, then the virtual screen's corner and centre and the texture filter ratio.
    // clang-format off
    const std::tuple<int, int, float, float, float, float> cases[] = {
        {1024, 768, 0, 0, 512, 1}, {800, 600, -112, -168, 400, 1}, {2048, 1536, 512, 768, 1024, 2},
        {1280, 1024, 128, 256, 640, 1.25f}};
    // clang-format on
    GLint viewport[4];
    for (const auto& [w, h, x0, y0, cx, ratio] : cases) {
        mnw.x_res = w, mnw.y_res = h, mnw.cur_win = WIN_NONE;
        glViewport(1, 2, 3, 4);
        OGL_pix_specs(0);
        EXPECT_EQ(std::tuple(mnw.scr_x0, mnw.scr_y0, mnw.scr_cx, mnw.scr_cy, mnw.tex_filter, mnw.scale, mnw.ortho[2],
                             mnw.ortho[3]),
                  std::tuple(x0, y0, cx, 384, ratio, 1, w, h));
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 3) << "no window started: no OpenGL call";
    }
    mnw.x_res = 1024, mnw.y_res = 768, mnw.cur_win = WIN_MAIN;
    OGL_pix_specs(0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::tuple(viewport[2], viewport[3]), std::tuple(1024, 768));
}

TEST_F(drawing, ViewportLoadsTheCameraMatricesForEachMode)
{
    // The pixel projection itself is what every drawing test stands on; here the modelview it resets.
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5, 5, 0);
    xcam.reread_mv = 1;
    OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    double proj[16], mv[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(std::tuple(mv[12], xcam.reread_mv, mode), std::tuple(0, 0, GL_MODELVIEW)) << "identity modelview";
    // The camera projects points to pixels of the box being drawn.
    double pix[2];
    const double point[3] = {100, 200, 0};
    mnw.off_x = 10, mnw.off_y = 20;
    xcam.mtr_to_pix(point, pix);
    EXPECT_NEAR(std::abs(pix[0] - 90) + std::abs(pix[1] - 180), 0, 1e-9);

    // Someone turned OpenGL's modelview: the camera only learns of it while reread_mv is set.
    glRotated(90, 0, 1, 0);
    double dir[3];
    xcam.CalcDirection(dir);
    EXPECT_NEAR(dir[2], -1, 1e-12) << "flag clear: the camera's own identity";
    xcam.reread_mv = 1, xcam.changed = 0;
    xcam.CalcDirection(dir);
    EXPECT_EQ(std::tuple(xcam.reread_mv, xcam.changed), std::tuple(0, 1));
    // A world turned +90 degrees about y means an eye looking along +x (OpenGL keeps floats).
    EXPECT_NEAR(std::abs(dir[0] - 1) + std::abs(dir[1]) + std::abs(dir[2]), 0, 3e-6) << dir[0] << ", " << dir[2];

    // Perspective: extents scaled by the near distance, bottom and top by the aspect h/w.
    OGL_viewport(3, -1, 0, -1, 0, 1, 1024, 1, 768, 1, 100, 1);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    EXPECT_NEAR(proj[0], 1, 1e-6);
    EXPECT_NEAR(proj[5], 1 / 0.75, 1e-5);
    EXPECT_EQ(std::tuple(proj[11], xcam.is_ortho), std::tuple(-1, 0));

    // Any other mode: the viewport only; the camera keeps the previous projection.
    OGL_viewport(7, 0, 10, 0, 20, 0, 110, 0, 220, 0, 0, 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    EXPECT_EQ(std::tuple(viewport[0], viewport[1], viewport[2], viewport[3], proj[11]),
              std::tuple(10, 20, 100, 200, -1));
    OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
}

TEST_F(drawing, ScissorsBackgroundAndPolygonOffset)
{
    mnw.off_x = 100, mnw.off_y = 50;
    OGL_scissors(10, 20, 30, 40);
    colr.assign(33, 1, 1, 1);
    OGL_plot_back_col();  // the whole window whatever the box offset, clipped to the box
    EXPECT_EQ(std::tuple(count_pixels(110, 70, 30, 40, 255, 255, 255), count_pixels(0, 0, 1024, 768, 255, 255, 255)),
              std::tuple(30 * 40, 30 * 40));
    OGL_scissors_end();
    colr.assign(33, 0.2f, 0.4f, 0.6f);
    OGL_plot_back_col();
    EXPECT_EQ(count_pixels(0, 0, 1024, 768, 51, 102, 153), 1024 * 768);

    // Coplanar layers are pulled toward the viewer, further for each level.
    GLfloat factor = 0;
    OGL_poly_offset(2);
    glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &factor);
    EXPECT_EQ(std::tuple(factor, glIsEnabled(GL_POLYGON_OFFSET_FILL)), std::tuple(-20, GL_TRUE));
    OGL_poly_offset(0);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
}

// What the window shows is read from the X server, as a user would see it: the back buffer the
// frame was drawn into reaches the screen only through the swap.
TEST_F(drawing, BufferSwapPutsTheFrameOnTheScreen)
{
    using gfx_test::pixel_on_screen;
    OGL_fillrect(68, 1, 100, 100, 50, 30);
    OGL_sbuf();
    EXPECT_EQ(pixel_on_screen(120, 110), RED);
    // The next frame replaces it only when it is swapped in turn.
    colr.assign(33, 0, 0, 0);
    OGL_plot_back_col();
    EXPECT_EQ(pixel_on_screen(120, 110), RED);
    OGL_sbuf();
    EXPECT_EQ(pixel_on_screen(120, 110), BLACK);
}

TEST_F(drawing, LinesAndRectanglesLandOnTheirPixelsWithTheBoxOffset)
{
    OGL_line(68, 1, 10, 10, 20, 10);
    expect_pixels({{10, 10, RED}, {19, 10, RED}, {9, 10, BLACK}, {15, 11, BLACK}});
    EXPECT_EQ(count_pixels(0, 0, 40, 40, 255, 0, 0), 10);
    OGL_line(68, 0.5f, 10, 30, 20, 30);
    EXPECT_TRUE(test::near_colour(pixel(15, 30), rgba{128, 0, 0, 255})) << pixel(15, 30);

    mnw.off_x = 100, mnw.off_y = 50;
    OGL_fillrect(55, 1, 10, 10, 20, 5);
    expect_pixels({{110, 60, GREEN}, {129, 64, GREEN}, {130, 60, BLACK}, {110, 65, BLACK}, {10, 70, BLACK}});
    EXPECT_EQ(count_pixels(100, 50, 100, 100, 0, 255, 0), 20 * 5);

    mnw.off_x = mnw.off_y = 0;
    OGL_framerect(64, 1, 200, 200, 10, 10);
    const rgba blue{51, 51, 204, 255};
    expect_pixels({{200, 205, blue}, {210, 205, blue}, {205, 200, blue}, {205, 210, blue}, {205, 205, BLACK}});
    EXPECT_EQ(count_pixels(195, 195, 20, 20, 51, 51, 204), 40);

    colr.assign(33, 1, 1, 1);
    OGL_plot_back_col();
    OGL_grayrect(300, 300, 320, 310, 0.5f);  // darkens halfway over white
    EXPECT_EQ(std::tuple(count_pixels(290, 290, 40, 40, 128, 128, 128), pixel(320, 305)), std::tuple(20 * 10, WHITE));
}

TEST_F(drawing, CirclesAndArcsFollowTheirAngleConvention)
{
    // Radius 2.5: lines at cy - 2.5 .. cy + 2.5; the outermost two have no length.
    OGL_fillcircle(68, 300, 100.5f, 2.5f);
    expect_pixels(
        {{300, 99, RED}, {300, 100, RED}, {300, 101, RED}, {300, 102, RED}, {300, 97, BLACK}, {300, 104, BLACK}});
    EXPECT_EQ(count_pixels(290, 90, 20, 20, 255, 0, 0), 4 + 4 + 4 + 4) << "four lines of 2 x 2.29 px";

    OGL_framecircle(55, 400, 400, 20);  // angle 0 is straight up
    expect_pixels({{400, 420, GREEN}, {420, 400, GREEN}, {400, 400, BLACK}});

    OGL_arc(68, 600, 300, 10, 10, 0, 90);  // a quarter outline from straight up to straight right
    expect_pixels({{600, 310, RED}, {604, 304, BLACK}});
    // Block, then the fewest and most red pixels in it.
    // clang-format off
    const std::tuple<int, int, int, int, int, int> counts[] = {
        {600, 300, 12, 12, 11, 1000}, {609, 300, 2, 2, 1, 4}, {588, 300, 12, 12, 0, 0}, {600, 288, 12, 11, 0, 0}};
    // clang-format on
    for (const auto& [x, y, w, h, least, most] : counts) {
        const int n = count_pixels(x, y, w, h, 255, 0, 0);
        EXPECT_TRUE(n >= least && n <= most) << n << " at " << x << ", " << y;
    }
    OGL_arc(68, 700, 300, 10, 10, 90, 0);
    OGL_arc(68, 700, 300, 12, 10, 0, 90);
    EXPECT_EQ(count_pixels(680, 280, 40, 40, 255, 0, 0), 0);
    EXPECT_EQ(current_colour()[0], 1.0f) << "the colour is set even when nothing is drawn";
    OGL_arc(55, 800, 300, 5, 8, 0, 360);  // a band drawn radius by radius
    EXPECT_TRUE(count_pixels(790, 290, 20, 20, 0, 255, 0) > 100 && pixel(800, 300) == BLACK);
}

TEST_F(drawing, TexturedQuadsShowTheBoundTexture)
{
    // 4x4 texels, rows bottom first: bottom-left quadrant red, bottom-right green, top-left blue, top-right white.
    const rgba r = RED, g = GREEN, b = BLUE, w = WHITE;
    const rgba quadrants[16] = {r, r, g, g, r, r, g, g, b, b, w, w, b, b, w, w};
    const auto* texels = reinterpret_cast<const unsigned char*>(quadrants);
    gfx_test::load_texture_pixels(500, 4, 4, texels);
    OGL_2dquad_d(500, 0, 1, 600, 500, 0, 0, 64, 64, 1, 1, al_blend);
    expect_pixels({{616, 516, RED}, {648, 516, GREEN}, {616, 548, BLUE}, {648, 548, WHITE}, {665, 516, BLACK}});

    // Ref 0 binds nothing: the texture bound last still shows, here through four free corners
    // (a quad mirrored left to right) and tinted by the palette colour.
    colr.assign(60, 1, 1, 0);
    OGL_2dquad(0, 60, 1, 100, 100, 1, 0, 100, 164, 1, 1, 164, 164, 0, 1, 164, 100, 0, 0, 1, al_blend);
    expect_pixels({{116, 116, GREEN}, {148, 116, RED}, {116, 148, {255, 255, 0, 255}}});

    // The background texture covers a 1024 square from the window's bottom, at the virtual
    // screen's left edge; before any window starts, a wider window is first filled in colour 33.
    gfx_test::load_texture_pixels(OGL_BACKGROUND_TEX, 4, 4, texels);
    colr.assign(33, 0.2f, 0.4f, 0.6f);
    mnw.x_res = 1280;
    OGL_pix_specs(0);
    mnw.cur_win = WIN_NONE;
    OGL_plot_back_tex();
    expect_pixels({{60, 10, {51, 102, 153, 255}}, {140, 10, RED}});
}
