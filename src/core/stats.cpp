#include "core/stats.h"

#include "core/globals.h"

#include <cstdlib>

std::map<UTL_stat_type, std::set<UTL_stat*>> all_stats;
static UTL_stat* waiting;
static int stat_initialized;

UTL_stat::UTL_stat(float* t, const char* n, UTL_stat_type k)
    : value(0), type(k), next_waiting(nullptr), target(t), name(n)
{
    enlist();
}

UTL_stat::UTL_stat(const char* n, UTL_stat_type k, float initial)
    : value(initial), type(k), next_waiting(nullptr), target(&value), name(n)
{
    enlist();
}

// Statistics built by static initialisers may run before the table exists;
// they wait in a list until init_stats.
void UTL_stat::enlist()
{
    if (stat_initialized) {
        all_stats[type].insert(this);
    } else {
        next_waiting = waiting;
        waiting = this;
    }
}

void UTL_stat::init_stats()
{
    for (UTL_stat* s = waiting; s; s = s->next_waiting)
        all_stats[s->type].insert(s);
    stat_initialized = 1;
}

void UTL_stat::reset_stats(UTL_stat_type k)
{
    for (UTL_stat* s : all_stats[k])
        s->value = 0;
}

void UTL_stat::publish()
{
    all_stats[type].insert(this);
}

UTL_remote_cmd* UTL_remote_cmd::cmd_list = nullptr;
int UTL_remote_cmd::free_id = 1;
static int inited;

UTL_remote_cmd::UTL_remote_cmd(const char* n, func_type f) : next(cmd_list), func(f), name(n), id(free_id++)
{
    cmd_list = this;
}

void UTL_remote_cmd::invoke(void*, int wanted)
{
    for (UTL_remote_cmd* c = cmd_list; c; c = c->next) {
        if (c->id == wanted) {
            if (c->func)
                c->func();
            return;
        }
    }
}

void UTL_remote_cmd::init_remote_cmds()
{
    inited = 1;
}

UTL_lazy_mempool::~UTL_lazy_mempool()
{
    while (blocks) {
        void* block = blocks;
        blocks = *static_cast<void**>(block);
        free(block);
    }
}

void* UTL_lazy_mempool::add_block(size_t bytes)
{
    if (bytes < sizeof(void*))
        bytes = sizeof(void*);
    void* block = malloc(bytes);
    if (!block)
        return nullptr;
    *static_cast<void**>(block) = blocks;
    blocks = block;
    total_allocated += static_cast<uint32_t>(bytes);
    return block;
}

void UTL_lazy_mempool::dump()
{
    xer << "Total memory allocated: " << total_allocated << "\n";
    xer << "Total wasted memory: " << total_wasted << "\n";
    xer << "Total ready memory: " << total_ready << "\n";
}
