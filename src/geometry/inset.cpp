// Moving segments sideways and insetting outlines edge by edge, in the plane and in space. The
// two dimensions share the walk over the sides and differ only in how a side moves and how two
// moved sides join.

#include "geometry/geometry.h"
#include "geometry/vector_math.h"

namespace {

double sign_of(double v)
{
    return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0);
}

// Where the lines through two moved sides meet; false for parallel lines.
bool join_in_plane(const Segment2& prev, const Segment2& side, Point2& corner)
{
    const Vector2 prev_direction = prev.p2 - prev.p1;
    const Vector2 direction = side.p2 - side.p1;
    const double turn = cross(prev_direction, direction);
    if (turn == 0)
        return false;
    corner = prev.p1 + (cross(side.p1 - prev.p1, direction) / turn) * prev_direction;
    return true;
}

// Where the line through a moved side meets the upright plane of the previous moved side (the
// plane that holds it and the up direction); false when the side runs along that plane.
bool join_in_space(const Segment3& prev, const Segment3& side, const Vector3& up, Point3& corner)
{
    const Vector3 normal = unit(cross(prev.p2 - prev.p1, up));
    const Vector3 direction = side.p2 - side.p1;
    const double rate = dot(normal, direction);
    if (rate == 0)
        return false;
    corner = side.p1 + ((dot(normal, prev.p2) - dot(normal, side.p1)) / rate) * direction;
    return true;
}

// At each corner appends the join of the moved sides before and after it (nothing where they
// run parallel), an open polyline's free end as moved, or two cap points where the outline
// doubles back. Each moved side is kept only until the next corner, so nothing but out is allocated.
template <class Point, class Segment, class Move, class Join, class Cap>
void inset_outline(const std::vector<Point>& poly, const double* ratios, double dist, bool closed,
                   std::vector<Point>& out, Move move, Join join, Cap on_cap)
{
    out.clear();
    const size_t n = poly.size();
    if (n == 0)
        return;
    const auto offset = [&](size_t side) { return ratios ? dist * ratios[side] : dist; };
    const auto moved_side = [&](size_t side) {
        Segment moved;
        move(Segment{poly[side], poly[(side + 1) % n]}, offset(side), moved);
        return moved;
    };
    Segment prev = moved_side(n - 1);
    for (size_t j = 0; j < n; ++j) {
        const Segment side = moved_side(j);
        if (!closed && j == 0) {
            out.push_back(side.p1);
        } else if (!closed && j == n - 1) {
            out.push_back(prev.p2);
        } else if (poly[j == 0 ? n - 1 : j - 1] == poly[(j + 1) % n]) {
            Segment cap;
            move(Segment{prev.p2, side.p1}, offset(j), cap);
            const size_t first = out.size();
            out.push_back(cap.p1);
            out.push_back(cap.p2);
            on_cap(first);
        } else {
            Point corner;
            if (join(prev, side, corner))
                out.push_back(corner);
        }
        prev = side;
    }
}

}  // namespace

void MoveSegLeft(const Segment2& s, double dist, Segment2& out)
{
    const double dx = s.p2.x - s.p1.x;
    const double dy = s.p2.y - s.p1.y;
    if (dx == 0 && dy == 0) {
        out = s;
        return;
    }
    // Axis-aligned sides move by exactly dist: no square root rounds their offset.
    Vector2 offset;
    if (dy == 0)
        offset = {0, sign_of(dx)};
    else if (dx == 0)
        offset = {-sign_of(dy), 0};
    else
        offset = unit(Vector2{-dy, dx});
    const Vector2 step = dist * offset;
    out = {s.p1 + step, s.p2 + step};
}

void MoveSegLeft(const Segment3& s, double dist, Segment3& out, const Vector3& up)
{
    const Vector3 offset = unit(cross(up, s.p2 - s.p1));
    if (offset == Vector3{}) {
        out = s;
        return;
    }
    const Vector3 step = dist * offset;
    out = {s.p1 + step, s.p2 + step};
}

void InsetPolygon(const Polygon2& poly, const double* ratios, double dist, bool closed, Polygon2& out,
                  void (*cap_cb)(int, void*), void* ref)
{
    const auto move = [](const Segment2& s, double by, Segment2& moved) { MoveSegLeft(s, by, moved); };
    const auto on_cap = [&](size_t first) {
        if (cap_cb)
            cap_cb(int(first), ref);
    };
    inset_outline<Point2, Segment2>(poly, ratios, dist, closed, out, move, join_in_plane, on_cap);
}

void InsetPolygon(const Polygon3& poly, const double* ratios, double dist, bool closed, const Vector3& up,
                  Polygon3& out)
{
    const auto move = [&](const Segment3& s, double by, Segment3& moved) { MoveSegLeft(s, by, moved, up); };
    const auto join = [&](const Segment3& prev, const Segment3& side, Point3& corner) {
        return join_in_space(prev, side, up, corner);
    };
    inset_outline<Point3, Segment3>(poly, ratios, dist, closed, out, move, join, [](size_t) {});
}
