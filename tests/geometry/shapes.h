#pragma once
// Builders and checks shared by the geometry tests: random shapes from a fixed start, so that
// every run checks the same few thousand cases, and point lists compared exactly or within a
// tolerance, NaN matching NaN.

#include "geometry/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <random>
#include <vector>

constexpr int PROPERTY_CASES = 3000;

inline void PrintTo(const Point2& p, std::ostream* out)
{
    *out << "(" << p.x << ", " << p.y << ")";
}
inline void PrintTo(const Point3& p, std::ostream* out)
{
    *out << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}

inline bool same_value(double a, double b, double tolerance)
{
    return a == b || (std::isnan(a) && std::isnan(b)) || std::fabs(a - b) <= tolerance;
}
inline bool same_point(const Point2& a, const Point2& b, double tolerance)
{
    return same_value(a.x, b.x, tolerance) && same_value(a.y, b.y, tolerance);
}
inline bool same_point(const Point3& a, const Point3& b, double tolerance)
{
    return same_value(a.x, b.x, tolerance) && same_value(a.y, b.y, tolerance) && same_value(a.z, b.z, tolerance);
}

template <class Point>
void expect_points(const std::vector<Point>& actual, const std::vector<Point>& expected, double tolerance = 0)
{
    ASSERT_EQ(actual.size(), expected.size()) << testing::PrintToString(actual);
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_TRUE(same_point(actual[i], expected[i], tolerance))
            << "point " << i << ": " << testing::PrintToString(actual[i]) << " against "
            << testing::PrintToString(expected[i]);
}

inline double shoelace_area(const Polygon2& poly)
{
    double twice = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Point2& a = poly[i];
        const Point2& b = poly[(i + 1) % poly.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

struct random_shapes {
    std::mt19937_64 engine{20240517};

    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(engine); }
    int count(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }
    Point3 point(double range) { return {uniform(-range, range), uniform(-range, range), uniform(-range, range)}; }

    // Counter-clockwise and convex: points on a turned ellipse at rising angles, each step at
    // least a fifth of an even share so that no corner is nearly straight.
    Polygon2 convex_polygon()
    {
        const int n = count(3, 12);
        const double a = uniform(1, 100), b = a * uniform(0.3, 1), turn = uniform(0, PI2);
        const double cx = uniform(-100, 100), cy = uniform(-100, 100);
        Polygon2 poly;
        for (int i = 0; i < n; ++i) {
            const double angle = (i + uniform(0.1, 0.9)) * PI2 / n;
            const double x = a * std::cos(angle), y = b * std::sin(angle);
            poly.push_back(
                {cx + x * std::cos(turn) - y * std::sin(turn), cy + x * std::sin(turn) + y * std::cos(turn)});
        }
        return poly;
    }
};
