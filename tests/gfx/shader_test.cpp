// ARB programs from files the tests write, on Mesa's real compiler: what a bound program draws,
// the binding cache, reloads, the compile-error alert with the driver's position while the file is
// mended or removed, missing files, the remote reload command and renderers without programs.
#include "gfx/shader.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "core/stats.h"
#include "gfx/gfx_helpers.h"
#include "gfx/ogl_ext.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/gl_window.h"
#include "support/temp_folder.h"

using test::rgba;

namespace {

const char* const GREEN_FRAGMENT = "!!ARBfp1.0\nPARAM c = {0, 1, 0, 1};\nMOV result.color, c;\nEND\n";
const char* const BLUE_FRAGMENT = "!!ARBfp1.0\nPARAM c = {0, 0, 1, 1};\nMOV result.color, c;\nEND\n";
// Transforms as fixed function does, but colours every vertex red.
const char* const RED_VERTEX = "!!ARBvp1.0\nPARAM mvp[4] = { state.matrix.mvp };\n"
                               "DP4 result.position.x, mvp[0], vertex.position;\n"
                               "DP4 result.position.y, mvp[1], vertex.position;\n"
                               "DP4 result.position.z, mvp[2], vertex.position;\n"
                               "DP4 result.position.w, mvp[3], vertex.position;\n"
                               "PARAM c = {1, 0, 0, 1};\nMOV result.color, c;\nEND\n";
const char* const SYNTAX_ERROR = "!!ARBfp1.0\nMOV result.color, bogus;\nEND\n";

const rgba WHITE{255, 255, 255, 255}, RED{255, 0, 0, 255}, GREEN{0, 255, 0, 255}, BLUE{0, 0, 255, 255};

// Called with each message alert; a compile-error test mends or removes the file here.
std::function<void(const test::recorded_alert&)> on_message;

void record_and_react(int window, const std::string& l1, const std::string& l2, const std::string& l3,
                      const std::string& l4, int type, const char* file, int line)
{
    if (type == ALERT_MESSAGE && on_message)
        on_message({l1, l2, l3, l4, type, file ? file : "", line});
    test::alert_recorder::record(window, l1, l2, l3, l4, type, file, line);
}

class shaders : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
        ASSERT_TRUE(glExt.vshader_avail && glExt.fshader_avail);
        std::filesystem::create_directories(folder / "Resources/shaders");
        test::alert_recorder::clear();
        alert_set_handler(&record_and_react);
    }
    void TearDown() override
    {
        alert_set_handler(nullptr);
        on_message = nullptr;
        glExt.vshader_avail = glExt.fshader_avail = 1;
    }

    void write_program(const std::string& name, const std::string& text) const
    {
        test::write_file(folder / ("Resources/shaders/" + name), text);
    }

    // A white square drawn through whatever programs are bound; its centre's colour.
    static rgba drawn()
    {
        glColor3f(1, 1, 1);
        glBegin(GL_QUADS);
        glVertex2f(0, 0), glVertex2f(0, 8), glVertex2f(8, 8), glVertex2f(8, 0);
        glEnd();
        return pixel(4, 4);
    }

    test::working_folder folder;
};

GLint program_bound(GLenum target)
{
    GLint bound = -1;
    glExt.glGetProgramivARB(target, GL_PROGRAM_BINDING_ARB, &bound);
    return bound;
}

}  // namespace

TEST_F(shaders, BoundProgramsDrawAndUnbindingRestoresFixedFunction)
{
    write_program("green.txt", GREEN_FRAGMENT);
    write_program("red.txt", RED_VERTEX);
    OGL_shader fragment(SHADER_FRAGMENT, "green.txt");
    OGL_shader vertex(SHADER_VERTEX, "red.txt");
    EXPECT_EQ(fragment.path, "Resources:shaders:green.txt");
    EXPECT_EQ(drawn(), WHITE) << "compiling binds nothing for drawing";

    vertex.bind();
    EXPECT_EQ(drawn(), RED);
    fragment.bind();
    EXPECT_EQ(drawn(), GREEN);
    // Binding the bound program again sends nothing: a target switched off behind its back stays off.
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
    fragment.bind();
    EXPECT_EQ(drawn(), RED);
    glEnable(GL_FRAGMENT_PROGRAM_ARB);

    OGL_shader::unbind_shaders();
    EXPECT_EQ(drawn(), WHITE);
    EXPECT_EQ(OGL_shader::current_shader[SHADER_FRAGMENT], nullptr);
    EXPECT_EQ(program_bound(GL_FRAGMENT_PROGRAM_ARB), 0);
}

TEST_F(shaders, DestroyingABoundProgramUnbindsBothKinds)
{
    write_program("green.txt", GREEN_FRAGMENT);
    write_program("red.txt", RED_VERTEX);
    OGL_shader vertex(SHADER_VERTEX, "red.txt");
    vertex.bind();
    {
        OGL_shader fragment(SHADER_FRAGMENT, "green.txt");
        fragment.bind();
    }
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));
    EXPECT_EQ(OGL_shader::current_shader[SHADER_VERTEX], nullptr);
    EXPECT_EQ(OGL_shader::shaders.size(), 1u);
    EXPECT_EQ(drawn(), WHITE);
}

