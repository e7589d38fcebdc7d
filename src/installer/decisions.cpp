// Update decisions: the rules that protect files the user has changed, and the prompt that asks.

#include "installer/decisions.h"

#include <algorithm>
#include <vector>

#include "core/globals.h"
#include "core/mnw.h"
#include "core/stg.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "installer/install_tree.h"
#include "installer/listing.h"
#include "shell/event_proc.h"
#include "shell/windows.h"
#include "widgets/action.h"
#include "widgets/panels.h"

namespace {

// Prompt layout inside its 700 x 146 box.
constexpr float PROMPT_TEXT_X = 20;
constexpr float PROMPT_LINE1_Y = 100;
constexpr float PROMPT_PATH_Y = 90;
constexpr float PROMPT_LINE2_Y = 80;
constexpr float PROMPT_TEXT_MARGIN = 40;
constexpr int PROMPT_TEXT_COLOUR = 42;

struct prompt_button {
    float x, y, width;
    const char* install_label;
    const char* delete_label;
    int code;
};

constexpr prompt_button PROMPT_BUTTONS[] = {
    {96, 53, 160, "OVERWRITE THE OLD FILE", "DELETE THE OLD FILE", PROMPT_OVERWRITE},
    {96, 28, 160, "KEEP THE OLD FILE", "KEEP THE OLD FILE", PROMPT_KEEP},
    {308, 53, 260, "OVERWRITE EVERY OLD FILE IN THIS DIRECTORY", "DELETE EVERY OLD FILE IN THIS DIRECTORY",
     PROMPT_OVERWRITE_FOLDER},
    {308, 28, 260, "KEEP EVERY OLD FILE IN THIS DIRECTORY", "KEEP EVERY OLD FILE IN THIS DIRECTORY",
     PROMPT_KEEP_FOLDER},
    {584, 28, 200, "CANCEL THE WHOLE INSTALLATION!", "CANCEL THE WHOLE INSTALLATION!", PROMPT_CANCEL},
};

bool contains(const std::vector<std::string>& list, const std::string& folder)
{
    return std::find(list.begin(), list.end(), folder) != list.end();
}

bool is_known_version(const file_history_struct& history, const std::string& signature)
{
    for (const file_version_struct& version : history) {
        if (version.sig_want == signature)
            return true;
    }
    return false;
}

}  // namespace

int want_this_f(int history, int version, int kind)
{
    if (history < 0 || history >= static_cast<int>(sim_info.size()))
        return 0;
    const file_history_struct& h = sim_info[history];
    if (version < 0 || version >= static_cast<int>(h.size()))
        return 0;
    const file_version_struct& v = h[version];
    if (v.kind != kind)
        return 0;
    if (v.platform == PLATFORM_EVERY || v.platform == stg._download_os)
        return 1;
    if (v.platform == PLATFORM_EVERY_LINUX)
        return (stg._download_os >= OS_LINUX_GENERIC && stg._download_os <= OS_LINUX_ATHLON) ? 1 : 0;
    return 0;
}

int choose_files()
{
    std::vector<std::string> yes_folders;  // answer "every old file in this folder": go ahead
    std::vector<std::string> no_folders;   // answer "every old file in this folder": keep

    for (size_t i = 0; i < sim_info.size(); ++i) {
        file_history_struct& history = sim_info[i];
        if (history.empty())
            continue;
        file_version_struct& v = history.back();
        int want = want_this_f(static_cast<int>(i), static_cast<int>(history.size()) - 1, v.kind);
        bool gone = v.sig_want == SIG_GONE;
        if (want) {
            std::string local = local_path_of(v.path);
            if (v.sig_have == SIG_NONE) {
                want = gone ? 0 : 1;
            } else if (v.sig_have == v.sig_want) {
                want = 0;
            } else if (is_known_version(history, v.sig_have)) {
                want = 1;
            } else {
                std::string folder = folder_of(local);
                if (contains(yes_folders, folder)) {
                    want = 1;
                } else if (contains(no_folders, folder)) {
                    want = 0;
                } else {
                    xer << "File: " << local << "  sig_want=" << v.sig_want << "  sig_have=" << v.sig_have << "\n";
                    xer.flush();
                    switch (select_alert(local, gone ? 1 : 0)) {
                        case PROMPT_OVERWRITE:
                            want = 1;
                            break;
                        case PROMPT_KEEP:
                            want = 0;
                            break;
                        case PROMPT_OVERWRITE_FOLDER:
                            yes_folders.push_back(folder);
                            want = 1;
                            break;
                        case PROMPT_KEEP_FOLDER:
                            no_folders.push_back(folder);
                            want = 0;
                            break;
                        default:
                            return 0;
                    }
                }
            }
        }
        v.download = (want && !gone) ? 1 : 0;
        v.remove = (want && gone) ? 1 : 0;
    }
    return 1;
}

int select_alert(std::string path, int gone)
{
    MACIBM_startwind(WIN_FILE_PROMPT);
    if (mnw.cur_win != WIN_FILE_PROMPT)
        return PROMPT_CANCEL;
    const char* line1 = gone ? "I am about to DELETE:" : "I am about to install:";
    const char* line2 = gone ? "because we no longer use this file, but it appears you have modified it. What to do?"
                             : "but it appears you have modified this file. What to do?";
    while (mnw.cur_win == WIN_FILE_PROMPT) {
        OGL_plot_back_col();
        BTN_fillwin(1, 21);
        float wrap = mnw.box_w - PROMPT_TEXT_MARGIN;
        OGL_string(PROMPT_TEXT_COLOUR, PROMPT_TEXT_X, PROMPT_LINE1_Y, line1, wrap, 100);
        OGL_string(PROMPT_TEXT_COLOUR, PROMPT_TEXT_X, PROMPT_PATH_Y, path, wrap, 100);
        OGL_string(PROMPT_TEXT_COLOUR, PROMPT_TEXT_X, PROMPT_LINE2_Y, line2, wrap, 100);
        for (const prompt_button& button : PROMPT_BUTTONS) {
            const char* label = gone ? button.delete_label : button.install_label;
            if (BTN_action(button.x, button.y, button.width, 0, 1, label)) {
                MACIBM_startwind(WIN_MAIN);
                return button.code;
            }
        }
        MACIBM_event_proc();
    }
    return PROMPT_CANCEL;
}
