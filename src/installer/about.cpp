// The about box: version check against the update host, credits, web link and self-update.

#include "installer/about.h"

#include <cstdio>

#include "core/errors.h"
#include "core/globals.h"
#include "core/header.h"
#include "core/mnw.h"
#include "core/paths.h"
#include "core/xmap.h"
#include "core/zip.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "installer/engine.h"
#include "installer/servers.h"
#include "net/http.h"
#include "platform/netcfg.h"
#include "shell/event_proc.h"
#include "shell/web.h"
#include "shell/windows.h"
#include "widgets/action.h"
#include "widgets/panels.h"

namespace {

constexpr int SLOT_VERSION_LIST = 0;
constexpr int SLOT_INSTALLER = 1;

enum about_state { ABOUT_UNKNOWN = 0, ABOUT_OFFERED = 1, ABOUT_DOWNLOADING = 2, ABOUT_LAUNCH = 3, ABOUT_DONE = 4 };

constexpr float TEXT_X = 20, TEXT_MARGIN = 40;
constexpr int COLOUR_TEXT = 46, COLOUR_SITE = 48, COLOUR_STATUS = 57;

constexpr const char* CREDITS[] = {
    "Flight model, interface and installer: the Halcyra Works team.",
    "Scenery and navigation data: the Halcyra Works scenery group.",
    "Aircraft and artwork: the Halcyra Works design group.",
    "Testing: the Veltrix beta testers.",
    "Networking, archives and images: zlib, libpng and minizip.",
    "Thanks to every user who sent a report.",
};

std::string local_list_path()
{
    return "Resources:preferences:serverlist.txt";
}
std::string local_installer_path()
{
    return "Resources:preferences:installer.zip";
}

void read_location(xmap_class& map, std::string* server, std::string* path)
{
    std::string line;
    map.TXT_str_scan_eoln(&line);
    size_t blank = line.find_first_of(" \t");
    std::string host = line.substr(0, blank);
    std::string where;
    if (blank != std::string::npos) {
        size_t start = line.find_first_not_of(" \t", blank);
        if (start != std::string::npos)
            where = line.substr(start);
    }
    while (!where.empty() && (where.back() == ' ' || where.back() == '\t'))
        where.pop_back();
    if (!server_location_is_usable(host, where)) {
        xer << "About box: ignoring installer location '" << line << "' that cannot be fetched.\n";
        xer.flush();
        server->clear();
        path->clear();
        return;
    }
    *server = host;
    *path = where;
}

}  // namespace

about_versions read_update_list(const std::string& path)
{
    about_versions versions;
    xmap_class map(path);
    if (map.base == nullptr)
        return versions;
    int accepted[] = {SERVER_LIST_VERSION, 0};
    if (map.check_file(FILE_TYPE_TEXT, accepted, "SERVERS", nullptr) != SERVER_LIST_VERSION)
        return versions;
    while (map.cur < map.end) {
        if (map.TXT_str_scan_match("BETA", 1)) {
            map.TXT_str_scan_eoln(nullptr);
        } else if (map.TXT_str_scan_match("FINAL", 1)) {
            map.TXT_str_scan_eoln(&versions.version_text);
            versions.found = 1;
        } else if (map.TXT_str_scan_match("BETA_INSTALLER_MAC", 1)) {
            read_location(map, &versions.beta_server, &versions.beta_path);
        } else if (map.TXT_str_scan_match("FINAL_INSTALLER_MAC", 1)) {
            read_location(map, &versions.final_server, &versions.final_path);
        } else if (map.TXT_str_scan_match("BETA_VERSION", 1)) {
            versions.version_beta = map.TXT_int_scan();
            map.TXT_str_scan_eoln(nullptr);
        } else if (map.TXT_str_scan_match("FINAL_VERSION", 1)) {
            versions.version_final = map.TXT_int_scan();
            map.TXT_str_scan_eoln(nullptr);
        } else {
            map.TXT_str_scan_eoln(nullptr);
        }
    }
    return versions;
}

bool poll_update_list(fetch_pacing& pacing, about_versions* versions)
{
    if (!pacing.ready())
        return false;
    const int result = http.net_check(SLOT_VERSION_LIST, kUpdateHost, "/serverlist.txt", local_list_path());
    if (result == NET_FAILED)
        pacing.failed();
    if (result != NET_DONE)
        return false;
    *versions = read_update_list(local_list_path());
    if (versions->found)
        pacing.succeeded();
    else
        pacing.failed();
    return true;
}

