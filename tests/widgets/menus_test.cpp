// Menus drawn in OpenGL: the table's layout rules, menu files, picks through the shell's click
// dispatch, the hover switch and what the open menu draws.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/mnw.h"
#include "gfx/colr.h"
#include "platform/events.h"
#include "shell/event_proc.h"
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

// An application folder holding menus/english, where each test writes its menu file.
class folder {
public:
    folder() { std::filesystem::create_directories(dir / "menus/english"); }
    std::string write(const std::string& name, const std::string& text)
    {
        test::write_file(dir / ("menus/english/" + name), text);
        return dir.root + "/";
    }

private:
    test::temp_folder dir;
};

}  // namespace

class MenuTable : public widget_gl_test { };

TEST_F(MenuTable, TitlesLineUpAlongTheBar)
{
    EXPECT_EQ(menu.size(), 1520u);
    build_file_menu();
    EXPECT_EQ(menu[0].x1, 0);
    EXPECT_EQ(menu[0].x2, 47);
    EXPECT_EQ(menu[0].y1, 750);
    EXPECT_EQ(menu[0].y2, 768);
    EXPECT_EQ(menu[0].parent, -1);
    EXPECT_EQ(menu[1].x1, 47);
    EXPECT_EQ(menu[1].x2, 95);

    MACIBM_create_menu(2, 0, "");  // an empty title still takes 30 units
    EXPECT_EQ(menu[2].x2 - menu[2].x1, 30);
    MACIBM_create_menu(3, 0, std::string(45, 'x'));
    EXPECT_EQ(menu[3].name, std::string(40, 'x'));
    MACIBM_create_menu(0, 0, "File");  // title 0 starts the bar again
    EXPECT_EQ(menu[0].x1, 0);
}

TEST_F(MenuTable, ItemsStackDownwardAndShareTheWidestWidth)
{
    build_file_menu();
    const auto& items = menu[0].items;
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].y2, 750);
    EXPECT_EQ(items[0].y1, 738);
    EXPECT_EQ(items[1].y1, 736);  // a separator is 2 high
    EXPECT_EQ(items[2].y1, 724);
    for (const item_struct& it : items) {
        EXPECT_EQ(it.x1, 0);
        EXPECT_EQ(it.x2, 71);  // "=Greyed" 41 + 30 widens every earlier item
    }
    MACIBM_append_menu(0, 4, 104, "Save everything now", 0);  // 104 + 30
    for (const item_struct& it : menu[0].items)
        EXPECT_EQ(it.x2, 134);

    // A submenu opens from its parent's item and its first item takes that row.
    MACIBM_create_menu(5, 0 * 300 + 2, "More");
    EXPECT_EQ(menu[5].parent, 0);
    EXPECT_EQ(menu[5].y1, 724);
    MACIBM_append_menu(5, 0, 501, "Deep", 0);
    EXPECT_EQ(menu[5].items[0].y1, 724);
    EXPECT_EQ(menu[5].items[0].y2, 736);

    // Korean: 8 units a byte, two-byte rows 14 high unless the item is plain.
    mnw._lang = 6;
    MACIBM_create_menu(6, 0, "ab");
    EXPECT_EQ(menu[6].x2 - menu[6].x1, 46);
    MACIBM_append_menu(6, 0, 601, "abc", 0);
    EXPECT_EQ(menu[6].items[0].two_byte, 1);
    EXPECT_EQ(menu[6].items[0].y2 - menu[6].items[0].y1, 14);
    EXPECT_EQ(menu[6].items[0].x2 - menu[6].items[0].x1, 54);
    MACIBM_append_menu(6, 1, 602, "abc", 1);
    EXPECT_EQ(menu[6].items[1].two_byte, 0);
}

