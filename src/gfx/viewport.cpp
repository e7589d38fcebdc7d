#include "gfx/viewport.h"

#include <GL/gl.h>

#include <algorithm>

#include "core/mnw.h"
#include "gfx/camera.h"
#include "gfx/ogl_ext.h"
#include "platform/gl.h"

namespace {

// Factor of the polygon offset per level: coplanar layers are pulled toward the viewer.
constexpr float POLY_OFFSET_FACTOR = -10.0f;
constexpr float POLY_OFFSET_UNITS = -1.0f;
constexpr int SPECULAR_SHININESS = 128;

}  // namespace

void OGL_pix_specs(int)
{
    const float w = static_cast<float>(mnw.x_res);
    const float h = static_cast<float>(mnw.y_res);
    mnw.ortho[0] = 0;
    mnw.ortho[1] = 0;
    mnw.ortho[2] = w;
    mnw.ortho[3] = h;
    mnw.scr_cy = OGL_VIRTUAL_HEIGHT / 2;
    mnw.scale = 1;
    mnw.scr_x0 = (w - OGL_VIRTUAL_WIDTH) * 0.5f;
    mnw.scr_y0 = h - OGL_VIRTUAL_HEIGHT;
    mnw.scr_cx = mnw.scr_x0 + OGL_VIRTUAL_WIDTH / 2;
    mnw.tex_filter = std::max(1.0f, std::min(w / OGL_VIRTUAL_WIDTH, h / OGL_VIRTUAL_HEIGHT));
    if (mnw.cur_win >= 0)
        OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
}

void OGL_viewport(int mode, float a1, float a2, float a3, float a4, float a5, float a6, float a7, float a8, float a9,
                  float a10, float a11)
{
    float vx = 0, vy = 0, vw = 0, vh = 0;
    if (mode == 2) {
        vw = static_cast<float>(mnw.x_res);
        vh = static_cast<float>(mnw.y_res);
    } else {
        if (mode == 3) {
            a1 *= a9;
            a3 *= a9;
            a5 *= a9;
            a7 *= a9;
            a2 *= mnw.scale;
            a4 *= mnw.scale;
            a6 *= mnw.scale;
            a8 *= mnw.scale;
        }
        vx = a2;
        vy = a4;
        vw = a6 - a2;
        vh = a8 - a4;
    }

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (mode == 2) {
        xcam.SetupOrtho(mnw.ortho[0] / a11, mnw.ortho[2] / a11, mnw.ortho[1] / a11, mnw.ortho[3] / a11, -1, 1);
    } else if (mode == 3) {
        const float aspect = vh / vw;
        xcam.SetupFrustum(a1 / a11, a5 / a11, a3 * aspect / a11, a7 * aspect / a11, a9, a10);
    }
    glViewport(static_cast<GLint>(vx), static_cast<GLint>(vy), static_cast<GLsizei>(vw), static_cast<GLsizei>(vh));
    xcam.Identity();
    glLoadMatrixd(xcam.proj);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(xcam.mv);
    xcam.reread_mv = 0;
}

void OGL_setspec(float level)
{
    const GLfloat colour[4] = {level, level, level, 1};
    glLightfv(GL_LIGHT0, GL_SPECULAR, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, colour);
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, SPECULAR_SHININESS);
}

void OGL_glow_colors()
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void OGL_nrml_colors()
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void OGL_scissors(float x, float y, float width, float height)
{
    const float s = mnw.scale;
    const float X = x + mnw.off_x;
    const float Y = y + mnw.off_y;
    glEnable(GL_SCISSOR_TEST);
    glScissor(static_cast<GLint>(X * s), static_cast<GLint>(Y * s), static_cast<GLsizei>((X + width) * s - X * s),
              static_cast<GLsizei>((Y + height) * s - Y * s));
}

void OGL_scissors_end()
{
    glDisable(GL_SCISSOR_TEST);
}

void OGL_poly_offset(int level)
{
    if (level == 0) {
        glDisable(GL_POLYGON_OFFSET_FILL);
        return;
    }
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(level * POLY_OFFSET_FACTOR, POLY_OFFSET_UNITS);
}

void OGL_sbuf()
{
    if (ren.green_only)
        glColor4f(0, 1, 0, ren.global_alpha);
    else
        glColor4f(1, 1, 1, ren.global_alpha);
    plat::gl_swap_current();
}
