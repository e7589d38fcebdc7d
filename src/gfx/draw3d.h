// draw3d: helpers that emit 3-D geometry in the caller's model space for scene drawing in a
// perspective view. Unlike the 2-D primitives they set no render state, no colour and no drawing
// offset: the caller chooses those. OGL_3dline and the quads go inside the caller's own
// glBegin/glEnd; the cube and the disc open their own blocks and restore the modelview matrix.
#pragma once

// Two vertices.
void OGL_3dline(float x1, float y1, float z1, float x2, float y2, float z2);
// The normal of the corners (unit length; (0, 1, 0) when they are collinear), then the four corners
// with texels (1, 1), (1, 0), (0, 0), (0, 1).
void OGL_3dquad(const float* p1, const float* p2, const float* p3, const float* p4);
// The same with texels (s1, t1), (s1, t2), (s2, t2), (s2, t1).
void OGL_3dquad_st(const float* p1, const float* p2, const float* p3, const float* p4, float s1, float t1, float s2,
                   float t2);
// A box standing on its base at (x, y, z), turned by -angle degrees about z; sides span s1..s2 and
// t1 (bottom) .. t2 (top); the top and bottom repeat one texture row each.
void OGL_cube(float x, float y, float z, float width, float height, float depth, float s1, float s2, float t1, float t2,
              float angle);
// A 12-sided wheel around the x axis through (x, y, z), reaching +-size along the axis and radius size.
void OGL_disc(float x, float y, float z, float size);
// Sets the current colour from a black-red-orange-yellow-green-blue-violet ramp over 0..1.
void OGL_spectrum_rgb(float value);
// A hook left empty.
void OGL_printer();
