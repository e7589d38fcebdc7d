// Menus drawn in OpenGL.
//
// Menu file format (text, read through the mapped reader):
//   A                      shared text header, line 1 ("A" or "I")
//   1 version              line 2: version 1, no keyword
//   <code> <title>         a menu line: code 0 = a title of the bar, c > 0 = a submenu opening from
//                          item c % 300 of menu c / 300 (an earlier block)
//   <code> <text>          item lines; the code is what APP_handlemenu receives
//   -                      ends the menu; the next line starts the next menu
// The reading ends at an empty menu line or at the end of the data, also inside an item block.
//
// Index of this file:
//   [SECTION] Table (clear, create, append, menu_dx)
//   [SECTION] Menu files (MACIBM_read_menus)
//   [SECTION] Mouse, hover and picks (MACIBM_load_mxy, menu_hover, menu_title_at, menu_pick_item)
//   [SECTION] Drawing (menu_draw)
#include "widgets/menus.h"

#include <algorithm>
#include <cmath>

#include "core/alert.h"
#include "core/convert.h"
#include "core/header.h"
#include "core/mnw.h"
#include "core/xmap.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "shell/event_proc.h"
#include "shell/hooks.h"
#include "shell/windows.h"
#include "widgets/butn.h"

std::vector<menu_struct> menu;
int active_popup_code = 0;
int popup_menu_select = 0;
int select_popup_code = 0;
float m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;

namespace {

constexpr const char* MENU_SOURCE = "hl_mnw";
constexpr int LANG_KOREAN = 6;
// Korean titles and items are measured at a fixed width per byte.
constexpr float KOREAN_BYTE_WIDTH = 8;
constexpr float MENU_TEXT_PADDING = 30;
// The bar is the top 18 units of the virtual screen.
constexpr float BAR_BOTTOM = 750, BAR_TOP = 768, BAR_CENTRE_DROP = 9;
constexpr int ROW_HEIGHT = 12, TWO_BYTE_ROW_HEIGHT = 14, SEPARATOR_HEIGHT = 2;
// The code word is read into a 528-byte buffer; a longer word is cut to fit it.
constexpr size_t CODE_WORD_LIMIT = 527;
// The menu file's only accepted version.
constexpr int MENU_FILE_VERSION = 1;

constexpr int TITLE_COLOUR = 37, ITEM_COLOUR = 37, TINT_COLOUR = 35, DARK_LINE = 34, LIGHT_LINE = 36;
constexpr float TINT_ALPHA = 0.25f;
constexpr float TITLE_TEXT_DX = 10, TEXT_DY = 6, ITEM_TEXT_DX = 18, POPUP_TEXT_DX = 3, ITEM_TEXT_DY = 3;
constexpr float HINT_RIGHT_MARGIN = 10;
constexpr int OPEN_MENU_PANEL = 17;
constexpr float ARROW_DX = 8, ARROW_DY = 6, ARROW_S = 167, ARROW_T = 187, ARROW_HALF = 9;

// Line numbers the menu alerts report, so that a log names the check that failed.
constexpr int CREATE_RANGE_LINE = 264;
constexpr int APPEND_MENU_LINE = 302;
constexpr int APPEND_ITEM_LINE = 303;
constexpr int APPEND_LENGTH_LINE = 304;
constexpr int OPEN_FILE_LINE = 550;

// Left edge of the next title of the bar; restarts when title 0 is created.
float next_title_x = 0;

void ensure_table()
{
    if (static_cast<int>(menu.size()) < MENU_COUNT)
        menu.resize(MENU_COUNT);
}

bool is_separator(const std::string& text)
{
    return !text.empty() && text[0] == '-';
}
bool is_pickable(const std::string& text)
{
    return !text.empty() && text[0] != '-' && text[0] != '=';
}

// A title of the bar that the hover and tint take part in: a named menu outside the pop-up slot.
bool is_bar_title(int index)
{
    return index >= 0 && index < POPUP_MENU && index < static_cast<int>(menu.size()) &&
        menu[static_cast<size_t>(index)].parent == -1 && !menu[static_cast<size_t>(index)].name.empty();
}

template <typename R> bool holds_mouse(const R& r)
{
    return mnw.mouse_x >= r.x1 && mnw.mouse_x <= r.x2 && mnw.mouse_y >= r.y1 && mnw.mouse_y <= r.y2;
}

}  // namespace

