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
#include <new>

namespace {

constexpr const char* xmap_module_file = "DEzovuv/OOPS_cpp/xmap";
constexpr int out_of_memory_line = 325;
constexpr int null_mapping_line = 315;

// An empty file maps to this address: non-null, so the reader holds a file,
// and never read, because start and end are equal.
const char empty_mapping[1] = {0};

// Up to this size a file is read into memory: a mapping's set-up, page faults
// and tear-down cost more than copying so few pages.
constexpr off_t copy_limit = 256 * 1024;

// Files up to this share of physical memory are mapped with their pages
// faulted in at once, far cheaper than one fault per few pages; a larger one
// is faulted in as it is read, so the kernel can drop pages behind the reader.
constexpr long populate_share = 4;

off_t populate_limit()
{
    static const off_t limit = [] {
        const long pages = sysconf(_SC_PHYS_PAGES);
        const long page_size = sysconf(_SC_PAGESIZE);
        return pages > 0 && page_size > 0 ? off_t(pages / populate_share) * off_t(page_size) : off_t(0);
    }();
    return limit;
}

// Reads the whole file into a new copy; null when reading fails. A file that
// shrank since its size was taken gives the bytes that are there.
char* read_copy(int fd, off_t length, off_t& got)
{
    char* copy = new (std::nothrow) char[size_t(length)];
    got = 0;
    while (copy != nullptr && got < length) {
        const ssize_t part = pread(fd, copy + got, size_t(length - got), got);
        if (part < 0 && errno == EINTR)
            continue;
        if (part < 0) {
            delete[] copy;
            return nullptr;
        }
        if (part == 0)
            break;
        got += part;
    }
    return copy;
}

}  // namespace

xmap_class::xmap_class(const std::string& path)
{
    if (!path.empty())
        base = retry(path);
}

xmap_class::~xmap_class() { release(); }

void xmap_class::release()
{
    if (base != nullptr) {
        if (base_is_copy)
            delete[] base;
        else if (base != empty_mapping)
            munmap(const_cast<char*>(base), static_cast<size_t>(end - base));
        --mapped_files_open;
    }
    if (fd != 0)
        close(fd);
    fd = 0;
    base = cur = end = nullptr;
    base_is_copy = false;
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

    if (length <= copy_limit) {
        off_t got = 0;
        if (const char* copy = read_copy(fd, length, got)) {
            base_is_copy = true;
            base = cur = copy;
            end = base + got;
            return base;
        }
        // A failed read falls through to the mapping, which reports its own error.
    }

    const int populate = length <= populate_limit() ? MAP_POPULATE : 0;
    void* mapped = mmap(nullptr, static_cast<size_t>(length), PROT_READ, MAP_PRIVATE | populate, fd, 0);
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
    if (populate == 0)
        madvise(mapped, static_cast<size_t>(length), MADV_SEQUENTIAL);
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
