#include "core/hooks.h"

#include <atomic>
#include <forward_list>

namespace {

constinit const core_hooks no_hooks{};
std::atomic<const core_hooks*> in_force{&no_hooks};

// Every table ever set, never freed: a worker may still be calling through one it loaded before the
// main thread set the next. Setting an equal table again reuses it, so tests that switch between a
// few tables do not make this grow.
std::forward_list<core_hooks>& kept_tables()
{
    static auto* tables = new std::forward_list<core_hooks>;
    return *tables;
}

}

void core_set_hooks(const core_hooks& hooks)
{
    std::forward_list<core_hooks>& tables = kept_tables();
    for (const core_hooks& kept : tables)
        if (kept == hooks) {
            in_force.store(&kept, std::memory_order_release);
            return;
        }
    tables.push_front(hooks);
    in_force.store(&tables.front(), std::memory_order_release);
}

const core_hooks& core_get_hooks()
{
    return *in_force.load(std::memory_order_acquire);
}
