// The 3-D helpers in a real window, looking down the -z axis, read back by pixels: the turned box and
// the wheel's reach, and the colour ramp over a quad with the normal of its corners.
#include "gfx/draw3d.h"

#include <functional>
#include <vector>

#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"

using test::rgba;

namespace {

using gfx_test::BLACK, gfx_test::WHITE;

class draw3d : public gfx_test::screen_test {
protected:
    void SetUp() override
    {
        screen_test::SetUp();
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

TEST_F(draw3d, SolidsCoverTheirOutline)
{
    // The box, 40 x 20 x 10 at (100, 100): upright over x 80..120, y 100..120; turned by 90 degrees
    // clockwise over x 100..120, y 80..120. The wheel of size 10 at (200, 200): +-10 along its x
    // axis, radius 10 in the middle, cut in to 3.8 at both ends. Pixels just inside, just outside.
    auto box = [](float angle) { return [=] { OGL_cube(100, 100, 0, 40, 20, 10, 0, 1, 0, 1, angle); }; };
    auto wheel = [] { OGL_disc(200, 200, 0, 10); };
    const std::tuple<std::function<void()>, int, int, int, int> cases[] = {
        {box(0), 81, 119, 100, 99},    {box(0), 119, 101, 121, 110}, {box(90), 101, 81, 99, 100},
        {box(90), 119, 119, 110, 121}, {wheel, 200, 209, 200, 211},  {wheel, 209, 200, 211, 200},
        {wheel, 190, 200, 209, 206},
    };
    for (const auto& [draw, in_x, in_y, out_x, out_y] : cases) {
        win().reset_2d();
        SetUp();
        draw();
        EXPECT_EQ(pixel(in_x, in_y), WHITE) << in_x << ", " << in_y;
        EXPECT_EQ(pixel(out_x, out_y), BLACK) << out_x << ", " << out_y;
        double modelview[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        EXPECT_EQ(modelview[12], 0) << "not popped";
    }
}

// The ramp's colours fill a quad whose corners also set its normal: (p3 - p2) x (p2 - p1), at unit length.
TEST_F(draw3d, SpectrumRampColoursAQuadWithTheNormalOfItsCorners)
{
    const float corners[4][3] = {{0, 0, 0}, {0, 4, 0}, {4, 4, 3}, {4, 0, 3}};
    const std::tuple<float, int, rgba> cases[] = {
        // value, green-only mode, colour
        {-3, 0, {0, 0, 0, 255}},       {1.0f / 12, 0, {128, 0, 0, 255}}, {0.25f, 0, {255, 41, 10, 255}},
        {0.5f, 0, {255, 255, 0, 255}}, {0.75f, 0, {0, 128, 128, 255}},   {1, 0, {204, 0, 204, 255}},
        {2, 0, {204, 0, 204, 255}},    {0.5f, 1, {0, 255, 0, 255}},      {-1, 1, {0, 3, 0, 255}},
    };
    for (const auto& [value, green_only, expected] : cases) {
        ren.green_only = green_only;
        OGL_spectrum_rgb(value);
        glBegin(GL_QUADS);
        OGL_3dquad(corners[0], corners[1], corners[2], corners[3]);
        glEnd();
        EXPECT_TRUE(test::near_colour(pixel(2, 2), expected, 1)) << value << " gave " << pixel(2, 2);
    }
    float n[3];
    glGetFloatv(GL_CURRENT_NORMAL, n);
    EXPECT_NEAR(std::abs(n[0] + 0.6f) + std::abs(n[1]) + std::abs(n[2] - 0.8f), 0, 1e-6) << n[0] << ", " << n[2];
    // Collinear first corners span no plane: the quad faces up instead of taking a normal of NaNs.
    const float line[3][3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    glBegin(GL_QUADS);
    OGL_3dquad(line[0], line[1], line[2], corners[3]);
    glEnd();
    glGetFloatv(GL_CURRENT_NORMAL, n);
    EXPECT_EQ(std::vector<float>(n, n + 3), std::vector<float>({0, 1, 0}));
}
