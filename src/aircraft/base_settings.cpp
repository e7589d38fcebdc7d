// Default values put into a design: base fuel consumption per engine type, engine-control and autopilot
// constants, the texture rectangles of every part, door geometry, and airfoil names cut to their file name.
#include "aircraft/veh.h"

#include "core/globals.h"
#include "core/paths.h"

#include <cmath>
#include <utility>
#include <cstring>

namespace {

// ---------------------------------------------------------------------------
// Fuel consumption and control constants
// ---------------------------------------------------------------------------
enum class sfc_table { propulsor, jet, rocket };

struct base_sfc_row {
    int engn_type;
    sfc_table table;
    float base;    // entries 0, 1, 3 and 4 (the rocket's only value)
    float second;  // entry 5
};

constexpr base_sfc_row BASE_SFC[] = {
    {0, sfc_table::propulsor, 0.44f, 0.25f}, {1, sfc_table::propulsor, 0.40f, 0.25f},
    {2, sfc_table::propulsor, 0.70f, 0.25f}, {8, sfc_table::propulsor, 0.60f, 0.25f},
    {3, sfc_table::propulsor, 0.0f, 0.0f},   {4, sfc_table::jet, 0.85f, 0.1f},
    {5, sfc_table::jet, 0.55f, 0.1f},        {6, sfc_table::rocket, 9.97f, 0.0f},
    {7, sfc_table::rocket, 13.5f, 0.0f},
};

constexpr float CUS_FADEC[3] = {0.004f, 0.01f, 0.01f};

// The autopilot's rate and gain follow the maximum weight in pounds.
constexpr float RATE_FALL_PER_LB = 1.2e-6f;
constexpr float GAIN_RISE_PER_LB = 1.8e-5f;
constexpr float HEAVY_RATE = 12.0f;  // once the weight factor falls below 0.4
constexpr float LIGHT_RATE = 30.0f;
constexpr float MAX_GAIN = 10.0f;

// ---------------------------------------------------------------------------
// Texture rectangles, in pixels of a 1024-pixel texture (256 vertically for small-texture parts)
// ---------------------------------------------------------------------------
constexpr float TEXTURE_PIXELS = 1024.0f;
constexpr float SMALL_TEXTURE_PIXELS = 256.0f;

struct pixel_rect {
    int left, right, bottom, top;
};

struct part_rect_row {
    int first, last;
    pixel_rect rect;
};

// Eight parts side by side in strips 128 pixels wide: part k of the strip starts at STRIP_LEFT[k] and ends at
// 128 (k + 1).
constexpr int STRIP_LEFT[8] = {0, 127, 255, 383, 511, 639, 767, 895};
constexpr int STRIP_WIDTH = 128;
constexpr int FIRST_UPPER_STRIP = 20;
constexpr int FIRST_LOWER_STRIP = 57;
constexpr int STRIP = -1;  // left and right come from the strip

constexpr part_rect_row PART_RECTS[] = {
    {0, 7, {0, 16, 262, 390}},        {8, 9, {774, 1024, 0, 393}},      {10, 11, {522, 772, 0, 259}},
    {12, 13, {522, 646, 305, 520}},   {14, 15, {648, 772, 305, 520}},   {16, 17, {774, 1024, 522, 772}},
    {18, 18, {18, 268, 0, 259}},      {19, 19, {18, 268, 261, 520}},    {20, 27, {STRIP, STRIP, 129, 256}},
    {28, 39, {895, 1024, 129, 256}},  {40, 47, {774, 1024, 458, 520}},  {48, 55, {774, 1024, 395, 456}},
    {56, 56, {0, 772, 774, 1024}},    {57, 64, {STRIP, STRIP, 0, 127}}, {65, 76, {895, 1024, 0, 127}},
    {77, 84, {774, 1024, 900, 1024}}, {85, 94, {648, 772, 261, 303}},
};

// Parts whose rows are drawn from the small texture.
bool small_texture_part(int i)
{
    return (i >= 20 && i <= 39) || (i >= 57 && i <= 76);
}

pixel_rect part_rect(int i)
{
    for (const part_rect_row& row : PART_RECTS) {
        if (i < row.first || i > row.last)
            continue;
        pixel_rect rect = row.rect;
        if (rect.left == STRIP) {
            const int k = i - (i < FIRST_LOWER_STRIP ? FIRST_UPPER_STRIP : FIRST_LOWER_STRIP);
            rect.left = STRIP_LEFT[k];
            rect.right = STRIP_WIDTH * (k + 1);
        }
        return rect;
    }
    return {};
}

// The second copy of these parts' rectangles is shifted, in pixels.
constexpr float SIDE_PART_SHIFT = 252.0f;  // parts 18 and 19, to the right
constexpr float FUSELAGE_SHIFT = 252.0f;   // the fuselage (56), down
constexpr float NACELLE_SHIFT = 126.0f;    // parts 77-84, down

// Fixed rectangles: the two extra items of each layout, the ten texture rows, the doors, and the two copies
// of a weapon body's rectangle.
constexpr pixel_rect TEX_PAIR_FIRST_LAYOUT[2] = {{522, 564, 261, 303}, {566, 646, 261, 303}};
constexpr pixel_rect TEX_PAIR_SECOND_LAYOUT[2] = {{0, 10, 0, 10}, {0, 10, 40, 80}};
constexpr pixel_rect TEX_ROW_RECT = {0, 16, 132, 259};
constexpr pixel_rect DOOR_RECT = {0, 16, 393, 520};
constexpr pixel_rect DOOR2_RECT = {0, 16, 0, 129};
constexpr pixel_rect WEAPON_BODY_RECTS[2] = {{0, 520, 512, 1024}, {0, 520, 0, 512}};

// What the second layout changes.
constexpr int SECOND_LAYOUT_PROPULSOR_TOP = 389;
constexpr pixel_rect SECOND_LAYOUT_PARTS_12_15 = {0, 0, 262, 393};  // bottom and top only
constexpr pixel_rect SECOND_LAYOUT_PARTS_57_58 = {522, 772, 395, 520};

template <int N> void set_rect(tex_rects<N>& tex, int copy, pixel_rect px, float vertical_pixels)
{
    tex.s1[copy] = float(px.left) / TEXTURE_PIXELS;
    tex.s2[copy] = float(px.right) / TEXTURE_PIXELS;
    tex.t1[copy] = float(px.bottom) / vertical_pixels;
    tex.t2[copy] = float(px.top) / vertical_pixels;
}

void set_pair(tex_rects<2>& tex, const pixel_rect* px)
{
    set_rect(tex, 0, px[0], TEXTURE_PIXELS);
    set_rect(tex, 1, px[1], TEXTURE_PIXELS);
}

// ---------------------------------------------------------------------------
// Door geometry
// ---------------------------------------------------------------------------
constexpr int DOOR_STEPS = 3;  // a 4 x 4 grid divides each edge in three

float held_between(float value, float end1, float end2)
{
    const float low = end1 < end2 ? end1 : end2;
    const float high = end1 < end2 ? end2 : end1;
    return value < low ? low : value > high ? high : value;
}

float step_along(float from, float to, int step)
{
    return held_between(from + (to - from) * float(step) / float(DOOR_STEPS), from, to);
}

// Area in the X-Y plane of the triangle with corners apex, b and c, from the lengths of its two edges at the
// apex and the angle between them.
float triangle_area_xy(const float* apex, const float* b, const float* c)
{
    const float ux = b[0] - apex[0], uy = b[1] - apex[1];
    const float vx = c[0] - apex[0], vy = c[1] - apex[1];
    const float between = std::atan2(vy, vx) - std::atan2(uy, ux);
    return 0.5f * std::sqrt(ux * ux + uy * uy) * std::sqrt(vx * vx + vy * vy) * std::fabs(std::sin(between));
}

}  // namespace

