// Menus drawn in OpenGL: the table's layout rules, menu files, picks through the shell's click
// dispatch, the hover switch and what the open menu draws.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "core/mnw.h"
#include "gfx/colr.h"
#include "platform/events.h"
#include "shell/event_proc.h"
#include "shell/hooks.h"
#include "shell/windows.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"
#include "widgets/menus.h"
#include "widgets/widget_fixture.h"

using namespace widget_test;

namespace {

// "File": F5 i3 l3 e6 = 17 units; "Open": O8 p6 e6 n6 = 26; "Save [S]": S5 a6 v6 e6 space4 [4 S5 ]4 = 40;
// "=Greyed": =6 G7 r4 e6 y6 e6 d6 = 41, the widest.
void build_file_menu()
{
    MACIBM_create_menu(0, 0, "File");
    MACIBM_append_menu(0, 0, 101, "Open", 0);
    MACIBM_append_menu(0, 1, 0, "-", 0);
    MACIBM_append_menu(0, 2, 102, "Save [S]", 0);
    MACIBM_append_menu(0, 3, 103, "=Greyed", 0);
    MACIBM_create_menu(1, 0, "Edit");  // E5 d6 i3 t4 = 18
    MACIBM_append_menu(1, 0, 201, "Undo", 0);
}

template <typename R> std::tuple<int, int, int, int> box(const R& r)
{
    return {r.x1, r.y1, r.x2, r.y2};
}

}  // namespace

class Menus : public widget_gl_test { };

TEST_F(Menus, TitlesLineUpAlongTheBarAndItemsStackDownwardSharingTheWidestWidth)
{
    build_file_menu();
    EXPECT_EQ(box(menu[0]), std::tuple(0, 750, 47, 768));
    EXPECT_EQ(menu[0].parent, -1);
    EXPECT_EQ(box(menu[1]), std::tuple(47, 750, 95, 768));
    MACIBM_create_menu(2, 0, "");  // an empty title still takes 30 units
    EXPECT_EQ(menu[2].x2 - menu[2].x1, 30);
    MACIBM_create_menu(3, 0, std::string(45, 'x'));
    EXPECT_EQ(menu[3].name, std::string(40, 'x'));

    // "=Greyed" 41 + 30 widens every earlier item; a separator is 2 high.
    const auto& items = menu[0].items;
    const std::tuple<int, int, int, int> rows[] = {
        {0, 738, 71, 750}, {0, 736, 71, 738}, {0, 724, 71, 736}, {0, 712, 71, 724}};
    ASSERT_EQ(items.size(), 4u);
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(box(items[i]), rows[i]) << i;
    MACIBM_append_menu(0, 4, 104, "Save everything now", 0);  // 104 + 30
    for (const item_struct& it : menu[0].items)
        EXPECT_EQ(it.x2, 134);

    // A submenu opens from its parent's item and its first item takes that row.
    MACIBM_create_menu(5, 0 * 300 + 2, "More");
    EXPECT_EQ(std::pair(menu[5].parent, int(menu[5].y1)), std::pair(0, 724));
    MACIBM_append_menu(5, 0, 501, "Deep", 0);
    EXPECT_EQ(std::pair(int(menu[5].items[0].y1), int(menu[5].items[0].y2)), std::pair(724, 736));
    MACIBM_create_menu(0, 0, "File");  // title 0 starts the bar again
    EXPECT_EQ(menu[0].x1, 0);

    // Korean: 8 units a byte, two-byte rows 14 high unless the item is plain.
    mnw._lang = 6;
    MACIBM_create_menu(6, 0, "ab");
    EXPECT_EQ(menu[6].x2 - menu[6].x1, 46);
    MACIBM_append_menu(6, 0, 601, "abc", 0);
    MACIBM_append_menu(6, 1, 602, "abc", 1);
    const item_struct &two_byte = menu[6].items[0], &plain = menu[6].items[1];
    EXPECT_EQ(std::tuple(two_byte.two_byte, two_byte.y2 - two_byte.y1, two_byte.x2 - two_byte.x1),
              std::tuple(1, 14, 54));
    EXPECT_EQ(plain.two_byte, 0);
}

