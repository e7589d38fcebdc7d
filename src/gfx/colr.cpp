#include "gfx/colr.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "core/alert.h"
#include "gfx/ogl_ext.h"

colr_class colr;

namespace {

struct default_entry {
    int index;
    float r, g, b;
};

// Colours the interface is designed around; unlisted entries are black.
// clang-format off
const default_entry DEFAULT_COLOURS[] = {
    {0, 1, 1, 1},         {1, 0.8f, 0, 0},        {2, 1, 1, 0.2f},        {3, 0.7f, 0.7f, 0.7f},
    {4, 0.4f, 0, 0},      {5, 1, 1, 0},           {6, 0.3f, 0.3f, 0.3f},  {7, 0.2f, 0, 0},
    {8, 1, 0.8f, 0.2f},   {9, 0.1f, 0.1f, 0.1f},  {10, 0, 0.8f, 0},       {12, 0, 0, 0},
    {13, 0, 0.4f, 0},     {15, 0.4f, 0.4f, 1},    {17, 0, 0, 0.6f},       {18, 0.9f, 0.9f, 0.9f},
    {19, 0.8f, 0.1f, 0.1f}, {20, 0.9f, 0.9f, 1},  {21, 0.9f, 0.9f, 0.9f}, {22, 0.1f, 0.1f, 0.1f},
    {23, 1, 1, 0},        {24, 0, 0, 0},          {25, 1, 1, 1},          {26, 1, 1, 1},
    {27, 1, 1, 1},        {28, 1, 1, 0},          {29, 0, 0, 0},          {30, 1, 1, 1},
    {31, 1, 1, 1},        {32, 1, 1, 1},          {48, 1, 1, 1},          {49, 0.4f, 1, 0.4f},
    {50, 1, 0.4f, 0.4f},  {51, 1, 1, 0.6f},       {52, 0.6f, 0.6f, 1},    {53, 1, 0.5f, 0},
    {54, 0.8f, 0.8f, 0.8f}, {55, 0, 1, 0},        {56, 1, 0.2f, 0.2f},    {57, 1, 1, 0.2f},
    {58, 0.4f, 0.4f, 1},  {59, 0.5f, 0.3f, 0},    {60, 0.5f, 0.5f, 0.5f}, {61, 0, 0.6f, 0},
    {62, 0.6f, 0.2f, 0},  {63, 1, 1, 0},          {64, 0.2f, 0.2f, 0.8f}, {65, 0.8f, 0, 0.8f},
    {66, 0.2f, 0.2f, 0.2f}, {67, 0, 0.2f, 0},     {68, 1, 0, 0},          {69, 0.6f, 0.6f, 0},
    {70, 0.15f, 0.15f, 0.6f}, {71, 1, 0.2f, 1},   {72, 0, 0, 0},          {73, 0, 0.1f, 0},
    {74, 0.49f, 0.43f, 0.24f}, {80, 1, 0, 1},     {81, 0, 0, 0},          {82, 1, 0, 1},
    {83, 1, 1, 1},        {92, 0.5f, 0.5f, 0.4f}, {93, 1, 0.3f, 0},       {94, 0.5f, 0.5f, 0.4f},
    {95, 0.8f, 0.8f, 0.7f}, {96, 0, 0.6f, 0.2f},  {97, 1, 1, 0.9f},
};
// clang-format on

// The display gamma the table corrects for, as the exponent 9/11 in single precision.
constexpr float GAMMA_EXPONENT = 0.8181818f;
// Below this the light factor never drops for interface drawing.
constexpr float INTERFACE_LIGHT_FLOOR = 0.75f;
// Entry that set_lit_col writes.
constexpr int LIT_ENTRY = 47;

const float RAINBOW[6][3] = {{1, 0, 0}, {1, 0.32f, 0.08f}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0.8f, 0, 0.8f}};

}  // namespace

colr_class::colr_class()
{
    std::memset(this, 0, sizeof(*this));
    col[COLR_LIGHT_FACTOR][0] = col[COLR_LIGHT_FACTOR][1] = col[COLR_LIGHT_FACTOR][2] = 1;
    for (const default_entry& e : DEFAULT_COLOURS) {
        col[e.index][0] = e.r;
        col[e.index][1] = e.g;
        col[e.index][2] = e.b;
    }
    for (int i = 0; i < 256; ++i) {
        const float x = i / 255.0f;
        const double p = x > 0 ? std::pow(static_cast<double>(x), static_cast<double>(GAMMA_EXPONENT)) : 0.0;
        gamma[i] = static_cast<uint8_t>(static_cast<int>(p * 255 + 0.5));
    }
}

void colr_class::assign(int index, float r, float g, float b)
{
    col[index][0] = r;
    col[index][1] = g;
    col[index][2] = b;
}

void colr_class::spectrum_init(int mode)
{
    if (mode < 0 || mode > 3)
        return;
    for (int i = 0; i < COLR_SPECTRUM_STEPS; ++i) {
        const float x = i / 1000.0f;
        float* entry = spectrum[i];
        if (mode > 0) {
            entry[0] = entry[1] = entry[2] = 0;
            entry[mode - 1] = x;
            continue;
        }
        const int band = x < 0.2f ? 0 : x < 0.4f ? 1 : x < 0.6f ? 2 : x < 0.8f ? 3 : 4;
        const float t = (x - 0.2f * band) * 5;
        for (int c = 0; c < 3; ++c)
            entry[c] = RAINBOW[band][c] * (1 - t) + RAINBOW[band + 1][c] * t;
    }
}

void colr_class::set_lites_for_interface()
{
    for (float& c : col[COLR_LIGHT_FACTOR])
        c = c > INTERFACE_LIGHT_FLOOR ? c : INTERFACE_LIGHT_FLOOR;
}

void colr_class::set_lit_col(int col_type)
{
    const float l1 = ren.light_level_1, l2 = ren.light_level_2;
    float* entry = col[LIT_ENTRY];
    switch (col_type) {
        case 0:
            for (int c = 0; c < 3; ++c)
                entry[c] = col[COLR_LIGHT_FACTOR][c] > l1 ? col[COLR_LIGHT_FACTOR][c] : l1;
            return;
        case 1:
            entry[0] = entry[1] = entry[2] = l1;
            return;
        case 2:
            entry[0] = entry[1] = entry[2] = l2;
            return;
        default:
            __MACIBM_alert(0, "bad col_type!", "", "", "", ALERT_FATAL, "DEzovuv/OOPS_cpp/colr", 32);
    }
}

void fold_to_green(float rgb[3])
{
    float sum = rgb[0] + rgb[1] + rgb[2];
    sum = sum < 0.01f ? 0.01f : (sum > 1 ? 1 : sum);
    rgb[0] = 0;
    rgb[1] = sum;
    rgb[2] = 0;
}

void OGL_setcolor(int index, float alpha)
{
    float rgb[3] = {colr.col[index][0], colr.col[index][1], colr.col[index][2]};
    if (index < COLR_LIT_LIMIT)
        for (int c = 0; c < 3; ++c)
            rgb[c] *= colr.col[COLR_LIGHT_FACTOR][c];
    if (ren.green_only)
        fold_to_green(rgb);
    const float effective = alpha * ren.global_alpha;
    if (static_cast<double>(effective) > 0.99)
        glColor3fv(rgb);
    else
        glColor4f(rgb[0], rgb[1], rgb[2], effective);
}
