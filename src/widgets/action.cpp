// The push button.
#include "widgets/action.h"

#include "gfx/viewport.h"
#include "widgets/butn.h"

namespace {

constexpr int FACE_STYLE = 2;
constexpr int LIT_STYLE = 3;
// A button sized from its label gets this much room around the caption.
constexpr float AUTO_WIDTH_PADDING = 21;
constexpr float HIT_HALF_HEIGHT = 10;
constexpr float CAPTION_DROP = 4;

}  // namespace

int BTN_action(float x, float y, float width, int lit, int mode, std::string label)
{
    std::string caption;
    BTN_expand_label(label, &caption, nullptr, nullptr);
    const float text_width = proportional_text_width(label);
    if (width <= 0)
        width = AUTO_WIDTH_PADDING + text_width;

    BTN_frame1(FACE_STYLE, x, y, width, 0);
    if (lit)
        BTN_frame1(LIT_STYLE, x, y, width, 0);
    const int highlighted = mode == ACTION_SHOW_PRESS_LIT_CAPTION && lit ? 1 : 0;
    BTN_util_draw_label(x - text_width / 2, y - CAPTION_DROP, ALIGN_ONE_LINE, caption, highlighted);

    const hit_rect hit{x - width / 2, y - HIT_HALF_HEIGHT, x + width / 2, y + HIT_HALF_HEIGHT};
    if (widget_behaviour(hit, menu_rule::quiet_while_menu_open, nullptr) != WIDGET_CLICKED)
        return 0;

    if (!lit && mode != ACTION_NO_FEEDBACK) {
        // Show the press at once, inside this frame: the caller usually acts on the click right away
        // (opens a box, starts a download) before the next frame would have shown anything.
        BTN_frame1(LIT_STYLE, x, y, width, 0);
        BTN_util_draw_label(x - text_width / 2, y - CAPTION_DROP, ALIGN_ONE_LINE, label, 0);
        OGL_sbuf();
    }
    return 1;
}
