// Pbuffers as framebuffer objects in a real window: drawing into one and showing it as a texture,
// the depth buffer, restoring the window's binding and viewport, the misuse alerts and the limits.
#define GL_GLEXT_PROTOTYPES
#include "gfx/pbuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <functional>

#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "gfx/tman.h"
#include "support/alert_recorder.h"
#include "support/gl_window.h"

using test::rgba;

namespace {

constexpr int SURFACE_TEX = 901, OTHER_TEX = 902, MANAGED_TEX = 700;
constexpr int SURFACE_W = 64, SURFACE_H = 32;
const rgba RED{255, 0, 0, 255}, GREEN{0, 255, 0, 255}, BLUE{0, 0, 255, 255};

class pbuffers : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
        glExt.pbuffer_avail = 1;
    }
    void TearDown() override
    {
        glExt.pbuffer_avail = 0;
        XPBUFFER_cur = nullptr;
    }
};

void clear_to(float r, float g, float b)
{
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The bound texture over the window's lower-left 16 x 16 pixels.
void draw_textured_square()
{
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(0, 0);
    glTexCoord2f(0, 1), glVertex2f(0, 16);
    glTexCoord2f(1, 1), glVertex2f(16, 16);
    glTexCoord2f(1, 0), glVertex2f(16, 0);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

// Framebuffer and renderbuffer objects in existence among the first names.
int live_objects()
{
    constexpr GLuint NAMES_CHECKED = 2000;
    int n = 0;
    for (GLuint name = 1; name <= NAMES_CHECKED; ++name)
        n += (glIsFramebuffer(name) ? 1 : 0) + (glIsRenderbuffer(name) ? 1 : 0);
    return n;
}

}  // namespace

TEST_F(pbuffers, UnavailableSurfacesAreNeverMade)
{
    glExt.pbuffer_avail = 0;
    GLint bound_before = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound_before);
    EXPECT_FALSE(xpbuffer_avail());
    EXPECT_EQ(xpbuffer_create(SURFACE_TEX, SURFACE_W, SURFACE_H, 0, false), nullptr);
    GLint bound_after = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound_after);
    EXPECT_EQ(bound_after, bound_before) << "the texture was touched";
    EXPECT_FALSE(glIsTexture(SURFACE_TEX));
}

TEST_F(pbuffers, DrawingShowsThroughTheTextureAndTheWindowComesBack)
{
    ASSERT_TRUE(xpbuffer_avail());
    xpbuffer* surface = xpbuffer_create(SURFACE_TEX, SURFACE_W, SURFACE_H, 0, false);
    ASSERT_NE(surface, nullptr);
    const GLubyte green_texel[4] = {0, 255, 0, 255};
    gfx_test::load_texture_pixels(MANAGED_TEX, 1, 1, green_texel);

    for (const rgba& colour : {RED, BLUE}) {  // a second begin after an end is allowed
        xpbuffer_draw_begin(surface);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], SURFACE_W);
        EXPECT_EQ(viewport[3], SURFACE_H);
        clear_to(colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f);
        xpbuffer_draw_end(surface);

        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], win().width());
        EXPECT_EQ(viewport[3], win().height());
        EXPECT_EQ(pixel(200, 200), rgba({0, 0, 0, 255})) << "drawing leaked into the window";

        tman.bind_ref(MANAGED_TEX, 0, 0);
        xpbuffer_bind(surface);
        draw_textured_square();
        EXPECT_EQ(pixel(8, 8), colour);
        // The manager must not trust its cache after the surface's own bind.
        tman.bind_ref(MANAGED_TEX, 0, 0);
        draw_textured_square();
        EXPECT_EQ(pixel(8, 8), GREEN);
    }
    xpbuffer_destroy(surface);
    EXPECT_FALSE(glIsTexture(SURFACE_TEX));
}

