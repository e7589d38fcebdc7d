// Folder preparation of the install tree and the small path routines shared by the engine.

#include "installer/install_tree.h"

#include <set>

#include "core/alert.h"
#include "core/errors.h"
#include "core/globals.h"
#include "core/paths.h"
#include "core/stg.h"
#include "installer/decisions.h"
#include "installer/listing.h"
#include "platform/netcfg.h"
#include "shell/web.h"

namespace {

// Folders every install has, whether or not the release lists files in them.
constexpr const char* FIXED_FOLDERS[] = {
    "Output", "Output:FMS plans", "Output:logbooks", "Output:movies", "Output:situations", "Resources:preferences",
};

// Plug-in frameworks whose "Current" and "Resources" entries must be links; a real folder there
// is moved aside so that the release's link can take its place.
constexpr const char* FRAMEWORKS[] = {
    "Resources:plugins:KVEM.framework:",
    "Resources:plugins:KVWidgets.framework:",
};

// Returns 0, or the error of the first folder that could not be made (already reported).
int make_reported_folder(const std::string& folder)
{
    int result = make_folder(folder);
    if (show_make_dir_err(result)) {
        make_dir_error(folder, result);
        return result;
    }
    return 0;
}

void move_aside_unless_link(const std::string& folder, const std::string& entry)
{
    std::string full = dest_dir_path + folder + entry;
    set_dir_chars(full);
    if (is_sim_link(full.c_str(), nullptr))
        return;
    std::string where = dest_dir_path + folder;
    set_dir_chars(where);
    (void)rename_file(where, entry, "_" + entry);  // a missing entry simply stays missing
}

}  // namespace

void make_dirs()
{
    // The install folder and every ancestor, shallowest first.
    std::string install = dest_dir_path;
    if (!install.empty())
        install.pop_back();
    size_t first = install.find('/');
    if (first != std::string::npos) {
        for (size_t at = install.find('/', first + 1);; at = install.find('/', at + 1)) {
            std::string folder = (at == std::string::npos) ? install : install.substr(0, at);
            if (!folder.empty() && make_reported_folder(folder) != 0)
                break;
            if (at == std::string::npos)
                break;
        }
    }

    // Folders of every wanted file, whether or not it will be fetched; the set sorts a folder
    // before its sub-folders.
    std::set<std::string> folders;
    for (size_t i = 0; i < sim_info.size(); ++i) {
        const file_history_struct& history = sim_info[i];
        if (history.empty())
            continue;
        const file_version_struct& current = history.back();
        if (current.sig_want == SIG_GONE)
            continue;
        if (!want_this_f(static_cast<int>(i), static_cast<int>(history.size()) - 1, current.kind))
            continue;
        std::string inside = current.path;
        trim_dest_folder(inside);
        for (std::string& folder : enclosing_folders(inside))
            folders.insert(std::move(folder));
    }
    for (const std::string& folder : folders) {
        if (make_reported_folder(dest_dir_path + folder) != 0)
            break;
    }

    for (const char* fixed : FIXED_FOLDERS)
        (void)make_reported_folder(dest_dir_path + fixed);  // reported; the rest are still made

    for (const char* framework : FRAMEWORKS)
        move_aside_unless_link(std::string(framework) + "Versions:", "Current");
    for (const char* framework : FRAMEWORKS)
        move_aside_unless_link(framework, "Resources");
}

void make_dir_error(std::string path, int err)
{
    __MACIBM_alert(
        0,
        "I am unable to install or update Veltrix. An error occurred while creating new folders. Make sure you are "
        "installing to a directory that you have access to!",
        "Error: " + error_str(err), "Install Location: " + dest_dir_path, "Install Path:" + path, ALERT_MESSAGE,
        __FILE__, __LINE__);
}

void new_format(std::string path)
{
    __MACIBM_alert(0,
                   "OK I am checking the Halcyra Works servers and I am finding file formats that are newer than I can "
                   "understand!",
                   "In other words, you need to get a new installer!",
                   std::string("No problem... grab it at the download section of ") + kWebHost + ".", path,
                   ALERT_MESSAGE, __FILE__, __LINE__);
    go_to_URL(std::string("http://") + kWebHost + "/demo.html");
    stg.install_phase = INSTALL_FINISHED;
    app_done = 1;
}

void trim_dest_folder(std::string& path)
{
    size_t slash = path.find('/');
    if (slash == std::string::npos)
        return;
    path.erase(0, slash + 1);
}

int path_has_no_file(const std::string& path)
{
    if (path.empty())
        return 0;
    return (path.back() == ':' || path.back() == '/') ? 1 : 0;
}

void make_shortcut() { }

std::string local_path_of(const std::string& listed_path)
{
    std::string inside = listed_path;
    trim_dest_folder(inside);
    return dest_dir_path + inside;
}

std::string folder_of(const std::string& path)
{
    if (path.size() < 2)
        return std::string();
    for (size_t i = path.size() - 1; i-- > 0;) {
        if (is_folder_separator(path[i]))
            return path.substr(0, i + 1);
    }
    return std::string();
}

std::string leaf_of(const std::string& path)
{
    return path.substr(folder_of(path).size());
}
