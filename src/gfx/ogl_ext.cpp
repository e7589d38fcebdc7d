// Capability detection: the renderer's strings decide the flags, the flags decide which entry
// points are looked up, and a missing entry point drops its group's flag.
#include "gfx/ogl_ext.h"

#include <cctype>
#include <cstring>

#include "core/alert.h"
#include "core/globals.h"
#include "platform/gl.h"

OGL_extensions glExt;
ren_class ren;

namespace {

// Version numbers the capability rules compare with.
constexpr int VERSION_UNKNOWN = 100;
constexpr int VERSION_HIGHEST = 200;

const char* text_or_empty(const GLubyte* text)
{
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

// Looks one group up slot by slot. Every name is tried even after a miss so that the log
// names each missing function; any miss clears the group's flag.
template <typename Proc> void look_up(Proc& slot, const char* name, int32_t& flag)
{
    slot = reinterpret_cast<Proc>(aglGetProcAddress(name));
    if (slot != nullptr)
        return;
    xer << "WARNING: extension missing proc " << name << "\n";
    flag = 0;
}

}  // namespace

int OGL_version_number(const char* version)
{
    if (version == nullptr || !std::isdigit(static_cast<unsigned char>(version[0])))
        return VERSION_UNKNOWN;
    int major = 0;
    const char* p = version;
    while (std::isdigit(static_cast<unsigned char>(*p)) && major < 1000)
        major = major * 10 + (*p++ - '0');
    // Only the first digit after the point counts, as "1.35" is a 1.3 renderer.
    if (*p != '.' || !std::isdigit(static_cast<unsigned char>(p[1])))
        return VERSION_UNKNOWN;
    int minor = p[1] - '0';
    if (major >= 2)
        return VERSION_HIGHEST;
    if (major == 1 && minor >= 1)
        return minor <= 5 ? 100 + 10 * minor : 150;
    return VERSION_UNKNOWN;
}

bool OGL_listed(const char* extensions, const char* name)
{
    return extensions != nullptr && std::strstr(extensions, name) != nullptr;
}

void* aglGetProcAddress(const char* name)
{
    return plat::gl_proc(name);
}

OGL_extensions::OGL_extensions()
{
#define OGL_CLEAR_PROC(type, name) name = nullptr;
    OGL_BUFFER_PROCS(OGL_CLEAR_PROC)
    OGL_PROGRAM_PROCS(OGL_CLEAR_PROC)
    OGL_QUERY_PROCS(OGL_CLEAR_PROC)
#undef OGL_CLEAR_PROC
    multitex_avail = tex_clamp_avail = add_env_avail = combine_avail = 0;
    dis_fog_avail = tex_comp_avail = vbo_avail = pbuffer_avail = 0;
    vshader_avail = fshader_avail = automini_avail = aniso_avail = 0;
    fsaa_avail = sprites_avail = depth_tex_avail = occlude_avail = 0;
}

int32_t OGL_extensions::init_entry_points()
{
    // The Mac framework-folder and bundle steps have no counterpart: the library the window
    // loaded serves every lookup.
    return plat::gl_load_library();
}

void OGL_extensions::init_extensions()
{
    detect(text_or_empty(glGetString(GL_VENDOR)), text_or_empty(glGetString(GL_RENDERER)),
           text_or_empty(glGetString(GL_VERSION)), text_or_empty(glGetString(GL_EXTENSIONS)));
}

void OGL_extensions::detect(const char* vendor, const char* renderer, const char* version, const char* extensions)
{
    ren.gl_vendor = vendor;
    ren.gl_renderer = renderer;
    ren.gl_version = version;
    ren.gl_extensions = extensions;

    const int number = OGL_version_number(version);
    set_flags(number, extensions);
    apply_sprite_workaround();

    report_values report;
    read_limits(report);
    look_up_entry_points();
    // Fragment programs are driven through the vertex-program entry points.
    if (fshader_avail && !vshader_avail)
        fshader_avail = 0;
    read_program_limits(report);

    apply_command_line_overrides();
    write_report(xer, report);
    judge_hardware(number);
}

void OGL_extensions::set_flags(int v, const char* ext)
{
    auto listed = [ext](const char* name) { return OGL_listed(ext, name); };
    multitex_avail = v >= 130 || listed("GL_ARB_multitexture");
    tex_clamp_avail = v >= 120 || listed("GL_EXT_texture_edge_clamp") || listed("GL_SGIS_texture_edge_clamp");
    add_env_avail = v >= 130 || listed("GL_ARB_texture_env_add") || listed("GL_EXT_texture_env_add");
    combine_avail = v >= 130 || listed("GL_ARB_texture_env_combine") || listed("GL_EXT_texture_env_combine");
    dis_fog_avail = listed("GL_NV_fog_distance");
    tex_comp_avail = v >= 130 || listed("GL_ARB_texture_compression");
    vbo_avail = v >= 150 || listed("GL_ARB_vertex_buffer_object");
    pbuffer_avail = 0;
    vshader_avail = listed("GL_ARB_vertex_program");
    fshader_avail = listed("GL_ARB_fragment_program");
    automini_avail = v >= 140 || listed("GL_SGIS_generate_mipmap");
    aniso_avail = listed("GL_EXT_texture_filter_anisotropic");
    fsaa_avail = v >= 130 || listed("GL_ARB_multisample");
    sprites_avail = v >= 200 || listed("GL_ARB_point_sprite");
    depth_tex_avail = v >= 140 || listed("GL_ARB_depth_texture");
    occlude_avail = listed("GL_ARB_occlusion_query");
}

void OGL_extensions::read_limits(report_values& report)
{
    ren.max_aniso = 1.0f;
    ren.max_tex_units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &ren.max_tex_units);
    ren.max_tex_image_units = ren.max_tex_units;
    if (fshader_avail)
        glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS_ARB, &ren.max_tex_image_units);
    ren.max_tex_coords = ren.max_tex_units;
    if (vshader_avail)
        glGetIntegerv(GL_MAX_TEXTURE_COORDS_ARB, &ren.max_tex_coords);
    if (aniso_avail)
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &ren.max_aniso);

    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &report.max_texture_size);
    GLfloat point_range[2] = {0, 0};
    glGetFloatv(GL_POINT_SIZE_RANGE, point_range);
    report.max_point_size = point_range[1];
}

void OGL_extensions::look_up_entry_points()
{
#define OGL_LOOK_UP(type, name) look_up(name, #name, flag);
    if (vbo_avail) {
        int32_t& flag = vbo_avail;
        OGL_BUFFER_PROCS(OGL_LOOK_UP)
    }
    if (vshader_avail) {
        int32_t& flag = vshader_avail;
        OGL_PROGRAM_PROCS(OGL_LOOK_UP)
    }
    if (occlude_avail) {
        int32_t& flag = occlude_avail;
        OGL_QUERY_PROCS(OGL_LOOK_UP)
    }
#undef OGL_LOOK_UP
}

void OGL_extensions::read_program_limits(report_values& report)
{
    if (fshader_avail) {
        glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, &report.fragment_limits[0]);
        glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_ALU_INSTRUCTIONS_ARB,
                          &report.fragment_limits[1]);
        glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_TEX_INSTRUCTIONS_ARB,
                          &report.fragment_limits[2]);
        glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_TEX_INDIRECTIONS_ARB,
                          &report.fragment_limits[3]);
    }
    if (vshader_avail)
        glGetProgramivARB(GL_VERTEX_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, &report.vertex_instructions);
}
