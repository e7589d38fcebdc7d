// Space geometry: insets about an up direction, bounding spheres, the prism test, line
// crossings, curves, clipping and quad strips.

#include "geometry/geometry.h"
#include "geometry/shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

constexpr Vector3 UP{0, 1, 0};
const Sphere3 EMPTY;

}  // namespace

TEST(Space, InsetAboutUp)
{
    // Seen from above (+y) this square runs counter-clockwise, so its left is inward.
    Polygon3 out;
    InsetPolygon(Polygon3{{0, 0, 0}, {10, 0, 0}, {10, 0, -10}, {0, 0, -10}}, nullptr, 1, true, UP, out);
    expect_points(out, {{1, 0, -1}, {9, 0, -1}, {9, 0, -9}, {1, 0, -9}});
}

TEST(Space, BoundingSpheres)
{
    struct row {
        Sphere3 s, b, expected;
        bool point;  // extend b by the point s.c instead of the sphere s
    };
    const row rows[] = {
        {EMPTY, {{1, 2, 3}, 4}, {{1, 2, 3}, 4}, false},
        {{{1, 2, 3}, 4}, EMPTY, {{1, 2, 3}, 4}, false},
        {{{1, 0, 0}, 1}, {{0, 0, 0}, 9}, {{0, 0, 0}, 9}, false},  // b holds s
        {{{0, 0, 0}, 9}, {{1, 0, 0}, 1}, {{0, 0, 0}, 9}, false},  // s holds b
        {{{10, 0, 0}, 4}, {{0, 0, 0}, 1}, {{5.5, 0, 0}, 42.25}, false},
        {{{4, 0, 0}, 0}, {{0, 0, 0}, 0}, {{2, 0, 0}, 4}, false},  // spheres of one point each
        {{{3, 0, 0}}, {{0, 0, 0}, 1}, {{1, 0, 0}, 4}, true},
        {{{1, 2, 3}}, EMPTY, {{1, 2, 3}, 0}, true},
    };
    for (const row& r : rows) {
        Sphere3 b = r.b;
        r.point ? ExtendBoundingSphereToPt(r.s.c, b) : ExtendBoundingSphereToSphere(r.s, b);
        EXPECT_EQ(b.c, r.expected.c) << testing::PrintToString(b.c);
        EXPECT_EQ(b.radius_squared, r.expected.radius_squared);
    }
    Sphere3 out{{9, 9, 9}, 1};
    FastBoundingSphere({}, out);
    EXPECT_EQ(out.c, (Point3{9, 9, 9}));
    FastBoundingSphere({{2, 4, 4}, {0, 0, 0}}, out);
    EXPECT_EQ(out.c, (Point3{1, 2, 2}));
    EXPECT_EQ(out.radius_squared, 9);

    random_shapes shapes;
    for (int run = 0; run < PROPERTY_CASES; ++run) {
        const std::vector<Point3> pts = shapes.points(1, 40);
        FastBoundingSphere(pts, out);
        for (const Point3& p : pts) {
            const double dx = p.x - out.c.x, dy = p.y - out.c.y, dz = p.z - out.c.z;
            EXPECT_LE(dx * dx + dy * dy + dz * dz, out.radius_squared * (1 + 1e-12)) << "case " << run;
        }
    }
    std::vector<Point3> pts{{1, NOT_A_NUMBER, 0}, {2, 1, 0}, {NOT_A_NUMBER, 1, 0}, {0, 1, 0}, {5, -3, 1}};
    std::sort(pts.begin(), pts.end(), lesser_y_then_x_then_z);
    expect_points(pts, {{5, -3, 1}, {0, 1, 0}, {2, 1, 0}, {NOT_A_NUMBER, 1, 0}, {1, NOT_A_NUMBER, 0}});
}

