// The text-entry field.
#include "widgets/enterstring.h"

#include <cstring>

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "widgets/butn.h"

namespace {

// The box is sized at 6 units a character.
constexpr float UNITS_PER_CHARACTER = 6;
constexpr int FIELD_STYLE = 9;
constexpr float LABEL_LEFT_GAP = 12, LABEL_RIGHT_GAP = 6;
constexpr float HIT_ABOVE = 8;
constexpr int TEXT_COLOUR = 44;
constexpr float CURSOR_DX = 1, CURSOR_TOP = 6.5f, CURSOR_BOTTOM = -0.5f;

constexpr const char* STRING_SOURCE = "DEzovuv/GenH/hl_string";
constexpr int STRING_TOO_LONG_LINE = 132;

}  // namespace

int BTN_enterstring(float x, float y, std::string* text, int max_length, int field_id, std::string label)
{
    std::string left, right, help;
    BTN_expand_label(label, &left, &right, &help);
    const float l = static_cast<float>(max_length);
    BTN_frame1(FIELD_STYLE, x + 3 * l - 2, y + 3, UNITS_PER_CHARACTER * l + 10, 0);
    BTN_util_draw_label(x - LABEL_LEFT_GAP, y, ALIGN_END_AT_X, left, 0);
    BTN_util_draw_label(x + UNITS_PER_CHARACTER * l + LABEL_RIGHT_GAP, y, ALIGN_START_AT_X, right, 0);
    OGL_string(TEXT_COLOUR, x, y, *text, NO_WRAP, charset_UI_diff_space);

    // Typing goes on while a pop-up is open, so the field does not go quiet for menus.
    const hit_rect hit{x, y, x + UNITS_PER_CHARACTER * l, y + HIT_ABOVE};
    if (widget_behaviour(hit, menu_rule::react_while_menu_open, &help) == WIDGET_CLICKED && mnw.focus != field_id) {
        mnw.focus = field_id;
        text->clear();
        stl_input.clear();
        return 1;
    }
    if (mnw.focus != field_id)
        return 0;

    const float w = proportional_text_width(*text);
    OGL_line(TEXT_COLOUR, mnw.pulse, x + CURSOR_DX + w, y + CURSOR_TOP, x + CURSOR_DX + w, y + CURSOR_BOTTOM);
    const size_t limit = max_length > 0 ? static_cast<size_t>(max_length) : 0;
    if (stl_input.size() > limit)
        stl_input.resize(limit);
    *text = stl_input;
    return 0;
}

int BTN_enterstring(float x, float y, char* text, int max_length, int field_id, std::string label)
{
    std::string s(text);
    const int result = BTN_enterstring(x, y, &s, max_length, field_id, label);
    if (s.size() > ENTERSTRING_BUFFER_LIMIT) {
        __MACIBM_alert(0, "String too long!", s, "", "", ALERT_FATAL, STRING_SOURCE, STRING_TOO_LONG_LINE);
        return result;
    }
    std::memcpy(text, s.c_str(), s.size() + 1);
    return result;
}
