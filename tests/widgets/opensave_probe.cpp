// opensave_probe BOX PATH_MODE FILE_KIND RESULT: starts on the real shell, widgets and art as the installer
// does (its folder becomes the working one), prints "READY", runs BTN_opensave with RESULT as the
// result string and prints "RESULT <answer> [<result string>]", for opensave_e2e.sh to drive.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/alert.h"
#include "gfx/draw2d.h"
#include "installer/hooks.h"
#include "shell/event_proc.h"
#include "shell/startup.h"
#include "support/pin_gl_driver.h"
#include "widgets/opensave.h"

int main(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    // The installer's tables, with a main screen that only clears: the box opens over it at once.
    installer_set_all_hooks();
    shell_hooks hooks = shell_get_hooks();
    hooks.app.update = OGL_plot_back_col;
    shell_set_hooks(hooks);
    MACIBM_init(argc, argv);
    test::pin_gl_driver();
    MACIBM_event_proc();
    std::printf("READY\n");
    std::fflush(stdout);
    std::string result = argv[4];
    const int answer = BTN_opensave(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]), &result);
    std::printf("RESULT %d [%s]\n", answer, result.c_str());
    MACIBM_finishup(0);
    return 0;
}
