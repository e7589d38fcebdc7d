// Capability detection on the real llvmpipe renderer, and the renderer checks on renderer strings
// this machine does not have (vendor, version and extension strings given to detect()).
#include "gfx/ogl_ext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/cmdline.h"
#include "core/globals.h"
#include "gfx/gfx_helpers.h"
#include "platform/gl.h"
#include "platform/system.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/gl_window.h"
#include "support/log_capture.h"

using test::alert_recorder;
using test::log_capture;

namespace {

int count_of(const std::string& text, const std::string& needle)
{
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++n;
    return n;
}

void use_command_line(std::initializer_list<const char*> options)
{
    std::vector<const char*> argv = {"veltrix-installer"};
    argv.insert(argv.end(), options.begin(), options.end());
    cmdline = UTL_cmdline();
    cmdline.init_unix(static_cast<int>(argv.size()), argv.data());
}

class detection : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        use_command_line({});
        plat::set_system_version(nullptr);
        plat::set_gl_proc_lookup(nullptr);
    }
    void TearDown() override
    {
        plat::set_system_version(nullptr);
        plat::set_gl_proc_lookup(nullptr);
        cmdline = UTL_cmdline();
    }
};

}  // namespace

TEST(VersionNumber, ModernStringsCountAsTwoPointOhAndUnknownOnesAsOnePointOh)
{
    EXPECT_EQ(OGL_version_number("4.5 (Compatibility Profile) Mesa 22.3.6"), 200);
    EXPECT_EQ(OGL_version_number("2.1"), 200);
    EXPECT_EQ(OGL_version_number("2.0"), 200);
    EXPECT_EQ(OGL_version_number("3.1 Mesa 22.3.6"), 200);
    EXPECT_EQ(OGL_version_number("10.2"), 200);
    EXPECT_EQ(OGL_version_number("1.1"), 110);
    EXPECT_EQ(OGL_version_number("1.3.1 ATI-1.3.36"), 130);
    EXPECT_EQ(OGL_version_number("1.35"), 130);
    EXPECT_EQ(OGL_version_number("1.5"), 150);
    EXPECT_EQ(OGL_version_number("1.0"), 100);
    EXPECT_EQ(OGL_version_number("OpenGL ES 3.2"), 100);
    EXPECT_EQ(OGL_version_number("1"), 100);
    EXPECT_EQ(OGL_version_number(""), 100);
    EXPECT_EQ(OGL_version_number(nullptr), 100);
}

TEST_F(detection, RealRendererPassesTheVerdictAndLogsTheReport)
{
    ASSERT_EQ(glExt.init_entry_points(), 0);
    alert_recorder alerts;
    log_capture log;
    glExt.init_extensions();

    EXPECT_TRUE(alerts.alerts().empty()) << alerts.alerts()[0].l1;
    EXPECT_NE(std::string(ren.gl_version).find("Compatibility Profile"), std::string::npos) << ren.gl_version;
    EXPECT_EQ(glExt.multitex_avail, 1);
    EXPECT_EQ(glExt.vbo_avail, 1);
    EXPECT_EQ(glExt.pbuffer_avail, 0);
    EXPECT_EQ(glExt.sprites_avail, 1);
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    EXPECT_EQ(ren.max_tex_units, units);
    EXPECT_GE(ren.max_tex_units, 2);

    // llvmpipe offers all three groups; every one of the 81 names resolves.
    EXPECT_EQ(glExt.vshader_avail, 1);
    EXPECT_EQ(glExt.occlude_avail, 1);
    int resolved = 0;
#define COUNT_PROC(type, name) resolved += glExt.name != nullptr;
    OGL_BUFFER_PROCS(COUNT_PROC)
    OGL_PROGRAM_PROCS(COUNT_PROC)
    OGL_QUERY_PROCS(COUNT_PROC)
#undef COUNT_PROC
    EXPECT_EQ(resolved, 81);
    // Names outside the GL dispatch table are simply absent; the context code tolerates that.
    EXPECT_EQ(aglGetProcAddress("CGLDisable"), nullptr);
    EXPECT_EQ(aglGetProcAddress("CGLGetCurrentContext"), nullptr);

    const std::string text = log.text();
    EXPECT_EQ(text.rfind("OpenGL Situation :\nOpenGL Vendor    :", 0), 0u) << text;
    EXPECT_NE(text.find("OpenGL Render    :" + std::string(ren.gl_renderer) + "\n"), std::string::npos);
    EXPECT_NE(text.find("vbo_avail      =1\n"), std::string::npos);
    EXPECT_NE(text.find("pbuffer_avail  =0\n"), std::string::npos);
    EXPECT_NE(text.find("max tex units    :" + std::to_string(units) + " ("), std::string::npos);
    EXPECT_NE(text.find("max pbuffer_avail:0\n"), std::string::npos);
    EXPECT_EQ(text.find("multitex_avail"), std::string::npos);
    EXPECT_EQ(count_of(text, "\n"), 25) << "one line per report entry";
    EXPECT_EQ(text.find("WARNING"), std::string::npos);
}

