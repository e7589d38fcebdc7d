// The camera as pure math: projections, modelview operations, view vectors and volume bounds.
#include "gfx/camera.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>

#include "gfx/matrix.h"

namespace {

template <typename T> void expect_near3(const T* v, std::array<double, 3> expected, double tolerance = 1e-12)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(v[i], expected[i], tolerance) << "component " << i;
}

}  // namespace

TEST(Camera, PerspectiveSetsSideNormalsAndFarPlanes)
{
    xcam_class cam;
    cam.SetupPerspective(90, 1, 1, 100);
    EXPECT_EQ(std::tuple(cam.is_ortho, cam.near_z, cam.far_z, cam.fake_far_z), std::tuple(0, -1, -100, -100));
    const double k = std::sqrt(0.5);
    expect_near3(cam.n_top, {0, -k, -k}, 1e-6);
    expect_near3(cam.n_left, {k, 0, -k}, 1e-6);
    expect_near3(cam.n_right, {-k, 0, -k}, 1e-6);
    expect_near3(cam.n_bottom, {0, k, -k}, 1e-6);
    float h = 0, v = 0;
    EXPECT_EQ(cam.GetFOVHalfCosines(&h, &v), 1);
    EXPECT_NEAR(h + v, 2 * 0.7071, 2e-4);
    EXPECT_EQ(cam.GetFOVHalfCosines(nullptr, &v), 1);

    cam.SetFakeFarClippingPlane(500);  // beyond the real far plane: ignored
    EXPECT_EQ(cam.fake_far_z, -100);
    cam.SetFakeFarClippingPlane(30.3);
    EXPECT_EQ(cam.fake_far_z, static_cast<float>(-30.3));
    cam.ResetFakeFarClippingPlane();
    EXPECT_EQ(cam.fake_far_z, -100);

    cam.SetupOrtho(0, 1024, 0, 768, -1, 1);
    EXPECT_EQ(std::tuple(cam.is_ortho, cam.o_right, cam.o_top, cam.near_z, cam.far_z), std::tuple(1, 1024, 768, 1, -1));
    h = v = -5;  // an orthographic camera has no field of view: the outputs are left alone
    EXPECT_EQ(cam.GetFOVHalfCosines(&h, &v), 0);
    EXPECT_EQ(h + v, -10);
}

TEST(Camera, ModelviewOperationsAndViewVectors)
{
    xcam_class cam;
    cam.reread_mv = 0;  // no OpenGL here: the camera's own modelview is current
    double dir[3], right[3];
    cam.CalcRight(right);  // from the direction and up vectors
    expect_near3(right, {1, 0, 0});

    cam.changed = 0;  // the matrix operations themselves are the matrix tests' subject
    cam.Rotate(90, 0, 0, 1);
    EXPECT_EQ(cam.changed, 1);

    // Looking from heading 0, pitch 0 at distance 10: the eye sits on +x and looks along -x.
    cam.LookAtPtFromDir(0, 0, 0, 0, 0, 10);
    cam.CalcDirection(dir);
    expect_near3(dir, {-1, 0, 0});
    float billboard_right[3], billboard_up[3];
    cam.CalcBillboardGround(billboard_right, billboard_up);
    EXPECT_NEAR(billboard_right[1], 0, 1e-6) << "ground billboards keep their right axis level";
    EXPECT_NEAR(std::fabs(billboard_right[2]), 1, 1e-6);
    EXPECT_NEAR(billboard_up[1], 1, 1e-6);
}

TEST(Camera, FrustumBoundsInAndOutsideTheHeightBand)
{
    xcam_class cam;
    cam.reread_mv = 0;
    cam.SetupPerspective(90, 1, 1, 100);
    cam.Identity();
    double lo[3], hi[3];
    // Looking down -z from the origin, the far plane at 100 cut at 60: the volume at heights -1..1.
    ASSERT_TRUE(cam.GetFrustumBounds(60, -1, 1, lo, hi));
    expect_near3(lo, {-60, -1, -60}, 1e-4);
    expect_near3(hi, {60, 1, hi[2]}, 1e-4);
    EXPECT_FALSE(cam.GetFrustumBounds(10, 500, 600, lo, hi)) << "a band far above the cut volume";
    EXPECT_EQ(std::tuple(lo[0], hi[0]), std::tuple(9.9e9, -9.9e9)) << "the box is left empty";
    for (double& e : cam.mv)  // a singular modelview: no bounds
        e = 0;
    EXPECT_FALSE(cam.GetFrustumBounds(10, -1, 1, lo, hi));
}

TEST(Camera, LookAtCameraFramesTheOtherVolumeAndIgnoresSingularCameras)
{
    xcam_class other;
    other.SetupPerspective(90, 1, 1, 10);
    other.Identity();
    xcam_class cam;
    double dir[3] = {0, 0, -1};
    cam.LookAtCamera(&other, dir, 50);
    EXPECT_EQ(cam.is_ortho, 1);
    // The far face of the other volume spans -10..10; seen from behind, the box holds it.
    const double box[4] = {cam.o_left, cam.o_right, cam.o_bottom, cam.o_top};
    expect_near3(box, {-10, 10, -10}, 1e-6);
    EXPECT_NEAR(box[3], 10, 1e-6);

    xcam_class broken;
    for (double& e : broken.proj)
        e = 0;
    xcam_class before;
    before.Translate(4, 5, 6);
    xcam_class after(before);
    after.LookAtCamera(&broken, dir, 50);
    EXPECT_EQ(std::tuple(std::equal(after.mv, after.mv + 16, before.mv), after.is_ortho),
              std::tuple(true, before.is_ortho));
}