void veh_class::set_base_sfc(int engn_type)
{
    for (const base_sfc_row& row : BASE_SFC) {
        if (row.engn_type != engn_type)
            continue;
        if (row.table == sfc_table::rocket) {
            design.sfc_rocket = row.base;
            return;
        }
        float* table = row.table == sfc_table::jet ? design.sfc_jet : design.sfc_prop;
        table[0] = table[1] = table[3] = table[4] = row.base;  // entry 2 is not a base value
        table[5] = row.second;
        return;
    }
}

void veh_class::set_cus_fadec()
{
    std::memcpy(design.cus_fadec, CUS_FADEC, sizeof CUS_FADEC);
}

void veh_class::set_cus_auto()
{
    const float pounds = design.weight_max * kgstolbs;
    const float weight_factor = 1.0f - RATE_FALL_PER_LB * pounds;
    float rate = LIGHT_RATE;
    if (weight_factor < 0.4f)
        rate = HEAVY_RATE;
    else if (weight_factor <= 1.0f)
        rate = LIGHT_RATE * weight_factor;
    float gain = 1.0f + GAIN_RISE_PER_LB * pounds;
    gain = gain < 1.0f ? 1.0f : gain > MAX_GAIN ? MAX_GAIN : gain;

    // Entry 9 is the designer's and stays.
    float* c = design.cus_auto;
    const float values[15] = {0.1f, 10.0f, 20.0f, 10.0f,       0.2f * gain, rate, 4.0f, 10.0f,
                              8.0f, c[9],  4.0f,  0.1f * gain, rate,        4.0f, 0.2f};
    std::memcpy(c, values, sizeof values);
}

