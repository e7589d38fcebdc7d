// gl_window: opens the window with SDL2 directly, independent of the program's own window code,
// so that graphics tests do not depend on the shell and the shell's tests can compare against it.
#include "support/gl_window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>

#include <cstdlib>
#include <iomanip>

namespace test {

std::ostream& operator<<(std::ostream& out, const rgba& c)
{
    return out << "rgba(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}

bool near_colour(const rgba& a, const rgba& b, int tolerance)
{
    return std::abs(int(a.r) - int(b.r)) <= tolerance && std::abs(int(a.g) - int(b.g)) <= tolerance &&
        std::abs(int(a.b) - int(b.b)) <= tolerance;
}

gl_window::gl_window(int width, int height) : width_(width), height_(height)
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error_ = std::string("SDL_InitSubSystem: ") + SDL_GetError();
        return;
    }
    // Version 2.1 with no profile mask gives Mesa's compatibility context: the drawing code
    // uses immediate mode, which a core profile would refuse.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    window_ = SDL_CreateWindow("Main", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!window_) {
        error_ = std::string("SDL_CreateWindow: ") + SDL_GetError();
        return;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) {
        error_ = std::string("SDL_GL_CreateContext: ") + SDL_GetError();
        return;
    }
    SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
    SDL_GL_SetSwapInterval(0);
    reset_2d();
}

gl_window::~gl_window()
{
    if (context_)
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    if (window_)
        SDL_DestroyWindow(window_);
    // The video subsystem stays up: quitting it unloads the GL driver, and LeakSanitizer can then
    // no longer tell the driver's own allocations from ours.
}

rgba gl_window::read_pixel(int x, int y) const
{
    unsigned char px[4] = {0, 0, 0, 0};
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    return {px[0], px[1], px[2], px[3]};
}

void gl_window::reset_2d(rgba c) const
{
    glViewport(0, 0, width_, height_);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width_, 0, height_, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, c.a / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
}

void gl_window::swap() const
{
    SDL_GL_SwapWindow(window_);
}

gl_window* gl_test::shared_window_ = nullptr;

void gl_test::SetUpTestSuite()
{
    if (!shared_window_)
        shared_window_ = new gl_window();
}

void gl_test::TearDownTestSuite()
{
    delete shared_window_;
    shared_window_ = nullptr;
}

void gl_test::SetUp()
{
    ASSERT_TRUE(shared_window_ && shared_window_->ok()) << (shared_window_ ? shared_window_->error() : "no window");
    shared_window_->reset_2d();
}

}  // namespace test
