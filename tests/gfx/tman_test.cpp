// The texture manager in a real OpenGL context: refs, automatic slots, failure policies and the
// placeholder, unload and reload, the bind cache and combiner presets, upload choices, read back with
// glReadPixels and glGetTex*.
#include "gfx/image_files.h"
#include "support/alert_recorder.h"
#include "support/log_capture.h"
#include "support/scenery_tree.h"
#include "support/temp_folder.h"

#include "core/globals.h"
#include "core/mnw.h"
#include "core/scenery_library.h"
#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "gfx/tman.h"

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

using test::rgba;

namespace {

std::vector<std::string> progress_seen;

GLint texture_binding(int unit)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    glActiveTexture(GL_TEXTURE0);
    return name;
}

// The texture environment's value `what` (component `index` of a colour) on texture unit `unit`.
GLfloat env_value(GLenum what, int index = 0, int unit = 0)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    GLfloat value[4] = {-1, -1, -1, -1};
    glGetTexEnvfv(GL_TEXTURE_ENV, what, value);
    glActiveTexture(GL_TEXTURE0);
    return value[index];
}

// What OpenGL holds for texture object `name`: a parameter, or a property of mipmap `level`.
GLint texture_value(GLuint name, GLenum what, int level = 0)
{
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = 0;
    if (what == GL_TEXTURE_WIDTH || what == GL_TEXTURE_INTERNAL_FORMAT)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &value);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, what, &value);
    return value;
}

class TextureManager : public gfx_test::screen_test {
protected:
    void SetUp() override
    {
        screen_test::SetUp();
        mnw.col_res = 32;
        progress_seen.clear();
        test::set_core_hook(&core_hooks::show_init,
                            [](const std::string& message, float*) { progress_seen.push_back(message); });
    }
    void TearDown() override
    {
        test::set_core_hook(&core_hooks::show_init, nullptr);
        // The textures and names a test registered go with it: the context and the name table outlive it.
        for (GLuint name = 1; name < TEX_FIRST_AUTOMATIC + 100; ++name)
            glDeleteTextures(1, &name);
        tex_hash().clear();
    }

    // Puts a solid width x height image into scratch_array, as the interface code does before a load.
    static void fill_scratch(int width, int height, rgba colour)
    {
        scratch_dx = width;
        scratch_dy = height;
        for (int i = 0; i < width * height; ++i)
            std::memcpy(scratch_array + i * 4, &colour, 4);
    }
    static int load_solid(tman_class& manager, int ref, rgba colour, const std::string& name, int type = 2,
                          int size = 4)
    {
        fill_scratch(size, size, colour);
        return manager.load_texture(tex_fail_fatal, ref, type, tex_load_now, name);
    }
    // Draws the ref over a 20 x 20 square at (x, y) and returns its centre pixel.
    static rgba draw(tman_class& manager, int ref, int x = 100, int mode = 0)
    {
        manager.bind_ref(ref, 0, mode);
        return gfx_test::textured_square(x, 100);
    }

    test::temp_folder folder;
    test::alert_recorder alerts;
    test::log_capture log;
};

using gfx_test::RED, gfx_test::GREEN, gfx_test::BLUE;

