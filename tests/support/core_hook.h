#pragma once
// Changes one member of the core's hook table and keeps the others, so that seams a test sets
// one by one (an alert recorder, a progress probe, a finish-up counter) stay in force together.

#include "core/hooks.h"

#include <type_traits>

namespace test {

template <typename Hook> void set_core_hook(Hook core_hooks::*member, std::type_identity_t<Hook> value)
{
    core_hooks hooks = core_get_hooks();
    hooks.*member = value;
    core_set_hooks(hooks);
}

}  // namespace test
