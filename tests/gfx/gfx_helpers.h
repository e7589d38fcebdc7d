// Helpers for the graphics-core tests: the 2-D screen set up the way the shell does at start-up, and a
// synthetic glyph atlas.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/gl_window.h"

namespace gfx_test {

// The start-up steps graphics relies on: sine/cosine tables, the 1024x768 screen in `mnw`,
// capability detection, global alpha 1, normal blending and OGL_pix_specs for window 0.
// Needs a current context.
void set_up_screen();

// Brings the render-state cache back in line with the context after the test window's reset,
// which switches states behind the cache's back: every state is forced on, then off.
void sync_state_cache();

// A pixel of the back buffer (y counted from the bottom) and the colour it should have.
struct probe {
    int x, y;
    test::rgba colour;
};
// Checks every probe, naming the pixels that differ.
void expect_pixels(std::initializer_list<probe> probes);

// OpenGL's current colour: R, G, B, A.
std::array<float, 4> current_colour();

// Fills a rectangle of the back buffer with an exact colour, through clears that leave the render
// state the cache follows alone.
void fill(int x, int y, int width, int height, test::rgba colour);

// Counts the pixels of the w x h block at (x, y) whose colour is within 2 of `colour`.
int count_pixels(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b);

// Loads a small RGBA image (rows bottom first, 4 bytes per pixel) as texture `ref` through the
// texture manager, edge-clamped.
void load_texture_pixels(int ref, int width, int height, const unsigned char* rgba);

// Draws the texture bound on unit 0 over the 20 x 20 square at (x, y) and returns its centre pixel.
test::rgba textured_square(int x, int y);

// Loads a 512x512 atlas as texture 363 through the texture manager, as the installer does. Each
// glyph cell is transparent except its leftmost texel column, whose colour names the cell:
// red = 10 x column + 5, green = 40 x row + 5, blue = 200 (first glyph set) or 100 (second set).
// The blank cells (0, 0) of both sets stay transparent, so unmapped bytes draw nothing.
void load_marker_atlas();

// Pixel (x, y) of the current window as the X server shows it (y counted from the bottom, as OpenGL
// counts), through xwd and ImageMagick; alpha 0, which no shown pixel has, when the window or the tools fail.
test::rgba pixel_on_screen(int x, int y);

// A shared window with the screen set up as at start-up, the state cache in line, the texture
// manager's bind cache emptied and the default palette before every test.
class screen_test : public test::gl_test {
protected:
    void SetUp() override;
};

// Opaque colours as the back buffer holds them.
constexpr test::rgba BLACK{0, 0, 0, 255}, WHITE{255, 255, 255, 255}, RED{255, 0, 0, 255}, GREEN{0, 255, 0, 255},
    BLUE{0, 0, 255, 255};

constexpr int MARKER_BLUE_PROPORTIONAL = 200;
constexpr int MARKER_BLUE_FIXED = 100;

}  // namespace gfx_test
