#pragma once
// Named statistics grouped by kind, numbered remote commands, and the lazy
// memory pool. Main thread only.

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>

enum UTL_stat_type : int {
    stat_none = 0,
    stat_frame = 1,
};

class UTL_stat {
public:
    UTL_stat(float* target, const char* name, UTL_stat_type type);
    UTL_stat(const char* name, UTL_stat_type type, float initial);
    UTL_stat(const UTL_stat&) = delete;
    UTL_stat& operator=(const UTL_stat&) = delete;
    ~UTL_stat() { }  // stays registered: statistics live as long as the program

    static void init_stats();
    static void reset_stats(UTL_stat_type type);
    void publish();

    float get() const { return *target; }
    float& ref() { return *target; }
    const char* stat_name() const { return name; }

    float value;
    UTL_stat_type type;
    UTL_stat* next_waiting;
    float* target;
    const char* name;

private:
    void enlist();
};

extern std::map<UTL_stat_type, std::set<UTL_stat*>> all_stats;

class UTL_remote_cmd {
public:
    using func_type = void (*)();
    UTL_remote_cmd(const char* name, func_type func);
    ~UTL_remote_cmd() { }
    void publish() { }

    static void invoke(void* data, int id);
    static void init_remote_cmds();
    static UTL_remote_cmd* cmd_list;
    static int free_id;

    UTL_remote_cmd* next;
    func_type func;
    const char* name;
    int id;
};

struct UTL_lazy_mempool {
    UTL_lazy_mempool() = default;
    UTL_lazy_mempool(const UTL_lazy_mempool&) = delete;
    UTL_lazy_mempool& operator=(const UTL_lazy_mempool&) = delete;
    ~UTL_lazy_mempool();

    // Writes the three totals to the log.
    void dump();
    // Adds a block of the given size to the chain (blocks are chained through
    // their first word and released with free()); null when out of memory.
    void* add_block(size_t bytes);

    uint32_t total_allocated = 0;
    uint32_t total_wasted = 0;
    void* blocks = nullptr;
    void* reserved = nullptr;
    uint32_t total_ready = 0;
};
