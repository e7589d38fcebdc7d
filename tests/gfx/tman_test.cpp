// The texture manager in a real OpenGL context: refs, automatic slots, failure policies and the
// placeholder, unload and reload, the bind cache and combiner presets, upload choices, read back with
// glReadPixels and glGetTex*.
#include "gfx/image_files.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/gl_window.h"
#include "support/log_capture.h"
#include "support/scenery_tree.h"
#include "support/temp_folder.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/scenery_library.h"
#include "gfx/image_load.h"
#include "gfx/ogl_ext.h"
#include "gfx/tman.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

using test::rgba;
using test::temp_folder;

namespace {

std::vector<std::string> progress_seen;

void record_progress(const std::string& message, float*)
{
    progress_seen.push_back(message);
}

GLint texture_binding(int unit)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    glActiveTexture(GL_TEXTURE0);
    return name;
}

GLint env_value(GLenum what)
{
    GLint value = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, what, &value);
    return value;
}

GLint parameter_of(GLuint texture, GLenum what)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, what, &value);
    return value;
}

class TextureManager : public test::gl_test {
protected:
    static void SetUpTestSuite()
    {
        gl_test::SetUpTestSuite();
        glExt.init_extensions();
    }

    void SetUp() override
    {
        gl_test::SetUp();
        scratch_array_align();
        mnw.tex_res = 5;
        mnw.col_res = 32;
        mnw.tex_filter = 1.0f;
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glActiveTexture(GL_TEXTURE0);
        tman.reset_bind();
        progress_seen.clear();
        test::set_core_hook(&core_hooks::show_init, record_progress);
    }

    void TearDown() override { test::set_core_hook(&core_hooks::show_init, nullptr); }

    // Puts a solid width x height image into scratch_array, as the interface code does before a load.
    static void fill_scratch(int width, int height, rgba colour)
    {
        scratch_dx = width;
        scratch_dy = height;
        for (int i = 0; i < width * height; ++i) {
            unsigned char* p = scratch_array + i * 4;
            p[0] = colour.r;
            p[1] = colour.g;
            p[2] = colour.b;
            p[3] = colour.a;
        }
    }

    static int load_solid(tman_class& manager, int ref, rgba colour, const std::string& name, int type = 2,
                          int size = 4)
    {
        fill_scratch(size, size, colour);
        return manager.load_texture(tex_fail_fatal, ref, type, tex_load_now, name);
    }

    // Draws the ref over a 20 x 20 square at (x, y) in white modulate mode and returns its centre pixel.
    static rgba draw(tman_class& manager, int ref, int x = 100, int y = 100, int mode = 0)
    {
        glEnable(GL_TEXTURE_2D);
        manager.bind_ref(ref, 0, mode);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2i(x, y);
        glTexCoord2f(1, 0);
        glVertex2i(x + 20, y);
        glTexCoord2f(1, 1);
        glVertex2i(x + 20, y + 20);
        glTexCoord2f(0, 1);
        glVertex2i(x, y + 20);
        glEnd();
        glDisable(GL_TEXTURE_2D);
        return pixel(x + 10, y + 10);
    }

    // The first line of every alert raised so far.
    std::vector<std::string> alert_titles() const
    {
        std::vector<std::string> titles;
        for (const test::recorded_alert& alert : alerts.alerts())
            titles.push_back(alert.l1);
        return titles;
    }

    temp_folder folder;
    test::alert_recorder alerts;
    test::log_capture log;
};

constexpr rgba RED{255, 0, 0, 255};
constexpr rgba GREEN{0, 255, 0, 255};
constexpr rgba BLUE{0, 0, 255, 255};

