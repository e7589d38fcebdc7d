// Capability detection on the real llvmpipe renderer, and the renderer checks on renderer strings
// this machine does not have (vendor, version and extension strings given to detect()).
#include "gfx/ogl_ext.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/cmdline.h"
#include "core/globals.h"
#include "platform/gl.h"
#include "platform/system.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/gl_window.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

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

// Any non-null address stands for a found entry point: detection calls none of them.
void* found(const char*)
{
    return reinterpret_cast<void*>(&count_of);
}

void use_command_line(const std::vector<const char*>& options)
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
    alert_recorder alerts;
    log_capture log;
};

}  // namespace

TEST(VersionNumber, ModernStringsCountAsTwoPointOhAndUnknownOnesAsOnePointOh)
{
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"4.5 (Compatibility Profile) Mesa 22.3.6", 200}, {"2.1", 200}, {"2.0", 200}, {"3.1 Mesa 22.3.6", 200},
        {"10.2", 200}, {"1.1", 110}, {"1.3.1 ATI-1.3.36", 130}, {"1.35", 130}, {"1.5", 150}, {"1.0", 100},
        {"OpenGL ES 3.2", 100}, {"1", 100}, {"", 100}, {nullptr, 100}};
    // clang-format on
    for (const auto& [version, number] : cases)
        EXPECT_EQ(OGL_version_number(version), number) << (version ? version : "null");
}

TEST_F(detection, RealRendererPassesTheVerdictAndLogsTheReport)
{
    ASSERT_EQ(glExt.init_entry_points(), 0);
    glExt.init_extensions();
    EXPECT_TRUE(alerts.alerts().empty()) << alerts.alerts()[0].l1;
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    // llvmpipe offers all three groups of entry points: a single name that did not resolve would drop its group.
    EXPECT_EQ(std::tuple(glExt.multitex_avail, glExt.vbo_avail, glExt.pbuffer_avail, glExt.sprites_avail,
                         glExt.vshader_avail, glExt.occlude_avail, ren.max_tex_units),
              std::tuple(1, 1, 0, 1, 1, 1, units));
    // GLX hands out a stub for any name; names outside OpenGL's own must come back absent.
    EXPECT_EQ(std::tuple(aglGetProcAddress("CGLDisable"), aglGetProcAddress("CGLGetCurrentContext")),
              std::tuple(nullptr, nullptr));

    const std::string text = log.text();
    EXPECT_EQ(std::tuple(text.rfind("OpenGL Situation :\nOpenGL Vendor    :", 0),
                         count_of(text, "OpenGL Render    :" + std::string(ren.gl_renderer) + "\n"),
                         count_of(text, "WARNING")),
              std::tuple(0u, 1, 0))
        << text;
}

TEST_F(detection, MissingEntryPointDropsItsGroupAndLogsEachName)
{
    plat::set_gl_proc_lookup([](const char* name) -> void* {
        return std::string(name) == "glMapBufferARB" || std::string(name) == "glGetQueryivARB" ? nullptr : found(name);
    });
    glExt.detect("Test Vendor", "Test Renderer", "1.5", "GL_ARB_occlusion_query GL_ARB_multitexture");
    const std::string text = log.text();
    EXPECT_EQ(std::tuple(count_of(text, "WARNING: extension missing proc glMapBufferARB\n"),
                         count_of(text, "WARNING: extension missing proc glGetQueryivARB\n"), count_of(text, "WARNING"),
                         count_of(text, "vbo_avail      =0\n")),
              std::tuple(1, 1, 2, 1));
    EXPECT_EQ(std::tuple(glExt.vbo_avail, glExt.occlude_avail, glExt.glMapBufferARB), std::tuple(0, 0, nullptr));
    // The rest of each group is still looked up after the miss.
    EXPECT_TRUE(glExt.glUnmapBufferARB && glExt.glGetBufferPointervARB && glExt.glGetQueryObjectuivARB);
    EXPECT_TRUE(alerts.alerts().empty());
}

// Switching buffer objects off keeps their looked-up entry points.
TEST_F(detection, PointSpriteWorkaroundOnlyForTheOldSystemAndVendorAndCommandLineOverrides)
{
    plat::set_gl_proc_lookup(found);
    // System version (0: the real query, which Linux fails), command line, sprites, buffer objects.
    // clang-format off
    const std::tuple<int32_t, std::vector<const char*>, int, int> cases[] = {
        {0x1039, {}, 0, 1}, {0x1039, {"--use_sprites"}, 1, 1}, {0x1040, {}, 1, 1}, {0, {}, 1, 1},
        {0x1039, {"--use_sprites", "--no_sprites", "--no_vbos"}, 0, 0}};
    // clang-format on
    for (const auto& [system, options, sprites, vbos] : cases) {
        plat::set_system_version(system ? [system = system](int32_t* v) { return *v = system, true; }
                                        : plat::SystemVersionSource{});
        use_command_line(options);
        log_capture run;
        glExt.detect("ATI Technologies Inc.", "Radeon", "1.5", "GL_ARB_multitexture GL_ARB_point_sprite");
        const bool disabled = system == 0x1039 && options.empty();
        EXPECT_EQ(std::tuple(glExt.sprites_avail, glExt.vbo_avail, glExt.glBindBufferARB != nullptr,
                             run.text().rfind("Disabling point sprites for ATI on OS X 10.3.\nOpenGL Situation", 0),
                             count_of(run.text(), "sprites_avail  =" + std::to_string(sprites) + "\n"),
                             count_of(run.text(), "vbo_avail      =" + std::to_string(vbos) + "\n")),
                  std::tuple(sprites, vbos, true, disabled ? 0 : std::string::npos, 1, 1))
            << system << " with " << options.size() << " options";
    }
    EXPECT_TRUE(alerts.alerts().empty());
}

