#pragma once
// Vector arithmetic for the geometry sources, and the line where two planes meet, which both
// the line crossing and the quad strip's corners are built on.
// Invariant: unit() divides only by a length other than 0, so a zero vector stays zero.

#include "geometry/geometry.h"

#include <cmath>

inline Vector2 operator-(const Point2& a, const Point2& b)
{
    return {a.x - b.x, a.y - b.y};
}
inline Point2 operator+(const Point2& p, const Vector2& v)
{
    return {p.x + v.x, p.y + v.y};
}
inline Vector2 operator*(double k, const Vector2& v)
{
    return {k * v.x, k * v.y};
}
inline double dot(const Vector2& a, const Vector2& b)
{
    return a.x * b.x + a.y * b.y;
}
// The z term of the cross product: positive when b turns left from a.
inline double cross(const Vector2& a, const Vector2& b)
{
    return a.x * b.y - a.y * b.x;
}
inline double length(const Vector2& v)
{
    return std::sqrt(dot(v, v));
}

inline Vector2 unit(const Vector2& v)
{
    const double size = length(v);
    return size != 0 ? Vector2{v.x / size, v.y / size} : v;
}

inline Vector3 operator-(const Point3& a, const Point3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Point3 operator+(const Point3& p, const Vector3& v)
{
    return {p.x + v.x, p.y + v.y, p.z + v.z};
}
inline Point3 operator-(const Point3& p, const Vector3& v)
{
    return {p.x - v.x, p.y - v.y, p.z - v.z};
}
inline Vector3 operator*(double k, const Vector3& v)
{
    return {k * v.x, k * v.y, k * v.z};
}
inline double dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
// A point taken as its position vector, for plane equations.
inline double dot(const Vector3& a, const Point3& p)
{
    return a.x * p.x + a.y * p.y + a.z * p.z;
}
inline double length(const Vector3& v)
{
    return std::sqrt(dot(v, v));
}
inline double distance_squared(const Point3& a, const Point3& b)
{
    return dot(a - b, a - b);
}
inline double distance(const Point3& a, const Point3& b)
{
    return std::sqrt(distance_squared(a, b));
}

inline Vector3 cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Parallel (or zero) exactly: each pair of cross-product terms is equal, which also holds where
// their difference would be inf - inf.
inline bool parallel_exactly(const Vector3& a, const Vector3& b)
{
    return a.y * b.z == a.z * b.y && a.z * b.x == a.x * b.z && a.x * b.y == a.y * b.x;
}

inline Vector3 unit(const Vector3& v)
{
    const double size = length(v);
    return size != 0 ? Vector3{v.x / size, v.y / size, v.z / size} : v;
}

// The line where the planes na . x = h1 and nb . x = h2 meet: base is its point in the span of
// the two normals, along its direction. False when the normals are equal or parallel.
[[nodiscard]] bool meet_of_planes(const Vector3& na, double h1, const Vector3& nb, double h2, Point3& base,
                                  Vector3& along);
