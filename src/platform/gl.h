// gl: looking up OpenGL entry points by name and swapping the current window's buffers.
// The graphics layer's capability detection and the shell's context code call these; the lookup
// is replaceable so tests can make chosen names "missing".
// Invariant: a returned pointer stays valid for the life of the process (the GL library is never unloaded).
#pragma once

#include <functional>

namespace plat {

// Loads the OpenGL library for lookups. 0 on success, -1 when it cannot be loaded.
// The window normally loaded it already, so this costs nothing then.
[[nodiscard]] int gl_load_library();

// The address of the named function, or null (always null for names not starting with "gl").
// By default SDL_GL_GetProcAddress, which through glvnd answers a non-null dispatch stub for any
// "gl..." name: only the extension string tells whether a feature is really there.
void* gl_proc(const char* name);

// Replaces the lookup; null restores the real one.
using GlProcLookup = std::function<void*(const char* name)>;
void set_gl_proc_lookup(GlProcLookup lookup);

// Shows the back buffer of the window whose context is current; nothing when none is current.
void gl_swap_current();

// The colour buffer (GL_FRONT or GL_BACK) that holds the last frame shown, for reading it back
// after a swap. Mostly the front buffer; but Mesa's software rasterisers swap by copying the back
// buffer into the window and keep it, while their front buffer is never filled, so there it is the
// back buffer. Needs a current context.
unsigned gl_shown_buffer();

}
