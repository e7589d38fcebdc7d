// The download-and-extract engine: four interleaved streams, each polled once per call.

#include "installer/engine.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include <minizip/unzip.h>

#include "core/alert.h"
#include "core/clock.h"
#include "core/errors.h"
#include "core/globals.h"
#include "core/listing.h"
#include "core/paths.h"
#include "core/stg.h"
#include "core/zip.h"
#include "installer/fetch.h"
#include "installer/install_tree.h"
#include "installer/listing.h"
#include "installer/servers.h"
#include "installer/unpack.h"
#include "net/http.h"

namespace {

// Rates in kilobytes per second at which the stream target changes; targets above four all mean
// "every stream".
constexpr float RATE_SLOW = 50;
constexpr float RATE_FAST = 100;
constexpr float RATE_FASTER = 150;
constexpr float RATE_FASTEST = 200;

// Entry names longer than a path may be are refused, as the extractor would refuse them.
constexpr unsigned ARCHIVE_NAME_LIMIT = 499;
// Damaged copies of one archive taken per listed server before the install gives up on it; the
// skewed server draw reaches the last of three servers about one time in four.
constexpr int DAMAGED_TRIES_PER_SERVER = 10;

// Damaged copies met so far, by history index, in this install.
std::map<int, int> damaged_tries;

// Each stream's pause after a failed or damaged download.
fetch_pacing pacing[max_streams];

// Whether the last grab_files call moved anything on; see grab_files_was_idle.
bool last_call_idle = false;

// What a stream's transfer looked like before its poll: the same afterwards means no byte came.
struct transfer_mark {
    const down_class* transfer = nullptr;
    int received = 0;
    int head_done = 0;
};

transfer_mark mark_of(int slot)
{
    const down_class* transfer = http.slots[slot].get();
    if (transfer == nullptr)
        return {};
    return {transfer, transfer->received, transfer->head_done};
}

bool same_mark(const transfer_mark& a, const transfer_mark& b)
{
    return a.transfer != nullptr && a.transfer == b.transfer && a.received == b.received && a.head_done == b.head_done;
}

// Where each stream's transfer came from, for the log.
struct transfer_source {
    std::string server, path;
};
transfer_source source[max_streams];

std::string stream_archive(int stream)
{
    std::string archive = temp_path + std::to_string(stream) + ".zip";
    set_dir_chars(archive);
    return archive;
}

void log_action(const char* prefix, const std::string& path, int result)
{
    if (!stg._log_actions)
        return;
    xer << prefix << path << ", with result=" << result << ".\n";
    xer.flush();
}

// Every ancestor folder of a deleted file inside the install folder, so that the end of the
// install can remove the ones left empty.
void remember_ancestors(const std::string& local)
{
    for (std::string& folder : enclosing_folders(local))
        if (folder.size() > dest_dir_path.size())
            deleted_files.insert(std::move(folder));
}

// After a stream finished a file: start another stream or stop this one to follow the rate.
void adapt_streams(int stream)
{
    float elapsed = std::max(1.0f, xtim.elapsed - next.install_start);
    float rate = (next.kb_done_zip + next.kb_in_flight) / elapsed;
    int target = stream_target_for_rate(rate);
    if (stg._stream_count != 0)
        target = stg._stream_count;
    int active = active_stream_count();
    if (active < target) {
        for (int s = 0; s < max_streams; ++s) {
            if (!next.slot_active[s]) {
                next.slot_active[s] = 1;
                next.slot_wants[s] = 1;
                break;
            }
        }
    }
    if (target < active)
        next.slot_active[stream] = 0;
    else
        next.slot_wants[stream] = 1;
}

// The extraction failure the user is told about: the install ends as failed.
void report_extract_failure(const std::string& zip, const std::string& dest, int error)
{
    stg.install_error = 1;
    __MACIBM_alert(0, "The installer cannot extract a file.", "Error:" + error_str(error), "Compressed File:" + zip,
                   "Destination:" + dest, ALERT_MESSAGE, __FILE__, __LINE__);
}

// A failed or unusable download: hand the file out again and draw another server.
void retry_elsewhere(int stream)
{
    stg.download_failed = 1;
    next.next_file = std::min(next.next_file, next.slot_file[stream]);
    stg.server_index = pick_server_skewed(stg.server_count);
    next.slot_wants[stream] = 0;
}

void remove_emptied_folders()
{
    for (auto it = deleted_files.rbegin(); it != deleted_files.rend(); ++it) {
        wrk_path = *it;
        if (opensave_getitems(0) != 0)
            continue;
        int result = delete_file(*it);
        log_action("cleanup: DELETING  file ", *it, result);
    }
}

void rename_install_folder()
{
    if (!this_install_has_exes || !stg._rename_folder)
        return;
    if (!is_plain_folder_name(install_name)) {
        xer << "Not renaming the install folder to the release name '" << install_name
            << "': it must be one plain folder name.\n";
        xer.flush();
        return;
    }
    std::string install = dest_dir_path;
    if (!install.empty() && install.back() == '/')
        install.pop_back();
    size_t slash = install.rfind('/');
    if (slash == std::string::npos)
        return;
    std::string parent = install.substr(0, slash + 1);
    std::string last = install.substr(slash + 1);
    if (last.empty() || last == install_name)
        return;
    if (rename_file(parent, last, install_name) == 0)
        dest_dir_path = parent + install_name + "/";
}

// Ends a slot's transfer at once: its socket and file are closed and the slot is free for the
// next net_check, which then starts the transfer it names instead of continuing this one.
void drop_transfer(int slot)
{
    http.drop_slot(slot);
}

// What follows an extraction: the user told of a failure, program files made executable, the
// log lines, the archive deleted.
void finish_extraction(const std::string& zip, const std::string& dest, int result)
{
    if (result != 0)
        report_extract_failure(zip, dest, result);
    int chmod_result = 0;
    // chmod follows links: a link in the bundle keeps its own mode rather than lending 0755 to
    // whatever it names.
    if (dest.find("Contents/MacOS/") != std::string::npos && !is_sim_link(dest.c_str(), nullptr))
        chmod_result = make_file_executable(dest.c_str());
    log_action("EXPANDING file ", dest, result);
    log_action("CHMODING  file ", dest, chmod_result);
    int deleted = delete_file(zip);
    log_action("DELETING  file ", zip, deleted);
}

// Extraction results that mean the download was damaged on its way or on its server (a CRC that
// fails, data that does not inflate, a truncated archive): fetched again from another server.
bool is_damaged_data(int error)
{
    return error == UNZ_CRCERROR || error == UNZ_BADZIPFILE || error == Z_DATA_ERROR || error == kErrZipRead ||
        error == kErrZipOpen;
}

// Each stream's destination as normalised when its archive was handed to a worker.
std::string unpacking_dest[max_streams];

// Hands a downloaded archive to a worker. The paths are normalised here, on the main thread, so
// that a path too long for the system is its alert here as it was during the extraction, and
// never comes from the worker.
void start_unpacking(int stream, const std::string& archive, const std::string& local)
{
    std::string dest = local;
    set_dir_chars(dest);
    for (std::string extractor_path : {app_path + archive, app_path + dest})
        set_dir_chars(extractor_path);
    unpacking_dest[stream] = dest;
    unpack_start(stream, archive, leaf_of(local), folder_of(dest));
}

// Acts on a stream's extraction result as the engine did when it extracted in place: 1 when the
// file is installed (or failed to extract, with install_error set), 0 when it is fetched again
// from another server, -1 when no server gave a sound copy and the install ends.
int settle_unpacked(int s, const std::string& archive, const std::string& local, const unpack_result& unpacked)
{
    if (!unpacked.log.empty()) {
        xer << unpacked.log;
        xer.flush();
    }
    int damage = unpacked.damage;
    if (damage == 0 && is_damaged_data(unpacked.error))
        damage = kErrZipRead;
    if (damage == 0) {
        stg.download_failed = 0;
        finish_extraction(archive, unpacking_dest[s], unpacked.error);
        return 1;
    }
    // Every server may serve the same broken archive: after enough draws the user hears of it as
    // the extraction failure it is, and the install ends.
    int tries = ++damaged_tries[next.slot_file[s]];
    bool give_up = tries >= DAMAGED_TRIES_PER_SERVER * std::max(1, stg.server_count);
    xer << "The archive " << source[s].path << " from " << source[s].server
        << " is damaged or names a file outside its folder"
        << (give_up ? "; no server gave a sound copy.\n" : "; fetching it from another server.\n");
    xer.flush();
    if (give_up) {
        // The download itself worked; a damaged entry was never renamed into place, so the file
        // there stays as it was.
        stg.download_failed = 0;
        report_extract_failure(archive, local, damage);
        (void)delete_file(archive);  // the next download of this stream replaces it whole anyway
        return -1;
    }
    (void)delete_file(archive);  // as above
    pacing[s].failed();
    retry_elsewhere(s);
    return 0;
}

}  // namespace

