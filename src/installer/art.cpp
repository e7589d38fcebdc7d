// The embedded interface images and the installer's picture-cut controls.
#include "installer/art.h"

#include <cstring>

#include "core/convert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "gfx/image_load.h"
#include "gfx/state.h"
#include "gfx/tman.h"
#include "installer/status.h"
#include "widgets/butn.h"

namespace {

constexpr const char* SCRATCH_TEXTURE_NAME = "scratch_array:hard-wired textures";
// Load types of the texture manager: the picture and backgrounds, and the atlas.
constexpr int PICTURE_LOAD_TYPE = 0x282;
constexpr int ATLAS_LOAD_TYPE = 2;
constexpr int TEX_MAIN_BACKGROUND = 365, TEX_SECOND_BACKGROUND = 366;
// The picture sits in a texture 1024 texels wide, and the texture manager reads scratch rows that far
// apart for it, so the picture's 1010-pixel rows are laid out at that stride.
constexpr int PICTURE_SCRATCH_STRIDE = 1024;

// Globe cells: 64 x 64, eight to a row, from t 66.
constexpr int GLOBE_CELL = 64, GLOBE_PER_ROW = 8, GLOBE_T0 = 66;

constexpr int BYTES_PER_PIXEL = 4;

// Palette entry the main background is drawn with.
constexpr int BACKGROUND_TINT_COLOUR = 48;

// The red of the status block's error and retry lines. Pure red reads at only 4.0:1 on the block's
// white panel, and no panel light enough for the other lines would lift it; this red reads at 4.8:1,
// past the 4.5:1 that small text needs, as the other lines there do.
constexpr float ERROR_RED = 0.9f;

void load_image(int ref, int type, const unsigned char* pixels, int width, int height, int stride)
{
    scratch_dx = width;
    scratch_dy = height;
    const size_t row_bytes = static_cast<size_t>(width) * BYTES_PER_PIXEL;
    const size_t stride_bytes = static_cast<size_t>(stride) * BYTES_PER_PIXEL;
    for (int row = 0; row < height; ++row) {
        unsigned char* target = scratch_array + row * stride_bytes;
        std::memcpy(target, pixels + row * row_bytes, row_bytes);
        if (stride_bytes > row_bytes)
            std::memset(target + row_bytes, 0, stride_bytes - row_bytes);
    }
    // Failure mode 4 makes a failed load a fatal alert, so the ref needs no check here.
    (void)tman.load_texture(tex_fail_fatal, ref, type, tex_load_now, SCRATCH_TEXTURE_NAME);
}

}  // namespace

void recall_ins_texes()
{
    load_image(TEX_INSTALLER_PICTURE, PICTURE_LOAD_TYPE, t_installer_dat, INSTALLER_PICTURE_WIDTH,
               INSTALLER_PICTURE_HEIGHT, PICTURE_SCRATCH_STRIDE);
    load_image(TEX_MAIN_BACKGROUND, PICTURE_LOAD_TYPE, t_ins_back_1_dat, BACKGROUND_WIDTH, BACKGROUND_HEIGHT,
               BACKGROUND_WIDTH);
    load_image(TEX_SECOND_BACKGROUND, PICTURE_LOAD_TYPE, t_ins_back_2_dat, BACKGROUND_WIDTH, BACKGROUND_HEIGHT,
               BACKGROUND_WIDTH);
    load_image(TEX_INTERFACE_ATLAS, ATLAS_LOAD_TYPE, t_interface_dat, INTERFACE_ATLAS_SIDE, INTERFACE_ATLAS_SIDE,
               INTERFACE_ATLAS_SIDE);
    set_art_text_colours();
}

void set_art_text_colours()
{
    colr.assign(COLOUR_ERROR, ERROR_RED, 0, 0);
}

int interface_rect(float x, float y, float s, float t, float w, float h, int hot, int tint)
{
    float r = 1, g = 1, b = 1;
    if (tint == TINT_USABLE)
        r = b = 0.8f;
    if (tint == TINT_DISABLED)
        g = b = 0.8f;
    colr.assign(INTERFACE_TINT_COLOUR, r, g, b);

    const hit_rect rect{x, y, x + w, y + h};
    const bool inside = mouse_in(rect);
    // The hover look lies one cell height (plus a texel) below the normal look, the pressed look two.
    if (hot && inside)
        t -= mnw.held ? 2 * (h + 1) : h + 1;

    constexpr float d = PICTURE_TEXELS;
    OGL_2dquad(TEX_INSTALLER_PICTURE, INTERFACE_TINT_COLOUR, 1.0f, x, y, s / d, t / d, x, y + h, s / d, (t + h) / d,
               x + w, y + h, (s + w) / d, (t + h) / d, x + w, y, (s + w) / d, t / d, 1, al_blend);
    return mnw.click && inside ? 1 : 0;
}

int interface_icon(float x, float y, int i)
{
    const float s = static_cast<float>((i % GLOBE_PER_ROW) * GLOBE_CELL);
    const float t = static_cast<float>((i / GLOBE_PER_ROW) * GLOBE_CELL + GLOBE_T0);
    return interface_rect(x, y, s, t, GLOBE_CELL, GLOBE_CELL, 0, 0);
}

void draw_main_background()
{
    // The picture fills the lower 768 of the texture's 1024 rows: t runs to 0.75.
    OGL_2dquad(TEX_MAIN_BACKGROUND, BACKGROUND_TINT_COLOUR, 1.0f, 0, 0, 0, 0, 0, 768, 0, 0.75f, 1024, 768, 1, 0.75f,
               1024, 0, 1, 0, 1, al_blend);
}

void set_size_str(float kb, std::string* out)
{
    const float megabytes = kb * 0.001f;
    if (megabytes >= 1000) {
        flt_to_str(megabytes * 0.001f, out, 2, 1);
        *out += " Gig";
        return;
    }
    flt_to_str(megabytes, out, 2, 1);
    *out += " Meg";
}
