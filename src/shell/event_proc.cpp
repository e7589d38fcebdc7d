// One frame of the main loop. The order of the steps matters: the period flags are decided on
// the previous frame's clock, the events are pumped before the clock advances, and the
// application draws before the menus and the tooltip are drawn over it.
#include "shell/event_proc.h"

#include <algorithm>
#include <cmath>

#include "core/alert.h"
#include "core/clock.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/stg.h"
#include "gfx/colr.h"
#include "gfx/qtim.h"
#include "gfx/text.h"
#include "gfx/tman.h"
#include "gfx/viewport.h"
#include "platform/events.h"
#include "platform/keymap.h"
#include "platform/window.h"
#include "shell/hooks.h"
#include "shell/keys.h"
#include "shell/windows.h"

namespace {

// One tick of the pump's wait; it paces the frames and frees the processor.
constexpr int PUMP_WAIT_MS = 17;

// A press and its release, or two presses, within this time count as quick or double.
constexpr float CLICK_TIME = 0.25f;
// A mouse move smaller than this (virtual units) is no activity.
constexpr float MOVE_THRESHOLD = 0.5f;
constexpr float MOUSE_UNSEEN = 999.0f;
// Idle times before the tooltip shows and the cursor hides, in seconds.
constexpr float TOOLTIP_DELAY = 1.0f;
constexpr float CURSOR_HIDE_DELAY = 10.0f;

// Pulsing colours: brightness 0.7 +- 0.3 at 20 radians a second.
constexpr float PULSE_MIDDLE = 0.7f;
constexpr float PULSE_SWING = 0.3f;
constexpr float PULSE_SPEED = 20.0f;

// Tooltip layout in virtual units.
constexpr int TOOLTIP_BYTES_PER_STEP = 50;
constexpr int TOOLTIP_STEP = 10;
constexpr int TOOLTIP_BASE = 20;
constexpr int TOOLTIP_MIN_HEIGHT = 60;
constexpr int TOOLTIP_MAX_HEIGHT = 300;
constexpr float TOOLTIP_LEFT_OF_MOUSE = 400;
constexpr float TOOLTIP_MARGIN = 10;
constexpr float TOOLTIP_RIGHT_LIMIT = 614;
constexpr float TOOLTIP_TOP_LIMIT = 748;
constexpr float TOOLTIP_PANEL_WIDTH = 420;
constexpr float TOOLTIP_WRAP = 394;
constexpr float TOOLTIP_TEXT_X = 3;
constexpr int TOOLTIP_PANEL_STYLE = 14;
constexpr int TOOLTIP_TEXT_COLOUR = 46;

// Frame statics: whether the first window was started, the last mouse position, the cursor.
int win_started;
float mx = MOUSE_UNSEEN, my = MOUSE_UNSEEN;
int OS_mouse_showing = 1;

EventRecord to_event_record(const plat::event_record& e)
{
    EventRecord r;
    r.what = static_cast<uint16_t>(e.what);
    r.message = e.message;
    r.when = e.when;
    r.where.h = static_cast<int16_t>(e.where_h);
    r.where.v = static_cast<int16_t>(e.where_v);
    r.modifiers = static_cast<uint16_t>(e.modifiers);
    return r;
}

// Hands every queued event to APL_handlewin; waits at most once per frame, so mouse motion
// cannot keep the frame from ending.
void pump_events()
{
    bool waited = stg._use_max_cpu != 0;
    for (;;) {
        plat::event_record e;
        bool got = plat::poll_event(&e);
        if (!got) {
            if (waited)
                return;
            waited = true;
            // The application may spend the wait on its own work (the installer's downloads);
            // what came meanwhile is then taken without waiting again. Not under a box, whose
            // frames do not run the application's work.
            const shell_hooks& hooks = shell_get_hooks();
            if (!mnw.box_open && hooks.app.wait && hooks.app.wait(PUMP_WAIT_MS) >= 0)
                continue;
            got = plat::wait_event(&e, PUMP_WAIT_MS);
            if (!got)
                return;
        }
        if (e.what == plat::EVENT_NULL)
            continue;
        APL_handlewin(to_event_record(e));
        if (e.what == plat::EVENT_OS)
            return;
    }
}

void report_texture_failures()
{
    if (tman.has_scene_load_fail()) {
        __MACIBM_alert(0, "Some scenery textures could not be loaded.",
                       "This may be an installation problem or you may have a damaged add-on scenery package.",
                       "Please see the log.txt file for a detailed list of missing files.", "", ALERT_MESSAGE, "hl_mnw",
                       1055);
        tman.mute_scene_load_fail();
    }
    if (tman.has_plane_load_fail()) {
        __MACIBM_alert(0, "Some textures for the aircraft you selected could not be loaded.",
                       "This may be an installation problem or you may have a damaged add-on aircrft package.",
                       "Please see the log.txt file for a detailed list of missing files.", "", ALERT_MESSAGE, "hl_mnw",
                       1056);
        tman.mute_plane_load_fail();
    }
    if (tman.has_instl_load_fail()) {
        __MACIBM_alert(
            0, "Some textures could not be loaded.",
            "This may be an installation problem.  Run the installer/updater again to get these missing textures.",
            "Please see the log.txt file for a detailed list of missing files.", "", ALERT_MESSAGE, "hl_mnw", 1057);
        tman.mute_instl_load_fail();
    }
}

void update_click_timing()
{
    float now = xtim.elapsed;
    mnw.held_long = mnw.held && now > mnw.press_time + CLICK_TIME;
    mnw.dbl_click = mnw.click && now < mnw.press_time + CLICK_TIME;
    mnw.quick_click = mnw.mouse_up && now < mnw.press_time + CLICK_TIME;
    if (mnw.click) {
        mnw.held = 1;
        mnw.focus = -1;
        mnw.press_time = mnw.last_act = now;
    }
    if (mnw.mouse_up) {
        mnw.held_long = 0;
        mnw.held = 0;
    }
    if (std::fabs(mnw.mouse_x - mx) > MOVE_THRESHOLD || std::fabs(mnw.mouse_y - my) > MOVE_THRESHOLD)
        mnw.last_act = now;
    mx = mnw.mouse_x;
    my = mnw.mouse_y;
}

void pulse_colours()
{
    float s = PULSE_MIDDLE + PULSE_SWING * std::sin(PULSE_SPEED * xtim.elapsed);
    colr.assign(75, s, s, s);
    colr.assign(76, s, 0.3f * s, 0.3f * s);
    colr.assign(77, 0.3f * s, 0.3f * s, s);
    colr.assign(78, 0.2f * s, 0.8f * s, 0.2f * s);
    colr.assign(79, 0.7f * s, 0.7f * s, 0.2f * s);
    mnw.pulse = s;
    mnw.hide_cursor = 0;
}

// A value below the lower bound takes it, else the smaller of the value and the upper bound.
float kept_within(float v, float low, float high)
{
    if (v < low)
        return low;
    return v < high ? v : high;
}

void draw_tooltip()
{
    const std::string& text = stls.help_line;
    if (text.empty() || xtim.elapsed - mnw.last_act <= TOOLTIP_DELAY)
        return;
    // The height is capped anyway; capping the count first keeps a huge text from overflowing it.
    size_t n = std::min(text.size(), static_cast<size_t>(TOOLTIP_MAX_HEIGHT * TOOLTIP_BYTES_PER_STEP));
    int h = static_cast<int>(n / TOOLTIP_BYTES_PER_STEP) * TOOLTIP_STEP + TOOLTIP_BASE;
    if (h < TOOLTIP_MIN_HEIGHT)
        h = TOOLTIP_MIN_HEIGHT;
    if (h > TOOLTIP_MAX_HEIGHT)
        h = TOOLTIP_MAX_HEIGHT;
    float xs = mnw.in_sec_win ? static_cast<float>(mnw.x_res) : 0.0f;
    float x = kept_within(mnw.mouse_x - TOOLTIP_LEFT_OF_MOUSE, TOOLTIP_MARGIN - mnw.off_x + xs,
                          TOOLTIP_RIGHT_LIMIT - mnw.off_x + xs);
    float y = kept_within(mnw.mouse_y, TOOLTIP_MARGIN - mnw.off_y, TOOLTIP_TOP_LIMIT - mnw.off_y - h);
    shell_get_hooks().widgets.frame2(TOOLTIP_PANEL_STYLE, x - TOOLTIP_MARGIN, y - TOOLTIP_MARGIN, TOOLTIP_PANEL_WIDTH,
                                     h + 2 * TOOLTIP_MARGIN, "");
    OGL_string(TOOLTIP_TEXT_COLOUR, x + TOOLTIP_TEXT_X, y + h - TOOLTIP_MARGIN, text, TOOLTIP_WRAP,
               charset_UI_diff_space);
}

void update_cursor()
{
    if (xtim.elapsed - mnw.last_act > CURSOR_HIDE_DELAY)
        mnw.hide_cursor = 1;
    if (mnw.hide_cursor && OS_mouse_showing) {
        plat::show_cursor(false);
        OS_mouse_showing = 0;
    } else if (!mnw.hide_cursor && !OS_mouse_showing) {
        plat::show_cursor(true);
        OS_mouse_showing = 1;
    }
}

}