TEST_F(pbuffers, DepthBufferOnlyWhenAsked)
{
    struct depth_case {
        bool depth;
        rgba expected;  // blue drawn near, then red far: only a depth buffer keeps the blue
    };
    for (const depth_case& c : {depth_case{true, BLUE}, depth_case{false, RED}}) {
        SCOPED_TRACE(c.depth ? "depth" : "no depth");
        xpbuffer* surface = xpbuffer_create(SURFACE_TEX, SURFACE_W, SURFACE_H, 0, c.depth);
        ASSERT_NE(surface, nullptr);
        xpbuffer_draw_begin(surface);
        clear_to(0, 0, 0);
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        for (float z : {0.5f, -0.5f}) {  // glOrtho looks down -z: z = 0.5 is near
            glColor3f(z > 0 ? 0.0f : 1.0f, 0, z > 0 ? 1.0f : 0.0f);
            glBegin(GL_QUADS);
            glVertex3f(0, 0, z), glVertex3f(0, 1024, z), glVertex3f(1024, 1024, z), glVertex3f(1024, 0, z);
            glEnd();
        }
        glDisable(GL_DEPTH_TEST);
        xpbuffer_draw_end(surface);
        xpbuffer_bind(surface);
        draw_textured_square();
        EXPECT_EQ(pixel(8, 8), c.expected);
        xpbuffer_destroy(surface);
    }
}

TEST_F(pbuffers, MisuseEndsTheProgram)
{
    test::alert_recorder alerts;
    xpbuffer* a = xpbuffer_create(SURFACE_TEX, SURFACE_W, SURFACE_H, 0, false);
    xpbuffer* b = xpbuffer_create(OTHER_TEX, SURFACE_W, SURFACE_H, 0, false);
    ASSERT_TRUE(a && b);
    const plat::surface_binding window = plat::surface_current();
    struct misuse_case {
        std::function<void()> call;
        const char* text;
        int line;
    };
    const misuse_case cases[] = {
        {[&] { xpbuffer_draw_begin(a), xpbuffer_destroy(a); },
         "Error: xpbuffer_destroy called without xpbuffer_draw_end called.", 128},
        {[&] { plat::surface_bind(a->context, 1, 1), xpbuffer_destroy(a); },
         "Error: destroying a pbuffer, but we are still using it as our context.", 130},
        {[&] { xpbuffer_draw_begin(a), xpbuffer_draw_begin(a); },
         "xpbuffer_draw_begin called twice on the same pbuffer.", 140},
        {[&] { xpbuffer_draw_begin(a), xpbuffer_draw_begin(b); },
         "xpbuffer_draw_begin called while darwing into another pbuffer.", 142},
        {[&] { xpbuffer_draw_end(a); }, "xpbuffer_draw_end while not drawing to a pbuffer.", 151},
        {[&] { xpbuffer_draw_begin(a), xpbuffer_draw_end(b); }, "xpbuffer_draw_end called on the wrong pbuffer.", 153},
        {[&] { xpbuffer_draw_begin(a), xpbuffer_bind(a); }, "xpbuffer_bind called while drawing to this pbuffer.", 161},
        {[&] { xpbuffer_draw_begin(a), xpbuffer_bind(b); }, "xpbuffer_bind called while drawing to a pbuffer.", 163},
    };
    for (const misuse_case& c : cases) {
        const test::recorded_alert alert = test::expect_fatal(c.call);
        EXPECT_EQ(alert.l1, c.text);
        EXPECT_EQ(alert.line, c.line) << c.text;
        EXPECT_EQ(alert.file, "DEzovuv/Graph/hl_pbuffer");
        XPBUFFER_cur = nullptr;
        plat::surface_restore(window);
    }
    xpbuffer_destroy(a);
    xpbuffer_destroy(b);
}

TEST_F(pbuffers, OversizedSurfaceLeavesNothingBehind)
{
    GLint limit = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &limit);
    const int objects_before = live_objects();
    for (int side : {limit + 1, 0}) {
        EXPECT_EQ(xpbuffer_create(SURFACE_TEX, side, SURFACE_H, 0, true), nullptr) << side;
        EXPECT_EQ(xpbuffer_create(SURFACE_TEX, SURFACE_W, side, 0, true), nullptr) << side;
    }
    GLint framebuffer = -1, viewport[4];
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_EQ(viewport[2], win().width());
    EXPECT_EQ(live_objects(), objects_before);
}
