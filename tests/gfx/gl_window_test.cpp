// The drawing tests trust read_pixel: check it sees the right row order, colours and context.
#include "support/gl_window.h"

#include <SDL2/SDL_opengl.h>

#include <cstring>

using test::gl_test;
using test::rgba;

TEST_F(gl_test, ContextIsCompatibilityProfileOfTheVirtualScreenSize)
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_NE(version, nullptr);
    GLint profile = 0;
    glGetIntegerv(0x9126 /* GL_CONTEXT_PROFILE_MASK */, &profile);
    EXPECT_EQ(profile & 0x1 /* core bit */, 0) << version;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    // Immediate mode works: a compatibility context accepts glBegin without an error.
    glBegin(GL_POINTS);
    glVertex2f(0.5f, 0.5f);
    glEnd();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(gl_test, ReadPixelCountsRowsFromTheBottomAndReturnsExactColours)
{
    win().reset_2d({10, 20, 30, 255});
    glColor3ub(255, 0, 0);
    glRecti(0, 0, 1024, 1);  // bottom row
    glColor3ub(0, 0, 255);
    glRecti(0, 767, 1024, 768);  // top row
    glColor3ub(0, 200, 0);
    glRecti(100, 300, 101, 301);  // one pixel

    EXPECT_EQ(pixel(5, 0), (rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(5, 767), (rgba{0, 0, 255, 255}));
    EXPECT_EQ(win().read_pixel_top_down(5, 0), (rgba{0, 0, 255, 255}));
    EXPECT_EQ(pixel(100, 300), (rgba{0, 200, 0, 255}));
    EXPECT_EQ(pixel(101, 300), (rgba{10, 20, 30, 255}));
    EXPECT_EQ(pixel(100, 301), (rgba{10, 20, 30, 255}));
}

TEST_F(gl_test, EachTestStartsFromAClearedScreen)
{
    EXPECT_EQ(pixel(100, 300), (rgba{0, 0, 0, 255}));
    EXPECT_EQ(pixel(5, 0), (rgba{0, 0, 0, 255}));
}