TEST_F(MenuTable, IndicesAndLengthsOutOfRangeAreFatalAndNegativesIgnored)
{
    alert_recorder alerts;
    build_file_menu();
    recorded_alert a = expect_fatal([] { MACIBM_create_menu(1520, 0, "Late"); });
    EXPECT_EQ(a.l1, "Menu index out of range in create_menu!");
    EXPECT_EQ(a.l4, "Late");
    EXPECT_EQ(a.file, "hl_mnw");
    EXPECT_EQ(a.line, 264);
    // Submenu codes must name an existing item of a menu in the table.
    for (int code : {1520 * 300, 0 * 300 + 4, 7 * 300 + 0, -1}) {
        a = expect_fatal([code] { MACIBM_create_menu(9, code, "Sub"); });
        EXPECT_EQ(a.l1, "Menu index out of range in create_menu!") << code;
    }
    a = expect_fatal([] { MACIBM_append_menu(1520, 0, 1, "x", 0); });
    EXPECT_EQ(a.l1, "Menu index out of range in append_menu!");
    EXPECT_EQ(a.line, 302);
    a = expect_fatal([] { MACIBM_append_menu(0, 300, 1, "x", 0); });
    EXPECT_EQ(a.l1, "Item index out of range in append_menu!");
    EXPECT_EQ(a.line, 303);
    a = expect_fatal([] { MACIBM_append_menu(0, 5, 1, std::string(40, 'w'), 0); });
    EXPECT_EQ(a.l1, "Menu name too long in append_menu!");
    EXPECT_EQ(a.l4, std::string(40, 'w'));
    EXPECT_EQ(a.line, 304);

    const size_t before = alerts.alerts().size();
    MACIBM_create_menu(-1, 0, "ignored");
    MACIBM_append_menu(-1, 0, 1, "ignored", 0);
    MACIBM_append_menu(0, -1, 1, "ignored", 0);
    MACIBM_append_menu(0, 299, 1, std::string(39, 'v'), 0);  // the last item, the longest text
    EXPECT_EQ(alerts.alerts().size(), before);
    EXPECT_EQ(menu[0].items.size(), 300u);
}

TEST_F(MenuTable, MenuFilesBuildTheTable)
{
    folder f;
    const std::string base = f.write("main.mnu",
                                     "A\n1 version\n0 File\n101 Open\n102 Save [S]\n-\n"
                                     "0 Edit\n201 Undo\n-\n1 More\n301 Deep\n-\n");
    MACIBM_read_menus(base, "main.mnu");
    EXPECT_EQ(menu[0].name, "File");
    ASSERT_EQ(menu[0].items.size(), 2u);
    EXPECT_EQ(menu[0].items[1].name, "Save [S]");
    EXPECT_EQ(menu[0].items[1].code, 102);
    EXPECT_EQ(menu[1].name, "Edit");
    EXPECT_EQ(menu[1].x1, 47);
    EXPECT_EQ(menu[2].parent, 0);
    EXPECT_EQ(menu[2].y1, menu[0].items[1].y1);
    EXPECT_EQ(menu[2].items[0].code, 301);
    EXPECT_TRUE(menu[3].name.empty());
}

TEST_F(MenuTable, AMenuFileMayEndInsideABlock)
{
    folder f;
    MACIBM_read_menus(f.write("cut.mnu", "A\n1 version\n0 File\n101 Open\n102 Close"), "cut.mnu");
    EXPECT_EQ(menu[0].items.size(), 2u);
    EXPECT_EQ(menu[0].items[1].name, "Close");
    EXPECT_TRUE(menu[1].name.empty());
}

TEST_F(MenuTable, BadMenuFilesAreFatal)
{
    alert_recorder alerts;
    folder f;
    const std::string base = f.write("v2.mnu", "A\n2 version\n0 File\n-\n");
    recorded_alert a = expect_fatal([&] { MACIBM_read_menus(base, "v2.mnu"); });
    EXPECT_EQ(a.l1, "Cannot open file!");
    EXPECT_EQ(a.l2, base + "menus:english:v2.mnu");
    EXPECT_EQ(a.l3, "Trash this copy and re-install Veltrix.");
    EXPECT_EQ(a.line, 550);

    a = expect_fatal([&] { MACIBM_read_menus(base, "missing.mnu"); });
    EXPECT_EQ(a.l1, "Cannot open file!");

    // A submenu code pointing at an item no menu has.
    f.write("code.mnu", "A\n1 version\n0 File\n101 Open\n-\n9999 Bad\n-\n");
    a = expect_fatal([&] { MACIBM_read_menus(base, "code.mnu"); });
    EXPECT_EQ(a.l1, "Menu index out of range in create_menu!");
    EXPECT_EQ(a.l4, "Bad");

    // A code word that is no number reads as -1: no item -1 exists to open from.
    f.write("word.mnu", "A\n1 version\n0 File\n101 Open\n-\nsub Bad\n-\n");
    a = expect_fatal([&] { MACIBM_read_menus(base, "word.mnu"); });
    EXPECT_EQ(a.l1, "Menu index out of range in create_menu!");
    EXPECT_EQ(a.l4, "Bad");
}

