// The window and its OpenGL context. Each pixel-format list of the original is one attempt at a
// window plus context here, from the most multisampling the user asked for down to none.
#include "shell/context.h"

#include <cstdio>
#include <cstring>

#include <GL/gl.h>

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/tman.h"
#include "platform/events.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shell/startup.h"

namespace {

// The window sits this far below the top of a screen that has room for it.
constexpr int WINDOW_TOP = 40;
constexpr int WINDOWED_MARGIN = 40;

struct format_level {
    int level;    // recorded in mnw.alias_got
    int samples;  // multisamples of the attempt
};
// Tried in order while _alias_req exceeds level - 1; the last, without multisampling, always.
constexpr format_level FORMAT_LEVELS[] = {{4, 16}, {3, 8}, {2, 4}, {1, 2}, {0, 0}};

const char* const FORMAT_LABELS[plat::GL_FORMAT_VALUE_COUNT] = {
    "AGL_RGBA         :", "AGL_DOUBLEBUFFER :", "AGL_RED_SIZE     :", "AGL_GREEN_SIZE   :",
    "AGL_BLUE_SIZE    :", "AGL_ALPHA_SIZE   :", "AGL_DEPTH_SIZE   :",
};

// The system versions whose NVIDIA driver needed display-list preprocessing off, and the switch.
constexpr int32_t SYSTEM_10_3_FIRST = 0x1030;
constexpr int32_t SYSTEM_10_3_LAST = 0x103F;
constexpr int DISPLAY_LIST_OPTIMIZATION = 307;

void log_format()
{
    int values[plat::GL_FORMAT_VALUE_COUNT];
    plat::gl_format_values(values);
    for (int i = 0; i < plat::GL_FORMAT_VALUE_COUNT; i++)
        if (values[i] >= 0)
            xer << FORMAT_LABELS[i] << values[i] << "\n";
    xer.flush();
}

void old_driver_workaround()
{
    using disable_fn = int (*)(void*, int);
    using current_fn = void* (*)();
    auto disable = reinterpret_cast<disable_fn>(aglGetProcAddress("CGLDisable"));
    auto current = reinterpret_cast<current_fn>(aglGetProcAddress("CGLGetCurrentContext"));
    int32_t version = 0;
    if (!plat::system_version(&version) || version < SYSTEM_10_3_FIRST || version > SYSTEM_10_3_LAST)
        return;
    const char* vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
    if (!vendor || !std::strstr(vendor, "NVIDIA"))
        return;
    xer << "Display list preprocessing disabled.\n";
    if (disable && current)
        disable(current(), DISPLAY_LIST_OPTIMIZATION);
    xer.flush();
}

void set_default_state()
{
    const GLfloat ambient[4] = {0, 0, 0, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glAlphaFunc(GL_GREATER, 0.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_LEQUAL);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glHint(GL_FOG_HINT, GL_FASTEST);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DITHER);
    glDisable(GL_INDEX_LOGIC_OP);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_NORMALIZE);
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    if (mnw.alias_got > 0)
        glEnable(GL_MULTISAMPLE);
    else
        glDisable(GL_MULTISAMPLE);
    glDepthMask(GL_FALSE);
}

}

void APL_HandleWheel(int steps)
{
    mnw.wheel += steps;
}

void check_entry_points(int32_t result)
{
    if (result == 0)
        return;
    char text[64];
    std::snprintf(text, sizeof text, "Error=%f", static_cast<double>(static_cast<float>(result)));
    stl_global = text;
    __MACIBM_alert(0, "Could not open OpenGL framework", "", stl_global, "", ALERT_FATAL, "hl_init", 465);
}

int MACIBM_make_context(int which)
{
    if (which != 0 && which != 1)
        return 0;
    int left = which == 1 ? mnw.x_res : 0;
    bool windowed = g_mon_x_res_now > mnw.x_res + WINDOWED_MARGIN && g_mon_y_res_now > mnw.y_res + WINDOWED_MARGIN;
    if (which == 1)
        OGL_setstate(1, 0, 3, 4, 9, 11);

    plat::set_wheel_handler(APL_HandleWheel);

    bool made = false;
    for (const format_level& f : FORMAT_LEVELS) {
        if (f.level > 0 && mnw._alias_req <= f.level - 1)
            continue;
        mnw.alias_got = f.level;
        made = plat::create_gl_window("Main", left, WINDOW_TOP, mnw.x_res, mnw.y_res, windowed, f.samples,
                                      which == 1 ? plat::CONTEXT_SHARED : plat::CONTEXT_OWN, &mnw.window[which],
                                      &mnw.context[which]);
        if (made)
            break;
    }
    if (!made)
        return 0;
    log_format();

    check_entry_points(glExt.init_entry_points());

    old_driver_workaround();
    // A created context counts as accelerated: the software renderer used in tests must pass.
    set_default_state();
    if (which == 1)
        tman.reset_bind();
    return 1;
}

void MACIBM_nuke_context(int which)
{
    if (which != 0 && which != 1)
        return;
    plat::destroy_gl_window(&mnw.window[which], &mnw.context[which]);
}
