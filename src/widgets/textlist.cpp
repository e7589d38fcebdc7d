// The pop-up text list.
#include "widgets/textlist.h"

#include <algorithm>
#include <cmath>

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/text.h"
#include "widgets/butn.h"
#include "widgets/menus.h"

namespace {

constexpr const char* TEXTLIST_SOURCE = "DEzovuv/OOPS_cpp/butn";
constexpr int BAR_CHAR_LINE = 599;
constexpr int OVERFLOW_LINE = 603;

constexpr int BAR_STYLE = 10;
// The bar is centred 10 units right of x (the drop-down mark takes its right end) and 28 wider than
// the widest entry.
constexpr float BAR_DX = 10, BAR_DY = 5, BAR_EXTRA_WIDTH = 28;
constexpr float LABEL_LEFT_GAP = 5, LABEL_RIGHT_GAP = 25;
constexpr float HIT_BELOW = 2, HIT_ABOVE = 8;
constexpr int ROW = 12;
constexpr float SLOT_LEFT = 3, SLOT_EXTRA_WIDTH = 8, SLOT_BELOW = 4, SLOT_EXTRA_HEIGHT = 14;
// Rows are kept on screen relative to the middle of the virtual screen's height.
constexpr int SCREEN_MIDDLE_Y = 384;
constexpr int CHOICE_COLOUR = 37;

}  // namespace

int textlist_id(float x, float y)
{
    const int id = static_cast<int>(std::trunc(y * 1024 + x));
    return id == 0 ? TEXTLIST_ORIGIN_ID : id;
}

int BTN_textlist(float x, float y, int* choice, std::string items, std::string label)
{
    std::string left, right, help;
    BTN_expand_label(label, &left, &right, &help);

    std::string entries[TEXTLIST_ITEM_LIMIT];
    int last = 0;
    for (char c : items) {
        if (c == '|') {
            __MACIBM_alert(0, "Found | char in text string!", items, "", label, ALERT_FATAL, TEXTLIST_SOURCE,
                           BAR_CHAR_LINE);
            return 0;
        }
        if (c == '-')
            ++last;
        else if (last < TEXTLIST_ITEM_LIMIT)
            entries[last] += c;
        if (last >= TEXTLIST_ITEM_LIMIT) {
            __MACIBM_alert(0, "BTN_text_list overflow!", items, "", label, ALERT_FATAL, TEXTLIST_SOURCE, OVERFLOW_LINE);
            return 0;
        }
    }
    *choice = std::clamp(*choice, 0, last);

    float widest = 0;
    for (int i = 0; i <= last; ++i)
        widest = std::max(widest, std::trunc(proportional_text_width(entries[i])));
    BTN_frame1(BAR_STYLE, x + BAR_DX, y + BAR_DY, widest + BAR_EXTRA_WIDTH, 0);
    BTN_util_draw_label(x - widest / 2 - LABEL_LEFT_GAP, y, ALIGN_END_AT_X, left, 0);
    BTN_util_draw_label(x + widest / 2 + LABEL_RIGHT_GAP, y, ALIGN_START_AT_X, right, 0);

    const int id = textlist_id(x, y);
    const hit_rect hit{x - widest / 2 - LABEL_LEFT_GAP, y - HIT_BELOW, x + widest / 2 + LABEL_RIGHT_GAP, y + HIT_ABOVE};
    // The bar claims the pop-up even while a menu is open: that menu may be this list's own pop-up.
    if (active_popup_code != id && widget_behaviour(hit, menu_rule::react_while_menu_open, nullptr) == WIDGET_CLICKED)
        active_popup_code = id;

    int result = 0;
    if (select_popup_code == id) {
        *choice = std::clamp(popup_menu_select, 0, last);
        select_popup_code = 0;
        result = 1;
    }

    if (active_popup_code == id) {
        if (static_cast<int>(menu.size()) < MENU_COUNT)
            menu.resize(MENU_COUNT);
        mnw.open_menu = POPUP_MENU;
        menu_struct& slot = menu[POPUP_MENU];
        slot.parent = -1;
        slot.x1 = static_cast<int16_t>(std::trunc(x - widest / 2 - SLOT_LEFT));
        slot.y1 = static_cast<int16_t>(std::trunc(y - (last - *choice) * ROW - SLOT_BELOW));
        slot.x2 = static_cast<int16_t>(slot.x1 + widest + SLOT_EXTRA_WIDTH);
        slot.y2 = static_cast<int16_t>(slot.y1 + last * ROW + SLOT_EXTRA_HEIGHT);
        slot.items.clear();
        int lowest = SCREEN_MIDDLE_Y, highest = SCREEN_MIDDLE_Y;
        for (int i = 0; i <= last; ++i) {
            item_struct it;
            it.name = entries[i];
            it.two_byte = 0;
            it.x1 = slot.x1;
            it.x2 = slot.x2;
            it.y1 = static_cast<int16_t>(std::trunc(y - (i - *choice) * ROW));
            it.y2 = static_cast<int16_t>(std::trunc(y - (i - *choice) * ROW + ROW));
            lowest = std::min<int>(lowest, it.y1);
            highest = std::max<int>(highest, it.y2);
            slot.items.push_back(it);
        }
        // A list reaching past the bottom or top creeps back one row per frame. The choice must stay
        // an index of the list, so it is clamped again after the creep.
        if (lowest < 0)
            *choice += 1;
        if (highest > mnw.y_res)
            *choice -= 1;
        *choice = std::clamp(*choice, 0, last);
    } else {
        const std::string& shown = entries[*choice];
        OGL_string(CHOICE_COLOUR, x - proportional_text_width(shown) / 2, y, shown, NO_WRAP, charset_UI_diff_space);
        if (mouse_in(hit))
            stls.help_line = help;
    }
    return result;
}
