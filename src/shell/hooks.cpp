// Where the widget table leaves a member null, the shell draws its boxes with plain rectangles and
// text of its own, so that an alert raised early, or in a program without the widget set, can still
// be read and answered with the same hit rules.
#include "shell/hooks.h"

#include "core/mnw.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "gfx/viewport.h"
#include "shell/alerts.h"
#include "shell/startup.h"

namespace {

// Colour indices of the plain drawing: panel, face, pressed face and text of the interface art.
constexpr int PLAIN_PANEL = 35;
constexpr int PLAIN_FACE = 37;
constexpr int PLAIN_PRESSED = 34;
constexpr int PLAIN_EDGE = 44;
constexpr int PLAIN_TEXT = 42;
constexpr float NO_WRAP = 9999;

// A push button: caption padding, height of its hit box and the caption's baseline offset.
constexpr float BUTTON_PADDING = 21;
constexpr float BUTTON_HALF_HEIGHT = 10;
constexpr float CAPTION_DROP = 4;
// A radio button's square.
constexpr float RADIO_SIZE = 10;

float label_width(const std::string& text)
{
    return static_cast<float>(OGL_string_width(text));
}

bool mouse_in(float left, float bottom, float right, float top)
{
    return mnw.mouse_x >= left && mnw.mouse_x <= right && mnw.mouse_y >= bottom && mnw.mouse_y <= top;
}

void plain_fillwin(int, int)
{
    OGL_fillrect(PLAIN_PANEL, 1.0f, 0, 0, mnw.box_w, mnw.box_h);
    OGL_framerect(PLAIN_EDGE, 1.0f, 0, 0, mnw.box_w, mnw.box_h);
}

int plain_action(float x, float y, float width, int lit, int mode, std::string label)
{
    float tw = label_width(label);
    if (width <= 0)
        width = BUTTON_PADDING + tw;
    float left = x - width / 2, bottom = y - BUTTON_HALF_HEIGHT;
    OGL_fillrect(lit ? PLAIN_PRESSED : PLAIN_FACE, 1.0f, left, bottom, width, 2 * BUTTON_HALF_HEIGHT);
    OGL_framerect(PLAIN_EDGE, 1.0f, left, bottom, width, 2 * BUTTON_HALF_HEIGHT);
    OGL_string(PLAIN_TEXT, x - tw / 2, y - CAPTION_DROP, label, NO_WRAP, charset_UI_diff_space);
    if (mnw.open_menu != -1 || !mouse_in(left, bottom, x + width / 2, y + BUTTON_HALF_HEIGHT) || !mnw.click)
        return 0;
    if (!lit && mode != 0) {
        OGL_fillrect(PLAIN_PRESSED, 1.0f, left, bottom, width, 2 * BUTTON_HALF_HEIGHT);
        OGL_string(PLAIN_TEXT, x - tw / 2, y - CAPTION_DROP, label, NO_WRAP, charset_UI_diff_space);
        OGL_sbuf();
    }
    return 1;
}

int plain_is_int(float x, float y, int* variable, int value, std::string label)
{
    int on = *variable == value;
    OGL_fillrect(on ? PLAIN_PRESSED : PLAIN_FACE, 1.0f, x, y, RADIO_SIZE, RADIO_SIZE);
    OGL_string(PLAIN_TEXT, x + 2 * RADIO_SIZE, y, label, NO_WRAP, charset_UI_diff_space);
    if (mnw.open_menu == -1 && mnw.click && mouse_in(x, y, x + RADIO_SIZE, y + RADIO_SIZE))
        *variable = value;
    return *variable == value;
}

void plain_frame1(int, float x, float y, float width, int)
{
    OGL_fillrect(PLAIN_FACE, 1.0f, x - width / 2, y - BUTTON_HALF_HEIGHT / 2, width, BUTTON_HALF_HEIGHT);
}

void plain_frame2(int, float x, float y, float width, float height, std::string)
{
    OGL_fillrect(PLAIN_PANEL, 1.0f, x, y, width, height);
    OGL_framerect(PLAIN_EDGE, 1.0f, x, y, width, height);
}

int plain_zap_boxes(int)
{
    return 0;
}

constexpr shell_hooks with_plain_defaults(shell_hooks table)
{
    shell_widget_hooks& h = table.widgets;
    if (!h.fillwin)
        h.fillwin = plain_fillwin;
    if (!h.action)
        h.action = plain_action;
    if (!h.is_int)
        h.is_int = plain_is_int;
    if (!h.frame1)
        h.frame1 = plain_frame1;
    if (!h.frame2)
        h.frame2 = plain_frame2;
    if (!h.zap_boxes)
        h.zap_boxes = plain_zap_boxes;
    return table;
}

// Filled in before any code runs, so an alert raised during static start-up still finds its drawing.
constinit shell_hooks in_force = with_plain_defaults({});

}

void shell_set_hooks(const shell_hooks& hooks)
{
    in_force = with_plain_defaults(hooks);
}

const shell_hooks& shell_get_hooks()
{
    return in_force;
}

void shell_fill_core_hooks(core_hooks& hooks)
{
    hooks.alert = shell_alert;
    hooks.app_path = shell_app_path;
    hooks.finishup = shell_finishup;
    hooks.show_init = shell_show_init;
}
