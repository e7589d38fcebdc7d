#include "gfx/draw3d.h"

#include <GL/gl.h>

#include <cmath>

#include "core/globals.h"
#include "gfx/colr.h"
#include "gfx/ogl_ext.h"

namespace {

// The disc's octagonal profile: the rim cuts in to this fraction of its size at both ends.
constexpr float DISC_INNER = 0.38f;
constexpr int DISC_STEP_DEGREES = 30;

constexpr int SPECTRUM_BANDS = 6;
constexpr float SPECTRUM_STOPS[SPECTRUM_BANDS + 1][3] = {
    {0, 0, 0}, {1, 0, 0}, {1, 0.32f, 0.08f}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0.8f, 0, 0.8f},
};
// Upper ends of bands 0..4 as the single-precision thirds and sixths the ramp is cut at.
constexpr float SPECTRUM_BAND_ENDS[SPECTRUM_BANDS - 1] = {1.0f / 6, 2.0f / 6, 0.5f, 4.0f / 6, 5.0f / 6};

// e1 x e0 with e0 = p2 - p1 and e1 = p3 - p2, at unit length.
void quad_normal(const float* p1, const float* p2, const float* p3)
{
    const float e0[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    const float e1[3] = {p3[0] - p2[0], p3[1] - p2[1], p3[2] - p2[2]};
    float n[3] = {e1[1] * e0[2] - e1[2] * e0[1], e1[2] * e0[0] - e1[0] * e0[2], e1[0] * e0[1] - e1[1] * e0[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length == 0) {
        n[0] = 0, n[1] = 1, n[2] = 0;
    } else {
        const float scale = 1 / length;
        n[0] *= scale, n[1] *= scale, n[2] *= scale;
    }
    glNormal3fv(n);
}

void textured_vertex(float s, float t, const float* p)
{
    glTexCoord2f(s, t);
    glVertex3fv(p);
}

// A point of the disc at whole-degree angle a and radius r, at position x along the axis.
void disc_vertex(float x, int a, float r)
{
    glVertex3f(x, r * lookup_cos[a], -r * lookup_sin[a]);
}

}

void OGL_3dline(float x1, float y1, float z1, float x2, float y2, float z2)
{
    glVertex3f(x1, y1, z1);
    glVertex3f(x2, y2, z2);
}

void OGL_3dquad(const float* p1, const float* p2, const float* p3, const float* p4)
{
    OGL_3dquad_st(p1, p2, p3, p4, 1, 1, 0, 0);
}

void OGL_3dquad_st(const float* p1, const float* p2, const float* p3, const float* p4, float s1, float t1, float s2,
                   float t2)
{
    quad_normal(p1, p2, p3);
    textured_vertex(s1, t1, p1);
    textured_vertex(s1, t2, p2);
    textured_vertex(s2, t2, p3);
    textured_vertex(s2, t1, p4);
}

void OGL_cube(float x, float y, float z, float w, float h, float d, float s1, float s2, float t1, float t2, float angle)
{
    glPushMatrix();
    glTranslatef(x, y, z);
    glRotatef(-angle, 0, 0, 1);
    const float hw = w / 2, hd = d / 2;
    // The sides, going around the box; each edge gives its top vertex, then its bottom one.
    struct side_edge {
        float nx, nz, x, z, s;
    };
    const side_edge edges[] = {
        {0, -1, -hw, -hd, s1}, {0, -1, hw, -hd, s2}, {1, 0, hw, hd, s1}, {0, 1, -hw, hd, s2}, {-1, 0, -hw, -hd, s1},
    };
    glBegin(GL_QUAD_STRIP);
    for (const side_edge& e : edges) {
        glNormal3f(e.nx, 0, e.nz);
        glTexCoord2f(e.s, t2);
        glVertex3f(e.x, h, e.z);
        glTexCoord2f(e.s, t1);
        glVertex3f(e.x, 0, e.z);
    }
    glEnd();
    glBegin(GL_QUADS);
    glNormal3f(0, 1, 0);
    glTexCoord2f(s1, t2), glVertex3f(-hw, h, -hd);
    glTexCoord2f(s2, t2), glVertex3f(hw, h, -hd);
    glTexCoord2f(s2, t2), glVertex3f(hw, h, hd);
    glTexCoord2f(s1, t2), glVertex3f(-hw, h, hd);
    glNormal3f(0, -1, 0);
    glTexCoord2f(s1, t1), glVertex3f(-hw, 0, hd);
    glTexCoord2f(s2, t1), glVertex3f(hw, 0, hd);
    glTexCoord2f(s2, t1), glVertex3f(hw, 0, -hd);
    glTexCoord2f(s1, t1), glVertex3f(-hw, 0, -hd);
    glEnd();
    glPopMatrix();
}

void OGL_disc(float x, float y, float z, float L)
{
    const float R = DISC_INNER * L;
    glPushMatrix();
    glTranslatef(x, y, z);
    glNormal3f(-1, 0, 0);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(-L, 0, 0);
    for (int a = 360; a >= 0; a -= DISC_STEP_DEGREES)
        disc_vertex(-L, a, R);
    glEnd();
    glNormal3f(1, 0, 0);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(L, 0, 0);
    for (int a = 0; a <= 360; a += DISC_STEP_DEGREES)
        disc_vertex(L, a, R);
    glEnd();
    // The rim in three bands of the profile, (x, radius) to (x, radius); they keep the last normal.
    const float bands[3][4] = {{-L, R, -R, L}, {-R, L, R, L}, {R, L, L, R}};
    for (const auto& band : bands) {
        glBegin(GL_QUAD_STRIP);
        for (int a = 360; a >= 0; a -= DISC_STEP_DEGREES) {
            disc_vertex(band[0], a, band[1]);
            disc_vertex(band[2], a, band[3]);
        }
        glEnd();
    }
    glPopMatrix();
}

void OGL_spectrum_rgb(float v)
{
    float rgb[3];
    if (v < 0 || v > 1) {
        const float* stop = SPECTRUM_STOPS[v < 0 ? 0 : SPECTRUM_BANDS];
        rgb[0] = stop[0], rgb[1] = stop[1], rgb[2] = stop[2];
    } else {
        int k = 0;
        while (k < SPECTRUM_BANDS - 1 && v >= SPECTRUM_BAND_ENDS[k])
            ++k;
        const float t = (v - static_cast<float>(k) / SPECTRUM_BANDS) * SPECTRUM_BANDS;
        for (int c = 0; c < 3; ++c)
            rgb[c] = SPECTRUM_STOPS[k][c] * (1 - t) + SPECTRUM_STOPS[k + 1][c] * t;
    }
    if (ren.green_only)
        fold_to_green(rgb);
    glColor4f(rgb[0], rgb[1], rgb[2], ren.global_alpha);
}

void OGL_printer() { }
