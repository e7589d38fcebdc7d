#include "gfx/draw2d.h"

#include <GL/gl.h>

#include <cmath>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/tman.h"

namespace {

// Lines and outlines sit on pixel centres so that they land on exactly one pixel row or column.
constexpr float PIXEL_CENTRE = 0.5f;
// Alpha below which untextured outlines blend.
constexpr float OPAQUE_ALPHA = 0.99f;
// Palette entries with a fixed role here.
constexpr int GRAY_BOX_COLOUR = 12;
constexpr int BACKGROUND_COLOUR = 33;
// Outline circles use a fixed 72 segments.
constexpr int CIRCLE_STEP_DEGREES = 5;
// Background texture square size in pixels.
constexpr float BACKGROUND_SIZE = 1024;

void untextured_state(int blending)
{
    OGL_setstate(fog_fals, 0, lit_fals, blending, deR_fals, deW_fals);
}

}  // namespace

void OGL_line(int colour, float alpha, float x1, float y1, float x2, float y2)
{
    untextured_state(alpha < OPAQUE_ALPHA ? al_blend : al_none);
    OGL_setcolor(colour, alpha);
    const float dx = mnw.off_x + PIXEL_CENTRE, dy = mnw.off_y + PIXEL_CENTRE;
    glBegin(GL_LINES);
    glVertex2f(x1 + dx, y1 + dy);
    glVertex2f(x2 + dx, y2 + dy);
    glEnd();
}

void OGL_fillrect(int colour, float alpha, float x, float y, float width, float height)
{
    untextured_state(al_blend);
    OGL_setcolor(colour, alpha);
    x += mnw.off_x;
    y += mnw.off_y;
    glBegin(GL_QUADS);
    glVertex2f(x, y);
    glVertex2f(x, y + height);
    glVertex2f(x + width, y + height);
    glVertex2f(x + width, y);
    glEnd();
}

void OGL_framerect(int colour, float alpha, float x, float y, float width, float height)
{
    untextured_state(alpha < OPAQUE_ALPHA ? al_blend : al_none);
    OGL_setcolor(colour, alpha);
    x += mnw.off_x + PIXEL_CENTRE;
    y += mnw.off_y + PIXEL_CENTRE;
    glBegin(GL_LINE_STRIP);
    glVertex2f(x, y);
    glVertex2f(x, y + height);
    glVertex2f(x + width, y + height);
    glVertex2f(x + width, y);
    glVertex2f(x, y);
    glEnd();
}

void OGL_grayrect(float x1, float y1, float x2, float y2, float alpha)
{
    untextured_state(al_blend);
    OGL_setcolor(GRAY_BOX_COLOUR, alpha);
    x1 += mnw.off_x;
    x2 += mnw.off_x;
    y1 += mnw.off_y;
    y2 += mnw.off_y;
    glBegin(GL_QUADS);
    glVertex2f(x1, y1);
    glVertex2f(x1, y2);
    glVertex2f(x2, y2);
    glVertex2f(x2, y1);
    glEnd();
}

void OGL_fillcircle(int colour, float cx, float cy, float radius)
{
    for (float d = -radius; d <= radius; d += 1) {
        const float half = std::sqrt(radius * radius - d * d);
        OGL_line(colour, 1, cx - half, cy + d, cx + half, cy + d);
    }
}

void OGL_framecircle(int colour, float cx, float cy, float radius)
{
    untextured_state(al_none);
    OGL_setcolor(colour, 1);
    const float x = cx + mnw.off_x + PIXEL_CENTRE, y = cy + mnw.off_y + PIXEL_CENTRE;
    glBegin(GL_LINE_STRIP);
    for (int a = 0; a <= 360; a += CIRCLE_STEP_DEGREES)
        glVertex2f(x + radius * lookup_sin[a], y + radius * lookup_cos[a]);
    glEnd();
}

void OGL_arc(int colour, float cx, float cy, float inner_radius, float outer_radius, float start_angle, float end_angle)
{
    OGL_setcolor(colour, 1);
    for (float r = inner_radius; r <= outer_radius; r += 1) {
        for (float a = start_angle; a + 1 <= end_angle; a += 1) {
            const double a0 = a * degtorad, a1 = (a + 1) * degtorad;
            OGL_line(colour, 1, static_cast<float>(cx + r * std::sin(a0)), static_cast<float>(cy + r * std::cos(a0)),
                     static_cast<float>(cx + r * std::sin(a1)), static_cast<float>(cy + r * std::cos(a1)));
        }
    }
}

void OGL_plot_back_col()
{
    OGL_fillrect(BACKGROUND_COLOUR, 1, -mnw.off_x, -mnw.off_y, static_cast<float>(mnw.x_res),
                 static_cast<float>(mnw.y_res));
}

void OGL_plot_back_tex()
{
    if (mnw.cur_win == WIN_NONE && (mnw.scr_x0 > 0 || mnw.scr_y0 > 0))
        OGL_plot_back_col();
    OGL_setstate(fog_fals, 1, lit_fals, ren.global_alpha > OPAQUE_ALPHA ? al_test : al_blend, deR_fals, deW_fals);
    OGL_setcolor(0, 1);
    tman.bind_ref(OGL_BACKGROUND_TEX, 0, 0);
    const float x0 = mnw.scr_x0;
    glBegin(GL_QUADS);
    OGL_rect_vertices(x0, 0, x0 + BACKGROUND_SIZE, BACKGROUND_SIZE, 0, 0, 1, 1);
    glEnd();
}

void OGL_2dquad(int ref, int colour, float alpha, float x1, float y1, float s1, float t1, float x2, float y2, float s2,
                float t2, float x3, float y3, float s3, float t3, float x4, float y4, float s4, float t4, int units,
                int blending)
{
    OGL_setstate(fog_fals, units, lit_fals, blending, deR_fals, deW_fals);
    if (ref > 0)
        tman.bind_ref(ref, 0, 0);
    OGL_setcolor(colour, alpha);
    const float dx = mnw.off_x, dy = mnw.off_y;
    glBegin(GL_QUADS);
    glTexCoord2f(s1, t1);
    glVertex2f(x1 + dx, y1 + dy);
    glTexCoord2f(s2, t2);
    glVertex2f(x2 + dx, y2 + dy);
    glTexCoord2f(s3, t3);
    glVertex2f(x3 + dx, y3 + dy);
    glTexCoord2f(s4, t4);
    glVertex2f(x4 + dx, y4 + dy);
    glEnd();
}

void OGL_2dquad_d(int ref, int colour, float alpha, float x, float y, float s, float t, float width, float height,
                  float ds, float dt, int blending)
{
    OGL_setstate(fog_fals, 1, lit_fals, blending, deR_fals, deW_fals);
    if (ref > 0)
        tman.bind_ref(ref, 0, 0);
    OGL_setcolor(colour, alpha);
    x += mnw.off_x;
    y += mnw.off_y;
    glBegin(GL_QUADS);
    OGL_rect_vertices(x, y, x + width, y + height, s, t, s + ds, t + dt);
    glEnd();
}

void OGL_rect_vertices(float x1, float y1, float x2, float y2, float s1, float t1, float s2, float t2)
{
    glTexCoord2f(s1, t1);
    glVertex2f(x1, y1);
    glTexCoord2f(s1, t2);
    glVertex2f(x1, y2);
    glTexCoord2f(s2, t2);
    glVertex2f(x2, y2);
    glTexCoord2f(s2, t1);
    glVertex2f(x2, y1);
}
