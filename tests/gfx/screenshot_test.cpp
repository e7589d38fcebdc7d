// Screenshots of real windows of several sizes on a 1600 x 1200 screen, their numbered PNG files, the
// background texture built from a screenshot or the intro picture, and the buffer-bind caches.
#include "gfx/screenshot.h"

#include <filesystem>

#include "core/globals.h"
#include "core/mnw.h"
#include "core/stats.h"
#include "gfx/draw2d.h"
#include "gfx/gfx_helpers.h"
#include "gfx/image_files.h"
#include "gfx/ogl_ext.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

using gfx_test::fill;
using test::rgba;

namespace {

using gfx_test::RED, gfx_test::GREEN, gfx_test::BLUE;

using background = gfx_test::screen_test;

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
    // Window width and height, then the part read, by hand: left, bottom, height.
    const int cases[][5] = {{1280, 1024, 128, 0, 1024}, {1600, 1200, 288, 88, 1024}, {1024, 768, 0, 0, 768}};
    for (const auto& [width, height, left, bottom, h] : cases) {
        test::gl_window window(width, height);
        ASSERT_TRUE(window.ok()) << window.error();
        mnw.x_res = width, mnw.y_res = height;
        fill(0, 0, width, height, BLUE);  // around the part read; red and green at its corners
        fill(left, bottom, 1, 1, RED);
        fill(left + OGL_SHOT_WIDTH - 1, bottom + h - 1, 1, 1, GREEN);
        window.swap();
        OGL_screenshot(width != 1280);  // saves as numbers 2, then 3
        EXPECT_EQ(std::tuple(shot_pixel(0, 0), shot_pixel(OGL_SHOT_WIDTH - 1, h - 1)), std::tuple(RED, GREEN)) << width;
    }
    EXPECT_EQ(std::tuple(test::read_file(folder / "screenshot_1.png"), test::path_exists(folder / "screenshot_4.png"),
                         test::magick_pixels(folder / "screenshot_3.png", "rgb").size()),
              std::tuple("earlier run", false, 1024u * 768 * 3));
}

TEST_F(background, BackgroundFromTheLastScreenshotOrBeforeAnyWindowTheIntroPicture)
{
    fill(0, 0, 1024, 384, GREEN);
    fill(0, 384, 1024, 384, BLUE);
    win().swap();
    OGL_screenshot(0);
    OGL_make_back_tex();
    win().reset_2d();
    gfx_test::sync_state_cache();
    OGL_plot_back_tex();
    EXPECT_EQ(std::tuple(pixel(1000, 383), pixel(1000, 384)), std::tuple(GREEN, BLUE));
    std::vector<unsigned char> texels(1024 * 1024 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[900 * 4096] + texels[900 * 4096 + 2] + texels[900 * 4096 + 3], 255) << "opaque black above";

    test::working_folder folder;
    std::vector<uint8_t> rows(1024 * 1024 * 4, 255);  // white above, red below
    for (size_t i = rows.size() / 2; i < rows.size(); i += 4)
        rows[i + 1] = rows[i + 2] = 0;
    std::filesystem::create_directories(folder / "Resources/bitmaps");
    test::write_png(folder / "Resources/bitmaps/intro.png", 1024, 1024, rows, {});
    mnw.cur_win = WIN_NONE;
    OGL_make_back_tex();
    OGL_plot_back_tex();
    mnw.cur_win = WIN_MAIN;
    EXPECT_EQ(std::tuple(pixel(10, 511), pixel(10, 512)), std::tuple(RED, gfx_test::WHITE));
}

TEST_F(background, BufferBindsAreCachedAndCounted)
{
    UTL_stat::init_stats();
    GLuint names[2];
    glExt.glGenBuffersARB(2, names);
    const int steps[][2] = {{-1, 0}, {0, 1}, {0, 1}, {1, 2}, {-1, 3}};  // buffer bound (-1: 0), binds since
    for (const auto& [bind, statistic, binding] :
         {std::tuple{&OGL_bind_vbo, "num_xdl_bind", GL_ARRAY_BUFFER_BINDING_ARB},
          std::tuple{&OGL_bind_vbo_ind, "num_xdl_bind_ind", GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB}}) {
        for (const auto& [buffer, binds] : steps) {
            const unsigned long name = buffer < 0 ? 0 : names[buffer];
            bind(name);
            float counted = 0;
            for (UTL_stat* stat : all_stats[stat_frame])
                counted += std::string(stat->stat_name()) == statistic ? stat->get() : 0;
            GLint bound = -1;
            glGetIntegerv(binding, &bound);
            EXPECT_EQ(counted * 1000 + bound, binds * 1000 + name) << statistic << " after binding " << name;
        }
    }
    glExt.glDeleteBuffersARB(2, names);
}