TEST(Space, PrismTestAndLineCrossings)
{
    const Polygon3 square{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    EXPECT_TRUE(PointInPolygon3(square, {2, 2, 7}));  // above the outline
    EXPECT_TRUE(PointInPolygon3(square, {4, 2, 0}));  // on an edge
    EXPECT_FALSE(PointInPolygon3(square, {5, 2, 0}));
    EXPECT_FALSE(PointInPolygon3(Polygon3(square.rbegin(), square.rend()), {2, -1, 0}));
    EXPECT_FALSE(PointInPolygon3({{0, 0, 0}, {4, 0, 0}}, {2, 0, 0}));

    // The x axis and the line through (3, 0, 2) along (1, 1, 0) cross at x = 3 seen along z.
    Point3 out{9, 9, 9};
    EXPECT_FALSE(IntersectLinesAroundJunction({{0, 0, 0}, {1, 0, 0}}, {{3, 0, 2}, {-2, 0, 0}}, {7, 7, 5}, out));
    EXPECT_EQ(out, (Point3{9, 9, 9}));
    EXPECT_TRUE(IntersectLinesAroundJunction({{0, 0, 0}, {1, 0, 0}}, {{3, 0, 2}, {1, 1, 0}}, {7, 7, 5}, out));
    expect_points(Polygon3{out}, {{3, 0, 5}}, 1e-12);
}

TEST(Space, BezierCurves)
{
    const Point3 p1{0, 0, 0}, p2{64, 0, 0}, c1{0, 64, 0};
    // Controls given, the first control, steps, least distance from each end, then the curve's points.
    const std::tuple<bool, Point3, int, double, std::vector<Point3>> rows[] = {
        {false, c1, 10, 0, {p1, p2}},
        {true, {16, 0, 0}, 8, 0, {p1, p2}},  // on the chord
        {true, c1, 4, 0, {p1, {10, 36, 0}, {32, 48, 0}, {54, 36, 0}, p2}},
        {true, c1, 4, 40, {p1, {32, 48, 0}, p2}},
        // Thirds step in single precision (t = 0.3333333432674408 and 0.6666666865348816).
        {true,
         c1,
         3,
         0,
         {p1, {16.5925934403031, 42.666667302449525, 0}, {47.40740910282839, 42.666665395100836, 0}, p2}},
    };
    for (const auto& [has_controls, first, steps, min_ends, expected] : rows) {
        std::vector<Point3> out{{7, 7, 7}};
        const Point3 second{p2.x - first.x, first.y, 0};  // the mirror of the first, for a symmetric curve
        BezierCurve(p1, p2, has_controls, has_controls, first, second, steps, min_ends, min_ends, out);
        expect_points(out, expected, 1e-12);
    }
}

TEST(Space, ClipToHalfPlane)
{
    const Polygon3 square{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    const std::tuple<Polygon3, Plane3, Polygon3> rows[] = {
        {square, {{1, 0, 0}, 2}, {{0, 0, 0}, {2, 0, 0}, {2, 4, 0}, {0, 4, 0}}},
        {square, {{1, 1, 0}, 4}, {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}},  // two vertices on the plane
        {square, {{1, 0, 0}, -1}, {}},
        {{}, {{1, 0, 0}, 2}, {}},
        {{{0, 0, 0}, {NOT_A_NUMBER, 0, 0}, {0, 4, 0}}, {{1, 0, 0}, 2}, {{0, 0, 0}, {0, 4, 0}}},
    };
    for (const auto& [poly, plane, expected] : rows) {
        Polygon3 out{{7, 7, 7}};
        ClipToHalfPlane3(poly, plane, out);
        expect_points(out, expected);
    }
}

TEST(QuadStrip, ChainsBecomeRibbons)
{
    const std::vector<double> two{2, 2, 2};
    // The chain, its widths, then the strip.
    const std::tuple<std::vector<Point3>, std::vector<double>, std::vector<Point3>> rows[] = {
        {{{0, 0, 0}, {0, 0, 10}}, {2, 6}, {{-1, 0, 0}, {1, 0, 0}, {-3, 0, 10}, {3, 0, 10}}},
        // A bend: each side's corner is where its two offset lines meet.
        {{{0, 0, 0}, {10, 0, 0}, {10, 0, 10}},
         two,
         {{0, 0, 1}, {0, 0, -1}, {9, 0, 1}, {11, 0, -1}, {9, 0, 10}, {11, 0, 10}}},
        // A nearly straight run and a turn back offset the point itself by the half width, plus side first.
        {{{0, 0, 0}, {10, 0, 0}, {20, 0, 0.1}},
         {2, 4, 0},
         {{0, 0, 1}, {0, 0, -1}, {10, 0, 2}, {10, 0, -2}, {20, 0, 0.1}, {20, 0, 0.1}}},
        {{{0, 0, 0}, {10, 0, 0}, {0, 0, 0}},
         two,
         {{0, 0, 1}, {0, 0, -1}, {10, 0, 1}, {10, 0, -1}, {10, 0, -1}, {10, 0, 1}, {0, 0, -1}, {0, 0, 1}}},
        {{{0, 0, 0}, {10, 0, 0}}, {2}, {{7, 7, 7}}},  // a width missing
    };
    for (const auto& [chain, widths, expected] : rows) {
        std::vector<Point3> strip{{7, 7, 7}};
        ChainToQuadStrip(chain, std::vector<Vector3>(chain.size(), UP), widths, strip);
        expect_points(strip, expected);
    }
}

TEST(QuadStrip, CutsOffTheFrontOrTheBack)
{
    // Pairs at x = 0, 10 and 20, the even side along z = 0 and the odd side along z = 1.
    const std::vector<Point3> s{{0, 0, 0}, {0, 0, 1}, {10, 0, 0}, {10, 0, 1}, {20, 0, 0}, {20, 0, 1}};
    const Point3 e5{5, 0, 0}, o5{5, 0, 1}, e15{15, 0, 0}, o15{15, 0, 1};
    // The cut, from the back, then the strip and what was removed.
    const std::tuple<double, bool, std::vector<Point3>, std::vector<Point3>> rows[] = {
        {5, false, {e5, o5, s[2], s[3], s[4], s[5]}, {s[0], s[1], e5, o5}},
        {10, false, {s[2], s[3], s[4], s[5]}, {s[0], s[1], s[2], s[3]}},  // ends on a pair
        {10, true, {s[0], s[1], s[2], s[3]}, {s[2], s[3], s[4], s[5]}},
        {15, false, {e15, o15, s[4], s[5]}, {s[0], s[1], s[2], s[3], e15, o15}},
        {5, true, {s[0], s[1], s[2], s[3], e15, o15}, {e15, o15, s[4], s[5]}},
        {25, false, s, {}},
        {0, false, s, {}},
    };
    for (const auto& [dist, back, expected, expected_removed] : rows) {
        std::vector<Point3> strip = s, removed{{7, 7, 7}};
        (back ? RemoveFromQuadStripBack : RemoveFromQuadStripFront)(strip, dist, removed, false);
        expect_points(strip, expected);
        expect_points(removed, expected_removed);
    }
    EXPECT_EQ(LongerSideOfQuad({{-6, 0, 0}, {0, 0, 1}, {10, 0, 0}, {10, 0, 1}}), 6);
    EXPECT_EQ(LongerSideOfQuad({{0, 0, 0}, {-6, 0, 1}, {10, 0, 0}, {10, 0, 1}}), -6);
    // The odd side starts 6 further forward, so with even ends it loses 6 more and the new ends lie across.
    std::vector<Point3> strip{{0, 0, 0}, {-6, 0, 1}, {10, 0, 0}, {10, 0, 1}}, removed;
    RemoveFromQuadStripFront(strip, 1, removed, true);
    expect_points(strip, {{1, 0, 0}, {1, 0, 1}, {10, 0, 0}, {10, 0, 1}});
    expect_points(removed, {{0, 0, 0}, {-6, 0, 1}, {1, 0, 0}, {1, 0, 1}});
}
