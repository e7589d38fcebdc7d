// The render-state cache against the real context: which states OpenGL ends up in, and how many
// OpenGL calls each request costs, request after request from the first one, which reads its
// first values from the context.
#include "gfx/state.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "gfx/ogl_ext.h"
#include "support/gl_window.h"

namespace {

// What is enabled, the texture units texturing, and the active unit of the cache's count.
std::string states()
{
    std::string s;
    // clang-format off
    const std::pair<GLenum, const char*> caps[] = {{GL_FOG, "fog"}, {GL_LIGHTING, "lit"}, {GL_LIGHT0, "light0"},
        {GL_BLEND, "blend"}, {GL_ALPHA_TEST, "alpha"}, {GL_DEPTH_TEST, "depth"}};
    // clang-format on
    for (const auto& [cap, name] : caps)
        s += glIsEnabled(cap) ? std::string(name) + " " : "";
    GLboolean writes = GL_FALSE;
    GLint active = 0;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    s += writes ? "writes units " : "units ";
    for (int unit = 0; unit < 8; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        s += glIsEnabled(GL_TEXTURE_2D) ? std::to_string(unit) : "";
    }
    glActiveTexture(active);
    return s + " active " + std::to_string(active - GL_TEXTURE0) + " of " + std::to_string(num_units);
}

}  // namespace

TEST(RenderState, EachRequestReachesOpenGLOnlyWhereTheCacheDiffers)
{
    test::gl_window window;
    ASSERT_TRUE(window.ok()) << window.error();
    glEnable(GL_BLEND);  // before the first request: the cache learns it from the context
    struct request {
        int units_available, fog, units, lighting, blending, depth_test, depth_write;
        uint64_t calls;
        const char* states;
    };
    const request steps[] = {
        // Depth writes are on in the context but recorded as off: the first request for them calls.
        {8, fog_fals, 0, lit_fals, al_blend, deR_fals, deW_fals, 0, "blend writes units  active 0 of 1"},
        {8, fog_fals, 0, lit_fals, al_blend, deR_fals, deW_true, 1, "blend writes units  active 0 of 1"},
        {8, fog_fals, 0, lit_fals, al_blend, deR_fals, deW_fals, 1, "blend units  active 0 of 1"},
        // Each state follows its code, lighting with light 0; repeats cost nothing.
        {8, fog_true, 0, lit_true, al_both, deR_true, deW_true, 6,
         "fog lit light0 blend alpha depth writes units  active 0 of 1"},
        {8, fog_true, 0, lit_true, al_both, deR_true, deW_true, 0,
         "fog lit light0 blend alpha depth writes units  active 0 of 1"},
        {8, fog_fals, 0, lit_fals, al_test, deR_fals, deW_fals, 6, "alpha units  active 0 of 1"},
        // Blend codes compare against the blending and alpha-test states, not the last code.
        {8, fog_fals, 0, lit_fals, al_blend, deR_fals, deW_fals, 2, "blend units  active 0 of 1"},
        {8, fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals, 1, "units  active 0 of 1"},
        {8, fog_fals, 0, lit_fals, al_both, deR_fals, deW_fals, 2, "blend alpha units  active 0 of 1"},
        {8, fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals, 2, "units  active 0 of 1"},
        // 0 -> 1 and back only switch the active unit's texturing; more units are switched one by
        // one and unit 0 is active again at the end; of eight only units 0 to 5 are ever switched.
        {8, fog_fals, 1, lit_fals, al_none, deR_fals, deW_fals, 1, "units 0 active 0 of 1"},
        {8, fog_fals, 3, lit_fals, al_none, deR_fals, deW_fals, 6, "units 012 active 0 of 3"},
        {8, fog_fals, 1, lit_fals, al_none, deR_fals, deW_fals, 6, "units 0 active 0 of 1"},
        {8, fog_fals, 8, lit_fals, al_none, deR_fals, deW_fals, 12, "units 012345 active 0 of 8"},
        {8, fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals, 14, "units  active 0 of 0"},
        // Above the renderer's units a request clamps; asked again it differs from the clamped count
        // and repeats the enable and the final selection of unit 0, but enables nothing further.
        {2, fog_fals, 4, lit_fals, al_none, deR_fals, deW_fals, 6, "units 01 active 0 of 2"},
        {2, fog_fals, 4, lit_fals, al_none, deR_fals, deW_fals, 2, "units 01 active 0 of 2"},
    };
    for (const request& r : steps) {
        ren.max_tex_units = r.units_available;
        const uint64_t before = OGL_state_calls();
        OGL_setstate(r.fog, r.units, r.lighting, r.blending, r.depth_test, r.depth_write);
        EXPECT_EQ(OGL_state_calls() - before, r.calls) << "step " << &r - steps;
        EXPECT_EQ(states(), r.states) << "step " << &r - steps;
    }
}