// ---------------------------------------------------------------------------
// [SECTION] Table
// ---------------------------------------------------------------------------

float menu_dx(std::string text)
{
    if (mnw._lang == LANG_KOREAN)
        return KOREAN_BYTE_WIDTH * static_cast<float>(text.size());
    return proportional_text_width(text);
}

void MACIBM_clear_menus(int flag)
{
    if (flag != 1)
        return;
    menu.clear();
    menu.resize(MENU_COUNT);
    for (int i = 0; i < MENU_COUNT; ++i)
        MACIBM_clear_menu(i);
}

void MACIBM_clear_menu(int index)
{
    if (index < 0 || index >= static_cast<int>(menu.size()))
        return;
    menu_struct& m = menu[static_cast<size_t>(index)];
    m.name.clear();
    m.parent = -1;
    m.x1 = m.y1 = m.x2 = m.y2 = 0;
    m.items.clear();
}

void MACIBM_clear_items(int index)
{
    if (index < 0 || index >= static_cast<int>(menu.size()))
        return;
    menu[static_cast<size_t>(index)].items.clear();
}

void MACIBM_create_menu(int index, int code, std::string name)
{
    if (index < 0)
        return;
    if (index > POPUP_MENU) {
        __MACIBM_alert(0, "Menu index out of range in create_menu!", "", "", name, ALERT_FATAL, MENU_SOURCE,
                       CREATE_RANGE_LINE);
        return;
    }
    ensure_table();
    // A submenu must open from an item that exists: a code from a file is not to be trusted.
    const int parent = code / MENU_ITEM_LIMIT, parent_item = code % MENU_ITEM_LIMIT;
    if (code != 0 &&
        (parent < 0 || parent > POPUP_MENU || parent_item < 0 ||
         parent_item >= static_cast<int>(menu[static_cast<size_t>(parent)].items.size()))) {
        __MACIBM_alert(0, "Menu index out of range in create_menu!", "", "", name, ALERT_FATAL, MENU_SOURCE,
                       CREATE_RANGE_LINE);
        return;
    }
    if (name.size() > MENU_TEXT_LIMIT)
        name.resize(MENU_TITLE_CUT);
    menu_struct& m = menu[static_cast<size_t>(index)];
    m.name = name;

    if (code == 0) {
        m.parent = -1;
        if (index == 0)
            next_title_x = 0;
        m.x1 = static_cast<int16_t>(std::trunc(next_title_x));
        next_title_x += menu_dx(name) + MENU_TEXT_PADDING;
        m.x2 = static_cast<int16_t>(std::trunc(next_title_x));
        m.y1 = static_cast<int16_t>(std::trunc(mnw.scr_y0 + BAR_BOTTOM));
        m.y2 = static_cast<int16_t>(std::trunc(mnw.scr_y0 + BAR_TOP));
        next_title_x = m.x2;
        return;
    }
    m.parent = parent;
    const item_struct& from = menu[static_cast<size_t>(parent)].items[static_cast<size_t>(parent_item)];
    m.x1 = from.x1;
    m.y1 = from.y1;
    m.x2 = from.x2;
    m.y2 = from.y2;
}

