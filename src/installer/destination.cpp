// Destination folder: the install test and the folder chooser; also the key and menu hooks of the
// shell, which the installer leaves empty.

#include "installer/destination.h"

#include <cstring>

#include "core/globals.h"
#include "core/listing.h"
#include "core/paths.h"
#include "core/stg.h"
#include "installer/hooks.h"
#include "shell/native_dialogs.h"

namespace {

// Sub-folders whose presence marks a folder as an install; each is searched in the listed paths.
constexpr const char* INSTALL_MARKERS[] = {"Airfoils", "Instructions", "Output", "Resources"};

}  // namespace

void check_dest_path()
{
    std::string d = dest_dir_path;
    set_dir_chars(d);
    if (!d.empty() && d.back() != '/' && dir_exists(d))
        d += '/';

    std::string parent = d;
    if (d.size() >= 2) {
        size_t slash = d.rfind('/', d.size() - 2);
        if (slash != std::string::npos)
            parent = d.substr(0, slash + 1);
    }
    if (!dir_exists(d))
        d = parent;

    bool found[std::size(INSTALL_MARKERS)] = {};
    int count = 0;
    if (!d.empty() && d.back() == '/') {
        wrk_path = d;
        count = opensave_getitems(0);
    }
    for (int i = 0; i < count && i < listing_capacity; ++i) {
        if (g_file_type[i] != 1)
            continue;
        for (size_t m = 0; m < std::size(INSTALL_MARKERS); ++m) {
            if (g_path_rel[i].find(INSTALL_MARKERS[m]) != std::string::npos)
                found[m] = true;
        }
    }
    bool is_install = count > 0;
    for (bool marker : found)
        is_install = is_install && marker;

    stg.dest_is_install = is_install ? 1 : 0;
    if (!is_install)
        d += "Veltrix:";
    set_dir_chars(d);
    dest_dir_path = d;
}

int pick_dest_path()
{
    char buffer[DEST_PATH_BUFFER + 1] = {};
    // A start folder that does not fit would be cut into another folder's name: open without one.
    std::string start = dest_dir_path.size() <= DEST_PATH_BUFFER ? dest_dir_path : std::string();
    std::memcpy(buffer, start.c_str(), start.size());
    int chosen = GetFilePathFromUser(
        2, "Pick a folder to install Veltrix to! Be sure to pick your existing folder if you already have one!",
        "This is my Veltrix destination", 1, start.c_str(), buffer);
    if (!chosen)
        return 0;
    dest_dir_path = buffer;
    if (dest_dir_path != "/")
        dest_dir_path += "/";
    check_dest_path();
    return 1;
}

void APP_handlekey(int kind, int value) { }

void APP_handlemenu(int item) { }

void function_key(int key) { }
