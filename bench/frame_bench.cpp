// Frame time of a representative interface screen under the software renderer: a full-screen
// textured quad, 100 strings and 50 rectangles, drawn through the graphics layer, against the
// same geometry drawn with plain OpenGL that sets every state before every primitive. Also the
// OpenGL state calls per frame with the state cache and the count it would take without.
#include <GL/gl.h>
#include <SDL2/SDL.h>

#include "bench_window.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/text.h"
#include "gfx/tman.h"
#include "gfx/viewport.h"

namespace {

constexpr int FRAMES = 40;
constexpr int STRINGS = 100;
constexpr int RECTANGLES = 50;
constexpr int BACKGROUND_REF = 600;
const char* const SAMPLE_TEXT = "Downloading Aircraft:Cessna 172SP:objects.obj 42%";

void load_texture(int ref, int side)
{
    scratch_array_align();
    for (int i = 0; i < side * side; ++i) {
        scratch_array[i * 4 + 0] = static_cast<unsigned char>(i);
        scratch_array[i * 4 + 1] = static_cast<unsigned char>(i >> 8);
        scratch_array[i * 4 + 2] = 128;
        scratch_array[i * 4 + 3] = 255;
    }
    scratch_dx = scratch_dy = side;
    (void)tman.load_texture(tex_fail_fatal, ref, 2, tex_load_now, "scratch_array:bench");
}

void layered_frame()
{
    OGL_2dquad_d(BACKGROUND_REF, 0, 1, 0, 0, 0, 0, 1024, 768, 1, 1, al_blend);
    for (int i = 0; i < RECTANGLES; ++i)
        OGL_fillrect(i % 40, 0.8f, static_cast<float>(20 * i % 900), static_cast<float>(13 * i % 700), 80, 20);
    for (int i = 0; i < STRINGS; ++i)
        OGL_string(0, static_cast<float>(10 + (i % 4) * 250), static_cast<float>(10 + (i / 4) * 30), SAMPLE_TEXT,
                   OGL_NO_WRAP, charset_UI_diff_space);
    glFinish();
}

// The same picture with no cache: every primitive sets all the states it depends on.
void direct_frame()
{
    auto all_states = [](bool textured, bool blend) {
        glDisable(GL_FOG);
        textured ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        glDisable(GL_LIGHT0);
        blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
    };
    all_states(true, true);
    glBindTexture(GL_TEXTURE_2D, BACKGROUND_REF);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(0, 0);
    glTexCoord2f(0, 1), glVertex2f(0, 768);
    glTexCoord2f(1, 1), glVertex2f(1024, 768);
    glTexCoord2f(1, 0), glVertex2f(1024, 0);
    glEnd();
    for (int i = 0; i < RECTANGLES; ++i) {
        all_states(false, true);
        glColor4f(0.5f, 0.5f, 0.5f, 0.8f);
        const float x = static_cast<float>(20 * i % 900), y = static_cast<float>(13 * i % 700);
        glBegin(GL_QUADS);
        glVertex2f(x, y), glVertex2f(x, y + 20), glVertex2f(x + 80, y + 20), glVertex2f(x + 80, y);
        glEnd();
    }
    const size_t length = std::strlen(SAMPLE_TEXT);
    for (int i = 0; i < STRINGS; ++i) {
        all_states(true, true);
        glBindTexture(GL_TEXTURE_2D, OGL_FONT_TEX);
        glColor3f(1, 1, 1);
        float pen = static_cast<float>(10 + (i % 4) * 250);
        const float y = static_cast<float>(8 + (i / 4) * 30);
        glBegin(GL_QUADS);
        for (size_t k = 0; k < length; ++k) {
            OGL_char(pen, y, 0, 0, 8, 11, SAMPLE_TEXT[k], charset_UI_diff_space);
            pen += static_cast<float>(OGL_char_width(SAMPLE_TEXT[k]));
        }
        glEnd();
    }
    glFinish();
}

double frames_per_second(void (*frame)(), SDL_Window* window)
{
    frame();  // warm-up: first use compiles llvmpipe's shaders
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < FRAMES; ++i) {
        frame();
        SDL_GL_SwapWindow(window);
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return FRAMES / spent.count();
}

}  // namespace

int main()
{
    bench::gl_window screen("frame_bench");
    if (!screen.ok())
        return 1;
    SDL_Window* window = screen.window;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    mnw.x_res = 1024;
    mnw.y_res = 768;
    mnw.cur_win = WIN_MAIN;
    mnw.tex_res = 5;
    ren.global_alpha = 1;
    (void)glExt.init_entry_points();
    glExt.init_extensions();
    OGL_pix_specs(0);
    OGL_nrml_colors();
    load_texture(OGL_FONT_TEX, 512);
    load_texture(BACKGROUND_REF, 1024);

    const uint64_t calls_before = OGL_state_calls(), requests_before = OGL_state_requests();
    layered_frame();
    const uint64_t cached_calls = OGL_state_calls() - calls_before;
    const uint64_t uncached_calls = (OGL_state_requests() - requests_before) * OGL_STATE_UNCACHED_CALLS;

    const double layered = frames_per_second(layered_frame, window);
    const double direct = frames_per_second(direct_frame, window);
    std::printf("frame_rate_interface_screen: %.1f fps (%.2f to plain OpenGL setting every state)\n", layered,
                layered / direct);
    std::printf("state_calls_per_frame: %llu calls (%.3f to %llu without the state cache)\n",
                static_cast<unsigned long long>(cached_calls),
                uncached_calls ? static_cast<double>(cached_calls) / static_cast<double>(uncached_calls) : 0.0,
                static_cast<unsigned long long>(uncached_calls));

    return 0;
}
