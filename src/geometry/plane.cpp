// Plane geometry: angle order of directions, rectangle mapping, the largest inset a polygon
// allows and polygon simplification.

#include "geometry/geometry.h"
#include "geometry/vector_math.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;

double heading(const Point2& from, const Point2& to)
{
    return std::atan2(to.y - from.y, to.x - from.x);
}

double map_axis(double v, double from_min, double from_max, double to_min, double to_max)
{
    return to_min + (v - from_min) * (to_max - to_min) / (from_max - from_min);
}

// How fast an edge's end moves along the edge as the edge moves inward by its ratio and its
// neighbour at that corner by the neighbour's ratio; angle is the inside angle of the corner.
double corner_shrink(double angle, double edge_ratio, double neighbour_ratio)
{
    if (angle > PI)
        angle -= PI2;
    return edge_ratio * std::cos(angle) / std::sin(angle) + neighbour_ratio / std::sin(angle);
}

bool point_is_redundant(const Point2& a, const Point2& p, const Point2& b, double tol_dev, double tol_cos,
                        double tol_far, double tol_near)
{
    const double in_length = length(p - a);
    const double out_length = length(b - p);
    if (in_length < tol_near || out_length < tol_near)
        return true;
    if (!(in_length > tol_far && out_length > tol_far))
        return false;
    const Vector2 chord = b - a;
    const double off_chord = cross(chord, p - a);
    const double deviation_squared = off_chord * off_chord / dot(chord, chord);
    return deviation_squared < tol_dev && dot(unit(p - a), unit(b - p)) > tol_cos;
}

}  // namespace

Point2 CoordTranslator::Forward(Point2 p) const
{
    return {map_axis(p.x, src_min.x, src_max.x, dst_min.x, dst_max.x),
            map_axis(p.y, src_min.y, src_max.y, dst_min.y, dst_max.y)};
}

Point2 CoordTranslator::Reverse(Point2 p) const
{
    return {map_axis(p.x, dst_min.x, dst_max.x, src_min.x, src_max.x),
            map_axis(p.y, dst_min.y, dst_max.y, src_min.y, src_max.y)};
}

bool Is_CCW_Between(const Vector2& a, const Vector2& b, const Vector2& c)
{
    double from = std::atan2(a.y, a.x);
    double between = std::atan2(b.y, b.x);
    double to = std::atan2(c.y, c.x);
    // atan2 gives -pi only for a y of -0; folding it onto +pi before comparing a with c makes
    // (-1, -0) and (-1, 0), which compare equal, the same direction here too.
    for (double* angle : {&from, &between, &to})
        if (*angle <= -PI)
            *angle += PI2;
    if (from == to)
        return true;
    if (from > between)
        between += PI2;
    if (from > to)
        to += PI2;
    return from < between && between < to;
}

double CalcMaxInset(const Polygon2& poly, const double* ratios, bool closed)
{
    const size_t n = poly.size();
    const size_t edges = closed ? n : (n > 0 ? n - 1 : 0);
    double smallest = 0;
    bool have_candidate = false;
    for (size_t i = 0; i < edges; ++i) {
        const size_t prev = (i + n - 1) % n;
        const size_t next = (i + 1) % n;
        const size_t after = (i + 2) % n;
        const double ratio = ratios ? ratios[i] : 1.0;
        const double h = heading(poly[i], poly[next]);
        double rate = 0;
        if (closed || i > 0)
            rate += corner_shrink(PI - (h - heading(poly[prev], poly[i])), ratio, ratios ? ratios[prev] : 1.0);
        // The end corner is shared with the next edge, so it is that edge's move that pulls it back.
        if (closed || i + 1 < edges)
            rate += corner_shrink(PI - (heading(poly[next], poly[after]) - h), ratio, ratios ? ratios[next] : 1.0);
        if (!(rate > 0))
            continue;
        const double candidate = length(poly[next] - poly[i]) / rate;
        if (!have_candidate || candidate < smallest)
            smallest = candidate;
        have_candidate = true;
    }
    return smallest;
}

void ReducePolygon(Polygon2& poly, double tol_dev, double tol_cos, double tol_far, double tol_near)
{
    for (bool removed_any = true; removed_any;) {
        removed_any = false;
        // After a removal the walk goes on past the point that moved into place; the next pass
        // looks at it again.
        for (size_t i = 0; i < poly.size(); ++i) {
            const size_t n = poly.size();
            if (n < 3)
                return;
            if (!point_is_redundant(poly[(i + n - 1) % n], poly[i], poly[(i + 1) % n], tol_dev, tol_cos, tol_far,
                                    tol_near))
                continue;
            poly.erase(poly.begin() + long(i));
            removed_any = true;
        }
    }
}
