// The window, its context and the frame procedure in a real SDL window under Xvfb: the pixel
// format choice and default state, the event pump, click timing on a stepped clock, the wheel,
// quit requests, pulsing colours, the tooltip's layout, the start-up screen's bar and the
// OpenGL alert box answered through the real event queue.
#include <cmath>
#include <cstring>
#include <vector>
#include <unistd.h>

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "app_hook_recorder.h"
#include "pin_gl_driver.h"
#include "core/alert.h"
#include "core/clock.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/stg.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "gfx/qtim.h"
#include "gfx/ogl_ext.h"
#include "gfx/viewport.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/window.h"
#include "shell/context.h"
#include "shell/native_dialogs.h"
#include "shell/event_proc.h"
#include "shell/hooks.h"
#include "shell/alerts.h"
#include "shell/startup.h"
#include "shell/windows.h"
#include "shell_test_support.h"
#include "support/fake_clock.h"
#include "support/movie_probe.h"
#include "support/temp_folder.h"
#include "gfx/text.h"
#include "gfx/tman.h"

using shell_test::app_hooks;

namespace {

// What the widget hooks were asked to draw.
struct drawn_panel {
    int style;
    float x, y, width, height;
};
struct drawn_button {
    float x, y;
    std::string label;
};
std::vector<drawn_panel> panels;
std::vector<drawn_panel> bars;
std::vector<drawn_button> buttons;

void record_frame2(int style, float x, float y, float w, float h, std::string)
{
    panels.push_back({style, x, y, w, h});
}
void record_frame1(int style, float x, float y, float w, int)
{
    bars.push_back({style, x, y, w, 0});
}
int record_action(float x, float y, float, int, int, std::string label)
{
    buttons.push_back({x, y, label});
    return 0;
}
void ignore_fillwin(int, int) { }

// The recording table with this widget drawing; a member left null draws the plain fallback.
void use_widgets(const shell_widget_hooks& widgets)
{
    shell_hooks hooks = shell_test::recording_hooks();
    hooks.widgets = widgets;
    shell_set_hooks(hooks);
}

// The back buffer under the alert box, read when its button is drawn, before the swap.
struct rgb {
    int r, g, b;
};
rgb read_back(int x, int y)
{
    unsigned char px[4] = {0, 0, 0, 0};
    glFinish();
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    return {px[0], px[1], px[2]};
}
rgb inside_box, outside_box;
int reading_action(float, float, float, int, int, std::string)
{
    inside_box = read_back(312 + 20, 269 + 170);
    outside_box = read_back(100, 100);
    return 1;
}

class Frame : public ::testing::Test {
protected:
    static constexpr unsigned HANG_GUARD_SECONDS = 120;
    static void SetUpTestSuite()
    {
        shell_test::set_program_hooks();
        ASSERT_TRUE(plat::video_init());
        mnw._x_res_req = 1024;
        mnw._y_res_req = 768;
        mnw._col_res_req = 32;
        MACIBM_setres(1);
        ASSERT_EQ(MACIBM_make_context(0), 1);
        shell_test::pin_gl_driver();
        OGL_pix_specs(0);
        glExt.init_extensions();
        ren.global_alpha = 1.0f;
        shell_test::load_swatch_atlas();
        ogl_inited = 1;
        stls[603] = "OK";
    }
    static void TearDownTestSuite()
    {
        MACIBM_nuke_context(0);
        plat::video_quit();
    }
    void SetUp() override
    {
        // Modal loops here end only on the events a test queued; should one be lost, the
        // process ends (SIGALRM) instead of spinning until the suite's own time runs out.
        alarm(HANG_GUARD_SECONDS);
        plat::flush_events();
        app_hooks.clear();
        panels.clear();
        bars.clear();
        buttons.clear();
        use_widgets({});
        stl_input.clear();
        app_done = 0;
        MACIBM_startwind(WIN_MAIN);
        MACIBM_event_proc();
        app_hooks.clear();
    }
    void TearDown() override
    {
        alarm(0);
        use_widgets({});
        plat::flush_events();
    }
    // A press at a virtual point of the main screen, in window pixels (y down).
    static void push_press(float vx, float vy, bool down)
    {
        plat::push_button_event(static_cast<int>(vx), static_cast<int>(768 - vy), down);
    }
};

TEST_F(Frame, ContextChoiceAndDefaultState)
{
    EXPECT_EQ(mnw.alias_got, 0);
    EXPECT_FALSE(glIsEnabled(GL_MULTISAMPLE));
    const struct {
        GLenum name;
        GLint want;
    } settings[] = {
        {GL_UNPACK_ALIGNMENT, 1},
        {GL_PACK_ALIGNMENT, 1},
        {GL_ALPHA_TEST_FUNC, GL_GREATER},
        {GL_BLEND_SRC, GL_SRC_ALPHA},
        {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
        {GL_FOG_MODE, GL_LINEAR},
        {GL_FOG_HINT, GL_FASTEST},
        {GL_CULL_FACE_MODE, GL_BACK},
        {GL_SHADE_MODEL, GL_SMOOTH},
        {GL_COLOR_MATERIAL_FACE, GL_FRONT},
        {GL_COLOR_MATERIAL_PARAMETER, GL_AMBIENT_AND_DIFFUSE},
    };
    for (const auto& setting : settings) {
        GLint value = 0;
        glGetIntegerv(setting.name, &value);
        EXPECT_EQ(value, setting.want) << "setting 0x" << std::hex << setting.name;
    }
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(glIsEnabled(GL_DITHER));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    GLfloat ambient[4] = {1, 1, 1, 1};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_EQ(ambient[0] + ambient[1] + ambient[2] + ambient[3], 0.0f);
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    EXPECT_NE(std::string(version).find("Compatibility Profile"), std::string::npos) << version;

    // Four samples asked for above level 2: the server offers none or four, so level 2 wins.
    MACIBM_nuke_context(0);
    EXPECT_EQ(mnw.window[0], nullptr);
    mnw._alias_req = 4;
    ASSERT_EQ(MACIBM_make_context(0), 1);
    EXPECT_EQ(mnw.alias_got, 2);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(samples, 4);
    EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE));

