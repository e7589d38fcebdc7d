// The file open/save box drawn in OpenGL.
//
// Index of this file:
//   [SECTION] Layout and fixed folders
//   [SECTION] Folder pop-up and comments (the info panel)
//   [SECTION] Entry (opensave_open)
//   [SECTION] One frame (opensave_frame)
//   [SECTION] The modal loop (BTN_opensave)
#include "widgets/opensave.h"

#include <strings.h>
#include <sys/stat.h>

#include <ctime>

#include <algorithm>
#include <vector>

#include "core/alert.h"
#include "core/globals.h"
#include "core/listing.h"
#include "core/mnw.h"
#include "core/paths.h"
#include "core/xmap.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "shell/event_proc.h"
#include "shell/windows.h"
#include "widgets/action.h"
#include "widgets/butn.h"
#include "widgets/panels.h"
#include "widgets/sliders.h"
#include "widgets/textlist.h"

// ---------------------------------------------------------------------------
// [SECTION] Layout and fixed folders
// ---------------------------------------------------------------------------

namespace {

constexpr const char* OPENSAVE_SOURCE = "DEzovuv/OOPS_cpp/butn";
constexpr int BAD_BOX_LINE = 1105, BAD_PATH_MODE_LINE = 1106, BAD_KIND_LINE = 1107;
constexpr int LAST_FILE_KIND = 17;

// The name list, its slider in slot 0.
constexpr int LIST_SLOT = 0;
constexpr float LIST_X = 20, LIST_Y = 180;
// The info panel above the list, and the name bar below it.
constexpr int INFO_PANEL_STYLE = 15;
constexpr float INFO_X = 20, INFO_Y = 300, INFO_HEIGHT = 120;
constexpr int NAME_BAR_STYLE = 9;
constexpr float NAME_BAR_Y = 52;
// The name in the bar, and the save box's cursor after it.
constexpr size_t TYPED_NAME_LIMIT = 30;
constexpr float NAME_X = 25, NAME_Y = 49, NAME_WRAP = 510;
constexpr float CURSOR_DX = 26, CURSOR_BOTTOM = 48, CURSOR_TOP = 55;
constexpr int NAME_COLOUR = 44;
// Folder names step down the info panel as a staircase, 10 units a folder.
constexpr float STAIR_X0 = 30, STAIR_STEP = 10, STAIR_TOP = 435;
constexpr int INFO_TEXT_COLOUR = 46;
constexpr float COMMENT_X = 30, COMMENT_Y = 405, COMMENT_MARGIN = 10;
// Buttons and the folder pop-up.
constexpr float SAVE_X = 282, CANCEL_X = 42, BUTTONS_Y = 28;
constexpr float POPUP_Y = 438;
constexpr int CANCEL_TEXT = 607;
// Text 607 is empty unless a program fills it; the button still has to say what it does.
constexpr const char* CANCEL_FALLBACK = "Cancel";
constexpr const char* PROGRAM_FOLDER_ITEM = "Veltrix Suite folder";

// Kind 8 files carry a comment on a "COMM" line after a header of version 1.
constexpr int FDR_KIND = 8;
constexpr int TEXT_FILE_TYPE = 10001;
constexpr int FDR_VERSION = 1;

struct kind_folder {
    int kind;
    const char* folder;     // where the box always starts; null: from the result string
    const char* extension;  // added to a saved name; null: none
};
constexpr kind_folder KIND_FOLDERS[] = {
    {2, nullptr, ".BMP"},
    {3, nullptr, ".ACF"},
    {4, nullptr, ".AFL"},
    {5, nullptr, ".WPN"},
    {6, nullptr, ".WAV"},
    {7, nullptr, ".OBJ"},
    {9, "Output:situations:", ".SIT"},
    {10, "Output:movies:", ".SMO"},
    {11, "Output:logbooks:", ".TXT"},
    {12, "Output:FMS plans:", ".FMS"},
    {14, "Rovaro Output:tracks:", ".TRA"},
    {15, "Rovaro Output:cars:", ".CAR"},
    {16, "Starbrawl Resources:spaceships:", ".SPA"},
    {17, "Starbrawl Resources:regions:", ".REG"},
};

const kind_folder* find_kind(int kind)
{
    for (const kind_folder& k : KIND_FOLDERS)
        if (k.kind == kind)
            return &k;
    return nullptr;
}

// What the box keeps from call to call for the program's run.
struct opensave_memory {
    int level = 0;         // index of the folder shown in the folder pop-up
    std::string fdr_path;  // the kind-8 file whose comment was read last
    std::string comment;   // that comment
};
opensave_memory memory;

// ---------------------------------------------------------------------------
// [SECTION] Folder pop-up and comments
// ---------------------------------------------------------------------------

// The pop-up's items and the folder each one stands for: the program's folder first, then every
// folder of the path from the outermost in.
struct folder_popup {
    std::string items = PROGRAM_FOLDER_ITEM;
    std::vector<std::string> paths{""};
};

// A name in the pop-up: its items are parted by '-' and may hold no '|', so both become blanks there.
std::string popup_name(std::string name)
{
    std::replace(name.begin(), name.end(), '-', ' ');
    std::replace(name.begin(), name.end(), '|', ' ');
    return name;
}

// Lists the folders of `folder` and draws them as a staircase in the info panel.
folder_popup folders_of(const std::string& folder)
{
    folder_popup popup;
    for (size_t p = 0; p + 1 < folder.size(); ++p) {
        if (p > 0 && !is_folder_separator(folder[p - 1]))
            continue;
        if (static_cast<int>(popup.paths.size()) >= TEXTLIST_ITEM_LIMIT)
            break;
        size_t end = folder.find('/', p);
        if (end == std::string::npos)
            end = folder.size();
        const std::string name = popup_name(folder.substr(p, end - p));
        const float step = STAIR_X0 + STAIR_STEP * static_cast<float>(popup.paths.size());
        OGL_string(INFO_TEXT_COLOUR, step, STAIR_TOP - step, name, NO_WRAP, charset_UI_diff_space);
        popup.items += "-" + name;
        popup.paths.push_back(folder.substr(0, end + 1));
    }
    return popup;
}

// The comment of a kind-8 file: the rest of its first "COMM," line. A file that cannot be read or
// fails the header check leaves the comment as it was.
void read_comment(const std::string& path, std::string* comment)
{
    xmap_class file(path);
    int versions[] = {FDR_VERSION, 0};
    if (!file.base || !file.check_file(TEXT_FILE_TYPE, versions, nullptr, nullptr))
        return;
    while (file.cur < file.end) {
        std::string token;
        file.TXT_str_scan_comma(&token);
        if (strcasecmp(token.c_str(), "COMM") == 0) {
            (void)file.TXT_byt_scan();  // the blank after the comma
            file.TXT_str_scan_eoln(comment);
            return;
        }
        file.TXT_str_scan_eoln(nullptr);
    }
}

void show_comment(const opensave_box& box, int count)
{
    if (box.hovered >= 0 && box.hovered < count && g_path_rel[box.hovered] != memory.fdr_path) {
        memory.fdr_path = g_path_rel[box.hovered];
        read_comment(memory.fdr_path, &memory.comment);
    }
    if (!memory.comment.empty())
        OGL_string(INFO_TEXT_COLOUR, COMMENT_X, COMMENT_Y, memory.comment, io_dx - COMMENT_MARGIN,
                   charset_UI_diff_space);
}

// The box lists its folder every frame, and a large one takes longer to read than to draw. So a listing
// is kept while the folder keeps its path, device, node and modification time; and only a listing made
// once that time had stood for this long, so that a change within the file system's timestamp
// granularity of the one before it (which could leave the time as it was) is never missed. Nothing
// but the box lists folders while its loop runs, so the tables still hold what was kept.
constexpr time_t LISTING_SETTLED_SECONDS = 2;

int list_folder(opensave_box& box)
{
    const std::string full = app_path + wrk_path;
    struct stat info;
    const bool stamped = stat(full.empty() ? "." : full.c_str(), &info) == 0;
    const long long modified_ns = stamped ? info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec : 0;
    opensave_listing& listed = box.listed;
    if (stamped && listed.kept && listed.folder == wrk_path && listed.device == static_cast<long long>(info.st_dev) &&
        listed.node == static_cast<long long>(info.st_ino) && listed.modified_ns == modified_ns)
        return listed.count;

    listed.kept = false;
    listed.count = opensave_getitems(box.file_kind);
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    if (stamped && info.st_mtim.tv_sec + LISTING_SETTLED_SECONDS < now.tv_sec)
        listed = {true,        wrk_path,    static_cast<long long>(info.st_dev), static_cast<long long>(info.st_ino),
                  modified_ns, listed.count};
    return listed.count;
}

// Ends the box: its window goes back to the one it came from.
opensave_answer close_box(const opensave_box& box, opensave_answer answer)
{
    MACIBM_startwind(box.back_window);
    return answer;
}

}  // namespace