TEST_F(TextureManager, AutomaticRefsAreSharedByNameAndReuseTheHighestFreeSlot)
{
    tman_class manager;
    const std::string first = folder / "auto.png";
    test::write_png(first, 2, 2, std::vector<uint8_t>(16, 200), {});
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 0, 2, tex_load_now, first), 3374);
    // An empty name does nothing at all, whatever the ref.
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 99999, 2, tex_load_now, ""), 0);

    // Asked again, the same name answers at once: the file is not even read. Building another
    // manager meanwhile leaves the name table alone.
    ASSERT_EQ(remove(first.c_str()), 0);
    (void)tman_class();
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 0, 2, tex_load_now, first), 3374);
    EXPECT_EQ(std::tuple(manager.refs[3374].gl_name, manager.total_texes()), std::tuple(3374, 1));

    for (int i = 1; i < 36; ++i)
        EXPECT_EQ(load_solid(manager, 0, GREEN, "scratch_array:auto " + std::to_string(i)), 3374 + i);
    manager.unload_texture(3400);
    EXPECT_FALSE(glIsTexture(3400));
    EXPECT_EQ(load_solid(manager, 0, BLUE, "scratch_array:auto new"), 3400);
    manager.unload_texture(3380);
    manager.unload_texture(3400);
    EXPECT_EQ(load_solid(manager, 0, BLUE, "scratch_array:auto newer"), 3400);
    // The unloaded name is forgotten: asking for it again gives a fresh slot, the remaining free one.
    EXPECT_EQ(load_solid(manager, 0, BLUE, "scratch_array:auto 6"), 3380);
    EXPECT_EQ(progress_seen, (std::vector<std::string>{"Loading bitmap " + first + "."})) << "none for scratch loads";
    for (size_t ref = 3374; ref < manager.refs.size(); ++ref)
        manager.unload_texture(static_cast<int>(ref));
    EXPECT_EQ(std::tuple(manager.total_texes(), manager.loaded_texes()), std::tuple(0, 0));
}

TEST_F(TextureManager, FailureModesRaiseTheirFlagOnceAndLogTheMissingName)
{
    tman_class manager;
    const std::string missing = folder / "gone.png";
    auto flags = [&] {
        return std::tuple(manager.has_scene_load_fail(), manager.has_plane_load_fail(), manager.has_instl_load_fail());
    };
    EXPECT_EQ(manager.load_texture(tex_fail_scenery, 700, 2, tex_load_now, missing), 0);
    EXPECT_EQ(std::tuple(flags(), log.text()),
              std::tuple(std::tuple(1, 0, 0), "WARNING: we are missing the texture: " + missing + ".\n"));
    manager.mute_scene_load_fail();
    EXPECT_EQ(manager.load_texture(tex_fail_scenery, 701, 2, tex_load_now, missing), 0);
    EXPECT_EQ(flags(), std::tuple(0, 0, 0)) << "muted failures stay muted";
    manager.reset_scene_load_fail();
    for (const auto& [mode, ref] :
         {std::pair{tex_fail_scenery, 702}, {tex_fail_aircraft, 703}, {tex_fail_installed, 704}})
        EXPECT_EQ(manager.load_texture(mode, ref, 2, tex_load_now, missing), 0);
    EXPECT_EQ(std::tuple(flags(), alerts.alerts().size()), std::tuple(std::tuple(1, 1, 1), 0u));
}

TEST_F(TextureManager, FailedTexturesDrawThePlaceholderAndKeepTheirSlot)
{
    tman_class manager;
    // Without a loaded placeholder a failed automatic slot holds no texture, yet stays taken and counted.
    EXPECT_EQ(manager.load_texture(tex_fail_silent, 0, 2, tex_load_now, folder / "a.png"), 3374);
    EXPECT_EQ(std::tuple(manager.refs[3374].load_type, manager.refs[3374].gl_name, manager.total_texes()),
              std::tuple(LOAD_TEXTURE, 0, 1));
    EXPECT_EQ(manager.load_texture(tex_fail_silent, 0, 2, tex_load_now, folder / "b.png"), 3375);

    // With the placeholder loaded green, a failed ref takes over its texture and draws green, quietly.
    EXPECT_EQ(load_solid(manager, TEX_PLACEHOLDER, GREEN, "scratch_array:placeholder"), TEX_PLACEHOLDER);
    EXPECT_EQ(manager.load_texture(tex_fail_silent, 710, 2, tex_load_now, folder / "c.png"), 0);
    // Silent failures say nothing.
    EXPECT_EQ(std::tuple(manager.refs[710].gl_name, manager.refs[710].vram, draw(manager, 710),
                         alerts.alerts().size() + log.text().size()),
              std::tuple(TEX_PLACEHOLDER, 0, GREEN, 0u));

    // A failure over a loaded ref gives up that ref's texture and its count.
    const int loaded = manager.loaded_texes();
    EXPECT_EQ(load_solid(manager, 720, RED, "scratch_array:720"), 720);
    EXPECT_EQ(manager.load_texture(tex_fail_silent, 720, 2, tex_load_now, folder / "d.png"), 0);
    EXPECT_EQ(std::tuple(manager.loaded_texes(), glIsTexture(720), draw(manager, 720)),
              std::tuple(loaded, GL_FALSE, GREEN));

    // Unloading a failed ref never deletes the placeholder's texture.
    manager.unload_texture(710);
    EXPECT_TRUE(glIsTexture(TEX_PLACEHOLDER));
}

