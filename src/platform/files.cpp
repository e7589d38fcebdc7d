#include "platform/files.h"

#include "platform/owners.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace plat {

OSErr error_from_errno(int error)
{
    switch (error) {
        case 0:
            return noErr;
        case ENOENT:
            return fnfErr;
        case ENOTDIR:
            return dirNFErr;
        case EACCES:
        case EPERM:
            return afpAccessDenied;
        case ENAMETOOLONG:
            return bdNamErr;
        case EEXIST:
            return dupFNErr;
        case ENOSPC:
            return dskFulErr;
        case EROFS:
            return wPrErr;
        case EIO:
            return ioErr;
        case ENOMEM:
            return memFullErr;
        default:
            return error;
    }
}

std::string absolute_path(const std::string& path)
{
    std::string joined;
    if (!path.empty() && path[0] == '/') {
        joined = path;
    } else {
        std::vector<char> buffer(4096);
        while (getcwd(buffer.data(), buffer.size()) == nullptr) {
            if (errno != ERANGE)
                return path;
            buffer.resize(buffer.size() * 2);
        }
        joined = std::string(buffer.data()) + "/" + path;
    }

    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t slash = joined.find('/', start);
        if (slash == std::string::npos)
            slash = joined.size();
        std::string part = joined.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

OSErr make_ref(const std::string& path, FSRef* ref)
{
    if (path.empty())
        return fnfErr;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return error_from_errno(errno);
    ref->path = absolute_path(path);
    return noErr;
}

OSErr ref_make_path(const FSRef& ref, char* buffer, size_t size)
{
    if (buffer == nullptr || ref.path.size() + 1 > size)
        return bdNamErr;
    memcpy(buffer, ref.path.c_str(), ref.path.size() + 1);
    return noErr;
}

OSErr get_catalog_info(const FSRef& ref, CatalogInfo* info)
{
    struct stat self;
    if (ref.path.empty())
        return fnfErr;
    if (lstat(ref.path.c_str(), &self) != 0)
        return error_from_errno(errno);
    info->is_folder = S_ISDIR(self.st_mode);
    info->volume = self.st_dev;
    info->node = self.st_ino;
    if (ref.path == "/") {
        info->is_root = true;
        info->name = "root";
        info->parent.path.clear();
        info->parent_node = 1;  // the original's "parent of a volume root"
        return noErr;
    }
    size_t slash = ref.path.rfind('/');
    info->is_root = false;
    info->name = ref.path.substr(slash + 1);
    info->parent.path = slash == 0 ? "/" : ref.path.substr(0, slash);
    struct stat parent;
    if (lstat(info->parent.path.c_str(), &parent) != 0)
        return error_from_errno(errno);
    info->parent_node = parent.st_ino;
    return noErr;
}

int read_folder(const std::string& path, std::vector<FolderEntry>* entries)
{
    entries->clear();
    const folder_handle folder(opendir(path.c_str()));
    if (!folder)
        return errno;
    int fd = dirfd(folder.get());
    while (dirent* entry = readdir(folder.get())) {
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
            continue;
        FolderEntry item;
        item.name = entry->d_name;
        struct stat info;
        if (fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            item.is_folder = S_ISDIR(info.st_mode);
            item.is_link = S_ISLNK(info.st_mode);
        }
        entries->push_back(std::move(item));
    }
    std::sort(entries->begin(), entries->end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return 0;
}

namespace {

// Descriptors nftw may hold open at once: one per folder level it is inside.
constexpr int TREE_WALK_DESCRIPTORS = 32;

int remove_entry(const char* path, const struct stat*, int kind, FTW*)
{
    const int removed = kind == FTW_DP ? rmdir(path) : unlink(path);
    return removed == 0 ? 0 : errno;
}

}  // namespace

int remove_tree(const std::string& path)
{
    struct stat facts;
    if (lstat(path.c_str(), &facts) != 0)
        return (errno == ENOENT || errno == ENOTDIR) ? 0 : errno;
    if (!S_ISDIR(facts.st_mode))
        return unlink(path.c_str()) == 0 ? 0 : errno;
    // Depth first, so each folder is empty when its turn comes; links are removed, not followed.
    const int result = nftw(path.c_str(), remove_entry, TREE_WALK_DESCRIPTORS, FTW_DEPTH | FTW_PHYS);
    return result == -1 ? errno : result;
}

int64_t free_space(const std::string& path)
{
    std::string probe = path.empty() ? "." : path;
    for (;;) {
        struct statvfs info;
        if (statvfs(probe.c_str(), &info) == 0)
            return static_cast<int64_t>(info.f_bavail) * static_cast<int64_t>(info.f_frsize);
        while (probe.size() > 1 && probe.back() == '/')
            probe.pop_back();
        size_t slash = probe.rfind('/');
        if (slash == std::string::npos) {
            if (probe == ".")
                return -1;
            probe.assign(1, '.');
        } else if (slash == 0) {
            if (probe == "/")
                return -1;
            probe.assign(1, '/');
        } else {
            probe.resize(slash);
        }
    }
}

}  // namespace plat
