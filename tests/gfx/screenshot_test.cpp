// Screenshots of real windows of several sizes on a 1600 x 1200 screen, their numbered PNG files, the
// background texture built from a screenshot or the intro picture, and the buffer-bind caches.
#include "gfx/screenshot.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/globals.h"
#include "core/mnw.h"
#include "core/stats.h"
#include "gfx/draw2d.h"
#include "gfx/gfx_helpers.h"
#include "gfx/image_files.h"
#include "gfx/ogl_ext.h"
#include "gfx/tman.h"
#include "support/file_bytes.h"
#include "support/gl_window.h"
#include "support/temp_folder.h"

using test::rgba;

namespace {

const rgba BLACK{0, 0, 0, 255}, RED{255, 0, 0, 255}, GREEN{0, 255, 0, 255}, BLUE{0, 0, 255, 255};

// Fills a rectangle of the back buffer with an exact colour.
void fill(int x, int y, int width, int height, rgba c)
{
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, width, height);
    glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

rgba shot_pixel(int x, int y)
{
    const unsigned char* p = scratch_array + (y * OGL_SHOT_WIDTH + x) * 3;
    return {p[0], p[1], p[2], 255};
}

}  // namespace

TEST(Screenshot, ReadsTheCentreOfTheFrameShownAndSavesItUnderTheNextFreeNumber)
{
    test::working_folder folder;
    for (const char* name : {"screenshot_0.png", "screenshot_1.png"})
        test::write_file(folder / name, "earlier run");
    scratch_array_align();
    const int cases[][5] = {
        // window width and height, then the part read by hand: left, bottom, height
        {1280, 1024, 128, 0, 1024},
        {1600, 1200, 288, 88, 1024},
        {1024, 768, 0, 0, 768},
    };
    for (const auto& c : cases) {
        test::gl_window window(c[0], c[1]);
        ASSERT_TRUE(window.ok()) << window.error();
        mnw.x_res = c[0], mnw.y_res = c[1];
        // Red and green corners of the part read, blue around it.
        fill(0, 0, c[0], c[1], BLUE);
        fill(c[2], c[3], OGL_SHOT_WIDTH, c[4], BLACK);
        fill(c[2], c[3], 1, 1, RED);
        fill(c[2] + OGL_SHOT_WIDTH - 1, c[3] + c[4] - 1, 1, 1, GREEN);
        window.swap();
        OGL_screenshot(c[0] != 1280);  // saves as numbers 2, then 3
        EXPECT_EQ(shot_pixel(0, 0), RED) << c[0];
        EXPECT_EQ(shot_pixel(OGL_SHOT_WIDTH - 1, c[4] - 1), GREEN) << c[0];
        EXPECT_EQ(shot_pixel(1, 0), BLACK) << c[0];
        EXPECT_EQ(shot_pixel(0, c[4] - 1), BLACK) << c[0];
    }
    EXPECT_EQ(test::read_file(folder / "screenshot_1.png"), "earlier run");
    EXPECT_FALSE(test::path_exists(folder / "screenshot_4.png"));
    const std::vector<uint8_t> rgb = test::magick_pixels(folder / "screenshot_3.png", "rgb");
    ASSERT_EQ(rgb.size(), 1024u * 768 * 3);
    EXPECT_EQ(rgba({rgb[rgb.size() - 1024 * 3], rgb[rgb.size() - 1024 * 3 + 1], 0, 255}), RED)
        << "the bottom row comes last";
}

namespace {

class background : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
        gfx_test::sync_state_cache();
        tman.reset_bind();
        scratch_array_align();
    }
    void TearDown() override { mnw.cur_win = WIN_MAIN; }
};

}  // namespace

TEST_F(background, FromTheLastScreenshotOrBeforeAnyWindowTheIntroPicture)
{
    fill(0, 0, 1024, 384, GREEN);
    fill(0, 384, 1024, 384, BLUE);
    win().swap();
    OGL_screenshot(0);
    OGL_make_back_tex();
    win().reset_2d();
    gfx_test::sync_state_cache();
    OGL_plot_back_tex();
    EXPECT_EQ(pixel(10, 10), GREEN);
    EXPECT_EQ(pixel(1000, 383), GREEN);
    EXPECT_EQ(pixel(1000, 384), BLUE);
    std::vector<unsigned char> texels(1024 * 1024 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(rgba({texels[900 * 4096], texels[900 * 4096 + 1], texels[900 * 4096 + 2], texels[900 * 4096 + 3]}), BLACK)
        << "rows the screenshot did not cover";

    test::working_folder folder;
    std::vector<uint8_t> rows(1024 * 1024 * 4, 255);  // white above, red below
    for (size_t i = rows.size() / 2; i < rows.size(); i += 4)
        rows[i + 1] = rows[i + 2] = 0;
    std::filesystem::create_directories(folder / "Resources/bitmaps");
    test::write_png(folder / "Resources/bitmaps/intro.png", 1024, 1024, rows, {});
    mnw.cur_win = WIN_NONE;
    OGL_make_back_tex();
    OGL_plot_back_tex();
    EXPECT_EQ(pixel(10, 511), RED);
    EXPECT_EQ(pixel(10, 512), rgba({255, 255, 255, 255}));
}

TEST_F(background, BufferBindsAreCachedAndCounted)
{
    UTL_stat::init_stats();
    GLuint names[2];
    glExt.glGenBuffersARB(2, names);
    // Buffer bound (-1 for name 0) and the binds counted since; the caches start at 0.
    const int steps[][2] = {{-1, 0}, {0, 1}, {0, 1}, {1, 2}, {-1, 3}};
    for (const auto& [bind, statistic, binding] :
         {std::tuple{&OGL_bind_vbo, "num_xdl_bind", GL_ARRAY_BUFFER_BINDING_ARB},
          std::tuple{&OGL_bind_vbo_ind, "num_xdl_bind_ind", GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB}}) {
        for (const auto& s : steps) {
            const unsigned long name = s[0] < 0 ? 0 : names[s[0]];
            bind(name);
            float counted = 0;
            for (UTL_stat* stat : all_stats[stat_frame])
                counted += std::string(stat->stat_name()) == statistic ? stat->get() : 0;
            GLint bound = -1;
            glGetIntegerv(binding, &bound);
            EXPECT_EQ(counted, s[1]) << statistic << " after binding " << name;
            EXPECT_EQ(static_cast<unsigned long>(bound), name) << statistic;
        }
    }
    glExt.glDeleteBuffersARB(2, names);
}