void shell_load_mouse(int x, int y)
{
    float scale = mnw.scale > 0 ? mnw.scale : 1.0f;
    mnw.mouse_x = x / scale - mnw.off_x;
    mnw.mouse_y = (mnw.y_res - y) / scale - mnw.off_y;
    mnw.in_sec_win = 0;
}

void APL_handlewin(EventRecord event)
{
    switch (event.what) {
        case plat::EVENT_HIGH_LEVEL:
            // A window-close request quits like the QUIT button, but never from inside a box.
            if (!mnw.box_open)
                app_done = 1;
            break;
        case plat::EVENT_KEY_DOWN:
            keys.handle_key(event);
            mnw.key_down = 1;
            mnw.key_event = 1;
            break;
        case plat::EVENT_KEY_UP:
            mnw.key_down = 0;
            break;
        case plat::EVENT_AUTO_KEY:
            keys.handle_key(event);
            mnw.key_event = 1;
            break;
        case plat::EVENT_MOUSE_DOWN:
            // The window system's mouse state lags its queue; the press knows where it happened.
            shell_load_mouse(event.where.h, event.where.v);
            mnw.click = 1;
            MACIBM_handleclick(0);
            break;
        case plat::EVENT_MOUSE_UP:
            mnw.mouse_up = 1;
            break;
        case plat::EVENT_UPDATE:
            if (!mnw.no_redraw)
                MACIBM_startwind(mnw.cur_win);
            break;
        case plat::EVENT_ACTIVATE:
            if (event.modifiers & plat::MOD_ACTIVE)
                plat::make_current(mnw.window[0], mnw.context[0]);
            break;
        default:
            break;
    }
}

