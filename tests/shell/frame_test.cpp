// The window, its context and the frame procedure in a real SDL window under Xvfb: the pixel
// format choice and default state, the event pump, click timing and the idle cursor on a stepped
// clock, quit requests, the tooltip's layout, the start-up screen's bar, the alert boxes answered
// through the real event queue, the progress window and the movie recording.
#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "app_hook_recorder.h"
#include "core/alert.h"
#include "core/clock.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/stg.h"
#include "gfx/ogl_ext.h"
#include "gfx/qtim.h"
#include "gfx/text.h"
#include "gfx/tman.h"
#include "gfx/viewport.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/window.h"
#include "shell/alerts.h"
#include "shell/context.h"
#include "shell/event_proc.h"
#include "shell/hooks.h"
#include "shell/native_dialogs.h"
#include "shell/startup.h"
#include "shell/windows.h"
#include "support/fake_clock.h"
#include "support/log_capture.h"
#include "support/pin_gl_driver.h"
#include "support/temp_folder.h"

using shell_test::app_hooks;

namespace {

// What the widget hooks were asked to draw.
struct drawn {
    int style;
    float x, y, width, height;
};
std::vector<drawn> panels, bars;

void record_frame2(int style, float x, float y, float w, float h, std::string)
{
    panels.push_back({style, x, y, w, h});
}
void record_frame1(int style, float x, float y, float w, int)
{
    bars.push_back({style, x, y, w, 0});
}

// A modal box loops until the events a test queued answer it. One that draws this many frames
// unanswered was not expected, or lost its answer: the test ends at once, saying so, rather than
// sitting in the box until the suite's time runs out.
constexpr int UNANSWERED_BOX_FRAMES = 200;
int box_frames;
void (*plain_fillwin)(int, int);
void counting_fillwin(int style, int type)
{
    if (++box_frames > UNANSWERED_BOX_FRAMES) {
        fprintf(stderr, "FAIL: box %d drew %d frames without an answer\n", mnw.cur_win, box_frames);
        _exit(1);
    }
    plain_fillwin(style, type);
}

// The recording table with this widget drawing; a member left null draws the plain fallback.
void use_widgets(shell_widget_hooks widgets)
{
    shell_hooks hooks = shell_test::recording_hooks();
    if (!widgets.fillwin)
        widgets.fillwin = counting_fillwin;
    hooks.widgets = widgets;
    shell_set_hooks(hooks);
}

class Frame : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        shell_test::set_program_hooks();
        plain_fillwin = shell_get_hooks().widgets.fillwin;
        ASSERT_TRUE(plat::video_init());
        mnw._x_res_req = 1024;
        mnw._y_res_req = 768;
        mnw._col_res_req = 32;
        MACIBM_setres(1);
        ASSERT_EQ(MACIBM_make_context(0), 1);
        test::pin_gl_driver();
        OGL_pix_specs(0);
        glExt.init_extensions();
        ren.global_alpha = 1.0f;
        shell_test::load_swatch_atlas();
        ogl_inited = 1;
    }
    static void TearDownTestSuite()
    {
        MACIBM_nuke_context(0);
        plat::video_quit();
    }
    void SetUp() override
    {
        plat::flush_events();
        panels.clear();
        bars.clear();
        box_frames = 0;
        use_widgets({});
        // A test that stopped at a failed assertion may have left hooks on its own locals.
        app_hooks.clear();
        stls.help_line.clear();
        stl_input.clear();
        app_done = 0;
        MACIBM_startwind(WIN_MAIN);
        MACIBM_event_proc();
        app_hooks.clear();  // the tests count from here
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
    // clang-format off
    const std::pair<GLenum, GLint> settings[] = {
        {GL_UNPACK_ALIGNMENT, 1}, {GL_PACK_ALIGNMENT, 1}, {GL_ALPHA_TEST_FUNC, GL_GREATER},
        {GL_BLEND_SRC, GL_SRC_ALPHA}, {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA}, {GL_DEPTH_FUNC, GL_LEQUAL},
        {GL_DEPTH_WRITEMASK, GL_FALSE}, {GL_FOG_MODE, GL_LINEAR}, {GL_FOG_HINT, GL_FASTEST},
        {GL_FRONT_FACE, GL_CW}, {GL_CULL_FACE_MODE, GL_BACK}, {GL_SHADE_MODEL, GL_SMOOTH},
        {GL_COLOR_MATERIAL_FACE, GL_FRONT}, {GL_COLOR_MATERIAL_PARAMETER, GL_AMBIENT_AND_DIFFUSE},
        {GL_COLOR_MATERIAL, 1}, {GL_DITHER, 1}, {GL_CULL_FACE, 1}, {GL_STENCIL_TEST, 0}, {GL_MULTISAMPLE, 0}};
    // clang-format on
    for (auto [name, want] : settings) {
        GLint value = -1;
        glGetIntegerv(name, &value);
        EXPECT_EQ(value, want) << "setting 0x" << std::hex << name;
    }
    GLfloat ambient[4] = {1, 1, 1, 1};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_EQ(ambient[0] + ambient[1] + ambient[2] + ambient[3], 0.0f);
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    EXPECT_NE(std::string(version).find("Compatibility Profile"), std::string::npos) << version;

    // Four samples asked for above level 2: the server offers none or four, so level 2 wins.
    MACIBM_nuke_context(0);
    mnw._alias_req = 4;
    ASSERT_EQ(MACIBM_make_context(0), 1);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(std::tuple(mnw.alias_got, samples, glIsEnabled(GL_MULTISAMPLE)), std::tuple(2, 4, GLboolean(GL_TRUE)));

    MACIBM_nuke_context(0);
    mnw._alias_req = 0;
    ASSERT_EQ(MACIBM_make_context(0), 1);
    shell_test::load_swatch_atlas();  // a new context holds no textures
}

