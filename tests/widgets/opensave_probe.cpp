// opensave_probe: a program on the real shell and widgets that opens the file box drawn in OpenGL,
// for the end-to-end script to drive with xdotool.
//   opensave_probe BOX PATH_MODE FILE_KIND RESULT
// It starts as the installer does (its folder becomes the working folder), prints "READY" when the
// main screen is up, runs BTN_opensave with RESULT as the result string, and prints
// "RESULT <answer> [<result string>]" once the box has closed.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../shell/pin_gl_driver.h"
#include "core/alert.h"
#include "gfx/draw2d.h"
#include "shell/app_hooks.h"
#include "shell/event_proc.h"
#include "shell/startup.h"
#include "widgets/opensave.h"

namespace {

// Frames drawn before the script is told to go on, so the window is mapped and exposed.
constexpr int SETTLE_FRAMES = 10;

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

void APP_update()
{
    OGL_plot_back_col();
}
void APP_handlekey(int, int) { }
void APP_handlemenu(int) { }

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s BOX PATH_MODE FILE_KIND RESULT\n", argv[0]);
        return 2;
    }
    MACIBM_init(argc, argv);
    shell_test::pin_gl_driver();
    for (int i = 0; i < SETTLE_FRAMES; ++i)
        MACIBM_event_proc();
    say("READY");
    std::string result = argv[4];
    const int answer = BTN_opensave(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]), &result);
    say("RESULT " + std::to_string(answer) + " [" + result + "]");
    MACIBM_finishup(0);
    return 0;
}
