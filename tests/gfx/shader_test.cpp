// ARB programs from files the tests write, on Mesa's real compiler: what bound programs draw, the
// binding cache, reloads, the compile-error alert with the driver's position while the file is
// mended or removed, missing files and renderers without programs.
#include "gfx/shader.h"

#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "core/stats.h"
#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

using test::rgba;

namespace {

std::string fragment(const char* colour)
{
    return std::string("!!ARBfp1.0\nPARAM c = {") + colour + "};\nMOV result.color, c;\nEND\n";
}
// Transforms as fixed function does, but colours every vertex red.
const char* const RED_VERTEX = "!!ARBvp1.0\nPARAM m[4] = { state.matrix.mvp };\nDP4 result.position.x, m[0], "
                               "vertex.position;\nDP4 result.position.y, m[1], vertex.position;\nDP4 "
                               "result.position.z, m[2], vertex.position;\nDP4 result.position.w, m[3], "
                               "vertex.position;\nPARAM c = {1, 0, 0, 1};\nMOV result.color, c;\nEND\n";
using gfx_test::WHITE, gfx_test::RED, gfx_test::GREEN, gfx_test::BLUE;

// Called with each message alert: a compile-error test mends or removes the file there.
std::function<void(const test::recorded_alert&)> on_message;

class shaders : public gfx_test::screen_test {
protected:
    void SetUp() override
    {
        screen_test::SetUp();
        std::filesystem::create_directories(folder / "Resources/shaders");
        test::alert_recorder::clear();
        test::set_core_hook(&core_hooks::alert,
                            [](int w, const std::string& l1, const std::string& l2, const std::string& l3,
                               const std::string& l4, int type, const char* file, int line) {
                                // A compile error repeats until the file is mended: this many means
                                // nothing will, and the test ends now rather than at the time limit.
                                if (test::alert_recorder::alerts().size() >= 10)
                                    throw std::runtime_error("alerts repeat with nothing to end them: " + l1);
                                if (type == ALERT_MESSAGE && on_message)
                                    on_message({l1, l2, l3, l4, type, file, line});
                                test::alert_recorder::record(w, l1, l2, l3, l4, type, file, line);
                            });
    }
    void TearDown() override
    {
        test::set_core_hook(&core_hooks::alert, nullptr);
        glExt.vshader_avail = glExt.fshader_avail = 1;
    }
    void write(const std::string& name, const std::string& text) const
    {
        test::write_file(folder / ("Resources/shaders/" + name), text);
    }
    static rgba drawn()  // a white square drawn through the bound programs
    {
        glColor3f(1, 1, 1);
        glRectf(0, 0, 8, 8);
        return pixel(4, 4);
    }
    test::working_folder folder;
};

}  // namespace

TEST_F(shaders, BoundProgramsDrawReloadAndUnbindCompletely)
{
    write("green.txt", fragment("0, 1, 0, 1"));
    write("blue.txt", fragment("0, 0, 1, 1"));
    write("red.txt", RED_VERTEX);
    OGL_shader vertex(SHADER_VERTEX, "red.txt");
    {
        OGL_shader green(SHADER_FRAGMENT, "green.txt");
        EXPECT_EQ(drawn(), WHITE) << "compiling binds nothing for drawing";
        vertex.bind();
        EXPECT_EQ(drawn(), RED);
        green.bind();
        OGL_shader blue(SHADER_FRAGMENT, "blue.txt");  // compiling another keeps the binding
        EXPECT_EQ(drawn(), GREEN);
        glDisable(GL_FRAGMENT_PROGRAM_ARB);  // behind its back: binding again must send nothing
        green.bind();
        EXPECT_EQ(drawn(), RED);
        glEnable(GL_FRAGMENT_PROGRAM_ARB);
        write("green.txt", fragment("0, 0, 1, 1"));
        UTL_remote_cmd* command = UTL_remote_cmd::cmd_list;
        while (command != nullptr && std::strcmp(command->name, "Reload Pixel Shaders...") != 0)
            command = command->next;
        ASSERT_NE(command, nullptr);
        UTL_remote_cmd::invoke(nullptr, command->id);
        GLint bound = -1;
        glExt.glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_BINDING_ARB, &bound);
        EXPECT_EQ(std::tuple(drawn(), bound), std::tuple(BLUE, static_cast<GLint>(green.id)));
    }  // destroying the bound fragment program unbinds the vertex program too
    EXPECT_EQ(std::tuple(drawn(), OGL_shader::shaders.size()), std::tuple(WHITE, 1u));
}

