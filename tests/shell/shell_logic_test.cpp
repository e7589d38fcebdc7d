// Keyboard translation, boxes and click dispatch, the application path, the screen-depth rule,
// the log header and the alert's system path: the shell's decisions without a window.
#include <gtest/gtest.h>

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
#include "shell_test_support.h"

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

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override { reset_screen(); }
};

TEST_F(Keyboard, PrintableKeysTypeAndReachTheHook)
{
    keys.handle_key(key(0x00, 'a'));
    keys.handle_key(key(0x0B, 'B', plat::MOD_SHIFT));
    keys.handle_key(key(0x31, ' '));
    keys.handle_key(key(0x12, '!', plat::MOD_SHIFT));
    EXPECT_EQ(stl_input, "aB !");
    EXPECT_EQ(mnw.key_code, '!');
    ASSERT_EQ(app_hooks.keys.size(), 4u);
    EXPECT_EQ(app_hooks.keys[0], std::make_pair(KEY_KIND_PLAIN, int('a')));
}

TEST_F(Keyboard, DeleteErasesAndControlCodesNeverType)
{
    keys.handle_key(key(0x33, 8));
    EXPECT_EQ(stl_input, "") << "delete on empty text";
    stl_input = "ab";
    keys.handle_key(key(0x33, 8));
    EXPECT_EQ(stl_input, "a");
    keys.handle_key(key(0x35, 27));   // escape
    keys.handle_key(key(0x75, 127));  // forward delete
    keys.handle_key(key(0x73, 1));    // home
    keys.handle_key(key(0x4C, 3));    // keypad enter
    keys.handle_key(key(0x00, 'a', plat::MOD_COMMAND));
    EXPECT_EQ(stl_input, "a");
    EXPECT_EQ(app_hooks.keys.back(), std::make_pair(KEY_KIND_PLAIN, -15)) << "command key";
}

TEST_F(Keyboard, ReturnOnTheMainScreenAndInABox)
{
    keys.handle_key(key(0x24, 13));
    EXPECT_EQ(return_hit, 1);
    EXPECT_EQ(stl_input, "");
    ASSERT_EQ(app_hooks.keys.size(), 1u);
    EXPECT_EQ(app_hooks.keys[0], std::make_pair(KEY_KIND_PLAIN, 13));

    // In the preferences box Return is a forced close: back to the main screen, nothing typed.
    reset_screen();
    MACIBM_startwind(WIN_PREFS);
    stl_input = "kept?";
    keys.handle_key(key(0x24, 13));
    EXPECT_EQ(mnw.cur_win, WIN_MAIN);
    EXPECT_EQ(stl_input, "");
    EXPECT_EQ(return_hit, 0);
    EXPECT_TRUE(app_hooks.keys.empty());
}

TEST_F(Keyboard, FunctionKeysOnlyReachTheHook)
{
    keys.handle_key(key(0x60, 16, plat::MOD_SHIFT));    // shift F5
    keys.handle_key(key(0x7A, 16));                     // F1
    keys.handle_key(key(0x6F, 16, plat::MOD_CONTROL));  // control F12
    ASSERT_EQ(app_hooks.keys.size(), 3u);
    EXPECT_EQ(app_hooks.keys[0], std::make_pair(KEY_KIND_FUNCTION, 66));
    EXPECT_EQ(app_hooks.keys[1], std::make_pair(KEY_KIND_FUNCTION, 50));
    EXPECT_EQ(app_hooks.keys[2], std::make_pair(KEY_KIND_FUNCTION, 61));
    EXPECT_EQ(stl_input, "");
    EXPECT_EQ(mnw.key_code, 0);
}

TEST_F(Keyboard, ControlRebuildsLetters)
{
    keys.handle_key(key(0x00, 1, plat::MOD_CONTROL));
    keys.handle_key(key(0x00, 1, plat::MOD_CONTROL | plat::MOD_SHIFT));
    keys.handle_key(key(0x1B, 31, plat::MOD_CONTROL | plat::MOD_SHIFT));
    EXPECT_EQ(stl_input, "aA_");
    EXPECT_EQ(app_hooks.keys[0], std::make_pair(KEY_KIND_CONTROL, int('a')));
}

