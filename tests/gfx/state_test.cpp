// The render-state cache against the real context: which states OpenGL ends up in, and how many
// OpenGL calls each request costs. The first test must run first: it sees the cache read its first
// values from the context.
#include "gfx/state.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gfx/ogl_ext.h"
#include "support/gl_window.h"

namespace {

bool unit_enabled(int unit)
{
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(GL_TEXTURE0 + unit);
    const bool on = glIsEnabled(GL_TEXTURE_2D);
    glActiveTexture(active);
    return on;
}

int active_unit()
{
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    return active - GL_TEXTURE0;
}

GLboolean depth_writes()
{
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    return mask;
}

// The window is made once and never reset between these tests: the cache must see exactly
// the state it left behind.
class render_state : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        window = new test::gl_window();
        GLint units = 0;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
        ren.max_tex_units = units;
    }
    static void TearDownTestSuite()
    {
        delete window;
        window = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(window->ok()) << window->error(); }

    // Calls OGL_setstate and answers how many OpenGL calls it made.
    static uint64_t calls_of(int fog, int units, int lighting, int blending, int depth_test, int depth_write)
    {
        const uint64_t before = OGL_state_calls();
        OGL_setstate(fog, units, lighting, blending, depth_test, depth_write);
        return OGL_state_calls() - before;
    }

    static test::gl_window* window;
};

test::gl_window* render_state::window = nullptr;

}  // namespace

TEST_F(render_state, FirstCallReadsTheContextButRecordsDepthWritesAsOff)
{
    // Blending already on in the context: the cache learns that and asks for nothing.
    glEnable(GL_BLEND);
    ASSERT_EQ(depth_writes(), GL_TRUE);
    EXPECT_EQ(calls_of(fog_fals, 0, lit_fals, al_blend, deR_fals, deW_fals), 0u);
    EXPECT_EQ(depth_writes(), GL_TRUE) << "off by record, so no glDepthMask call";
    EXPECT_TRUE(glIsEnabled(GL_BLEND));

    // The first request for writes on reaches OpenGL even though they were on all along.
    EXPECT_EQ(calls_of(fog_fals, 0, lit_fals, al_blend, deR_fals, deW_true), 1u);
    EXPECT_EQ(calls_of(fog_fals, 0, lit_fals, al_blend, deR_fals, deW_fals), 1u);
    EXPECT_EQ(depth_writes(), GL_FALSE);
}

TEST_F(render_state, EachStateFollowsItsCodeAndRepeatsCostNothing)
{
    OGL_setstate(fog_true, 0, lit_true, al_both, deR_true, deW_true);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(depth_writes(), GL_TRUE);
    EXPECT_EQ(calls_of(fog_true, 0, lit_true, al_both, deR_true, deW_true), 0u);

    OGL_setstate(fog_fals, 0, lit_fals, al_test, deR_fals, deW_fals);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(depth_writes(), GL_FALSE);

    // Blend codes compare against the blending and alpha-test states, not the last code.
    EXPECT_EQ(calls_of(fog_fals, 0, lit_fals, al_blend, deR_fals, deW_fals), 2u);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(calls_of(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals), 1u);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(render_state, UnknownBlendCodeTouchesNothingYetRecordsBothOff)
{
    OGL_setstate(fog_fals, 0, lit_fals, al_both, deR_fals, deW_fals);
    ASSERT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(calls_of(fog_fals, 0, lit_fals, 12, deR_fals, deW_fals), 0u);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    // Recorded as off, so a request for "none" believes there is nothing to do.
    EXPECT_EQ(calls_of(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals), 0u);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "the cache is stale by design after an unknown code";
    OGL_setstate(fog_fals, 0, lit_fals, al_both, deR_fals, deW_fals);
    OGL_setstate(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(render_state, TextureUnitsSwitchUpAndDownAndEndOnUnitZero)
{
    ASSERT_GE(ren.max_tex_units, 8) << "llvmpipe offers 8 fixed-function units";
    OGL_setstate(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals);

    // 0 -> 1 and back only switch the active unit's texturing, without selecting a unit.
    EXPECT_EQ(calls_of(fog_fals, 1, lit_fals, al_none, deR_fals, deW_fals), 1u);
    EXPECT_TRUE(unit_enabled(0));
    EXPECT_EQ(num_units, 1);

    OGL_setstate(fog_fals, 3, lit_fals, al_none, deR_fals, deW_fals);
    EXPECT_TRUE(unit_enabled(0));
    EXPECT_TRUE(unit_enabled(1));
    EXPECT_TRUE(unit_enabled(2));
    EXPECT_FALSE(unit_enabled(3));
    EXPECT_EQ(active_unit(), 0);
    EXPECT_EQ(num_units, 3);

    OGL_setstate(fog_fals, 1, lit_fals, al_none, deR_fals, deW_fals);
    EXPECT_TRUE(unit_enabled(0));
    EXPECT_FALSE(unit_enabled(1));
    EXPECT_FALSE(unit_enabled(2));
    EXPECT_EQ(active_unit(), 0);

    // Eight units asked for: only units 0 to 5 are ever switched.
    OGL_setstate(fog_fals, 8, lit_fals, al_none, deR_fals, deW_fals);
    for (int u = 0; u < 6; ++u)
        EXPECT_TRUE(unit_enabled(u)) << "unit " << u;
    EXPECT_FALSE(unit_enabled(6));
    EXPECT_FALSE(unit_enabled(7));
    EXPECT_EQ(num_units, 8);

    OGL_setstate(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals);
    for (int u = 0; u < 8; ++u)
        EXPECT_FALSE(unit_enabled(u)) << "unit " << u;
    EXPECT_EQ(num_units, 0);
}

TEST_F(render_state, RequestsAboveTheRendererUnitCountClampAndRepeatTheClamp)
{
    const int real_units = ren.max_tex_units;
    ren.max_tex_units = 2;
    OGL_setstate(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals);
    OGL_setstate(fog_fals, 4, lit_fals, al_none, deR_fals, deW_fals);
    EXPECT_EQ(num_units, 2);
    EXPECT_TRUE(unit_enabled(1));
    EXPECT_FALSE(unit_enabled(2));
    // The cache holds 2, so asking for 4 again differs and repeats the enable and the final
    // selection of unit 0, but enables nothing further.
    EXPECT_EQ(calls_of(fog_fals, 4, lit_fals, al_none, deR_fals, deW_fals), 2u);
    EXPECT_FALSE(unit_enabled(2));

    // Before detection the count is 0 and every request clamps to no unit.
    ren.max_tex_units = 0;
    OGL_setstate(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals);
    OGL_setstate(fog_fals, 1, lit_fals, al_none, deR_fals, deW_fals);
    EXPECT_EQ(num_units, 0);
    ren.max_tex_units = real_units;
    OGL_setstate(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals);
}