TEST_F(TextureManager, ScratchImagesBecomeTexturesNamedByTheirRef)
{
    const int loaded_before = tman.loaded_texes();
    const int total_before = tman.total_texes();
    fill_scratch(4, 2, RED);
    EXPECT_EQ(tman.load_texture(tex_fail_fatal, 364, 0x282, tex_load_now, "scratch_array:hard-wired textures"), 364);
    const tman_class::ref_dat_struct& record = tman.refs[364];
    EXPECT_EQ(record.gl_name, 364);
    EXPECT_EQ(record.dx, 4);
    EXPECT_EQ(record.dy, 2);
    EXPECT_EQ(record.tex_dx, 4);
    EXPECT_EQ(record.tex_dy, 2);
    EXPECT_EQ(record.vram, 4 * 2 * 4);
    EXPECT_EQ(record.gl_format, GL_RGBA);
    EXPECT_EQ(record.load_time, tex_load_now);
    EXPECT_TRUE(glIsTexture(364));
    EXPECT_EQ(tman.loaded_texes(), loaded_before + 1);
    EXPECT_EQ(tman.total_texes(), total_before + 1);
    EXPECT_EQ(draw(tman, 364), RED);
    // Scratch loads show no progress line; they are not files.
    EXPECT_TRUE(progress_seen.empty());

    // An empty name does nothing at all, whatever the ref.
    EXPECT_EQ(tman.load_texture(tex_fail_fatal, 99999, 2, tex_load_now, ""), 0);
    EXPECT_EQ(tman.total_texes(), total_before + 1);
}

TEST_F(TextureManager, AutomaticRefsAreSharedByNameAndReuseTheHighestFreeSlot)
{
    tman_class manager;
    test::write_png(folder / "auto.png", 2, 2, std::vector<uint8_t>(16, 200), test::png_options{});
    const std::string first_name = folder / "auto.png";
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 0, 2, tex_load_now, first_name), 3374);
    EXPECT_EQ(manager.refs.size(), 3375u);
    EXPECT_EQ(manager.refs[0].load_type, RECORD_FREE);
    EXPECT_EQ(manager.refs[3373].name, "un-inited");
    EXPECT_EQ(progress_seen, (std::vector<std::string>{"Loading bitmap " + first_name + "."}));

    // Asked again, the same name answers at once: the file is not even read. Building another
    // manager meanwhile leaves the name table alone.
    ASSERT_EQ(remove(first_name.c_str()), 0);
    {
        tman_class another;
    }
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 0, 2, tex_load_now, first_name), 3374);
    EXPECT_EQ(manager.refs[3374].gl_name, 3374);
    EXPECT_EQ(manager.total_texes(), 1);

    for (int i = 1; i < 36; ++i)
        EXPECT_EQ(load_solid(manager, 0, GREEN, "scratch_array:auto " + std::to_string(i)), 3374 + i);
    ASSERT_EQ(manager.refs.size(), 3410u);

    manager.unload_texture(3400);
    EXPECT_FALSE(glIsTexture(3400));
    EXPECT_EQ(manager.total_texes(), 35);
    EXPECT_EQ(load_solid(manager, 0, BLUE, "scratch_array:auto new"), 3400);
    manager.unload_texture(3380);
    manager.unload_texture(3400);
    EXPECT_EQ(load_solid(manager, 0, BLUE, "scratch_array:auto newer"), 3400);
    // The unloaded name is forgotten: asking for it again gives a fresh slot, the remaining free one.
    EXPECT_EQ(load_solid(manager, 0, BLUE, "scratch_array:auto 6"), 3380);

    for (size_t ref = 3374; ref < manager.refs.size(); ++ref)
        manager.unload_texture(static_cast<int>(ref));
    EXPECT_EQ(manager.total_texes(), 0);
    EXPECT_EQ(manager.loaded_texes(), 0);
}

TEST_F(TextureManager, FailureModesRaiseFlagsOnceAndLogTheMissingName)
{
    tman_class manager;
    const std::string missing = folder / "gone.png";
    EXPECT_EQ(manager.load_texture(tex_fail_scenery, 700, 2, tex_load_now, missing), 0);
    EXPECT_EQ(manager.has_scene_load_fail(), 1);
    EXPECT_EQ(manager.has_plane_load_fail(), 0);
    const std::string line = "WARNING: we are missing the texture: " + missing + ".\n";
    EXPECT_EQ(log.text(), line);

    manager.mute_scene_load_fail();
    EXPECT_EQ(manager.has_scene_load_fail(), 0);
    EXPECT_EQ(manager.load_texture(tex_fail_scenery, 701, 2, tex_load_now, missing), 0);
    EXPECT_EQ(manager.has_scene_load_fail(), 0);  // muted failures stay muted
    manager.reset_scene_load_fail();
    EXPECT_EQ(manager.load_texture(tex_fail_scenery, 702, 2, tex_load_now, missing), 0);
    EXPECT_EQ(manager.has_scene_load_fail(), 1);

    EXPECT_EQ(manager.load_texture(tex_fail_aircraft, 703, 2, tex_load_now, missing), 0);
    EXPECT_EQ(manager.has_plane_load_fail(), 1);
    EXPECT_EQ(manager.load_texture(tex_fail_installed, 704, 2, tex_load_now, missing), 0);
    EXPECT_EQ(manager.has_instl_load_fail(), 1);

    // Mode 0: the automatic slot is still registered and returned, silently.
    const std::string before = log.text();
    const int total = manager.total_texes();
    const int slot = manager.load_texture(tex_fail_silent, 0, 2, tex_load_now, folder / "quiet.png");
    EXPECT_EQ(slot, 3374);
    EXPECT_EQ(manager.total_texes(), total + 1);
    EXPECT_EQ(log.text(), before);
    EXPECT_TRUE(alerts.alerts().empty());
}

