// screenshot: three services beside the primitives. The screenshot reads the 1024-pixel-wide centre
// of the last frame shown into scratch_array (RGB rows, bottom first) and may save it as the next free
// "screenshot_N.png"; OGL_make_back_tex turns the scratch picture into background texture 389; and the
// buffer-object binds go through one-entry caches that count the binds really sent to OpenGL.
// Main thread only, with the window's context current; the scratch buffer is shared with the loaders.
#pragma once

// Width every screenshot reads, whatever the window's width.
constexpr int OGL_SHOT_WIDTH = 1024;

void OGL_screenshot(int save);
// Before any window: from "Resources:bitmaps:intro.png" (fatal when missing); else from the last screenshot.
void OGL_make_back_tex();
// Bind to GL_ARRAY_BUFFER_ARB / GL_ELEMENT_ARRAY_BUFFER_ARB unless the cache already holds the name.
// Code that binds buffers directly leaves the caches stale.
void OGL_bind_vbo(const unsigned long& name);
void OGL_bind_vbo_ind(const unsigned long& name);
