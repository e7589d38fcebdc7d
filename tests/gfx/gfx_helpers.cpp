#include "gfx/gfx_helpers.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/tman.h"
#include "gfx/viewport.h"
#include "support/file_bytes.h"
#include "support/log_capture.h"

namespace gfx_test {

namespace {

test::rgba back_pixel(int x, int y)
{
    test::rgba seen;
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &seen);
    return seen;
}

}  // namespace

void set_up_screen()
{
    for (int a = 0; a <= 360; ++a) {
        lookup_sin[a] = static_cast<float>(std::sin(a * M_PI / 180));
        lookup_cos[a] = static_cast<float>(std::cos(a * M_PI / 180));
    }
    mnw.x_res = 1024;
    mnw.y_res = 768;
    mnw.cur_win = WIN_MAIN;
    mnw.off_x = mnw.off_y = 0;
    mnw.tex_res = 5;
    ren.global_alpha = 1;
    ren.green_only = 0;
    if (ren.gl_version == nullptr) {
        // Detection logs its report and warns nothing on llvmpipe; keep its lines out of the way.
        test::log_capture quiet;
        glExt.init_extensions();
    }
    OGL_pix_specs(0);
    OGL_nrml_colors();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

void screen_test::SetUp()
{
    test::gl_test::SetUp();
    set_up_screen();
    sync_state_cache();
    tman.reset_bind();
    scratch_array_align();
    colr = colr_class();
}

void sync_state_cache()
{
    OGL_setstate(fog_true, 1, lit_true, al_both, deR_true, deW_true);
    OGL_setstate(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals);
}

void expect_pixels(std::initializer_list<probe> probes)
{
    for (const probe& p : probes)
        EXPECT_EQ(back_pixel(p.x, p.y), p.colour) << "pixel " << p.x << ", " << p.y;
}

std::array<float, 4> current_colour()
{
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    return colour;
}

void fill(int x, int y, int width, int height, test::rgba colour)
{
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, width, height);
    glClearColor(colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

int count_pixels(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b)
{
    std::vector<unsigned char> block(static_cast<size_t>(w) * h * 4);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, block.data());
    int n = 0;
    for (size_t i = 0; i < block.size(); i += 4)
        if (std::abs(block[i] - r) <= 2 && std::abs(block[i + 1] - g) <= 2 && std::abs(block[i + 2] - b) <= 2)
            ++n;
    return n;
}

void load_texture_pixels(int ref, int width, int height, const unsigned char* rgba)
{
    scratch_array_align();
    std::memcpy(scratch_array, rgba, static_cast<size_t>(width) * height * 4);
    scratch_dx = width;
    scratch_dy = height;
    (void)tman.load_texture(tex_fail_fatal, ref, 2 | TEX_CLAMP, tex_load_now, "scratch_array:test texture");
}

test::rgba textured_square(int x, int y)
{
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2i(x, y), glTexCoord2f(1, 0), glVertex2i(x + 20, y);
    glTexCoord2f(1, 1), glVertex2i(x + 20, y + 20), glTexCoord2f(0, 1), glVertex2i(x, y + 20);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    return back_pixel(x + 10, y + 10);
}

void load_marker_atlas()
{
    constexpr int SIDE = 512, CELL_W = 8, CELL_H = 11, COLUMNS = 21, ROWS = 5, SECOND_SET = 168;
    scratch_array_align();
    std::memset(scratch_array, 0, SIDE * SIDE * 4);
    for (int set = 0; set < 2; ++set)
        for (int row = 0; row < ROWS; ++row)
            for (int column = 0; column < COLUMNS; ++column) {
                if (row == 0 && column == 0)
                    continue;
                const int s = set * SECOND_SET + column * CELL_W;
                for (int t = row * CELL_H; t < (row + 1) * CELL_H; ++t) {
                    unsigned char* texel = scratch_array + (t * SIDE + s) * 4;
                    texel[0] = static_cast<unsigned char>(10 * column + 5);
                    texel[1] = static_cast<unsigned char>(40 * row + 5);
                    texel[2] = set == 0 ? MARKER_BLUE_PROPORTIONAL : MARKER_BLUE_FIXED;
                    texel[3] = 255;
                }
            }
    scratch_dx = SIDE;
    scratch_dy = SIDE;
    (void)tman.load_texture(tex_fail_fatal, 363, 2, tex_load_now, "scratch_array:hard-wired textures");
}

test::rgba pixel_on_screen(int x, int y)
{
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    int height = 0;
    SDL_GetWindowSize(window, nullptr, &height);
    const std::string rgb =
        test::command_output("xwd -silent -id " + std::to_string(info.info.x11.window) + " | convert xwd:- -crop 1x1+" +
                             std::to_string(x) + "+" + std::to_string(height - 1 - y) + " -depth 8 rgb:- 2>/dev/null");
    if (rgb.size() != 3)
        return {};
    return {uint8_t(rgb[0]), uint8_t(rgb[1]), uint8_t(rgb[2]), 255};
}

}  // namespace gfx_test
