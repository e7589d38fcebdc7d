#pragma once
// Processor and operating-system facts that the original got from its
// multiprocessing and system-information services.

#include <cstdint>
#include <functional>

namespace plat {

// Number of online processors, never less than 1.
uint32_t processor_count();

// The multiprocessing services are always ready on Linux.
inline bool multiprocessing_ready()
{
    return true;
}

// The operating-system version in the original's packed form (0x1039 means
// 10.3.9). Linux has none, so the real source reports failure (returns false),
// which callers take as "a version later than any workaround targets".
// Tests inject a version through the seam; null restores the real source.
using SystemVersionSource = std::function<bool(int32_t* version)>;
void set_system_version(SystemVersionSource source);
bool system_version(int32_t* version);

}
