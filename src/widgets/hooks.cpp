#include "widgets/hooks.h"

#include "widgets/action.h"
#include "widgets/bool.h"
#include "widgets/butn.h"
#include "widgets/menus.h"
#include "widgets/numbers.h"
#include "widgets/panels.h"

void widgets_fill_shell_hooks(shell_hooks& hooks)
{
    hooks.widgets.fillwin = BTN_fillwin;
    hooks.widgets.action = BTN_action;
    hooks.widgets.is_int = BTN_is_int;
    hooks.widgets.frame1 = BTN_frame1;
    hooks.widgets.frame2 = BTN_frame2;
    hooks.widgets.zap_boxes = BTN_zap_boxes;

    hooks.menus.clear_menus = MACIBM_clear_menus;
    hooks.menus.hover = menu_hover;
    hooks.menus.draw = menu_draw;
    hooks.menus.title_at = menu_title_at;
    hooks.menus.pick_item = menu_pick_item;
    hooks.menus.reset_popup_slot = menu_reset_popup_slot;
}

void widgets_fill_gfx_hooks(gfx_hooks& hooks)
{
    hooks.expand_label = BTN_expand_label;
    hooks.frame1 = BTN_frame1;
    hooks.draw_label = BTN_util_draw_label;
    hooks.fillwin = BTN_fillwin;
    hooks.subwin = BTN_subwin;
    hooks.flt_range = BTN_flt_range;
    hooks.int_range = BTN_int_range;
}