TEST_F(Keyboard, NavigationKeysDropTheFocusAndTypeNothing)
{
    mnw.focus = 4;
    keys.handle_key(key(0x30, 9));  // tab
    EXPECT_EQ(mnw.focus, -1);
    keys.handle_key(key(0x7E, 30, plat::MOD_SHIFT));  // shift up
    keys.handle_key(key(0x7B, 28));                   // left
    EXPECT_EQ(stl_input, "");
    ASSERT_EQ(app_hooks.keys.size(), 3u);
    EXPECT_EQ(app_hooks.keys[0], std::make_pair(KEY_KIND_NAVIGATION, 0x30 * 256));
    EXPECT_EQ(app_hooks.keys[1], std::make_pair(KEY_KIND_NAVIGATION, KEY_CODE_SHIFT_UP));
    EXPECT_EQ(app_hooks.keys[2], std::make_pair(KEY_KIND_NAVIGATION, 0x7B * 256));
}

TEST_F(Keyboard, KeypadDigitsTypeAndSomeNavigate)
{
    keys.handle_key(key(0x53, '1'));  // keypad 1: navigation, still typed
    keys.handle_key(key(0x59, '7'));  // keypad 7: plain
    EXPECT_EQ(stl_input, "17");
    EXPECT_EQ(app_hooks.keys[0], std::make_pair(KEY_KIND_NAVIGATION, 0x53 * 256));
    EXPECT_EQ(app_hooks.keys[1], std::make_pair(KEY_KIND_PLAIN, int('7')));
}

TEST_F(Keyboard, AFocusedFieldOrTheFileBoxKeepsKeysFromTheHook)
{
    mnw.focus = 2;
    keys.handle_key(key(0x00, 'a'));
    mnw.focus = -1;
    mnw.cur_win = WIN_FILE_SAVE;
    keys.handle_key(key(0x0B, 'b'));
    EXPECT_EQ(stl_input, "ab");
    EXPECT_TRUE(app_hooks.keys.empty());
}

TEST(KeysFileDeathTest, AMissingKeysFileIsFatal)
{
    keys_class k;
    k.keys_path = "/nonexistent/keys.txt";
    EXPECT_EXIT(k.init(), testing::ExitedWithCode(1), "Cannot open the keys file! /nonexistent/keys.txt");
}

class Boxes : public ::testing::Test {
protected:
    void SetUp() override { reset_screen(); }
    void TearDown() override { shell_set_hooks(shell_test::recording_hooks()); }
};

TEST_F(Boxes, OpeningABoxCentresItAndForgetsThePress)
{
    stls[602] = "";
    mnw.click = mnw.held = 1;
    mnw.wheel = 5;
    mnw.focus = 3;
    mnw.open_menu = 7;
    stl_input = "typed";
    MACIBM_startwind(WIN_EULA);
    EXPECT_EQ(mnw.box_open, 1);
    EXPECT_EQ(mnw.off_x, 262);
    EXPECT_EQ(mnw.off_y, 234);
    EXPECT_EQ(stls.win_title, "EULA");
    EXPECT_EQ(mnw.click + mnw.held + mnw.wheel, 0);
    EXPECT_EQ(mnw.focus, -1);
    EXPECT_EQ(mnw.open_menu, -1);
    EXPECT_EQ(stl_input, "");
    EXPECT_EQ(plot_init_lights, 1);

    MACIBM_startwind(WIN_NUKE_ALERT);  // 300 x 166: (362, 301)
    EXPECT_EQ(mnw.off_x, 362);
    EXPECT_EQ(mnw.off_y, 301);

    MACIBM_startwind(WIN_MAIN);
    EXPECT_EQ(mnw.box_open, 0);
    EXPECT_EQ(mnw.box_w, 1024);
    EXPECT_EQ(mnw.off_x, 0);
}

TEST_F(Boxes, ABoxLargerThanTheScreen)
{
    mnw.x_res = 640;
    mnw.y_res = 480;
    MACIBM_startwind(WIN_FILE_PROMPT);  // 700 x 146
    EXPECT_EQ(mnw.off_x, -30);
    MACIBM_startwind(WIN_FILE_OPEN);  // 341 x 484
    EXPECT_EQ(mnw.off_y, 0) << "a box taller than the screen keeps its bottom on it";
    // Halves round away from zero: (640 - 341) / 2 = 149.5.
    EXPECT_EQ(mnw.off_x, 150);
}

