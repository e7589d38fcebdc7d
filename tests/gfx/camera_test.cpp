// The camera as pure math: projections, modelview operations, view vectors and volume bounds.
#include "gfx/camera.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gfx/matrix.h"

TEST(Camera, NewCameraIsOrthographicIdentityWithoutHalfCosines)
{
    xcam_class cam;
    EXPECT_EQ(cam.is_ortho, 1);
    EXPECT_EQ(cam.changed, 1);
    EXPECT_EQ(cam.reread_mv, 1);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(cam.proj[i], gIdentity[i]);
        EXPECT_EQ(cam.mv[i], gIdentity[i]);
    }
    float h = -5, v = -5;
    EXPECT_EQ(cam.GetFOVHalfCosines(&h, &v), 0);
    EXPECT_EQ(h, -5);
    EXPECT_EQ(v, -5);

    cam.near_z = 3;
    xcam_class copy(&cam);
    EXPECT_EQ(copy.near_z, 3);
}

TEST(Camera, PerspectiveSetsSideNormalsAndFarPlanes)
{
    xcam_class cam;
    cam.SetupPerspective(90, 1, 1, 100);
    EXPECT_EQ(cam.is_ortho, 0);
    EXPECT_EQ(cam.near_z, -1);
    EXPECT_EQ(cam.far_z, -100);
    EXPECT_EQ(cam.fake_far_z, -100);
    const double k = std::sqrt(0.5);
    EXPECT_NEAR(cam.n_top[1], -k, 1e-6);
    EXPECT_NEAR(cam.n_top[2], -k, 1e-6);
    EXPECT_NEAR(cam.n_left[0], k, 1e-6);
    EXPECT_NEAR(cam.n_right[0], -k, 1e-6);
    EXPECT_NEAR(cam.n_bottom[1], k, 1e-6);
    float h = 0, v = 0;
    EXPECT_EQ(cam.GetFOVHalfCosines(&h, &v), 1);
    EXPECT_NEAR(h, 0.7071, 1e-4);
    EXPECT_NEAR(v, 0.7071, 1e-4);
    EXPECT_EQ(cam.GetFOVHalfCosines(nullptr, &v), 1);

    cam.SetFakeFarClippingPlane(500);  // beyond the real far plane: ignored
    EXPECT_EQ(cam.fake_far_z, -100);
    cam.SetFakeFarClippingPlane(30.3);
    EXPECT_EQ(cam.fake_far_z, static_cast<float>(-30.3));
    cam.ResetFakeFarClippingPlane();
    EXPECT_EQ(cam.fake_far_z, -100);

    cam.SetupOrtho(0, 1024, 0, 768, -1, 1);
    EXPECT_EQ(cam.is_ortho, 1);
    EXPECT_EQ(cam.o_right, 1024);
    EXPECT_EQ(cam.o_top, 768);
    EXPECT_EQ(cam.near_z, 1);
    EXPECT_EQ(cam.far_z, -1);
}

TEST(Camera, ModelviewOperationsAndViewVectors)
{
    xcam_class cam;
    cam.reread_mv = 0;  // no OpenGL here: the camera's own modelview is current
    double dir[3], up[3], right[3];
    cam.CalcDirection(dir);
    cam.CalcUp(up);
    cam.CalcRight(right);
    EXPECT_NEAR(dir[2], -1, 1e-12);
    EXPECT_NEAR(up[1], 1, 1e-12);
    EXPECT_NEAR(right[0], 1, 1e-12);

    cam.changed = 0;
    cam.Rotate(90, 0, 0, 1);
    EXPECT_EQ(cam.changed, 1);
    EXPECT_NEAR(cam.mv[1], 1, 1e-12) << "x axis turned into the y axis";
    EXPECT_NEAR(cam.mv[0], 0, 1e-12);

    cam.Identity();
    cam.changed = 0;
    cam.Rotate(45, 0.00001, 0.00001, 0);
    EXPECT_EQ(cam.changed, 1);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(cam.mv[i], gIdentity[i]);

    cam.Translate(1, 2, 3);
    EXPECT_EQ(cam.mv[12], 1);
    EXPECT_EQ(cam.mv[14], 3);

    // Looking from heading 0, pitch 0 at distance 10: the eye sits on +x and looks along -x.
    cam.LookAtPtFromDir(0, 0, 0, 0, 0, 10);
    cam.CalcDirection(dir);
    EXPECT_NEAR(dir[0], -1, 1e-12);
    EXPECT_NEAR(dir[1], 0, 1e-12);
    float bright[3], bup[3];
    cam.CalcBillboardGround(bright, bup);
    EXPECT_NEAR(bright[1], 0, 1e-6) << "ground billboards keep their right axis level";
    EXPECT_NEAR(std::fabs(bright[2]), 1, 1e-6);
    EXPECT_NEAR(bup[1], 1, 1e-6);
}

TEST(Camera, FrustumBoundsInAndOutsideTheHeightBand)
{
    xcam_class cam;
    cam.reread_mv = 0;
    cam.SetupPerspective(90, 1, 1, 100);
    cam.Identity();
    double lo[3], hi[3];
    // Looking down -z from the origin, max distance 10: the volume at heights -1..1.
    ASSERT_TRUE(cam.GetFrustumBounds(10, -1, 1, lo, hi));
    EXPECT_NEAR(lo[1], -1, 1e-5);
    EXPECT_NEAR(hi[1], 1, 1e-5);
    EXPECT_NEAR(lo[2], -10, 1e-4);
    EXPECT_NEAR(lo[0], -10, 1e-4);
    EXPECT_NEAR(hi[0], 10, 1e-4);

    // A band far above the cut volume.
    EXPECT_FALSE(cam.GetFrustumBounds(10, 500, 600, lo, hi));
    EXPECT_EQ(lo[0], 9.9e9);
    EXPECT_EQ(hi[0], -9.9e9);

    // A singular modelview: no bounds, box left empty.
    for (double& e : cam.mv)
        e = 0;
    EXPECT_FALSE(cam.GetFrustumBounds(10, -1, 1, lo, hi));
    EXPECT_EQ(lo[1], 9.9e9);
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
    EXPECT_NEAR(cam.o_left, -10, 1e-6);
    EXPECT_NEAR(cam.o_right, 10, 1e-6);
    EXPECT_NEAR(cam.o_bottom, -10, 1e-6);
    EXPECT_NEAR(cam.o_top, 10, 1e-6);

    xcam_class broken;
    for (double& e : broken.proj)
        e = 0;
    xcam_class before;
    before.Translate(4, 5, 6);
    xcam_class after(before);
    after.LookAtCamera(&broken, dir, 50);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after.mv[i], before.mv[i]);
    EXPECT_EQ(after.is_ortho, before.is_ortho);
}
