#include "core/xmap.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/header.h"
#include "core/paths.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

constexpr const char* xmap_module_file = "DEzovuv/OOPS_cpp/xmap";
constexpr int out_of_memory_line = 325;
constexpr int null_mapping_line = 315;

// An empty file maps to this address: non-null, so the reader holds a file,
// and never read, because start and end are equal.
const char empty_mapping[1] = {0};

}  // namespace

xmap_class::xmap_class(const std::string& path)
{
    if (!path.empty())
        base = retry(path);
}

xmap_class::~xmap_class()
{
    release();
}

void xmap_class::release()
{
    if (base != nullptr) {
        if (base != empty_mapping)
            munmap(const_cast<char*>(base), static_cast<size_t>(end - base));
        --mapped_files_open;
    }
    if (fd != 0)
        close(fd);
    fd = 0;
    base = cur = end = nullptr;
}

const char* xmap_class::retry(const std::string& file_path)
{
    std::string full = app_path + file_path;
    set_dir_chars(full);  // the length limit and the path rules

    release();

    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    int opened = open(full.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0)
        return nullptr;
    struct stat info;
    if (fstat(opened, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(opened);
        return nullptr;
    }
    fd = opened;
    ++mapped_files_open;

    const off_t length = info.st_size;
    if (length <= 0) {
        base = cur = end = empty_mapping;
        return base;
    }

    void* mapped = mmap(nullptr, static_cast<size_t>(length), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) {
        int error = errno;
        // The open above counted a mapping that never came to be.
        --mapped_files_open;
        xer << "Mem file error.  Err=" << error << ", file=" << full << "\n";
        xer.flush();
        if (error == ENOMEM) {
            char number[64];
            snprintf(number, sizeof number, "errno=%f", static_cast<double>(error));
            stl_global = number;
            __MACIBM_alert(0, "Xmapped out of memory", "c_path=", full, stl_global, ALERT_FATAL, xmap_module_file,
                           out_of_memory_line);
        }
        base = cur = end = nullptr;
        return nullptr;
    }
    if (mapped == nullptr) {
        --mapped_files_open;
        base = cur = end = nullptr;
        __MACIBM_alert(0, "Xmapped file ran out of memory", "", "", "", ALERT_FATAL, xmap_module_file,
                       null_mapping_line);
        return nullptr;
    }
    base = static_cast<const char*>(mapped);
    cur = base;
    end = base + length;
    return base;
}

int xmap_class::io_file_open(int mode, std::string file_path, int* versions, int type)
{
    io_mode = mode;
    if (mode == 1)
        return ouf_open(file_path, type, versions ? versions[0] : 0, "no-copyright-string") ? 1 : 0;
    if (mode != 0)
        return 0;
    if (retry(file_path) == nullptr)
        return 0;
    return check_file(type, versions, nullptr, nullptr) != 0 ? 1 : 0;
}

void xmap_class::io_file_close()
{
    if (io_mode != 1)
        return;
    ouf.close();  // a failing close sets the failbit
}
