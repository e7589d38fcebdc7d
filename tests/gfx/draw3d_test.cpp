// The 3-D helpers drawn in a real window with an orthographic view down the -z axis and read back
// by pixels: quad normals and texels, the turned box, the wheel's reach and the colour ramp.
#include "gfx/draw3d.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "support/gl_window.h"

using test::rgba;

namespace {

constexpr float DEPTH_RANGE = 100;  // deeper than the 2-D set-up, so the wheel is not clipped
const rgba BLACK{0, 0, 0, 255}, WHITE{255, 255, 255, 255};

class draw3d : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
        view();
    }
    void TearDown() override { ren.green_only = 0; }

    void view() const
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, win().width(), 0, win().height(), -DEPTH_RANGE, DEPTH_RANGE);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(1, 1, 1);
    }
};

struct vec3 {
    float x, y, z;
};

vec3 current_normal()
{
    vec3 n{};
    glGetFloatv(GL_CURRENT_NORMAL, &n.x);
    return n;
}

}  // namespace

TEST_F(draw3d, QuadNormalFollowsTheCornerOrder)
{
    struct normal_case {
        float p[4][3];
        vec3 expected;
    };
    const normal_case cases[] = {
        {{{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}}, {0, -1, 0}},
        {{{1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {0, 0, 0}}, {0, 1, 0}},
        {{{0, 0, 0}, {0, 2, 0}, {2, 2, 0}, {2, 0, 0}}, {0, 0, 1}},  // long edges: scaled to unit length
        {{{0, 0, 0}, {0, 3, 0}, {3, 0, 4}, {0, 0, 0}}, {-0.8f, 0, 0.6f}},
        {{{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {5, 0, 0}}, {0, 1, 0}},  // collinear
    };
    for (const normal_case& c : cases) {
        glBegin(GL_QUADS);
        OGL_3dquad(c.p[0], c.p[1], c.p[2], c.p[3]);
        glEnd();
        const vec3 n = current_normal();
        EXPECT_NEAR(n.x, c.expected.x, 1e-6);
        EXPECT_NEAR(n.y, c.expected.y, 1e-6);
        EXPECT_NEAR(n.z, c.expected.z, 1e-6);
    }
}

TEST_F(draw3d, QuadTexelsGoToTheirCorners)
{
    // A 2 x 2 texture: red, green (bottom row), blue, white (top row), sampled exactly.
    const GLubyte texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glEnable(GL_TEXTURE_2D);
    // Corners p1 .. p4 going up, across and down: p1 takes texel (1, 1), the white one.
    const float p1[3] = {0, 0, 0}, p2[3] = {0, 100, 0}, p3[3] = {100, 100, 0}, p4[3] = {100, 0, 0};
    glBegin(GL_QUADS);
    OGL_3dquad(p1, p2, p3, p4);
    glEnd();
    const float q1[3] = {200, 0, 0}, q2[3] = {200, 100, 0}, q3[3] = {300, 100, 0}, q4[3] = {300, 0, 0};
    glBegin(GL_QUADS);
    OGL_3dquad_st(q1, q2, q3, q4, 0.25f, 0.25f, 0.75f, 0.75f);  // the whole texture, upright
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);

    struct probe {
        int x, y;
        rgba expected;
    };
    const probe probes[] = {
        {25, 25, WHITE},
        {25, 75, {0, 255, 0, 255}},
        {75, 75, {255, 0, 0, 255}},
        {75, 25, {0, 0, 255, 255}},
        {225, 25, {255, 0, 0, 255}},
        {275, 25, {0, 255, 0, 255}},
        {225, 75, {0, 0, 255, 255}},
        {275, 75, WHITE},
    };
    for (const probe& p : probes)
        EXPECT_EQ(pixel(p.x, p.y), p.expected) << p.x << ", " << p.y;
}

TEST_F(draw3d, CubeStandsOnItsBaseAndTurnsClockwise)
{
    struct cube_case {
        float angle;
        int inside[2], outside[2];  // pixel centres just inside and just outside the outline
    };
    // 40 wide, 20 high, 10 deep at (100, 100): upright it spans x 80..120, y 100..120; turned
    // by 90 degrees its width runs down the screen: x 100..120, y 80..120.
    const cube_case cases[] = {
        {0, {81, 101}, {100, 99}},
        {0, {119, 119}, {121, 110}},
        {90, {101, 81}, {99, 100}},
        {90, {119, 119}, {110, 121}},
    };
    for (const cube_case& c : cases) {
        win().reset_2d();
        view();
        OGL_cube(100, 100, 0, 40, 20, 10, 0, 1, 0, 1, c.angle);
        EXPECT_EQ(pixel(c.inside[0], c.inside[1]), WHITE) << c.angle;
        EXPECT_EQ(pixel(c.outside[0], c.outside[1]), BLACK) << c.angle;
        double modelview[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        EXPECT_EQ(modelview[12], 0) << "the matrix was not popped";
    }
}

TEST_F(draw3d, DiscReachesItsSizeAlongAndAcrossTheAxis)
{
    OGL_disc(200, 200, 0, 10);
    // Along the axis (x) it ends at +-10; across it the rim is 10 out in the middle and cut in to
    // 3.8 at the ends, so near an end it is narrow.
    const int inside[][2] = {{200, 209}, {200, 190}, {209, 200}, {190, 200}, {196, 208}};
    const int outside[][2] = {{200, 211}, {211, 200}, {188, 200}, {209, 206}, {191, 206}};
    for (const auto& p : inside)
        EXPECT_EQ(pixel(p[0], p[1]), WHITE) << p[0] << ", " << p[1];
    for (const auto& p : outside)
        EXPECT_EQ(pixel(p[0], p[1]), BLACK) << p[0] << ", " << p[1];
}

TEST_F(draw3d, SpectrumRampColours)
{
    struct ramp_case {
        float value;
        int green_only;
        rgba expected;
    };
    const ramp_case cases[] = {
        {-3, 0, {0, 0, 0, 255}},        {0, 0, {0, 0, 0, 255}},        {1.0f / 12, 0, {128, 0, 0, 255}},
        {0.25f, 0, {255, 41, 10, 255}}, {0.5f, 0, {255, 255, 0, 255}}, {0.75f, 0, {0, 128, 128, 255}},
        {1, 0, {204, 0, 204, 255}},     {2, 0, {204, 0, 204, 255}},    {0.5f, 1, {0, 255, 0, 255}},
        {-1, 1, {0, 3, 0, 255}},
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
