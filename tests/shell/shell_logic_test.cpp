// Keyboard translation, boxes and click dispatch, the application path, the screen-depth rule,
// the log header and the alert's system path: the shell's decisions without a window.
#include <gtest/gtest.h>

#include <tuple>

#include "app_hook_recorder.h"
#include "core/alert.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/mnw.h"
#include "platform/dialogs.h"
#include "platform/keymap.h"
#include "platform/system_facts.h"
#include "shell/alerts.h"
#include "shell/context.h"
#include "shell/hooks.h"
#include "shell/keys.h"
#include "shell/startup.h"
#include "shell/windows.h"
#include "support/file_bytes.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

using shell_test::app_hooks;

namespace {

void reset_screen()
{
    mnw = mnw_class{};
    mnw.x_res = 1024;
    mnw.y_res = 768;
    mnw.scale = 1.0f;
    mnw.cur_win = WIN_MAIN;
    mnw.open_menu = -1;
    mnw.focus = -1;
    stl_input.clear();
    return_hit = 0;
    app_hooks.clear();
    shell_set_hooks(shell_test::recording_hooks());
}

EventRecord key(int mac_code, int character, int modifiers = 0)
{
    EventRecord e;
    e.what = 3;
    e.message = static_cast<uint32_t>(character & 0xFF) | (static_cast<uint32_t>(mac_code) << 8);
    e.modifiers = static_cast<uint16_t>(modifiers);
    return e;
}

constexpr int NO_HOOK = -1;
constexpr int SHIFT = plat::MOD_SHIFT, CONTROL = plat::MOD_CONTROL, COMMAND = plat::MOD_COMMAND;

TEST(Keyboard, EachKeyTypesReachesTheHookAndMovesTheFocusAsItsKindSays)
{
    struct row {
        const char* before;
        int window, focus, code, character, modifiers;
        const char* after;
        int kind, value, return_hit, focus_after, window_after, key_code;
    };
    const int P = KEY_KIND_PLAIN, N = KEY_KIND_NAVIGATION, C = KEY_KIND_CONTROL, F = KEY_KIND_FUNCTION;
    const int M = WIN_MAIN;
    // clang-format off
    const row rows[] = {
        {"",   M, -1, 0x00, 'a', 0, "a", P, 'a', 0, -1, M, 'a'},
        {"a",  M, -1, 0x12, '!', SHIFT, "a!", P, '!', 0, -1, M, '!'},
        {"",   M, -1, 0x33, 8, 0, "", P, 8, 0, -1, M, 8},                      // delete on empty text
        {"ab", M, -1, 0x33, 8, 0, "a", P, 8, 0, -1, M, 8},
        {"a",  M, -1, 0x35, 27, 0, "a", P, 27, 0, -1, M, 27},                  // escape
        {"a",  M, -1, 0x75, 127, 0, "a", P, 127, 0, -1, M, 127},               // forward delete
        {"a",  M, -1, 0x73, 1, 0, "a", P, 1, 0, -1, M, 1},                     // home
        {"a",  M, -1, 0x4C, 3, 0, "a", P, 3, 0, -1, M, 3},                     // keypad enter
        {"a",  M, -1, 0x00, 'a', COMMAND, "a", P, -15, 0, -1, M, -15},
        {"",   M, -1, 0x24, 13, 0, "", P, 13, 1, -1, M, 13},                   // Return on the main screen
        {"k",  WIN_PREFS, -1, 0x24, 13, 0, "", NO_HOOK, 0, 0, -1, M, 0},       // Return closes a box
        {"",   M, -1, 0x60, 16, SHIFT, "", F, 66, 0, -1, M, 0},                // shift F5
        {"",   M, -1, 0x7A, 16, 0, "", F, 50, 0, -1, M, 0},                    // F1
        {"",   M, -1, 0x6F, 16, CONTROL, "", F, 61, 0, -1, M, 0},              // control F12
        {"",   M, -1, 0x00, 1, CONTROL, "a", C, 'a', 0, -1, M, 'a'},
        {"",   M, -1, 0x00, 1, CONTROL | SHIFT, "A", C, 'A', 0, -1, M, 'A'},
        {"",   M, -1, 0x1B, 31, CONTROL | SHIFT, "_", C, '_', 0, -1, M, '_'},
        {"",   M, 4, 0x30, 9, 0, "", N, 0x30 * 256, 0, -1, M, 9},              // tab
        {"",   M, 4, 0x7E, 30, SHIFT, "", N, KEY_CODE_SHIFT_UP, 0, -1, M, 30},
        {"",   M, -1, 0x7B, 28, 0, "", N, 0x7B * 256, 0, -1, M, 28},           // left
        {"",   M, -1, 0x53, '1', 0, "1", N, 0x53 * 256, 0, -1, M, '1'},        // keypad 1 moves and types
        {"",   M, -1, 0x59, '7', 0, "7", P, '7', 0, -1, M, '7'},               // keypad 7 only types
        {"",   M, 2, 0x00, 'a', 0, "a", NO_HOOK, 0, 0, 2, M, 'a'},             // a focused field takes it
        {"",   WIN_FILE_SAVE, -1, 0x0B, 'b', 0, "b", NO_HOOK, 0, 0, -1, WIN_FILE_SAVE, 'b'},
    };
    // clang-format on
    for (const row& r : rows) {
        reset_screen();
        MACIBM_startwind(r.window);
        stl_input = r.before;
        mnw.focus = r.focus;
        keys.handle_key(key(r.code, r.character, r.modifiers));
        using calls = decltype(app_hooks.keys);
        EXPECT_EQ(std::tuple(stl_input, app_hooks.keys, return_hit, mnw.focus, mnw.cur_win, mnw.key_code),
                  std::tuple(r.after, r.kind == NO_HOOK ? calls{} : calls{{r.kind, r.value}}, r.return_hit,
                             r.focus_after, r.window_after, static_cast<char>(r.key_code)))
            << "key " << r.code << " char " << r.character;
    }
}

TEST(Keyboard, AProgramWithoutAKeyHookStillTypes)
{
    reset_screen();
    shell_set_hooks({});
    keys.handle_key(key(0x00, 'a'));
    keys.handle_key(key(0x7A, 16));  // F1
    EXPECT_EQ(stl_input, "a");
}

TEST(KeysFileDeathTest, AMissingKeysFileIsFatal)
{
    keys_class k;
    k.keys_path = "/nonexistent/keys.txt";
    EXPECT_EXIT(k.init(), testing::ExitedWithCode(1), "Cannot open the keys file! /nonexistent/keys.txt");
}

TEST(Boxes, OpeningABoxCentresItOnWholePixelsAndForgetsThePress)
{
    struct row {
        int x_res, y_res, window;
        float off_x, off_y;
    };
    // A box 341 wide on a 640 screen: (640 - 341) / 2 rounds away from zero; one too tall keeps its
    // bottom on the screen.
    // clang-format off
    const row rows[] = {{1024, 768, WIN_EULA, 262, 234}, {1024, 768, WIN_NUKE_ALERT, 362, 301},
        {1024, 768, WIN_MAIN, 0, 0}, {640, 480, WIN_FILE_PROMPT, -30, 167}, {640, 480, WIN_FILE_OPEN, 150, 0}};
    // clang-format on
    for (const row& r : rows) {
        reset_screen();
        mnw.x_res = r.x_res;
        mnw.y_res = r.y_res;
        mnw.click = mnw.held = 1;
        mnw.wheel = 5;
        mnw.focus = 3;
        mnw.open_menu = 7;
        stl_input = "typed";
        plot_init_lights = 0;
        MACIBM_startwind(r.window);
        EXPECT_EQ(std::tuple(mnw.off_x, mnw.off_y, mnw.box_open),
                  std::tuple(r.off_x, r.off_y, int(r.window != WIN_MAIN)))
            << r.window;
        EXPECT_EQ(std::tuple(mnw.click, mnw.held, mnw.wheel, mnw.focus, mnw.open_menu, stl_input, plot_init_lights),
                  std::tuple(0, 0, 0, -1, -1, "", 1));
    }
    MACIBM_startwind(WIN_EULA);
    EXPECT_EQ(stls.win_title, "EULA");
}

TEST(Boxes, CloseCornersIncludingTheirBoundaries)
{
    struct press {
        int window;
        float x, y;
        bool closes;
    };
    const press presses[] = {
        {WIN_EULA, 0, 280, true},      {WIN_EULA, 25, 280, true},     {WIN_EULA, 25.5f, 280, false},
        {WIN_EULA, 475, 300, true},    {WIN_EULA, 500, 300, true},    {WIN_EULA, 474.5f, 290, false},
        {WIN_EULA, 10, 279.5f, false}, {WIN_EULA, 10, 300.5f, false}, {WIN_EULA, 250, 150, false},
        {WIN_ALERT, 5, 225, false},  // the alert's corners are no close boxes
    };
    for (const press& p : presses) {
        reset_screen();
        MACIBM_startwind(p.window);
        mnw.mouse_x = p.x;
        mnw.mouse_y = p.y;
        mnw.click = 1;
        MACIBM_handleclick(0);
        EXPECT_EQ(std::pair(mnw.cur_win == WIN_MAIN, mnw.click), std::pair(p.closes, p.closes ? 0 : 1))
            << p.x << ", " << p.y;
    }
}

TEST(ApplicationPath, FolderOfTheExecutable)
{
    // clang-format off
    const std::pair<const char*, const char*> paths[] = {
        {"/home/p/Games/Installer.app/Contents/MacOS/Installer", "/home/p/Games/"},
        {"/opt/x/inst", "/opt/x/"}, {"/opt/x/", "/opt/"}, {"/a", ""}, {"noslash", ""}};
    // clang-format on
    for (auto [executable, folder] : paths)
        EXPECT_EQ(app_folder_of(executable), folder) << executable;
}

TEST(ScreenDepth, OnlyASmallScreenOrAnAllowedOneChangesDepthAndLeavingRestoresIt)
{
    struct step {
        int entering;
        screen_mode now;
        int set_res, target;
    };
    // Each run enters and leaves with the memory of its own start.
    const std::vector<std::vector<step>> runs = {
        {{1, {800, 600, 16}, 0, 32}, {0, {800, 600, 32}, 0, 16}},
        {{1, {1280, 700, 16}, 0, 32}},  // short, though wide
        {{1, {1280, 1024, 16}, 0, 0}, {0, {1280, 1024, 16}, 0, 0}},
        {{1, {1280, 1024, 16}, 1, 32}, {0, {1280, 1024, 32}, 1, 16}},
        {{1, {1024, 768, 32}, 1, 0}},
    };
    for (const auto& run : runs) {
        setres_memory memory;
        for (const step& s : run)
            EXPECT_EQ(setres_decide(s.entering, s.now, s.set_res, 32, &memory), s.target)
                << s.now.width << "x" << s.now.height << "x" << s.now.depth << " entering " << s.entering;
    }
}

TEST(LogHeader, MachineFactsReadFromTheSystemsTextsOrUnknown)
{
    test::log_capture log;
    plat::set_machine_facts([] {
        plat::machine_facts f;
        plat::parse_release("6.1.0-18-amd64", &f);
        // The first "cpu MHz" line of the processor table counts.
        f.cpu_mhz = plat::parse_cpu_mhz("processor\t: 0\ncpu MHz\t\t: 2400.204\ncpu MHz : 1000\n");
        f.ram_mb = 16000;
        return f;
    });
    app_path.clear();
    g_case_sensitive = 1;
    write_log_header();
    plat::set_machine_facts(nullptr);
    // The end-to-end run finds the real system's line eighth in the log.
    const std::string first =
        "log.txt for Veltrix 8.50 Beta 8 - Installer/Updater build 85008 compiled on Aug 20 2006 22:25:43\n";
    const std::string facts = "start ANY of our applications.\n\nMac OS X 6.1.0\n"
                              "CPU type: ? CPU speed (mhz): 2400 Bus speed (mhz): ?  RAM (MB): 16000\n"
                              "Veltrix Suite folder=  case sensitive=1\n";
    EXPECT_EQ(log.text().substr(0, first.size()), first);
    EXPECT_EQ(log.text().substr(log.text().size() - facts.size()), facts);
    plat::machine_facts g;
    plat::parse_release("5.15", &g);
    EXPECT_EQ(
        std::tuple(g.os_major, g.os_minor, g.os_patch.has_value(), plat::parse_cpu_mhz("BogoMIPS : 50\n").has_value()),
        std::tuple(5, 15, false, false));
}

// The system box as a line on stderr, for the death tests to match.
void box_on_stderr()
{
    plat::set_message_box([](const plat::message_box_request& r) {
        fprintf(stderr, "BOX[%s][%s]\n", r.message.c_str(), r.explanation.c_str());
        return plat::MESSAGE_BOX_DEFAULT;
    });
}

class SystemAlert : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell_test::set_program_hooks();
        ogl_inited = 0;
    }
    void TearDown() override
    {
        plat::set_message_box(nullptr);
        core_set_hooks({});
    }
    test::temp_folder t;
    const std::string log_path = t / "Log.txt";
};