TEST_F(Frame, TheScreenDepthIsReadButNeverChanged)
{
    // The test server's 24-bit screen counts as 32 bits, as the Mac counted it.
    int w = 0, h = 0, depth = 0;
    test::log_capture log;
    for (auto [asked, allowed] : {std::pair{32, 0}, {16, 0}, {16, 1}}) {
        mnw._col_res_req = asked;
        mnw._set_res = allowed;
        MACIBM_setres(1);
        // The current depth is the one asked for; the screen's own stays.
        ASSERT_TRUE(plat::desktop_mode(&w, &h, &depth));
        EXPECT_EQ(std::tuple(mnw.col_res, w, depth), std::tuple(asked, 1280, 32)) << asked << " " << allowed;
    }
    mnw._set_res = 0;
    mnw._col_res_req = 32;
    MACIBM_setres(1);
    EXPECT_EQ(log.text(), "Screen depth change to 16 bits not done.\n") << "only where a large screen allows it";
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
    EXPECT_EQ(std::pair(stl_input, mnw.key_event), std::pair(std::string("a"), 1));
    MACIBM_event_proc();
    EXPECT_EQ(stl_input, "ab");
    MACIBM_event_proc();
    EXPECT_EQ(mnw.key_event, 0) << "lives one frame";
}

TEST_F(Frame, ClickTimingAndTheIdleCursorOnASteppedClock)
{
    FakeClock clock;
    clock.advance_seconds(1);
    MACIBM_event_proc();
    struct step {
        double advance;
        int press;  // 1 down, 0 up, -1 none
        int click, held, quick_click, dbl_click, held_long, hidden;
    };
    // Quick and double within 0.25 s of the press; held_long past it, until the release frame. The
    // cursor hides after ten seconds without activity, and a press shows it.
    // clang-format off
    const step steps[] = {
        {0, 1, 1, 1, 0, 0, 0, 0}, {0.1, 0, 0, 0, 1, 0, 0, 0}, {0.1, 1, 1, 1, 0, 1, 0, 0}, {0.2, -1, 0, 1, 0, 0, 0, 0},
        {0.2, -1, 0, 1, 0, 0, 1, 0}, {0.5, 0, 0, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 0, 0, 0},
        {10.5, -1, 0, 0, 0, 0, 0, 1}, {0, 1, 1, 1, 0, 0, 0, 0}};
    // clang-format on
    for (const step& s : steps) {
        clock.advance_seconds(s.advance);
        if (s.press >= 0)
            push_press(300, 300, s.press == 1);
        mnw.focus = 5;
        MACIBM_event_proc();
        EXPECT_EQ(std::tuple(mnw.click, mnw.held, mnw.quick_click, mnw.dbl_click, mnw.held_long, mnw.hide_cursor,
                             SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE),
                  std::tuple(s.click, s.held, s.quick_click, s.dbl_click, s.held_long, s.hidden, s.hidden == 1))
            << "after " << s.advance << " s, press " << s.press;
        EXPECT_EQ(mnw.focus, s.press == 1 ? -1 : 5) << "any press drops the text focus";
    }
}