TEST_F(detection, MissingEntryPointDropsItsGroupAndLogsEachName)
{
    std::vector<std::string> asked;
    plat::set_gl_proc_lookup([&asked](const char* name) -> void* {
        asked.push_back(name);
        if (std::string(name) == "glMapBufferARB" || std::string(name) == "glGetQueryivARB")
            return nullptr;
        return reinterpret_cast<void*>(&count_of);  // any non-null address: nothing is called
    });
    log_capture log;
    alert_recorder alerts;
    glExt.detect("Test Vendor", "Test Renderer", "1.5", "GL_ARB_occlusion_query GL_ARB_multitexture");

    const std::string text = log.text();
    EXPECT_EQ(count_of(text, "WARNING: extension missing proc glMapBufferARB\n"), 1);
    EXPECT_EQ(count_of(text, "WARNING: extension missing proc glGetQueryivARB\n"), 1);
    EXPECT_EQ(count_of(text, "WARNING"), 2);
    EXPECT_EQ(glExt.vbo_avail, 0);
    EXPECT_EQ(glExt.occlude_avail, 0);
    EXPECT_EQ(glExt.glMapBufferARB, nullptr);
    // The rest of each group is still looked up after the miss.
    EXPECT_NE(glExt.glUnmapBufferARB, nullptr);
    EXPECT_NE(glExt.glGetBufferPointervARB, nullptr);
    EXPECT_NE(glExt.glGetQueryObjectuivARB, nullptr);
    // 11 buffer names and 8 query names; no program names without GL_ARB_vertex_program.
    EXPECT_EQ(asked.size(), 19u);
    EXPECT_NE(text.find("vbo_avail      =0\n"), std::string::npos);
    EXPECT_NE(text.find("vshader_avail  =0 (0)\n"), std::string::npos);
    EXPECT_NE(text.find("fshader_avail  =0 (0/0/0/0)\n"), std::string::npos);
    EXPECT_TRUE(alerts.alerts().empty());
}

TEST_F(detection, FragmentProgramsWithoutVertexProgramsCountAsAbsent)
{
    std::vector<std::string> asked;
    plat::set_gl_proc_lookup([&asked](const char* name) -> void* {
        asked.push_back(name);
        return reinterpret_cast<void*>(&count_of);
    });
    log_capture log;
    alert_recorder alerts;
    glExt.detect("Test Vendor", "Test Renderer", "1.3", "GL_ARB_fragment_program");
    EXPECT_EQ(glExt.fshader_avail, 0);
    EXPECT_EQ(glExt.vshader_avail, 0);
    EXPECT_TRUE(asked.empty());
    // Read from OpenGL before the flag was cleared, so not simply a copy of the unit count.
    GLint image_units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS_ARB, &image_units);
    EXPECT_EQ(ren.max_tex_image_units, image_units);
    EXPECT_EQ(ren.max_aniso, 1.0f) << "no anisotropic filtering listed";
    EXPECT_EQ(glExt.vbo_avail, 0) << "1.3 without the extension has no buffer objects";
    EXPECT_EQ(glExt.multitex_avail, 1);
}

