// The window of the graphics benchmarks: 1024 x 768 with a compatibility OpenGL context, opened with
// SDL directly and closed with the object. ok() is false, the reason printed, when none can be had.
#pragma once

#include <SDL2/SDL.h>

#include <cstdio>

namespace bench {

class gl_window {
public:
    explicit gl_window(const char* program)
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "%s: no display (%s)\n", program, SDL_GetError());
            return;
        }
        // 2.1 without a profile: the compatibility context the immediate-mode drawing needs.
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window = SDL_CreateWindow("Main", 0, 0, 1024, 768, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
        context = window ? SDL_GL_CreateContext(window) : nullptr;
        if (context == nullptr) {
            std::fprintf(stderr, "%s: no OpenGL context (%s)\n", program, SDL_GetError());
            return;
        }
        SDL_GL_SetSwapInterval(0);
    }
    ~gl_window()
    {
        if (context)
            SDL_GL_DeleteContext(context);
        if (window)
            SDL_DestroyWindow(window);
        SDL_Quit();
    }
    gl_window(const gl_window&) = delete;
    gl_window& operator=(const gl_window&) = delete;

    bool ok() const { return context != nullptr; }

    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};

}  // namespace bench
