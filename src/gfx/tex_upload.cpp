// The OpenGL side of the texture manager: turning decoded pixels into the texture named by the ref,
// the placeholder for failed loads, and binding refs to texture units through a per-unit cache.
//
// Index:
//   [SECTION] Failed loads (take_placeholder)
//   [SECTION] Bleed (bleed_transparent_pixels)
//   [SECTION] Upload (load_texture_ogl, upload)
//   [SECTION] Binding (bind_ref, combiner presets, reset_bind, set_blend_level)

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/ogl_ext.h"
#include "gfx/state.h"
#include "gfx/tman.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>

namespace {

// Refs drawn with nearest-texel filtering (the interface atlas and pixel-exact art), and the one that
// is so only while the display ratio is 1:1.
constexpr int NEAREST_REFS[] = {363, 382, 387, 388, 393, 394};
constexpr int NEAREST_WHEN_UNSCALED_REF = 389;
constexpr float UNSCALED_RATIO_LIMIT = 1.01f;
// Refs that never show load progress.
constexpr int QUIET_REFS[] = {363, 367, 389, TEX_PLACEHOLDER};
// The one RGBA ref that keeps 16 bits on a 16-bit screen.
constexpr int RGBA16_REF = 380;
constexpr int SIXTEEN_BIT_SCREEN = 16;
// Mipmap levels add about 40% to a texture's memory.
constexpr double MIPMAP_MEMORY_FACTOR = 1.4;
// Transparent pixels take the mean colour of opaque pixels up to this far away.
constexpr int BLEED_RADIUS = 2;

bool contains(const int* first, const int* last, int ref)
{
    return std::find(first, last, ref) != last;
}

bool is_nearest_ref(int ref)
{
    if (contains(std::begin(NEAREST_REFS), std::end(NEAREST_REFS), ref))
        return true;
    return ref == NEAREST_WHEN_UNSCALED_REF && mnw.tex_filter < UNSCALED_RATIO_LIMIT;
}

bool is_power_of_two(int value)
{
    return value > 0 && (value & (value - 1)) == 0;
}

// Units the bind cache may touch: the renderer's count, but never more than the cache follows.
int usable_units()
{
    return std::min<int>(ren.max_tex_units, TEX_CACHED_UNITS);
}

int internal_format_for(int gl_format, int ref)
{
    if (gl_format == GL_DEPTH_COMPONENT)
        return GL_DEPTH_COMPONENT24;
    if (mnw.col_res == SIXTEEN_BIT_SCREEN) {
        if (gl_format == GL_RGB)
            return GL_RGB16;
        if (gl_format == GL_RGBA && ref == RGBA16_REF)
            return GL_RGBA16;
    }
    return gl_format;
}

// One argument of a combiner function: where it comes from and which part of it is used.
struct combiner_arg {
    GLenum source;
    GLenum operand;
};

struct combiner_preset {
    GLenum rgb_function;
    combiner_arg rgb[3];
    GLenum alpha_function;
    combiner_arg alpha[3];
    bool sets_colour;
    GLfloat colour[4];
};

constexpr combiner_arg TEX_RGB{GL_TEXTURE, GL_SRC_COLOR};
constexpr combiner_arg TEX_A{GL_TEXTURE, GL_SRC_ALPHA};
constexpr combiner_arg TEX_INV_A{GL_TEXTURE, GL_ONE_MINUS_SRC_ALPHA};
constexpr combiner_arg PREV_RGB{GL_PREVIOUS, GL_SRC_COLOR};
constexpr combiner_arg PREV_A{GL_PREVIOUS, GL_SRC_ALPHA};
constexpr combiner_arg PREV_INV_A{GL_PREVIOUS, GL_ONE_MINUS_SRC_ALPHA};
constexpr combiner_arg PRIM_RGB{GL_PRIMARY_COLOR, GL_SRC_COLOR};
constexpr combiner_arg PRIM_A{GL_PRIMARY_COLOR, GL_SRC_ALPHA};
constexpr combiner_arg CONST_RGB{GL_CONSTANT, GL_SRC_COLOR};
constexpr combiner_arg CONST_A{GL_CONSTANT, GL_SRC_ALPHA};
constexpr combiner_arg NONE{0, 0};

constexpr int PRESET_COUNT = 21;
// Modes whose alpha result is scaled by 4 (a sharp alpha edge from a subtraction).
constexpr int ALPHA_SCALED_MODES[] = {8, 10};
constexpr GLfloat ALPHA_SCALE_SHARP = 4.0f;

// Indexed by mode - 1.
constexpr combiner_preset COMBINER_PRESETS[PRESET_COUNT] = {
    {GL_ADD, {PREV_RGB, TEX_RGB, NONE}, GL_ADD, {PREV_A, TEX_A, NONE}, false, {}},
    {GL_REPLACE, {TEX_RGB, NONE, NONE}, GL_SUBTRACT, {TEX_A, PRIM_A, NONE}, false, {}},
    {GL_REPLACE, {TEX_RGB, NONE, NONE}, GL_SUBTRACT, {TEX_INV_A, PRIM_A, NONE}, false, {}},
    {GL_INTERPOLATE, {PREV_RGB, TEX_RGB, PREV_A}, GL_MODULATE, {TEX_A, CONST_A, NONE}, true, {1, 1, 1, 0.9f}},
    {GL_INTERPOLATE, {PREV_RGB, TEX_RGB, PREV_A}, GL_MODULATE, {TEX_INV_A, CONST_A, NONE}, true, {1, 1, 1, 0.9f}},
    {GL_MODULATE, {PREV_RGB, PRIM_RGB, NONE}, GL_REPLACE, {CONST_A, NONE, NONE}, true, {1, 1, 1, 1}},
    {GL_MODULATE, {PREV_RGB, PRIM_RGB, NONE}, GL_REPLACE, {TEX_A, NONE, NONE}, false, {}},
    {GL_MODULATE, {PREV_RGB, PRIM_RGB, NONE}, GL_SUBTRACT, {TEX_A, PREV_A, NONE}, false, {}},
    {GL_MODULATE, {PREV_RGB, TEX_RGB, NONE}, GL_REPLACE, {TEX_A, NONE, NONE}, false, {}},
    {GL_REPLACE, {PREV_RGB, NONE, NONE}, GL_SUBTRACT, {TEX_A, PREV_A, NONE}, false, {}},
    {GL_REPLACE, {PREV_RGB, NONE, NONE}, GL_MODULATE, {PREV_INV_A, TEX_A, NONE}, false, {}},
    {GL_MODULATE, {PREV_RGB, PREV_INV_A, NONE}, GL_REPLACE, {CONST_A, NONE, NONE}, true, {1, 1, 1, 1}},
    {GL_REPLACE, {PREV_RGB, NONE, NONE}, GL_REPLACE, {PREV_A, NONE, NONE}, false, {}},
    {GL_REPLACE, {PREV_RGB, NONE, NONE}, GL_REPLACE, {CONST_A, NONE, NONE}, true, {1, 1, 1, 1}},
    {GL_MODULATE, {PREV_RGB, TEX_RGB, NONE}, GL_REPLACE, {CONST_A, NONE, NONE}, true, {1, 1, 1, 1}},
    {GL_REPLACE, {TEX_A, NONE, NONE}, GL_REPLACE, {CONST_A, NONE, NONE}, true, {1, 1, 1, 1}},
    {GL_INTERPOLATE, {TEX_RGB, PREV_RGB, TEX_A}, GL_REPLACE, {PREV_A, NONE, NONE}, false, {}},
    {GL_INTERPOLATE, {TEX_RGB, PREV_RGB, PREV_A}, GL_REPLACE, {PREV_A, NONE, NONE}, false, {}},
    {GL_MODULATE, {PREV_RGB, TEX_A, NONE}, GL_REPLACE, {PREV_A, NONE, NONE}, false, {}},
    {GL_INTERPOLATE, {TEX_RGB, PREV_RGB, CONST_RGB}, GL_INTERPOLATE, {TEX_A, PREV_A, CONST_A}, false, {}},
    {GL_INTERPOLATE, {PRIM_RGB, CONST_RGB, TEX_RGB}, GL_REPLACE, {TEX_A, NONE, NONE}, true, {0, 0, 0, 0}},
};

constexpr GLenum RGB_SOURCES[3] = {GL_SOURCE0_RGB, GL_SOURCE1_RGB, GL_SOURCE2_RGB};
constexpr GLenum RGB_OPERANDS[3] = {GL_OPERAND0_RGB, GL_OPERAND1_RGB, GL_OPERAND2_RGB};
constexpr GLenum ALPHA_SOURCES[3] = {GL_SOURCE0_ALPHA, GL_SOURCE1_ALPHA, GL_SOURCE2_ALPHA};
constexpr GLenum ALPHA_OPERANDS[3] = {GL_OPERAND0_ALPHA, GL_OPERAND1_ALPHA, GL_OPERAND2_ALPHA};

void set_combiner(int mode)
{
    const combiner_preset& preset = COMBINER_PRESETS[mode - 1];
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, static_cast<GLint>(preset.rgb_function));
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, static_cast<GLint>(preset.alpha_function));
    for (int i = 0; i < 3; ++i) {
        if (preset.rgb[i].source != 0) {
            glTexEnvi(GL_TEXTURE_ENV, RGB_SOURCES[i], static_cast<GLint>(preset.rgb[i].source));
            glTexEnvi(GL_TEXTURE_ENV, RGB_OPERANDS[i], static_cast<GLint>(preset.rgb[i].operand));
        }
        if (preset.alpha[i].source != 0) {
            glTexEnvi(GL_TEXTURE_ENV, ALPHA_SOURCES[i], static_cast<GLint>(preset.alpha[i].source));
            glTexEnvi(GL_TEXTURE_ENV, ALPHA_OPERANDS[i], static_cast<GLint>(preset.alpha[i].operand));
        }
    }
    if (preset.sets_colour)
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, preset.colour);
    const bool sharp = contains(std::begin(ALPHA_SCALED_MODES), std::end(ALPHA_SCALED_MODES), mode);
    glTexEnvf(GL_TEXTURE_ENV, GL_ALPHA_SCALE, sharp ? ALPHA_SCALE_SHARP : 1.0f);
}

}  // namespace