TEST_F(TextureManager, FailedTexturesDrawThePlaceholderAndKeepTheirSlot)
{
    tman_class manager;
    // Without a loaded placeholder a failed slot holds no texture, yet stays taken.
    EXPECT_EQ(manager.load_texture(tex_fail_silent, 0, 2, tex_load_now, folder / "a.png"), 3374);
    EXPECT_EQ(manager.refs[3374].load_type, LOAD_TEXTURE);
    EXPECT_EQ(manager.refs[3374].gl_name, 0);
    EXPECT_EQ(manager.load_texture(tex_fail_silent, 0, 2, tex_load_now, folder / "b.png"), 3375);

    // With the placeholder loaded green, a failed ref takes over its texture and draws green.
    EXPECT_EQ(load_solid(manager, TEX_PLACEHOLDER, GREEN, "scratch_array:placeholder"), TEX_PLACEHOLDER);
    EXPECT_EQ(manager.load_texture(tex_fail_silent, 710, 2, tex_load_now, folder / "c.png"), 0);
    const tman_class::ref_dat_struct& failed = manager.refs[710];
    EXPECT_EQ(failed.gl_name, TEX_PLACEHOLDER);
    EXPECT_EQ(failed.tex_dx, 4);
    EXPECT_EQ(failed.vram, 0);
    EXPECT_EQ(failed.load_time, tex_load_now);
    win().reset_2d();
    EXPECT_EQ(draw(manager, 710), GREEN);
    EXPECT_TRUE(alerts.alerts().empty());  // a registered failure binds the placeholder quietly

    // A failure over a loaded ref gives up that ref's texture and its count.
    const int loaded = manager.loaded_texes();
    EXPECT_EQ(load_solid(manager, 720, RED, "scratch_array:720"), 720);
    EXPECT_EQ(manager.loaded_texes(), loaded + 1);
    EXPECT_EQ(manager.load_texture(tex_fail_silent, 720, 2, tex_load_now, folder / "d.png"), 0);
    EXPECT_EQ(manager.loaded_texes(), loaded);
    EXPECT_FALSE(glIsTexture(720));
    EXPECT_EQ(draw(manager, 720), GREEN);

    // Unloading a failed ref never deletes the placeholder's texture.
    manager.unload_texture(710);
    EXPECT_TRUE(glIsTexture(TEX_PLACEHOLDER));
    manager.unload_texture(720);
    manager.unload_texture(TEX_PLACEHOLDER);
    glDeleteTextures(1, std::vector<GLuint>{TEX_PLACEHOLDER}.data());
}

TEST_F(TextureManager, UnloadThenReloadDrawsTheNewPixels)
{
    tman_class manager;
    EXPECT_EQ(load_solid(manager, 730, RED, "scratch_array:730 red"), 730);
    EXPECT_EQ(load_solid(manager, 731, GREEN, "scratch_array:731 green"), 731);
    EXPECT_EQ(draw(manager, 730), RED);
    manager.unload_texture(730);
    EXPECT_FALSE(glIsTexture(730));
    EXPECT_EQ(manager.refs[730].name, "un-inited");

    EXPECT_EQ(load_solid(manager, 730, BLUE, "scratch_array:730 blue"), 730);
    EXPECT_EQ(draw(manager, 731, 200), GREEN);
    EXPECT_EQ(draw(manager, 730, 300), BLUE);
    manager.unload_texture(730);
    manager.unload_texture(731);
}

