// Number fields and the character wheel.
#include "widgets/numbers.h"

#include <climits>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/numbers.h"
#include "gfx/text.h"
#include "widgets/butn.h"

namespace {

constexpr float COLUMN = 10;
// Clicks reach columns up to the tenth; a wider field shows more digits but steps only these.
constexpr int STEPPED_COLUMN_LIMIT = 10;
constexpr float FIELD_BELOW = 18, FIELD_ABOVE = 24;
constexpr float HELP_BELOW = 2, HELP_ABOVE = 8;
// The upper half of a column starts this far above y.
constexpr float UPPER_HALF_FROM = 3;
constexpr int FIELD_STYLE = 9;
constexpr float LABEL_GAP = 12, CHARS_LABEL_GAP = 6;
constexpr int VALUE_COLOUR = 44;
constexpr float VALUE_DX = 4, CHAR_DX = 3;
// Digits in a grid: 75 units a column, 50 a row.
constexpr float GRID_X = 75, GRID_Y = 50, GRID_Y0 = 25;

// Ring of the character wheel: space, '0' to '9', 'A' to 'Z', '-'.
constexpr int RING_SIZE = 38;

void draw_frame_and_labels(float x, float y, int digits, const std::string& left, const std::string& right)
{
    BTN_frame1(FIELD_STYLE, x + 5 * digits - 1, y + 3, COLUMN * digits + 15, 0);
    BTN_util_draw_label(x - LABEL_GAP, y, ALIGN_END_AT_X, left, 0);
    BTN_util_draw_label(x + COLUMN * digits + LABEL_GAP, y, ALIGN_START_AT_X, right, 0);
}

void draw_arrows(float x, float y, int columns)
{
    for (int k = 0; k < columns; ++k) {
        const float cx = x + COLUMN * k;
        draw_atlas_cell(cx - 1, y - 19, cx + 13, y - 1, 83, 178, 97, 196);
        draw_atlas_cell(cx - 1, y + 9, cx + 13, y + 27, 83, 197, 97, 215);
    }
}

// Truncation toward zero that saturates instead of overflowing.
int saturate_to_int(float v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483648.0f)
        return INT_MAX;
    if (v <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(v);
}

float power_of_ten(int exponent)
{
    return std::pow(10.0f, static_cast<float>(exponent));
}

int ring_position(char c)
{
    if (c == ' ')
        return 0;
    if (c == '-')
        return 37;
    if (c >= '1' && c <= '9')
        return 2 + (c - '1');
    if (c >= 'A' && c <= 'Z')
        return 11 + (c - 'A');
    if (c >= 'a' && c <= 'z')
        return 11 + (c - 'a');
    return 1;
}

char ring_symbol(int position)
{
    if (position == 0)
        return ' ';
    if (position == 37)
        return '-';
    if (position == 1)
        return '0';
    if (position <= 10)
        return static_cast<char>('1' + position - 2);
    return static_cast<char>('A' + position - 11);
}

}  // namespace

float largest_shown_value(int digits, int decimals)
{
    if (digits < 1 || digits > 10)
        return power_of_ten(digits - 1);
    // 9.99...9 with digits - 1 nines after the point, read in single precision: the limit a field shows.
    std::string nines = "9." + std::string(static_cast<size_t>(digits - 1), '9');
    const float mantissa = std::strtof(nines.c_str(), nullptr);
    return power_of_ten(digits - 1) / power_of_ten(decimals) * mantissa;
}