TEST_F(Frame, ABoxKeepsTheMainScreenAndItsQuitRequestsToItself)
{
    SDL_Event quit{.type = SDL_QUIT};
    MACIBM_startwind(WIN_PREFS);
    SDL_PushEvent(&quit);
    MACIBM_event_proc();
    // The main screen's hook runs only without a box.
    EXPECT_EQ(std::tuple(app_done.load(), app_hooks.updates, xtim.frame_flag), std::tuple(0, 0, 0));

    MACIBM_startwind(WIN_MAIN);
    SDL_PushEvent(&quit);
    MACIBM_event_proc();
    EXPECT_EQ(std::pair(app_done.load(), app_hooks.updates), std::pair(1, 1));
    app_done = 0;
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
        own_waits = own_wait_ms = 0;
        own_wait_answer = r.answer;
        stl_input.clear();
        MACIBM_event_proc();
        EXPECT_EQ(std::tuple(own_waits, own_wait_ms, stl_input), std::tuple(r.waits, r.waits ? 17 : 0, r.typed))
            << r.max_cpu << r.box << r.answer;
    }
    stg._use_max_cpu = 0;
}

TEST_F(Frame, TooltipSizeAndPlacement)
{
    use_widgets({.frame2 = record_frame2});
    FakeClock clock;
    std::string help;
    app_hooks.on_update = [&] { stls.help_line = help; };
    // 50 bytes a step of 10 units over 20, at least 60 and at most 300, in a panel 20 taller.
    for (auto [length, height] : {std::pair{249, 80.0f}, {250, 90.0f}, {1400, 320.0f}}) {
        help = std::string(length, 'h');
        mnw.last_act = xtim.elapsed;
        panels.clear();
        MACIBM_event_proc();
        EXPECT_TRUE(panels.empty()) << "no tooltip before a second of stillness";
        clock.advance_seconds(1.5);
        MACIBM_event_proc();
        ASSERT_EQ(panels.size(), 1u);
        EXPECT_EQ(std::tuple(panels[0].style, panels[0].width, panels[0].height), std::tuple(14, 420.0f, height))
            << length;
        // The mouse sits wherever SDL last saw it; the panel stays on the screen either way.
        EXPECT_TRUE(panels[0].x >= 0 && panels[0].x <= 604) << panels[0].x;
    }
    app_hooks.on_update = nullptr;
    stls.help_line.clear();
}

TEST_F(Frame, StartUpScreenBar)
{
    use_widgets({.frame1 = record_frame1, .frame2 = record_frame2});
    plot_init_lights = 0;
    MACIBM_show_init("Too early", nullptr);
    EXPECT_TRUE(bars.empty()) << "the start-up screen waits for the first window";
    MACIBM_startwind(WIN_MAIN);

    float below = -1, above = 3, half = 0.5f;
    MACIBM_show_init("Loading", &below);
    MACIBM_show_init("Loading", &above);
    MACIBM_show_init("Loading", &half);
    ASSERT_EQ(bars.size(), 6u);
    const float full = 1016 - 8;
    // The track and the clamped fills; the half one centred on the track.
    for (auto [bar, width] : {std::pair{0, full}, {1, 0.02f * full}, {3, full}, {5, 0.5f * full}})
        EXPECT_FLOAT_EQ(bars[bar].width, width) << "bar " << bar;
    EXPECT_EQ(std::tuple(bars[0].style, bars[1].style, bars[5].x, bars[5].y), std::tuple(4, 5, 260.0f, 15.0f));
    ASSERT_EQ(panels.size(), 3u);
    EXPECT_EQ(std::tuple(panels[0].style, panels[0].x, panels[0].y), std::tuple(15, 10.0f, 31.0f));

    // Without a fraction the bar is the call count in hundredths, at least 2 % and at most full:
    // this process makes no other such call, so the count starts at 0.
    bars.clear();
    for (int i = 0; i < 105; i++)
        MACIBM_show_init("Counting", nullptr);
    ASSERT_EQ(bars.size(), 210u);
    for (auto [call, fraction] :
         {std::pair{0, 0.02f}, {2, 0.02f}, {3, 0.03f}, {4, 0.04f}, {99, 0.99f}, {100, 1.0f}, {104, 1.0f}})
        EXPECT_NEAR(bars[2 * call + 1].width / full, fraction, 1e-5f) << "call " << call;
}

