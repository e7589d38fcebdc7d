#include "gfx/shader.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>

#include "core/alert.h"
#include "core/globals.h"
#include "core/stats.h"
#include "core/xmap.h"
#include "gfx/ogl_ext.h"

OGL_shader* OGL_shader::current_shader[2] = {nullptr, nullptr};
std::set<OGL_shader*> OGL_shader::shaders;

namespace {

constexpr const char* SHADER_SOURCE = "DEzovuv/OGL/OGL_shader";
constexpr int UNABLE_TO_LOAD_LINE = 75;
constexpr int COMPILE_ERROR_LINE = 89;
constexpr int NOT_AVAILABLE_LINE = 31;
constexpr GLenum shader_types[2] = {GL_FRAGMENT_PROGRAM_ARB, GL_VERTEX_PROGRAM_ARB};
// OpenGL keeps at most one pending flag per kind of error; this bounds clearing them on any driver.
constexpr int PENDING_ERROR_LIMIT = 16;

UTL_remote_cmd cmd_do_pick_tex("Reload Pixel Shaders...", OGL_shader::reload_all_shaders);

[[noreturn]] void unable_to_load(const std::string& path)
{
    __MACIBM_alert(0, "Unable to load shader", path, "", "You may need to reinstall Veltrix.", ALERT_FATAL,
                   SHADER_SOURCE, UNABLE_TO_LOAD_LINE);
    std::abort();  // a fatal alert does not return
}

// Without the extensions the program entry points are null; a fragment program also needs its target,
// which a renderer without it refuses with no error position, so the compile loop could never end.
void require_programs(int type)
{
    if (glExt.vshader_avail && (type != SHADER_FRAGMENT || glExt.fshader_avail))
        return;
    __MACIBM_alert(0, "ARB programs are not available on this renderer!",
                   type == SHADER_FRAGMENT ? "fragment program" : "vertex program", "", "", ALERT_FATAL, SHADER_SOURCE,
                   NOT_AVAILABLE_LINE);
}

void clear_pending_errors()
{
    for (int i = 0; i < PENDING_ERROR_LIMIT && glGetError() != GL_NO_ERROR; ++i) { }
}

}

OGL_shader::OGL_shader(int kind, const char* name) : id(0), type(kind), path(std::string("Resources:shaders:") + name)
{
    require_programs(type);
    glExt.glGenProgramsARB(1, &id);
    reload();
    // Registered once compiled, so the set never holds an instance whose compile ended the program.
    shaders.insert(this);
}

OGL_shader::~OGL_shader()
{
    if (current_shader[type] == this)
        unbind_shaders();
    glExt.glDeleteProgramsARB(1, &id);
    shaders.erase(this);
}

void OGL_shader::reload()
{
    const GLenum target = shader_types[type];
    glExt.glBindProgramARB(target, id);
    xmap_class file(path);
    if (file.base == nullptr)
        unable_to_load(path);
    // The author may fix the file while the alert is open: each pass maps it again. Only a driver
    // error with a position is worth another pass; anything else would repeat for ever.
    int errors_without_position = 0;
    for (;;) {
        clear_pending_errors();
        glExt.glProgramStringARB(target, GL_PROGRAM_FORMAT_ASCII_ARB, static_cast<GLsizei>(file.end - file.base),
                                 file.base);
        if (glGetError() == GL_NO_ERROR)
            break;
        GLint position = -1;
        glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
        if (position != -1) {
            errors_without_position = 0;
            char where[32];
            std::snprintf(where, sizeof(where), "%f", static_cast<double>(position));
            const char* text = reinterpret_cast<const char*>(glGetString(GL_PROGRAM_ERROR_STRING_ARB));
            __MACIBM_alert(0, "There was an error with your fragment program", where, "", text ? text : "",
                           ALERT_MESSAGE, SHADER_SOURCE, COMPILE_ERROR_LINE);
        } else if (++errors_without_position == 2) {
            unable_to_load(path);
        }
        if (file.retry(path) == nullptr)
            unable_to_load(path);
    }
    GLint native = 1;
    glExt.glGetProgramivARB(target, GL_PROGRAM_UNDER_NATIVE_LIMITS_ARB, &native);
    if (native == 0)
        xer << "Warning: pixel shader " << path << " not under native limits.\n";
    glExt.glBindProgramARB(target, current_shader[type] ? current_shader[type]->id : 0);
}

void OGL_shader::bind()
{
    require_programs(type);
    if (current_shader[type] == this)
        return;
    const GLenum target = shader_types[type];
    glEnable(target);
    glExt.glBindProgramARB(target, id);
    current_shader[type] = this;
}

void OGL_shader::unbind_shaders()
{
    for (int kind : {SHADER_FRAGMENT, SHADER_VERTEX}) {
        if (current_shader[kind] == nullptr)
            continue;
        glDisable(shader_types[kind]);
        glExt.glBindProgramARB(shader_types[kind], 0);
        current_shader[kind] = nullptr;
    }
}

void OGL_shader::reload_all_shaders()
{
    for (OGL_shader* shader : shaders)
        shader->reload();
}
