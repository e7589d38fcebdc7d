#include "core/macfs.h"

#include "core/paths.h"
#include "platform/files.h"

#include <cstring>

namespace {

constexpr size_t leaf_name_limit = 255;
constexpr size_t posix_path_buffer = 1024;
constexpr const char* volume_name = "root";

}  // namespace

OSErr FilePathToFSRefAndName(const char* path, FSRef* ref, HFSUniStr255* name)
{
    std::string normal = path ? path : "";
    set_dir_chars(normal);
    if (name == nullptr)
        return plat::make_ref(normal, ref);

    std::string parent;
    std::string leaf;
    size_t split = std::string::npos;
    for (size_t i = normal.size() >= 2 ? normal.size() - 2 : 0; i >= 1 && i + 1 < normal.size(); --i) {
        if (is_folder_separator(normal[i])) {
            split = i;
            break;
        }
    }
    if (split != std::string::npos) {
        parent = normal.substr(0, split);
        leaf = normal.substr(split + 1);
    } else if (normal.size() > 1) {
        leaf = normal;
    }
    if (leaf.size() > leaf_name_limit)
        return bdNamErr;
    name->length = static_cast<uint16_t>(leaf.size());
    for (size_t i = 0; i < leaf.size(); ++i)
        name->unicode[i] = static_cast<unsigned char>(leaf[i]);
    return plat::make_ref(parent, ref);
}

OSErr FilePathToFSSpec(const char* path, FSSpec& fss)
{
    std::string copy = path ? path : "";
    // "a:b::c" climbs out of b: drop the folder in front of "::".
    for (;;) {
        size_t twin = copy.find("::");
        if (twin == std::string::npos || twin == 0)
            break;
        size_t before = copy.rfind(':', twin - 1);
        if (before == std::string::npos)
            break;
        copy.erase(before + 1, twin + 2 - (before + 1));
    }
    set_dir_chars(copy);
    if (copy.size() > 1 && copy.back() == '/')
        copy.pop_back();
    size_t slash = copy.rfind('/');
    std::string leaf = slash == std::string::npos ? copy : copy.substr(slash + 1);

    FSRef ref;
    OSErr error = plat::make_ref(copy, &ref);
    if (error != noErr)
        return error;
    plat::CatalogInfo info;
    error = plat::get_catalog_info(ref, &info);
    if (error != noErr)
        return error;
    fss = FSSpec{};
    fss.vRefNum = static_cast<int32_t>(info.volume);
    fss.parID = static_cast<int64_t>(info.parent_node);
    fss.parent = info.parent.path;
    fss.name = info.is_root ? "" : info.name;
    return noErr;
}

OSErr FSRefToFilePath(FSRef* ref, std::string& out)
{
    out.clear();
    if (ref == nullptr)
        return paramErr;
    FSRef node = *ref;
    for (;;) {
        plat::CatalogInfo info;
        OSErr error = plat::get_catalog_info(node, &info);
        if (error != noErr)
            return error;
        out = info.name + out;
        if (info.is_root)
            return noErr;
        out = "/" + out;
        node = info.parent;
    }
}

OSErr FSSpecToFilePath(const FSSpec& fss, std::string& out)
{
    std::string joined = fss.parent;
    if (!fss.name.empty()) {
        if (joined.empty() || joined.back() != '/')
            joined += '/';
        joined += fss.name;
    }
    FSRef ref;
    OSErr error = plat::make_ref(joined, &ref);
    if (error != noErr)
        return error;
    char buffer[posix_path_buffer];
    error = plat::ref_make_path(ref, buffer, sizeof buffer);
    if (error != noErr)
        return error;
    out = buffer;
    return noErr;
}

void ConvertPathToCFM(std::string& path)
{
    bool folder = !path.empty() && path.back() == '/';
    std::string absolute = plat::absolute_path(path);
    // Colons inside names become slashes, as the two path styles swap them.
    std::string result = volume_name;
    for (size_t i = 0; i < absolute.size(); ++i) {
        char c = absolute[i];
        if (c == '/') {
            if (i + 1 < absolute.size())
                result += ':';
        } else {
            result += c == ':' ? '/' : c;
        }
    }
    if (folder && result.back() != ':')
        result += ':';
    path = result;
}
