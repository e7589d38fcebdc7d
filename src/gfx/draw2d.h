// draw2d: the 2-D primitives the whole interface is drawn with, in window pixels (y up) plus the
// drawing offset of the current box. Each call sets its own render state and palette colour,
// and draws one immediate-mode block; nothing is batched or kept between calls.
// Invariant: fog, lighting, depth test and depth writes stay off for all of them.
#pragma once

// Background texture built by the screenshot code and drawn by OGL_plot_back_tex.
constexpr int OGL_BACKGROUND_TEX = 389;

void OGL_line(int colour, float alpha, float x1, float y1, float x2, float y2);
void OGL_fillrect(int colour, float alpha, float x, float y, float width, float height);
void OGL_framerect(int colour, float alpha, float x, float y, float width, float height);
void OGL_grayrect(float x1, float y1, float x2, float y2, float alpha);
void OGL_fillcircle(int colour, float cx, float cy, float radius);
void OGL_framecircle(int colour, float cx, float cy, float radius);
void OGL_arc(int colour, float cx, float cy, float inner_radius, float outer_radius, float start_angle,
             float end_angle);
void OGL_plot_back_col();
void OGL_plot_back_tex();
void OGL_2dquad(int ref, int colour, float alpha, float x1, float y1, float s1, float t1, float x2, float y2, float s2,
                float t2, float x3, float y3, float s3, float t3, float x4, float y4, float s4, float t4, int units,
                int blending);
void OGL_2dquad_d(int ref, int colour, float alpha, float x, float y, float s, float t, float width, float height,
                  float ds, float dt, int blending);
// The four corners of an upright textured rectangle inside glBegin(GL_QUADS): (x1, y1) takes
// texel (s1, t1), (x2, y2) takes (s2, t2), wound from the first corner up, across and down.
void OGL_rect_vertices(float x1, float y1, float x2, float y2, float s1, float t1, float s2, float t2);