TEST_F(shaders, ReloadingKeepsTheKindsBindingAndTheRemoteCommandReloadsAll)
{
    write_program("first.txt", GREEN_FRAGMENT);
    write_program("second.txt", BLUE_FRAGMENT);
    OGL_shader first(SHADER_FRAGMENT, "first.txt");
    first.bind();
    OGL_shader second(SHADER_FRAGMENT, "second.txt");
    EXPECT_EQ(program_bound(GL_FRAGMENT_PROGRAM_ARB), static_cast<GLint>(first.id));
    EXPECT_EQ(drawn(), GREEN);

    write_program("first.txt", BLUE_FRAGMENT);
    UTL_remote_cmd* command = UTL_remote_cmd::cmd_list;
    while (command != nullptr && std::strcmp(command->name, "Reload Pixel Shaders...") != 0)
        command = command->next;
    ASSERT_NE(command, nullptr);
    UTL_remote_cmd::invoke(nullptr, command->id);
    EXPECT_EQ(drawn(), BLUE);
    EXPECT_EQ(program_bound(GL_FRAGMENT_PROGRAM_ARB), static_cast<GLint>(first.id));
    OGL_shader::unbind_shaders();
}

TEST_F(shaders, CompileErrorsShowTheDriversPositionUntilTheFileIsMendedOrGone)
{
    // What Mesa itself says of the faulty texts, asked directly.
    auto driver_says = [](const std::string& text, GLint* position, std::string* message) {
        GLuint program = 0;
        glExt.glGenProgramsARB(1, &program);
        glExt.glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, program);
        glExt.glProgramStringARB(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
                                 static_cast<GLsizei>(text.size()), text.data());
        while (glGetError() != GL_NO_ERROR) { }
        glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, position);
        *message = reinterpret_cast<const char*>(glGetString(GL_PROGRAM_ERROR_STRING_ARB));
        glExt.glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, 0);
        glExt.glDeleteProgramsARB(1, &program);
    };
    struct error_case {
        const char* text;
        bool mend;  // true: the author fixes the file while the alert is open; false: deletes it
    };
    const error_case cases[] = {{SYNTAX_ERROR, true}, {"", true}, {SYNTAX_ERROR, false}};
    for (const error_case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.mend ? " mended" : " removed"));
        GLint position = -1;
        std::string message;
        driver_says(c.text, &position, &message);
        ASSERT_NE(position, -1);
        char expected_position[32];
        std::snprintf(expected_position, sizeof(expected_position), "%d.000000", position);

        test::alert_recorder::clear();
        write_program("faulty.txt", c.text);
        int shown = 0;
        on_message = [&](const test::recorded_alert& alert) {
            ++shown;
            EXPECT_EQ(alert.l1, "There was an error with your fragment program");
            EXPECT_EQ(alert.l2, expected_position);
            EXPECT_EQ(alert.l4, message);
            EXPECT_EQ(alert.line, 89);
            if (shown == 1)  // the second pass still finds the fault
                return;
            if (c.mend)
                write_program("faulty.txt", GREEN_FRAGMENT);
            else
                std::filesystem::remove(folder / "Resources/shaders/faulty.txt");
        };
        if (c.mend) {
            OGL_shader shader(SHADER_FRAGMENT, "faulty.txt");
            shader.bind();
            EXPECT_EQ(drawn(), GREEN);
            OGL_shader::unbind_shaders();
        } else {
            const test::recorded_alert fatal =
                test::expect_fatal([] { OGL_shader shader(SHADER_FRAGMENT, "faulty.txt"); });
            EXPECT_EQ(fatal.l1, "Unable to load shader");
            EXPECT_EQ(fatal.l2, "Resources:shaders:faulty.txt");
            EXPECT_EQ(fatal.line, 75);
        }
        EXPECT_EQ(shown, 2);
        EXPECT_TRUE(OGL_shader::shaders.empty());
    }
}

TEST_F(shaders, MissingFilesAndMissingProgramsEndTheProgram)
{
    const test::recorded_alert missing = test::expect_fatal([] { OGL_shader shader(SHADER_VERTEX, "missing.txt"); });
    EXPECT_EQ(missing.l1, "Unable to load shader");
    EXPECT_EQ(missing.l2, "Resources:shaders:missing.txt");
    EXPECT_EQ(missing.l4, "You may need to reinstall Veltrix.");
    EXPECT_EQ(missing.file, "DEzovuv/OGL/OGL_shader");

    write_program("green.txt", GREEN_FRAGMENT);
    OGL_shader compiled(SHADER_FRAGMENT, "green.txt");
    struct unavailable_case {
        int vshader, fshader;
        std::function<void()> call;
    };
    const unavailable_case cases[] = {
        {0, 0, [] { OGL_shader shader(SHADER_VERTEX, "green.txt"); }},
        {1, 0, [] { OGL_shader shader(SHADER_FRAGMENT, "green.txt"); }},
        {0, 0, [&] { compiled.bind(); }},
    };
    for (const unavailable_case& c : cases) {
        glExt.vshader_avail = c.vshader;
        glExt.fshader_avail = c.fshader;
        const test::recorded_alert alert = test::expect_fatal(c.call);
        EXPECT_EQ(alert.l1, "ARB programs are not available on this renderer!");
    }
    EXPECT_EQ(OGL_shader::shaders.size(), 1u);
    EXPECT_EQ(OGL_shader::current_shader[SHADER_FRAGMENT], nullptr);
}