TEST_F(Boxes, CloseCornersIncludingTheirBoundaries)
{
    struct press {
        float x, y;
        bool closes;
    };
    const press presses[] = {
        {0, 280, true},       {25, 280, true},     {25.5f, 280, false}, {475, 300, true},  {500, 300, true},
        {474.5f, 290, false}, {10, 279.5f, false}, {10, 300.5f, false}, {250, 150, false},
    };
    for (const press& p : presses) {
        MACIBM_startwind(WIN_EULA);
        mnw.mouse_x = p.x;
        mnw.mouse_y = p.y;
        mnw.click = 1;
        MACIBM_handleclick(0);
        EXPECT_EQ(mnw.cur_win == WIN_MAIN, p.closes) << p.x << ", " << p.y;
        EXPECT_EQ(mnw.click, p.closes ? 0 : 1);
    }
    // The alert's corners are no close boxes.
    MACIBM_startwind(WIN_ALERT);
    mnw.mouse_x = 5;
    mnw.mouse_y = 225;
    MACIBM_handleclick(0);
    EXPECT_EQ(mnw.cur_win, WIN_ALERT);
}

// A menu bar of two titles for the dispatch: title 3 at x 0..40, title 4 at x 50..90 (y 748..768),
// and menu 3 with one item of code 77 at (0..80, 700..720).
int menu_title_at()
{
    if (mnw.mouse_y < 748 || mnw.mouse_y > 768)
        return -1;
    if (mnw.mouse_x >= 0 && mnw.mouse_x <= 40)
        return 3;
    if (mnw.mouse_x >= 50 && mnw.mouse_x <= 90)
        return 4;
    return -1;
}

int menu_pick(int menu, int* code)
{
    if (menu == 3 && mnw.mouse_x <= 80 && mnw.mouse_y >= 700 && mnw.mouse_y <= 720) {
        *code = 77;
        return MENU_PICK_ITEM;
    }
    return MENU_PICK_NONE;
}

TEST_F(Boxes, PressesOpenSwitchPickAndPassThroughMenus)
{
    shell_hooks hooks = shell_test::recording_hooks();
    hooks.menus.title_at = menu_title_at;
    hooks.menus.pick_item = menu_pick;
    shell_set_hooks(hooks);

    auto press = [](float x, float y) {
        mnw.mouse_x = x;
        mnw.mouse_y = y;
        mnw.click = 1;
        MACIBM_handleclick(0);
    };
    press(20, 760);
    EXPECT_EQ(mnw.open_menu, 3);
    EXPECT_EQ(mnw.click, 0);
    press(60, 760);
    EXPECT_EQ(mnw.open_menu, 4) << "switches";
    press(60, 760);
    EXPECT_EQ(mnw.open_menu, -1) << "the open title closes";
    EXPECT_EQ(mnw.click, 0);

    press(20, 760);
    press(40, 710);
    EXPECT_EQ(app_hooks.menus, std::vector<int>{77});
    EXPECT_EQ(mnw.open_menu, -1);
    EXPECT_EQ(mnw.click, 0);

    press(20, 760);
    press(500, 300);
    EXPECT_EQ(mnw.open_menu, -1);
    EXPECT_EQ(mnw.click, 1) << "a press beside the menu still reaches the widget under it";

    // A program that fills no application hook: a pick still closes the menu, keys still type.
    hooks.app = {};
    shell_set_hooks(hooks);
    press(20, 760);
    press(40, 710);
    EXPECT_EQ(mnw.open_menu, -1);
    EXPECT_EQ(mnw.click, 0);
    keys.handle_key(key(0x00, 'a'));
    keys.handle_key(key(0x7A, 16));  // F1
    EXPECT_EQ(stl_input, "a");
    EXPECT_EQ(app_hooks.menus, std::vector<int>{77});
    EXPECT_TRUE(app_hooks.keys.empty());
}

TEST(ApplicationPath, FolderOfTheExecutable)
{
    EXPECT_EQ(app_folder_of("/home/p/Games/Installer.app/Contents/MacOS/Installer"), "/home/p/Games/");
    EXPECT_EQ(app_folder_of("/opt/x/inst"), "/opt/x/");
    EXPECT_EQ(app_folder_of("/opt/x/"), "/opt/");
    EXPECT_EQ(app_folder_of("/a"), "");
    EXPECT_EQ(app_folder_of("ab"), "");
    EXPECT_EQ(app_folder_of("noslash"), "");

    std::string own;
    int flag = 0;
    shell_app_path(&own, &flag);
    EXPECT_EQ(flag, 1);
    std::string exe = plat::executable_path();
    EXPECT_EQ(own, exe.substr(0, exe.rfind('/') + 1));
}