void MACIBM_append_menu(int menu_index, int item, int code, std::string text, int plain)
{
    if (menu_index < 0 || item < 0)
        return;
    if (menu_index > POPUP_MENU) {
        __MACIBM_alert(0, "Menu index out of range in append_menu!", "", "", text, ALERT_FATAL, MENU_SOURCE,
                       APPEND_MENU_LINE);
        return;
    }
    if (item >= MENU_ITEM_LIMIT) {
        __MACIBM_alert(0, "Item index out of range in append_menu!", "", "", text, ALERT_FATAL, MENU_SOURCE,
                       APPEND_ITEM_LINE);
        return;
    }
    if (text.size() > MENU_TEXT_LIMIT) {
        __MACIBM_alert(0, "Menu name too long in append_menu!", "", "", text, ALERT_FATAL, MENU_SOURCE,
                       APPEND_LENGTH_LINE);
        return;
    }
    ensure_table();
    menu_struct& m = menu[static_cast<size_t>(menu_index)];
    if (static_cast<int>(m.items.size()) < item + 1)
        m.items.resize(static_cast<size_t>(item) + 1);
    item_struct& it = m.items[static_cast<size_t>(item)];
    it.name = text;
    it.code = code;
    it.two_byte = mnw._lang == LANG_KOREAN && plain == 0 ? 1 : 0;

    const int h = is_separator(text) ? SEPARATOR_HEIGHT : it.two_byte ? TWO_BYTE_ROW_HEIGHT : ROW_HEIGHT;
    if (item == 0) {
        if (m.parent == -1) {
            it.y2 = m.y1;
            it.y1 = static_cast<int16_t>(m.y1 - h);
        } else {
            it.y1 = m.y1;
            it.y2 = m.y2;
        }
    } else {
        const item_struct& previous = m.items[static_cast<size_t>(item) - 1];
        it.y2 = previous.y1;
        it.y1 = static_cast<int16_t>(previous.y1 - h);
    }

    float column = 0;
    for (int k = 0; k <= item; ++k)
        column = std::max(column, menu_dx(m.items[static_cast<size_t>(k)].name) + MENU_TEXT_PADDING);
    for (int k = 0; k <= item; ++k) {
        item_struct& each = m.items[static_cast<size_t>(k)];
        each.x1 = m.x1;
        each.x2 = static_cast<int16_t>(std::trunc(m.x1 + column));
    }
}

int accept_menu(int)
{
    return 1;
}
int accept_item(int)
{
    return 1;
}

// ---------------------------------------------------------------------------
// [SECTION] Menu files
// ---------------------------------------------------------------------------

namespace {

const char* const LANGUAGE_FOLDERS[] = {"menus:english:", "menus:french:",    "menus:german:", "menus:italian:",
                                        "menus:spanish:", "menus:portugese:", "menus:korean:"};

// Splits "<code> <text>": the first word is the code, the spaces after it are skipped.
void split_menu_line(const std::string& line, int* code, std::string* text)
{
    size_t space = line.find(' ');
    std::string word = line.substr(0, space);
    if (word.size() > CODE_WORD_LIMIT)
        word.resize(CODE_WORD_LIMIT);
    *code = str_to_int(word);
    text->clear();
    if (space == std::string::npos)
        return;
    size_t start = line.find_first_not_of(' ', space);
    if (start != std::string::npos)
        *text = line.substr(start);
    if (mnw._lang == LANG_KOREAN)
        char_string_to_int_string(text);
}

}  // namespace

void MACIBM_read_menus(std::string folder, std::string file)
{
    const int language = mnw._lang >= 0 && mnw._lang <= LANG_KOREAN ? mnw._lang : 0;
    const std::string path = folder + LANGUAGE_FOLDERS[language] + file;
    xmap_class reader(path);
    int versions[] = {MENU_FILE_VERSION, 0};
    if (!reader.io_file_open(0, path, versions, FILE_TYPE_TEXT)) {
        __MACIBM_alert(0, "Cannot open file!", path, "Trash this copy and re-install Veltrix.", "", ALERT_FATAL,
                       MENU_SOURCE, OPEN_FILE_LINE);
        return;
    }
    std::string line, text;
    int code = 0;
    for (int index = 0;; ++index) {
        if (reader.cur == reader.end)
            return;
        reader.TXT_str_scan_eoln(&line);
        if (line.empty())
            return;
        split_menu_line(line, &code, &text);
        MACIBM_create_menu(index, code, text);
        for (int item = 0;; ++item) {
            // The end of the data ends the block and the reading, even without its "-" line.
            if (reader.cur == reader.end)
                return;
            reader.TXT_str_scan_eoln(&line);
            if (line == "-")
                break;
            split_menu_line(line, &code, &text);
            MACIBM_append_menu(index, item, code, text, 0);
        }
    }
}

