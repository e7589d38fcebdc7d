#pragma once
// Plane and space geometry in double precision, for building and trimming ribbon-like surfaces.
// Nothing in the installer calls it; it stands on its own and keeps no state but PI2.
// Invariant: no operation fails or reports: degenerate input (coincident points, zero-length
// edges, parallel lines, empty polygons, NaN) gives the defined result each comment states.

#include <vector>

// ---- Plane -------------------------------------------------------------------------------------

struct Vector2 {
    double x = 0, y = 0;
    bool operator==(const Vector2&) const = default;
};

struct Point2 {
    double x = 0, y = 0;
    bool operator==(const Point2&) const = default;
};

// Directed from p1 to p2; "left" is the side reached by turning that direction counter-clockwise.
struct Segment2 {
    Point2 p1, p2;
};

// A closed polygon (the last point joins the first) or an open polyline, as each call says.
using Polygon2 = std::vector<Point2>;

// Maps between two axis-aligned rectangles given by opposite corners; a rectangle of zero
// width or height divides by zero, so callers give proper ones.
struct CoordTranslator {
    Point2 src_min, src_max, dst_min, dst_max;

    Point2 Forward(Point2 p) const;
    Point2 Reverse(Point2 p) const;
};

inline constexpr double PI2 = 6.283185307179586;

// True when direction b lies strictly between a and c going counter-clockwise from a;
// any b when a and c point the same way.
bool Is_CCW_Between(const Vector2& a, const Vector2& b, const Vector2& c);

// The largest d by which every edge i can move inward by d * ratios[i] (1 without ratios)
// before some edge shrinks to nothing; 0 when no edge shrinks. An open polyline's free ends
// stay put. Here and in InsetPolygon, ratios holds one entry per point.
double CalcMaxInset(const Polygon2& poly, const double* ratios, bool closed);

// Drops points of a closed polygon that lie nearer than tol_near to a neighbour, or (with both
// neighbours farther than tol_far) deviate from their chord by a squared distance under tol_dev
// while turning by a cosine above tol_cos. Passes repeat until none removes a point, and stop
// once fewer than 3 points remain.
void ReducePolygon(Polygon2& poly, double tol_dev, double tol_cos, double tol_far, double tol_near);

// ---- Space -------------------------------------------------------------------------------------

struct Vector3 {
    double x = 0, y = 0, z = 0;
    bool operator==(const Vector3&) const = default;
};

struct Point3 {
    double x = 0, y = 0, z = 0;
    bool operator==(const Point3&) const = default;
};

struct Segment3 {
    Point3 p1, p2;
};

using Polygon3 = std::vector<Point3>;

// A point of the line and its direction, of any length.
struct Line3 {
    Point3 pt;
    Vector3 dir;
};

// The plane n . p = d; its inner side is n . p <= d.
struct Plane3 {
    Vector3 n;
    double d = 0;
};

// A squared radius below zero marks a sphere that holds nothing yet; 0 is a sphere of one point.
constexpr double EMPTY_SPHERE_RADIUS_SQUARED = -1;

struct Sphere3 {
    Point3 c;
    double radius_squared = EMPTY_SPHERE_RADIUS_SQUARED;
};

// ---- Moving sides and insets, in the plane and about an up direction in space ------------------

// Moves both ends dist to the left (a negative dist to the right); a zero-length segment is
// copied unchanged. In space the offset is unit(up x (p2 - p1)), so a segment parallel to up
// is copied unchanged too.
void MoveSegLeft(const Segment2& s, double dist, Segment2& out);
void MoveSegLeft(const Segment3& s, double dist, Segment3& out, const Vector3& up);

