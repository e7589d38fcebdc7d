// hooks: hands the widget and menu functions to the layers below that draw with them (the shell's
// boxes, tooltip and click dispatch; the graphics layer's boxed strings), which cannot include widgets.
// Called once by the program's entry before start-up; calling it again changes nothing.
#pragma once

void widgets_install_hooks();