// The log file of the verdict children of the test process `pid`. A child re-runs the test from its start
// in a fresh process, so the name is the one thing both sides can work out alone: the parent's pid.
std::string verdict_log_of(pid_t pid)
{
    return test::temp_base() + "/veltrix-verdict-log-" + std::to_string(pid);
}

// A fatal alert ends the process, so each unusable renderer runs in a child; the child's log
// goes to a file the parent reads afterwards.
TEST_F(detection, VerdictEndsUnusableRenderersAfterTheReport)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    test::set_core_hook(&core_hooks::alert, nullptr);  // the real alert
    const std::string log_path = verdict_log_of(getpid());
    const struct removed_at_end {
        const std::string& path;
        ~removed_at_end() { unlink(path.c_str()); }
    } log_removed{log_path};
    auto detect_in_child = [](const char* version, const char* extensions) {
        plat::set_gl_proc_lookup(found);
        xer.close();
        xer.open(verdict_log_of(getppid()), std::ios::out | std::ios::trunc);
        glExt.detect("Old Vendor", "Old Renderer", version, extensions);
        std::exit(0);
    };
    EXPECT_EXIT(detect_in_child("1.0", "GL_ARB_multitexture"), testing::ExitedWithCode(1),
                "Your graphics hardware cannot support Veltrix. Veltrix requires a graphics card with 16 MB of "
                "VRAM and multitexuring. First, try updating your graphics drivers.");
    const std::string text = test::read_file(log_path);
    const size_t report = text.find("max point size   :");
    const size_t verdict = text.find("Your graphics hardware cannot support Veltrix.");
    EXPECT_LT(report, verdict) << "the report stands in the log before the verdict:\n" << text;
    EXPECT_NE(text.find("If this does not help, check your graphics card specifications.\nFor tech support, email "),
              std::string::npos);
    EXPECT_NE(text.find("(DEzovuv/OGL/OGL_extensions line 383)"), std::string::npos);
    // A 1.2 renderer without multitexturing is refused as well (a modern one passes: see the software renderers).
    EXPECT_EXIT(detect_in_child("1.2", "GL_EXT_texture_env_add"), testing::ExitedWithCode(1),
                "Your graphics hardware cannot support Veltrix");
}

TEST_F(detection, SoftwareRenderersAreWarnedAboutButRun)
{
    plat::set_gl_proc_lookup(found);
    glExt.detect("Vendor", "Some GDI Generic renderer", "2.1", "");
    ASSERT_EQ(alerts.alerts().size(), 1u) << "a marker in the middle of the string counts";
    EXPECT_EQ(test::summary(alerts.alerts()[0]),
              "I can not find a 3-D accelerator card that can handle OpenGL that has correctly installed drivers.|I "
              "will still let you run the simulator, but the frame rate will NOT allow for a good simulation.|Please "
              "install the drivers that came with your graphics card, or use a card that accelerates OpenGL.|A list "
              "of suitable cards is on our web site under Support.|1|DEzovuv/OGL/OGL_extensions:394");
    // clang-format off
    const std::pair<const char*, bool> renderers[] = {{"llvmpipe (LLVM 15.0.6, 256 bits)", false}, {"GENERIC", true},
        {"generic x", true}, {"Mesa GLX Indirect", true}, {"GENERIc", false}};
    // clang-format on
    for (const auto& [renderer, software] : renderers) {
        alerts.clear();
        glExt.detect("Mesa", renderer, "4.5 (Compatibility Profile) Mesa 22.3.6", "");
        EXPECT_EQ(alerts.alerts().size(), software ? 1u : 0u) << renderer;
    }
}

// In a process of its own, before any window: nothing has loaded OpenGL and there is no video
// subsystem to load it into, so the load fails with -1; with a window it succeeds. With vertex programs
// removed from the renderer, neither kind of program is flagged and no program entry point is looked up.
TEST(EntryPoints, LoadNeedsAWindowAndRemovedVertexProgramsAreNeitherFlaggedNorLookedUp)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const int without = glExt.init_entry_points();
            setenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_vertex_program", 1);
            test::gl_window window;
            if (!window.ok())
                std::exit(3);
            const int with = glExt.init_entry_points();
            int program_lookups = 0;
            plat::set_gl_proc_lookup([&program_lookups](const char* name) -> void* {
                const std::string n = name;
                program_lookups +=
                    n.find("Program") != std::string::npos || n.find("VertexAttrib") != std::string::npos;
                return found(name);
            });
            log_capture log;
            glExt.init_extensions();
            const bool programs = glExt.vshader_avail || glExt.fshader_avail || program_lookups;
            std::exit(without == -1 && with == 0 && !programs ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
