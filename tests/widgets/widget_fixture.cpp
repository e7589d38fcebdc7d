#include "widgets/widget_fixture.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
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
std::function<void()> on_app_update;

namespace {

constexpr int ATLAS_SIDE = 512;

void run_app_update()
{
    if (on_app_update)
        on_app_update();
}

void record_menu_code(int code)
{
    picked_menu_codes.push_back(code);
}

// The tables a program's main sets, with the widgets' drawing and this fixture's application.
void set_hooks()
{
    gfx_hooks gfx;
    widgets_fill_gfx_hooks(gfx);
    gfx_set_hooks(gfx);
    shell_hooks shell;
    widgets_fill_shell_hooks(shell);
    shell.app.update = run_app_update;
    shell.app.handlemenu = record_menu_code;
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
    on_app_update = nullptr;
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

void widget_gl_test::TearDown()
{
    on_app_update = nullptr;
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

void widget_gl_test::save_screen(const std::string& name)
{
    const char* base = std::getenv("VELTRIX_BINARY_DIR");
    std::filesystem::path folder = std::filesystem::path(base ? base : ".") / "widget-screens";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const int w = win().width(), h = win().height();
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 3);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    FILE* file = std::fopen((folder / (name + ".png")).c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        FAIL() << "PNG write failed";
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = h - 1; row >= 0; --row)
        png_write_row(png, pixels.data() + static_cast<size_t>(row) * w * 3);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

}  // namespace widget_test
