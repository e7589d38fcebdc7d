#include "widgets/widget_fixture.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstring>
#include <ostream>

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/tman.h"
#include "gfx/viewport.h"
#include "installer/art.h"
#include "platform/events.h"
#include "shell/event_proc.h"
#include "widgets/hooks.h"
#include "widgets/menus.h"

namespace widget_test {

std::vector<int> picked_menu_codes;

namespace {

constexpr int ATLAS_SIDE = 512;

// The tables a program's main sets, with the widgets' drawing and this fixture's application.
void set_hooks()
{
    gfx_hooks gfx;
    widgets_fill_gfx_hooks(gfx);
    gfx_set_hooks(gfx);
    shell_hooks shell;
    widgets_fill_shell_hooks(shell);
    shell.app.handlemenu = [](int code) { picked_menu_codes.push_back(code); };
    shell_set_hooks(shell);
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const texel& t)
{
    return out << "texel(" << t.s << ", " << t.t << ")";
}

void load_coordinate_atlas()
{
    scratch_array_align();
    for (int t = 0; t < ATLAS_SIDE; ++t)
        for (int s = 0; s < ATLAS_SIDE; ++s) {
            unsigned char* p = scratch_array + (static_cast<size_t>(t) * ATLAS_SIDE + s) * 4;
            p[0] = static_cast<unsigned char>(s & 0xFF);
            p[1] = static_cast<unsigned char>(t & 0xFF);
            p[2] = static_cast<unsigned char>(0x80 + (s >> 8) + 2 * (t >> 8));
            p[3] = 255;
        }
    scratch_dx = scratch_dy = ATLAS_SIDE;
    (void)tman.load_texture(tex_fail_fatal, 363, 2, tex_load_now, "scratch_array:hard-wired textures");
}

void load_real_art()
{
    scratch_array_align();
    recall_ins_texes();
}

texel widget_gl_test::texel_at(int x, int y)
{
    test::rgba c = pixel(x, y);
    if ((c.b & 0x80) == 0)
        return {};
    return {c.r + 256 * (c.b & 1), c.g + 256 * ((c.b >> 1) & 1)};
}

void widget_gl_test::expect_texels(const std::vector<texel_probe>& probes, const std::string& what)
{
    for (const texel_probe& p : probes) {
        const texel got = texel_at(p.x, p.y);
        const bool matches = p.shows != texel{}
            ? got.drawn() && (p.shows.s == ANY || p.shows.s == got.s) && (p.shows.t == ANY || p.shows.t == got.t)
            : !got.drawn();
        EXPECT_TRUE(matches) << what << " at " << p.x << ", " << p.y << ": " << got << ", expected " << p.shows;
    }
}

void widget_gl_test::SetUp()
{
    test::gl_test::SetUp();
    static bool detected = false;
    if (!detected) {
        glExt.init_extensions();
        detected = true;
    }
    set_hooks();
    mnw = mnw_class{};
    mnw.x_res = 1024;
    mnw.y_res = 768;
    mnw.scale = 1;
    mnw.box_w = 1024;
    mnw.box_h = 768;
    mnw.cur_win = 0;
    mnw.open_menu = -1;
    mnw.focus = -1;
    mnw.pulse = 1;
    mnw.mouse_x = mnw.mouse_y = -1000;
    ren.global_alpha = 1;
    ren.green_only = 0;
    OGL_pix_specs(0);
    OGL_nrml_colors();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // reset_2d switched blending and texturing off behind the state cache's back; say so to the cache.
    resync_state();
    colr = colr_class{};
    stls.help_line.clear();
    stl_input.clear();
    return_hit = 0;
    MACIBM_clear_menus(1);
    active_popup_code = select_popup_code = popup_menu_select = 0;
    picked_menu_codes.clear();
    // Every text and art colour below 45 is taken from the palette; white keeps the texels as they are.
    for (int c = 33; c <= 46; ++c)
        colr.assign(c, 1, 1, 1);
    static bool atlas_loaded = false;
    if (!atlas_loaded) {
        if (real_art)
            load_real_art();
        else
            load_coordinate_atlas();
        atlas_loaded = true;
    }
}

void widget_gl_test::resync_state()
{
    OGL_setstate(fog_fals, 0, lit_fals, al_none, deR_fals, deW_fals);
    tman.reset_bind();
}

void widget_gl_test::mouse(float x, float y, int click)
{
    mnw.mouse_x = x;
    mnw.mouse_y = y;
    mnw.click = click;
}

bool widget_gl_test::move_pointer(int x, int y)
{
    SDL_WarpMouseInWindow(win().window(), x, 768 - y);
    for (int tries = 0; tries < 200; ++tries) {
        MACIBM_event_proc();
        if (mnw.mouse_x == x && mnw.mouse_y == y)
            return true;
        SDL_Delay(5);
    }
    return false;
}

void widget_gl_test::press_at(int x, int y)
{
    plat::push_button_event(x, 768 - y, true);
    plat::push_button_event(x, 768 - y, false);
}

}  // namespace widget_test