TEST_F(MenuTable, WindowPixelsBecomeBoxCoordinates)
{
    // Window pixels run down from the top; the mouse of mnw runs up from the open box's corner.
    mnw.off_x = 262;
    mnw.off_y = 194;
    MACIBM_load_mxy(win().window(), 300, 100);
    EXPECT_EQ(mnw.mouse_x, 38);
    EXPECT_EQ(mnw.mouse_y, 474);
    EXPECT_EQ(mnw.in_sec_win, 0);

    // At two pixels a unit the same place is half as far.
    mnw.scale = 2;
    mnw.off_x = mnw.off_y = 0;
    MACIBM_load_mxy(win().window(), 300, 100);
    EXPECT_EQ(mnw.mouse_x, 150);
    EXPECT_EQ(mnw.mouse_y, 334);

    // In the second window the position continues right of the first, and no box offset applies.
    int second = 0;
    mnw.scale = 1;
    mnw.off_x = 262;
    mnw.window[1] = &second;
    mnw.sec_win_open = 1;
    mnw._sec_mon_inuse = 1;
    MACIBM_load_mxy(&second, 300, 100);
    EXPECT_EQ(mnw.in_sec_win, 1);
    EXPECT_EQ(mnw.mouse_x, 1324);
    EXPECT_EQ(mnw.mouse_y, 668);
    // A second window not in use is the main window's box as usual.
    mnw._sec_mon_inuse = 0;
    MACIBM_load_mxy(&second, 300, 100);
    EXPECT_EQ(mnw.in_sec_win, 0);
    EXPECT_EQ(mnw.mouse_x, 38);
}

class MenuInput : public widget_gl_test { };

TEST_F(MenuInput, PressesOpenPickAndPassThrough)
{
    build_file_menu();
    mouse(20, 760, 1);  // on the "File" title
    MACIBM_handleclick(0);
    EXPECT_EQ(mnw.open_menu, 0);
    EXPECT_EQ(mnw.click, 0);

    mouse(20, 744, 1);  // "Open"
    MACIBM_handleclick(0);
    EXPECT_EQ(picked_menu_codes, std::vector<int>{101});
    EXPECT_EQ(mnw.open_menu, -1);
    EXPECT_EQ(mnw.click, 0);

    // A separator or an '=' item cannot be picked: the menu closes and the press goes on.
    for (float y : {737.0f, 718.0f}) {
        mnw.open_menu = 0;
        mouse(20, y, 1);
        MACIBM_handleclick(0);
        EXPECT_EQ(mnw.open_menu, -1);
        EXPECT_EQ(mnw.click, 1) << y;
    }
    EXPECT_EQ(picked_menu_codes.size(), 1u);

    // A press on the open title closes it.
    mnw.open_menu = 0;
    mouse(0, 768, 1);
    MACIBM_handleclick(0);
    EXPECT_EQ(mnw.open_menu, -1);
}

TEST_F(MenuInput, HoverSwitchesBetweenNamedTitlesOnly)
{
    build_file_menu();
    MACIBM_create_menu(2, 0, "");  // 95..125, never defined as a menu a user could see
    mnw.open_menu = 0;
    mouse(60, 760, 0);
    menu_hover();
    EXPECT_EQ(mnw.open_menu, 1);
    mouse(110, 760, 0);
    menu_hover();
    EXPECT_EQ(mnw.open_menu, 1);
    // The pop-up slot is never a bar title, even named and lying over the bar.
    menu[1519].name = "Popup";
    menu[1519].parent = -1;
    menu[1519].x1 = 130;
    menu[1519].x2 = 200;
    menu[1519].y1 = 750;
    menu[1519].y2 = 768;
    mouse(150, 760, 0);
    menu_hover();
    EXPECT_EQ(mnw.open_menu, 1);
    // With no menu open, hovering opens nothing.
    mnw.open_menu = -1;
    mouse(20, 760, 0);
    menu_hover();
    EXPECT_EQ(mnw.open_menu, -1);
}

