// viewport: frame set-up for 2-D drawing in window pixels. The shell calls OGL_pix_specs once
// after making the context, OGL_viewport when it starts a window or box, and OGL_sbuf at the end
// of every frame; drawing code uses the scissor, blend-preset and polygon-offset helpers.
// Invariant: the virtual 1024x768 screen is centred horizontally and touches the window's top edge.
#pragma once

// The virtual screen the interface is laid out on.
constexpr int OGL_VIRTUAL_WIDTH = 1024;
constexpr int OGL_VIRTUAL_HEIGHT = 768;

void OGL_pix_specs(int unused);
// Mode 2 orthographic over the whole window, 3 perspective, anything else the viewport only.
void OGL_viewport(int mode, float a1, float a2, float a3, float a4, float a5, float a6, float a7, float a8, float a9,
                  float a10, float a11);
void OGL_setspec(float level);
void OGL_glow_colors();
void OGL_nrml_colors();
void OGL_scissors(float x, float y, float width, float height);
void OGL_scissors_end();
void OGL_poly_offset(int level);
void OGL_sbuf();