    MACIBM_nuke_context(0);
    mnw._alias_req = 0;
    ASSERT_EQ(MACIBM_make_context(0), 1);
    EXPECT_EQ(mnw.alias_got, 0);
    shell_test::load_swatch_atlas();  // a new context holds no textures
}

TEST_F(Frame, TheWindowIsPlacedByTheScreenSize)
{
    int x, y, w, h;
    plat::window_geometry(mnw.window[0], &x, &y, &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    // The test server's screen is 1280x1024: room for a framed window 40 pixels down.
    EXPECT_EQ(g_mon_x_res_now, 1280);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 40);
    EXPECT_FALSE(plat::window_borderless(mnw.window[0]));
}

TEST_F(Frame, TheScreenDepthIsReadButNeverChanged)
{
    // The test server's 24-bit screen counts as 32 bits, as the Mac counted it.
    int w = 0, h = 0, depth = 0;
    ASSERT_TRUE(plat::desktop_mode(&w, &h, &depth));
    EXPECT_EQ(depth, 32);

    shell_test::scratch_folder t;
    shell_test::log_on_file log(t.file("Log.txt"));
    MACIBM_setres(1);
    EXPECT_EQ(log.text(), "") << "the depth asked for is the screen's";

    mnw._col_res_req = 16;
    MACIBM_setres(1);
    EXPECT_EQ(log.text(), "") << "a large screen keeps its depth unless allowed";
    mnw._set_res = 1;
    MACIBM_setres(1);
    mnw._set_res = 0;
    mnw._col_res_req = 32;
    EXPECT_EQ(log.text(), "Screen depth change to 16 bits not done.\n");
    EXPECT_EQ(mnw.col_res, 16) << "the current depth is the one asked for";
    ASSERT_TRUE(plat::desktop_mode(&w, &h, &depth));
    EXPECT_EQ(depth, 32);
    EXPECT_EQ(w, 1280);
    MACIBM_setres(1);
}

TEST_F(Frame, AnOperatingSystemEventEndsThePump)
{
    plat::push_key_event(SDL_SCANCODE_A, true, false, KMOD_NONE);
    SDL_Event lost{};
    lost.type = SDL_WINDOWEVENT;
    lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&lost);
    plat::push_key_event(SDL_SCANCODE_B, true, false, KMOD_NONE);
    MACIBM_event_proc();
    EXPECT_EQ(stl_input, "a");
    EXPECT_EQ(mnw.key_event, 1);
    MACIBM_event_proc();
    EXPECT_EQ(stl_input, "ab");
    MACIBM_event_proc();
    EXPECT_EQ(mnw.key_event, 0) << "lives one frame";
}

