// surface: off-screen drawing surfaces as framebuffer objects whose colour buffer is a texture, for
// the graphics layer's pbuffers. The entry points come through gl_proc, so a renderer without
// framebuffer objects simply yields no surface.
// Invariant: after surface_create fails, nothing it made is left and the caller's framebuffer
// binding and viewport are back as they were.
#pragma once

namespace plat {

// Where drawing went before a surface took it over.
struct surface_binding {
    int draw_framebuffer = 0;
    int read_framebuffer = 0;
    int viewport[4] = {0, 0, 0, 0};
};

// The framebuffer binding and viewport of the current context.
surface_binding surface_current();

// Makes a framebuffer object around `texture` (which must already hold width x height RGBA storage),
// with a 24-bit depth renderbuffer of that size when asked. True with both names (the depth name 0
// without depth); false when the renderer has no framebuffer objects or the object is incomplete.
[[nodiscard]] bool surface_create(unsigned texture, int width, int height, bool depth, unsigned* framebuffer,
                                  unsigned* depth_buffer);

// Sends drawing and reading to the surface, with a viewport over all of it.
void surface_bind(unsigned framebuffer, int width, int height);

// Puts a binding and viewport noted by surface_current back.
void surface_restore(const surface_binding& binding);

// True while drawing goes to this framebuffer.
bool surface_is_bound(unsigned framebuffer);

// Deletes the framebuffer object and its depth renderbuffer (0 skips either).
void surface_destroy(unsigned framebuffer, unsigned depth_buffer);

}