TEST_F(MenuInput, TheOpenMenuDrawsItsPanelItemsHintsAndArrows)
{
    build_file_menu();
    MACIBM_create_menu(2, 0 * 300 + 2, "More");
    colr.assign(34, 1, 0, 0);
    colr.assign(36, 0, 1, 0);
    mnw.open_menu = 0;
    mouse(500, 500, 0);
    menu_draw();
    EXPECT_EQ(m_x1, 0);
    EXPECT_EQ(m_y1, 712);
    EXPECT_EQ(m_x2, 71);
    EXPECT_EQ(m_y2, 750);
    // Panel style 17 starts 8 left of and 13 below the item area: x 0 is 8 texels in.
    EXPECT_EQ(texel_at(0, 699), (texel{78, 315}));
    // "Open" at (x1 + 18, y1 + 3); the hint "[S]" (13 wide) right-aligned 10 from the right edge.
    EXPECT_EQ(texel_at(18, 739), (texel{144, 11}));  // 'O'
    EXPECT_EQ(texel_at(18, 725), (texel{40, 22}));   // 'S'
    EXPECT_EQ(texel_at(48, 725), (texel{112, 33}));  // '['
    // The separator's two lines.
    EXPECT_EQ(pixel(10, 737), (test::rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(10, 736), (test::rgba{0, 255, 0, 255}));
    // Menu 2 opens from item 2: an arrow at (x2 - 8, y1 + 6).
    EXPECT_EQ(texel_at(54, 721), (texel{158, 178}));
}

TEST_F(MenuInput, TheHoveredItemAndTheOpenTitleAreTinted)
{
    build_file_menu();
    mnw.open_menu = 0;
    mouse(500, 500, 0);
    menu_draw();
    const test::rgba plain_item = pixel(60, 745), other_item = pixel(60, 730), plain_title = pixel(40, 765);
    const test::rgba closed_title = pixel(80, 765);

    win().reset_2d();
    resync_state();
    mouse(60, 749, 0);  // top row of "Open" but one: the line between rows belongs to the upper row
    menu_draw();
    EXPECT_NE(pixel(60, 745), plain_item);
    EXPECT_EQ(pixel(60, 730), other_item);
    EXPECT_EQ(pixel(40, 765), plain_title);  // tinted in both drawings
    EXPECT_EQ(pixel(80, 765), closed_title);

    // The pop-up slot draws no bar and no title tint.
    win().reset_2d();
    resync_state();
    menu[1519].items = menu[0].items;
    mnw.open_menu = 1519;
    mouse(500, 500, 0);
    menu_draw();
    EXPECT_FALSE(texel_at(300, 765).drawn());
    EXPECT_EQ(texel_at(3, 739), (texel{144, 11}));  // items start 3 in
}

TEST_F(MenuInput, ThroughTheRealQueueTitlesOpenSwitchOnHoverAndPick)
{
    // Presses are real events in the queue and the pointer is moved by the window system; the
    // shell's frame opens, switches and picks through the menu hooks.
    build_file_menu();
    plat::flush_events();
    ASSERT_TRUE(move_pointer(20, 760));  // over "File"
    EXPECT_EQ(mnw.open_menu, -1);        // resting on a title opens nothing
    press_at(20, 760);
    MACIBM_event_proc();
    EXPECT_EQ(mnw.open_menu, 0);

    ASSERT_TRUE(move_pointer(60, 760));  // over "Edit": the open menu follows the pointer
    EXPECT_EQ(mnw.open_menu, 1);

    press_at(60, 744);  // "Undo"
    MACIBM_event_proc();
    EXPECT_EQ(picked_menu_codes, std::vector<int>{201});
    EXPECT_EQ(mnw.open_menu, -1);
    MACIBM_event_proc();
    EXPECT_EQ(picked_menu_codes.size(), 1u);
}
