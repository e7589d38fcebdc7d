#include "platform/window.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <SDL2/SDL.h>

namespace plat {

namespace {

// Depth sizes tried within each pixel-format attempt: most drivers stop at 24.
constexpr int DEPTH_SIZES[] = {32, 24};
// The program draws in immediate mode and reads GL_EXTENSIONS, so it asks for 2.1 with no
// profile mask, which drivers answer with a compatibility context.
constexpr int GL_MAJOR = 2;
constexpr int GL_MINOR = 1;

bool env_set(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v;
}

void set_format_attributes(int depth, int samples, context_sharing sharing)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, sharing == CONTEXT_SHARED ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, GL_MAJOR);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, GL_MINOR);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples);
}

// The GL driver (a Mesa "dri/*_dri.so" loaded behind the context) keeps a few allocations that
// only its unloading drops, and it is unloaded when the display closes, before the process
// ends. Kept loaded until exit, they stay reachable, so that a leak check at exit reports what
// this program lost and nothing of the driver's. Nothing else changes: the process is ending.
int keep_if_gl_driver(dl_phdr_info* info, size_t, void*)
{
    const std::string path = info->dlpi_name ? info->dlpi_name : "";
    const std::string suffix = "_dri.so";
    if (path.find("/dri/") == std::string::npos || path.size() < suffix.size() ||
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    // RTLD_NOLOAD only marks the library already loaded; the handle is never closed.
    (void)dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

}

bool headless()
{
    const char* h = std::getenv("VELTRIX_HEADLESS");
    if (h && std::strcmp(h, "1") == 0)
        return true;
    return !env_set("DISPLAY") && !env_set("WAYLAND_DISPLAY");
}

bool video_init()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_Init(SDL_INIT_VIDEO) == 0;
}

void video_quit()
{
    SDL_Quit();
}

const char* video_error()
{
    return SDL_GetError();
}

bool desktop_mode(int* width, int* height, int* depth)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return false;
    *width = mode.w;
    *height = mode.h;
    *depth = 8 * SDL_BYTESPERPIXEL(mode.format);
    return true;
}

bool create_gl_window(const char* title, int x, int y, int width, int height, bool windowed, int samples,
                      context_sharing sharing, void** window, void** context)
{
    *window = nullptr;
    *context = nullptr;
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (!windowed) {
        flags |= SDL_WINDOW_BORDERLESS;
        y = 0;
    }
    // X11 fixes the visual when the window is made, so every format attempt makes its own window.
    for (int depth : DEPTH_SIZES) {
        set_format_attributes(depth, samples, sharing);
        SDL_Window* w = SDL_CreateWindow(title, x, y, width, height, flags);
        if (!w)
            continue;
        SDL_GLContext c = SDL_GL_CreateContext(w);
        if (!c) {
            SDL_DestroyWindow(w);
            continue;
        }
        if (SDL_GL_MakeCurrent(w, c) != 0) {
            SDL_GL_DeleteContext(c);
            SDL_DestroyWindow(w);
            continue;
        }
        // Frames are paced by the event pump's wait, and swaps made inside a call (a pressed
        // button, a progress panel) must not stall on the vertical blank.
        SDL_GL_SetSwapInterval(0);
        dl_iterate_phdr(&keep_if_gl_driver, nullptr);
        *window = w;
        *context = c;
        return true;
    }
    return false;
}

void destroy_gl_window(void** window, void** context)
{
    if (*context) {
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(*context));
        *context = nullptr;
    }
    if (*window) {
        SDL_DestroyWindow(static_cast<SDL_Window*>(*window));
        *window = nullptr;
    }
}

void gl_format_values(int values[GL_FORMAT_VALUE_COUNT])
{
    const SDL_GLattr attrs[] = {SDL_GL_DOUBLEBUFFER, SDL_GL_RED_SIZE,   SDL_GL_GREEN_SIZE,
                                SDL_GL_BLUE_SIZE,    SDL_GL_ALPHA_SIZE, SDL_GL_DEPTH_SIZE};
    values[0] = 1;
    for (int i = 0; i < GL_FORMAT_VALUE_COUNT - 1; i++) {
        int v = -1;
        if (SDL_GL_GetAttribute(attrs[i], &v) != 0)
            v = -1;
        values[i + 1] = v;
    }
}

void make_current(void* window, void* context)
{
    if (window && context)
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window), static_cast<SDL_GLContext>(context));
}

void swap_window(void* window)
{
    if (window)
        SDL_GL_SwapWindow(static_cast<SDL_Window*>(window));
}

void window_geometry(void* window, int* x, int* y, int* width, int* height)
{
    *x = *y = *width = *height = 0;
    if (!window)
        return;
    SDL_GetWindowPosition(static_cast<SDL_Window*>(window), x, y);
    SDL_GetWindowSize(static_cast<SDL_Window*>(window), width, height);
}

bool window_borderless(void* window)
{
    return window && (SDL_GetWindowFlags(static_cast<SDL_Window*>(window)) & SDL_WINDOW_BORDERLESS);
}

void init_cursor()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_Cursor* arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (arrow)
        SDL_SetCursor(arrow);
    SDL_ShowCursor(SDL_ENABLE);
}

void show_cursor(bool visible)
{
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

}