// [SECTION] Bleed ---------------------------------------------------------------------------------------

void bleed_transparent_pixels(unsigned char* pixels, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* pixel = pixels + (static_cast<size_t>(y) * width + x) * 4;
            if (pixel[3] != 0)
                continue;
            int sum[3] = {0, 0, 0};
            int count = 0;
            for (int ny = std::max(0, y - BLEED_RADIUS); ny <= std::min(height - 1, y + BLEED_RADIUS); ++ny) {
                for (int nx = std::max(0, x - BLEED_RADIUS); nx <= std::min(width - 1, x + BLEED_RADIUS); ++nx) {
                    const unsigned char* near = pixels + (static_cast<size_t>(ny) * width + nx) * 4;
                    if (near[3] == 0)
                        continue;
                    sum[0] += near[0];
                    sum[1] += near[1];
                    sum[2] += near[2];
                    ++count;
                }
            }
            if (count == 0)
                continue;
            for (int c = 0; c < 3; ++c)
                pixel[c] = static_cast<unsigned char>(sum[c] / count);
        }
    }
}

// [SECTION] Failed loads --------------------------------------------------------------------------------

void tman_class::take_placeholder(int ref)
{
    if (ref < 0 || static_cast<size_t>(ref) >= refs.size())
        return;
    ref_dat_struct& record = refs[ref];
    // The texture this ref held before is no longer reachable through it: free it and its accounting.
    if (record.gl_name == ref && ref != TEX_PLACEHOLDER) {
        const GLuint name = static_cast<GLuint>(ref);
        glDeleteTextures(1, &name);
        forget_bound(ref);
    }
    if (record.vram != 0 && record.load_time == tex_load_now)
        loaded -= 1;

    // Only a placeholder that holds a texture is copied; otherwise the ref takes a free record's
    // zeros and draws untextured.
    const bool placeholder_loaded = refs.size() > static_cast<size_t>(TEX_PLACEHOLDER) &&
        refs[TEX_PLACEHOLDER].gl_name != 0 && refs[TEX_PLACEHOLDER].load_type == LOAD_TEXTURE;
    const ref_dat_struct placeholder = placeholder_loaded ? refs[TEX_PLACEHOLDER] : ref_dat_struct{};
    record.gl_name = placeholder.gl_name;
    record.dx = placeholder.dx;
    record.dy = placeholder.dy;
    record.tex_dx = placeholder.tex_dx;
    record.tex_dy = placeholder.tex_dy;
    record.gl_format = placeholder.gl_format;
    record.load_type = LOAD_TEXTURE;
    record.vram = 0;
    record.load_time = tex_load_now;
}

