// Plane geometry: direction order, rectangle mapping, the largest inset and simplification.

#include "geometry/geometry.h"
#include "geometry/shapes.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(PlaneGeometry, DirectionsBetweenCounterClockwise)
{
    struct row {
        Vector2 a, b, c;
        bool between;
    };
    const row rows[] = {
        {{1, 0}, {0, 1}, {-1, 0}, true},
        {{1, 0}, {0, -1}, {-1, 0}, false},
        {{1, 0}, {1, 0}, {-1, 0}, false},
        {{1, 0}, {-1, 0}, {-1, 0}, false},
        {{0, 1}, {0, -1}, {0, 1}, true},
        {{-1, 1}, {1, -1}, {1, 1}, true},
        {{1, 0}, {0, NOT_A_NUMBER}, {-1, 0}, false},
        // (-1, -0) and (-1, 0) compare equal, so they are one direction.
        {{-1, -0.0}, {0, 1}, {-1, 0}, true},
    };
    for (const row& r : rows)
        EXPECT_EQ(Is_CCW_Between(r.a, r.b, r.c), r.between) << r.b.x << "," << r.b.y;
}

TEST(PlaneGeometry, RectangleMappingGoesBothWays)
{
    const CoordTranslator map{{0, 0}, {10, 20}, {100, 200}, {300, 0}};
    EXPECT_EQ(map.Forward({5, 5}), (Point2{200, 150}));
    EXPECT_EQ(map.Reverse({200, 150}), (Point2{5, 5}));
    EXPECT_EQ(map.Forward({10, 20}), (Point2{300, 0}));
}

TEST(PlaneGeometry, LargestInsetBeforeAnEdgeVanishes)
{
    struct row {
        Polygon2 poly;
        std::vector<double> ratios;
        bool closed;
        double expected;
    };
    const Polygon2 rectangle{{0, 0}, {10, 0}, {10, 4}, {0, 4}};
    // Edge 0, the short top, grows while its slanted neighbours stay: the bottom and the sides decide.
    const Polygon2 trapezoid{{7, 4}, {3, 4}, {0, 0}, {10, 0}};
    const row rows[] = {
        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {}, true, 0.5},
        {{{0, 0}, {10, 0}, {10, 10}}, {}, false, 10},
        {rectangle, {1, 0, 0, 0}, true, 4},  // only the bottom moves: it meets the top at 4
        {rectangle, {1, 0, 1, 0}, true, 2},
        {trapezoid, {1, 0, 1, 0}, true, 2},
        {{}, {}, true, 0},
        {{{3, 3}}, {}, true, 0},
    };
    for (const row& r : rows)
        EXPECT_NEAR(CalcMaxInset(r.poly, r.ratios.empty() ? nullptr : r.ratios.data(), r.closed), r.expected, 1e-12)
            << r.poly.size() << " points";
}

TEST(PlaneGeometry, ReducePolygonDropsNearAndStraightPoints)
{
    struct row {
        Polygon2 poly;
        double tol_dev, tol_cos, tol_far, tol_near;
        Polygon2 expected;
    };
    const Polygon2 square{{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    const row rows[] = {
        {{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {0, 2}}, 1e-6, 0.99, 0, 0, square},
        // Of two points closer than tol_near the first goes.
        {{{0, 0}, {2, 0}, {2, 0.001}, {2, 2}, {0, 2}}, 0, 1, 0, 0.01, {{0, 0}, {2, 0.001}, {2, 2}, {0, 2}}},
        // Neighbours nearer than tol_far protect a straight point.
        {{{0, 0}, {1, 0}, {2, 0}, {2, 2}, {0, 2}}, 1, 0.5, 1.5, 0, {{0, 0}, {1, 0}, {2, 0}, {2, 2}, {0, 2}}},
        // Close to the chord but turning too much.
        {{{0, 0}, {1, 0.5}, {2, 0}, {2, 2}, {0, 2}}, 1, 0.99, 0, 0, {{0, 0}, {1, 0.5}, {2, 0}, {2, 2}, {0, 2}}},
        // The count is checked before each point, so a triangle can end with 2.
        {{{0, 0}, {1, 0}, {0, 1}}, 0, 1, 0, 5, {{1, 0}, {0, 1}}},
        {{{0, 0}, {NOT_A_NUMBER, 1}, {2, 2}, {0, 2}}, 1, 0, 0, 0, {{0, 0}, {NOT_A_NUMBER, 1}, {2, 2}, {0, 2}}},
    };
    for (const row& r : rows) {
        Polygon2 poly = r.poly;
        ReducePolygon(poly, r.tol_dev, r.tol_cos, r.tol_far, r.tol_near);
        expect_points(poly, r.expected);
    }
}
