// The render-state cache. Each state is read from OpenGL once, on the first call, which the
// shell makes after the context exists; from then on the cached copies are trusted.
#include "gfx/state.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "gfx/ogl_ext.h"

int num_units = 1;

namespace {

uint64_t state_calls = 0;
uint64_t state_requests = 0;

void enable(GLenum cap, bool on)
{
    ++state_calls;
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

void select_unit(int unit)
{
    ++state_calls;
    glActiveTexture(GL_TEXTURE0 + unit);
}

}  // namespace

uint64_t OGL_state_calls()
{
    return state_calls;
}

uint64_t OGL_state_requests()
{
    return state_requests;
}

void OGL_setstate(int fog, int units, int lighting, int blending, int depth_test, int depth_write)
{
    // Each copy is read from the context on first use. Depth writes are recorded as off without
    // asking: the first request for them on always reaches OpenGL.
    static int o_fog = glIsEnabled(GL_FOG) ? fog_true : fog_fals;
    static int o_tex = glIsEnabled(GL_TEXTURE_2D) ? num_units : 0;
    static int o_lit = glIsEnabled(GL_LIGHTING) ? lit_true : lit_fals;
    static int o_alB = glIsEnabled(GL_BLEND) ? 1 : 0;
    static int o_alT = glIsEnabled(GL_ALPHA_TEST) ? 1 : 0;
    static int o_deR = glIsEnabled(GL_DEPTH_TEST) ? deR_true : deR_fals;
    static int o_deW = deW_fals;
    ++state_requests;

    if (fog != o_fog)
        enable(GL_FOG, fog == fog_true);

    int new_tex = units;
    if (units != o_tex) {
        const int old = o_tex;
        enable(GL_TEXTURE_2D, units > 0);
        int n = units < 0 ? 0 : units;
        if (n > ren.max_tex_units)
            n = ren.max_tex_units;
        num_units = n;
        new_tex = n;
        if (n > 1 || old > 1) {
            for (int u = 0; u < OGL_STATE_UNIT_LIMIT; ++u) {
                const bool wanted = u < n;
                const bool already = u < old;
                if (!wanted && !already)
                    break;
                if (wanted && !already) {
                    select_unit(u);
                    enable(GL_TEXTURE_2D, true);
                }
            }
            for (int u = n; u < old && u < OGL_STATE_UNIT_LIMIT; ++u) {
                select_unit(u);
                enable(GL_TEXTURE_2D, false);
            }
            select_unit(0);
        }
    }

    if (lighting != o_lit) {
        enable(GL_LIGHTING, lighting == lit_true);
        enable(GL_LIGHT0, lighting == lit_true);
    }

    const bool known_blend = blending >= al_none && blending <= al_both;
    const int want_blend = (blending == al_blend || blending == al_both) ? 1 : 0;
    const int want_test = (blending == al_test || blending == al_both) ? 1 : 0;
    if (known_blend) {
        if (want_blend != o_alB)
            enable(GL_BLEND, want_blend);
        if (want_test != o_alT)
            enable(GL_ALPHA_TEST, want_test);
    }

    if (depth_test != o_deR)
        enable(GL_DEPTH_TEST, depth_test == deR_true);
    if (depth_write != o_deW) {
        ++state_calls;
        glDepthMask(depth_write == deW_true ? GL_TRUE : GL_FALSE);
    }

    o_fog = fog;
    o_tex = new_tex;
    o_lit = lighting;
    o_alB = want_blend;
    o_alT = want_test;
    o_deR = depth_test;
    o_deW = depth_write;
}
