// Palette, frame set-up and 2-D primitives, checked by what lands in the back buffer of a real
// window (or, for the colour rule, by the colour OpenGL holds afterwards).
#include "gfx/draw2d.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "core/mnw.h"
#include "gfx/camera.h"
#include "gfx/colr.h"
#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/viewport.h"
#include "support/gl_window.h"

using gfx_test::count_pixels;
using test::rgba;

namespace {

struct colour4 {
    float r, g, b, a;
};

colour4 current_colour()
{
    colour4 c{};
    glGetFloatv(GL_CURRENT_COLOR, &c.r);
    return c;
}

class drawing : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
        gfx_test::sync_state_cache();
        saved_palette = new colr_class(colr);
    }
    void TearDown() override
    {
        colr = *saved_palette;
        delete saved_palette;
        mnw.off_x = mnw.off_y = 0;
        ren.global_alpha = 1;
        ren.green_only = 0;
    }
    colr_class* saved_palette = nullptr;
};

const rgba BLACK{0, 0, 0, 255};

}  // namespace

TEST(Palette, DefaultsGammaAndSpectrum)
{
    colr_class p;
    EXPECT_EQ(p.col[0][0], 1.0f);
    EXPECT_EQ(p.col[11][0] + p.col[11][1] + p.col[11][2], 0.0f);
    EXPECT_EQ(p.col[74][0], 0.49f);
    EXPECT_EQ(p.col[74][2], 0.24f);
    EXPECT_EQ(p.col[97][2], 0.9f);
    EXPECT_EQ(p.col[100][1], 1.0f) << "light factor";
    EXPECT_EQ(p.col[99][0], 0.0f);

    // Gamma 9/11 rounded to bytes, values computed outside the program.
    EXPECT_EQ(p.gamma[0], 0);
    EXPECT_EQ(p.gamma[64], 82);
    EXPECT_EQ(p.gamma[128], 145);
    EXPECT_EQ(p.gamma[200], 209);
    EXPECT_EQ(p.gamma[255], 255);

    EXPECT_EQ(p.spectrum[500][1], 0.0f) << "black until spectrum_init";
    p.spectrum_init(0);
    EXPECT_FLOAT_EQ(p.spectrum[0][0], 1);
    EXPECT_FLOAT_EQ(p.spectrum[0][1], 0);
    EXPECT_FLOAT_EQ(p.spectrum[400][0], 1);
    EXPECT_FLOAT_EQ(p.spectrum[400][1], 1);
    EXPECT_NEAR(p.spectrum[500][0], 0.5, 1e-5);
    EXPECT_NEAR(p.spectrum[500][1], 1, 1e-5);
    EXPECT_NEAR(p.spectrum[999][0], 0.796, 1e-3);
    EXPECT_NEAR(p.spectrum[999][1], 0, 1e-6);
    EXPECT_NEAR(p.spectrum[999][2], 0.801, 1e-3);
    p.spectrum_init(2);
    EXPECT_NEAR(p.spectrum[250][1], 0.25, 1e-6);
    EXPECT_EQ(p.spectrum[250][0], 0);
    p.spectrum_init(7);
    EXPECT_NEAR(p.spectrum[250][1], 0.25, 1e-6) << "an unknown mode changes nothing";
}

TEST(Palette, InterfaceLightsAndLitColour)
{
    colr_class p;
    p.set_lites_for_interface();
    EXPECT_EQ(p.col[100][0], 1.0f);
    p.assign(100, 0.5f, 0.9f, 0.2f);
    p.set_lites_for_interface();
    EXPECT_EQ(p.col[100][0], 0.75f);
    EXPECT_EQ(p.col[100][1], 0.9f);
    EXPECT_EQ(p.col[100][2], 0.75f);

    ren.light_level_1 = 0.8f;
    ren.light_level_2 = 0.3f;
    p.set_lit_col(0);
    EXPECT_EQ(p.col[47][0], 0.8f);
    EXPECT_EQ(p.col[47][1], 0.9f);
    p.set_lit_col(1);
    EXPECT_EQ(p.col[47][1], 0.8f);
    p.set_lit_col(2);
    EXPECT_EQ(p.col[47][2], 0.3f);
    ren.light_level_1 = ren.light_level_2 = 0;

    EXPECT_EXIT(p.set_lit_col(3), testing::ExitedWithCode(1), "bad col_type!");
}