TEST_F(Frame, ClickTimingOnASteppedClock)
{
    FakeClock clock;
    clock.advance_seconds(1);
    MACIBM_event_proc();

    // Press and release within 0.25 s: a quick click on the release frame.
    push_press(300, 300, true);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.click, 1);
    EXPECT_EQ(mnw.held, 1);
    EXPECT_FLOAT_EQ(mnw.mouse_x, 300);
    EXPECT_FLOAT_EQ(mnw.mouse_y, 300);
    clock.advance_seconds(0.1);
    push_press(300, 300, false);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.mouse_up, 1);
    EXPECT_EQ(mnw.quick_click, 1);
    EXPECT_EQ(mnw.held, 0);

    // A second press within 0.25 s of the first: a double click.
    clock.advance_seconds(0.1);
    push_press(300, 300, true);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.dbl_click, 1);

    // Held past 0.25 s: held_long until the release frame, where it is 0.
    clock.advance_seconds(0.2);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.held_long, 0);
    clock.advance_seconds(0.2);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.held_long, 1);
    EXPECT_EQ(mnw.click, 0);
    clock.advance_seconds(0.5);
    push_press(300, 300, false);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.held_long, 0);
    EXPECT_EQ(mnw.quick_click, 0);

    // A slow second press is no double click, and any press drops the text focus.
    mnw.focus = 5;
    clock.advance_seconds(1);
    push_press(300, 300, true);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.dbl_click, 0);
    EXPECT_EQ(mnw.focus, -1);
    push_press(300, 300, false);
    MACIBM_event_proc();
}

TEST_F(Frame, IdleCursorHidesAndAMoveShowsIt)
{
    FakeClock clock;
    MACIBM_event_proc();
    mnw.last_act = xtim.elapsed;
    clock.advance_seconds(10.5);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.hide_cursor, 1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    // A press counts as activity.
    push_press(10, 10, true);
    push_press(10, 10, false);
    MACIBM_event_proc();
    MACIBM_event_proc();
    EXPECT_EQ(mnw.hide_cursor, 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(Frame, WheelStepsAreSummedUntilABoxOpens)
{
    plat::push_wheel_event(1, false);
    plat::push_wheel_event(1, false);
    plat::push_wheel_event(2, true);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.wheel, 0);
    plat::push_wheel_event(-3, false);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.wheel, -3);
    MACIBM_startwind(WIN_EULA);
    EXPECT_EQ(mnw.wheel, 0);
    MACIBM_startwind(WIN_MAIN);
}

TEST_F(Frame, AQuitRequestEndsTheMainLoopButNotABox)
{
    MACIBM_startwind(WIN_PREFS);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    MACIBM_event_proc();
    EXPECT_EQ(app_done, 0);
    MACIBM_startwind(WIN_MAIN);
    SDL_PushEvent(&quit);
    MACIBM_event_proc();
    EXPECT_EQ(app_done, 1);
    app_done = 0;
}

TEST_F(Frame, TheMainScreenHookRunsOnlyWithoutABox)
{
    MACIBM_event_proc();
    MACIBM_event_proc();
    EXPECT_EQ(app_hooks.updates, 2);
    MACIBM_startwind(WIN_EULA);
    MACIBM_event_proc();
    EXPECT_EQ(app_hooks.updates, 2);
    EXPECT_EQ(xtim.frame_flag, 0);
    MACIBM_startwind(WIN_MAIN);
}

// The application's own wait: how often it was asked, for how long, and what it answers.
int own_waits = 0, own_wait_ms = 0, own_wait_answer = 0;
int wait_on_own_work(int milliseconds)
{
    ++own_waits;
    own_wait_ms = milliseconds;
    // Something comes while it waits: the frame takes it without waiting again.
    plat::push_key_event(SDL_SCANCODE_W, true, false, KMOD_NONE);
    return own_wait_answer;
}