// [SECTION] Upload --------------------------------------------------------------------------------------

int tman_class::load_texture_ogl(tex_load_vars* v, int io_result)
{
    if (io_result == 0) {
        if (v->load_type == LOAD_TEXTURE)
            take_placeholder(v->ref);
        apply_fail_mode(v->fail_mode, v->name);
        return 0;
    }

    if (v->ref == 0) {
        // Image-only loads report their size in record 0, which must exist even in an empty table.
        hold_record(0);
        refs[0].dx = static_cast<float>(v->dx);
        refs[0].dy = static_cast<float>(v->dy);
    }
    if (v->load_type != LOAD_TEXTURE)
        return 1;
    if (v->ref == 0) {
        char text[64];
        snprintf(text, sizeof text, "ref=%6.0f, tex=%6.0f", 0.0, 0.0);
        stl_global = text;
        __MACIBM_alert(0, "Trying to bind a null ref!", stl_global, "", refs[0].name, ALERT_FATAL, TMAN_SOURCE, 1832);
        return 0;
    }
    upload(v, io_result);
    return v->ref;
}

void tman_class::upload(tex_load_vars* v, int io_result)
{
    const int ref = v->ref;
    hold_record(ref);
    if (v->file_channels == 1)
        v->gl_format = v->bpp == 4 ? GL_RGBA : GL_RGB;

    const bool from_file = io_result == 2 || io_result == 3;
    const bool bleed = v->bpp == 4 && from_file;
    const bool nearest = is_nearest_ref(ref);
    const bool mipmap = (v->type & TEX_MIPMAP) != 0;
    const int internal_format = internal_format_for(v->gl_format, ref);

    ref_dat_struct& record = refs[ref];
    const bool refresh = record.load_time == tex_load_now && record.load_type == LOAD_TEXTURE &&
        record.gl_format == v->gl_format && static_cast<int>(record.tex_dx) == v->tex_dx &&
        static_cast<int>(record.tex_dy) == v->tex_dy && record.gl_name == ref && (!mipmap || glExt.automini_avail == 1);

    if (record.vram == 0)
        loaded += 1;
    record.name = v->name;
    record.load_type = LOAD_TEXTURE;
    record.load_time = tex_load_now;
    record.gl_name = ref;
    record.dx = static_cast<float>(v->dx);
    record.dy = static_cast<float>(v->dy);
    record.tex_dx = static_cast<float>(v->tex_dx);
    record.tex_dy = static_cast<float>(v->tex_dy);
    record.gl_format = v->gl_format;
    record.type = v->type;
    record.vram =
        static_cast<int>(static_cast<double>(v->tex_dx) * v->tex_dy * v->bpp * (mipmap ? MIPMAP_MEMORY_FACTOR : 1.0));

    if (v->show_progress == 1 && from_file && !contains(std::begin(QUIET_REFS), std::end(QUIET_REFS), ref))
        MACIBM_show_init("Loading bitmap " + v->name + ".", nullptr);

    if (bleed)
        bleed_transparent_pixels(v->pixels, v->tex_dx, v->tex_dy);

    if (!is_power_of_two(v->tex_dx))
        __MACIBM_alert(0, "load_tex: Trying to read a texture that is not a power of 2!", v->name, "", "", ALERT_FATAL,
                       TMAN_SOURCE, 1898);
    if (!is_power_of_two(v->tex_dy))
        __MACIBM_alert(0, "load_tex: Trying to read a texture that is not a power of 2!", v->name, "", "", ALERT_FATAL,
                       TMAN_SOURCE, 1899);
    check_dxy(v->tex_dx, v->name);
    check_dxy(v->tex_dy, v->name);

    const int remembered_units = num_units;
    num_units = 1;
    if (remembered_units == 0)
        glEnable(GL_TEXTURE_2D);
    bind_ref(ref, 0, 0);
    num_units = remembered_units;
    if (remembered_units == 0)
        glDisable(GL_TEXTURE_2D);

    if (refresh) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, v->tex_dx, v->tex_dy, static_cast<GLenum>(v->gl_format),
                        GL_UNSIGNED_BYTE, v->pixels);
    } else if (mipmap && glExt.automini_avail == 0) {
        (void)gluBuild2DMipmaps(GL_TEXTURE_2D, internal_format, v->tex_dx, v->tex_dy, static_cast<GLenum>(v->gl_format),
                                GL_UNSIGNED_BYTE, v->pixels);
    } else {
        if (glExt.automini_avail == 1)
            glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, mipmap ? 1 : 0);
        glTexImage2D(GL_TEXTURE_2D, 0, internal_format, v->tex_dx, v->tex_dy, 0, static_cast<GLenum>(v->gl_format),
                     GL_UNSIGNED_BYTE, v->pixels);
    }

    const GLint wrap = (v->type & TEX_CLAMP) ? (glExt.tex_clamp_avail == 1 ? GL_CLAMP_TO_EDGE : GL_CLAMP) : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    if (glExt.aniso_avail == 1)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
    if (nearest) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
}