int BTN_flt_range(float x, float y, float* value, int digits, int decimals, float min, float max, std::string label)
{
    std::string left, right, help;
    BTN_expand_label(label, &left, &right, &help);
    const float right_edge = x + COLUMN * digits;

    int stepped = 0;
    const hit_rect field{x, y - FIELD_BELOW, right_edge, y + FIELD_ABOVE};
    const widget_answer answer = widget_behaviour(field, menu_rule::quiet_while_menu_open, nullptr);
    if (answer != WIDGET_IDLE) {
        if (mnw.mouse_y >= y - HELP_BELOW && mnw.mouse_y <= y + HELP_ABOVE)
            stls.help_line = help;
        if (answer == WIDGET_CLICKED) {
            float unit = power_of_ten(digits - 1) / power_of_ten(decimals);
            const int columns = std::min(digits, STEPPED_COLUMN_LIMIT);
            for (int k = 0; k < columns; ++k, unit /= 10) {
                const float cx = x + COLUMN * k;
                if (mnw.mouse_x < cx || mnw.mouse_x > cx + COLUMN)
                    continue;
                *value += mnw.mouse_y < y + UPPER_HALF_FROM ? -unit : unit;
                stepped = 1;
            }
        }
    }

    float v = *value;
    if (v < min)
        v = min;
    if (v > max)
        v = max;
    const float scale = power_of_ten(decimals);
    v = std::trunc(v * scale + (v < 0 ? -0.5f : 0.5f)) / scale;
    *value = v;

    draw_frame_and_labels(x, y, digits, left, right);
    draw_arrows(x, y, digits);
    OGL_number(VALUE_COLOUR, x + VALUE_DX, y, *value, digits, decimals, charset_UI_fixed_10);
    return stepped;
}

int BTN_int_range(float x, float y, int* value, int digits, float min, float max, std::string label)
{
    float v = static_cast<float>(*value);
    const int result = BTN_flt_range(x, y, &v, digits, 0, min, max, label);
    *value = saturate_to_int(v);
    return result;
}

int BTN_dob_range(float x, float y, double* value, int digits, int decimals, float min, float max, std::string label)
{
    float v = static_cast<float>(*value);
    const int result = BTN_flt_range(x, y, &v, digits, decimals, min, max, label);
    if (result)
        *value = v;
    return result;
}

int BTN_flt(float x, float y, float* value, int digits, int decimals, int negative, std::string label)
{
    const float max = largest_shown_value(digits, decimals);
    return BTN_flt_range(x, y, value, digits, decimals, negative ? -max : 0.0f, max, label);
}

int BTN_int(float x, float y, int* value, int digits, int negative, std::string label)
{
    float v = static_cast<float>(*value);
    const int result = BTN_flt(x, y, &v, digits, 0, negative, label);
    *value = saturate_to_int(v);
    return result;
}

int BTN_flt_rangeij(float i, float j, float* value, int digits, int decimals, float min, float max, std::string label)
{
    return BTN_flt_range(GRID_X * i + GRID_X - COLUMN * digits, GRID_Y * j + GRID_Y0, value, digits, decimals, min, max,
                         label);
}

int BTN_fltij(float i, float j, float* value, int digits, int decimals, int negative, std::string label)
{
    return BTN_flt(GRID_X * i + GRID_X - COLUMN * digits, GRID_Y * j + GRID_Y0, value, digits, decimals, negative,
                   label);
}

void BTN_display_number(float x, float y, float value, int digits, int decimals, const std::string& label)
{
    std::string left, right;
    BTN_expand_label(label, &left, &right, nullptr);
    draw_frame_and_labels(x, y, digits, left, right);
    OGL_number(VALUE_COLOUR, x + VALUE_DX, y, value, digits, decimals, charset_UI_fixed_10);
}

void BTN_chars(float x, float y, char* text, int count, std::string label)
{
    std::string left, help;
    BTN_expand_label(label, &left, nullptr, &help);
    BTN_frame1(FIELD_STYLE, x + 5 * count + 1, y + 3, COLUMN * count + 11, 0);
    draw_arrows(x, y, count);
    BTN_util_draw_label(x - CHARS_LABEL_GAP, y, ALIGN_END_AT_X, left, 0);

    for (int k = 0; k < count; ++k) {
        const float cx = x + COLUMN * k;
        OGL_string(VALUE_COLOUR, cx + CHAR_DX, y, std::string(1, text[k]), NO_WRAP, charset_UI_diff_space);
        if (mouse_in({cx, y - HELP_BELOW, cx + COLUMN, y + HELP_ABOVE}))
            stls.help_line = help;
        // The wheel turns even while a menu is open.
        const hit_rect column{cx, y - FIELD_BELOW, cx + COLUMN, y + FIELD_ABOVE};
        if (widget_behaviour(column, menu_rule::react_while_menu_open, nullptr) != WIDGET_CLICKED)
            continue;
        const int step = mnw.mouse_y < y + UPPER_HALF_FROM ? 1 : -1;
        text[k] = ring_symbol((ring_position(text[k]) + step + RING_SIZE) % RING_SIZE);
    }
}
