// Check boxes and radio buttons.
#include "widgets/bool.h"

#include "widgets/butn.h"

namespace {

// Cells are 18 x 18 texels; the on cell is drawn over the off cell.
constexpr float CELL_HALF = 9;
constexpr float CHECK_S = 148, CHECK_OFF_T = 187, CHECK_ON_T = 206;
constexpr float RADIO_S = 92, RADIO_OFF_T = 132, RADIO_ON_T = 151;
// The box is centred 4 units above y; labels sit 12 units from the centre.
constexpr float BOX_RAISE = 4;
constexpr float LABEL_GAP = 12;
// The hit box is one unit smaller on each side than the drawn box.
constexpr float HIT_HALF_WIDTH = 8, HIT_BELOW = 4, HIT_ABOVE = 12;

void draw_cell(float x, float y, float s, float t)
{
    draw_atlas_cell(x - CELL_HALF, y + BOX_RAISE - CELL_HALF, x + CELL_HALF, y + BOX_RAISE + CELL_HALF, s - CELL_HALF,
                    t - CELL_HALF, s + CELL_HALF, t + CELL_HALF);
}

}  // namespace

int BTN_bool(float x, float y, int* value, std::string label, int style)
{
    std::string left, right, help;
    BTN_expand_label(label, &left, &right, &help);
    const bool check = style == BOOL_CHECK_BOX;
    draw_cell(x, y, check ? CHECK_S : RADIO_S, check ? CHECK_OFF_T : RADIO_OFF_T);
    if (*value != 0)
        draw_cell(x, y, check ? CHECK_S : RADIO_S, check ? CHECK_ON_T : RADIO_ON_T);
    BTN_util_draw_label(x - LABEL_GAP, y, ALIGN_END_AT_X, left, 0);
    BTN_util_draw_label(x + LABEL_GAP, y, ALIGN_START_AT_X, right, 0);

    const hit_rect hit{x - HIT_HALF_WIDTH, y - HIT_BELOW, x + HIT_HALF_WIDTH, y + HIT_ABOVE};
    if (widget_behaviour(hit, menu_rule::quiet_while_menu_open, &help) != WIDGET_CLICKED)
        return 0;
    *value = *value == 0 ? 1 : 0;
    return 1;
}

int BTN_xbol(float x, float y, bool* value, std::string label)
{
    int temporary = *value ? 1 : 0;
    int result = BTN_bool(x, y, &temporary, label, BOOL_CHECK_BOX);
    *value = temporary != 0;
    return result;
}

int BTN_xchr(float x, float y, char* value, std::string label)
{
    int temporary = static_cast<signed char>(*value);
    int result = BTN_bool(x, y, &temporary, label, BOOL_CHECK_BOX);
    *value = static_cast<char>(temporary & 0xFF);
    return result;
}

int BTN_xbyt(float x, float y, unsigned char* value, std::string label)
{
    int temporary = *value;
    int result = BTN_bool(x, y, &temporary, label, BOOL_CHECK_BOX);
    *value = static_cast<unsigned char>(temporary & 0xFF);
    return result;
}

int BTN_is_int(float x, float y, int* variable, int value, std::string label)
{
    int temporary = *variable == value ? 1 : 0;
    int result = BTN_bool(x, y, &temporary, label, BOOL_RADIO);
    if (temporary != 0)
        *variable = value;
    return result;
}