TEST_F(Menus, IndicesAndLengthsOutOfRangeAreFatalAndNegativesIgnored)
{
    alert_recorder alerts;
    build_file_menu();
    // Submenu codes must name an existing item of a menu in the table.
    const std::pair<std::function<void()>, const char*> rows[] = {
        {[] { MACIBM_create_menu(1520, 0, "Late"); }, "Menu index out of range in create_menu!"},
        {[] { MACIBM_create_menu(9, 1520 * 300, "Sub"); }, "Menu index out of range in create_menu!"},
        {[] { MACIBM_create_menu(9, 0 * 300 + 4, "Sub"); }, "Menu index out of range in create_menu!"},
        {[] { MACIBM_create_menu(9, 7 * 300 + 0, "Sub"); }, "Menu index out of range in create_menu!"},
        {[] { MACIBM_create_menu(9, -1, "Sub"); }, "Menu index out of range in create_menu!"},
        {[] { MACIBM_append_menu(1520, 0, 1, "x", 0); }, "Menu index out of range in append_menu!"},
        {[] { MACIBM_append_menu(0, 300, 1, "x", 0); }, "Item index out of range in append_menu!"},
        {[] { MACIBM_append_menu(0, 5, 1, std::string(40, 'w'), 0); }, "Menu name too long in append_menu!"},
    };
    for (const auto& [call, message] : rows) {
        const recorded_alert a = expect_fatal(call);
        EXPECT_EQ(std::pair(a.l1, a.file), std::pair(std::string(message), std::string("hl_mnw")));
    }
    EXPECT_EQ(alerts.alerts()[0].l4, "Late");
    EXPECT_EQ(alerts.alerts().back().l4, std::string(40, 'w'));

    const size_t before = alerts.alerts().size();
    MACIBM_create_menu(-1, 0, "ignored");
    MACIBM_append_menu(-1, 0, 1, "ignored", 0);
    MACIBM_append_menu(0, -1, 1, "ignored", 0);
    MACIBM_append_menu(0, 299, 1, std::string(39, 'v'), 0);  // the last item, the longest text
    EXPECT_EQ(alerts.alerts().size(), before);
    EXPECT_EQ(menu[0].items.size(), 300u);
}

TEST_F(Menus, MenuFilesBuildTheTableAndBadOnesAreFatal)
{
    test::temp_folder dir;
    std::filesystem::create_directories(dir / "menus/english");
    const std::string base = dir.root + "/";
    auto write = [&](const std::string& name, const std::string& text) {
        test::write_file(dir / ("menus/english/" + name), text);
    };
    write("main.mnu", "A\n1 version\n0 File\n101 Open\n102 Save [S]\n-\n0 Edit\n201 Undo\n-\n1 More\n301 Deep\n-\n");
    MACIBM_read_menus(base, "main.mnu");
    EXPECT_EQ(std::tuple(menu[0].name, menu[0].items.size(), menu[0].items[1].name, menu[0].items[1].code),
              std::tuple("File", 2u, "Save [S]", 102));
    EXPECT_EQ(std::pair(menu[1].name, int(menu[1].x1)), std::pair(std::string("Edit"), 47));
    EXPECT_EQ(std::tuple(menu[2].parent, menu[2].y1, menu[2].items[0].code), std::tuple(0, menu[0].items[1].y1, 301));
    EXPECT_TRUE(menu[3].name.empty());

    // The data may end inside a block.
    MACIBM_clear_menus(1);
    write("cut.mnu", "A\n1 version\n0 File\n101 Open\n102 Close");
    MACIBM_read_menus(base, "cut.mnu");
    EXPECT_EQ(std::pair(menu[0].items.size(), menu[0].items[1].name), std::pair(size_t{2}, std::string("Close")));
    EXPECT_TRUE(menu[1].name.empty());

    // A wrong version or a missing file cannot be opened; a submenu code pointing at an item no menu
    // has, or a code word that is no number (read as -1), is out of range.
    alert_recorder alerts;
    write("v2.mnu", "A\n2 version\n0 File\n-\n");
    write("code.mnu", "A\n1 version\n0 File\n101 Open\n-\n9999 Bad\n-\n");
    write("word.mnu", "A\n1 version\n0 File\n101 Open\n-\nsub Bad\n-\n");
    const std::pair<const char*, const char*> files[] = {{"v2.mnu", "Cannot open file!"},
                                                         {"missing.mnu", "Cannot open file!"},
                                                         {"code.mnu", "Menu index out of range in create_menu!"},
                                                         {"word.mnu", "Menu index out of range in create_menu!"}};
    for (auto [file, message] : files)
        EXPECT_EQ(expect_fatal([&] { MACIBM_read_menus(base, file); }).l1, message) << file;
    const recorded_alert& open = alerts.alerts()[0];
    EXPECT_EQ(std::tuple(open.l2, open.l3, open.line),
              std::tuple(base + "menus:english:v2.mnu", "Trash this copy and re-install Veltrix.", 550));
    EXPECT_EQ(alerts.alerts()[3].l4, "Bad");
}

