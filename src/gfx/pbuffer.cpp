#include "gfx/pbuffer.h"

#include <GL/gl.h>

#include "core/alert.h"
#include "gfx/ogl_ext.h"
#include "gfx/tman.h"

xpbuffer* XPBUFFER_cur = nullptr;

namespace {

constexpr const char* PBUFFER_SOURCE = "DEzovuv/Graph/hl_pbuffer";

void misuse(const char* text, int line)
{
    __MACIBM_alert(0, text, "", "", "", ALERT_FATAL, PBUFFER_SOURCE, line);
}

bool size_fits(int width, int height)
{
    GLint renderbuffer_limit = 0, texture_limit = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer_limit);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture_limit);
    const int limit = renderbuffer_limit < texture_limit ? renderbuffer_limit : texture_limit;
    return width > 0 && height > 0 && width <= limit && height <= limit;
}

// The texture manager caches what each unit holds; a bind it did not make leaves that unit's
// entry wrong, so the next bind_ref there could skip a bind it needs.
void forget_active_unit()
{
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    tman.forget_unit(active - GL_TEXTURE0);
}

}

bool xpbuffer_avail()
{
    return glExt.pbuffer_avail != 0;
}

xpbuffer* xpbuffer_create(int tex_id, int width, int height, int, bool depth)
{
    if (!glExt.pbuffer_avail)
        return nullptr;
    // A size past the renderer's limits would leave an incomplete object (or a GL error) behind.
    if (!size_fits(width, height))
        return nullptr;
    const GLuint texture = static_cast<GLuint>(tex_id);
    glBindTexture(GL_TEXTURE_2D, texture);
    forget_active_unit();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    unsigned framebuffer = 0, depth_buffer = 0;
    if (!plat::surface_create(texture, width, height, depth, &framebuffer, &depth_buffer))
        return nullptr;
    return new xpbuffer{tex_id, framebuffer, depth_buffer, {}, width, height};
}

void xpbuffer_draw_begin(xpbuffer* surface)
{
    if (XPBUFFER_cur == surface)
        misuse("xpbuffer_draw_begin called twice on the same pbuffer.", 140);
    if (XPBUFFER_cur != nullptr)
        misuse("xpbuffer_draw_begin called while darwing into another pbuffer.", 142);
    surface->saved_context = plat::surface_current();
    plat::surface_bind(surface->context, surface->width, surface->height);
    XPBUFFER_cur = surface;
}

void xpbuffer_draw_end(xpbuffer* surface)
{
    if (XPBUFFER_cur == nullptr)
        misuse("xpbuffer_draw_end while not drawing to a pbuffer.", 151);
    if (XPBUFFER_cur != surface)
        misuse("xpbuffer_draw_end called on the wrong pbuffer.", 153);
    plat::surface_restore(surface->saved_context);
    XPBUFFER_cur = nullptr;
}

void xpbuffer_bind(xpbuffer* surface)
{
    if (XPBUFFER_cur == surface)
        misuse("xpbuffer_bind called while drawing to this pbuffer.", 161);
    if (XPBUFFER_cur != nullptr)
        misuse("xpbuffer_bind called while drawing to a pbuffer.", 163);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(surface->tex_id));
    forget_active_unit();
}

void xpbuffer_destroy(xpbuffer* surface)
{
    if (XPBUFFER_cur == surface)
        misuse("Error: xpbuffer_destroy called without xpbuffer_draw_end called.", 128);
    if (plat::surface_is_bound(surface->context))
        misuse("Error: destroying a pbuffer, but we are still using it as our context.", 130);
    const GLuint texture = static_cast<GLuint>(surface->tex_id);
    glDeleteTextures(1, &texture);
    tman.forget_bound(surface->tex_id);
    plat::surface_destroy(surface->context, surface->pbuffer);
    delete surface;
}