TEST(ScreenDepth, ChangesOnlyTheDepthWhenAllowed)
{
    setres_memory small;
    EXPECT_EQ(setres_decide(1, {800, 600, 16}, 0, 32, &small), 32);
    EXPECT_EQ(setres_decide(0, {800, 600, 32}, 0, 32, &small), 16);

    setres_memory large;
    EXPECT_EQ(setres_decide(1, {1280, 1024, 16}, 0, 32, &large), 0);
    EXPECT_EQ(setres_decide(0, {1280, 1024, 16}, 0, 32, &large), 0);
    setres_memory large_allowed;
    EXPECT_EQ(setres_decide(1, {1280, 1024, 16}, 1, 32, &large_allowed), 32);
    EXPECT_EQ(setres_decide(0, {1280, 1024, 32}, 1, 32, &large_allowed), 16);

    setres_memory same;
    EXPECT_EQ(setres_decide(1, {1024, 768, 32}, 1, 32, &same), 0);
}

TEST(LogHeader, MachineFactsAndUnknownFacts)
{
    shell_test::scratch_folder t;
    {
        shell_test::log_on_file log(t.file("Log.txt"));
        plat::set_machine_facts([] {
            plat::machine_facts f;
            f.os_major = 6;
            f.os_minor = 1;
            f.os_patch = 0;
            f.cpu_mhz = 2400;
            f.ram_mb = 16000;
            return f;
        });
        app_path.clear();
        g_case_sensitive = 1;
        write_log_header();
        plat::set_machine_facts(nullptr);
        EXPECT_EQ(log.text(),
                  "log.txt for Veltrix 8.50 Beta 8 - Installer/Updater build 85008 compiled on Aug 20 2006 22:25:43\n"
                  "This log file is generated automatically by Halcyra Works applications\n"
                  "and contains diagnostics about your graphics hardware, installatoin, and\n"
                  "any error conditions.  If you need to contact tech support or file a bug,\n"
                  "please send us this file.  NOTE: this file is rewritten every time you\n"
                  "start ANY of our applications.\n\n"
                  "Mac OS X 6.1.0\n"
                  "CPU type: ? CPU speed (mhz): 2400 Bus speed (mhz): ?  RAM (MB): 16000\n"
                  "Veltrix Suite folder=  case sensitive=1\n");
    }
    plat::machine_facts real = plat::machine_description();
    EXPECT_TRUE(real.os_major.has_value());
    EXPECT_TRUE(real.ram_mb.has_value());
    EXPECT_FALSE(real.cpu_type.has_value());
    // The speed is the first "cpu MHz" of the processor table, or unknown where it has none.
    EXPECT_EQ(real.cpu_mhz, plat::parse_cpu_mhz(shell_test::read_file("/proc/cpuinfo")));
    EXPECT_EQ(real.ram_mb,
              static_cast<int>(static_cast<long long>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE) >> 20));
}

TEST(MachineFacts, ReleaseAndProcessorText)
{
    plat::machine_facts f;
    plat::parse_release("6.1.0-18-amd64", &f);
    EXPECT_EQ(f.os_major, 6);
    EXPECT_EQ(f.os_minor, 1);
    EXPECT_EQ(f.os_patch, 0);
    plat::machine_facts g;
    plat::parse_release("5.15", &g);
    EXPECT_EQ(g.os_minor, 15);
    EXPECT_FALSE(g.os_patch.has_value());
    EXPECT_EQ(plat::parse_cpu_mhz("processor\t: 0\ncpu MHz\t\t: 2893.204\ncpu MHz : 1000\n"), 2893);
    EXPECT_FALSE(plat::parse_cpu_mhz("processor\t: 0\nBogoMIPS : 50.00\n").has_value());
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
    shell_test::scratch_folder t;
};

TEST_F(SystemAlert, AMessageBeforeOpenGlShowsTheSystemBoxLogsAndReturns)
{
    std::vector<plat::message_box_request> shown;
    plat::set_message_box([&](const plat::message_box_request& r) {
        shown.push_back(r);
        return plat::MESSAGE_BOX_DEFAULT;
    });
    shell_test::log_on_file log(t.file("Log.txt"));
    __MACIBM_alert(0, "one", "two", "three", "", ALERT_MESSAGE, "unit_file", 42);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, "one two");
    EXPECT_EQ(shown[0].explanation, "three ");
    EXPECT_EQ(log.text(), "one\ntwo\nthree\n\n(unit_file line 42)\n");
}

