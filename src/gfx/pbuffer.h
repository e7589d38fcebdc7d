// pbuffer: an off-screen drawing surface whose pixels serve directly as a texture. Draw into it
// between xpbuffer_draw_begin and xpbuffer_draw_end, then xpbuffer_bind its texture.
// Nothing in the program makes one: capability detection never sets pbuffer_avail, so
// xpbuffer_create answers null. Main thread only, with the window's context current.
// Invariant: at most one surface is drawn into at a time (XPBUFFER_cur); misuse is a fatal alert.
#pragma once

#include <cstdint>

#include "platform/surface.h"

struct xpbuffer {
    int32_t tex_id;                       // texture that shows the surface (the caller's name)
    unsigned context;                     // the framebuffer object that draws into it
    unsigned pbuffer;                     // its depth renderbuffer, 0 without depth
    plat::surface_binding saved_context;  // where drawing went before draw begin
    // A framebuffer object keeps no viewport of its own, so draw begin sets one over this size.
    int width, height;
};

// The surface being drawn into, null when none.
extern xpbuffer* XPBUFFER_cur;

bool xpbuffer_avail();
// Null when surfaces are unavailable or the surface cannot be made (no alert); the fourth argument
// is ignored. `depth` adds a depth buffer.
xpbuffer* xpbuffer_create(int tex_id, int width, int height, int, bool depth);
void xpbuffer_draw_begin(xpbuffer* surface);
void xpbuffer_draw_end(xpbuffer* surface);
void xpbuffer_bind(xpbuffer* surface);
// Deletes the texture too.
void xpbuffer_destroy(xpbuffer* surface);