// Moves side i (point i to point i+1) left by dist * ratios[i] (dist without ratios) and joins
// neighbouring moved sides; a counter-clockwise polygon (seen from up, in space) shrinks for a
// positive dist. Where the outline doubles back (point i-1 equals point i+1) two cap points go
// around the tip, and cap_cb receives the index in out of the first; a join of parallel sides
// adds nothing. An open polyline keeps its free ends.
void InsetPolygon(const Polygon2& poly, const double* ratios, double dist, bool closed, Polygon2& out,
                  void (*cap_cb)(int, void*), void* ref);
void InsetPolygon(const Polygon3& poly, const double* ratios, double dist, bool closed, const Vector3& up,
                  Polygon3& out);

// ---- Space: spheres, prism test, line crossing, curves, clipping -------------------------------

// Grows b to hold p, which is known to lie outside it; an empty b becomes the sphere of p alone.
void ExtendBoundingSphereToPt1(const Point3& p, Sphere3& b);
// Grows b only when p lies outside it.
void ExtendBoundingSphereToPt(const Point3& p, Sphere3& b);
// Grows b to hold s: an empty s changes nothing, an empty b or one that s holds becomes s.
void ExtendBoundingSphereToSphere(const Sphere3& s, Sphere3& b);
// A sphere holding every point (not the smallest); an empty set leaves out unchanged.
void FastBoundingSphere(const std::vector<Point3>& pts, Sphere3& out);
// Orders points by y, then x, then z, with NaN after every number so that sorting stays sound.
bool lesser_y_then_x_then_z(const Point3& a, const Point3& b);

// Whether q lies in the infinite prism over a planar polygon (edges count as inside). Exact for
// convex polygons whose first three points turn as the whole outline; false below 3 points.
bool PointInPolygon3(const Polygon3& poly, const Point3& q);

// Where two lines cross when seen along their common normal, placed in the plane through
// junction along that normal; false (out untouched) for parallel lines.
[[nodiscard]] bool IntersectLinesAroundJunction(const Line3& a, const Line3& b, const Point3& junction, Point3& out);

// A cubic curve from p1 to p2 in steps, each missing control point standing in for its end point;
// inner points nearer than min_start to p1 or min_end to p2 (when above 0) are skipped. Always
// holds both end points; a straight curve holds nothing else.
void BezierCurve(const Point3& p1, const Point3& p2, bool has_c1, bool has_c2, const Point3& c1, const Point3& c2,
                 int steps, double min_start, double min_end, std::vector<Point3>& out);

// Keeps the part of a polygon on the plane's inner side, with the crossing points of the edges.
void ClipToHalfPlane3(const Polygon3& poly, const Plane3& plane, Polygon3& out);

// ---- Space: quad strips ------------------------------------------------------------------------
// A strip is taken in pairs: points 0, 2, 4 ... form the even side, 1, 3, 5 ... the odd side,
// and pair k is the ribbon's cross-section k.

// How much further one side reaches at the front of the first quad: negative when the odd side
// does, positive when the even side does; 0 without a whole quad.
double LongerSideOfQuad(const std::vector<Point3>& strip);

// Reverses the pairs' order, so each pair's points also change sides.
void ReverseQuadStrip(std::vector<Point3>& strip);

// A ribbon along chain, widths[i] wide about ups[i] at point i, the plus side first in each pair.
// Fewer than 2 points, or fewer up vectors or widths than points, leave strip unchanged.
void ChainToQuadStrip(const std::vector<Point3>& chain, const std::vector<Vector3>& ups,
                      const std::vector<double>& widths, std::vector<Point3>& strip);

// Cuts dist off the front (or back) of each side; with even_ends the side that reaches further
// loses more, so the new ends lie across from each other. removed receives every erased point in
// strip order, then the two new end points. A cut of 0 or less, or longer than a side, leaves the
// strip unchanged and removed empty.
void RemoveFromQuadStripFront(std::vector<Point3>& strip, double dist, std::vector<Point3>& removed, bool even_ends);
void RemoveFromQuadStripBack(std::vector<Point3>& strip, double dist, std::vector<Point3>& removed, bool even_ends);
