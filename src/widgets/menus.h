// menus: the menu bar, its submenus and the pop-up slot, all drawn in OpenGL over the frame.
// The table `menu` is filled in code or from a menu file; the shell's frame and click dispatch reach
// the hover, drawing and picking here through the shell's table, filled by widgets_fill_shell_hooks.
// Invariant: after MACIBM_clear_menus(1) the table holds exactly MENU_COUNT menus; slot POPUP_MENU
// belongs to the pop-up text list, and at most one menu (mnw.open_menu) is open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int MENU_COUNT = 1520;
constexpr int POPUP_MENU = 1519;
constexpr int MENU_ITEM_LIMIT = 300;
// Longest text an item may hold, and the length a longer title is cut to.
constexpr size_t MENU_TEXT_LIMIT = 39;
constexpr size_t MENU_TITLE_CUT = 40;

struct item_struct {
    std::string name;
    int code = 0;
    unsigned char two_byte = 0;
    int16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct menu_struct {
    std::string name;
    int parent = -1;
    int16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::vector<item_struct> items;
};

extern std::vector<menu_struct> menu;

// The pop-up protocol shared with the click dispatcher and BTN_textlist.
extern int active_popup_code;
extern int popup_menu_select;
extern int select_popup_code;

// Item area of the open menu, recomputed each time it is drawn.
extern float m_x1, m_y1, m_x2, m_y2;

float menu_dx(std::string text);
void MACIBM_clear_menus(int flag);
void MACIBM_clear_menu(int index);
void MACIBM_clear_items(int index);
void MACIBM_create_menu(int index, int code, std::string name);
void MACIBM_append_menu(int menu_index, int item, int code, std::string text, int plain);
void MACIBM_read_menus(std::string folder, std::string file);
// The window argument stands for the platform window the position was measured in.
void MACIBM_load_mxy(void* window, int x, int y);
int accept_menu(int menu_index);
int accept_item(int item);

// Frame and dispatch steps, installed as the shell's menu hooks.
void menu_hover();
void menu_draw();
int menu_title_at();
int menu_pick_item(int menu_index, int* code);
void menu_reset_popup_slot();
