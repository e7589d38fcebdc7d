#include "app_hook_recorder.h"

#include <cstring>

#include "core/globals.h"
#include "gfx/image_load.h"
#include "gfx/tman.h"
#include "shell/app_hooks.h"

namespace shell_test {
app_hook_log app_hooks;
}

void APP_update()
{
    shell_test::app_hooks.updates++;
    if (shell_test::app_hooks.on_update)
        shell_test::app_hooks.on_update();
}

void APP_handlekey(int kind, int value)
{
    shell_test::app_hooks.keys.push_back({kind, value});
}

void APP_handlemenu(int code)
{
    shell_test::app_hooks.menus.push_back(code);
}

// An interface atlas whose swatch pixels hold colours the tests can tell apart: the pixel at
// (x, y) is (x / 2, 5 y mod 256, 255 - 3 y mod 256).
void recall_ins_texes()
{
    shell_test::app_hooks.texture_loads++;
    constexpr int size = 512;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            unsigned char* p = scratch_array + 4 * (size * y + x);
            p[0] = static_cast<unsigned char>(x / 2);
            p[1] = static_cast<unsigned char>((5 * y) % 256);
            p[2] = static_cast<unsigned char>(255 - (3 * y) % 256);
            p[3] = 255;
        }
    }
    scratch_dx = size;
    scratch_dy = size;
    // The bitmap font draws from the atlas, so text needs it as a texture.
    (void)tman.load_texture(tex_fail_fatal, 363, 2, tex_load_now, "scratch_array:hard-wired textures");
}