// A damaged or hostile archive from one mirror is fetched again from another instead of
// replacing a good file with a broken one or ending the install. Any entry but the file and its
// fork would land on a neighbour of the file, so the archive counts as damaged too. Only the
// names are read: the data is checked against its CRC as it is extracted.
int archive_damage(const std::string& archive, const std::string& leaf)
{
    const std::string fork_folder = "__MACOSX/";
    const std::string fork_entry = fork_folder + "._" + leaf;
    const auto check_name = [&](void*, const std::string& name, const unz_file_info64&) {
        const bool sound = name.size() <= ARCHIVE_NAME_LIMIT && relative_path_is_safe(name) &&
            (name == leaf || name == fork_entry || name == fork_folder);
        return sound ? 0 : kErrZipRead;
    };
    zip_walk_step failed = ZIP_STEP_NONE;
    const int answer = zip_walk_entries(archive, check_name, &failed);
    if (failed == ZIP_STEP_OPEN)
        return kErrZipOpen;
    // An archive without entries holds nothing misnamed.
    const bool empty = failed == ZIP_STEP_RECORD && answer == UNZ_END_OF_LIST_OF_FILE;
    return answer == 0 || empty ? 0 : kErrZipRead;
}

int active_stream_count()
{
    int active = 0;
    for (int s = 0; s < max_streams; ++s)
        active += next.slot_active[s] ? 1 : 0;
    return active;
}

