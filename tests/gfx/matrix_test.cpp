// Matrix functions checked against hand-computed values and against the matrices OpenGL's own
// glOrtho/glFrustum/glRotate documentation gives.
#include "gfx/matrix.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

void expect_matrix_near(const double* actual, const double* expected, double tolerance = 1e-12)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

}  // namespace

TEST(Matrix, InverseTimesTheMatrixIsTheIdentityAndSingularOnesAreRefused)
{
    // The permutation has a zero first pivot until its rows are swapped.
    const double permutation[16] = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const double general[16] = {2, 0, 1, 0, 1, 3, 0, 0, 0, 1, 4, 0, 5, -2, 7, 1};
    for (const double* m : {static_cast<const double*>(gIdentity), permutation, general}) {
        double inverse[16], product[16];
        ASSERT_EQ(invertMatrix(inverse, m), 1);
        multMatrices(product, m, inverse);
        expect_matrix_near(product, gIdentity);
    }
    // A zero column is singular: dst keeps what it held.
    double zero_column[16], dst[16], untouched[16];
    std::memcpy(zero_column, general, sizeof(zero_column));
    zero_column[4] = zero_column[5] = zero_column[6] = zero_column[7] = 0;
    for (int i = 0; i < 16; ++i)
        untouched[i] = dst[i] = 42 + i;
    EXPECT_EQ(invertMatrix(dst, zero_column), 0);
    expect_matrix_near(dst, untouched);
}

TEST(Matrix, BuildersMatchTheClassicOpenGLMatrices)
{
    const double ortho[16] = {2.0 / 1024, 0, 0, 0, 0, 2.0 / 768, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1};
    const double frustum[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
    const double look[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1};
    const double z_90[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const double cycle[16] = {0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1};  // x -> y -> z -> x
    const std::pair<std::function<void(double*)>, const double*> cases[] = {
        {[](double* m) { buildOrthoMatrix(m, 0, 1024, 0, 768, -1, 1); }, ortho},
        {[](double* m) { buildFrustumMatrix(m, -1, 1, -1, 1, 1, 3); }, frustum},
        {[](double* m) { buildPerspectiveMatrix(m, 90, 1, 1, 3); }, frustum},  // 90 degrees at near 1 spans -1..1
        {[](double* m) { buildLookAtMatrix(m, 0, 0, 5, 0, 0, 0, 0, 1, 0); }, look},
        {[](double* m) { buildRotation(m, 90, 0, 0, 1); }, z_90},
        {[](double* m) { buildRotation(m, -90, 0, 0, -5); }, z_90},     // the axis is normalised
        {[](double* m) { buildRotation(m, 120, 1, 1, 1); }, cycle},     // the general formula
        {[](double* m) { buildRotation(m, 30, 0, 0, 0); }, gIdentity},  // axes too short to name a direction
        {[](double* m) { buildRotation(m, 30, 0.00005, 0.00005, 0); }, gIdentity},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        double m[16];
        cases[i].first(m);
        expect_matrix_near(m, cases[i].second);
    }
}

TEST(Matrix, ProductsApplyTheRightHandMatrixFirst)
{
    double t[16], r[16], tr[16], m[16];
    setIdentityMatrix(t);
    applyTranslation(t, 10, 0, 0);
    buildRotation(r, 90, 0, 0, 1);
    multMatrices(tr, t, r);
    // The point (1, 0, 0) turns to (0, 1, 0), then moves to (10, 1, 0).
    EXPECT_NEAR(std::abs(tr[0] + tr[12] - 10) + std::abs(tr[1] + tr[13] - 1), 0, 1e-12);
    copyMatrix(m, t);
    applyRotation(m, 90, 0, 0, 1);  // on the right, in place
    expect_matrix_near(m, tr);
}

TEST(Matrix, SegmentsAccumulateOnlyTheirPartInsideTheHeightBand)
{
    struct segment {
        double low, high, p[3], q[3];
        std::vector<double> box;  // min x, y, z, max x, y, z
    };
    const segment cases[] = {
        {2, 4, {10, 10, 20}, {0, 0, 0}, {2, 2, 4, 4, 4, 8}},                               // endpoints given top first
        {12, 14, {0, 0, 0}, {10, 10, 20}, {9.9e9, 9.9e9, 9.9e9, -9.9e9, -9.9e9, -9.9e9}},  // above: nothing added
        {5, 5, {0, 0, 0}, {10, 10, 20}, {5, 5, 10, 5, 5, 10}},
        {2, 4, {-1, 3, 0}, {1, 3, 0}, {-1, 3, 0, 1, 3, 0}},  // a horizontal segment counts whole
    };
    for (const segment& s : cases) {
        double lo[3] = {9.9e9, 9.9e9, 9.9e9}, hi[3] = {-9.9e9, -9.9e9, -9.9e9};
        accum_segment(s.low, s.high, s.p, s.q, lo, hi);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_NEAR(i < 3 ? lo[i] : hi[i - 3], s.box[i], 1e-12) << s.low << ".." << s.high << " #" << i;
    }
}
