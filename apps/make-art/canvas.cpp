#include "canvas.h"

#include <algorithm>
#include <cmath>

#include "font.h"

namespace art {

namespace {

// Edge smoothing: each texel is sampled on a 4 x 4 grid.
constexpr int SUBSAMPLES = 4;

uint8_t to_byte(float v)
{
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

// Signed distance from (px, py) to a rounded rectangle (negative inside).
float round_rect_distance(float px, float py, float x, float y, float w, float h, float r)
{
    float cx = x + w * 0.5f, cy = y + h * 0.5f;
    float qx = std::fabs(px - cx) - (w * 0.5f - r);
    float qy = std::fabs(py - cy) - (h * 0.5f - r);
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float segment_distance(float px, float py, float x1, float y1, float x2, float y2)
{
    float dx = x2 - x1, dy = y2 - y1;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? std::clamp(((px - x1) * dx + (py - y1) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    float ex = px - (x1 + t * dx), ey = py - (y1 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

// Blends c into every texel of [x0, x1) x [y0, y1) by the share of its subsamples that `inside`
// accepts; the shapes without a border of their own are all coverage of this one kind.
template <typename Inside>
void blend_covered(canvas& img, int x0, int y0, int x1, int y1, const colour& c, Inside inside)
{
    for (int j = y0; j < y1; ++j)
        for (int i = x0; i < x1; ++i) {
            float cover = 0;
            for (int sy = 0; sy < SUBSAMPLES; ++sy)
                for (int sx = 0; sx < SUBSAMPLES; ++sx)
                    if (inside(i + (sx + 0.5f) / SUBSAMPLES, j + (sy + 0.5f) / SUBSAMPLES))
                        cover += 1;
            img.blend(i, j, c, cover / (SUBSAMPLES * SUBSAMPLES));
        }
}

}  // namespace

colour rgb(int r, int g, int b, float a)
{
    return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}

colour mix(const colour& a, const colour& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

canvas::canvas(int width, int height)
    : width_(width), height_(height), bytes_(static_cast<size_t>(width) * height * 4, 0)
{
}

void canvas::put(int x, int y, const colour& c)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    uint8_t* p = &bytes_[(static_cast<size_t>(y) * width_ + x) * 4];
    p[0] = to_byte(c.r);
    p[1] = to_byte(c.g);
    p[2] = to_byte(c.b);
    p[3] = to_byte(c.a);
}

colour canvas::get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {0, 0, 0, 0};
    const uint8_t* p = &bytes_[(static_cast<size_t>(y) * width_ + x) * 4];
    return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
}

void canvas::blend(int x, int y, const colour& c, float coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    float sa = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (sa <= 0)
        return;
    colour d = get(x, y);
    float oa = sa + d.a * (1 - sa);
    if (oa <= 0)
        return;
    colour o;
    o.r = (c.r * sa + d.r * d.a * (1 - sa)) / oa;
    o.g = (c.g * sa + d.g * d.a * (1 - sa)) / oa;
    o.b = (c.b * sa + d.b * d.a * (1 - sa)) / oa;
    o.a = oa;
    put(x, y, o);
}

void canvas::fill_rect(int x, int y, int w, int h, const colour& c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            blend(i, j, c);
}

void canvas::round_rect(float x, float y, float w, float h, float radius, const colour& bottom, const colour& top,
                        const colour& border, float border_width)
{
    int x0 = static_cast<int>(std::floor(x)), x1 = static_cast<int>(std::ceil(x + w));
    int y0 = static_cast<int>(std::floor(y)), y1 = static_cast<int>(std::ceil(y + h));
    for (int j = y0; j < y1; ++j) {
        for (int i = x0; i < x1; ++i) {
            float inside = 0, in_fill = 0;
            for (int sy = 0; sy < SUBSAMPLES; ++sy) {
                for (int sx = 0; sx < SUBSAMPLES; ++sx) {
                    float px = i + (sx + 0.5f) / SUBSAMPLES, py = j + (sy + 0.5f) / SUBSAMPLES;
                    float d = round_rect_distance(px, py, x, y, w, h, radius);
                    if (d <= 0)
                        inside += 1;
                    if (d <= -border_width)
                        in_fill += 1;
                }
            }
            inside /= SUBSAMPLES * SUBSAMPLES;
            in_fill /= SUBSAMPLES * SUBSAMPLES;
            if (inside <= 0)
                continue;
            float t = h > 1 ? std::clamp((j + 0.5f - y) / h, 0.0f, 1.0f) : 0.0f;
            colour fill = mix(bottom, top, t);
            // Border and fill share the texel in proportion to how much of each it covers.
            float border_part = inside - in_fill;
            colour c = border_width > 0 && inside > 0 ? mix(fill, border, border_part / inside) : fill;
            blend(i, j, c, inside);
        }
    }
}

void canvas::shadow(float x, float y, float w, float h, float radius, float spread, float strength)
{
    int x0 = static_cast<int>(std::floor(x - spread)), x1 = static_cast<int>(std::ceil(x + w + spread));
    int y0 = static_cast<int>(std::floor(y - spread)), y1 = static_cast<int>(std::ceil(y + h + spread));
    for (int j = y0; j < y1; ++j)
        for (int i = x0; i < x1; ++i) {
            float d = round_rect_distance(i + 0.5f, j + 0.5f, x, y, w, h, radius);
            if (d > spread)
                continue;
            float a = d <= 0 ? 1.0f : 1.0f - d / spread;
            blend(i, j, {0, 0, 0, strength * a * a});
        }
}

void canvas::disc(float cx, float cy, float radius, const colour& c)
{
    round_rect(cx - radius, cy - radius, radius * 2, radius * 2, radius, c, c, c, 0);
}

void canvas::line(float x1, float y1, float x2, float y2, float width, const colour& c)
{
    int i0 = static_cast<int>(std::floor(std::min(x1, x2) - width)),
        i1 = static_cast<int>(std::ceil(std::max(x1, x2) + width));
    int j0 = static_cast<int>(std::floor(std::min(y1, y2) - width)),
        j1 = static_cast<int>(std::ceil(std::max(y1, y2) + width));
    blend_covered(*this, i0, j0, i1, j1, c,
                  [&](float px, float py) { return segment_distance(px, py, x1, y1, x2, y2) <= width * 0.5f; });
}

void canvas::polygon(const std::vector<float>& xy, const colour& c)
{
    if (xy.size() < 6)
        return;
    float minx = xy[0], maxx = xy[0], miny = xy[1], maxy = xy[1];
    for (size_t k = 0; k + 1 < xy.size(); k += 2) {
        minx = std::min(minx, xy[k]);
        maxx = std::max(maxx, xy[k]);
        miny = std::min(miny, xy[k + 1]);
        maxy = std::max(maxy, xy[k + 1]);
    }
    size_t n = xy.size() / 2;
    blend_covered(*this, static_cast<int>(std::floor(minx)), static_cast<int>(std::floor(miny)),
                  static_cast<int>(std::ceil(maxx)), static_cast<int>(std::ceil(maxy)), c, [&](float px, float py) {
                      bool in = false;
                      for (size_t a = 0, b = n - 1; a < n; b = a++) {
                          float ax = xy[2 * a], ay = xy[2 * a + 1], bx = xy[2 * b], by = xy[2 * b + 1];
                          if ((ay > py) != (by > py) && px < (bx - ax) * (py - ay) / (by - ay) + ax)
                              in = !in;
                      }
                      return in;
                  });
}

int canvas::text(int x, int y, const std::string& s, const colour& c, bool bold, int scale)
{
    const auto& font = interface_font();
    for (unsigned char ch : s) {
        auto it = font.find(ch);
        if (it != font.end()) {
            const glyph& rows = it->second;
            for (int r = 0; r < GLYPH_ROWS; ++r) {
                // Row r counts down from the capital height; rows past the body hang below the baseline.
                int ty = y + (GLYPH_BODY_ROWS - 1 - r) * scale;
                for (size_t col = 0; col < rows[r].size(); ++col) {
                    if (rows[r][col] != '#')
                        continue;
                    for (int b = 0; b <= (bold ? 1 : 0); ++b)
                        fill_rect(x + (static_cast<int>(col) + b) * scale, ty, scale, scale, c);
                }
            }
        }
        x += (proportional_advance(ch) + (bold ? 1 : 0)) * scale;
    }
    return x;
}

int canvas::text_width(const std::string& s, bool bold, int scale)
{
    int w = 0;
    for (unsigned char ch : s)
        w += (proportional_advance(ch) + (bold ? 1 : 0)) * scale;
    return w;
}

}  // namespace art
