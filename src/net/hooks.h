// hooks: what the HTTP client hands down to the core: the addresses of its proxy settings, which the
// installer's preference set reads and writes.
// The program's main (and a test that reads preferences into `http`) fills the core's table with
// net_fill_core_hooks before it sets that table, on the main thread, before anything runs.
#pragma once

#include "core/hooks.h"

// Sets the members of `hooks` that the HTTP client answers; leaves the others as they are.
void net_fill_core_hooks(core_hooks& hooks);
