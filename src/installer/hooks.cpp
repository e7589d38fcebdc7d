#include "installer/hooks.h"

#include "core/hooks.h"
#include "gfx/hooks.h"
#include "installer/art.h"
#include "installer/engine.h"
#include "net/hooks.h"
#include "widgets/hooks.h"

void installer_fill_shell_hooks(shell_hooks& hooks)
{
    hooks.app.update = APP_update;
    hooks.app.handlekey = APP_handlekey;
    hooks.app.handlemenu = APP_handlemenu;
    hooks.app.recall_ins_texes = recall_ins_texes;
    hooks.app.wait = installer_frame_wait;
}

void installer_set_all_hooks()
{
    core_hooks core;
    gfx_fill_core_hooks(core);
    net_fill_core_hooks(core);
    shell_fill_core_hooks(core);
    core_set_hooks(core);

    gfx_hooks gfx;
    widgets_fill_gfx_hooks(gfx);
    gfx_set_hooks(gfx);

    shell_hooks shell;
    widgets_fill_shell_hooks(shell);
    installer_fill_shell_hooks(shell);
    shell_set_hooks(shell);
}