TEST_F(detection, PointSpriteWorkaroundOnlyForTheOldSystemAndVendor)
{
    plat::set_gl_proc_lookup([](const char*) -> void* { return reinterpret_cast<void*>(&count_of); });
    alert_recorder alerts;
    const char* ati = "ATI Technologies Inc.";
    const char* ext = "GL_ARB_multitexture GL_ARB_point_sprite";

    plat::set_system_version([](int32_t* v) {
        *v = 0x1039;
        return true;
    });
    {
        log_capture log;
        glExt.detect(ati, "Radeon", "1.5", ext);
        EXPECT_EQ(glExt.sprites_avail, 0);
        EXPECT_EQ(log.text().rfind("Disabling point sprites for ATI on OS X 10.3.\nOpenGL Situation", 0), 0u);
        EXPECT_NE(log.text().find("sprites_avail  =0\n"), std::string::npos);
    }
    use_command_line({"--use_sprites"});
    {
        log_capture log;
        glExt.detect(ati, "Radeon", "1.5", ext);
        EXPECT_EQ(glExt.sprites_avail, 1);
        EXPECT_EQ(log.text().find("Disabling"), std::string::npos);
        EXPECT_NE(log.text().find("sprites_avail  =1\n"), std::string::npos);
    }
    use_command_line({"--use_sprites", "--no_sprites"});
    {
        log_capture log;
        glExt.detect(ati, "Radeon", "1.5", ext);
        EXPECT_NE(log.text().find("sprites_avail  =0\n"), std::string::npos);
    }
    use_command_line({});
    plat::set_system_version([](int32_t* v) {
        *v = 0x1040;
        return true;
    });
    {
        log_capture log;
        glExt.detect(ati, "Radeon", "1.5", ext);
        EXPECT_EQ(glExt.sprites_avail, 1);
    }
    // Linux has no such version: the real query fails and nothing is disabled.
    plat::set_system_version(nullptr);
    {
        log_capture log;
        glExt.detect(ati, "Radeon", "1.5", ext);
        EXPECT_EQ(glExt.sprites_avail, 1);
        EXPECT_EQ(log.text().find("Disabling"), std::string::npos);
    }
    EXPECT_TRUE(alerts.alerts().empty());
}

TEST_F(detection, NoVbosOverrideKeepsTheLookedUpEntryPoints)
{
    use_command_line({"--no_vbos"});
    log_capture log;
    alert_recorder alerts;
    glExt.init_extensions();
    EXPECT_EQ(glExt.vbo_avail, 0);
    EXPECT_NE(glExt.glBindBufferARB, nullptr);
    EXPECT_NE(log.text().find("vbo_avail      =0\n"), std::string::npos);
}

