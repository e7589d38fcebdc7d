// canvas: an RGBA image addressed in texel coordinates (x to the right, y upward from the first row),
// with the few anti-aliased shapes the interface art is made of.
// Invariant: pixels outside the image are never written; shapes clip silently.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct colour {
    float r = 0, g = 0, b = 0, a = 1;
};
colour rgb(int r, int g, int b, float a = 1.0f);
colour mix(const colour& a, const colour& b, float t);

class canvas {
public:
    canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

    // Source-over blending of c with the given coverage (0..1) into texel (x, y).
    void blend(int x, int y, const colour& c, float coverage = 1.0f);
    // Overwrites texel (x, y), alpha included.
    void put(int x, int y, const colour& c);
    colour get(int x, int y) const;

    void fill_rect(int x, int y, int w, int h, const colour& c);
    // Rounded rectangle over [x, x + w) x [y, y + h), filled with a vertical gradient (bottom to top)
    // and outlined by a border of the given width; edges are anti-aliased by supersampling.
    void round_rect(float x, float y, float w, float h, float radius, const colour& bottom, const colour& top,
                    const colour& border, float border_width);
    // Soft shadow under a rounded rectangle, fading over `spread` texels.
    void shadow(float x, float y, float w, float h, float radius, float spread, float strength);
    void disc(float cx, float cy, float radius, const colour& c);
    // Anti-aliased line segment of the given width.
    void line(float x1, float y1, float x2, float y2, float width, const colour& c);
    // Filled polygon (even-odd), anti-aliased by 4 x 4 supersampling.
    void polygon(const std::vector<float>& xy, const colour& c);

    // Text in the interface font with its baseline at y, the pen starting at x; `bold` doubles strokes.
    // Returns the pen position after the text.
    int text(int x, int y, const std::string& s, const colour& c, bool bold = false, int scale = 1);
    static int text_width(const std::string& s, bool bold = false, int scale = 1);

private:
    int width_, height_;
    std::vector<uint8_t> bytes_;
};

}  // namespace art
