#pragma once
// Shared by the geometry tests: point lists compared exactly or within a tolerance (NaN matching
// NaN), and random shapes from a fixed start, so every run checks the same few thousand cases.

#include "geometry/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <random>
#include <vector>

constexpr int PROPERTY_CASES = 3000;
constexpr double NOT_A_NUMBER = NAN;

inline void PrintTo(const Point2& p, std::ostream* out)
{
    *out << "(" << p.x << ", " << p.y << ")";
}
inline void PrintTo(const Point3& p, std::ostream* out)
{
    *out << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}

inline bool near(double a, double b, double tolerance)
{
    return a == b || (std::isnan(a) && std::isnan(b)) || std::fabs(a - b) <= tolerance;
}
inline bool near(const Point2& a, const Point2& b, double tolerance)
{
    return near(a.x, b.x, tolerance) && near(a.y, b.y, tolerance);
}
inline bool near(const Point3& a, const Point3& b, double tolerance)
{
    return near(a.x, b.x, tolerance) && near(a.y, b.y, tolerance) && near(a.z, b.z, tolerance);
}

template <class Point>
void expect_points(const std::vector<Point>& actual, const std::vector<Point>& expected, double tolerance = 0)
{
    ASSERT_EQ(actual.size(), expected.size()) << testing::PrintToString(actual);
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_TRUE(near(actual[i], expected[i], tolerance)) << i << ": " << testing::PrintToString(actual[i]);
}

struct random_shapes {
    std::mt19937_64 engine{20240517};

    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(engine); }
    int count(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }

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
    std::vector<Point3> points(int low, int high)
    {
        std::vector<Point3> pts(size_t(count(low, high)));
        for (Point3& p : pts)
            p = {uniform(-100, 100), uniform(-100, 100), uniform(-100, 100)};
        return pts;
    }
};