TEST_F(TextureManager, ReloadsReplacePixelsAndSizeUnloadedRefsLoadAnewAndUnusedOnesArePurged)
{
    tman_class manager;
    EXPECT_EQ(manager.tot_vram(), 3145728) << "the 1024 x 768 screen's buffers";
    EXPECT_EQ(load_solid(manager, 730, RED, "scratch_array:730"), 730);
    EXPECT_EQ(load_solid(manager, 731, GREEN, "scratch_array:731"), 731);
    // Same size and format: refreshed in place; another size: re-created at it. Still one texture.
    EXPECT_EQ(load_solid(manager, 730, BLUE, "scratch_array:730"), 730);
    manager.reset_bind();
    EXPECT_EQ(std::tuple(texture_value(730, GL_TEXTURE_WIDTH), draw(manager, 730)), std::tuple(4, BLUE));
    EXPECT_EQ(load_solid(manager, 730, RED, "scratch_array:730", 2, 8), 730);
    manager.reset_bind();
    EXPECT_EQ(std::tuple(texture_value(730, GL_TEXTURE_WIDTH), manager.refs[730].vram, draw(manager, 730, 200)),
              std::tuple(8, 8 * 8 * 4, RED));

    manager.unload_texture(730);
    EXPECT_EQ(load_solid(manager, 730, BLUE, "scratch_array:730 blue"), 730);
    EXPECT_EQ(std::tuple(draw(manager, 731, 300), draw(manager, 730, 400)), std::tuple(GREEN, BLUE));

    // A ref whose use count is back at 0 goes at the purge; one in use, and one never counted, stay.
    EXPECT_EQ(load_solid(manager, 732, RED, "scratch_array:732"), 732);
    EXPECT_EQ(manager.tot_vram(), 3145728 + 3 * 64);
    for (int ref : {730, 731, 731})
        manager.start_use_tex(ref);
    for (int ref : {730, 731})
        manager.stop_use_tex(ref);
    manager.purge_unused_texes();
    EXPECT_EQ(std::tuple(manager.refs[730].load_type, manager.refs[731].load_type, manager.refs[732].load_type,
                         manager.loaded_texes()),
              std::tuple(RECORD_FREE, LOAD_TEXTURE, LOAD_TEXTURE, 2));
}