// ---------------------------------------------------------------------------
// [SECTION] Entry
// ---------------------------------------------------------------------------

std::string opensave_saved_name(std::string typed, int file_kind)
{
    // Only a name with more before its dot loses it: ".abc" is all name, and keeps its dot.
    constexpr size_t EXTENSION_LENGTH = 4;
    if (typed.size() > EXTENSION_LENGTH && typed[typed.size() - EXTENSION_LENGTH] == '.')
        typed.resize(typed.size() - EXTENSION_LENGTH);
    const kind_folder* k = find_kind(file_kind);
    if (k && k->extension)
        typed += k->extension;
    return typed;
}

opensave_box opensave_open(int box_id, int path_mode, int file_kind, const std::string& result)
{
    if (box_id != WIN_FILE_OPEN && box_id != WIN_FILE_SAVE)
        __MACIBM_alert(0, "Bad open_save arg to BTN_opensave!", "", "", "", ALERT_FATAL, OPENSAVE_SOURCE, BAD_BOX_LINE);
    else if (path_mode != OPENSAVE_BARE_NAME && path_mode != OPENSAVE_RELATIVE_PATH)
        __MACIBM_alert(0, "Bad file_path arg to BTN_opensave!", "", "", "", ALERT_FATAL, OPENSAVE_SOURCE,
                       BAD_PATH_MODE_LINE);
    else if (file_kind < 0 || file_kind > LAST_FILE_KIND)
        __MACIBM_alert(0, "Bad file_type arg to BTN_opensave!", "", "", "", ALERT_FATAL, OPENSAVE_SOURCE,
                       BAD_KIND_LINE);

    opensave_box box;
    box.box_id = box_id;
    box.path_mode = path_mode;
    box.file_kind = file_kind;
    box.back_window = mnw.cur_win;

    const kind_folder* kind = find_kind(file_kind);
    if (kind && kind->folder) {
        wrk_path = kind->folder;
    } else if (std::any_of(result.begin(), result.end(), is_folder_separator)) {
        // The folder of the named file; a separator in the last place is skipped, so a folder
        // path starts the box in its parent.
        wrk_path.clear();
        for (size_t i = result.size() - 1; i-- > 1;)
            if (is_folder_separator(result[i])) {
                wrk_path = result.substr(0, i + 1);
                break;
            }
    }

    const int count = list_folder(box);
    box.current = box.hovered = count / 2;
    MACIBM_startwind(box_id);
    return box;
}

