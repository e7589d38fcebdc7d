// Insetting and clipping an outline of 1,000,000 points, as points per second, each beside
// copying the same points, the least any pass over them costs.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>

#include "bench_files.h"
#include "geometry/geometry.h"

namespace {

constexpr size_t POINTS = 1000000;
constexpr int ROUNDS = 5;

// Best of a few rounds: the first also pays for faulting in the output's pages.
double best_seconds(const std::function<void()>& work)
{
    double best = 1e9;
    for (int round = 0; round < ROUNDS; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, bench::seconds_since(start));
    }
    return best;
}

void report(const char* name, double seconds, double copy_seconds)
{
    std::printf("%s %zu points: %.1f M points/s (%.2fx the rate of copying them)\n", name, POINTS,
                POINTS / seconds / 1e6, copy_seconds / seconds);
}

}  // namespace

int main()
{
    // A star-shaped outline around a circle: neighbouring sides are never parallel, so every
    // corner is a real join; the clipping plane cuts it about in half.
    Polygon2 flat(POINTS);
    Polygon3 solid(POINTS);
    for (size_t i = 0; i < POINTS; ++i) {
        const double angle = PI2 * double(i) / POINTS;
        const double radius = 1000 + (i % 2 ? 1.0 : 0.0) + 50 * std::sin(angle * 200);
        flat[i] = {radius * std::cos(angle), radius * std::sin(angle)};
        solid[i] = {flat[i].x, 0, -flat[i].y};
    }
    const Plane3 plane{{1, 0, 0.25}, 10};

    Polygon2 flat_out, flat_copy;
    Polygon3 solid_out, solid_copy;
    const double copy_flat = best_seconds([&] { flat_copy = flat; });
    const double copy_solid = best_seconds([&] { solid_copy = solid; });
    const double inset_flat =
        best_seconds([&] { InsetPolygon(flat, nullptr, 0.25, true, flat_out, nullptr, nullptr); });
    const double inset_solid = best_seconds([&] { InsetPolygon(solid, nullptr, 0.25, true, {0, 1, 0}, solid_out); });
    if (flat_out.size() != POINTS || solid_out.size() != POINTS) {
        std::fprintf(stderr, "geometry_bench: an inset lost corners (%zu, %zu of %zu)\n", flat_out.size(),
                     solid_out.size(), POINTS);
        return 1;
    }
    const double clip = best_seconds([&] { ClipToHalfPlane3(solid, plane, solid_out); });
    if (solid_out.empty() || solid_out.size() >= POINTS) {
        std::fprintf(stderr, "geometry_bench: the plane did not cut the outline (%zu points)\n", solid_out.size());
        return 1;
    }
    report("inset_polygon_2d", inset_flat, copy_flat);
    report("inset_polygon_3d", inset_solid, copy_solid);
    report("clip_to_half_plane_3d", clip, copy_solid);
    return 0;
}
