// Matrix functions checked against hand-computed values and against the matrices OpenGL's own
// glOrtho/glFrustum/glRotate documentation gives.
#include "gfx/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void expect_matrix_near(const double* actual, const double* expected, double tolerance = 1e-12)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

}  // namespace

TEST(MatrixInvert, InvertsRegularMatricesAndRefusesSingularOnes)
{
    double dst[16];
    ASSERT_EQ(invertMatrix(dst, gIdentity), 1);
    expect_matrix_near(dst, gIdentity);

    // Zero first pivot until the rows are swapped: a permutation of the axes.
    const double permutation[16] = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ASSERT_EQ(invertMatrix(dst, permutation), 1);
    expect_matrix_near(dst, permutation);  // a swap of two axes is its own inverse

    // A general matrix: the product with its inverse is the identity.
    const double general[16] = {2, 0, 1, 0, 1, 3, 0, 0, 0, 1, 4, 0, 5, -2, 7, 1};
    ASSERT_EQ(invertMatrix(dst, general), 1);
    double product[16];
    multMatrices(product, general, dst);
    expect_matrix_near(product, gIdentity, 1e-12);

    // A zero column is singular: dst keeps what it held.
    double zero_column[16];
    std::memcpy(zero_column, general, sizeof(zero_column));
    zero_column[4] = zero_column[5] = zero_column[6] = zero_column[7] = 0;
    double untouched[16];
    for (int i = 0; i < 16; ++i)
        untouched[i] = dst[i] = 42 + i;
    EXPECT_EQ(invertMatrix(dst, zero_column), 0);
    expect_matrix_near(dst, untouched);
}

TEST(MatrixBuild, ProjectionsMatchTheClassicOpenGLMatrices)
{
    double m[16];
    buildOrthoMatrix(m, 0, 1024, 0, 768, -1, 1);
    const double ortho[16] = {2.0 / 1024, 0, 0, 0, 0, 2.0 / 768, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1};
    expect_matrix_near(m, ortho);

    buildFrustumMatrix(m, -1, 1, -1, 1, 1, 3);
    const double frustum[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
    expect_matrix_near(m, frustum);

    // A 90-degree vertical angle at near 1 spans -1..1: the same frustum.
    buildPerspectiveMatrix(m, 90, 1, 1, 3);
    expect_matrix_near(m, frustum, 1e-12);

    buildLookAtMatrix(m, 0, 0, 5, 0, 0, 0, 0, 1, 0);
    double look[16];
    std::memcpy(look, gIdentity, sizeof(look));
    look[14] = -5;
    expect_matrix_near(m, look);
}

TEST(MatrixRotation, SingleAxisAndGeneralAxesAgree)
{
    double a[16], b[16];
    buildRotation(a, 90, 0, 0, -5);
    buildRotation(b, -90, 0, 0, 1);
    expect_matrix_near(a, b);

    // 90 degrees about +z takes the x axis to the y axis.
    buildRotation(a, 90, 0, 0, 1);
    EXPECT_NEAR(a[0], 0, 1e-15);
    EXPECT_NEAR(a[1], 1, 1e-15);
    EXPECT_NEAR(a[4], -1, 1e-15);

    // The general formula on a tilted axis gives the same result as the single-axis shortcut
    // would for that axis: check against a rotation about (1,1,1) by 120 degrees, which cycles
    // x -> y -> z.
    buildRotation(a, 120, 1, 1, 1);
    EXPECT_NEAR(a[0], 0, 1e-12);
    EXPECT_NEAR(a[1], 1, 1e-12);
    EXPECT_NEAR(a[2], 0, 1e-12);
    EXPECT_NEAR(a[6], 1, 1e-12);
    EXPECT_NEAR(a[8], 1, 1e-12);

    // Axes too short to name a direction leave the identity.
    buildRotation(a, 30, 0, 0, 0);
    expect_matrix_near(a, gIdentity);
    buildRotation(a, 30, 0.00005, 0.00005, 0);
    expect_matrix_near(a, gIdentity);
}

TEST(MatrixProduct, TranslationTimesRotationRotatesFirst)
{
    double t[16], r[16], tr[16];
    setIdentityMatrix(t);
    applyTranslation(t, 10, 0, 0);
    buildRotation(r, 90, 0, 0, 1);
    multMatrices(tr, t, r);
    // The point (1, 0, 0) turns to (0, 1, 0), then moves to (10, 1, 0).
    const double x = tr[0] * 1 + tr[12], y = tr[1] * 1 + tr[13];
    EXPECT_NEAR(x, 10, 1e-12);
    EXPECT_NEAR(y, 1, 1e-12);

    // applyRotation multiplies on the right, in place.
    double m[16];
    copyMatrix(m, t);
    applyRotation(m, 90, 0, 0, 1);
    expect_matrix_near(m, tr);

    double transposed[16], sum[16];
    transposeMatrix(transposed, tr);
    EXPECT_EQ(transposed[3], tr[12]);
    addMatrices(sum, tr, transposed);
    EXPECT_EQ(sum[3], tr[12] + tr[3]);
}

TEST(MatrixSegment, AccumulatesOnlyThePartInsideTheHeightBand)
{
    const double p[3] = {0, 0, 0}, q[3] = {10, 10, 20};
    double lo[3] = {9.9e9, 9.9e9, 9.9e9}, hi[3] = {-9.9e9, -9.9e9, -9.9e9};
    accum_segment(2, 4, q, p, lo, hi);  // endpoints given top first
    EXPECT_DOUBLE_EQ(lo[0], 2);
    EXPECT_DOUBLE_EQ(lo[1], 2);
    EXPECT_DOUBLE_EQ(lo[2], 4);
    EXPECT_DOUBLE_EQ(hi[0], 4);
    EXPECT_DOUBLE_EQ(hi[1], 4);
    EXPECT_DOUBLE_EQ(hi[2], 8);

    double lo2[3] = {9.9e9, 9.9e9, 9.9e9}, hi2[3] = {-9.9e9, -9.9e9, -9.9e9};
    accum_segment(12, 14, p, q, lo2, hi2);
    EXPECT_GT(lo2[0], hi2[0]) << "a band above the segment accumulates nothing";

    double lo3[3] = {9.9e9, 9.9e9, 9.9e9}, hi3[3] = {-9.9e9, -9.9e9, -9.9e9};
    accum_segment(5, 5, p, q, lo3, hi3);
    EXPECT_DOUBLE_EQ(lo3[0], 5);
    EXPECT_DOUBLE_EQ(hi3[0], 5);
    EXPECT_DOUBLE_EQ(lo3[2], 10);

    // A horizontal segment counts whole or not at all.
    const double h1[3] = {-1, 3, 0}, h2[3] = {1, 3, 0};
    double lo4[3] = {9.9e9, 9.9e9, 9.9e9}, hi4[3] = {-9.9e9, -9.9e9, -9.9e9};
    accum_segment(2, 4, h1, h2, lo4, hi4);
    EXPECT_DOUBLE_EQ(lo4[0], -1);
    EXPECT_DOUBLE_EQ(hi4[0], 1);
}

TEST(MatrixPrint, PrintsLabelAndRowsInSixDecimals)
{
    testing::internal::CaptureStdout();
    printMatrix("identity", gIdentity);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "identity\n"
              " [ 1.000000 0.000000 0.000000 0.000000 ]\n"
              " [ 0.000000 1.000000 0.000000 0.000000 ]\n"
              " [ 0.000000 0.000000 1.000000 0.000000 ]\n"
              " [ 0.000000 0.000000 0.000000 1.000000 ]\n\n");
}