// ---------------------------------------------------------------------------
// [SECTION] One frame
// ---------------------------------------------------------------------------

opensave_answer opensave_frame(opensave_box& box, std::string* result)
{
    const bool saving = box.box_id == WIN_FILE_SAVE;
    OGL_plot_back_col();
    BTN_fillwin(1, 21);

    int count = list_folder(box);
    const int list_clicked = BTN_big_name_list(box.box_id, LIST_SLOT, LIST_X, LIST_Y, 0, 0, &box.current, &box.hovered,
                                               0, count - 1, &stl_input, nullptr);
    // Entries at and past the count are left from an earlier listing: they name nothing here.
    const bool hovered_listed = box.hovered >= 0 && box.hovered < count;
    BTN_frame2(INFO_PANEL_STYLE, INFO_X, INFO_Y, io_dx, INFO_HEIGHT, "");
    BTN_frame1(NAME_BAR_STYLE, io_cx, NAME_BAR_Y, io_dx, 0);

    if (saving) {
        if (stl_input.size() > TYPED_NAME_LIMIT)
            stl_input.resize(TYPED_NAME_LIMIT);
        const float w = proportional_text_width(stl_input);
        OGL_line(NAME_COLOUR, mnw.pulse, CURSOR_DX + w, CURSOR_BOTTOM, CURSOR_DX + w, CURSOR_TOP);
        OGL_string(NAME_COLOUR, NAME_X, NAME_Y, stl_input, NAME_WRAP, charset_UI_diff_space);
    } else if (hovered_listed) {
        OGL_string(NAME_COLOUR, NAME_X, NAME_Y, g_file[box.hovered], NAME_WRAP, charset_UI_diff_space);
    }

    folder_popup popup;
    if (box.file_kind == FDR_KIND)
        show_comment(box, count);
    else
        popup = folders_of(wrk_path);
    for (size_t i = 0; i < popup.paths.size(); ++i)
        if (popup.paths[i] == wrk_path)
            memory.level = static_cast<int>(i);

    if (saving && BTN_action(SAVE_X, BUTTONS_Y, 0, 0, ACTION_SHOW_PRESS, "Save"))
        return_hit = 1;

    if (BTN_textlist(mnw.box_w / 2, POPUP_Y, &memory.level, popup.items, "")) {
        wrk_path = popup.paths[static_cast<size_t>(memory.level)];
    } else if (saving && return_hit) {
        // Nothing typed is no name: Save and Return wait for one.
        if (!stl_input.empty()) {
            const std::string name = opensave_saved_name(stl_input, box.file_kind);
            *result = box.path_mode == OPENSAVE_RELATIVE_PATH ? wrk_path + name : name;
            return close_box(box, opensave_answer::chosen);
        }
        return_hit = 0;
    } else if ((list_clicked || return_hit) && hovered_listed) {
        if (g_file_type[box.hovered] == LIST_FOLDER) {
            wrk_path += g_file[box.hovered] + "/";
            count = list_folder(box);
            box.hovered = count / 2;
        } else if (!saving) {
            *result = box.path_mode == OPENSAVE_RELATIVE_PATH ? g_path_rel[box.hovered] : g_file[box.hovered];
            return close_box(box, opensave_answer::chosen);
        }
    }

    const std::string& cancel_text = stls[CANCEL_TEXT];
    if (BTN_action(CANCEL_X, BUTTONS_Y, 0, 0, ACTION_SHOW_PRESS, cancel_text.empty() ? CANCEL_FALLBACK : cancel_text))
        return close_box(box, opensave_answer::cancelled);
    return opensave_answer::going_on;
}

// ---------------------------------------------------------------------------
// [SECTION] The modal loop
// ---------------------------------------------------------------------------

int BTN_opensave(int box_id, int path_mode, int file_kind, std::string* result)
{
    opensave_box box = opensave_open(box_id, path_mode, file_kind, *result);
    while (mnw.cur_win == box.box_id) {
        const opensave_answer answer = opensave_frame(box, result);
        if (answer != opensave_answer::going_on)
            return answer == opensave_answer::chosen ? 1 : 0;
        MACIBM_event_proc();
    }
    return 0;
}
