// A program that opens the about box at start: nothing in the installer opens it, so the
// end-to-end run of its update path needs an entry of its own.

#include "core/alert.h"
#include "core/globals.h"
#include "installer/about.h"
#include "installer/hooks.h"
#include "shell/startup.h"

int main(int argc, char** argv)
{
    installer_set_all_hooks();
    MACIBM_init(argc, argv);
    stls[603] = "OK";
    MACIBM_about();
    MACIBM_finishup(0);
    return 0;
}
