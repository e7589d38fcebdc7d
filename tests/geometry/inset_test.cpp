// Moving sides and insetting outlines, in the plane and about an up direction in space.

#include "geometry/geometry.h"
#include "geometry/shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

void record_cap(int first, void* ref)
{
    static_cast<std::vector<int>*>(ref)->push_back(first);
}

// The length of an edge's inset counterpart measured along the original edge: negative once the
// inset edge has turned back on itself.
double along_edge(const Polygon2& poly, const Polygon2& inset, size_t i)
{
    const Point2 &a = poly[i], &b = poly[(i + 1) % poly.size()];
    const Point2 &p = inset[i], &q = inset[(i + 1) % inset.size()];
    return ((q.x - p.x) * (b.x - a.x) + (q.y - p.y) * (b.y - a.y)) / std::hypot(b.x - a.x, b.y - a.y);
}

}  // namespace

TEST(Inset, MoveSegLeftInThePlaneAndInSpace)
{
    struct plane_row {
        Segment2 s;
        double dist;
        Segment2 expected;
    };
    const plane_row plane_rows[] = {
        {{{0, 0}, {10, 0}}, 2, {{0, 2}, {10, 2}}},    {{{0, 0}, {0, 10}}, 2, {{-2, 0}, {-2, 10}}},
        {{{0, 0}, {10, 0}}, -2, {{0, -2}, {10, -2}}}, {{{0, 0}, {3, 4}}, 5, {{-4, 3}, {-1, 7}}},
        {{{1, 1}, {1, 1}}, 5, {{1, 1}, {1, 1}}},
    };
    for (const plane_row& r : plane_rows) {
        Segment2 out;
        MoveSegLeft(r.s, r.dist, out);
        expect_points(Polygon2{out.p1, out.p2}, {r.expected.p1, r.expected.p2});
    }
    struct space_row {
        Segment3 s;
        Vector3 up;
        Segment3 expected;
    };
    const space_row space_rows[] = {
        {{{0, 0, 0}, {10, 0, 0}}, {0, 1, 0}, {{0, 0, -3}, {10, 0, -3}}},
        {{{0, 0, 0}, {0, 5, 0}}, {0, 1, 0}, {{0, 0, 0}, {0, 5, 0}}},  // along up
        {{{2, 2, 2}, {2, 2, 2}}, {0, 1, 0}, {{2, 2, 2}, {2, 2, 2}}},
    };
    for (const space_row& r : space_rows) {
        Segment3 out;
        MoveSegLeft(r.s, 3, out, r.up);
        expect_points(Polygon3{out.p1, out.p2}, {r.expected.p1, r.expected.p2});
    }
}

TEST(Inset, OutlinesByHand)
{
    struct row {
        Polygon2 poly;
        bool closed;
        double dist, tolerance;
        Polygon2 expected;
        std::vector<int> caps;
    };
    const row rows[] = {
        {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true, 1, 0, {{1, 1}, {9, 1}, {9, 9}, {1, 9}}, {}},
        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, true, 0.1, 1e-15, {{0.1, 0.1}, {0.9, 0.1}, {0.9, 0.9}, {0.1, 0.9}}, {}},
        {{{0, 0}, {10, 0}, {10, 10}}, false, 1, 0, {{0, 1}, {9, 1}, {9, 10}}, {}},
        // A straight corner joins parallel sides and adds nothing.
        {{{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}}, true, 1, 0, {{1, 1}, {9, 1}, {9, 9}, {1, 9}}, {}},
        // A spike gets a cap around its tip; the dropped straight corner before it moves its index.
        {{{0, 0}, {5, 0}, {10, 0}, {5, 0}}, false, 1, 0, {{0, 1}, {11, 1}, {11, -1}, {5, -1}}, {1}},
        {{{0, 0}, {4, 0}}, true, 1, 0, {{-1, -1}, {-1, 1}, {5, 1}, {5, -1}}, {0, 2}},
        {{}, true, 1, 0, {}, {}},
    };
    for (const row& r : rows) {
        Polygon2 out{{7, 7}};
        std::vector<int> caps;
        InsetPolygon(r.poly, nullptr, r.dist, r.closed, out, record_cap, &caps);
        expect_points(out, r.expected, r.tolerance);
        EXPECT_EQ(caps, r.caps);
    }
    // In space about y, a square in the x-z plane taken so that its left is inward.
    Polygon3 out;
    InsetPolygon(Polygon3{{0, 0, 0}, {10, 0, 0}, {10, 0, -10}, {0, 0, -10}}, nullptr, 1, true, {0, 1, 0}, out);
    expect_points(out, {{1, 0, -1}, {9, 0, -1}, {9, 0, -9}, {1, 0, -9}});
}

TEST(Inset, RandomConvexPolygonsShrinkAsTheirCornersSay)
{
    random_shapes shapes;
    for (int run = 0; run < PROPERTY_CASES; ++run) {
        const Polygon2 poly = shapes.convex_polygon();
        const size_t n = poly.size();
        // Moving every side in by d takes d times the perimeter and gives back d^2 cot(angle / 2)
        // at each corner.
        double perimeter = 0, corners = 0;
        for (size_t i = 0; i < n; ++i) {
            const Point2 &prev = poly[(i + n - 1) % n], &p = poly[i], &next = poly[(i + 1) % n];
            const double ux = prev.x - p.x, uy = prev.y - p.y, vx = next.x - p.x, vy = next.y - p.y;
            const double angle = std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy);
            perimeter += std::hypot(vx, vy);
            corners += 1 / std::tan(angle / 2);
        }
        const double area = shoelace_area(poly);
        const double d = CalcMaxInset(poly, nullptr, true) * shapes.uniform(0.05, 0.95);
        Polygon2 out;
        InsetPolygon(poly, nullptr, d, true, out, nullptr, nullptr);
        ASSERT_EQ(out.size(), n);
        EXPECT_NEAR(shoelace_area(out), area - d * perimeter + d * d * corners, 1e-9 * area) << "case " << run;

        // At the largest inset for uneven ratios the first edge has just vanished and none has
        // turned back.
        std::vector<double> ratios(n);
        for (double& ratio : ratios)
            ratio = shapes.uniform(0.2, 2);
        InsetPolygon(poly, ratios.data(), CalcMaxInset(poly, ratios.data(), true), true, out, nullptr, nullptr);
        ASSERT_EQ(out.size(), n);
        double shortest = perimeter;
        for (size_t i = 0; i < n; ++i)
            shortest = std::min(shortest, along_edge(poly, out, i));
        EXPECT_NEAR(shortest, 0, 1e-9 * perimeter) << "case " << run;
    }
}
