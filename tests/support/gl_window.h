// gl_window: a real SDL2 window with a compatibility-profile OpenGL context for drawing tests.
// GL tests open one (usually once per suite through gl_test), draw into the back buffer and
// read single pixels back with read_pixel before any swap.
// Invariant: while a gl_window exists and ok() is true, its context is current on this thread.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

struct SDL_Window;

namespace test {

struct rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const rgba&) const = default;
};
std::ostream& operator<<(std::ostream& out, const rgba& c);

// True when every channel of a is within tolerance of b (alpha ignored): llvmpipe rounds
// blended and interpolated colours differently across Mesa versions.
bool near_colour(const rgba& a, const rgba& b, int tolerance = 2);

// The virtual screen the program draws on; the window is opened at this size by default.
constexpr int GL_WINDOW_WIDTH = 1024;
constexpr int GL_WINDOW_HEIGHT = 768;

class gl_window {
public:
    explicit gl_window(int width = GL_WINDOW_WIDTH, int height = GL_WINDOW_HEIGHT);
    ~gl_window();
    gl_window(const gl_window&) = delete;
    gl_window& operator=(const gl_window&) = delete;

    bool ok() const { return context_ != nullptr; }
    const std::string& error() const { return error_; }
    SDL_Window* window() const { return window_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Pixel at (x, y) of the back buffer, y counted from the bottom row as OpenGL does.
    rgba read_pixel(int x, int y) const;
    // Same, with y counted from the top row (as a screenshot or xdotool sees it).
    rgba read_pixel_top_down(int x, int y) const { return read_pixel(x, height_ - 1 - y); }

    // Resets the state tests commonly disturb, sets a pixel-exact 2-D projection
    // (one unit = one pixel, origin bottom-left) and clears to the given colour.
    void reset_2d(rgba clear_colour = {0, 0, 0, 255}) const;
    // Shows the back buffer; after this the back buffer's content is undefined.
    void swap() const;

private:
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    int width_ = 0, height_ = 0;
    std::string error_;
};

// Test fixture sharing one window per suite: opening a context under llvmpipe costs more than
// the drawing, and every test starts from reset_2d() so they stay independent.
class gl_test : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static gl_window& win() { return *shared_window_; }
    static rgba pixel(int x, int y) { return shared_window_->read_pixel(x, y); }

private:
    static gl_window* shared_window_;
};

}  // namespace test