TEST_F(Frame, TheApplicationMaySpendTheFramesWaitOnItsOwnWork)
{
    shell_hooks hooks = shell_test::recording_hooks();
    hooks.app.wait = wait_on_own_work;
    shell_set_hooks(hooks);
    // (full processor preference, box open, the hook's answer) -> waits asked of it, key taken
    struct row {
        int max_cpu, box, answer, waits;
        const char* typed;
    } rows[] = {{0, 0, 1, 1, "w"}, {0, 0, 0, 1, "w"}, {0, 0, -1, 1, "w"}, {1, 0, 1, 0, ""}, {0, 1, 1, 0, ""}};
    for (const row& r : rows) {
        stg._use_max_cpu = r.max_cpu;
        mnw.box_open = r.box;
        own_waits = 0;
        own_wait_answer = r.answer;
        stl_input.clear();
        MACIBM_event_proc();
        EXPECT_EQ(own_waits, r.waits) << r.max_cpu << r.box << r.answer;
        EXPECT_EQ(stl_input, r.typed) << r.max_cpu << r.box << r.answer;
        if (r.waits > 0) {
            EXPECT_EQ(own_wait_ms, 17);
        }
    }
    stg._use_max_cpu = 0;
    mnw.box_open = 0;
    shell_set_hooks(shell_test::recording_hooks());
}

TEST_F(Frame, PulsingColoursFollowTheClock)
{
    FakeClock clock;
    MACIBM_event_proc();
    float before = xtim.elapsed;
    clock.advance_seconds(0.125);
    MACIBM_event_proc();
    float s = 0.7f + 0.3f * std::sin(20.0f * xtim.elapsed);
    EXPECT_NEAR(xtim.elapsed - before, 0.125f, 1e-3f);
    EXPECT_FLOAT_EQ(mnw.pulse, s);
    EXPECT_FLOAT_EQ(colr.col[75][1], s);
    EXPECT_FLOAT_EQ(colr.col[76][0], s);
    EXPECT_FLOAT_EQ(colr.col[76][1], 0.3f * s);
    EXPECT_FLOAT_EQ(colr.col[77][2], s);
    EXPECT_FLOAT_EQ(colr.col[78][1], 0.8f * s);
    EXPECT_FLOAT_EQ(colr.col[79][2], 0.2f * s);
}

TEST_F(Frame, TooltipSizeAndPlacement)
{
    use_widgets({.frame2 = record_frame2});
    FakeClock clock;
    std::string help;
    app_hooks.on_update = [&] { stls.help_line = help; };

    auto tooltip_after_idle = [&](const std::string& text) {
        help = text;
        panels.clear();
        MACIBM_event_proc();
        EXPECT_TRUE(panels.empty()) << "no tooltip before a second of stillness";
        clock.advance_seconds(1.5);
        MACIBM_event_proc();
        EXPECT_EQ(panels.size(), 1u);
        return panels.empty() ? drawn_panel{} : panels.back();
    };

    mnw.last_act = xtim.elapsed;
    drawn_panel small = tooltip_after_idle(std::string(249, 'h'));
    EXPECT_EQ(small.style, 14);
    EXPECT_FLOAT_EQ(small.height, 80);
    EXPECT_FLOAT_EQ(small.width, 420);
    // The mouse sits at the window's top-left pixel or wherever SDL last saw it; the panel
    // stays on the screen either way.
    EXPECT_GE(small.x, 0);
    EXPECT_LE(small.x, 604);

    mnw.last_act = xtim.elapsed;
    drawn_panel large = tooltip_after_idle(std::string(1400, 'h'));
    EXPECT_FLOAT_EQ(large.height, 320);
    mnw.last_act = xtim.elapsed;
    drawn_panel middle = tooltip_after_idle(std::string(250, 'h'));
    EXPECT_FLOAT_EQ(middle.height, 90);
    app_hooks.on_update = nullptr;
    stls.help_line.clear();
}