TEST_F(TextureManager, ReloadingALoadedRefReplacesItsPixelsAndSize)
{
    tman_class manager;
    auto width_of = [](GLuint texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        return width;
    };
    EXPECT_EQ(load_solid(manager, 735, RED, "scratch_array:735"), 735);
    const int loaded = manager.loaded_texes();
    // Same size and format: refreshed in place.
    EXPECT_EQ(load_solid(manager, 735, GREEN, "scratch_array:735"), 735);
    manager.reset_bind();
    EXPECT_EQ(width_of(735), 4);
    EXPECT_EQ(draw(manager, 735), GREEN);
    // Another size: re-created at the new size.
    EXPECT_EQ(load_solid(manager, 735, BLUE, "scratch_array:735", 2, 8), 735);
    manager.reset_bind();
    EXPECT_EQ(width_of(735), 8);
    EXPECT_EQ(manager.refs[735].vram, 8 * 8 * 4);
    EXPECT_EQ(draw(manager, 735, 200), BLUE);
    EXPECT_EQ(manager.loaded_texes(), loaded);  // still one texture
    manager.reset_bind();
    manager.unload_texture(735);
}

TEST_F(TextureManager, BindCacheSkipsRepeatsAndForgetsOnReset)
{
    tman_class manager;
    load_solid(manager, 364, RED, "scratch_array:364");
    load_solid(manager, 365, GREEN, "scratch_array:365");
    manager.reset_bind();

    manager.bind_ref(364, 0, 0);
    EXPECT_EQ(texture_binding(0), 364);
    EXPECT_EQ(env_value(GL_TEXTURE_ENV_MODE), GL_MODULATE);
    // Changed behind the cache's back: a repeat bind believes the cache and calls nothing.
    glBindTexture(GL_TEXTURE_2D, 0);
    manager.bind_ref(364, 0, 0);
    EXPECT_EQ(texture_binding(0), 0);
    // Another texture with the same mode binds but leaves the environment alone.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    manager.bind_ref(365, 0, 0);
    EXPECT_EQ(texture_binding(0), 365);
    EXPECT_EQ(env_value(GL_TEXTURE_ENV_MODE), GL_DECAL);
    manager.reset_bind();
    manager.bind_ref(365, 0, 0);
    EXPECT_EQ(env_value(GL_TEXTURE_ENV_MODE), GL_MODULATE);

    // Units above 0 are selected only for the call, and unit 0 is active again afterwards.
    manager.bind_ref(364, 1, GL_REPLACE);
    EXPECT_EQ(texture_binding(1), 364);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    glActiveTexture(GL_TEXTURE1);
    EXPECT_EQ(env_value(GL_TEXTURE_ENV_MODE), GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);

    // A unit the renderer does not have, or one beyond the six the cache follows, is left alone.
    const int units = ren.max_tex_units;
    ren.max_tex_units = 1;
    manager.bind_ref(365, 1, 0);
    EXPECT_EQ(texture_binding(1), 0);
    ren.max_tex_units = 8;
    manager.bind_ref(365, 6, 0);
    EXPECT_EQ(texture_binding(6), 0);
    ren.max_tex_units = units;
    EXPECT_TRUE(alerts.alerts().empty());
    manager.unload_texture(364);
    manager.unload_texture(365);
}