TEST_F(TextureManager, BindCacheSkipsRepeatsAndForgetsOnResetAndEmptyRefsBindThePlaceholder)
{
    tman_class manager;
    load_solid(manager, 364, RED, "scratch_array:364");
    load_solid(manager, 365, GREEN, "scratch_array:365");
    manager.reset_bind();
    manager.bind_ref(364, 0, 0);
    EXPECT_EQ(std::tuple(texture_binding(0), env_value(GL_TEXTURE_ENV_MODE)), std::tuple(364, GLfloat(GL_MODULATE)));
    // Changed behind the cache's back: a repeat bind believes the cache and calls nothing.
    glBindTexture(GL_TEXTURE_2D, 0);
    manager.bind_ref(364, 0, 0);
    EXPECT_EQ(texture_binding(0), 0);
    // Another texture with the same mode binds but leaves the environment alone.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    manager.bind_ref(365, 0, 0);
    EXPECT_EQ(std::tuple(texture_binding(0), env_value(GL_TEXTURE_ENV_MODE)), std::tuple(365, GLfloat(GL_DECAL)));
    manager.reset_bind();
    manager.bind_ref(365, 0, 0);
    EXPECT_EQ(env_value(GL_TEXTURE_ENV_MODE), GL_MODULATE);

    // Units above 0 are selected only for the call, and unit 0 is active again afterwards.
    manager.bind_ref(364, 1, GL_REPLACE);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(std::tuple(texture_binding(1), active, env_value(GL_TEXTURE_ENV_MODE, 0, 1)),
              std::tuple(364, GL_TEXTURE0, GLfloat(GL_REPLACE)));

    // A unit the renderer does not have, or one beyond the six the cache follows, is left alone.
    const int units = ren.max_tex_units;
    ren.max_tex_units = 1;
    manager.bind_ref(365, 1, 0);
    ren.max_tex_units = 8;
    manager.bind_ref(365, 6, 0);
    ren.max_tex_units = units;
    EXPECT_EQ(std::tuple(texture_binding(1), texture_binding(6), alerts.alerts().size()), std::tuple(364, 0, 0u));

    // Refs that hold nothing, far past the table or inside it but never registered, bind the
    // placeholder with a message each.
    for (const auto& [ref, messages] : {std::pair{50000, 1u}, {100, 2u}}) {
        manager.bind_ref(364, 0, 0);
        manager.bind_ref(ref, 0, 0);
        EXPECT_EQ(std::tuple(texture_binding(0), alerts.alerts().size()), std::tuple(TEX_PLACEHOLDER, messages)) << ref;
    }
    EXPECT_EQ(alerts.alerts().back().l1, "missing non-scenery texture - how?");
    // Ref 0 means untextured, also before the table reaches it: texture 0, and no message.
    tman_class empty;
    glBindTexture(GL_TEXTURE_2D, 364);
    empty.bind_ref(0, 0, 0);
    EXPECT_EQ(std::tuple(texture_binding(0), alerts.alerts().size()), std::tuple(0, 2u));
}

TEST_F(TextureManager, CombinerPresetsAndBlendLevel)
{
    tman_class manager;
    load_solid(manager, 740, RED, "scratch_array:740 rgba");
    load_solid(manager, 741, RED, "scratch_array:741 rgb", 1);

    // Mode 1 adds with an RGBA texture through the combiner, with any other format through GL_ADD;
    // switching textures re-decides even though the mode is the same.
    // Ref, mode, environment value, its component, what it holds.
    // clang-format off
    const std::tuple<int, int, GLenum, int, GLfloat> presets[] = {
        {740, 9, GL_COMBINE_RGB, 0, GL_MODULATE}, {740, 9, GL_COMBINE_ALPHA, 0, GL_REPLACE},
        {740, 8, GL_ALPHA_SCALE, 0, 4}, {740, 8, GL_COMBINE_ALPHA, 0, GL_SUBTRACT},
        {740, 4, GL_TEXTURE_ENV_COLOR, 3, 0.9f}, {740, 4, GL_ALPHA_SCALE, 0, 1},
        {740, 1, GL_COMBINE_RGB, 0, GL_ADD}, {741, 1, GL_TEXTURE_ENV_MODE, 0, GL_ADD}};
    // clang-format on
    for (const auto& [ref, mode, what, index, value] : presets) {
        manager.bind_ref(ref, 0, mode);
        EXPECT_FLOAT_EQ(env_value(what, index), value) << "mode " << mode << ", value " << what;
    }
    // Drawn: mode 13 passes the primary colour through whatever the texture holds.
    glColor3ub(255, 255, 0);
    EXPECT_EQ(draw(manager, 740, 100, 13), (rgba{255, 255, 0, 255}));
    glColor3ub(255, 255, 255);

    // Units above 0 get their own colour and unit 0 is active again; the renderer's units 6 and 7
    // lie beyond the six the manager follows and are left alone.
    const int units = ren.max_tex_units;
    ren.max_tex_units = 8;
    manager.set_blend_level(1, 0.5f);
    manager.set_blend_level(6, 0.75f);
    ren.max_tex_units = units;
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(std::tuple(active, env_value(GL_TEXTURE_ENV_COLOR, 0, 1), env_value(GL_TEXTURE_ENV_COLOR, 3, 1),
                         env_value(GL_TEXTURE_ENV_COLOR, 3, 6)),
              std::tuple(GL_TEXTURE0, 0.5f, 0.5f, 0.0f));
}