TEST_F(drawing, ColourRuleAppliesLightFactorGreenFoldAndAlphaThreshold)
{
    colr.assign(44, 1, 1, 1);
    colr.assign(45, 1, 1, 1);
    colr.assign(100, 0.5f, 0.5f, 0.5f);
    OGL_setcolor(44, 1);
    EXPECT_FLOAT_EQ(current_colour().g, 0.5f);
    OGL_setcolor(45, 1);
    EXPECT_FLOAT_EQ(current_colour().g, 1.0f);

    // Above 0.99 only three components are set: the alpha OpenGL held survives.
    glColor4f(0, 0, 0, 0.25f);
    OGL_setcolor(45, 0.99f);
    EXPECT_FLOAT_EQ(current_colour().a, 0.25f);
    OGL_setcolor(45, 0.98f);
    EXPECT_FLOAT_EQ(current_colour().a, 0.98f);
    ren.global_alpha = 0.5f;
    OGL_setcolor(45, 1);
    EXPECT_FLOAT_EQ(current_colour().a, 0.5f);
    ren.global_alpha = 1;

    ren.green_only = 1;
    OGL_setcolor(12, 1);
    colour4 c = current_colour();
    EXPECT_FLOAT_EQ(c.r, 0);
    EXPECT_FLOAT_EQ(c.g, 0.01f);
    OGL_setcolor(45, 1);
    c = current_colour();
    EXPECT_FLOAT_EQ(c.g, 1);
    EXPECT_FLOAT_EQ(c.b, 0);

    // On screen: the light factor halves index 44 but not 45, and the green fold turns the
    // palette's red into the green of its component sum.
    ren.green_only = 0;
    OGL_fillrect(44, 1, 10, 10, 10, 10);
    OGL_fillrect(45, 1, 30, 10, 10, 10);
    EXPECT_TRUE(test::near_colour(pixel(15, 15), rgba{128, 128, 128, 255})) << pixel(15, 15);
    EXPECT_EQ(pixel(35, 15), (rgba{255, 255, 255, 255}));
    colr.assign(46, 0.25f, 0.25f, 0);
    ren.green_only = 1;
    OGL_fillrect(46, 1, 50, 10, 10, 10);
    EXPECT_TRUE(test::near_colour(pixel(55, 15), rgba{0, 128, 0, 255})) << pixel(55, 15);
}

TEST_F(drawing, PixSpecsPlacesTheVirtualScreenInWindowsOfAnySize)
{
    struct screen {
        int w, h;
        float x0, y0, cx, ratio;
    };
    const screen cases[] = {{1024, 768, 0, 0, 512, 1},
                            {800, 600, -112, -168, 400, 1},
                            {2048, 1536, 512, 768, 1024, 2},
                            {1280, 1024, 128, 256, 640, 1.25f}};
    GLint viewport[4];
    for (const screen& s : cases) {
        mnw.x_res = s.w;
        mnw.y_res = s.h;
        mnw.cur_win = WIN_NONE;
        glViewport(1, 2, 3, 4);
        OGL_pix_specs(0);
        EXPECT_EQ(mnw.scr_x0, s.x0) << s.w;
        EXPECT_EQ(mnw.scr_y0, s.y0) << s.w;
        EXPECT_EQ(mnw.scr_cx, s.cx) << s.w;
        EXPECT_EQ(mnw.scr_cy, 384);
        EXPECT_EQ(mnw.tex_filter, s.ratio) << s.w;
        EXPECT_EQ(mnw.scale, 1);
        EXPECT_EQ(mnw.ortho[2], s.w);
        EXPECT_EQ(mnw.ortho[3], s.h);
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 3) << "no window started: no OpenGL call";
    }
    mnw.x_res = 1024;
    mnw.y_res = 768;
    mnw.cur_win = WIN_MAIN;
    OGL_pix_specs(0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
}

