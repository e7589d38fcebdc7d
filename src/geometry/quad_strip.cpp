// Quad strips: turning a polyline into a ribbon and cutting lengths off its ends.

#include "geometry/geometry.h"
#include "geometry/vector_math.h"

#include <algorithm>

namespace {

// Side vectors nearer than about 1.8 degrees to parallel (or to opposite) give corners that lie
// too far off to trust, so a straight run or a turn back offsets the point itself instead.
constexpr double STRAIGHT_RUN_COS = 0.9995;

void add_pair(std::vector<Point3>& strip, const Point3& centre, const Vector3& offset)
{
    strip.push_back(centre + offset);
    strip.push_back(centre - offset);
}

// The corner of one side at a bend: the line where the upright planes through the two offset
// lines meet, taken where it crosses the plane through the chain point across the up direction.
Point3 bend_corner(const Point3& centre, const Vector3& in_offset, const Vector3& out_offset, const Vector3& in_side,
                   const Vector3& out_side, const Vector3& up)
{
    const Point3 in_point = centre + in_offset;
    Point3 base;
    Vector3 along;
    if (!meet_of_planes(in_side, dot(in_side, in_point), out_side, dot(out_side, centre + out_offset), base, along)) {
        base = in_point;
        along = up;
    }
    const Vector3 level = unit(up);
    const double rate = dot(level, along);
    if (rate == 0)
        return in_point;
    return base + ((dot(level, centre) - dot(level, base)) / rate) * along;
}

Point3 interpolate(const Point3& a, const Point3& b, double fraction)
{
    if (fraction == 0)
        return a;
    if (fraction == 1)
        return b;
    return a + fraction * (b - a);
}

// Where a cut of a given length falls on one side, and the index its segment starts at.
struct side_cut {
    bool found = false;
    Point3 point;
    size_t start = 0;
};

// The odd side cuts in the segment whose end lies beyond the length, the even side already in
// the one whose end reaches it, so a cut that ends exactly on a pair makes that pair the new ends.
enum class cut_end { beyond, reaching };

side_cut find_cut(const std::vector<Point3>& strip, size_t first, double cut_length, cut_end rule)
{
    double walked = 0;
    for (size_t k = first; k + 2 < strip.size(); k += 2) {
        const double segment_length = distance(strip[k], strip[k + 2]);
        const double end = walked + segment_length;
        if (rule == cut_end::beyond ? end > cut_length : end >= cut_length)
            return {true, interpolate(strip[k], strip[k + 2], (cut_length - walked) / segment_length), k};
        walked = end;
    }
    return {};
}

}  // namespace

double LongerSideOfQuad(const std::vector<Point3>& strip)
{
    if (strip.size() < 4)
        return 0;
    const Point3 &q0 = strip[0], &q1 = strip[1], &q2 = strip[2], &q3 = strip[3];
    const Vector3 odd_side = q1 - q3;
    const double t1 = dot(q0 - q3, odd_side) / dot(odd_side, odd_side);
    if (t1 < 1)
        return -distance(q1, q3 + t1 * odd_side);
    const Vector3 even_side = q0 - q2;
    const double t2 = dot(q1 - q2, even_side) / dot(even_side, even_side);
    return distance(q0, q2 + t2 * even_side);
}

void ReverseQuadStrip(std::vector<Point3>& strip)
{
    std::reverse(strip.begin(), strip.end());
}

void ChainToQuadStrip(const std::vector<Point3>& chain, const std::vector<Vector3>& ups,
                      const std::vector<double>& widths, std::vector<Point3>& strip)
{
    const size_t n = chain.size();
    if (n < 2 || ups.size() < n || widths.size() < n)
        return;
    strip.clear();
    for (size_t i = 0; i < n; ++i) {
        const double half = widths[i] * 0.5;
        const Vector3& up = ups[i];
        if (i == 0 || i == n - 1) {
            const Vector3 along = i == 0 ? chain[1] - chain[0] : chain[i] - chain[i - 1];
            add_pair(strip, chain[i], half * unit(cross(along, up)));
            continue;
        }
        const Vector3 in_side = unit(cross(unit(chain[i] - chain[i - 1]), up));
        const Vector3 out_side = unit(cross(unit(chain[i + 1] - chain[i]), up));
        const double turn_cos = dot(in_side, out_side);
        if (turn_cos > STRAIGHT_RUN_COS) {
            add_pair(strip, chain[i], half * in_side);
        } else if (turn_cos < -STRAIGHT_RUN_COS) {
            add_pair(strip, chain[i], half * in_side);
            add_pair(strip, chain[i], half * out_side);
        } else {
            strip.push_back(bend_corner(chain[i], half * in_side, half * out_side, in_side, out_side, up));
            strip.push_back(bend_corner(chain[i], -half * in_side, -half * out_side, in_side, out_side, up));
        }
    }
}

void RemoveFromQuadStripFront(std::vector<Point3>& strip, double dist, std::vector<Point3>& removed, bool even_ends)
{
    removed.clear();
    if (strip.size() < 4)
        return;
    double even_length = dist;
    double odd_length = dist;
    if (even_ends) {
        const double longer = LongerSideOfQuad(strip);
        if (longer >= 0)
            even_length = dist + longer;
        else
            odd_length = dist - longer;
    }
    if (!(dist > 0))
        return;
    const side_cut odd = find_cut(strip, 1, odd_length, cut_end::beyond);
    const side_cut even = find_cut(strip, 0, even_length, cut_end::reaching);
    if (!odd.found || !even.found)
        return;
    const size_t erased = std::max(odd.start, even.start + 1) + 1;
    removed.assign(strip.begin(), strip.begin() + long(erased));
    // A cut landing exactly on a pair erases that pair too; it is already the removed part's end,
    // and adding it again would close the removed part with a quad of no length.
    const bool ends_on_pair = erased >= 2 && removed[erased - 2] == even.point && removed[erased - 1] == odd.point;
    if (!ends_on_pair) {
        removed.push_back(even.point);
        removed.push_back(odd.point);
    }
    strip.erase(strip.begin(), strip.begin() + long(erased));
    const bool ends_in_place =
        (!strip.empty() && strip[0] == even.point) || (strip.size() > 1 && strip[1] == odd.point);
    if (!ends_in_place)
        strip.insert(strip.begin(), {even.point, odd.point});
}

void RemoveFromQuadStripBack(std::vector<Point3>& strip, double dist, std::vector<Point3>& removed, bool even_ends)
{
    ReverseQuadStrip(strip);
    RemoveFromQuadStripFront(strip, dist, removed, even_ends);
    ReverseQuadStrip(strip);
    ReverseQuadStrip(removed);
}
