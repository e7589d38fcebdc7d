// Space geometry: bounding spheres, the prism test, line crossings, curves and clipping.

#include "geometry/geometry.h"
#include "geometry/shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
const Sphere3 EMPTY;

double side_of(const Plane3& plane, const Point3& p)
{
    return plane.n.x * p.x + plane.n.y * p.y + plane.n.z * p.z;
}

void expect_sphere(const Sphere3& actual, const Sphere3& expected)
{
    EXPECT_EQ(actual.c, expected.c) << testing::PrintToString(actual.c);
    EXPECT_EQ(actual.radius_squared, expected.radius_squared);
}

}  // namespace

TEST(Space, BoundingSpheresByHand)
{
    struct sphere_row {
        Sphere3 s, b, expected;
    };
    const sphere_row sphere_rows[] = {
        {EMPTY, {{1, 2, 3}, 4}, {{1, 2, 3}, 4}},
        {{{1, 2, 3}, 4}, EMPTY, {{1, 2, 3}, 4}},
        {{{1, 0, 0}, 1}, {{0, 0, 0}, 9}, {{0, 0, 0}, 9}},  // b holds s
        {{{0, 0, 0}, 9}, {{1, 0, 0}, 1}, {{0, 0, 0}, 9}},  // s holds b
        {{{10, 0, 0}, 4}, {{0, 0, 0}, 1}, {{5.5, 0, 0}, 42.25}},
        {{{4, 0, 0}, 0}, {{0, 0, 0}, 0}, {{2, 0, 0}, 4}},  // two spheres of one point each
    };
    for (const sphere_row& r : sphere_rows) {
        Sphere3 b = r.b;
        ExtendBoundingSphereToSphere(r.s, b);
        expect_sphere(b, r.expected);
    }
    struct point_row {
        Point3 p;
        Sphere3 b, expected;
    };
    const point_row point_rows[] = {
        {{3, 0, 0}, {{0, 0, 0}, 1}, {{1, 0, 0}, 4}},
        {{0.5, 0, 0}, {{0, 0, 0}, 1}, {{0, 0, 0}, 1}},
        {{1, 2, 3}, EMPTY, {{1, 2, 3}, 0}},
        {{0, 4, 0}, {{0, 0, 0}, 0}, {{0, 2, 0}, 4}},
    };
    for (const point_row& r : point_rows) {
        Sphere3 b = r.b;
        ExtendBoundingSphereToPt(r.p, b);
        expect_sphere(b, r.expected);
    }
    Sphere3 out{{9, 9, 9}, 1};
    FastBoundingSphere({}, out);
    expect_sphere(out, {{9, 9, 9}, 1});
    FastBoundingSphere({{1, 2, 3}}, out);
    expect_sphere(out, {{1, 2, 3}, 0});
    FastBoundingSphere({{2, 4, 4}, {0, 0, 0}}, out);
    expect_sphere(out, {{1, 2, 2}, 9});
}

TEST(Space, BoundingSphereHoldsEveryPointAndNaNSortsLast)
{
    random_shapes shapes;
    for (int run = 0; run < PROPERTY_CASES; ++run) {
        std::vector<Point3> pts(size_t(shapes.count(1, 40)));
        for (Point3& p : pts)
            p = shapes.point(100);
        Sphere3 sphere;
        FastBoundingSphere(pts, sphere);
        for (const Point3& p : pts) {
            const double dx = p.x - sphere.c.x, dy = p.y - sphere.c.y, dz = p.z - sphere.c.z;
            EXPECT_LE(dx * dx + dy * dy + dz * dz, sphere.radius_squared * (1 + 1e-12)) << "case " << run;
        }
    }
    std::vector<Point3> pts{{1, NOT_A_NUMBER, 0}, {2, 1, 0}, {NOT_A_NUMBER, 1, 0}, {0, 1, 0}, {5, -3, 1}};
    std::sort(pts.begin(), pts.end(), lesser_y_then_x_then_z);
    expect_points(pts, {{5, -3, 1}, {0, 1, 0}, {2, 1, 0}, {NOT_A_NUMBER, 1, 0}, {1, NOT_A_NUMBER, 0}});
}