TEST_F(drawing, ViewportLoadsTheCameraMatricesForEachMode)
{
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5, 5, 0);
    xcam.reread_mv = 1;
    OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    double proj[16], mv[16];
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    EXPECT_NEAR(proj[0], 2.0 / 1024, 1e-9);
    EXPECT_NEAR(proj[5], 2.0 / 768, 1e-9);
    EXPECT_NEAR(proj[12], -1, 1e-9);
    EXPECT_EQ(mv[12], 0) << "identity modelview";
    EXPECT_EQ(xcam.reread_mv, 0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    // Perspective: extents scaled by the near distance, bottom and top by the aspect h/w.
    OGL_viewport(3, -1, 0, -1, 0, 1, 1024, 1, 768, 1, 100, 1);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    EXPECT_NEAR(proj[0], 1, 1e-6);
    EXPECT_NEAR(proj[5], 1 / 0.75, 1e-5);
    EXPECT_EQ(proj[11], -1);
    EXPECT_EQ(xcam.is_ortho, 0);

    // Any other mode: the viewport only; the camera keeps the previous projection.
    OGL_viewport(7, 0, 10, 0, 20, 0, 110, 0, 220, 0, 0, 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 10);
    EXPECT_EQ(viewport[1], 20);
    EXPECT_EQ(viewport[2], 100);
    EXPECT_EQ(viewport[3], 200);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    EXPECT_EQ(proj[11], -1);
    OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
}

TEST_F(drawing, ScissorsPolygonOffsetBlendPresetsSpecularAndSwapColour)
{
    mnw.off_x = 100;
    mnw.off_y = 50;
    OGL_scissors(10, 20, 30, 40);
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 110);
    EXPECT_EQ(box[1], 70);
    EXPECT_EQ(box[2], 30);
    EXPECT_EQ(box[3], 40);
    OGL_plot_back_col();  // the whole window, clipped to the box
    colr.assign(33, 1, 1, 1);
    OGL_plot_back_col();
    EXPECT_EQ(count_pixels(0, 0, 1024, 768, 255, 255, 255), 30 * 40);
    OGL_scissors_end();
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));

    OGL_poly_offset(1);
    GLfloat factor = 0, units = 0;
    glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &factor);
    glGetFloatv(GL_POLYGON_OFFSET_UNITS, &units);
    EXPECT_EQ(factor, -10);
    EXPECT_EQ(units, -1);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    OGL_poly_offset(0);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &factor);
    EXPECT_EQ(factor, -10) << "disabling leaves the factors";

    GLint src = 0, dst = 0;
    OGL_glow_colors();
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(dst, GL_ONE);
    OGL_nrml_colors();
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);

    OGL_setspec(0.5f);
    GLfloat light[4] = {}, shininess = 0;
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, light);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(light[0], 0.5f);
    EXPECT_EQ(light[3], 1.0f);
    EXPECT_EQ(shininess, 128);

    ren.global_alpha = 0.75f;
    ren.green_only = 1;
    OGL_sbuf();
    colour4 c = current_colour();
    EXPECT_EQ(c.r, 0);
    EXPECT_EQ(c.g, 1);
    EXPECT_EQ(c.a, 0.75f);
    ren.green_only = 0;
    OGL_sbuf();
    EXPECT_EQ(current_colour().r, 1);
}

// What the window shows is read from the X server, as a user would see it: the back buffer the
// frame was drawn into reaches the screen only through the swap.
TEST_F(drawing, BufferSwapPutsTheFrameOnTheScreen)
{
    auto on_screen = [](int x, int y) {
        unsigned char rgb[3] = {0, 0, 0};
        EXPECT_TRUE(gfx_test::pixel_on_screen(x, y, rgb)) << "xwd of the window at " << x << ", " << y;
        return rgba{rgb[0], rgb[1], rgb[2], 255};
    };

    colr.assign(33, 0.2f, 0.4f, 0.6f);
    OGL_plot_back_col();
    OGL_fillrect(68, 1, 100, 100, 50, 30);
    OGL_sbuf();
    EXPECT_EQ(on_screen(120, 110), (rgba{255, 0, 0, 255}));
    EXPECT_EQ(on_screen(160, 110), (rgba{51, 102, 153, 255}));

    // The next frame replaces it only when it is swapped in turn.
    colr.assign(33, 0, 0, 0);
    OGL_plot_back_col();
    EXPECT_EQ(on_screen(120, 110), (rgba{255, 0, 0, 255}));
    OGL_sbuf();
    EXPECT_EQ(on_screen(120, 110), (rgba{0, 0, 0, 255}));
}

