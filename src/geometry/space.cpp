// Space geometry: bounding spheres, the prism test, the crossing of two lines, cubic curves and
// clipping by a plane.

#include "geometry/geometry.h"
#include "geometry/vector_math.h"

#include <algorithm>
#include <cmath>

namespace {

bool is_empty(const Sphere3& s)
{
    return s.radius_squared < 0;
}

// A coordinate on which both points agree keeps its value exactly.
double midway(double a, double b)
{
    return a == b ? a : (a + b) * 0.5;
}

Point3 midpoint(const Point3& a, const Point3& b)
{
    return {midway(a.x, b.x), midway(a.y, b.y), midway(a.z, b.z)};
}

// NaN sorts after every number and equal to another NaN, so the order stays strict and weak.
bool number_before(double a, double b)
{
    return !std::isnan(a) && (std::isnan(b) || a < b);
}

}  // namespace

bool meet_of_planes(const Vector3& na, double h1, const Vector3& nb, double h2, Point3& base, Vector3& along)
{
    if (na == nb)
        return false;
    const double aa = dot(na, na);
    const double bb = dot(nb, nb);
    const double ab = dot(na, nb);
    const double det = aa * bb - ab * ab;
    if (det == 0)
        return false;
    const double ka = (h1 * bb - h2 * ab) / det;
    const double kb = (h2 * aa - h1 * ab) / det;
    base = Point3{} + ka * na + kb * nb;
    along = cross(na, nb);
    return true;
}

void ExtendBoundingSphereToPt1(const Point3& p, Sphere3& b)
{
    if (is_empty(b)) {
        b = {p, 0};
        return;
    }
    // The new sphere spans from the old one's far side to p, so it still holds the old one.
    const Point3 far_side = b.c - std::sqrt(b.radius_squared) * unit(p - b.c);
    b.c = midpoint(far_side, p);
    b.radius_squared = distance_squared(p, b.c);
}

void ExtendBoundingSphereToPt(const Point3& p, Sphere3& b)
{
    if (distance_squared(p, b.c) > b.radius_squared)
        ExtendBoundingSphereToPt1(p, b);
}

void ExtendBoundingSphereToSphere(const Sphere3& s, Sphere3& b)
{
    if (is_empty(s))
        return;
    if (is_empty(b)) {
        b = s;
        return;
    }
    const double apart = distance(s.c, b.c);
    const double s_radius = std::sqrt(s.radius_squared);
    const double b_radius = std::sqrt(b.radius_squared);
    if (apart <= b_radius - s_radius)
        return;
    if (apart <= s_radius - b_radius) {
        b = s;
        return;
    }
    const Vector3 toward_s = unit(s.c - b.c);
    const Point3 far_of_s = s.c + s_radius * toward_s;
    const Point3 far_of_b = b.c - b_radius * toward_s;
    b.c = midpoint(far_of_s, far_of_b);
    b.radius_squared = distance_squared(far_of_b, b.c);
}

bool lesser_y_then_x_then_z(const Point3& a, const Point3& b)
{
    if (number_before(a.y, b.y))
        return true;
    if (number_before(b.y, a.y))
        return false;
    if (number_before(a.x, b.x))
        return true;
    if (number_before(b.x, a.x))
        return false;
    return number_before(a.z, b.z);
}

void FastBoundingSphere(const std::vector<Point3>& pts, Sphere3& out)
{
    if (pts.empty())
        return;
    std::vector<Point3> sorted(pts);
    std::sort(sorted.begin(), sorted.end(), lesser_y_then_x_then_z);
    out.c = midpoint(sorted.front(), sorted.back());
    out.radius_squared = distance_squared(sorted.front(), out.c);
    for (size_t i = 1; i + 1 < sorted.size(); ++i) {
        const double gap = distance_squared(sorted[i], out.c);
        if (gap > out.radius_squared || std::isnan(gap))
            ExtendBoundingSphereToPt1(sorted[i], out);
    }
}