TEST_F(shaders, CompileErrorsShowTheDriversPositionUntilTheFileIsMendedOrGone)
{
    const std::string syntax_error = "!!ARBfp1.0\nMOV result.color, bogus;\nEND\n";
    for (const auto& [text, mend] : {std::pair{syntax_error, true}, {"", true}, {syntax_error, false}}) {
        GLuint probe = 0;  // what Mesa itself says of the text, asked directly
        glExt.glGenProgramsARB(1, &probe);
        glExt.glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, probe);
        glExt.glProgramStringARB(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB, text.size(), text.data());
        GLint position = -1;
        glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
        const std::string said = std::to_string(position) + ".000000||" +
            reinterpret_cast<const char*>(glGetString(GL_PROGRAM_ERROR_STRING_ARB));
        glExt.glDeleteProgramsARB(1, &probe);
        ASSERT_NE(position, -1) << text;
        write("faulty.txt", text);
        int shown = 0;
        on_message = [&, mend = mend](const test::recorded_alert& alert) {
            EXPECT_EQ(alert.l1 + "|" + alert.l2 + "|" + alert.l3 + "|" + alert.l4 + "|" + std::to_string(alert.line),
                      "There was an error with your fragment program|" + said + "|89");
            if (++shown < 2)  // the second pass still finds the fault
                return;
            if (mend)
                write("faulty.txt", fragment("0, 1, 0, 1"));
            else
                std::filesystem::remove(folder / "Resources/shaders/faulty.txt");
        };
        if (mend) {
            OGL_shader shader(SHADER_FRAGMENT, "faulty.txt");
            shader.bind();
            EXPECT_EQ(drawn(), GREEN);
            OGL_shader::unbind_shaders();
        } else {
            const test::recorded_alert gone =
                test::expect_fatal([] { OGL_shader shader(SHADER_FRAGMENT, "faulty.txt"); });
            EXPECT_EQ(test::summary(gone),
                      "Unable to load shader|Resources:shaders:faulty.txt||You may need to "
                      "reinstall Veltrix.|2|DEzovuv/OGL/OGL_shader:75");
        }
        EXPECT_EQ(shown, 2);
        on_message = nullptr;
    }
    EXPECT_TRUE(OGL_shader::shaders.empty());
}

// A missing file is refused as a file removed while its compile error shows (above).
TEST_F(shaders, MissingProgramsEndTheProgram)
{
    write("green.txt", fragment("0, 1, 0, 1"));
    OGL_shader compiled(SHADER_FRAGMENT, "green.txt");
    const std::tuple<int, int, std::function<void()>> cases[] = {
        {0, 0, [] { OGL_shader shader(SHADER_VERTEX, "green.txt"); }},
        {1, 0, [] { OGL_shader shader(SHADER_FRAGMENT, "green.txt"); }},
        {0, 0, [&] { compiled.bind(); }},
    };
    for (const auto& [vertex_programs, fragment_programs, call] : cases) {
        glExt.vshader_avail = vertex_programs, glExt.fshader_avail = fragment_programs;
        EXPECT_EQ(test::expect_fatal(call).l1, "ARB programs are not available on this renderer!");
    }
    EXPECT_EQ(OGL_shader::current_shader[SHADER_FRAGMENT], nullptr);
}
