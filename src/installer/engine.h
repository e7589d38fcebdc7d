// engine: carries out the update decisions. Each call of grab_files does one non-blocking step of
// up to four download streams (HTTP slots 2..5), has finished archives extracted into place on a
// worker of the core thread pool (unpack.h), deletes files the release dropped, and at the end
// removes emptied folders and may rename the install. Called by the installer screen for about
// 10 ms of every frame while the install phase is 1; logs and alerts only on the main thread.
// Invariant: no stream writes outside dest_dir_path; reset_slots leaves no transfer of an earlier
// install running.
#pragma once

#include <string>

// HTTP slot of stream 0; streams 0..3 use slots 2..5.
constexpr int FIRST_STREAM_SLOT = 2;

// 1 when the install is complete; otherwise install_error (0 keep calling, 1 failed).
// A downloaded archive's names are checked before anything is extracted, and each entry's CRC as
// it is written: a damaged archive, or one holding anything but its own file, is fetched again
// from another server; after ten damaged copies per listed server the install ends with the
// extraction alert, the file in place untouched. A stream whose download failed pauses before it
// tries again (fetch.h). A stream waits for its archive's extraction before it takes another
// file, and results are acted on in the order the downloads finished.
[[nodiscard]] int grab_files();

// Checks the name of every entry of a downloaded archive, from its directory alone (no entry is
// inflated), before anything is extracted. An archive holds the one file leaf (and perhaps that
// file's fork under "__MACOSX/"). 0 when it is sound; kErrZipOpen when it cannot be opened as
// one, kErrZipRead when its directory is damaged or an entry misnamed (a folder of the file's
// name included). Runs on any thread.
[[nodiscard]] int archive_damage(const std::string& archive, const std::string& leaf);

// True when the last grab_files call found every stream waiting on its server or its pause,
// with nothing received, finished or started: calling again at once would only spin.
[[nodiscard]] bool grab_files_was_idle();

// grab_files_wait's answers.
enum : int { ENGINE_WAIT_NO_CONNECTION = -1, ENGINE_WAIT_TIMED_OUT = 0, ENGINE_WAIT_READY = 1 };

// Waits up to `seconds` for a stream's server to send something (or take a connection), so that
// time the frame would spend idle goes to the network: ENGINE_WAIT_READY when something came,
// ENGINE_WAIT_TIMED_OUT, or ENGINE_WAIT_NO_CONNECTION at once when no stream has a connection.
[[nodiscard]] int grab_files_wait(float seconds);

// The frame's wait while an install runs (the shell's app wait hook): up to milliseconds on the
// streams' connections, so that downloads are served as their bytes come rather than once per
// paced frame. -1 when there is no install or connection to wait on: the shell waits as usual.
int installer_frame_wait(int milliseconds);

// Extracts one downloaded archive into the folder of dest, makes program files executable and
// deletes the archive; sets install_error (with a message alert) when extraction fails.
void extract_and_delete_file(std::string zip, std::string dest);

// Re-initialises the scheduler before an install (and after one): drops the streams' transfers
// and their partial archives; two streams start, all counters at 0. all_done is kept.
void reset_slots();

// Streams switched on now: what the scheduler weighs against its target and the screen shows.
[[nodiscard]] int active_stream_count();

// Percentage received of the transfer in an HTTP slot, in 64 bits so large files cannot
// overflow: 0 when the slot has no transfer, -1 while its length is unknown.
[[nodiscard]] long long transfer_percent(int slot);

// Stream count wanted for a download rate in kilobytes per second (before the preference).
[[nodiscard]] int stream_target_for_rate(float kb_per_second);

// A release name that may become the install folder's name: one plain path component.
[[nodiscard]] bool is_plain_folder_name(const std::string& name);
