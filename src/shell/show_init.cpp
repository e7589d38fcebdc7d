// The start-up progress screen: a panel with the product title and a message, and a bar across
// the bottom of the screen. Drawn at fixed screen places whatever box is open.
#include "core/mnw.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "gfx/viewport.h"
#include "shell/hooks.h"
#include "shell/startup.h"
#include "shell/windows.h"

namespace {

constexpr int PANEL_STYLE = 15;
constexpr float PANEL_LEFT = 10, PANEL_BOTTOM = 31, PANEL_WIDTH = 310, PANEL_HEIGHT = 200;
constexpr int TITLE_COLOUR = 48;
constexpr float TITLE_X = 22, TITLE_Y = 210;
constexpr int MESSAGE_COLOUR = 60;
constexpr float MESSAGE_Y = 60;
constexpr float TEXT_WRAP = 280;

constexpr int TRACK_STYLE = 4;
constexpr int FILL_STYLE = 5;
constexpr float BAR_MARGIN = 8;
constexpr float BAR_Y = 15;
constexpr float SCREEN_WIDTH = 1024;

// Without a fraction the bar moves one hundredth per call.
constexpr float CALLS_PER_BAR = 100;
constexpr float MIN_FRACTION = 0.02f;
constexpr float MAX_FRACTION = 1.0f;

int counter_now;

float kept_within(float f)
{
    if (f < MIN_FRACTION)
        return MIN_FRACTION;
    return f > MAX_FRACTION ? MAX_FRACTION : f;
}

}

void shell_show_init(const std::string& message, float* fraction)
{
    if (!plot_init_lights)
        return;
    const shell_widget_hooks& w = shell_get_hooks().widgets;
    float x0 = mnw.scr_x0 - mnw.off_x;
    float y0 = -mnw.off_y;

    OGL_plot_back_col();
    w.frame2(PANEL_STYLE, x0 + PANEL_LEFT, y0 + PANEL_BOTTOM, PANEL_WIDTH, PANEL_HEIGHT, "");
    OGL_string(TITLE_COLOUR, x0 + TITLE_X, y0 + TITLE_Y, "Veltrix 8.50 Beta 8", TEXT_WRAP, charset_UI_diff_space);

    float f = fraction ? kept_within(*fraction) : kept_within(counter_now++ / CALLS_PER_BAR);

    float left = x0 + BAR_MARGIN, right = x0 + SCREEN_WIDTH - BAR_MARGIN;
    w.frame1(TRACK_STYLE, (left + right) / 2, y0 + BAR_Y, right - left, 0);
    float fill_end = left + f * (right - left);
    w.frame1(FILL_STYLE, (left + fill_end) / 2, y0 + BAR_Y, fill_end - left, 0);

    OGL_string(MESSAGE_COLOUR, x0 + TITLE_X, y0 + MESSAGE_Y, message, TEXT_WRAP, charset_UI_diff_space);
    OGL_sbuf();
}
