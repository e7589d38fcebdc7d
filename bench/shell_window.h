// The window and OpenGL context of the shell's start-up on the 1024 x 768 screen, for the benchmarks
// that run the shell's frame procedure (no log, no change of working folder); each loads its own art.
#pragma once

#include <cstdio>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/ogl_ext.h"
#include "gfx/viewport.h"
#include "platform/window.h"
#include "shell/context.h"
#include "shell/startup.h"

namespace bench {

// False, with a line naming the program on stderr, when there is no display or no context.
inline bool open_shell_window(const char* program)
{
    if (!plat::video_init()) {
        std::fprintf(stderr, "%s: no display\n", program);
        return false;
    }
    scratch_array_align();
    mnw._x_res_req = 1024;
    mnw._y_res_req = 768;
    mnw._col_res_req = 32;
    MACIBM_setres(1);
    if (!MACIBM_make_context(0)) {
        std::fprintf(stderr, "%s: no OpenGL context\n", program);
        return false;
    }
    OGL_pix_specs(0);
    glExt.init_extensions();
    return true;
}

}  // namespace bench
