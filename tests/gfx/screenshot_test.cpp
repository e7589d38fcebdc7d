// Screenshots of real windows of several sizes on a 1600 x 1200 screen, their numbered PNG files, the
// background texture built from a screenshot or from the intro picture, and the buffer-bind caches.
#include "gfx/screenshot.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/mnw.h"
#include "core/stats.h"
#include "gfx/draw2d.h"
#include "gfx/gfx_helpers.h"
#include "gfx/image_files.h"
#include "gfx/ogl_ext.h"
#include "gfx/tman.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/gl_window.h"
#include "support/temp_folder.h"

using test::rgba;

namespace {

const rgba BLACK{0, 0, 0, 255}, WHITE{255, 255, 255, 255}, RED{255, 0, 0, 255}, GREEN{0, 255, 0, 255},
    BLUE{0, 0, 255, 255};

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

void use_screen(int width, int height)
{
    mnw.x_res = width;
    mnw.y_res = height;
    scratch_array_align();
}

}  // namespace

TEST(Screenshot, ReadsTheCentreOfTheFrameShown)
{
    struct shot_case {
        int width, height;  // window
        int x0, y0, h;      // the part read, by hand
    };
    const shot_case cases[] = {
        {1280, 1024, 128, 0, 1024},
        {1024, 768, 0, 0, 768},
        {1600, 1200, 288, 88, 1024},
    };
    for (const shot_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        test::gl_window window(c.width, c.height);
        ASSERT_TRUE(window.ok()) << window.error();
        use_screen(c.width, c.height);
        // The corners of the part read, and white just outside it wherever the window has room.
        fill(0, 0, c.width, c.height, WHITE);
        fill(c.x0, c.y0, OGL_SHOT_WIDTH, c.h, BLACK);
        fill(c.x0, c.y0, 1, 1, RED);
        fill(c.x0 + OGL_SHOT_WIDTH - 1, c.y0 + c.h - 1, 1, 1, GREEN);
        window.swap();
        OGL_screenshot(0);
        EXPECT_EQ(shot_pixel(0, 0), RED);
        EXPECT_EQ(shot_pixel(OGL_SHOT_WIDTH - 1, c.h - 1), GREEN);
        EXPECT_EQ(shot_pixel(1, 0), BLACK);
        EXPECT_EQ(shot_pixel(0, c.h - 1), BLACK);
    }
}

TEST(Screenshot, SavesToTheNextFreeNumberWithoutOverwriting)
{
    test::working_folder folder;
    test::write_file(folder / "screenshot_0.png", "earlier run");
    test::write_file(folder / "screenshot_1.png", "earlier run");
    test::gl_window window(1024, 768);
    ASSERT_TRUE(window.ok()) << window.error();
    use_screen(1024, 768);
    fill(0, 0, 1024, 384, RED);
    fill(0, 384, 1024, 384, BLUE);
    window.swap();
    OGL_screenshot(1);
    OGL_screenshot(1);

    EXPECT_EQ(test::read_file(folder / "screenshot_0.png"), "earlier run");
    EXPECT_EQ(test::read_file(folder / "screenshot_1.png"), "earlier run");
    EXPECT_FALSE(test::path_exists(folder / "screenshot_4.png"));
    for (const char* name : {"screenshot_2.png", "screenshot_3.png"}) {
        const std::vector<uint8_t> rgb = test::magick_pixels(folder / name, "rgb");
        ASSERT_EQ(rgb.size(), 1024u * 768 * 3) << name;
        EXPECT_EQ(rgba({rgb[0], rgb[1], rgb[2], 255}), BLUE) << name << ": the top row comes first";
        EXPECT_EQ(rgba({rgb[rgb.size() - 3], rgb[rgb.size() - 2], rgb[rgb.size() - 1], 255}), RED) << name;
    }
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

    static rgba texel_of_background(int x, int y)
    {
        std::vector<unsigned char> texels(1024 * 1024 * 4);
        glBindTexture(GL_TEXTURE_2D, OGL_BACKGROUND_TEX);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        tman.reset_bind();
        const unsigned char* p = texels.data() + (y * 1024 + x) * 4;
        return {p[0], p[1], p[2], p[3]};
    }
};

}  // namespace

TEST_F(background, BuiltFromTheLastScreenshot)
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
    EXPECT_EQ(pixel(10, 767), BLUE);
    EXPECT_EQ(texel_of_background(500, 900), BLACK) << "rows the screenshot did not cover";
}

TEST_F(background, BeforeAnyWindowTheIntroPicture)
{
    test::working_folder folder;
    mnw.cur_win = WIN_NONE;
    const test::recorded_alert missing = test::expect_fatal([] {
        test::alert_recorder alerts;
        OGL_make_back_tex();
    });
    EXPECT_EQ(missing.l1, "Trying to load a texture that you do not have!");
    EXPECT_EQ(missing.l4, "Resources:bitmaps:intro.png");

    // Magenta below, yellow above (the file's top rows).
    std::vector<uint8_t> rows(1024 * 1024 * 4);
    for (size_t i = 0; i < rows.size(); i += 4) {
        const bool top = i < rows.size() / 2;
        rows[i] = 255, rows[i + 1] = top ? 255 : 0, rows[i + 2] = top ? 0 : 255, rows[i + 3] = 255;
    }
    std::filesystem::create_directories(folder / "Resources/bitmaps");
    test::write_png(folder / "Resources/bitmaps/intro.png", 1024, 1024, rows, {});
    OGL_make_back_tex();
    OGL_plot_back_tex();
    EXPECT_EQ(pixel(10, 10), rgba({255, 0, 255, 255}));
    EXPECT_EQ(pixel(10, 511), rgba({255, 0, 255, 255}));
    EXPECT_EQ(pixel(10, 512), rgba({255, 255, 0, 255}));
}

TEST_F(background, BufferBindsAreCachedAndCounted)
{
    ASSERT_TRUE(glExt.vbo_avail);
    UTL_stat::init_stats();
    GLuint names[2];
    glExt.glGenBuffersARB(2, names);
    struct bind_step {
        int buffer;  // -1 for name 0
        float binds_counted;
    };
    // The caches start at 0, so binding 0 first sends nothing.
    const bind_step steps[] = {{-1, 0}, {0, 1}, {0, 1}, {1, 2}, {-1, 3}, {-1, 3}};
    struct target_case {
        void (*bind)(const unsigned long&);
        const char* statistic;
        GLenum binding;
    };
    const target_case targets[] = {
        {OGL_bind_vbo, "num_xdl_bind", GL_ARRAY_BUFFER_BINDING_ARB},
        {OGL_bind_vbo_ind, "num_xdl_bind_ind", GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB},
    };
    for (const target_case& t : targets) {
        for (const bind_step& s : steps) {
            const unsigned long name = s.buffer < 0 ? 0 : names[s.buffer];
            t.bind(name);
            float counted = 0;
            for (UTL_stat* stat : all_stats[stat_frame])
                if (std::string(stat->stat_name()) == t.statistic)
                    counted = stat->get();
            EXPECT_EQ(counted, s.binds_counted) << t.statistic << " after binding " << name;
            GLint bound = -1;
            glGetIntegerv(t.binding, &bound);
            EXPECT_EQ(static_cast<unsigned long>(bound), name) << t.statistic;
        }
    }
    glExt.glDeleteBuffersARB(2, names);
}
