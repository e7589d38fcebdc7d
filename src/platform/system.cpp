#include "platform/system.h"

#include <unistd.h>

namespace plat {

uint32_t processor_count()
{
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n < 1 ? 1u : static_cast<uint32_t>(n);
}

static SystemVersionSource& version_source()
{
    static SystemVersionSource source;
    return source;
}

void set_system_version(SystemVersionSource source)
{
    version_source() = std::move(source);
}

bool system_version(int32_t* version)
{
    if (version_source())
        return version_source()(version);
    return false;
}

}
