#include "app_hook_recorder.h"

#include <cstring>

#include "core/globals.h"
#include "core/hooks.h"
#include "gfx/hooks.h"
#include "gfx/image_load.h"
#include "gfx/tman.h"

namespace shell_test {

app_hook_log app_hooks;

// The pixel at (x, y) is (x / 2, 5 y mod 256, 255 - 3 y mod 256).
void load_swatch_atlas()
{
    app_hooks.texture_loads++;
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

shell_hooks recording_hooks()
{
    shell_hooks hooks;
    hooks.app.update = [] {
        app_hooks.updates++;
        if (app_hooks.on_update)
            app_hooks.on_update();
    };
    hooks.app.handlekey = [](int kind, int value) { app_hooks.keys.push_back({kind, value}); };
    hooks.app.recall_ins_texes = load_swatch_atlas;
    return hooks;
}

void set_program_hooks()
{
    core_hooks core;
    gfx_fill_core_hooks(core);
    shell_fill_core_hooks(core);
    core_set_hooks(core);
    shell_set_hooks(recording_hooks());
}

}