TEST_F(Menus, WindowPixelsBecomeBoxCoordinates)
{
    // Window pixels run down from the top; the mouse of mnw runs up from the open box's corner. At two
    // pixels a unit the same place is half as far. In a second window in use the position continues
    // right of the first and no box offset applies; one not in use is the main window's box as usual.
    int second = 0;
    // box offset, scale, second window in use, window, then mouse x, y and whether it is in the second
    const std::tuple<float, float, int, void*, float, float, int> rows[] = {{262, 1, 0, win().window(), 38, 474, 0},
                                                                            {0, 2, 0, win().window(), 150, 334, 0},
                                                                            {262, 1, 1, &second, 1324, 668, 1},
                                                                            {262, 1, 0, &second, 38, 474, 0}};
    for (const auto& [off, scale, in_use, window, mouse_x, mouse_y, in_second] : rows) {
        mnw.off_x = off;
        mnw.off_y = off == 0 ? 0 : 194;
        mnw.scale = scale;
        mnw.window[1] = &second;
        mnw.sec_win_open = 1;
        mnw._sec_mon_inuse = in_use;
        MACIBM_load_mxy(window, 300, 100);
        EXPECT_EQ(std::tuple(mnw.mouse_x, mnw.mouse_y, mnw.in_sec_win), std::tuple(mouse_x, mouse_y, in_second));
    }
    mnw.window[1] = nullptr;
}

TEST_F(Menus, PressesOpenPickPassThroughAndHoverSwitchesBetweenNamedTitles)
{
    build_file_menu();
    MACIBM_create_menu(2, 0, "");  // 95..125, never defined as a menu a user could see
    // x, y, open menu before, open menu and click after.
    // A title opens, another switches to it; "Open" is picked; a separator or an '=' item cannot be
    // picked: the menu closes and the press goes on, as does a press beside the menu; a press on the
    // open title closes it. A program that fills no application hook gets no pick, but the menu closes.
    const std::tuple<float, float, int, int, int> presses[] = {
        {20, 760, -1, 0, 0}, {60, 760, 0, 1, 0},   {20, 744, 0, -1, 0}, {20, 737, 0, -1, 1},
        {20, 718, 0, -1, 1}, {500, 300, 0, -1, 1}, {0, 768, 0, -1, 0}};
    for (bool application_hooks : {true, false}) {
        if (!application_hooks) {
            shell_hooks hooks = shell_get_hooks();
            hooks.app = {};
            shell_set_hooks(hooks);
        }
        for (const auto& [x, y, open_before, open_after, click_after] : presses) {
            mnw.open_menu = open_before;
            mouse(x, y, 1);
            MACIBM_handleclick(0);
            EXPECT_EQ(std::pair(mnw.open_menu, mnw.click), std::pair(open_after, click_after)) << x << ", " << y;
        }
        EXPECT_EQ(picked_menu_codes, std::vector<int>{101});
    }

    // The pop-up slot is never a bar title, even named and lying over the bar.
    menu[POPUP_MENU].name = "Popup";
    menu[POPUP_MENU].parent = -1;
    menu[POPUP_MENU].x1 = 130;
    menu[POPUP_MENU].x2 = 200;
    menu[POPUP_MENU].y1 = 750;
    menu[POPUP_MENU].y2 = 768;
    // With no menu open, hovering opens nothing.
    for (auto [x, open_before, open_after] :
         {std::tuple{60.0f, 0, 1}, {110.0f, 1, 1}, {150.0f, 1, 1}, {20.0f, -1, -1}}) {
        mnw.open_menu = open_before;
        mouse(x, 760, 0);
        menu_hover();
        EXPECT_EQ(mnw.open_menu, open_after) << x;
    }
}