TEST_F(TextureManager, CombinerPresetsAndBlendLevel)
{
    tman_class manager;
    load_solid(manager, 740, RED, "scratch_array:740 rgba");
    fill_scratch(4, 4, RED);
    for (int i = 0; i < 16; ++i)  // the same red as three bytes a pixel
        memcpy(scratch_array + i * 3, "\xff\x00\x00", 3);
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 741, 1, tex_load_now, "scratch_array:741 rgb"), 741);
    EXPECT_EQ(manager.refs[741].gl_format, GL_RGB);

    manager.bind_ref(740, 0, 9);
    EXPECT_EQ(env_value(GL_TEXTURE_ENV_MODE), GL_COMBINE);
    EXPECT_EQ(env_value(GL_COMBINE_RGB), GL_MODULATE);
    EXPECT_EQ(env_value(GL_SOURCE0_RGB), GL_PREVIOUS);
    EXPECT_EQ(env_value(GL_SOURCE1_RGB), GL_TEXTURE);
    EXPECT_EQ(env_value(GL_COMBINE_ALPHA), GL_REPLACE);
    EXPECT_EQ(env_value(GL_SOURCE0_ALPHA), GL_TEXTURE);

    manager.bind_ref(740, 0, 8);
    GLfloat scale = 0;
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_ALPHA_SCALE, &scale);
    EXPECT_EQ(scale, 4.0f);
    EXPECT_EQ(env_value(GL_COMBINE_ALPHA), GL_SUBTRACT);
    manager.bind_ref(740, 0, 4);
    GLfloat colour[4] = {};
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[3], 0.9f);
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_ALPHA_SCALE, &scale);
    EXPECT_EQ(scale, 1.0f);
    EXPECT_EQ(env_value(GL_OPERAND2_RGB), GL_SRC_ALPHA);

    // Mode 1 adds with an RGBA texture through the combiner, with any other format through GL_ADD;
    // switching textures re-decides even though the mode is the same.
    manager.bind_ref(740, 0, 1);
    EXPECT_EQ(env_value(GL_TEXTURE_ENV_MODE), GL_COMBINE);
    EXPECT_EQ(env_value(GL_COMBINE_RGB), GL_ADD);
    manager.bind_ref(741, 0, 1);
    EXPECT_EQ(env_value(GL_TEXTURE_ENV_MODE), GL_ADD);

    // Drawn: mode 13 passes the primary colour through whatever the texture holds.
    glColor3ub(255, 255, 0);
    EXPECT_EQ(draw(manager, 740, 100, 100, 13), (rgba{255, 255, 0, 255}));
    glColor3ub(255, 255, 255);
    EXPECT_EQ(draw(manager, 740, 200, 100, 9), RED);

    manager.set_blend_level(0, 0.25f);
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.25f);
    EXPECT_FLOAT_EQ(colour[3], 0.25f);

    // Units above 0 get their own colour and unit 0 is active again; the renderer's units 6 and 7
    // lie beyond the six the manager follows and are left alone.
    const int units = ren.max_tex_units;
    ren.max_tex_units = 8;
    auto unit_colour = [](int unit) {
        std::vector<GLfloat> c(4, -1);
        glActiveTexture(GL_TEXTURE0 + unit);
        glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, c.data());
        glActiveTexture(GL_TEXTURE0);
        return c;
    };
    manager.set_blend_level(1, 0.5f);
    manager.set_blend_level(6, 0.75f);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(unit_colour(1), (std::vector<GLfloat>{0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(unit_colour(6), (std::vector<GLfloat>{0, 0, 0, 0}));
    EXPECT_EQ(unit_colour(0)[0], 0.25f);
    ren.max_tex_units = units;
    manager.reset_bind();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    manager.unload_texture(740);
    manager.unload_texture(741);
}

TEST_F(TextureManager, RefsThatHoldNothingBindThePlaceholderWithAMessage)
{
    tman_class manager;
    load_solid(manager, 750, RED, "scratch_array:750");
    manager.bind_ref(50000, 0, 0);  // far past the table
    EXPECT_EQ(texture_binding(0), TEX_PLACEHOLDER);
    manager.bind_ref(750, 0, 0);
    manager.bind_ref(100, 0, 0);  // inside the table, never registered
    EXPECT_EQ(texture_binding(0), TEX_PLACEHOLDER);
    EXPECT_EQ(alert_titles(),
              (std::vector<std::string>{"missing non-scenery texture - how?", "missing non-scenery texture - how?"}));
    manager.refs[100].load_time = tex_load_queued;  // queued: placeholder without a message
    manager.bind_ref(750, 0, 0);
    manager.bind_ref(100, 0, 0);
    EXPECT_EQ(texture_binding(0), TEX_PLACEHOLDER);
    EXPECT_EQ(alerts.alerts().size(), 2u);
    manager.unload_texture(750);
    glDeleteTextures(1, std::vector<GLuint>{TEX_PLACEHOLDER}.data());

    // Ref 0 means untextured, also before the table reaches it: texture 0, and no message.
    tman_class empty;
    glBindTexture(GL_TEXTURE_2D, 750);
    empty.bind_ref(0, 0, 0);
    EXPECT_EQ(texture_binding(0), 0);
    EXPECT_EQ(alerts.alerts().size(), 2u);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(TextureManager, UploadChoosesMemoryFormatFilterAndWrap)
{
    tman_class manager;
    load_solid(manager, 760, RED, "scratch_array:760", 2 | TEX_MIPMAP, 256);
    EXPECT_EQ(manager.refs[760].vram, 367001);
    EXPECT_EQ(parameter_of(760, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter_of(760, GL_TEXTURE_WRAP_S), GL_REPEAT);
    load_solid(manager, 761, RED, "scratch_array:761", 2 | TEX_CLAMP, 256);
    EXPECT_EQ(manager.refs[761].vram, 262144);
    EXPECT_EQ(parameter_of(761, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter_of(761, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);

    load_solid(manager, 363, RED, "scratch_array:atlas");
    EXPECT_EQ(parameter_of(363, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter_of(363, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    load_solid(manager, 365, RED, "scratch_array:background");
    EXPECT_EQ(parameter_of(365, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    load_solid(manager, 389, RED, "scratch_array:389");
    EXPECT_EQ(parameter_of(389, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    mnw.tex_filter = 1.5f;
    load_solid(manager, 389, RED, "scratch_array:389");
    EXPECT_EQ(parameter_of(389, GL_TEXTURE_MAG_FILTER), GL_LINEAR);

    // On a 16-bit screen RGB textures ask for 16 bits; RGBA ones only under ref 380.
    mnw.col_res = 16;
    fill_scratch(4, 4, RED);
    manager.load_texture(tex_fail_fatal, 762, 1, tex_load_now, "scratch_array:762");
    load_solid(manager, 763, RED, "scratch_array:763");
    load_solid(manager, 380, RED, "scratch_array:380");
    auto internal_format = [](GLuint texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        return format;
    };
    EXPECT_EQ(internal_format(762), GL_RGB16);
    EXPECT_EQ(internal_format(763), GL_RGBA);
    EXPECT_EQ(internal_format(380), GL_RGBA16);
    manager.reset_bind();
    for (int ref : {760, 761, 363, 365, 389, 762, 763, 380})
        manager.unload_texture(ref);
}

// A minified mipmapped texture is complete only with its smaller levels: without them OpenGL
// turns texturing off and the quad shows the plain white vertex colour.
TEST_F(TextureManager, MipmappedTexturesDrawWhenMinifiedWithEitherMipmapBuilder)
{
    tman_class manager;
    const int automatic = glExt.automini_avail;
    ASSERT_EQ(automatic, 1) << "llvmpipe generates mipmaps itself";
    for (int renderer_builds : {1, 0}) {
        SCOPED_TRACE(renderer_builds ? "renderer-generated levels" : "levels built on the CPU");
        glExt.automini_avail = renderer_builds;
        const int ref = 765 + renderer_builds;
        load_solid(manager, ref, BLUE, "scratch_array:mipmapped", 2 | TEX_MIPMAP, 64);
        GLint smallest = 0;
        glBindTexture(GL_TEXTURE_2D, ref);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &smallest);
        EXPECT_EQ(smallest, 1) << "the chain reaches 1 x 1";
        manager.reset_bind();
        win().reset_2d();
        glColor3ub(255, 255, 255);
        EXPECT_EQ(draw(manager, ref, 100 + 100 * renderer_builds), BLUE);
        manager.reset_bind();
        manager.unload_texture(ref);
    }
    glExt.automini_avail = automatic;
}

TEST_F(TextureManager, TransparentPixelsTakeTheColourOfOpaqueNeighbours)
{
    tman_class manager;
    // 8 x 1, top row = the only row: red and blue opaque at x 0 and 1, the rest transparent grey 9.
    std::vector<uint8_t> row = {255, 0, 0, 255, 0, 0, 255, 255};
    for (int x = 2; x < 8; ++x)
        row.insert(row.end(), {9, 9, 9, 0});
    test::write_png(folder / "fringe.png", 8, 1, row, test::png_options{});
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 770, 2, tex_load_now, folder / "fringe.png"), 770);

    std::vector<uint8_t> texels(8 * 4);
    glBindTexture(GL_TEXTURE_2D, 770);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    auto texel = [&](int x) { return std::vector<int>(texels.begin() + x * 4, texels.begin() + x * 4 + 4); };
    EXPECT_EQ(texel(0), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(texel(2), (std::vector<int>{127, 0, 127, 0}));  // both opaque pixels within two
    EXPECT_EQ(texel(3), (std::vector<int>{0, 0, 255, 0}));    // only the blue one
    EXPECT_EQ(texel(4), (std::vector<int>{9, 9, 9, 0}));      // none: as decoded
    EXPECT_EQ(progress_seen, (std::vector<std::string>{"Loading bitmap " + folder / "fringe.png" + "."}));

    // The atlas ref loads without a progress line.
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 363, 2, tex_load_now, folder / "fringe.png"), 363);
    EXPECT_EQ(progress_seen.size(), 1u);
    manager.reset_bind();
    manager.unload_texture(770);
    manager.unload_texture(363);
}

TEST_F(TextureManager, ImageOnlyLoadsReportTheirSizeInRecordZero)
{
    tman_class manager;  // an empty table
    test::write_png(folder / "bitmap.png", 6, 3, std::vector<uint8_t>(6 * 3 * 4, 50), test::png_options{});
    EXPECT_EQ(manager.load_bitmap(tex_fail_fatal, 0, 2, folder / "bitmap.png"), 1);
    ASSERT_GE(manager.refs.size(), 1u);
    EXPECT_EQ(manager.refs[0].dx, 6);
    EXPECT_EQ(manager.refs[0].dy, 3);
    EXPECT_EQ(scratch_array[0], 50);
    EXPECT_EQ(manager.loaded_texes(), 0);  // nothing uploaded
    EXPECT_EQ(manager.load_bitmap(tex_fail_silent, 0, 2, folder / "none.png"), 0);
}

TEST_F(TextureManager, RegionBitmapsOfTheSceneryLibraryComeThroughTheImageOnlyLoad)
{
    // A grey mask, top row first as the file stores it, that holds only the tile (10, 45).
    std::vector<uint8_t> mask(360 * 180, 0);
    mask[(179 - (45 + 90)) * 360 + (10 + 180)] = 255;
    test::png_options grey;
    grey.colour_type = 0;
    const std::string package = folder / "Custom Scenery/P";
    test::write_library(package,
                        "REGION_DEFINE r\nREGION_BITMAP small.png\nREGION_BITMAP mask.png\nREGION r\n"
                        "EXPORT tree t.obj\n");
    test::write_png(package + "/mask.png", 360, 180, mask, grey);
    test::write_png(package + "/small.png", 100, 50, std::vector<uint8_t>(100 * 50, 255), grey);
    cus_path = folder / "Custom Scenery/";
    test::set_core_hook(&core_hooks::region_bitmap, tman_load_region_bitmap);
    DSF_ScanSceneryFolder();
    test::set_core_hook(&core_hooks::region_bitmap, nullptr);
    cus_path = "Custom Scenery:";

    EXPECT_NE(log.text().find("\n  REGION_BITMAP with bitmap small.png has a size of 100, 50 but need sa size of "
                              "360x180.\n"),
              std::string::npos);
    for (const auto& [longitude, latitude, inside] :
         {std::tuple{10, 45, true}, {10, 46, false}, {10, 44, false}, {11, 45, false}, {9, 45, false}}) {
        std::string name = "tree";
        EXPECT_EQ(DSF_LookupLibraryResource(longitude, latitude, name), inside) << longitude << "," << latitude;
    }
}

// Counts the calls the manager makes to finish a pending two-stage load.
struct finish_counter : tman_force_finish_obj {
    int calls = 0;
    void finish() override { ++calls; }
};

TEST_F(TextureManager, QueuedSceneryTexturesLoadInTwoStagesOrAllAtOnce)
{
    tman_class manager;
    test::write_png(folder / "ground.png", 2, 2, std::vector<uint8_t>(16, 90), test::png_options{});
    test::write_png(folder / "water.png", 2, 2, std::vector<uint8_t>(16, 30), test::png_options{});
    // Nothing in the program queues a texture; a record is marked queued here as a loader would.
    for (int ref : {790, 791}) {
        fill_scratch(1, 1, RED);
        ASSERT_EQ(manager.load_texture(tex_fail_fatal, ref, 2, tex_load_now, "scratch_array:queued"), ref);
        manager.refs[ref].name = folder / (ref == 790 ? "ground.png" : "water.png");
        manager.refs[ref].load_time = tex_load_queued;
    }
    EXPECT_EQ(manager.num_remaining_async_texes(), 2);

    finish_counter pending;
    EXPECT_EQ(manager.load_scenery_async_register(&pending), 1);
    EXPECT_EQ(manager.async_job->ref, 790);
    EXPECT_EQ(manager.load_scenery_async_work(), 2);  // decoded from the PNG, nothing uploaded yet
    EXPECT_EQ(manager.refs[790].load_time, tex_load_queued);
    // A file load while a job is pending first asks for the job to be finished; a scratch load does not.
    fill_scratch(1, 1, GREEN);
    manager.load_texture(tex_fail_fatal, 795, 2, tex_load_now, "scratch_array:other");
    EXPECT_EQ(pending.calls, 0);
    manager.load_texture(tex_fail_silent, 796, 2, tex_load_now, folder / "absent.png");
    EXPECT_EQ(pending.calls, 1);

    manager.load_scenery_async_finalize();
    EXPECT_EQ(manager.refs[790].load_time, tex_load_now);
    EXPECT_EQ(manager.refs[790].dx, 2);
    std::vector<uint8_t> texels(2 * 2 * 4);
    glBindTexture(GL_TEXTURE_2D, 790);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels, std::vector<uint8_t>(16, 90));
    EXPECT_EQ(manager.async_job, nullptr);
    EXPECT_EQ(manager.force_finish, nullptr);

    // The rest at once, with progress by file name and fraction done.
    manager.load_all_scenery_texes();
    EXPECT_EQ(manager.refs[791].load_time, tex_load_now);
    EXPECT_EQ(manager.num_remaining_async_texes(), 0);
    EXPECT_EQ(progress_seen.back(), "Loading scenery texture water.png.");
    EXPECT_EQ(manager.load_scenery_async_register(&pending), 0);
    manager.reset_bind();
    for (int ref : {790, 791, 795, 796})
        manager.unload_texture(ref);
}

TEST_F(TextureManager, AccountingAndUseCounts)
{
    tman_class manager;
    mnw.x_res = 1024;
    mnw.y_res = 768;
    EXPECT_EQ(manager.tot_vram(), 3145728);
    load_solid(manager, 780, RED, "scratch_array:780");
    load_solid(manager, 781, RED, "scratch_array:781");
    load_solid(manager, 782, RED, "scratch_array:782");
    EXPECT_EQ(manager.tot_vram(), 3145728 + 3 * 64);

    manager.start_use_tex(780);
    manager.start_use_tex(781);
    manager.start_use_tex(781);
    manager.stop_use_tex(780);
    manager.stop_use_tex(781);
    manager.purge_unused_texes();  // 780 back at 0 goes; 781 in use and 782 never counted stay
    EXPECT_EQ(manager.refs[780].load_type, RECORD_FREE);
    EXPECT_EQ(manager.refs[781].load_type, LOAD_TEXTURE);
    EXPECT_EQ(manager.refs[782].load_type, LOAD_TEXTURE);
    EXPECT_EQ(manager.loaded_texes(), 2);

    mnw.tex_res = 7;
    EXPECT_EQ(manager.scale_rat(), 1.0);
    mnw.tex_res = 2;
    EXPECT_EQ(manager.scale_rat(), 0.125);
    manager.unload_texture(781);
    manager.unload_texture(782);
}

// Every check here fails before any OpenGL call, so no window is opened for them.
TEST(TextureManagerDeathTest, InvalidArgumentsEndTheProgram)
{
    EXPECT_EXIT(tman.load_texture(tex_fail_fatal, 3375, 2, tex_load_now, "x"), ::testing::ExitedWithCode(1),
                "manual_ref");
    EXPECT_EXIT(tman.load_texture(tex_fail_fatal, -1, 2, tex_load_now, "x"), ::testing::ExitedWithCode(1),
                "manual_ref");
    EXPECT_EXIT(tman.load_texture(tex_fail_fatal, 5, 2, static_cast<tex_load_time>(99), "x"),
                ::testing::ExitedWithCode(1), "load_time");
    EXPECT_EXIT(tman.load_texture(tex_fail_fatal, 5, 2, static_cast<tex_load_time>(103), "x"),
                ::testing::ExitedWithCode(1), "load_time");
    EXPECT_EXIT(tman.load_texture(tex_fail_fatal, 5, 0x800, tex_load_now, "x"), ::testing::ExitedWithCode(1),
                "invalid filter type");
    EXPECT_EXIT(tman.load_texture(tex_fail_fatal, 5, 2, tex_load_now, "/nonexistent/absent.png"),
                ::testing::ExitedWithCode(1), "Trying to load a texture that you do not have!");
}

}  // namespace
