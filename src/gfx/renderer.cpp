// Renderer-specific steps of capability detection: the point-sprite workaround, the command-line
// overrides, the "OpenGL Situation" log report and the verdict on the hardware.
#include <cstring>

#include "core/alert.h"
#include "core/cmdline.h"
#include "core/globals.h"
#include "gfx/ogl_ext.h"
#include "platform/system.h"

namespace {

const char* const ALERT_SOURCE = "DEzovuv/OGL/OGL_extensions";
constexpr int VERDICT_LINE = 383;
constexpr int SOFTWARE_WARNING_LINE = 394;

// The last system version with broken point sprites on that vendor's driver (10.3.x).
constexpr int32_t LAST_BROKEN_SPRITE_SYSTEM = 0x103F;

// Renderer-string markers of a software renderer, tested case-sensitively in this order.
const char* const SOFTWARE_MARKERS[] = {"GENERIC", "Generic", "generic", "Mesa GLX Indirect"};

}  // namespace

void OGL_extensions::apply_sprite_workaround()
{
    if (!sprites_avail)
        return;
    // A failed query counts as a system later than the affected ones, as on Linux.
    int32_t system = 0;
    if (!plat::system_version(&system) || system > LAST_BROKEN_SPRITE_SYSTEM)
        return;
    if (ren.gl_vendor == nullptr || std::strstr(ren.gl_vendor, "ATI Technologies") == nullptr)
        return;
    if (cmdline.has_option("--use_sprites"))
        return;
    xer << "Disabling point sprites for ATI on OS X 10.3.\n";
    sprites_avail = 0;
}

void OGL_extensions::apply_command_line_overrides()
{
    if (cmdline.has_option("--no_vbos"))
        vbo_avail = 0;
    if (cmdline.has_option("--no_sprites"))
        sprites_avail = 0;
}

void OGL_extensions::write_report(std::ostream& log, const report_values& r) const
{
    auto text = [](const char* s) { return s != nullptr ? s : ""; };
    log << "OpenGL Situation :\n";
    log << "OpenGL Vendor    :" << text(ren.gl_vendor) << "\n";
    log << "OpenGL Render    :" << text(ren.gl_renderer) << "\n";
    log << "OpenGL Version   :" << text(ren.gl_version) << "\n";
    log << "OpenGL Extensions:" << text(ren.gl_extensions) << "\n";
    log << "tex_clamp_avail=" << tex_clamp_avail << "\n";
    log << "add_env_avail  =" << add_env_avail << "\n";
    log << "combine_avail  =" << combine_avail << "\n";
    log << "dis_fog_avail  =" << dis_fog_avail << "\n";
    log << "tex_comp_avail =" << tex_comp_avail << "\n";
    log << "vbo_avail      =" << vbo_avail << "\n";
    log << "pbuffer_avail  =" << pbuffer_avail << "\n";
    log << "vshader_avail  =" << vshader_avail << " (" << r.vertex_instructions << ")\n";
    log << "fshader_avail  =" << fshader_avail << " (" << r.fragment_limits[0] << "/" << r.fragment_limits[1] << "/"
        << r.fragment_limits[2] << "/" << r.fragment_limits[3] << ")\n";
    log << "automini_avail =" << automini_avail << "\n";
    log << "aniso_avail    =" << aniso_avail << "\n";
    log << "fsaa_avail     =" << fsaa_avail << "\n";
    log << "sprites_avail  =" << sprites_avail << "\n";
    log << "depth_tex_avail=" << depth_tex_avail << "\n";
    log << "occlude_avail  =" << occlude_avail << "\n";
    log << "max tex units    :" << ren.max_tex_units << " (" << ren.max_tex_image_units << "/" << ren.max_tex_coords
        << ")\n";
    log << "max iso filtering:" << ren.max_aniso << "\n";
    log << "max texture size :" << r.max_texture_size << "\n";
    log << "max pbuffer_avail:" << pbuffer_avail << "\n";
    log << "max point size   :" << r.max_point_size << "\n";
    log.flush();
}

void OGL_extensions::judge_hardware(int version) const
{
    if (!multitex_avail || version <= 109) {
        __MACIBM_alert(0,
                       "Your graphics hardware cannot support Veltrix. Veltrix requires a graphics card with 16 MB "
                       "of VRAM and multitexuring.",
                       "First, try updating your graphics drivers.",
                       "If this does not help, check your graphics card specifications.",
                       "For tech support, email support@veltrix.example", ALERT_FATAL, ALERT_SOURCE, VERDICT_LINE);
        return;
    }
    const char* renderer = ren.gl_renderer != nullptr ? ren.gl_renderer : "";
    for (const char* marker : SOFTWARE_MARKERS) {
        if (std::strstr(renderer, marker) == nullptr)
            continue;
        __MACIBM_alert(0,
                       "I can not find a 3-D accelerator card that can handle OpenGL that has correctly installed "
                       "drivers.",
                       "I will still let you run the simulator, but the frame rate will NOT allow for a good "
                       "simulation.",
                       "Please install the drivers that came with your graphics card, or use a card that "
                       "accelerates OpenGL.",
                       "A list of suitable cards is on our web site under Support.", ALERT_MESSAGE, ALERT_SOURCE,
                       SOFTWARE_WARNING_LINE);
        return;
    }
}
