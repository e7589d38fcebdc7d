// Registration of the widget functions with the shell and the graphics layer.
#include "widgets/hooks.h"

#include "gfx/text.h"
#include "shell/widget_hooks.h"
#include "widgets/action.h"
#include "widgets/bool.h"
#include "widgets/butn.h"
#include "widgets/menus.h"
#include "widgets/panels.h"

void widgets_install_hooks()
{
    shell_widget_hooks widgets;
    widgets.fillwin = BTN_fillwin;
    widgets.action = BTN_action;
    widgets.is_int = BTN_is_int;
    widgets.frame1 = BTN_frame1;
    widgets.frame2 = BTN_frame2;
    widgets.zap_boxes = BTN_zap_boxes;
    shell_set_widget_hooks(widgets);

    shell_menu_hooks menus;
    menus.clear_menus = MACIBM_clear_menus;
    menus.hover = menu_hover;
    menus.draw = menu_draw;
    menus.title_at = menu_title_at;
    menus.pick_item = menu_pick_item;
    menus.reset_popup_slot = menu_reset_popup_slot;
    shell_set_menu_hooks(menus);

    OGL_widget_hooks text;
    text.expand_label = BTN_expand_label;
    text.frame1 = BTN_frame1;
    text.draw_label = BTN_util_draw_label;
    OGL_set_widget_hooks(text);
}
