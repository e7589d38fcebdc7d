// shader: one ARB assembly program (fragment or vertex) read from a file under "Resources:shaders:".
// Every live instance is registered, so the remote command "Reload Pixel Shaders..." recompiles them
// all from disk while the program runs; per kind the class remembers the bound instance, which makes
// binding it again free and unbinding complete. Main thread only, with the window's context current.
// Invariant: current_shader[kind] is bound and its target enabled, or null with the target disabled.
#pragma once

#include <cstdint>
#include <set>
#include <string>

constexpr int SHADER_FRAGMENT = 0;
constexpr int SHADER_VERTEX = 1;

class OGL_shader {
public:
    // Compiles at once; a missing file is a fatal alert, a compile error a message shown until the file
    // compiles. Needs the renderer's ARB programs of that kind (else a misuse alert).
    OGL_shader(int type, const char* name);
    ~OGL_shader();
    OGL_shader(const OGL_shader&) = delete;
    OGL_shader& operator=(const OGL_shader&) = delete;

    void reload();
    void bind();
    static void unbind_shaders();
    static void reload_all_shaders();

    uint32_t id;
    int32_t type;
    std::string path;

    static OGL_shader* current_shader[2];
    static std::set<OGL_shader*> shaders;
};
