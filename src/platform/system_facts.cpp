#include "platform/system_facts.h"

#include "platform/owners.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

MachineFactsSource& facts_source()
{
    static MachineFactsSource source;
    return source;
}

// Reads up to a digit run at pos; advances pos past it.
std::optional<int> read_number(const std::string& text, size_t* pos)
{
    size_t start = *pos;
    long value = 0;
    while (*pos < text.size() && text[*pos] >= '0' && text[*pos] <= '9' && value < 1000000) {
        value = value * 10 + (text[*pos] - '0');
        ++*pos;
    }
    if (*pos == start)
        return std::nullopt;
    return static_cast<int>(value);
}

machine_facts real_facts()
{
    machine_facts facts;
    utsname names;
    if (uname(&names) == 0)
        parse_release(names.release, &facts);
    // "e": close-on-exec, like every descriptor of the program.
    if (const stream_handle cpuinfo{std::fopen("/proc/cpuinfo", "re")}) {
        std::string text;
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, cpuinfo.get())) > 0)
            text.append(chunk, got);
        facts.cpu_mhz = parse_cpu_mhz(text);
    }
    long pages = sysconf(_SC_PHYS_PAGES);
    long page_size = sysconf(_SC_PAGESIZE);
    if (pages > 0 && page_size > 0)
        facts.ram_mb = static_cast<int>(static_cast<long long>(pages) * page_size / (1024 * 1024));
    return facts;
}

}

void set_machine_facts(MachineFactsSource source)
{
    facts_source() = std::move(source);
}

machine_facts machine_description()
{
    if (facts_source())
        return facts_source()();
    return real_facts();
}

void parse_release(const std::string& release, machine_facts* facts)
{
    size_t pos = 0;
    std::optional<int>* parts[] = {&facts->os_major, &facts->os_minor, &facts->os_patch};
    for (int i = 0; i < 3; i++) {
        *parts[i] = read_number(release, &pos);
        if (!*parts[i] || pos >= release.size() || release[pos] != '.')
            return;
        ++pos;
    }
}

std::optional<int> parse_cpu_mhz(const std::string& cpuinfo)
{
    std::istringstream lines(cpuinfo);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, 7, "cpu MHz") != 0)
            continue;
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        size_t pos = line.find_first_not_of(" \t", colon + 1);
        if (pos == std::string::npos)
            continue;
        return read_number(line, &pos);
    }
    return std::nullopt;
}

std::string executable_path()
{
    // The link's length is unknown beforehand; grow until readlink leaves room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return "";
        if (static_cast<size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

bool change_directory(const std::string& folder)
{
    return !folder.empty() && chdir(folder.c_str()) == 0;
}

}
