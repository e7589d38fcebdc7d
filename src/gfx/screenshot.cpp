#include "gfx/screenshot.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

#include "core/convert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/paths.h"
#include "core/stats.h"
#include "gfx/draw2d.h"
#include "gfx/image_write.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/tman.h"
#include "platform/gl.h"

namespace {

// The background square is 1024 x 1024 RGBA, built from 1024-wide rows.
constexpr int BACK_SIDE = 1024;
// RGBA with the flag no operation tests: the type every background load has used.
constexpr int BACK_TEX_TYPE = 514;
constexpr int RGBA_KIND = 2;
constexpr int SHOT_BYTES_PER_PIXEL = 3;

int shot_height()
{
    return mnw.y_res < 0 ? 0 : (mnw.y_res > BACK_SIDE ? BACK_SIDE : mnw.y_res);
}

// The screenshot leaves RGB rows, the background wants RGBA rows: widen them in place from the
// last pixel back (each RGBA pixel lies at or past its RGB source, so nothing is overwritten before
// it is read), and make the rows the screenshot did not cover opaque black.
void widen_shot_to_rgba(int height)
{
    unsigned char* pixels = scratch_array;
    for (long i = static_cast<long>(height) * BACK_SIDE - 1; i >= 0; --i) {
        unsigned char* to = pixels + i * 4;
        const unsigned char* from = pixels + i * SHOT_BYTES_PER_PIXEL;
        const unsigned char r = from[0], g = from[1], b = from[2];
        to[0] = r, to[1] = g, to[2] = b, to[3] = 255;
    }
    for (long i = static_cast<long>(height) * BACK_SIDE; i < static_cast<long>(BACK_SIDE) * BACK_SIDE; ++i) {
        unsigned char* to = pixels + i * 4;
        to[0] = to[1] = to[2] = 0, to[3] = 255;
    }
}

// One cache and one count per target: each instantiation keeps statics of its own.
template <GLenum TARGET> void bind_cached(unsigned long name, const char* statistic)
{
    static unsigned long last_vbo = 0;
    if (name == last_vbo)
        return;
    static UTL_stat binds(statistic, stat_frame, 0);
    binds.ref() += 1;
    glExt.glBindBufferARB(TARGET, static_cast<GLuint>(name));
    last_vbo = name;
}

}

void OGL_screenshot(int save)
{
    const int h = shot_height();
    const int y0 = static_cast<int>((mnw.y_res - h) * 0.5);
    const int x0 = static_cast<int>((mnw.x_res - OGL_SHOT_WIDTH) * 0.5);
    // After the swap only this buffer still holds what the user saw.
    glReadBuffer(plat::gl_shown_buffer());
    glReadPixels(x0, y0, OGL_SHOT_WIDTH, h, GL_RGB, GL_UNSIGNED_BYTE, scratch_array);
    glReadBuffer(GL_BACK);
    if (!save)
        return;
    static int shot = -1;
    std::string name;
    do {
        char digits[12];
        int_to_str(++shot, digits, 1, 0);
        name = std::string("screenshot_") + digits + ".png";
    } while (file_exists(name));
    write_png_to_disk(name, OGL_SHOT_WIDTH, h, SHOT_BYTES_PER_PIXEL);
}

void OGL_make_back_tex()
{
    if (mnw.cur_win == WIN_NONE)
        (void)tman.load_bitmap(tex_fail_fatal, 0, RGBA_KIND, "Resources:bitmaps:intro.png");
    else
        widen_shot_to_rgba(shot_height());
    OGL_setstate(fog_fals, 1, lit_fals, al_blend, deR_fals, deW_fals);
    scratch_dx = BACK_SIDE;
    scratch_dy = BACK_SIDE;
    (void)tman.load_texture(tex_fail_fatal, OGL_BACKGROUND_TEX, BACK_TEX_TYPE, tex_load_now,
                            "scratch_array-t_tex_back");
}

void OGL_bind_vbo(const unsigned long& name)
{
    bind_cached<GL_ARRAY_BUFFER_ARB>(name, "num_xdl_bind");
}

void OGL_bind_vbo_ind(const unsigned long& name)
{
    bind_cached<GL_ELEMENT_ARRAY_BUFFER_ARB>(name, "num_xdl_bind_ind");
}