TEST(Space, PointInPrismOverAPolygon)
{
    const Polygon3 square{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    const Polygon3 clockwise(square.rbegin(), square.rend());
    struct row {
        const Polygon3& poly;
        Point3 q;
        bool inside;
    };
    const Polygon3 two{{0, 0, 0}, {4, 0, 0}};
    const row rows[] = {
        {square, {2, 2, 0}, true}, {square, {2, 2, 7}, true},    {square, {5, 2, 0}, false},
        {square, {4, 2, 0}, true}, {clockwise, {2, 2, 0}, true}, {clockwise, {2, -1, 0}, false},
        {two, {2, 0, 0}, false},
    };
    for (const row& r : rows)
        EXPECT_EQ(PointInPolygon3(r.poly, r.q), r.inside) << testing::PrintToString(r.q);
}

TEST(Space, LinesCrossSeenAlongTheirCommonNormal)
{
    struct row {
        Line3 a, b;
        Point3 junction;
        bool crosses;
        Point3 expected;
    };
    const row rows[] = {
        {{{0, 0, 0}, {1, 0, 0}}, {{3, 0, 2}, {0, 1, 0}}, {7, 7, 5}, true, {3, 0, 5}},
        {{{0, 0, 0}, {1, 0, 0}}, {{3, 0, 2}, {0, 1, 0}}, {0, 0, -1}, true, {3, 0, -1}},
        {{{0, 0, 0}, {1, 0, 0}}, {{3, 0, 2}, {-2, 0, 0}}, {7, 7, 5}, false, {9, 9, 9}},
        {{{0, 0, 0}, {0, 0, 0}}, {{3, 0, 2}, {0, 1, 0}}, {7, 7, 5}, false, {9, 9, 9}},
    };
    for (const row& r : rows) {
        Point3 out{9, 9, 9};
        EXPECT_EQ(IntersectLinesAroundJunction(r.a, r.b, r.junction, out), r.crosses);
        EXPECT_EQ(out, r.expected) << testing::PrintToString(out);
    }
}

TEST(Space, BezierCurves)
{
    struct row {
        bool has_c1, has_c2;
        Point3 c1, c2;
        int steps;
        double min_start, min_end;
        std::vector<Point3> expected;
        double tolerance = 0;
    };
    const Point3 p1{0, 0, 0}, p2{64, 0, 0};
    const row rows[] = {
        {false, false, {0, 64, 0}, {64, 64, 0}, 10, 0, 0, {p1, p2}},
        {true, true, {16, 0, 0}, {48, 0, 0}, 8, 0, 0, {p1, p2}},  // on the chord
        {true, true, {0, 64, 0}, {64, 64, 0}, 4, 0, 0, {p1, {10, 36, 0}, {32, 48, 0}, {54, 36, 0}, p2}},
        {true, true, {0, 64, 0}, {64, 64, 0}, 4, 40, 40, {p1, {32, 48, 0}, p2}},
        {true, true, {0, 64, 0}, {64, 64, 0}, 0, 0, 0, {p1, p2}},
        {true, false, {0, 64, 0}, {9, 9, 9}, 2, 0, 0, {p1, {32, 24, 0}, p2}},
        // Thirds step in single precision (t = 0.3333333432674408 and 0.6666666865348816).
        {true,
         true,
         {0, 64, 0},
         {64, 64, 0},
         3,
         0,
         0,
         {p1, {16.5925934403031, 42.666667302449525, 0}, {47.40740910282839, 42.666665395100836, 0}, p2},
         1e-12},
    };
    for (const row& r : rows) {
        std::vector<Point3> out{{7, 7, 7}};
        BezierCurve(p1, p2, r.has_c1, r.has_c2, r.c1, r.c2, r.steps, r.min_start, r.min_end, out);
        expect_points(out, r.expected, r.tolerance);
    }
}

TEST(Space, ClipToHalfPlaneByHand)
{
    struct row {
        Polygon3 poly;
        Plane3 plane;
        Polygon3 expected;
    };
    const Polygon3 square{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    const row rows[] = {
        {square, {{1, 0, 0}, 2}, {{0, 0, 0}, {2, 0, 0}, {2, 4, 0}, {0, 4, 0}}},
        // Two vertices lie on the plane x + y = 4: each is kept once and adds no crossing.
        {square, {{1, 1, 0}, 4}, {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}},
        {square, {{1, 0, 0}, -1}, {}},
        {square, {{0, -1, 0}, 0}, square},
        {{}, {{1, 0, 0}, 2}, {}},
        {{{0, 0, 0}, {NOT_A_NUMBER, 0, 0}, {0, 4, 0}}, {{1, 0, 0}, 2}, {{0, 0, 0}, {0, 4, 0}}},
    };
    for (const row& r : rows) {
        Polygon3 out{{7, 7, 7}};
        ClipToHalfPlane3(r.poly, r.plane, out);
        expect_points(out, r.expected);
    }
}

TEST(Space, ClipKeepsTheInnerSideAndEveryInnerPoint)
{
    random_shapes shapes;
    for (int run = 0; run < PROPERTY_CASES; ++run) {
        Polygon3 poly(size_t(shapes.count(3, 12)));
        for (Point3& p : poly)
            p = shapes.point(100);
        const Plane3 plane{{shapes.uniform(-1, 1), shapes.uniform(-1, 1), shapes.uniform(-1, 1)},
                           shapes.uniform(-50, 50)};
        Polygon3 out;
        ClipToHalfPlane3(poly, plane, out);
        size_t kept = 0, crossings = 0;
        for (size_t i = 0; i < poly.size(); ++i) {
            const bool inside = side_of(plane, poly[i]) <= plane.d;
            kept += inside;
            crossings += inside != (side_of(plane, poly[(i + 1) % poly.size()]) <= plane.d);
        }
        ASSERT_EQ(out.size(), kept + crossings) << "case " << run;
        auto from = out.begin();
        for (const Point3& p : poly) {
            if (side_of(plane, p) > plane.d)
                continue;
            from = std::find(from, out.end(), p);
            ASSERT_NE(from, out.end()) << "inner point missing or out of order in case " << run;
            ++from;
        }
        for (const Point3& p : out)
            EXPECT_LE(side_of(plane, p), plane.d + 1e-12 * 400) << "case " << run;
    }
}
