// system_facts: what the log header says about the machine, and where the program's own
// executable lives. The start-up sequence is the caller.
// Invariant: a fact with no Linux source is absent (the header then writes "?"), never invented.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace plat {

struct machine_facts {
    std::optional<int> os_major, os_minor, os_patch;  // from the kernel release
    std::optional<int> cpu_type;                      // no Linux source
    std::optional<int> cpu_mhz;                       // first "cpu MHz" of /proc/cpuinfo
    std::optional<int> bus_mhz;                       // no Linux source
    std::optional<int> ram_mb;                        // physical memory
};

// Tests inject fixed facts; null restores the real source.
using MachineFactsSource = std::function<machine_facts()>;
void set_machine_facts(MachineFactsSource source);
machine_facts machine_description();

// The numbers of a kernel release text ("6.1.0-18-amd64" gives 6, 1, 0); missing parts stay empty.
void parse_release(const std::string& release, machine_facts* facts);
// The first "cpu MHz" value of a /proc/cpuinfo text, truncated.
std::optional<int> parse_cpu_mhz(const std::string& cpuinfo);

// Absolute path of the running executable, or "" when it cannot be read.
std::string executable_path();

// Makes the folder the working folder; false when it cannot.
bool change_directory(const std::string& folder);

}
