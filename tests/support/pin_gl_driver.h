// pin_gl_driver: keeps the OpenGL driver's libraries mapped until the process ends. SDL unloads
// them when video stops, and allocations the driver leaks would then be reported by the leak
// checker against an unknown module that no suppression can name.
#pragma once

#include <cstring>
#include <dlfcn.h>
#include <link.h>

namespace test {

inline void pin_gl_driver()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name;
            if (name && *name &&
                (std::strstr(name, "dri") || std::strstr(name, "GL") || std::strstr(name, "gallium") ||
                 std::strstr(name, "LLVM")))
                (void)dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

}