TEST_F(Frame, StartUpScreenBar)
{
    use_widgets({.frame1 = record_frame1, .frame2 = record_frame2});
    MACIBM_startwind(WIN_MAIN);

    float below = -1, above = 3, half = 0.5f;
    MACIBM_show_init("Loading", &below);
    MACIBM_show_init("Loading", &above);
    MACIBM_show_init("Loading", &half);
    ASSERT_EQ(bars.size(), 6u);
    float full = 1016 - 8;
    EXPECT_FLOAT_EQ(bars[0].width, full);
    EXPECT_EQ(bars[0].style, 4);
    EXPECT_EQ(bars[1].style, 5);
    EXPECT_FLOAT_EQ(bars[1].width, 0.02f * full);
    EXPECT_FLOAT_EQ(bars[3].width, full);
    EXPECT_FLOAT_EQ(bars[5].width, 0.5f * full);
    EXPECT_FLOAT_EQ(bars[5].x, 8 + 0.25f * full);
    EXPECT_FLOAT_EQ(bars[5].y, 15);
    ASSERT_EQ(panels.size(), 3u);
    EXPECT_EQ(panels[0].style, 15);
    EXPECT_FLOAT_EQ(panels[0].x, 10);
    EXPECT_FLOAT_EQ(panels[0].y, 31);

    // Without a fraction the bar is the call count in hundredths, at least 2 % and at most full:
    // this process makes no other such call, so the count starts at 0.
    bars.clear();
    for (int i = 0; i < 105; i++)
        MACIBM_show_init("Counting", nullptr);
    ASSERT_EQ(bars.size(), 210u);
    const float expected[] = {0.02f, 0.02f, 0.02f, 0.03f, 0.04f};
    for (int i = 0; i < 5; i++)
        EXPECT_NEAR(bars[2 * i + 1].width / full, expected[i], 1e-5f) << "call " << i;
    EXPECT_NEAR(bars[2 * 99 + 1].width / full, 0.99f, 1e-5f);
    EXPECT_FLOAT_EQ(bars[2 * 100 + 1].width, full);
    EXPECT_FLOAT_EQ(bars[2 * 104 + 1].width, full);
}

TEST_F(Frame, TheStartUpScreenWaitsForTheFirstWindow)
{
    use_widgets({.frame1 = record_frame1});
    plot_init_lights = 0;
    MACIBM_show_init("Too early", nullptr);
    EXPECT_TRUE(bars.empty());
    plot_init_lights = 1;
}

TEST_F(Frame, TheAlertBoxIsAnsweredByReturnAndReopensTheBackWindow)
{
    use_widgets({.fillwin = ignore_fillwin, .action = record_action});
    MACIBM_startwind(WIN_PREFS);
    mnw.mouse_x = 123;
    mnw.mouse_y = 45;
    stl_input = "typed";
    plat::push_key_event(SDL_SCANCODE_RETURN, true, false, KMOD_NONE);

    __MACIBM_alert(WIN_PREFS, "first", "second", "", "", ALERT_MESSAGE, "frame_test", 1);

    ASSERT_FALSE(buttons.empty());
    EXPECT_FLOAT_EQ(buttons[0].x, 200);
    EXPECT_FLOAT_EQ(buttons[0].y, 18);
    EXPECT_EQ(buttons[0].label, "OK");
    EXPECT_EQ(mnw.cur_win, WIN_PREFS);
    EXPECT_FLOAT_EQ(mnw.mouse_x, 123);
    EXPECT_FLOAT_EQ(mnw.mouse_y, 45);
    EXPECT_EQ(stl_input, "");
    EXPECT_EQ(return_hit, 0);
    EXPECT_EQ(app_hooks.updates, 0) << "the main screen stays hidden behind the box";
    MACIBM_startwind(WIN_MAIN);
}

TEST_F(Frame, TextureFailuresAreReportedOnceAndOnlyOnTheMainScreen)
{
    shell_test::scratch_folder t;
    shell_test::log_on_file log(t.file("Log.txt"));
    tman.scene_fail = 1;
    MACIBM_startwind(WIN_PREFS);
    MACIBM_event_proc();
    EXPECT_EQ(tman.scene_fail, 1) << "not while a box is open";
    MACIBM_startwind(WIN_MAIN);

    // The alert box opens inside the frame; the queued Return answers it.
    plat::push_key_event(SDL_SCANCODE_RETURN, true, false, KMOD_NONE);
    MACIBM_event_proc();
    EXPECT_EQ(tman.scene_fail, 2);
    EXPECT_EQ(log.text(),
              "Some scenery textures could not be loaded.\n"
              "This may be an installation problem or you may have a damaged add-on scenery package.\n"
              "Please see the log.txt file for a detailed list of missing files.\n"
              "\n"
              "(hl_mnw line 1055)\n");
    std::string once = log.text();
    MACIBM_event_proc();
    EXPECT_EQ(log.text(), once) << "muted after it was shown";
    EXPECT_EQ(mnw.cur_win, WIN_MAIN);
    tman.scene_fail = 0;
}

