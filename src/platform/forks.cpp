#include "platform/forks.h"

#include "platform/owners.h"
#include "platform/part_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace plat {

namespace {

const char finder_attribute[] = "user.FinderInfo";
const char fork_attribute[] = "user.ResourceFork";

constexpr uint8_t appledouble_magic_version[8] = {0x00, 0x05, 0x16, 0x07, 0x00, 0x02, 0x00, 0x00};
constexpr size_t appledouble_fixed_size = 24;  // magic, version, 16 zero bytes
constexpr size_t appledouble_entry_size = 12;
constexpr uint32_t entry_id_fork = 2;
constexpr uint32_t entry_id_finder = 9;
constexpr uint32_t finder_entry_length = 32;
constexpr int err_bad_appledouble = 20012;

XattrEnabledSource xattr_source;

bool xattrs_allowed(const std::string& path)
{
    return !xattr_source || xattr_source(path);
}

// The refusals after which the sidecar takes over.
bool is_xattr_refusal(int error)
{
    return error == ENOTSUP || error == E2BIG || error == ENOSPC || error == EPERM;
}

uint32_t read_be32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void append_be32(std::string& out, uint32_t v)
{
    out.push_back(char(v >> 24));
    out.push_back(char(v >> 16));
    out.push_back(char(v >> 8));
    out.push_back(char(v));
}

bool all_zero(const uint8_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

int read_whole_file(const std::string& path, std::string& out)
{
    const descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!file)
        return errno;
    struct stat st;
    if (fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return EINVAL;
    out.clear();
    char buffer[65536];
    for (;;) {
        ssize_t got = read(file.get(), buffer, sizeof(buffer));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break;
        out.append(buffer, size_t(got));
    }
    return 0;
}

// Written beside the file as a part file, then renamed, so a reader never sees half a sidecar
// and a run killed meanwhile leaves only a part file that the next run removes.
int write_sidecar(const std::string& path, const std::string& image)
{
    const std::string final_path = sidecar_path(path);
    part_file part(part_folder(final_path));
    if (part.error() != 0)
        return part.error();
    const int error = part.write(image.data(), image.size());
    return error != 0 ? error : part.commit(final_path);
}

void remove_attributes(const std::string& path)
{
    lremovexattr(path.c_str(), finder_attribute);
    lremovexattr(path.c_str(), fork_attribute);
}

// 0 when both values went into the attributes; otherwise the errno of the refusal.
int write_attributes(const std::string& path, const uint8_t finder16[finder_info_size], const std::string& fork)
{
    uint8_t finder32[finder_entry_length] = {};
    std::memcpy(finder32, finder16, finder_info_size);
    if (all_zero(finder16, finder_info_size)) {
        if (lremovexattr(path.c_str(), finder_attribute) != 0 && errno != ENODATA && errno != ENOTSUP)
            return errno;
    } else if (lsetxattr(path.c_str(), finder_attribute, finder32, sizeof(finder32), 0) != 0) {
        return errno;
    }
    if (fork.empty()) {
        if (lremovexattr(path.c_str(), fork_attribute) != 0 && errno != ENODATA && errno != ENOTSUP)
            return errno;
    } else if (lsetxattr(path.c_str(), fork_attribute, fork.data(), fork.size(), 0) != 0) {
        return errno;
    }
    return 0;
}

// Reads one attribute whole; false when it is absent or unreadable.
bool read_attribute(const std::string& path, const char* name, std::string& out)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = lgetxattr(path.c_str(), name, nullptr, 0);
        if (size < 0)
            return false;
        out.resize(size_t(size));
        if (size == 0)
            return true;
        ssize_t got = lgetxattr(path.c_str(), name, out.data(), out.size());
        if (got >= 0) {
            out.resize(size_t(got));
            return true;
        }
        if (errno != ERANGE)
            return false;  // grew between the two calls: ask again
    }
    return false;
}

}  // namespace

void set_xattr_enabled(XattrEnabledSource source)
{
    xattr_source = std::move(source);
}

std::string sidecar_path(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos)
        return "._" + trimmed;
    return trimmed.substr(0, slash + 1) + "._" + trimmed.substr(slash + 1);
}