long long transfer_percent(int slot)
{
    if (slot < 0 || slot >= HTTP_SLOT_COUNT)
        return 0;
    const down_class* transfer = http.slots[slot].get();
    if (transfer == nullptr)
        return 0;
    if (transfer->content_length <= 0)
        return -1;
    return static_cast<long long>(transfer->received) * 100 / transfer->content_length;
}

int stream_target_for_rate(float kb_per_second)
{
    int target = 4;
    if (kb_per_second <= RATE_SLOW)
        target = 2;
    if (kb_per_second > RATE_FAST)
        target = 6;
    if (kb_per_second > RATE_FASTER)
        target = 8;
    if (kb_per_second > RATE_FASTEST)
        target = 9;
    return target;
}

bool is_plain_folder_name(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), is_folder_separator) && name.find('\0') == std::string::npos;
}

void reset_slots()
{
    // An archive still being extracted must be done with before its stream's archive goes.
    unpack_wait_all();
    int n = static_cast<int>(sim_info.size());
    for (int s = 0; s < max_streams; ++s) {
        // A transfer of an earlier install must not be "continued" into this one's archive.
        drop_transfer(FIRST_STREAM_SLOT + s);
        if (next.slot_active[s] && next.slot_file[s] >= 0 && next.slot_file[s] < n)
            (void)delete_file(stream_archive(s));  // usually absent
    }
    next.next_file = 0;
    damaged_tries.clear();
    for (fetch_pacing& stream : pacing)
        stream.succeeded();
    for (int s = 0; s < max_streams; ++s) {
        next.slot_active[s] = (s < 2) ? 1 : 0;
        next.slot_wants[s] = (s < 2) ? 1 : 0;
        next.slot_file[s] = 0;
    }
    next.install_start = xtim.elapsed;
    next.kb_in_flight = 0;
    next.kb_done_zip = 0;
    next.kb_done_unzip = 0;
}

void extract_and_delete_file(std::string zip, std::string dest)
{
    set_dir_chars(dest);
    finish_extraction(zip, dest, zip_to_file(zip, folder_of(dest), nullptr, 0));
}

bool grab_files_was_idle()
{
    return last_call_idle;
}

// The engine's answers are the socket wait's own.
static_assert(int(ENGINE_WAIT_NO_CONNECTION) == int(PCSBSocket::WAIT_NOTHING_LIVE) &&
              int(ENGINE_WAIT_TIMED_OUT) == int(PCSBSocket::WAIT_TIMED_OUT) &&
              int(ENGINE_WAIT_READY) == int(PCSBSocket::WAIT_READY));

int grab_files_wait(float seconds)
{
    PCSBSocket* sockets[max_streams] = {};
    for (int s = 0; s < max_streams; ++s) {
        const down_class* transfer = http.slots[FIRST_STREAM_SLOT + s].get();
        if (next.slot_active[s] && transfer != nullptr)
            sockets[s] = transfer->sock.get();
    }
    return PCSBSocket::WaitForAny(sockets, max_streams, std::max(0, static_cast<int>(seconds * 1000)));
}

