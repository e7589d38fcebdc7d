// The program-wide alert as the shell shows it, and the three-answer box. Both are modal boxes
// drawn in OpenGL that run their own frames until answered.
#include "shell/alerts.h"

#include <cstdio>
#include <unistd.h>

#include <GL/gl.h>

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "gfx/viewport.h"
#include "platform/dialogs.h"
#include "shell/event_proc.h"
#include "shell/hooks.h"
#include "shell/startup.h"
#include "shell/windows.h"

namespace {

// 1 while an alert is being handled: an alert raised meanwhile goes to the system box and ends
// the program, since the box it would draw over is already in use.
int in_alert;

// Stale OpenGL errors are cleared before the box draws; the driver keeps at most a few.
constexpr int GL_ERROR_DRAIN = 30;

constexpr int TEXT_COLOUR = 42;
constexpr float LINE_X = 10;
constexpr float LINE_Y[4] = {195, 155, 115, 75};
constexpr float POSITION_Y = 35;
constexpr float TEXT_MARGIN = 20;
constexpr float BUTTON_Y = 18;

// The language choice: six radio buttons down the middle of the box.
constexpr float LANGUAGE_X_LEFT_OF_CENTRE = 25;
constexpr float LANGUAGE_TOP = 180;
constexpr float LANGUAGE_STEP = 20;
const char* const LANGUAGE_LABELS[] = {"|English", "|French", "|German", "|Italian", "|Spanish", "|Portuguese"};

// The three-answer box.
constexpr float NUKE_TEXT_X = 20;
constexpr float NUKE_TEXT_FROM_TOP = 40;
constexpr float NUKE_TEXT_MARGIN = 40;
constexpr float NUKE_BUTTON_EDGE = 20;
constexpr float NUKE_UPPER_Y = 60;
constexpr float NUKE_LOWER_Y = 25;
constexpr const char* NUKE_HEAD = "Replace the file ";
constexpr const char* NUKE_TAIL = "with the new version?";
constexpr const char* NUKE_ANSWERS[3] = {"Replace", "Keep", "Cancel"};

std::string position_text(const char* file, int line)
{
    return std::string("(") + (file ? file : "") + " line " + std::to_string(line) + ")";
}

void system_alert(const std::string& l1, const std::string& l2, const std::string& l3, const std::string& l4)
{
    plat::message_box_request r;
    r.kind = plat::MESSAGE_BOX_STOP;
    r.message = l1 + " " + l2;
    r.explanation = l3 + " " + l4;
    plat::show_message_box(r);
}

void clear_gl_errors()
{
    glEnd();
    glEndList();
    for (int i = 0; i < GL_ERROR_DRAIN; i++)
        (void)glGetError();
    OGL_nrml_colors();
}

float label_width(const std::string& label)
{
    return static_cast<float>(OGL_string_width(label));
}

void gl_alert(int back_window, const std::string lines[4], int type, const std::string& position)
{
    clear_gl_errors();
    float saved_x = mnw.mouse_x, saved_y = mnw.mouse_y;
    MACIBM_startwind(WIN_ALERT);
    const shell_widget_hooks& w = shell_get_hooks().widgets;
    while (mnw.cur_win == WIN_ALERT) {
        OGL_plot_back_col();
        w.fillwin(1, 21);
        std::string label;
        if (type == ALERT_LANGUAGE) {
            for (int i = 0; i < 6; i++)
                w.is_int(mnw.box_w / 2 - LANGUAGE_X_LEFT_OF_CENTRE, LANGUAGE_TOP - i * LANGUAGE_STEP, &mnw._lang, i,
                         LANGUAGE_LABELS[i]);
            stls.win_title = "Language:";
            label = "Accept";
        } else {
            for (int i = 0; i < 4; i++)
                OGL_string(TEXT_COLOUR, LINE_X, LINE_Y[i], lines[i], mnw.box_w - TEXT_MARGIN, charset_UI_diff_space);
            if (type == ALERT_FATAL)
                OGL_string(TEXT_COLOUR, LINE_X, POSITION_Y, position, mnw.box_w - TEXT_MARGIN, charset_UI_diff_space);
            label = stls[603];
        }
        int pressed = w.action(mnw.box_w / 2, BUTTON_Y, 0, 0, 1, label);
        if (pressed || return_hit) {
            return_hit = 0;
            if (type == ALERT_FATAL)
                return;
            MACIBM_startwind(back_window);
            mnw.mouse_x = saved_x;
            mnw.mouse_y = saved_y;
        }
        if (mnw.cur_win == WIN_ALERT)
            MACIBM_event_proc();
    }
}

}

void shell_alert(int back_window, const std::string& line1, const std::string& line2, const std::string& line3,
                 const std::string& line4, int type, const char* file, int line)
{
    std::string position = position_text(file, line);
    int reentered = in_alert;
    in_alert = 1;

    const std::string lines[4] = {line1, line2, line3, line4};
    bool all_empty = line1.empty() && line2.empty() && line3.empty() && line4.empty();
    if (!ogl_inited || reentered)
        system_alert(line1, line2, line3, line4);
    else if (!all_empty)
        gl_alert(back_window, lines, type, position);

    if (type == ALERT_MESSAGE || type == ALERT_FATAL || reentered) {
        xer << line1 << "\n" << line2 << "\n" << line3 << "\n" << line4 << "\n" << position << "\n";
        xer.flush();
    }

    if (type == ALERT_FATAL || reentered) {
        MACIBM_finishup(0);
        app_done = 1;
        // Workers may still wait on their queue: no static destructor may run under them, and
        // the status must stay 1.
        std::fflush(nullptr);
        _exit(1);
    }
    in_alert = reentered;
}

int MACIBM_nuke_alert(std::string name, int three_buttons)
{
    MACIBM_startwind(WIN_NUKE_ALERT);
    const shell_widget_hooks& w = shell_get_hooks().widgets;
    while (mnw.cur_win == WIN_NUKE_ALERT) {
        OGL_plot_back_col();
        w.fillwin(1, 21);
        OGL_string(TEXT_COLOUR, NUKE_TEXT_X, mnw.box_h - NUKE_TEXT_FROM_TOP, NUKE_HEAD + name + " " + NUKE_TAIL,
                   mnw.box_w - NUKE_TEXT_MARGIN, charset_UI_diff_space);
        if (w.action(label_width(NUKE_ANSWERS[0]) / 2 + NUKE_BUTTON_EDGE, NUKE_UPPER_Y, 0, 0, 1, NUKE_ANSWERS[0])) {
            MACIBM_startwind(WIN_MAIN);
            return 1;
        }
        if (w.action(label_width(NUKE_ANSWERS[1]) / 2 + NUKE_BUTTON_EDGE, NUKE_LOWER_Y, 0, 0, 1, NUKE_ANSWERS[1])) {
            MACIBM_startwind(WIN_MAIN);
            return 2;
        }
        if (three_buttons &&
            w.action(mnw.box_w - label_width(NUKE_ANSWERS[2]) / 2 - NUKE_BUTTON_EDGE, NUKE_LOWER_Y, 0, 0, 1,
                     NUKE_ANSWERS[2])) {
            MACIBM_startwind(WIN_MAIN);
            return 3;
        }
        MACIBM_event_proc();
    }
    return 3;
}
