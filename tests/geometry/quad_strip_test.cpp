// Quad strips: which side reaches further, ribbons along a chain, and cuts off either end.

#include "geometry/geometry.h"
#include "geometry/shapes.h"

#include <gtest/gtest.h>

namespace {

constexpr Vector3 UP{0, 1, 0};

// Even side along z = 0, odd side along z = 1, pairs at x = 0, 10 and 20.
const std::vector<Point3> STRAIGHT{{0, 0, 0}, {0, 0, 1}, {10, 0, 0}, {10, 0, 1}, {20, 0, 0}, {20, 0, 1}};
// The odd side starts 6 further forward than the even side.
const std::vector<Point3> ODD_AHEAD{{0, 0, 0}, {-6, 0, 1}, {10, 0, 0}, {10, 0, 1}};

}  // namespace

TEST(QuadStrip, LongerSideOfTheFirstQuad)
{
    struct row {
        std::vector<Point3> strip;
        double expected;
    };
    const row rows[] = {
        {ODD_AHEAD, -6},
        {{{-6, 0, 0}, {0, 0, 1}, {10, 0, 0}, {10, 0, 1}}, 6},
        {STRAIGHT, 0},
        {{{0, 0, 0}, {0, 0, 1}, {10, 0, 0}}, 0},
    };
    for (const row& r : rows)
        EXPECT_EQ(LongerSideOfQuad(r.strip), r.expected);
}

TEST(QuadStrip, ChainsBecomeRibbons)
{
    struct row {
        std::vector<Point3> chain;
        std::vector<double> widths;
        std::vector<Point3> expected;
    };
    const row rows[] = {
        {{{0, 0, 0}, {0, 0, 10}}, {2, 6}, {{-1, 0, 0}, {1, 0, 0}, {-3, 0, 10}, {3, 0, 10}}},
        // A right-angle bend: each side's corner is where its two offset lines meet.
        {{{0, 0, 0}, {10, 0, 0}, {10, 0, 10}},
         {2, 2, 2},
         {{0, 0, 1}, {0, 0, -1}, {9, 0, 1}, {11, 0, -1}, {9, 0, 10}, {11, 0, 10}}},
        // A straight run and a turn back offset the point itself by the half width, plus side first.
        {{{0, 0, 0}, {10, 0, 0}, {20, 0, 0}},
         {2, 4, 2},
         {{0, 0, 1}, {0, 0, -1}, {10, 0, 2}, {10, 0, -2}, {20, 0, 1}, {20, 0, -1}}},
        {{{0, 0, 0}, {10, 0, 0}, {0, 0, 0}},
         {2, 2, 2},
         {{0, 0, 1}, {0, 0, -1}, {10, 0, 1}, {10, 0, -1}, {10, 0, -1}, {10, 0, 1}, {0, 0, -1}, {0, 0, 1}}},
        {{{0, 0, 0}}, {2}, {{7, 7, 7}}},
        {{{0, 0, 0}, {10, 0, 0}}, {2}, {{7, 7, 7}}},  // a width missing
    };
    for (const row& r : rows) {
        std::vector<Point3> strip{{7, 7, 7}};
        ChainToQuadStrip(r.chain, std::vector<Vector3>(r.chain.size(), UP), r.widths, strip);
        expect_points(strip, r.expected);
    }
}

TEST(QuadStrip, CutsOffTheFrontOrTheBack)
{
    enum class end { front, back };
    struct row {
        const std::vector<Point3>& strip;
        double dist;
        bool even_ends;
        end from;
        std::vector<Point3> expected, removed;
    };
    const std::vector<Point3>& s = STRAIGHT;
    const row rows[] = {
        {s, 5, false, end::front, {{5, 0, 0}, {5, 0, 1}, s[2], s[3], s[4], s[5]}, {s[0], s[1], {5, 0, 0}, {5, 0, 1}}},
        // Ending exactly on a pair makes it the new ends.
        {s, 10, false, end::front, {s[2], s[3], s[4], s[5]}, {s[0], s[1], s[2], s[3], s[2], s[3]}},
        {s,
         15,
         false,
         end::front,
         {{15, 0, 0}, {15, 0, 1}, s[4], s[5]},
         {s[0], s[1], s[2], s[3], {15, 0, 0}, {15, 0, 1}}},
        {s,
         5,
         false,
         end::back,
         {s[0], s[1], s[2], s[3], {15, 0, 0}, {15, 0, 1}},
         {{15, 0, 0}, {15, 0, 1}, s[4], s[5]}},
        {s, 25, false, end::front, s, {}},
        {s, 0, false, end::front, s, {}},
        // The odd side reaches 6 further, so it loses 6 more and the new ends lie across.
        {ODD_AHEAD,
         1,
         true,
         end::front,
         {{1, 0, 0}, {1, 0, 1}, {10, 0, 0}, {10, 0, 1}},
         {{0, 0, 0}, {-6, 0, 1}, {1, 0, 0}, {1, 0, 1}}},
        {ODD_AHEAD,
         1,
         false,
         end::front,
         {{1, 0, 0}, {-5, 0, 1}, {10, 0, 0}, {10, 0, 1}},
         {{0, 0, 0}, {-6, 0, 1}, {1, 0, 0}, {-5, 0, 1}}},
    };
    for (const row& r : rows) {
        std::vector<Point3> strip = r.strip, removed{{7, 7, 7}};
        if (r.from == end::front)
            RemoveFromQuadStripFront(strip, r.dist, removed, r.even_ends);
        else
            RemoveFromQuadStripBack(strip, r.dist, removed, r.even_ends);
        expect_points(strip, r.expected);
        expect_points(removed, r.removed);
    }
}
