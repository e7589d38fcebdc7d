#include "platform/gl.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstring>

namespace plat {

namespace {

GlProcLookup& lookup_override()
{
    static GlProcLookup lookup;
    return lookup;
}

}  // namespace

int gl_load_library()
{
    // The window's creation loads the library; asking again then only succeeds. Without a
    // video subsystem there is nothing to load into.
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return -1;
    if (SDL_GL_GetCurrentContext() != nullptr)
        return 0;
    return SDL_GL_LoadLibrary(nullptr) == 0 ? 0 : -1;
}

void* gl_proc(const char* name)
{
    if (name == nullptr)
        return nullptr;
    if (lookup_override())
        return lookup_override()(name);
    // GLX hands out a dispatch stub for any name at all; only OpenGL's own "gl" names can be
    // real here (the Mac's CGL calls, for one, do not exist).
    if (std::strncmp(name, "gl", 2) != 0)
        return nullptr;
    return SDL_GL_GetProcAddress(name);
}

void set_gl_proc_lookup(GlProcLookup lookup)
{
    lookup_override() = std::move(lookup);
}

void gl_swap_current()
{
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    if (window != nullptr)
        SDL_GL_SwapWindow(window);
}

unsigned gl_shown_buffer()
{
    // Renderer names of Mesa's rasterisers that draw through X images rather than a driver's buffers.
    static const char* const COPYING_RENDERERS[] = {"llvmpipe", "softpipe", "Software Rasterizer"};
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer != nullptr)
        for (const char* name : COPYING_RENDERERS)
            if (std::strncmp(renderer, name, std::strlen(name)) == 0)
                return GL_BACK;
    return GL_FRONT;
}

}  // namespace plat
