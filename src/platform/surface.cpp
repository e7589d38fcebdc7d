#include "platform/surface.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "platform/gl.h"

namespace plat {

namespace {

// The framebuffer-object entry points, looked up by name the first time a surface is made.
struct framebuffer_procs {
    PFNGLGENFRAMEBUFFERSPROC gen_framebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC delete_framebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bind_framebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebuffer_texture = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC check_status = nullptr;
    PFNGLGENRENDERBUFFERSPROC gen_renderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC delete_renderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bind_renderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbuffer_storage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebuffer_renderbuffer = nullptr;

    bool complete() const
    {
        return gen_framebuffers && delete_framebuffers && bind_framebuffer && framebuffer_texture && check_status &&
            gen_renderbuffers && delete_renderbuffers && bind_renderbuffer && renderbuffer_storage &&
            framebuffer_renderbuffer;
    }
};

template <typename T> void look_up(T* slot, const char* name)
{
    *slot = reinterpret_cast<T>(gl_proc(name));
}

// Null when the renderer lacks them. The extension string is the only honest witness: a lookup
// answers a stub for any "gl" name, so the entry points alone prove nothing.
const framebuffer_procs* procs()
{
    static framebuffer_procs table;
    static bool looked = false;
    if (!looked) {
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        if (extensions == nullptr)
            return nullptr;  // no context yet: ask again later
        looked = true;
        if (std::strstr(extensions, "GL_ARB_framebuffer_object") != nullptr) {
            look_up(&table.gen_framebuffers, "glGenFramebuffers");
            look_up(&table.delete_framebuffers, "glDeleteFramebuffers");
            look_up(&table.bind_framebuffer, "glBindFramebuffer");
            look_up(&table.framebuffer_texture, "glFramebufferTexture2D");
            look_up(&table.check_status, "glCheckFramebufferStatus");
            look_up(&table.gen_renderbuffers, "glGenRenderbuffers");
            look_up(&table.delete_renderbuffers, "glDeleteRenderbuffers");
            look_up(&table.bind_renderbuffer, "glBindRenderbuffer");
            look_up(&table.renderbuffer_storage, "glRenderbufferStorage");
            look_up(&table.framebuffer_renderbuffer, "glFramebufferRenderbuffer");
        }
    }
    return table.complete() ? &table : nullptr;
}

}

surface_binding surface_current()
{
    surface_binding binding;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &binding.draw_framebuffer);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &binding.read_framebuffer);
    glGetIntegerv(GL_VIEWPORT, binding.viewport);
    return binding;
}

bool surface_create(unsigned texture, int width, int height, bool depth, unsigned* framebuffer, unsigned* depth_buffer)
{
    const framebuffer_procs* gl = procs();
    if (gl == nullptr)
        return false;
    const surface_binding before = surface_current();
    GLuint fbo = 0, rbo = 0;
    gl->gen_framebuffers(1, &fbo);
    gl->bind_framebuffer(GL_FRAMEBUFFER, fbo);
    gl->framebuffer_texture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    if (depth) {
        // 24 bits: every renderer offers it, 32 is not guaranteed.
        gl->gen_renderbuffers(1, &rbo);
        gl->bind_renderbuffer(GL_RENDERBUFFER, rbo);
        gl->renderbuffer_storage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        gl->bind_renderbuffer(GL_RENDERBUFFER, 0);
        gl->framebuffer_renderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rbo);
    }
    const bool complete = gl->check_status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    surface_restore(before);
    if (!complete) {
        surface_destroy(fbo, rbo);
        return false;
    }
    *framebuffer = fbo;
    *depth_buffer = rbo;
    return true;
}

void surface_bind(unsigned framebuffer, int width, int height)
{
    const framebuffer_procs* gl = procs();
    if (gl == nullptr)
        return;
    gl->bind_framebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
}

void surface_restore(const surface_binding& binding)
{
    const framebuffer_procs* gl = procs();
    if (gl != nullptr) {
        gl->bind_framebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(binding.draw_framebuffer));
        gl->bind_framebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(binding.read_framebuffer));
    }
    glViewport(binding.viewport[0], binding.viewport[1], binding.viewport[2], binding.viewport[3]);
}

bool surface_is_bound(unsigned framebuffer)
{
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    return framebuffer != 0 && static_cast<unsigned>(bound) == framebuffer;
}

void surface_destroy(unsigned framebuffer, unsigned depth_buffer)
{
    const framebuffer_procs* gl = procs();
    if (gl == nullptr)
        return;
    if (framebuffer != 0)
        gl->delete_framebuffers(1, &framebuffer);
    if (depth_buffer != 0)
        gl->delete_renderbuffers(1, &depth_buffer);
}

}