bool PointInPolygon3(const Polygon3& poly, const Point3& q)
{
    const size_t n = poly.size();
    if (n < 3)
        return false;
    // Taken from the polygon's own turn, so either point order gives outward edge normals.
    const Vector3 normal = unit(cross(poly[1] - poly[0], poly[1] - poly[2]));
    for (size_t i = 0; i < n; ++i) {
        const Vector3 outward = unit(cross(normal, poly[(i + 1) % n] - poly[i]));
        if (dot(outward, q - poly[i]) > 0)
            return false;
    }
    return true;
}

bool IntersectLinesAroundJunction(const Line3& a, const Line3& b, const Point3& junction, Point3& out)
{
    if (parallel_exactly(a.dir, b.dir))
        return false;
    const Vector3 normal = unit(cross(a.dir, b.dir));
    const Vector3 across_a = unit(cross(a.dir, normal));
    const Vector3 across_b = unit(cross(b.dir, normal));
    Point3 base;
    Vector3 along;
    if (!meet_of_planes(across_a, dot(across_a, a.pt), across_b, dot(across_b, b.pt), base, along))
        return false;
    const double rate = dot(normal, along);
    if (rate == 0)
        return false;
    out = base + ((dot(normal, junction) - dot(normal, base)) / rate) * along;
    return true;
}

void BezierCurve(const Point3& p1, const Point3& p2, bool has_c1, bool has_c2, const Point3& c1, const Point3& c2,
                 int steps, double min_start, double min_end, std::vector<Point3>& out)
{
    if (steps < 1 || (!has_c1 && !has_c2))
        steps = 1;
    const Point3 k1 = has_c1 ? c1 : p1;
    const Point3 k2 = has_c2 ? c2 : p2;
    out.clear();
    out.push_back(p1);
    const Vector3 chord = p2 - p1;
    if (steps > 1 && parallel_exactly(k1 - p1, chord) && parallel_exactly(k2 - p1, chord))
        steps = 1;
    for (int k = 1; k < steps; ++k) {
        // The parameter steps in single precision, as curves were always sampled, so the
        // inner points land where they always did.
        const double t = float(k) / float(steps);
        const double s = 1 - t;
        const double w1 = s * s * s, w2 = 3 * s * s * t, w3 = 3 * s * t * t, w4 = t * t * t;
        const Point3 point{w1 * p1.x + w2 * k1.x + w3 * k2.x + w4 * p2.x, w1 * p1.y + w2 * k1.y + w3 * k2.y + w4 * p2.y,
                           w1 * p1.z + w2 * k1.z + w3 * k2.z + w4 * p2.z};
        if (min_start > 0 && distance(point, p1) < min_start)
            continue;
        if (min_end > 0 && distance(point, p2) < min_end)
            continue;
        out.push_back(point);
    }
    out.push_back(p2);
}

void ClipToHalfPlane3(const Polygon3& poly, const Plane3& plane, Polygon3& out)
{
    out.clear();
    const size_t n = poly.size();
    if (n == 0)
        return;
    // Each point is classed once, and a crossing is added only between points of different
    // classes: a vertex lying on the plane then counts as inside instead of flipping a side
    // flag twice and turning the output inside out.
    bool inside = dot(plane.n, poly[0]) <= plane.d;
    for (size_t i = 0; i < n; ++i) {
        const Point3& p = poly[i];
        const Point3& next = poly[(i + 1) % n];
        const bool next_inside = dot(plane.n, next) <= plane.d;
        if (inside)
            out.push_back(p);
        const double rate = dot(plane.n, next - p);
        if (inside != next_inside && rate != 0) {
            const double t = (plane.d - dot(plane.n, p)) / rate;
            const Point3 crossing{p.x * (1 - t) + next.x * t, p.y * (1 - t) + next.y * t, p.z * (1 - t) + next.z * t};
            if (t >= 0 && t <= 1 && crossing != p && crossing != next)
                out.push_back(crossing);
        }
        inside = next_inside;
    }
}
