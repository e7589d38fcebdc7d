// shell_probe: a small program on the real shell, driven from outside by the end-to-end script
// (xdotool clicks and keys through XTEST). Each scenario starts the program as the installer
// does, prints "READY" once its first frames are drawn, waits for the input the script sends,
// and prints what the shell made of it.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <cstring>
#include <string>

#include <GL/gl.h>

#include "app_hook_recorder.h"
#include "pin_gl_driver.h"
#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/draw2d.h"
#include "platform/window.h"
#include "shell/event_proc.h"
#include "shell/hooks.h"
#include "shell/native_dialogs.h"
#include "shell/startup.h"
#include "shell/windows.h"

namespace {

// Frames drawn before the script is told to go on, so the window is mapped and exposed.
constexpr int SETTLE_FRAMES = 10;

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void settle()
{
    for (int i = 0; i < SETTLE_FRAMES; i++)
        MACIBM_event_proc();
    int x, y, w, h;
    plat::window_geometry(mnw.window[0], &x, &y, &w, &h);
    say("READY " + std::to_string(x) + " " + std::to_string(y));
}

void frames_until_return()
{
    do
        MACIBM_event_proc();
    while (!return_hit);
}

int startup()
{
    int x, y, w, h;
    plat::window_geometry(mnw.window[0], &x, &y, &w, &h);
    say("WINDOW " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) + " " + std::to_string(h) +
        " borderless=" + std::to_string(plat::window_borderless(mnw.window[0])));
    say("ALIAS " + std::to_string(mnw.alias_got));
    say(std::string("VERSION ") + reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    GLint depth_func = 0, front = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
    glGetIntegerv(GL_FRONT_FACE, &front);
    GLboolean depth_mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_mask);
    say("STATE multisample=" + std::to_string(glIsEnabled(GL_MULTISAMPLE)) + " cull=" +
        std::to_string(glIsEnabled(GL_CULL_FACE)) + " depth_lequal=" + std::to_string(depth_func == GL_LEQUAL) +
        " front_cw=" + std::to_string(front == GL_CW) + " depth_writes=" + std::to_string(depth_mask));
    for (int entry : {33, 38, 42, 43, 46}) {
        char line[96];
        std::snprintf(line, sizeof line, "PALETTE %d %d %d %d", entry, int(colr.col[entry][0] * 255 + 0.5f),
                      int(colr.col[entry][1] * 255 + 0.5f), int(colr.col[entry][2] * 255 + 0.5f));
        say(line);
    }
    say("STATUS cur_win=" + std::to_string(mnw.cur_win) + " lang=" + std::to_string(mnw._lang) + " ogl_inited=" +
        std::to_string(ogl_inited) + " textures=" + std::to_string(shell_test::app_hooks.texture_loads));
    for (int i = 0; i < SETTLE_FRAMES; i++)
        MACIBM_event_proc();
    say("UPDATES " + std::to_string(shell_test::app_hooks.updates));
    return 0;
}

int alert()
{
    settle();
    __MACIBM_alert(0, "The probe raised this alert.", "It waits for its button.", "Line three.", "Line four.",
                   ALERT_MESSAGE, "probe", 7);
    say("ANSWERED cur_win=" + std::to_string(mnw.cur_win) + " return_hit=" + std::to_string(return_hit));
    return 0;
}

int fatal()
{
    settle();
    __MACIBM_alert(0, "The probe ends here.", "", "Fatal by request.", "", ALERT_FATAL, "probe", 9);
    say("NOT REACHED");
    return 0;
}

int typing()
{
    settle();
    frames_until_return();
    say("TYPED[" + stl_input + "]");
    return 0;
}

int keys()
{
    settle();
    frames_until_return();
    for (auto [kind, value] : shell_test::app_hooks.keys)
        say("KEY " + std::to_string(kind) + " " + std::to_string(value));
    return 0;
}

int wheel()
{
    settle();
    frames_until_return();
    say("WHEEL " + std::to_string(mnw.wheel));
    return 0;
}

int click()
{
    settle();
    do
        MACIBM_event_proc();
    while (!mnw.click);
    char line[64];
    std::snprintf(line, sizeof line, "CLICK %.1f %.1f", mnw.mouse_x, mnw.mouse_y);
    say(line);
    return 0;
}

// The preferences box: its own loop until a close corner or Return closes it. The main
// screen's hook must not run meanwhile.
int modal()
{
    settle();
    MACIBM_startwind(WIN_PREFS);
    int updates_in_box = 0;
    int frames = 0;
    while (mnw.cur_win == WIN_PREFS) {
        OGL_plot_back_col();
        shell_get_hooks().widgets.fillwin(1, 21);
        int before = shell_test::app_hooks.updates;
        MACIBM_event_proc();
        // The frame whose events closed the box draws the main screen again, as it should.
        if (mnw.cur_win == WIN_PREFS)
            updates_in_box += shell_test::app_hooks.updates - before;
        frames++;
    }
    say("CLOSED cur_win=" + std::to_string(mnw.cur_win) + " updates_in_box=" + std::to_string(updates_in_box) +
        " frames_positive=" + std::to_string(frames > 0));
    return 0;
}

}

int main(int argc, char** argv)
{
    std::string scenario = argc > 1 ? argv[1] : "startup";
    shell_test::set_program_hooks();
    stls[603] = "OK";
    if (scenario == "progress") {
        // The progress window of its own, half full; kept up until the script has looked.
        float half = 0.5f;
        ShowProgressMessage("Copying files", &half);
        say("READY");
        const char* folder = std::getenv("T");
        std::string done = std::string(folder ? folder : "/tmp") + "/done";
        for (int i = 0; i < 600 && access(done.c_str(), F_OK) != 0; i++) {
            ShowProgressMessage("Copying files", &half);
            usleep(50000);
        }
        return 0;
    }
    if (scenario == "system-box") {
        // Before OpenGL is up the alert is the system's own box, answered outside the program.
        __MACIBM_alert(0, "Before the window", "this box is the system's.", "Return", "answers it.", ALERT_MESSAGE,
                       "probe", 3);
        say("ANSWERED system box");
        return 0;
    }
    MACIBM_init(argc, argv);
    shell_test::pin_gl_driver();
    int status = 1;
    if (scenario == "startup")
        status = startup();
    else if (scenario == "alert")
        status = alert();
    else if (scenario == "fatal")
        status = fatal();
    else if (scenario == "type")
        status = typing();
    else if (scenario == "keys")
        status = keys();
    else if (scenario == "wheel")
        status = wheel();
    else if (scenario == "click")
        status = click();
    else if (scenario == "modal")
        status = modal();
    else
        say("unknown scenario " + scenario);
    MACIBM_finishup(1);
    return status;
}