TEST_F(Frame, TheAlertBoxIsAnsweredByReturnAndReopensTheBackWindow)
{
    MACIBM_startwind(WIN_PREFS);
    mnw.mouse_x = 123;
    mnw.mouse_y = 45;
    stl_input = "typed";
    plat::push_key_event(SDL_SCANCODE_RETURN, true, false, KMOD_NONE);

    __MACIBM_alert(WIN_PREFS, "first", "second", "", "", ALERT_MESSAGE, "frame_test", 1);

    // The window behind comes back as it was, less its text; the main screen stays hidden.
    EXPECT_EQ(std::tuple(mnw.cur_win, mnw.mouse_x, mnw.mouse_y, stl_input, return_hit, app_hooks.updates),
              std::tuple(WIN_PREFS, 123.0f, 45.0f, "", 0, 0));
}

TEST_F(Frame, TextureFailuresAreReportedOnceAndOnlyOnTheMainScreen)
{
    test::log_capture log;
    tman.scene_fail = 1;
    MACIBM_startwind(WIN_PREFS);
    MACIBM_event_proc();
    EXPECT_EQ(tman.scene_fail, 1) << "not while a box is open";
    MACIBM_startwind(WIN_MAIN);

    // The alert box opens inside the frame; the queued Return answers it.
    plat::push_key_event(SDL_SCANCODE_RETURN, true, false, KMOD_NONE);
    MACIBM_event_proc();
    EXPECT_EQ(tman.scene_fail, 2);
    const std::string once = log.text();
    EXPECT_EQ(once.substr(0, once.find('\n')), "Some scenery textures could not be loaded.");
    MACIBM_event_proc();
    EXPECT_EQ(std::pair(log.text(), mnw.cur_win), std::pair(once, int(WIN_MAIN))) << "muted after it was shown";
    tman.scene_fail = 0;
}

TEST_F(Frame, TheThreeAnswerBoxReturnsTheButtonPressed)
{
    // Box 996 (300 x 166) sits at (362, 301); "Keep" is centred 20 units plus half its width
    // from the box's left edge, "Cancel" as far from its right edge, both 25 units up.
    const float keep_x = 362 + OGL_string_width("Keep") / 2.0f + 20;
    const float cancel_x = 362 + 300 - OGL_string_width("Cancel") / 2.0f - 20;
    for (auto [x, answer] : {std::pair{keep_x, 2}, {cancel_x, 3}}) {
        push_press(x, 301 + 25, true);
        push_press(x, 301 + 25, false);
        EXPECT_EQ(MACIBM_nuke_alert("Aircraft/c172.acf", 1), answer);
        EXPECT_EQ(mnw.cur_win, WIN_MAIN);
    }
}

SDL_Window* progress_window()
{
    for (Uint32 id = 1; id < 64; id++)
        if (SDL_Window* w = SDL_GetWindowFromID(id); w && std::string(SDL_GetWindowTitle(w)) == "Copying files")
            return w;
    return nullptr;
}

// Red of a pixel on the progress bar's row, read from the window's own surface; -1 without it.
int progress_red(int x)
{
    SDL_Window* w = progress_window();
    SDL_Surface* surface = w ? SDL_GetWindowSurface(w) : nullptr;
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
    // A window of its own, 500 x 250, titled with the text. Red tells the fill (40) from the
    // track (180) and from the bare window (236).
    float half = 0.5f;
    ShowProgressMessage("Copying files", &half);
    EXPECT_EQ(std::pair(progress_red(100), progress_red(400)), std::pair(40, 180));
    int width = 0, height = 0;
    SDL_GetWindowSize(progress_window(), &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(500, 250));

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
    EXPECT_EQ(SDL_GL_GetCurrentContext(), mnw.context[0]) << "the main window draws on";
    plat::close_progress();
    EXPECT_EQ(progress_red(100), -1);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), mnw.context[0]);
}

TEST_F(Frame, ARecordingTakesEachFrame)
{
    test::working_folder folder;  // the movie is written where the program runs
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
}

}