void veh_class::set_base_st(int p)
{
    const bool first_layout = p == 0;
    set_pair(design.tex_pair, first_layout ? TEX_PAIR_FIRST_LAYOUT : TEX_PAIR_SECOND_LAYOUT);

    set_base_tex_rows();

    // Doors carry three copies of their rectangle; the first two are set.
    for (int copy = 0; copy < 2; ++copy) {
        for (veh_door_class& d : door)
            set_rect(d.tex, copy, DOOR_RECT, TEXTURE_PIXELS);
        for (veh_door_class& d : door2)
            set_rect(d.tex, copy, DOOR2_RECT, TEXTURE_PIXELS);
    }

    // The last weapon keeps its body's rectangles.
    for (int k = 0; k < WEAPON_COUNT - 1; ++k)
        set_pair(wpn[size_t(k)].body.tex, WEAPON_BODY_RECTS);

    for (int i = 0; i < PART_COUNT; ++i) {
        veh_part_class& part_i = part[size_t(i)];
        part_i.small_tex = small_texture_part(i) ? 1 : 0;
        pixel_rect px = part_rect(i);
        if (!first_layout) {
            if (i < FIRST_WING_PART) {
                std::swap(px.left, px.right);
                px.top = SECOND_LAYOUT_PROPULSOR_TOP;
            } else if (i >= 12 && i <= 15) {
                px.bottom = SECOND_LAYOUT_PARTS_12_15.bottom;
                px.top = SECOND_LAYOUT_PARTS_12_15.top;
            } else if (i == 57 || i == 58) {
                px = SECOND_LAYOUT_PARTS_57_58;
                part_i.small_tex = 0;
            }
        }
        const float d = part_i.small_tex == 1 ? SMALL_TEXTURE_PIXELS : TEXTURE_PIXELS;
        tex_rects<2>& tex = part_i.tex;
        set_rect(tex, 0, px, d);
        set_rect(tex, 1, px, d);

        if (i == 18 || i == 19) {
            tex.s1[1] += SIDE_PART_SHIFT / TEXTURE_PIXELS;
            tex.s2[1] += SIDE_PART_SHIFT / TEXTURE_PIXELS;
        } else if (i == FIRST_BODY_PART) {
            tex.t1[1] -= FUSELAGE_SHIFT / d;
            tex.t2[1] -= FUSELAGE_SHIFT / d;
        } else if (i >= FIRST_NACELLE && i < FIRST_NACELLE + ENGINE_COUNT) {
            tex.t1[1] -= NACELLE_SHIFT / d;
            tex.t2[1] -= NACELLE_SHIFT / d;
        }
    }
}

void veh_class::set_base_tex_rows()
{
    for (int k = 0; k < 10; ++k) {
        design.tex_row_s1[k] = float(TEX_ROW_RECT.left) / TEXTURE_PIXELS;
        design.tex_row_t1[k] = float(TEX_ROW_RECT.bottom) / TEXTURE_PIXELS;
        design.tex_row_s2[k] = float(TEX_ROW_RECT.right) / TEXTURE_PIXELS;
        design.tex_row_t2[k] = float(TEX_ROW_RECT.top) / TEXTURE_PIXELS;
    }
}

void veh_class::IO_coc(int) { }

void veh_door_class::set_door_geo(float* p1, float* p2, float* p3, float* p4)
{
    for (int j = 0; j <= DOOR_STEPS; ++j) {
        float a[3], b[3];
        for (int c = 0; c < 3; ++c) {
            a[c] = step_along(p1[c], p4[c], j);
            b[c] = step_along(p2[c], p3[c], j);
        }
        for (int k = 0; k <= DOOR_STEPS; ++k)
            for (int c = 0; c < 3; ++c)
                geo[j][k][c] = step_along(a[c], b[c], k);
    }

    area = 0.0f;
    for (int j = 0; j < DOOR_STEPS; ++j) {
        for (int k = 0; k < DOOR_STEPS; ++k) {
            area += triangle_area_xy(geo[j][k], geo[j + 1][k], geo[j + 1][k + 1]);
            area += triangle_area_xy(geo[j][k], geo[j + 1][k + 1], geo[j][k + 1]);
        }
    }
}

void set_afl_path(char* path)
{
    if (path == nullptr || path[0] == '\0')
        return;
    const size_t length = std::strlen(path);
    if (length == 1) {
        path[0] = '\0';
        return;
    }
    size_t start = 0;
    for (size_t n = length - 2; n >= 1; --n) {
        if (is_folder_separator(path[n])) {
            start = n;
            break;
        }
    }
    if (is_folder_separator(path[start]))
        ++start;
    copy_bounded_str(path, length + 1, path + start);
}