// A fatal alert ends the process, so each unusable renderer runs in a child; the child's log
// goes to a file the parent reads afterwards.
TEST_F(detection, VerdictEndsUnusableRenderersAfterTheReport)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string log_path = testing::TempDir() + "verdict-log.txt";
    auto detect_in_child = [&log_path](const char* version, const char* extensions) {
        plat::set_gl_proc_lookup([](const char*) -> void* { return reinterpret_cast<void*>(&count_of); });
        xer.open(log_path, std::ios::out | std::ios::trunc);
        glExt.detect("Old Vendor", "Old Renderer", version, extensions);
        std::exit(0);
    };
    EXPECT_EXIT(detect_in_child("1.0", "GL_ARB_multitexture"), testing::ExitedWithCode(1),
                "Your graphics hardware cannot support Veltrix. Veltrix requires a graphics card with 16 MB of "
                "VRAM and multitexuring. First, try updating your graphics drivers.");
    const std::string text = test::read_file(log_path);
    const size_t report = text.find("max point size   :");
    const size_t verdict = text.find("Your graphics hardware cannot support Veltrix.");
    ASSERT_NE(report, std::string::npos) << text;
    ASSERT_NE(verdict, std::string::npos) << text;
    EXPECT_LT(report, verdict) << "the report stands in the log before the verdict";
    EXPECT_NE(text.find("If this does not help, check your graphics card specifications.\nFor tech support, email "),
              std::string::npos);
    EXPECT_NE(text.find("(DEzovuv/OGL/OGL_extensions line 383)"), std::string::npos);

    // A 1.2 renderer without multitexturing is refused as well.
    EXPECT_EXIT(detect_in_child("1.2", "GL_EXT_texture_env_add"), testing::ExitedWithCode(1),
                "Your graphics hardware cannot support Veltrix");
    // A modern version string passes.
    EXPECT_EXIT(detect_in_child("2.1", "GL_ARB_multitexture"), testing::ExitedWithCode(0), "");
}

TEST_F(detection, SoftwareRenderersAreWarnedAboutButRun)
{
    plat::set_gl_proc_lookup([](const char*) -> void* { return reinterpret_cast<void*>(&count_of); });
    {
        alert_recorder alerts;
        log_capture log;
        glExt.detect("Vendor", "Some GDI Generic renderer", "2.1", "");
        ASSERT_EQ(alerts.alerts().size(), 1u) << "a marker in the middle of the string counts";
        const auto& a = alerts.alerts()[0];
        EXPECT_EQ(a.type, 1);
        EXPECT_EQ(a.l1,
                  "I can not find a 3-D accelerator card that can handle OpenGL that has correctly "
                  "installed drivers.");
        EXPECT_EQ(a.l2,
                  "I will still let you run the simulator, but the frame rate will NOT allow for a good "
                  "simulation.");
        EXPECT_FALSE(a.l3.empty());
        EXPECT_EQ(a.file, "DEzovuv/OGL/OGL_extensions");
        EXPECT_EQ(a.line, 394);
    }
    for (const char* renderer :
         {"llvmpipe (LLVM 15.0.6, 256 bits)", "GENERIC", "generic x", "Mesa GLX Indirect", "GENERIc"}) {
        alert_recorder alerts;
        log_capture log;
        glExt.detect("Mesa", renderer, "4.5 (Compatibility Profile) Mesa 22.3.6", "");
        const std::string name = renderer;
        const bool software = name != "llvmpipe (LLVM 15.0.6, 256 bits)" && name != "GENERIc";
        EXPECT_EQ(alerts.alerts().size(), software ? 1u : 0u) << renderer;
    }
}

// In a process of its own, before any window: nothing has loaded OpenGL and there is no video
// subsystem to load it into, so the load fails with -1; with a window it succeeds.
TEST(EntryPoints, LibraryLoadFailsWithoutAWindowAndSucceedsWithOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const int without = glExt.init_entry_points();
            test::gl_window window;
            if (!window.ok())
                std::exit(3);
            std::exit(without == -1 && glExt.init_entry_points() == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(ExtensionOverride, RemovedVertexProgramsAreNeitherFlaggedNorLookedUp)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_vertex_program", 1);
            test::gl_window window;
            if (!window.ok())
                std::exit(3);
            int program_lookups = 0;
            plat::set_gl_proc_lookup([&program_lookups](const char* name) -> void* {
                if (std::string(name).find("Program") != std::string::npos ||
                    std::string(name).find("VertexAttrib") != std::string::npos)
                    ++program_lookups;
                return reinterpret_cast<void*>(&count_of);
            });
            log_capture log;
            glExt.init_extensions();
            std::exit(glExt.vshader_avail == 0 && program_lookups == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