TEST_F(Frame, TheThreeAnswerBoxReturnsTheButtonPressed)
{
    // Box 996 (300 x 166) sits at (362, 301); "Keep" is centred 20 units plus half its width
    // from the box's left edge, 25 units up.
    MACIBM_startwind(WIN_MAIN);
    float keep_x = 362 + OGL_string_width("Keep") / 2.0f + 20;
    push_press(keep_x, 301 + 25, true);
    push_press(keep_x, 301 + 25, false);
    EXPECT_EQ(MACIBM_nuke_alert("Aircraft/c172.acf", 1), 2);
    EXPECT_EQ(mnw.cur_win, WIN_MAIN);

    float cancel_x = 362 + 300 - OGL_string_width("Cancel") / 2.0f - 20;
    push_press(cancel_x, 301 + 25, true);
    push_press(cancel_x, 301 + 25, false);
    EXPECT_EQ(MACIBM_nuke_alert("Aircraft/c172.acf", 1), 3);
}

TEST_F(Frame, TheAlertBoxIsDrawnCentredOverTheBackground)
{
    use_widgets({.action = reading_action});
    colr.assign(33, 0.2f, 0.4f, 0.6f);
    colr.assign(35, 0.8f, 0.6f, 0.4f);
    colr.assign(COLR_LIGHT_FACTOR, 1, 1, 1);
    __MACIBM_alert(0, "", "drawn", "", "", ALERT_MESSAGE, "frame_test", 2);
    // Background: palette 33; the box panel: palette 35 (the plain drawing).
    auto near = [](rgb a, int r, int g, int b) {
        return std::abs(a.r - r) <= 2 && std::abs(a.g - g) <= 2 && std::abs(a.b - b) <= 2;
    };
    EXPECT_TRUE(near(outside_box, 51, 102, 153)) << outside_box.r << " " << outside_box.g << " " << outside_box.b;
    EXPECT_TRUE(near(inside_box, 204, 153, 102)) << inside_box.r << " " << inside_box.g << " " << inside_box.b;
    EXPECT_EQ(mnw.cur_win, WIN_MAIN);
}

// Red of a pixel on the progress bar's row, read from the window's own surface.
int progress_red(int x)
{
    SDL_Window* w = nullptr;
    for (Uint32 id = 1; id < 64 && !w; id++) {
        SDL_Window* c = SDL_GetWindowFromID(id);
        if (c && std::string(SDL_GetWindowTitle(c)) == "Copying files")
            w = c;
    }
    if (!w)
        return -1;
    SDL_Surface* surface = SDL_GetWindowSurface(w);
    if (!surface || SDL_LockSurface(surface) != 0)
        return -1;
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + 220 * surface->pitch;
    Uint32 pixel = 0;
    std::memcpy(&pixel, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    SDL_UnlockSurface(surface);
    return r;
}

TEST_F(Frame, TheProgressWindowDrawsAValueActivityOrNoBar)
{
    // Red tells the fill (40) from the track (180) and from the bare window (236).
    float half = 0.5f;
    ShowProgressMessage("Copying files", &half);
    EXPECT_EQ(progress_red(100), 40);
    EXPECT_EQ(progress_red(400), 180);

    // Activity without a value: a block moves along the track, whatever the number is.
    float none = -1.0f;
    float not_a_number = std::nanf("");
    for (float* f : {&none, &not_a_number}) {
        int filled = 0;
        for (int call = 0; call < 60; call++) {
            ShowProgressMessage("Copying files", f);
            filled += progress_red(50) == 40;
            EXPECT_NE(progress_red(470), 236);
        }
        EXPECT_GT(filled, 0);
        EXPECT_LT(filled, 60);
    }

    ShowProgressMessage("Copying files", nullptr);
    EXPECT_EQ(progress_red(100), 236);
    plat::close_progress();
    EXPECT_EQ(progress_red(100), -1);
}

TEST_F(Frame, ARecordingTakesEachFrameAfterItsSwap)
{
    test::working_folder folder;
    FakeClock clock;
    qtim.fps = 20;
    qtim.movie_dx = 320;
    clock.step_every_read(100000);  // the start's one-second wait polls the clock
    qtim.mov_toggle();
    clock.step_every_read(0);
    ASSERT_EQ(qtim.recording, 1);
    for (int i = 0; i < 4; ++i) {
        clock.advance_microseconds(50100);  // a twentieth of a second, and a margin for the float clock
        MACIBM_event_proc();
    }
    EXPECT_EQ(qtim.frames, 4);
    qtim.mov_toggle();
    EXPECT_EQ(qtim.recording, 0);
    // The first frame also spans the start's wait.
    EXPECT_EQ(test::probe_movie(folder / "Veltrix movie take-1.mov").durations, std::vector<int>({60, 30, 30, 30}));
}

}