void decide_update(const about_versions& versions, int* state, int* beta, std::string* server, std::string* path,
                   std::string* message)
{
    int is_latest = 1;
    *beta = 0;
    *state = ABOUT_DONE;
    if (versions.version_final == -1) {
        *message = "Can't connect to the net to find latest version.";
    } else if (versions.version_final == THIS_BUILD) {
        *message = "Your version of Veltrix is up to date.";
    } else if (versions.version_final > THIS_BUILD) {
        is_latest = 0;
    } else if (versions.version_beta > THIS_BUILD) {
        *beta = 1;
        is_latest = 0;
    } else {
        *message = "You have the latest Veltrix beta.";
    }
    if (is_latest)
        return;
    *server = *beta ? versions.beta_server : versions.final_server;
    *path = *beta ? versions.beta_path : versions.final_path;
    if (server->empty() || path->empty()) {
        *message = *beta ? "There is a newer beta of Veltrix available; visit our website to download the update."
                         : "There is a new version of Veltrix available; visit our website to download the update.";
        return;
    }
    *state = ABOUT_OFFERED;
}

void MACIBM_about()
{
    static int version_str_found = 0;                     // 1 once the published version text was read
    static std::string version_str_net;                   // the published version text
    static int is_beta = 0;                               // the newer release offered is a beta
    static int ins_state = ABOUT_UNKNOWN;                 // update state, kept when the box is opened again
    static std::string installer_server, installer_path;  // where the newer installer lies
    static std::string installer_app_name;                // the unpacked installer
    static std::string err_msg;                           // status text of state 4
    static fetch_pacing version_pacing;                   // the version check's pause after a failure

    MACIBM_startwind(WIN_ABOUT);
    while (mnw.cur_win == WIN_ABOUT) {
        if (about_versions versions; !version_str_found && poll_update_list(version_pacing, &versions)) {
            version_str_found = versions.found;
            version_str_net = versions.version_text;
            decide_update(versions, &ins_state, &is_beta, &installer_server, &installer_path, &err_msg);
        }

        OGL_plot_back_col();
        BTN_fillwin(1, 21);
        BTN_subwin(0, 15, -1, 35, -1, -1, "", nullptr, nullptr);
        float wrap = mnw.box_w - TEXT_MARGIN;
        float top = mnw.box_h;
        std::string site = kWebSiteName;
        OGL_string(COLOUR_TEXT, TEXT_X, top - 45, "Veltrix 8.50 Beta 8", wrap, 100);
        OGL_string(COLOUR_TEXT, TEXT_X, top - 55,
                   version_str_found
                       ? "The current version of Veltrix at " + site + " is now " + version_str_net
                       : "I could not connect to the net to find the current version of Veltrix at " + site + "!",
                   wrap, 100);
        OGL_string(COLOUR_SITE, TEXT_X, top - 75, "Veltrix is made by Halcyra Works.", wrap, 100);
        OGL_string(COLOUR_SITE, TEXT_X, top - 85, site, wrap, 100);
        for (size_t i = 0; i < std::size(CREDITS); ++i)
            OGL_string(COLOUR_TEXT, TEXT_X, top - 95 - 10 * static_cast<float>(i), CREDITS[i], wrap, 100);

        if (BTN_action(190, 17, 0, 0, 1, "Go to " + site + " for free updates and tons of other cool stuff!"))
            go_to_URL(kWebSiteUrl);

        std::string status;
        if (ins_state == ABOUT_OFFERED) {
            if (BTN_action(442, 17, 0, 0, 1, is_beta ? " Get New Beta! " : "Update Veltrix!"))
                ins_state = ABOUT_DOWNLOADING;
        } else if (ins_state == ABOUT_DOWNLOADING) {
            int result = http.net_check(SLOT_INSTALLER, installer_server, installer_path, local_installer_path());
            if (result == 0) {
                long long percent = transfer_percent(SLOT_INSTALLER);
                status = percent >= 0 ? "Downloading the installer..." + std::to_string(percent) + "% complete"
                                      : "Downloading the installer...";
            } else if (result == 2) {
                err_msg = "I was unable to download the installer from the net.";
                ins_state = ABOUT_DONE;
            } else {
                int unzipped = zip_to_file(local_installer_path(), "", &installer_app_name, 0);
                if (unzipped == 0) {
                    if (!installer_app_name.empty() && is_folder_separator(installer_app_name.back()))
                        installer_app_name.pop_back();
                    ins_state = ABOUT_LAUNCH;
                } else {
                    err_msg = "There was an error unzipping the installer: " + error_str(unzipped) + " (" +
                        std::to_string(unzipped) + ")";
                    ins_state = ABOUT_DONE;
                }
            }
        } else if (ins_state == ABOUT_LAUNCH) {
            int launched = launch_app(installer_app_name, app_path);
            if (launched != 0) {
                err_msg = "There was an error launching the installer: " + error_str(launched) + " (" +
                    std::to_string(launched) + ")";
                ins_state = ABOUT_DONE;
            }
        }
        if (ins_state == ABOUT_DONE)
            status = err_msg;
        if (!status.empty())
            OGL_string(COLOUR_STATUS, TEXT_X, top - 185, status, wrap, 100);

        MACIBM_event_proc();
    }
}
