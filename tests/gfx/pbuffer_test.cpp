// Pbuffers as framebuffer objects in a real window: drawing into one and showing it as a texture,
// the window's binding and viewport coming back, the misuse alerts and the surfaces never made.
#define GL_GLEXT_PROTOTYPES
#include "gfx/pbuffer.h"

#include <functional>

#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "gfx/tman.h"
#include "support/alert_recorder.h"

using test::rgba;

namespace {

class pbuffers : public gfx_test::screen_test {
protected:
    void SetUp() override { screen_test::SetUp(), glExt.pbuffer_avail = 1; }
    void TearDown() override { glExt.pbuffer_avail = 0; }
};

}  // namespace

TEST_F(pbuffers, DrawingShowsThroughTheTextureAndTheWindowComesBack)
{
    xpbuffer* surface = xpbuffer_create(901, 64, 32, 0, true);
    ASSERT_NE(surface, nullptr);
    const GLubyte green[4] = {0, 255, 0, 255};
    gfx_test::load_texture_pixels(700, 1, 1, green);
    for (const rgba colour : {gfx_test::RED, gfx_test::BLUE}) {  // begin again after an end
        xpbuffer_draw_begin(surface);
        glClearColor(colour.r / 255.0f, 0, colour.b / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        xpbuffer_draw_end(surface);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2] * 1000 + viewport[3], 1024768);
        EXPECT_EQ(pixel(200, 200), gfx_test::BLACK) << "drawing leaked into the window";
        tman.bind_ref(700, 0, 0);
        xpbuffer_bind(surface);
        EXPECT_EQ(gfx_test::textured_square(0, 0), colour);
        tman.bind_ref(700, 0, 0);  // must not trust its cache after the surface's own bind
        EXPECT_EQ(gfx_test::textured_square(0, 0), gfx_test::GREEN);
    }
    xpbuffer_destroy(surface);
    EXPECT_FALSE(glIsTexture(901));
}

TEST_F(pbuffers, MisuseEndsTheProgram)
{
    test::alert_recorder alerts;
    xpbuffer *a = xpbuffer_create(901, 8, 8, 0, false), *b = xpbuffer_create(902, 8, 8, 0, false);
    ASSERT_TRUE(a && b);
    auto begin = [&](xpbuffer* p) { return [=] { xpbuffer_draw_begin(p); }; };
    const std::tuple<std::function<void()>, std::function<void()>, const char*, int> cases[] = {
        {begin(a), [&] { xpbuffer_destroy(a); }, "Error: xpbuffer_destroy called without xpbuffer_draw_end called.",
         128},
        {[&] { plat::surface_bind(a->context, 1, 1); }, [&] { xpbuffer_destroy(a); },
         "Error: destroying a pbuffer, but we are still using it as our context.", 130},
        {begin(a), begin(a), "xpbuffer_draw_begin called twice on the same pbuffer.", 140},
        {begin(a), begin(b), "xpbuffer_draw_begin called while darwing into another pbuffer.", 142},
        {[] {}, [&] { xpbuffer_draw_end(a); }, "xpbuffer_draw_end while not drawing to a pbuffer.", 151},
        {begin(a), [&] { xpbuffer_draw_end(b); }, "xpbuffer_draw_end called on the wrong pbuffer.", 153},
        {begin(a), [&] { xpbuffer_bind(a); }, "xpbuffer_bind called while drawing to this pbuffer.", 161},
        {begin(a), [&] { xpbuffer_bind(b); }, "xpbuffer_bind called while drawing to a pbuffer.", 163},
    };
    const plat::surface_binding window = plat::surface_current();
    for (const auto& [before, misuse, text, line] : cases) {
        before();
        const test::recorded_alert alert = test::expect_fatal(misuse);
        EXPECT_EQ(alert.l1 + " " + std::to_string(alert.line) + " " + alert.file,
                  text + (" " + std::to_string(line)) + " DEzovuv/Graph/hl_pbuffer");
        XPBUFFER_cur = nullptr;
        plat::surface_restore(window);
    }
    xpbuffer_destroy(a);
    xpbuffer_destroy(b);
}

TEST_F(pbuffers, NoSurfaceWhenUnavailableOrTooLarge)
{
    auto live_objects = [] {  // framebuffer and renderbuffer objects among the first names
        int n = 0;
        for (GLuint name = 1; name <= 2000; ++name)
            n += glIsFramebuffer(name) + glIsRenderbuffer(name);
        return n;
    };
    const int before = live_objects();
    GLint limit = 0, framebuffer = -1, viewport[4];
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &limit);
    EXPECT_TRUE(xpbuffer_create(901, limit + 1, 16, 0, true) == nullptr &&
                xpbuffer_create(901, 16, 0, 0, true) == nullptr);
    glExt.pbuffer_avail = 0;
    EXPECT_EQ(std::tuple(xpbuffer_avail(), xpbuffer_create(902, 16, 16, 0, false)), std::tuple(false, nullptr));
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Nothing touched without the flag, the window still bound, and no object left behind.
    EXPECT_EQ(std::tuple(glIsTexture(902), framebuffer, viewport[2], live_objects()),
              std::tuple(GL_FALSE, 0, 1024, before));
}
