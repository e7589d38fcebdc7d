#include "core/listing.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/paths.h"
#include "platform/files.h"

#include <strings.h>

#include <cstring>
#include <vector>

namespace {

constexpr const char* io_module_file = "DEzovuv/Files/io_utils";
constexpr int not_a_folder_line = 1106;

struct extension_type {
    const char* extension;
    int type;
};
constexpr extension_type extension_types[] = {
    {".BMP", LIST_BITMAP}, {".PNG", LIST_BITMAP}, {".ACF", LIST_ACF}, {".AFL", LIST_AFL},
    {".WPN", LIST_WPN},    {".WAV", LIST_WAV},    {".OBJ", LIST_OBJ}, {".FDR", LIST_FDR},
    {".SIT", LIST_SIT},    {".SMO", LIST_SMO},    {".TXT", LIST_TXT}, {".FMS", LIST_FMS},
    {".TRA", LIST_TRA},    {".CAR", LIST_CAR},    {".SPA", LIST_SPA}, {".REG", LIST_REG},
};

}  // namespace

int opensave_getitems(int filter)
{
    set_dir_chars(wrk_path);
    std::string full = app_path + wrk_path;
    if (!full.empty() && !is_folder_separator(full.back()))
        __MACIBM_alert(0, "Working path does not appear to be a directory!",
                       "This is not consistent with my labelling practices!",
                       "I need to end all paths with the directory indicator!", full, ALERT_FATAL, io_module_file,
                       not_a_folder_line);

    std::vector<plat::FolderEntry> entries;
    if (plat::read_folder(full.empty() ? "." : full, &entries) != 0)
        return 0;

    int kept = 0;
    for (const plat::FolderEntry& entry : entries) {
        if (kept >= listing_capacity)
            break;
        g_file[kept] = entry.name;
        g_path_rel[kept] = wrk_path + entry.name;
        // The entry's own kind: a link to a folder is not a folder here, so a
        // listing never walks out of the tree through a link.
        int type = entry.is_folder ? LIST_FOLDER : LIST_OTHER;
        g_file_type[kept] = type;
        if (type == LIST_FOLDER)
            g_path_rel[kept] += '/';
        if (opensave_takeit(kept, filter))
            ++kept;
    }
    return kept;
}

int opensave_takeit(int index, int filter)
{
    if (index < 0 || index >= listing_capacity)
        return 0;
    std::string path = g_path_rel[index];
    if (path.size() > path_max_chars)
        __MACIBM_alert(0, "String too long!", path, "", "", ALERT_FATAL, "DEzovuv/GenH/hl_string", 132);

    const std::string& name = g_file[index];
    char tail[5] = {0, 0, 0, 0, 0};
    size_t take = name.size() < 4 ? name.size() : 4;
    for (size_t i = 0; i < take; ++i) {
        char c = name[name.size() - take + i];
        tail[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    for (const extension_type& known : extension_types)
        if (memcmp(tail, known.extension, 4) == 0)
            g_file_type[index] = known.type;

    int type = g_file_type[index];
    if (filter == LIST_PANEL_BITMAPS) {
        std::string panel = "Resources:bitmaps:cockpit:-PANELS-:";
        set_dir_chars(panel);
        if (strncasecmp(path.c_str(), panel.c_str(), panel.size() - 3) == 0)
            return 0;
        if (path.size() >= 6) {
            const char* mark = path.c_str() + path.size() - 6;
            if (strncasecmp(mark, "-1.", 3) == 0 || strncasecmp(mark, "-2.", 3) == 0 ||
                strncasecmp(mark, "-3.", 3) == 0 || strncasecmp(mark, "-4.", 3) == 0)
                return 0;
        }
    }

    if (name.empty() || name[0] == '.')
        return 0;
    return type == LIST_FOLDER || type == filter || filter == 0 || (filter == LIST_PANEL_BITMAPS && type == LIST_BITMAP)
        ? 1
        : 0;
}
