// hooks: the widget and menu functions handed to the layers below that draw with them (the shell's
// boxes, tooltip, start-up screen and click dispatch; the graphics layer's boxed strings), which
// cannot include widgets. The program's main and the widget tests' fixture call these to fill
// the tables they then set; each fill sets only the widgets' members and leaves the others alone.
#pragma once

#include "gfx/hooks.h"
#include "shell/hooks.h"

void widgets_fill_shell_hooks(shell_hooks& hooks);
void widgets_fill_gfx_hooks(gfx_hooks& hooks);
