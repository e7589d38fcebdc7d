#include "shell/windows.h"

#include <cmath>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/viewport.h"
#include "shell/hooks.h"

int plot_init_lights;

namespace {

struct box_entry {
    int id;
    float width, height;
    int title_text;  // stls text for the title, or -1 for a fixed title
    const char* fixed_title;
};

constexpr box_entry BOXES[] = {
    {WIN_EULA, 500, 300, -1, "EULA"},         {WIN_PREFS, 500, 380, -1, "Prefs"},
    {WIN_ABOUT, 500, 300, 613, nullptr},      {WIN_ALERT, 400, 230, 601, nullptr},
    {WIN_NUKE_ALERT, 300, 166, 602, nullptr}, {WIN_FILE_PROMPT, 700, 146, 602, nullptr},
    {WIN_FILE_OPEN, 341, 484, 614, nullptr},  {WIN_FILE_SAVE, 341, 484, 614, nullptr},
};

// The close corners of a box: 25 units wide and 20 high at each top corner, bounds included.
constexpr float CORNER_WIDTH = 25;
constexpr float CORNER_HEIGHT = 20;

const box_entry* find_box(int id)
{
    for (const box_entry& b : BOXES)
        if (b.id == id)
            return &b;
    return nullptr;
}

bool is_dialog_box(int id)
{
    return id >= WIN_ALERT && id <= WIN_FILE_SAVE;
}

bool in_close_corner()
{
    float x = mnw.mouse_x, y = mnw.mouse_y;
    if (y < mnw.box_h - CORNER_HEIGHT || y > mnw.box_h)
        return false;
    bool left = x >= 0 && x <= CORNER_WIDTH;
    bool right = x >= mnw.box_w - CORNER_WIDTH && x <= mnw.box_w;
    return left || right;
}

}

bool box_size_of(int id, float* width, float* height)
{
    const box_entry* b = find_box(id);
    if (!b)
        return false;
    *width = b->width;
    *height = b->height;
    return true;
}

void MACIBM_startwind(int id)
{
    plot_init_lights = 1;
    OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    stl_input.clear();

    mnw.box_open = 0;
    mnw.box_w = static_cast<float>(mnw.x_res);
    mnw.box_h = static_cast<float>(mnw.y_res);
    if (const box_entry* b = find_box(id)) {
        stls.win_title = b->fixed_title ? b->fixed_title : stls[b->title_text];
        mnw.box_open = 1;
        mnw.box_w = b->width;
        mnw.box_h = b->height;
    }

    mnw.cur_win = id;
    mnw.open_menu = -1;
    mnw.focus = -1;

    // Boxes sit on whole pixels, centred; a box taller than the screen keeps its bottom edge on it.
    float scale = mnw.scale > 0 ? mnw.scale : 1.0f;
    mnw.off_x = std::round((mnw.x_res - scale * mnw.box_w) / 2) / scale;
    mnw.off_y = std::round((mnw.y_res - scale * mnw.box_h) / 2) / scale;
    if (mnw.off_y < 0)
        mnw.off_y = 0;

    mnw.wheel = 0;
    mnw.held = 0;
    mnw.click = 0;

    if (auto reset_popup_slot = shell_get_hooks().menus.reset_popup_slot)
        reset_popup_slot();
}

void MACIBM_handleclick(int force)
{
    const shell_hooks& hooks = shell_get_hooks();
    if (mnw.cur_win == WIN_MAIN) {
        int title = hooks.menus.title_at ? hooks.menus.title_at() : -1;
        if (title >= 0) {
            mnw.open_menu = title == mnw.open_menu ? -1 : title;
            mnw.click = 0;
            return;
        }
    } else if (!is_dialog_box(mnw.cur_win) && (force || in_close_corner())) {
        hooks.widgets.zap_boxes(1);
        OGL_sbuf();
        return_hit = 0;
        MACIBM_startwind(WIN_MAIN);
        return;
    }

    if (mnw.open_menu != -1 && hooks.menus.pick_item) {
        int code = 0;
        int picked = hooks.menus.pick_item(mnw.open_menu, &code);
        if (picked != MENU_PICK_NONE) {
            if (picked == MENU_PICK_ITEM && hooks.app.handlemenu)
                hooks.app.handlemenu(code);
            mnw.click = 0;
            mnw.open_menu = -1;
            return;
        }
    }
    mnw.open_menu = -1;
}