TEST_F(Menus, TheOpenMenuDrawsItsPanelItemsHintsArrowsAndTints)
{
    build_file_menu();
    MACIBM_create_menu(2, 0 * 300 + 2, "More");
    colr.assign(34, 1, 0, 0);
    colr.assign(36, 0, 1, 0);
    mnw.open_menu = 0;
    mouse(500, 500, 0);
    menu_draw();
    EXPECT_EQ(std::tuple(m_x1, m_y1, m_x2, m_y2), std::tuple(0, 712, 71, 750));
    // Panel style 17 starts 8 left of and 13 below the item area: x 0 is 8 texels in. "Open" at
    // (x1 + 18, y1 + 3); the hint "[S]" (13 wide) right-aligned 10 from the right edge; menu 2 opens
    // from item 2: an arrow at (x2 - 8, y1 + 6).
    expect_texels(
        {{0, 699, {78, 315}}, {18, 739, {144, 11}}, {18, 725, {40, 22}}, {48, 725, {112, 33}}, {54, 721, {158, 178}}});
    EXPECT_EQ(pixel(10, 737), (test::rgba{255, 0, 0, 255})) << "the separator's dark line";
    EXPECT_EQ(pixel(10, 736), (test::rgba{0, 255, 0, 255})) << "and its light line";
    const test::rgba plain_item = pixel(60, 745), other_item = pixel(60, 730), open_title = pixel(40, 765);
    const test::rgba closed_title = pixel(80, 765), bare_panel = pixel(65, 715);

    win().reset_2d();
    resync_state();
    mouse(60, 749, 0);  // top row of "Open" but one: the line between rows belongs to the upper row
    menu_draw();
    EXPECT_NE(pixel(60, 745), plain_item);
    EXPECT_EQ(pixel(60, 730), other_item);
    EXPECT_EQ(pixel(40, 765), open_title) << "tinted in both drawings";
    EXPECT_EQ(pixel(80, 765), closed_title);

    // The pop-up slot draws no bar and no title tint, even named, and its items start 3 in.
    win().reset_2d();
    resync_state();
    menu[POPUP_MENU] = menu[0];
    mnw.open_menu = POPUP_MENU;
    mouse(500, 500, 0);
    menu_draw();
    expect_texels({{300, 765, {}}, {3, 739, {144, 11}}});
    EXPECT_EQ(pixel(20, 760), (test::rgba{0, 0, 0, 255})) << "its copied title's place is not tinted";
    EXPECT_EQ(pixel(65, 715), bare_panel);
}

TEST_F(Menus, ThroughTheRealQueueTitlesOpenSwitchOnHoverAndPick)
{
    // Presses are real events in the queue and the pointer is moved by the window system; the
    // shell's frame opens, switches and picks through the menu hooks.
    build_file_menu();
    plat::flush_events();
    ASSERT_TRUE(move_pointer(20, 760));  // over "File"
    EXPECT_EQ(mnw.open_menu, -1) << "resting on a title opens nothing";
    press_at(20, 760);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.open_menu, 0);
    ASSERT_TRUE(move_pointer(60, 760));  // over "Edit": the open menu follows the pointer
    EXPECT_EQ(mnw.open_menu, 1);
    press_at(60, 744);  // "Undo"
    MACIBM_event_proc();
    MACIBM_event_proc();
    EXPECT_EQ(picked_menu_codes, std::vector<int>{201}) << "picked once";
    EXPECT_EQ(mnw.open_menu, -1);
}