// [SECTION] Binding -------------------------------------------------------------------------------------

void tman_class::bind_ref(int ref, int unit, int mode)
{
    if (mode == 0)
        mode = GL_MODULATE;
    if (unit < 0 || unit >= usable_units())
        return;

    int name = 0;
    const bool in_table = ref >= 0 && static_cast<size_t>(ref) < refs.size();
    if (!in_table && ref == 0) {
        // Ref 0 is "untextured" whether or not the table has reached it yet.
        name = 0;
    } else if (!in_table) {
        // A ref the table never reached is a free slot: say so and draw the placeholder.
        __MACIBM_alert(0, "missing non-scenery texture - how?", "", "", "un-inited", ALERT_MESSAGE, TMAN_SOURCE, 859);
        name = TEX_PLACEHOLDER;
    } else {
        const ref_dat_struct& record = refs[ref];
        name = record.gl_name;
        if (ref != 0 && record.load_time != tex_load_now) {
            if (record.load_time != tex_load_queued)
                __MACIBM_alert(0, "missing non-scenery texture - how?", "", "", record.name, ALERT_MESSAGE, TMAN_SOURCE,
                               859);
            name = TEX_PLACEHOLDER;
        }
    }

    if (bound_tex[unit] == name && bound_env[unit] == mode)
        return;
    if (unit > 0)
        glActiveTexture(GL_TEXTURE0 + unit);

    bool changed = false;
    if (bound_tex[unit] != name) {
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(name));
        bound_tex[unit] = name;
        // The ADD-or-combine choice of mode 1 depends on the texture's format.
        changed = mode == 1;
    }
    if (bound_env[unit] != mode || changed) {
        bound_env[unit] = mode;
        set_env_mode(in_table ? ref : -1, mode);
    }
    if (unit > 0)
        glActiveTexture(GL_TEXTURE0);
}

