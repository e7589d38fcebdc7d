// File-select fields.
#include "widgets/select_file.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/paths.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "shell/native_dialogs.h"
#include "shell/windows.h"
#include "widgets/butn.h"

namespace {

// The last entry kind of the folder listing. The arguments are checked though every field opens
// the same folder chooser.
constexpr int LAST_FILE_KIND = 17;

constexpr int CHOOSE_FOLDER = 2;
constexpr int CHOOSER_PREFERENCE_KEY = 1;
constexpr const char* CHOOSER_PROMPT = "Please pick an Veltrix Suite to update";
constexpr const char* CHOOSER_BUTTON = "Update";

constexpr float LABEL_LEFT_GAP = 28;
// The chooser button: the 26 x 26 atlas cell from (208, 133), drawn left of the field.
constexpr float BUTTON_X1 = 30, BUTTON_X2 = 4, BUTTON_BELOW = 10, BUTTON_ABOVE = 16;
constexpr float BUTTON_S1 = 208, BUTTON_T1 = 133, BUTTON_CELL = 26;
// It answers a little inside its art.
constexpr float HIT_X1 = 28, HIT_X2 = 6, HIT_BELOW = 8, HIT_ABOVE = 12;
// The field: a 500-unit framed bar from x - 8.
constexpr int FIELD_STYLE = 9;
constexpr float FIELD_WIDTH = 500, FIELD_CENTRE_DX = 242, FIELD_RAISE = 3;
constexpr int TEXT_COLOUR = 44;

// The last component of a path, a trailing separator kept with it; the whole path when its only
// separator leads it or it is two characters long; nothing otherwise.
std::string shown_component(const std::string& path)
{
    if (path.size() < 2)
        return {};
    if (path.size() == 2)
        return path;
    for (size_t i = path.size() - 1; i-- > 0;) {
        if (!is_folder_separator(path[i]))
            continue;
        return i > 0 ? path.substr(i + 1) : path;
    }
    return {};
}

// Fatal for a call no field should make; the form's name ends each message.
bool arguments_are_bad(int open_save, int file_path, int file_type, const char* form)
{
    const char* bad = nullptr;
    if (open_save != WIN_FILE_OPEN && open_save != WIN_FILE_SAVE)
        bad = "Bad open_save arg to ";
    else if (file_path != 0 && file_path != 1)
        bad = "Bad file_path arg to ";
    else if (file_type < 0 || file_type > LAST_FILE_KIND)
        bad = "Bad file_type arg to ";
    if (!bad)
        return false;
    __MACIBM_alert(0, std::string(bad) + form + "!", "", "", "", ALERT_FATAL, BUTN_SOURCE, __LINE__);
    return true;
}

}  // namespace

int BTN_select_file_stl(float x, float y, int open_save, int file_path, int file_type, std::string* path,
                        std::string label)
{
    if (arguments_are_bad(open_save, file_path, file_type, "BTN_select_file_stl"))
        return 0;
    std::string left, right, help;
    BTN_expand_label(label, &left, &right, &help);
    BTN_util_draw_label(x - LABEL_LEFT_GAP, y, ALIGN_END_AT_X, left, 0);
    draw_atlas_cell(x - BUTTON_X1, y - BUTTON_BELOW, x - BUTTON_X2, y + BUTTON_ABOVE, BUTTON_S1, BUTTON_T1,
                    BUTTON_S1 + BUTTON_CELL, BUTTON_T1 + BUTTON_CELL);
    BTN_frame1(FIELD_STYLE, x + FIELD_CENTRE_DX, y + FIELD_RAISE, FIELD_WIDTH, 0);

    int result = 0;
    const hit_rect button{x - HIT_X1, y - HIT_BELOW, x - HIT_X2, y + HIT_ABOVE};
    if (widget_behaviour(button, menu_rule::react_while_menu_open, &help) == WIDGET_CLICKED) {
        char chosen[CHOOSER_PATH_CAPACITY + 1] = "";
        if (GetFilePathFromUser(CHOOSE_FOLDER, CHOOSER_PROMPT, CHOOSER_BUTTON, CHOOSER_PREFERENCE_KEY, nullptr,
                                chosen)) {
            *path = chosen;
            result = 1;
        }
    }

    stl_global = shown_component(*path);
    OGL_string(TEXT_COLOUR, x, y, stl_global, NO_WRAP, charset_UI_diff_space);
    BTN_util_draw_label(x + FIELD_WIDTH, y, ALIGN_ONE_LINE, right, 0);
    return result;
}

int BTN_select_file_chr(float x, float y, int open_save, int file_path, int file_type, char* path, int path_size,
                        std::string label)
{
    if (arguments_are_bad(open_save, file_path, file_type, "BTN_select_file_chr"))
        return 0;
    std::string text(path);
    const int result = BTN_select_file_stl(x, y, open_save, file_path, file_type, &text, label);
    // A buffer too small for even its NUL takes nothing back.
    if (path_size < 1)
        return result;
    // Cut to the buffer before the string limit is checked: only a text that still passes it is fatal.
    if (text.size() >= static_cast<size_t>(path_size))
        text.resize(static_cast<size_t>(path_size) - 1);
    copy_bounded_str(path, static_cast<size_t>(path_size), text.c_str());
    return result;
}