TEST_F(SystemAlert, EmptyLinesUnderOpenGlShowNothingButAreLogged)
{
    int boxes = 0;
    plat::set_message_box([&](const plat::message_box_request&) {
        boxes++;
        return plat::MESSAGE_BOX_DEFAULT;
    });
    ogl_inited = 1;
    shell_test::log_on_file log(t.file("Log.txt"));
    __MACIBM_alert(0, "", "", "", "", ALERT_MESSAGE, "quiet", -3);
    EXPECT_EQ(boxes, 0);
    EXPECT_EQ(log.text(), "\n\n\n\n(quiet line -3)\n");
}

// A widget of the alert box that raises an alert itself.
int alerting_action(float, float, float, int, int, std::string)
{
    __MACIBM_alert(0, "inner", "alert", "", "", ALERT_MESSAGE, "inner_file", 2);
    return 0;
}

TEST_F(SystemAlert, AnAlertInsideAnAlertUsesTheSystemBoxAndEndsTheProgram)
{
    std::string log_path = t.file("Log.txt");
    EXPECT_EXIT(
        {
            plat::set_message_box([](const plat::message_box_request& r) {
                fprintf(stderr, "BOX[%s]\n", r.message.c_str());
                return plat::MESSAGE_BOX_DEFAULT;
            });
            shell_hooks hooks = shell_test::recording_hooks();
            hooks.widgets.action = alerting_action;
            shell_set_hooks(hooks);
            ogl_inited = 1;
            xer.open(log_path, std::ios::out | std::ios::trunc);
            __MACIBM_alert(0, "outer", "alert", "", "", ALERT_MESSAGE, "outer_file", 1);
        },
        testing::ExitedWithCode(1), "BOX\\[inner alert\\]");
    EXPECT_EQ(shell_test::read_file(log_path), "inner\nalert\n\n\n(inner_file line 2)\n");
}

TEST_F(SystemAlert, AFatalAlertBeforeTheWindowEndsWithStatusOne)
{
    std::string log_path = t.file("Log.txt");
    EXPECT_EXIT(
        {
            plat::set_message_box([](const plat::message_box_request& r) {
                fprintf(stderr, "BOX[%s][%s]\n", r.message.c_str(), r.explanation.c_str());
                return plat::MESSAGE_BOX_DEFAULT;
            });
            xer.open(log_path, std::ios::out | std::ios::trunc);
            __MACIBM_alert(0, "Line one", "line two", "line three", "line four", ALERT_FATAL, "hl_init", 1198);
        },
        testing::ExitedWithCode(1), "BOX\\[Line one line two\\]\\[line three line four\\]");
    EXPECT_EQ(shell_test::read_file(log_path), "Line one\nline two\nline three\nline four\n(hl_init line 1198)\n");
}

TEST_F(SystemAlert, AnOpenGlLibraryThatCannotBeLoadedIsFatal)
{
    std::string log_path = t.file("Log.txt");
    {
        shell_test::log_on_file log(log_path);
        check_entry_points(0);
        EXPECT_EQ(log.text(), "") << "a loaded library raises nothing";
    }
    EXPECT_EXIT(
        {
            plat::set_message_box([](const plat::message_box_request& r) {
                fprintf(stderr, "BOX[%s][%s]\n", r.message.c_str(), r.explanation.c_str());
                return plat::MESSAGE_BOX_DEFAULT;
            });
            xer.open(log_path, std::ios::out | std::ios::trunc);
            check_entry_points(-1);
        },
        testing::ExitedWithCode(1), "BOX\\[Could not open OpenGL framework \\]\\[Error=-1\\.000000 \\]");
    EXPECT_EQ(shell_test::read_file(log_path),
              "Could not open OpenGL framework\n\nError=-1.000000\n\n(hl_init line 465)\n");

    EXPECT_EXIT(
        {
            plat::set_message_box([](const plat::message_box_request& r) {
                fprintf(stderr, "BOX[%s]\n", r.explanation.c_str());
                return plat::MESSAGE_BOX_DEFAULT;
            });
            check_entry_points(-9);
        },
        testing::ExitedWithCode(1), "BOX\\[Error=-9.000000 \\]");
}

}
