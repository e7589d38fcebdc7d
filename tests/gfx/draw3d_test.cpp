// The 3-D helpers in a real window, looking down the -z axis, read back by pixels: quad normals and
// texels, the turned box and the wheel's reach, and the colour ramp.
#include "gfx/draw3d.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>

#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "support/gl_window.h"

using test::rgba;

namespace {

const rgba BLACK{0, 0, 0, 255}, WHITE{255, 255, 255, 255};

class draw3d : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1024, 0, 768, -100, 100);  // deep enough for the wheel
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(1, 1, 1);
    }
    void TearDown() override { ren.green_only = 0; }
};

}  // namespace

TEST_F(draw3d, QuadNormalAndTexelsFollowTheCorners)
{
    const float cases[][5][3] = {
        // four corners, then the unit normal expected
        {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}, {0, -1, 0}},
        {{1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {0, 0, 0}, {0, 1, 0}},
        {{0, 0, 0}, {0, 3, 0}, {3, 0, 4}, {0, 0, 0}, {-0.8f, 0, 0.6f}},
        {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {5, 0, 0}, {0, 1, 0}},  // collinear
    };
    for (const auto& c : cases) {
        glBegin(GL_QUADS);
        OGL_3dquad(c[0], c[1], c[2], c[3]);
        glEnd();
        float n[3];
        glGetFloatv(GL_CURRENT_NORMAL, n);
        EXPECT_NEAR(n[0], c[4][0], 1e-6) << c[2][0];
        EXPECT_NEAR(n[1], c[4][1], 1e-6) << c[2][0];
        EXPECT_NEAR(n[2], c[4][2], 1e-6) << c[2][0];
    }
    // A 2 x 2 texture, red and green below, blue and white above; corner one takes texel (1, 1).
    const GLubyte texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    glBindTexture(GL_TEXTURE_2D, 77);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glEnable(GL_TEXTURE_2D);
    const float p1[3] = {0, 0, 0}, p2[3] = {0, 100, 0}, p3[3] = {100, 100, 0}, p4[3] = {100, 0, 0};
    glBegin(GL_QUADS);
    OGL_3dquad(p1, p2, p3, p4);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(pixel(25, 25), WHITE);
    EXPECT_EQ(pixel(25, 75), rgba({0, 255, 0, 255}));
    EXPECT_EQ(pixel(75, 75), rgba({255, 0, 0, 255}));
    EXPECT_EQ(pixel(75, 25), rgba({0, 0, 255, 255}));
}

TEST_F(draw3d, SolidsCoverTheirOutline)
{
    struct solid_case {
        std::function<void()> draw;
        int inside[2], outside[2];  // pixels just inside and just outside, by hand
    };
    // The box, 40 x 20 x 10 at (100, 100): upright over x 80..120, y 100..120; turned by 90 degrees
    // clockwise over x 100..120, y 80..120. The wheel of size 10 at (200, 200): +-10 along its x
    // axis, radius 10 in the middle, cut in to 3.8 at both ends.
    const solid_case cases[] = {
        {[] { OGL_cube(100, 100, 0, 40, 20, 10, 0, 1, 0, 1, 0); }, {81, 119}, {100, 99}},
        {[] { OGL_cube(100, 100, 0, 40, 20, 10, 0, 1, 0, 1, 0); }, {119, 101}, {121, 110}},
        {[] { OGL_cube(100, 100, 0, 40, 20, 10, 0, 1, 0, 1, 90); }, {101, 81}, {99, 100}},
        {[] { OGL_cube(100, 100, 0, 40, 20, 10, 0, 1, 0, 1, 90); }, {119, 119}, {110, 121}},
        {[] { OGL_disc(200, 200, 0, 10); }, {200, 209}, {200, 211}},
        {[] { OGL_disc(200, 200, 0, 10); }, {209, 200}, {211, 200}},
        {[] { OGL_disc(200, 200, 0, 10); }, {190, 200}, {209, 206}},
    };
    for (const solid_case& c : cases) {
        win().reset_2d();
        SetUp();
        c.draw();
        EXPECT_EQ(pixel(c.inside[0], c.inside[1]), WHITE) << c.inside[0] << ", " << c.inside[1];
        EXPECT_EQ(pixel(c.outside[0], c.outside[1]), BLACK) << c.outside[0] << ", " << c.outside[1];
        double modelview[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        EXPECT_EQ(modelview[12], 0) << "the matrix was not popped";
    }
}

TEST_F(draw3d, SpectrumRampColours)
{
    struct ramp_case {
        float value;
        int green_only;
        rgba expected;
    };
    const ramp_case cases[] = {
        {-3, 0, {0, 0, 0, 255}},       {1.0f / 12, 0, {128, 0, 0, 255}}, {0.25f, 0, {255, 41, 10, 255}},
        {0.5f, 0, {255, 255, 0, 255}}, {0.75f, 0, {0, 128, 128, 255}},   {1, 0, {204, 0, 204, 255}},
        {2, 0, {204, 0, 204, 255}},    {0.5f, 1, {0, 255, 0, 255}},      {-1, 1, {0, 3, 0, 255}},
    };
    for (const ramp_case& c : cases) {
        ren.green_only = c.green_only;
        OGL_spectrum_rgb(c.value);
        glBegin(GL_QUADS);
        glVertex2f(0, 0), glVertex2f(0, 4), glVertex2f(4, 4), glVertex2f(4, 0);
        glEnd();
        EXPECT_TRUE(test::near_colour(pixel(2, 2), c.expected, 1)) << c.value << " gave " << pixel(2, 2);
    }
}
