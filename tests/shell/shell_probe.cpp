// shell_probe: a small program on the real shell, driven from outside by the end-to-end script
// (xdotool clicks and keys through XTEST). Each scenario starts the program as the installer
// does, prints "READY" once its first frames are drawn, waits for the input the script sends,
// and prints what the shell made of it.
#include <cstdio>
#include <string>

#include "app_hook_recorder.h"
#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "platform/window.h"
#include "shell/event_proc.h"
#include "shell/startup.h"
#include "support/pin_gl_driver.h"

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
    say("READY");
}

void startup()
{
    int x, y, w, h;
    plat::window_geometry(mnw.window[0], &x, &y, &w, &h);
    say("WINDOW " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) + " " + std::to_string(h) +
        " borderless=" + std::to_string(plat::window_borderless(mnw.window[0])));
    for (int entry : {38, 43}) {
        char line[96];
        std::snprintf(line, sizeof line, "PALETTE %d %d %d %d", entry, int(colr.col[entry][0] * 255 + 0.5f),
                      int(colr.col[entry][1] * 255 + 0.5f), int(colr.col[entry][2] * 255 + 0.5f));
        say(line);
    }
    say("STATUS cur_win=" + std::to_string(mnw.cur_win) + " lang=" + std::to_string(mnw._lang) + " ogl_inited=" +
        std::to_string(ogl_inited) + " textures=" + std::to_string(shell_test::app_hooks.texture_loads));
}

void alert(int type)
{
    settle();
    __MACIBM_alert(0, "The probe raised this alert.", "It waits for its button.", "Line three.", "Line four.", type,
                   "probe", 7);
    say("ANSWERED cur_win=" + std::to_string(mnw.cur_win) + " return_hit=" + std::to_string(return_hit));
}

// Typing, keys, the wheel and a click: the frames run until the click, then report what the
// shell made of the input before it.
void input()
{
    settle();
    do
        MACIBM_event_proc();
    while (!mnw.click);
    say("TYPED[" + stl_input + "]");
    for (auto [kind, value] : shell_test::app_hooks.keys)
        say("KEY " + std::to_string(kind) + " " + std::to_string(value));
    char line[64];
    std::snprintf(line, sizeof line, "WHEEL %d CLICK %.1f %.1f", mnw.wheel, mnw.mouse_x, mnw.mouse_y);
    say(line);
}

}

int main(int argc, char** argv)
{
    std::string scenario = argc > 1 ? argv[1] : "startup";
    shell_test::set_program_hooks();
    stls[603] = "OK";
    if (scenario == "system-box") {
        // Before OpenGL is up the alert is the system's own box, answered outside the program.
        __MACIBM_alert(0, "Before the window", "this box is the system's.", "Return", "answers it.", ALERT_MESSAGE,
                       "probe", 3);
        say("ANSWERED system box");
        return 0;
    }
    MACIBM_init(argc, argv);
    test::pin_gl_driver();
    if (scenario == "startup")
        startup();
    else if (scenario == "input")
        input();
    else  // "alert" or "fatal"
        alert(scenario == "alert" ? ALERT_MESSAGE : ALERT_FATAL);
    MACIBM_finishup(1);
    return 0;
}
