// Plane geometry: direction order, the largest inset, simplification and insets.

#include "geometry/geometry.h"
#include "geometry/shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

double shoelace_area(const Polygon2& poly)
{
    double twice = 0;
    for (size_t i = 0; i < poly.size(); ++i)
        twice += poly[i].x * poly[(i + 1) % poly.size()].y - poly[(i + 1) % poly.size()].x * poly[i].y;
    return twice / 2;
}

}  // namespace

TEST(Plane, DirectionsBetweenCounterClockwise)
{
    const std::tuple<Vector2, Vector2, Vector2, bool> rows[] = {
        {{1, 0}, {0, 1}, {-1, 0}, true},
        {{1, 0}, {0, -1}, {-1, 0}, false},
        {{1, 0}, {1, 0}, {-1, 0}, false},
        {{0, 1}, {0, -1}, {0, 1}, true},
        {{1, 0}, {0, NOT_A_NUMBER}, {-1, 0}, false},
        {{-1, -0.0}, {0, 1}, {-1, 0}, true},  // (-1, -0) equals (-1, 0): one direction
    };
    for (const auto& [a, b, c, between] : rows)
        EXPECT_EQ(Is_CCW_Between(a, b, c), between) << b.x << "," << b.y;
}

TEST(Plane, LargestInsetBeforeAnEdgeVanishes)
{
    const Polygon2 rectangle{{0, 0}, {10, 0}, {10, 4}, {0, 4}};
    const std::tuple<Polygon2, std::vector<double>, bool, double> rows[] = {
        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {}, true, 0.5},
        {{{0, 0}, {10, 0}, {10, 10}}, {}, false, 10},
        {rectangle, {1, 0, 0, 0}, true, 4},  // only the bottom moves: it meets the top at 4
        // Edge 0, the short top, grows while its slanted neighbours stay: the sides decide.
        {{{7, 4}, {3, 4}, {0, 0}, {10, 0}}, {1, 0, 1, 0}, true, 2},
        {{}, {}, true, 0},
    };
    for (const auto& [poly, ratios, closed, expected] : rows)
        EXPECT_NEAR(CalcMaxInset(poly, ratios.empty() ? nullptr : ratios.data(), closed), expected, 1e-12);
}

TEST(Plane, ReducePolygonDropsNearAndStraightPoints)
{
    // Tolerances of deviation, turn, far and near, then what is left.
    const std::tuple<Polygon2, double, double, double, double, Polygon2> rows[] = {
        {{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {0, 2}}, 1e-6, 0.99, 0, 0, {{0, 0}, {2, 0}, {2, 2}, {0, 2}}},
        // Near the chord but turning too much, or with a neighbour nearer than tol_far: kept.
        {{{0, 0}, {1, 0.5}, {2, 0}, {2, 2}}, 1, 0.99, 0, 0, {{0, 0}, {1, 0.5}, {2, 0}, {2, 2}}},
        {{{0, 0}, {1, 0}, {3, 0}, {3, 3}}, 1, 0.5, 1.5, 0, {{0, 0}, {1, 0}, {3, 0}, {3, 3}}},
        // Of two points nearer than tol_near the first goes; a triangle can end with 2.
        {{{0, 0}, {2, 0}, {2, 0.001}, {0, 2}}, 0, 1, 0, 0.01, {{0, 0}, {2, 0.001}, {0, 2}}},
        {{{0, 0}, {1, 0}, {0, 1}}, 0, 1, 0, 5, {{1, 0}, {0, 1}}},
        {{{0, 0}, {NOT_A_NUMBER, 1}, {2, 2}, {0, 2}}, 1, 0, 0, 0, {{0, 0}, {NOT_A_NUMBER, 1}, {2, 2}, {0, 2}}},
    };
    for (const auto& [poly, tol_dev, tol_cos, tol_far, tol_near, expected] : rows) {
        Polygon2 reduced = poly;
        ReducePolygon(reduced, tol_dev, tol_cos, tol_far, tol_near);
        expect_points(reduced, expected);
    }
}

TEST(Plane, InsetOutlinesByHand)
{
    // Outline, closed, distance, then the inset outline and where its caps start.
    const std::tuple<Polygon2, bool, double, Polygon2, std::vector<int>> rows[] = {
        {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true, 1, {{1, 1}, {9, 1}, {9, 9}, {1, 9}}, {}},
        {{{0, 0}, {10, 0}, {10, 10}}, false, 1, {{0, 1}, {9, 1}, {9, 10}}, {}},
        {{{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}}, true, 1, {{1, 1}, {9, 1}, {9, 9}, {1, 9}}, {}},  // straight
        // A spike gets a cap around its tip; the dropped straight corner before it moves its index.
        {{{0, 0}, {5, 0}, {10, 0}, {5, 0}}, false, 1, {{0, 1}, {11, 1}, {11, -1}, {5, -1}}, {1}},
        {{{0, 0}, {4, 0}}, true, 1, {{-1, -1}, {-1, 1}, {5, 1}, {5, -1}}, {0, 2}},
        {{}, true, 1, {}, {}},
    };
    for (const auto& [poly, closed, dist, expected, expected_caps] : rows) {
        Polygon2 out{{7, 7}};
        std::vector<int> caps;
        const auto record_cap = [](int first, void* ref) { static_cast<std::vector<int>*>(ref)->push_back(first); };
        InsetPolygon(poly, nullptr, dist, closed, out, record_cap, &caps);
        expect_points(out, expected);
        EXPECT_EQ(caps, expected_caps);
    }
}

TEST(Plane, RandomConvexPolygonsInsetAsTheirCornersSay)
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
            perimeter += std::hypot(vx, vy);
            corners += 1 / std::tan(std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy) / 2);
        }
        const double area = shoelace_area(poly);
        const double d = CalcMaxInset(poly, nullptr, true) * shapes.uniform(0.05, 0.95);
        Polygon2 out;
        InsetPolygon(poly, nullptr, d, true, out, nullptr, nullptr);
        ASSERT_EQ(out.size(), n);
        EXPECT_NEAR(shoelace_area(out), area - d * perimeter + d * d * corners, 1e-9 * area) << "case " << run;

        // At the largest inset for uneven ratios one edge has just vanished and none has turned back:
        // measured along its original, the shortest inset edge is 0.
        std::vector<double> ratios(n);
        for (double& ratio : ratios)
            ratio = shapes.uniform(0.2, 2);
        InsetPolygon(poly, ratios.data(), CalcMaxInset(poly, ratios.data(), true), true, out, nullptr, nullptr);
        ASSERT_EQ(out.size(), n);
        double shortest = perimeter;
        for (size_t i = 0; i < n; ++i) {
            const Point2 &a = poly[i], &b = poly[(i + 1) % n], &p = out[i], &q = out[(i + 1) % n];
            shortest = std::min(
                shortest, ((q.x - p.x) * (b.x - a.x) + (q.y - p.y) * (b.y - a.y)) / std::hypot(b.x - a.x, b.y - a.y));
        }
        EXPECT_NEAR(shortest, 0, 1e-9 * perimeter) << "case " << run;
    }
}