// ---------------------------------------------------------------------------
// [SECTION] Mouse, hover and picks
// ---------------------------------------------------------------------------

void MACIBM_load_mxy(void* window, int x, int y)
{
    if (!(mnw.sec_win_open && mnw._sec_mon_inuse && mnw.window[1] && mnw.window[1] == window)) {
        shell_load_mouse(x, y);
        return;
    }
    // The second window continues the first to its right and has no box offset.
    const float scale = mnw.scale != 0 ? mnw.scale : 1.0f;
    mnw.mouse_x = static_cast<float>(x) / scale + static_cast<float>(mnw.x_res) / scale;
    mnw.mouse_y = static_cast<float>(mnw.y_res - y) / scale;
    mnw.in_sec_win = 1;
}

void menu_hover()
{
    if (mnw.open_menu == -1 || menu.empty())
        return;
    for (int i = 0; i < POPUP_MENU; ++i) {
        if (i == mnw.open_menu || !is_bar_title(i) || !holds_mouse(menu[static_cast<size_t>(i)]))
            continue;
        MACIBM_handleclick(0);
        return;
    }
}

int menu_title_at()
{
    const int count = std::min<int>(POPUP_MENU, static_cast<int>(menu.size()));
    for (int i = 0; i < count; ++i) {
        const menu_struct& m = menu[static_cast<size_t>(i)];
        // Menus never defined have no name and an empty rectangle at the origin; they are no titles.
        const bool title = m.parent == -1 && !m.name.empty();
        const bool submenu = m.parent != -1 && m.parent == mnw.open_menu;
        if ((title || submenu) && holds_mouse(m))
            return i;
    }
    return -1;
}

int menu_pick_item(int menu_index, int* code)
{
    if (menu_index < 0 || menu_index >= static_cast<int>(menu.size()))
        return MENU_PICK_NONE;
    const menu_struct& m = menu[static_cast<size_t>(menu_index)];
    for (size_t i = 0; i < m.items.size(); ++i) {
        const item_struct& it = m.items[i];
        if (!is_pickable(it.name) || !holds_mouse(it))
            continue;
        if (menu_index == POPUP_MENU) {
            popup_menu_select = static_cast<int>(i);
            select_popup_code = active_popup_code;
            active_popup_code = 0;
            return MENU_PICK_POPUP;
        }
        if (code)
            *code = it.code;
        return MENU_PICK_ITEM;
    }
    return MENU_PICK_NONE;
}

void menu_reset_popup_slot()
{
    if (static_cast<int>(menu.size()) <= POPUP_MENU)
        return;
    menu_struct& slot = menu[POPUP_MENU];
    slot.x1 = slot.y1 = slot.x2 = slot.y2 = -1;
}

// ---------------------------------------------------------------------------
// [SECTION] Drawing
// ---------------------------------------------------------------------------

