#include "gfx/hooks.h"

#include "gfx/tman.h"

namespace {

constinit gfx_hooks in_force{};

}

void gfx_set_hooks(const gfx_hooks& hooks)
{
    in_force = hooks;
}

const gfx_hooks& gfx_get_hooks()
{
    return in_force;
}

void gfx_fill_core_hooks(core_hooks& hooks)
{
    hooks.region_bitmap = tman_load_region_bitmap;
}