TEST_F(drawing, LinesAndRectanglesLandOnTheirPixelsWithTheBoxOffset)
{
    OGL_line(68, 1, 10, 10, 20, 10);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(pixel(10, 10), (rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(19, 10), (rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(9, 10), BLACK);
    EXPECT_EQ(pixel(15, 11), BLACK);
    EXPECT_EQ(count_pixels(0, 0, 40, 40, 255, 0, 0), 10);

    OGL_line(68, 0.5f, 10, 30, 20, 30);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(test::near_colour(pixel(15, 30), rgba{128, 0, 0, 255})) << pixel(15, 30);

    mnw.off_x = 100;
    mnw.off_y = 50;
    OGL_fillrect(55, 1, 10, 10, 20, 5);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "filled rectangles always blend";
    EXPECT_EQ(pixel(110, 60), (rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixel(129, 64), (rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixel(130, 60), BLACK);
    EXPECT_EQ(pixel(110, 65), BLACK);
    EXPECT_EQ(pixel(10, 10 + 50 + 10), BLACK);
    EXPECT_EQ(count_pixels(100, 50, 100, 100, 0, 255, 0), 20 * 5);

    mnw.off_x = mnw.off_y = 0;
    OGL_framerect(64, 1, 200, 200, 10, 10);
    const rgba blue{51, 51, 204, 255};
    EXPECT_EQ(pixel(200, 205), blue);
    EXPECT_EQ(pixel(210, 205), blue);
    EXPECT_EQ(pixel(205, 200), blue);
    EXPECT_EQ(pixel(205, 210), blue);
    EXPECT_EQ(pixel(205, 205), BLACK);
    EXPECT_EQ(count_pixels(195, 195, 20, 20, 51, 51, 204), 40);
}

TEST_F(drawing, GrayBoxDarkensHalfwayOverWhite)
{
    win().reset_2d({255, 255, 255, 255});
    gfx_test::sync_state_cache();
    OGL_grayrect(300, 300, 320, 310, 0.5f);
    EXPECT_TRUE(test::near_colour(pixel(310, 305), rgba{128, 128, 128, 255})) << pixel(310, 305);
    EXPECT_EQ(pixel(320, 305), (rgba{255, 255, 255, 255}));
    EXPECT_EQ(count_pixels(290, 290, 40, 40, 128, 128, 128), 20 * 10);
}

TEST_F(drawing, CirclesAndArcsFollowTheirAngleConvention)
{
    // Radius 2.5: lines at cy - 2.5 .. cy + 2.5; the outermost two have no length.
    OGL_fillcircle(68, 300, 100.5f, 2.5f);
    for (int y = 99; y <= 102; ++y)
        EXPECT_EQ(pixel(300, y), (rgba{255, 0, 0, 255})) << y;
    EXPECT_EQ(pixel(300, 97), BLACK);
    EXPECT_EQ(pixel(300, 104), BLACK);
    EXPECT_EQ(count_pixels(290, 90, 20, 20, 255, 0, 0), 4 + 4 + 4 + 4) << "four lines of 2 x 2.29 px";

    OGL_framecircle(55, 400, 400, 20);
    EXPECT_EQ(pixel(400, 420), (rgba{0, 255, 0, 255})) << "angle 0 is straight up";
    EXPECT_EQ(pixel(420, 400), (rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixel(400, 400), BLACK);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    OGL_arc(68, 600, 300, 10, 10, 0, 90);
    EXPECT_GT(count_pixels(600, 300, 12, 12, 255, 0, 0), 10) << "quarter from up to right";
    EXPECT_EQ(pixel(600, 310), (rgba{255, 0, 0, 255})) << "starts straight up";
    EXPECT_GE(count_pixels(609, 300, 2, 2, 255, 0, 0), 1) << "ends straight right";
    EXPECT_EQ(count_pixels(611, 295, 5, 10, 255, 0, 0), 0) << "and goes no further";
    EXPECT_EQ(pixel(604, 304), BLACK) << "an outline, not a sector";
    EXPECT_EQ(count_pixels(588, 300, 12, 12, 255, 0, 0), 0);
    EXPECT_EQ(count_pixels(600, 288, 12, 11, 255, 0, 0), 0);

    OGL_arc(68, 700, 300, 10, 10, 90, 0);
    OGL_arc(68, 700, 300, 12, 10, 0, 90);
    EXPECT_EQ(count_pixels(680, 280, 40, 40, 255, 0, 0), 0);
    EXPECT_EQ(current_colour().r, 1.0f) << "the colour is set even when nothing is drawn";

    // A band drawn radius by radius.
    OGL_arc(55, 800, 300, 5, 8, 0, 360);
    EXPECT_GT(count_pixels(790, 290, 20, 20, 0, 255, 0), 100);
    EXPECT_EQ(pixel(800, 300), BLACK);
}

TEST_F(drawing, BackgroundFillsTheWholeWindowWhateverTheBoxOffset)
{
    colr.assign(33, 0.2f, 0.4f, 0.6f);
    mnw.off_x = 300;
    mnw.off_y = 200;
    OGL_plot_back_col();
    const rgba back{51, 102, 153, 255};
    EXPECT_EQ(pixel(0, 0), back);
    EXPECT_EQ(pixel(1023, 767), back);
    EXPECT_EQ(count_pixels(0, 0, 1024, 768, 51, 102, 153), 1024 * 768);
}

TEST_F(drawing, TexturedQuadsShowTheBoundTexture)
{
    // 4x4 texels: bottom-left quadrant red, bottom-right green, top-left blue, top-right white.
    unsigned char texels[4 * 4 * 4];
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            unsigned char* t = texels + (y * 4 + x) * 4;
            const bool right = x >= 2, top = y >= 2;
            t[0] = (!right && !top) || (right && top) ? 255 : 0;
            t[1] = right ? 255 : 0;
            t[2] = top ? 255 : 0;
            t[3] = 255;
        }
    gfx_test::load_texture_pixels(500, 4, 4, texels);

    OGL_2dquad_d(500, 0, 1, 600, 500, 0, 0, 64, 64, 1, 1, al_blend);
    EXPECT_EQ(pixel(616, 516), (rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(648, 516), (rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixel(616, 548), (rgba{0, 0, 255, 255}));
    EXPECT_EQ(pixel(648, 548), (rgba{255, 255, 255, 255}));
    EXPECT_EQ(pixel(665, 516), BLACK);

    // Ref 0 binds nothing: the texture bound last still shows, here through four free corners
    // (a quad mirrored left to right) and tinted by the palette colour.
    colr.assign(60, 1, 1, 0);
    OGL_2dquad(0, 60, 1, 100, 100, 1, 0, 100, 164, 1, 1, 164, 164, 0, 1, 164, 100, 0, 0, 1, al_blend);
    EXPECT_EQ(pixel(116, 116), (rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixel(148, 116), (rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(116, 148), (rgba{255, 255, 0, 255}));

    // The background texture covers a 1024 square from the window's bottom, at the virtual
    // screen's left edge; before any window starts, a wider window is first filled in colour 33.
    gfx_test::load_texture_pixels(OGL_BACKGROUND_TEX, 4, 4, texels);
    colr.assign(33, 0.2f, 0.4f, 0.6f);
    mnw.x_res = 1280;
    OGL_pix_specs(0);
    mnw.cur_win = WIN_NONE;
    OGL_plot_back_tex();
    EXPECT_EQ(pixel(60, 10), (rgba{51, 102, 153, 255}));
    EXPECT_EQ(pixel(140, 10), (rgba{255, 0, 0, 255}));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    mnw.cur_win = WIN_MAIN;
    mnw.x_res = 1024;
    OGL_pix_specs(0);
}

TEST_F(drawing, CameraRereadsTheOpenGLModelviewAndProjectsPointsToPixels)
{
    OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    double pix[2];
    const double point[3] = {100, 200, 0};
    xcam.mtr_to_pix(point, pix);
    EXPECT_NEAR(pix[0], 100, 1e-9);
    EXPECT_NEAR(pix[1], 200, 1e-9);
    mnw.off_x = 10;
    mnw.off_y = 20;
    xcam.mtr_to_pix(point, pix);
    EXPECT_NEAR(pix[0], 90, 1e-9) << "relative to the box being drawn";
    EXPECT_NEAR(pix[1], 180, 1e-9);

    // Someone turned OpenGL's modelview: the camera only learns of it while reread_mv is set.
    glMatrixMode(GL_MODELVIEW);
    glRotated(90, 0, 1, 0);
    double dir[3];
    xcam.CalcDirection(dir);
    EXPECT_NEAR(dir[2], -1, 1e-12) << "flag clear: the camera's own identity";
    xcam.reread_mv = 1;
    xcam.changed = 0;
    xcam.CalcDirection(dir);
    EXPECT_EQ(xcam.reread_mv, 0);
    EXPECT_EQ(xcam.changed, 1);
    // A world turned +90 degrees about y means an eye looking along +x (OpenGL keeps floats).
    EXPECT_NEAR(dir[0], 1, 1e-6);
    EXPECT_NEAR(dir[1], 0, 1e-6);
    EXPECT_NEAR(dir[2], 0, 1e-6);
    OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
}
