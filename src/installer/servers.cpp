// The server list, read from the maker's host once per run, and the listing archive fetched
// from one of its mirrors. Format of "serverlist.txt" (text, one record per line or lines):
//
//   A                          shared text header: 'A' or 'I' line,
//   820 version                the version (only 820 accepted),
//   SERVERS                    then the keyword
//   FINAL <release name>       install_name; must come before the SERVER records
//   BETA <text>                read over
//   SERVER <host>              a mirror: host on this line,
//   <path>                     its path on the next non-empty line (begins with '/'),
//   <description>              and the label of its radio button on the one after
//   ENDOFLIST                  reading stops here
//
// Any other line is read over; blank lines may stand anywhere.

#include "installer/servers.h"

#include <cmath>
#include <cstdlib>

#include "core/alert.h"
#include "core/errors.h"
#include "core/globals.h"
#include "core/header.h"
#include "core/paths.h"
#include "core/stg.h"
#include "core/xmap.h"
#include "core/zip.h"
#include "installer/engine.h"
#include "installer/fetch.h"
#include "installer/install_tree.h"
#include "net/http.h"
#include "platform/files.h"
#include "platform/netcfg.h"

namespace {

// HTTP slots of this module; the engine owns 2..5.
constexpr int SLOT_SERVER_LIST = 0;
constexpr int SLOT_LISTING = 1;

// rand() spans 0..2^31-1; this single-precision factor maps it onto [0, 1).
constexpr float RAND_TO_UNIT = 4.656613e-10f;
// Larger than 1 favours servers listed early.
constexpr float SERVER_SKEW = 1.3f;

// The one file a listing archive holds.
constexpr const char* LISTING_NAME = "directory.txt";

// Retries of the two fetches of this module; each is retried for as long as it fails.
fetch_pacing server_list_pacing;
fetch_pacing listing_pacing;

bool ends_in_separator(const std::string& text)
{
    return !text.empty() && is_folder_separator(text.back());
}

bool begins_with_separator(const std::string& text)
{
    return !text.empty() && is_folder_separator(text.front());
}

void remove_trailing_blanks(std::string& text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
}

std::string server_list_path()
{
    return temp_path + "serverlist.txt";
}

}  // namespace

bool server_location_is_usable(const std::string& host, const std::string& path)
{
    return !host.empty() && !ends_in_separator(host) && begins_with_separator(path);
}

int read_server_list(const std::string& path)
{
    xmap_class map(path);
    if (map.base == nullptr)
        return 0;
    int versions[] = {SERVER_LIST_VERSION, 0};
    if (map.check_file(FILE_TYPE_TEXT, versions, "SERVERS", nullptr) != SERVER_LIST_VERSION)
        return 0;

    int count = 0;
    int records_seen = 0;
    while (map.cur < map.end) {
        if (map.TXT_str_scan_match("BETA", 1)) {
            map.TXT_str_scan_eoln(nullptr);
        } else if (map.TXT_str_scan_match("FINAL", 1)) {
            map.TXT_str_scan_eoln(&install_name);
        } else if (map.TXT_str_scan_match("ENDOFLIST", 1)) {
            break;
        } else if (map.TXT_str_scan_match("SERVER", 1)) {
            std::string host, where, desc;
            map.TXT_str_scan_eoln(&host);
            map.TXT_str_scan_eoln(&where);
            map.TXT_str_scan_eoln(&desc);
            remove_trailing_blanks(host);
            ++records_seen;
            if (count >= max_servers) {
                xer << "Server list: record " << records_seen << " (" << host << ") is past the limit of "
                    << max_servers << " servers; ignored.\n";
                continue;
            }
            if (!server_location_is_usable(host, where)) {
                xer << "Server list: skipping server record " << records_seen << " with host '" << host
                    << "' and path '" << where
                    << "': a host must be non-empty without a final separator, a path must begin with one.\n";
                continue;
            }
            server_name[count] = host;
            server_path[count] = where + install_name + "/";
            server_desc[count] = desc;
            ++count;
        } else {
            map.TXT_str_scan_eoln(nullptr);
        }
    }
    xer.flush();
    stg.server_count = count;
    return 1;
}

int pick_server_skewed(int count)
{
    float x = static_cast<float>(std::rand()) * RAND_TO_UNIT;
    float y = (x > 0.0f) ? std::pow(x, SERVER_SKEW) : 0.0f;
    int index = static_cast<int>(y * static_cast<float>(count));
    if (index > count - 1)
        index = count - 1;
    if (index < 0 && count > 0)
        index = 0;
    return index;
}

std::string extracted_listing_path()
{
    std::string path = temp_path + "directory.txt";
    set_dir_chars(path);
    return path;
}

void poll_server_list()
{
    if (stg.server_count != -1)
        return;
    std::string list_path = server_list_path();
    if (fetch_step(SLOT_SERVER_LIST, server_list_pacing, kListHost, "/serverlist.txt", list_path) != NET_DONE)
        return;
    if (!read_server_list(list_path)) {
        new_format(list_path);
        return;
    }
    stg.server_index = pick_server_skewed(stg.server_count);
}

void poll_directory_listing()
{
    if (stg.dir_state != DIR_STATE_NONE || stg.server_count <= 0)
        return;
    // Built on every frame: the temporary folder is fixed at start-up, but the separators are
    // normalised each time as the rest of the path handling does.
    std::string archive = temp_path + "directory.txt.zip";
    std::string folder = temp_path;
    set_dir_chars(archive);
    set_dir_chars(folder);

    int index = stg.server_index;
    int result =
        fetch_step(SLOT_LISTING, listing_pacing, server_name[index], server_path[index] + "directory.txt.zip", archive);
    if (result == NET_FAILED) {
        stg.server_index = (stg.server_count == 1) ? 0 : std::rand() % stg.server_count;
        return;
    }
    if (result != NET_DONE)
        return;

    // A listing left from an earlier run must not stand in for one missing from this archive, and
    // whatever stands at its name (a folder an earlier broken archive made) must go.
    int extracted = plat::remove_tree(extracted_listing_path());
    // An archive holding anything but the listing file, a folder of its name included, is
    // damaged: nothing of it is extracted.
    if (extracted == 0)
        extracted = archive_damage(archive, LISTING_NAME);
    if (extracted == 0)
        extracted = zip_to_file(archive, folder, nullptr, 0);
    if (extracted == 0) {
        stg.dir_state = DIR_STATE_EXTRACTED;
    } else {
        listing_pacing.failed();
        __MACIBM_alert(0, "DIR-scan: The installer cannot extract a file.", "Error:" + error_str(extracted),
                       "Compressed File:" + archive, "Destination Path:" + folder, ALERT_MESSAGE, __FILE__, __LINE__);
    }
    (void)delete_file(archive);  // fetched again on failure, so a stale one must go either way
}