TEST_F(TextureManager, UploadChoosesMemoryFormatFilterAndWrap)
{
    tman_class manager;
    constexpr GLenum MEMORY = 0;  // the bytes the record counts
    // Ref, kind and flags, side, screen depth, display ratio, what, its value. The atlas (363) is sharp,
    // the background (389) only at a 1:1 display ratio; on a 16-bit screen RGB textures ask for 16 bits,
    // RGBA ones only under ref 380.
    // clang-format off
    const std::tuple<int, int, int, int, float, GLenum, GLint> cases[] = {
        {760, 2 | TEX_MIPMAP, 256, 32, 1, MEMORY, 367001}, {761, 2 | TEX_CLAMP, 256, 32, 1, MEMORY, 262144},
        {760, 2 | TEX_MIPMAP, 256, 32, 1, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR},
        {760, 2 | TEX_MIPMAP, 256, 32, 1, GL_TEXTURE_WRAP_S, GL_REPEAT},
        {761, 2 | TEX_CLAMP, 256, 32, 1, GL_TEXTURE_MIN_FILTER, GL_LINEAR},
        {761, 2 | TEX_CLAMP, 256, 32, 1, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE},
        {363, 2, 4, 32, 1, GL_TEXTURE_MIN_FILTER, GL_NEAREST}, {363, 2, 4, 32, 1, GL_TEXTURE_MAG_FILTER, GL_NEAREST},
        {365, 2, 4, 32, 1, GL_TEXTURE_MAG_FILTER, GL_LINEAR}, {389, 2, 4, 32, 1, GL_TEXTURE_MAG_FILTER, GL_NEAREST},
        {389, 2, 4, 32, 1.5f, GL_TEXTURE_MAG_FILTER, GL_LINEAR},
        {762, 1, 4, 16, 1, GL_TEXTURE_INTERNAL_FORMAT, GL_RGB16}, {763, 2, 4, 16, 1, GL_TEXTURE_INTERNAL_FORMAT, GL_RGBA},
        {380, 2, 4, 16, 1, GL_TEXTURE_INTERNAL_FORMAT, GL_RGBA16}};
    // clang-format on
    for (const auto& [ref, type, side, depth, ratio, what, value] : cases) {
        mnw.col_res = depth;
        mnw.tex_filter = ratio;
        load_solid(manager, ref, RED, "scratch_array:upload", type, side);
        EXPECT_EQ(what == MEMORY ? manager.refs[ref].vram : texture_value(ref, what), value) << ref << ", " << what;
    }
}

// A minified mipmapped texture is complete only with its smaller levels: without them OpenGL
// turns texturing off and the quad shows the plain white vertex colour.
TEST_F(TextureManager, MipmappedTexturesDrawWhenMinifiedWithEitherMipmapBuilder)
{
    tman_class manager;
    const int automatic = glExt.automini_avail;
    for (int renderer_builds : {1, 0}) {
        SCOPED_TRACE(renderer_builds ? "renderer-generated levels" : "levels built on the CPU");
        glExt.automini_avail = renderer_builds;
        const int ref = 765 + renderer_builds;
        load_solid(manager, ref, BLUE, "scratch_array:mipmapped", 2 | TEX_MIPMAP, 64);
        EXPECT_EQ(texture_value(ref, GL_TEXTURE_WIDTH, 6), 1) << "the chain reaches 1 x 1";
        manager.reset_bind();
        glColor3ub(255, 255, 255);
        EXPECT_EQ(draw(manager, ref, 100 + 100 * renderer_builds), BLUE);
    }
    glExt.automini_avail = automatic;
}