int installer_frame_wait(int milliseconds)
{
    if (stg.install_phase != INSTALL_RUNNING)
        return ENGINE_WAIT_NO_CONNECTION;
    return grab_files_wait(static_cast<float>(milliseconds) * 0.001f);
}

int grab_files()
{
    next.kb_in_flight = 0;
    bool idle = true;
    int n = static_cast<int>(sim_info.size());

    for (int s = 0; s < max_streams; ++s) {
        if (!next.slot_active[s])
            continue;
        if (next.slot_wants[s]) {
            next.slot_file[s] = next.next_file;
            next.next_file = std::clamp(next.next_file + 1, 0, n);
        }
        if (next.slot_file[s] < 0 || next.slot_file[s] >= n)
            continue;
        file_history_struct& history = sim_info[next.slot_file[s]];
        if (history.empty())
            continue;
        file_version_struct& v = history.back();
        std::string local = local_path_of(v.path);
        int server = std::clamp(stg.server_index, 0, max_servers - 1);
        std::string remote = server_path[server] + v.path + ".zip";
        std::string archive = stream_archive(s);
        next.slot_wants[s] = 0;
        crnt_file_path = remote;
        crnt_file_name = leaf_of(remote);
        // A deletion logs and may alert: while an archive's result is still to come, it waits, so
        // the log keeps the order in which the engine met the files.
        if (v.remove && unpack_any_pending())
            continue;

        if (path_has_no_file(v.path)) {
            __MACIBM_alert(0, "I am working through the list and found a path that has no file!",
                           "This is impossible to download or delete!", "It is:", v.path, ALERT_FATAL, __FILE__,
                           __LINE__);
            return 1;
        }

        bool finished = false;
        if (v.remove) {
            stg.file_action = ACTION_DELETE;
            int result = delete_file(local);
            log_action("now we want to nuke a file: DELETING  file ", local, result);
            remember_ancestors(local);
            if (show_del_err(result))
                __MACIBM_alert(0, "Could not delete a file that I no longer want to have!", error_str(result), local,
                               "", ALERT_FATAL, __FILE__, __LINE__);
            finished = true;
        } else if (!v.download) {
            stg.file_action = v.have_it ? ACTION_DUPLICATE : ACTION_NOT_WANTED;
            finished = true;
        } else if (unpack_pending(s)) {
            // Its archive is being extracted on a worker; results are taken in the order the
            // archives came.
            stg.file_action = ACTION_DOWNLOAD;
            unpack_result unpacked;
            if (!unpack_take(s, &unpacked))
                continue;
            idle = false;
            const int settled = settle_unpacked(s, archive, local, unpacked);
            if (settled < 0)
                return stg.install_error;
            if (settled > 0) {
                v.have_it = 1;
                next.kb_done_zip += v.zip_kb;
                next.kb_done_unzip += v.unzip_kb;
                finished = true;
            }
        } else {
            stg.file_action = ACTION_DOWNLOAD;
            // A running transfer goes on from the server it began with, whatever the current pick.
            if (http.slots[FIRST_STREAM_SLOT + s] == nullptr)
                source[s] = {server_name[server], remote};
            transfer_mark before = mark_of(FIRST_STREAM_SLOT + s);
            int result = fetch_step(FIRST_STREAM_SLOT + s, pacing[s], server_name[server], remote, archive);
            if (result != FETCH_PAUSED && (result != 0 || !same_mark(before, mark_of(FIRST_STREAM_SLOT + s))))
                idle = false;
            if (result == FETCH_PAUSED) {
                // Waiting out its pause after a failure: nothing to do until it ends.
            } else if (result == 0) {
                stg.file_fraction = static_cast<float>(transfer_percent(FIRST_STREAM_SLOT + s)) * 0.01f;
                next.kb_in_flight += stg.file_fraction * v.zip_kb;
            } else if (result == 2) {
                retry_elsewhere(s);
            } else {
                start_unpacking(s, archive, local);
            }
        }
        if (finished) {
            idle = false;
            adapt_streams(s);
        }
    }
    last_call_idle = idle;

    for (int s = 0; s < max_streams; ++s) {
        if (next.slot_active[s] && next.slot_file[s] < n)
            return stg.install_error;
    }

    next.all_done = 1;
    remove_emptied_folders();
    rename_install_folder();
    return 1;
}