std::string appledouble_encode(const uint8_t finder16[finder_info_size], const std::string& fork)
{
    std::string image;
    image.reserve(appledouble_header_size + fork.size());
    image.append(reinterpret_cast<const char*>(appledouble_magic_version), sizeof(appledouble_magic_version));
    image.append(16, '\0');
    image.push_back(0);
    image.push_back(2);
    append_be32(image, entry_id_finder);
    append_be32(image, 50);
    append_be32(image, finder_entry_length);
    append_be32(image, entry_id_fork);
    append_be32(image, uint32_t(appledouble_header_size));
    append_be32(image, uint32_t(fork.size()));
    image.append(reinterpret_cast<const char*>(finder16), finder_info_size);
    image.append(16, '\0');
    image += fork;
    return image;
}

int appledouble_decode(const uint8_t* data, size_t length, appledouble_parts& parts)
{
    parts = appledouble_parts{};
    if (length < appledouble_fixed_size + 2)
        return err_bad_appledouble;
    if (std::memcmp(data, appledouble_magic_version, sizeof(appledouble_magic_version)) != 0 || !all_zero(data + 8, 16))
        return err_bad_appledouble;
    const int16_t count = int16_t((uint16_t(data[24]) << 8) | data[25]);
    if (count < 0)
        return err_bad_appledouble;
    const size_t table_end = appledouble_fixed_size + 2 + size_t(count) * appledouble_entry_size;
    if (table_end > length)
        return err_bad_appledouble;
    for (int i = 0; i < count; ++i) {
        const uint8_t* entry = data + appledouble_fixed_size + 2 + size_t(i) * appledouble_entry_size;
        const uint32_t id = read_be32(entry);
        const uint64_t offset = read_be32(entry + 4);
        const uint64_t size = read_be32(entry + 8);
        if (id != entry_id_finder && id != entry_id_fork)
            continue;
        if (offset + size > length)
            return err_bad_appledouble;
        if (id == entry_id_finder) {
            if (size != finder_entry_length)
                continue;
            std::memcpy(parts.finder16, data + offset, finder_info_size);
            parts.has_finder = 1;
        } else {
            parts.fork = data + offset;
            parts.fork_length = size_t(size);
            parts.has_fork = 1;
        }
    }
    return 0;
}

int fork_read(const std::string& path, uint8_t finder16[finder_info_size], std::string& fork)
{
    std::memset(finder16, 0, finder_info_size);
    fork.clear();
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return errno;

    std::string image;
    if (read_whole_file(sidecar_path(path), image) == 0) {
        appledouble_parts parts;
        const int error = appledouble_decode(reinterpret_cast<const uint8_t*>(image.data()), image.size(), parts);
        if (error != 0)
            return error;
        if (parts.has_finder)
            std::memcpy(finder16, parts.finder16, finder_info_size);
        if (parts.has_fork)
            fork.assign(reinterpret_cast<const char*>(parts.fork), parts.fork_length);
        return 0;
    }

    std::string value;
    if (read_attribute(path, finder_attribute, value) && value.size() >= finder_info_size)
        std::memcpy(finder16, value.data(), finder_info_size);
    if (read_attribute(path, fork_attribute, value))
        fork = std::move(value);
    return 0;
}

int fork_write(const std::string& path, const uint8_t finder16[finder_info_size], const std::string& fork)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return errno;
    const std::string sidecar = sidecar_path(path);

    if (fork.empty() && all_zero(finder16, finder_info_size)) {
        remove_attributes(path);
        if (unlink(sidecar.c_str()) != 0 && errno != ENOENT)
            return errno;
        return 0;
    }

    if (xattrs_allowed(path)) {
        const int error = write_attributes(path, finder16, fork);
        if (error == 0) {
            if (unlink(sidecar.c_str()) != 0 && errno != ENOENT)
                return errno;
            return 0;
        }
        if (!is_xattr_refusal(error))
            return error;
    }
    const int error = write_sidecar(path, appledouble_encode(finder16, fork));
    if (error != 0)
        return error;
    remove_attributes(path);
    return 0;
}

void sidecar_delete(const std::string& path)
{
    unlink(sidecar_path(path).c_str());
}

void sidecar_rename(const std::string& from, const std::string& to)
{
    const std::string from_sidecar = sidecar_path(from);
    const std::string to_sidecar = sidecar_path(to);
    struct stat st;
    // The renamed file replaced whatever was at `to`, so a sidecar left there
    // belongs to nobody now.
    if (lstat(from_sidecar.c_str(), &st) != 0) {
        unlink(to_sidecar.c_str());
        return;
    }
    rename(from_sidecar.c_str(), to_sidecar.c_str());
}

}  // namespace plat