TEST_F(TextureManager, TransparentPixelsTakeTheColourOfOpaqueNeighboursWithinTwo)
{
    tman_class manager;
    // 8 x 1: red and blue opaque at x 0 and 1, the rest transparent grey 9.
    std::vector<uint8_t> row = {255, 0, 0, 255, 0, 0, 255, 255};
    for (int x = 2; x < 8; ++x)
        row.insert(row.end(), {9, 9, 9, 0});
    const std::string path = folder / "fringe.png";
    test::write_png(path, 8, 1, row, {});
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 770, 2, tex_load_now, path), 770);
    std::vector<uint8_t> texels(8 * 4);
    glBindTexture(GL_TEXTURE_2D, 770);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    // x 2 sees both opaque pixels, x 3 only the blue one, x 4 on none: as decoded.
    EXPECT_EQ(std::vector<uint8_t>(texels.begin(), texels.begin() + 20),
              (std::vector<uint8_t>{255, 0, 0, 255, 0, 0, 255, 255, 127, 0, 127, 0, 0, 0, 255, 0, 9, 9, 9, 0}));
    // The atlas ref loads without a progress line.
    EXPECT_EQ(manager.load_texture(tex_fail_fatal, 363, 2, tex_load_now, path), 363);
    EXPECT_EQ(progress_seen, (std::vector<std::string>{"Loading bitmap " + path + "."}));
}

TEST_F(TextureManager, ImageOnlyLoadsServeTheSceneryLibrarysRegionBitmaps)
{
    tman_class manager;  // an empty table: the size stands in record 0, nothing is uploaded
    test::write_png(folder / "bitmap.png", 6, 3, std::vector<uint8_t>(6 * 3 * 4, 50), {});
    EXPECT_EQ(manager.load_bitmap(tex_fail_fatal, 0, 2, folder / "bitmap.png"), 1);
    ASSERT_GE(manager.refs.size(), 1u);
    EXPECT_EQ(std::tuple(manager.refs[0].dx, manager.refs[0].dy, scratch_array[0], manager.loaded_texes()),
              std::tuple(6, 3, 50, 0));
    EXPECT_EQ(manager.load_bitmap(tex_fail_silent, 0, 2, folder / "none.png"), 0);

    // A grey mask, top row first as the file stores it, that holds only the tile (10, 45).
    std::vector<uint8_t> mask(360 * 180, 0);
    mask[(179 - (45 + 90)) * 360 + (10 + 180)] = 255;
    const std::string package = folder / "Custom Scenery/P";
    test::write_library(package, "REGION_DEFINE r\nREGION_BITMAP mask.png\nREGION r\nEXPORT tree t.obj\n");
    test::write_png(package + "/mask.png", 360, 180, mask, {0});  // grey
    cus_path = folder / "Custom Scenery/";
    test::set_core_hook(&core_hooks::region_bitmap, tman_load_region_bitmap);
    DSF_ScanSceneryFolder();
    test::set_core_hook(&core_hooks::region_bitmap, nullptr);
    cus_path = "Custom Scenery:";
    for (const auto& [longitude, latitude, inside] :
         {std::tuple{10, 45, true}, {10, 46, false}, {10, 44, false}, {11, 45, false}, {9, 45, false}}) {
        std::string name = "tree";
        EXPECT_EQ(DSF_LookupLibraryResource(longitude, latitude, name), inside) << longitude << "," << latitude;
    }
}

// Every check here fails before any OpenGL call, so no window is opened for them.
TEST(TextureManagerDeathTest, InvalidArgumentsEndTheProgram)
{
    // Ref, kind, load time, name, the alert.
    // clang-format off
    const std::tuple<int, int, int, std::string, const char*> cases[] = {
        {3375, 2, tex_load_now, "x", "manual_ref"}, {-1, 2, tex_load_now, "x", "manual_ref"},
        {5, 2, 99, "x", "load_time"}, {5, 2, 103, "x", "load_time"}, {5, 0x800, tex_load_now, "x", "invalid filter type"},
        {5, 2, tex_load_now, "/nonexistent/absent.png", "Trying to load a texture that you do not have!"}};
    // clang-format on
    for (const auto& [ref, type, when, name, alert] : cases)
        EXPECT_EXIT(tman.load_texture(tex_fail_fatal, ref, type, static_cast<tex_load_time>(when), name),
                    ::testing::ExitedWithCode(1), alert);
}

}  // namespace