TEST_F(SystemAlert, BeforeOpenGlTheSystemBoxShowsUnderItEmptyLinesShowNothingBothAreLogged)
{
    std::vector<plat::message_box_request> shown;
    plat::set_message_box([&](const plat::message_box_request& r) {
        shown.push_back(r);
        return plat::MESSAGE_BOX_DEFAULT;
    });
    test::log_capture log;
    __MACIBM_alert(0, "one", "two", "three", "", ALERT_MESSAGE, "unit_file", 42);
    ogl_inited = 1;
    __MACIBM_alert(0, "", "", "", "", ALERT_MESSAGE, "quiet", -3);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message + "|" + shown[0].explanation, "one two|three ");
    EXPECT_EQ(log.text(), "one\ntwo\nthree\n\n(unit_file line 42)\n\n\n\n\n(quiet line -3)\n");
}

// A widget of the alert box that raises an alert itself.
int alerting_action(float, float, float, int, int, std::string)
{
    __MACIBM_alert(0, "inner", "alert", "", "", ALERT_MESSAGE, "inner_file", 2);
    return 0;
}

TEST_F(SystemAlert, AnAlertInsideAnAlertUsesTheSystemBoxAndEndsTheProgram)
{
    EXPECT_EXIT(
        {
            box_on_stderr();
            shell_hooks hooks = shell_test::recording_hooks();
            hooks.widgets.action = alerting_action;
            shell_set_hooks(hooks);
            ogl_inited = 1;
            xer.open(log_path, std::ios::out | std::ios::trunc);
            __MACIBM_alert(0, "outer", "alert", "", "", ALERT_MESSAGE, "outer_file", 1);
        },
        testing::ExitedWithCode(1), "BOX\\[inner alert\\]\\[ \\]");
    EXPECT_EQ(test::read_file(log_path), "inner\nalert\n\n\n(inner_file line 2)\n");
}

TEST_F(SystemAlert, AnOpenGlLibraryThatCannotBeLoadedIsFatal)
{
    EXPECT_EXIT(
        {
            box_on_stderr();
            xer.open(log_path, std::ios::out | std::ios::trunc);
            check_entry_points(-1);
        },
        testing::ExitedWithCode(1), "BOX\\[Could not open OpenGL framework \\]\\[Error=-1\\.000000 \\]");
    EXPECT_EQ(test::read_file(log_path), "Could not open OpenGL framework\n\nError=-1.000000\n\n(hl_init line 465)\n");
}

}