void MACIBM_event_proc()
{
    xtim.raise_period_flags();

    mnw.key_event = 0;
    mnw.click = 0;
    mnw.mouse_up = 0;
    return_hit = 0;
    stls.help_line.clear();
    if (mnw.cur_win == WIN_NONE)
        mnw.cur_win = WIN_MAIN;
    if (!win_started) {
        win_started = 1;
        MACIBM_startwind(mnw.cur_win);
    }

    int h = 0, v = 0;
    plat::mouse_position(&h, &v);
    shell_load_mouse(h, v);

    pump_events();

    if (mnw.cur_win == WIN_MAIN)
        report_texture_failures();

    xtim.advance_frame(mnw.cur_win, mnw._sec_mon_inuse);
    update_click_timing();
    pulse_colours();

    const shell_hooks& hooks = shell_get_hooks();
    if (mnw.open_menu != -1 && hooks.menus.hover)
        hooks.menus.hover();

    if (!mnw.box_open) {
        if (hooks.app.update)
            hooks.app.update();
        xtim.frame_flag = 0;
    }

    if (mnw.open_menu != -1 && hooks.menus.draw)
        hooks.menus.draw();

    draw_tooltip();
    update_cursor();
    OGL_sbuf();
    // After the swap: the recorder takes the frame just shown.
    if (qtim.recording)
        qtim.mov_addframe();
}