void tman_class::set_env_mode(int ref, int mode)
{
    if (glExt.combine_avail == 0) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
        return;
    }
    const int gl_format = ref >= 0 ? refs[ref].gl_format : 0;
    if (mode == 1 && gl_format != GL_RGBA) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
        return;
    }
    if (mode >= 1 && mode <= PRESET_COUNT) {
        set_combiner(mode);
        return;
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

void tman_class::forget_bound(int gl_name)
{
    for (int unit = 0; unit < TEX_CACHED_UNITS; ++unit) {
        if (bound_tex[unit] == gl_name) {
            bound_tex[unit] = -1;
            bound_env[unit] = -1;
        }
    }
}

void tman_class::forget_unit(int unit)
{
    if (unit < 0 || unit >= TEX_CACHED_UNITS)
        return;
    bound_tex[unit] = -1;
    bound_env[unit] = -1;
}

void tman_class::reset_bind()
{
    for (int unit = 0; unit < TEX_CACHED_UNITS; ++unit) {
        bound_tex[unit] = -1;
        bound_env[unit] = -1;
    }
}

void tman_class::set_blend_level(int unit, float level)
{
    if (unit < 0 || unit >= usable_units())
        return;
    if (unit > 0)
        glActiveTexture(GL_TEXTURE0 + unit);
    const GLfloat colour[4] = {level, level, level, level};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, colour);
    if (unit > 0)
        glActiveTexture(GL_TEXTURE0);
}