void menu_draw()
{
    const int open = mnw.open_menu;
    if (open < 0 || open >= static_cast<int>(menu.size()))
        return;
    const int text_charset = mnw._lang == LANG_KOREAN ? charset_UI_menus_KOR : charset_UI_diff_space;

    if (open != POPUP_MENU) {
        BTN_frame1(0, mnw.x_res * 0.5f, mnw.scr_y0 + BAR_TOP - BAR_CENTRE_DROP, static_cast<float>(mnw.x_res), 0);
        for (int i = 0; i < POPUP_MENU; ++i) {
            if (!is_bar_title(i))
                continue;
            const menu_struct& t = menu[static_cast<size_t>(i)];
            OGL_string(TITLE_COLOUR, t.x1 + TITLE_TEXT_DX, t.y1 + TEXT_DY, t.name, NO_WRAP, text_charset);
        }
    }

    const menu_struct& m = menu[static_cast<size_t>(open)];
    m_x1 = m_y1 = 9999;
    m_x2 = m_y2 = 0;
    bool any = false;
    int hovered = -1;
    for (size_t i = 0; i < m.items.size(); ++i) {
        const item_struct& it = m.items[i];
        if (it.name.empty())
            continue;
        any = true;
        m_x1 = std::min<float>(m_x1, it.x1);
        m_y1 = std::min<float>(m_y1, it.y1);
        m_x2 = std::max<float>(m_x2, it.x2);
        m_y2 = std::max<float>(m_y2, it.y2);
        // The line between two rows belongs to the upper row.
        const bool under_mouse =
            mnw.mouse_x >= it.x1 && mnw.mouse_x <= it.x2 && mnw.mouse_y >= it.y1 && mnw.mouse_y <= it.y2 - 1;
        if (is_pickable(it.name) && under_mouse)
            hovered = static_cast<int>(i);
    }
    if (!any)
        m_x1 = m_y1 = m_x2 = m_y2 = 0;

    BTN_frame2(OPEN_MENU_PANEL, m_x1, m_y1, m_x2 - m_x1, m_y2 - m_y1, "");
    if (is_bar_title(open))
        OGL_fillrect(TINT_COLOUR, TINT_ALPHA, m.x1, m.y1, m.x2 - m.x1, m.y2 - m.y1);
    if (hovered >= 0) {
        const item_struct& h = m.items[static_cast<size_t>(hovered)];
        OGL_fillrect(TINT_COLOUR, TINT_ALPHA, h.x1, h.y1, h.x2 - h.x1, h.y2 - h.y1);
    }

    for (size_t i = 1; i < m.items.size(); ++i) {
        const item_struct& it = m.items[i];
        if (it.name.empty() || it.x1 == m.items[i - 1].x1)
            continue;
        OGL_line(DARK_LINE, 1.0f, it.x1 - 1, m_y1 - 1, it.x1 - 1, m_y2);
        OGL_line(LIGHT_LINE, 1.0f, it.x1, m_y2, it.x1, m_y1 - 1);
    }

    for (const item_struct& it : m.items) {
        if (it.name.empty())
            continue;
        if (is_separator(it.name)) {
            OGL_line(DARK_LINE, 1.0f, it.x1, it.y1 + 1, it.x2 - 1, it.y1 + 1);
            OGL_line(LIGHT_LINE, 1.0f, it.x1, it.y1, it.x2 - 1, it.y1);
            continue;
        }
        const int charset = it.two_byte ? charset_UI_menus_KOR : charset_UI_diff_space;
        const float text_x = it.x1 + (open == POPUP_MENU ? POPUP_TEXT_DX : ITEM_TEXT_DX);
        size_t hint = it.name.rfind('[');
        if (hint == std::string::npos || hint == 0) {
            OGL_string(ITEM_COLOUR, text_x, it.y1 + ITEM_TEXT_DY, it.name, NO_WRAP, charset);
            continue;
        }
        const std::string left = it.name.substr(0, hint), right = it.name.substr(hint);
        const float w = menu_dx(right);
        OGL_string(ITEM_COLOUR, text_x, it.y1 + ITEM_TEXT_DY, left, NO_WRAP, charset);
        OGL_string(ITEM_COLOUR, it.x2 - w - HINT_RIGHT_MARGIN, it.y1 + ITEM_TEXT_DY, right, NO_WRAP, charset);
    }

    for (int i = 0; i < static_cast<int>(menu.size()); ++i) {
        const menu_struct& sub = menu[static_cast<size_t>(i)];
        if (sub.parent != open || i == open)
            continue;
        BTN_util_element(sub.x2 - ARROW_DX, sub.y1 + ARROW_DY, ARROW_S, ARROW_T, ARROW_HALF, ARROW_HALF, 0);
    }
}
