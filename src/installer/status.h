// status: the three-line status block under the installer screen and its arithmetic (install
// ratio, percentage, rate and time left, free space), kept apart from drawing so it can be checked.
// Called by APP_update every frame; nothing here draws.
// Invariant: no text ever shows NaN or infinity, and the ratio stays within 0..1.
#pragma once

#include <string>

// Palette entries of the installer's texts.
constexpr int COLOUR_NORMAL = 45;
constexpr int COLOUR_PATH = 44;
constexpr int COLOUR_WARNING = 1;
constexpr int COLOUR_SUCCESS = 13;
constexpr int COLOUR_ERROR = 68;

struct status_block {
    std::string line[3];
    int colour[3] = {COLOUR_NORMAL, COLOUR_NORMAL, COLOUR_NORMAL};
};

// Free kilobytes (decimal) on the volume of the folder, or of its parent while it does not exist
// yet; -1 when it cannot be read.
[[nodiscard]] float volume_free_kb(const std::string& folder);

// Phase 0: what the install needs and whether it fits. Sets *space_ok (the disk test) only when
// both sizes are known.
[[nodiscard]] status_block idle_status(int dir_state, float disk_req_kb, float available_kb, const std::string& release,
                                       int* space_ok);

// One step of the smoothed install ratio; a need of 0 kilobytes counts as all done.
[[nodiscard]] float next_install_ratio(float previous, float period_ui, float done_unzip_kb, float disk_req_kb);

// The overall percentage as shown: two whole digits at least, one truncated decimal ("05.3").
[[nodiscard]] std::string percent_text(float ratio);

// "About ... left" line; empty when the rate is not positive or the time left is not finite.
[[nodiscard]] std::string time_left_text(float downloaded_kb, float elapsed_s, float down_req_kb, int streams);

// Phase 1 lines from the engine's current file and the totals.
[[nodiscard]] status_block running_status(int file_action, const std::string& file_name, float file_fraction,
                                          float ratio, const std::string& installed_text,
                                          const std::string& needed_text, const std::string& left_text);

// Phase 2 lines.
[[nodiscard]] status_block finished_status(int install_error);

// Overrides every line while another server is being tried after a failed download.
[[nodiscard]] status_block download_failed_status(const std::string& remote_path);

// Overrides every line while downloads cannot be saved in the temporary folder: what the
// system said (error_str of the errno: no space, no access) rather than a network failure.
[[nodiscard]] status_block temp_folder_status(const std::string& folder, int error);

// Nearest whole number, halves away from zero.
[[nodiscard]] int nearest(float value);

// The status line of the release panel for the installer's state, with its colour.
[[nodiscard]] const char* release_status_line(int server_count, int all_done, int install_phase, int dest_is_install,
                                              int* colour);

// The globe's cell for this frame: it steps once per 0.1 s through 8..23 while installing and
// rests at 21 otherwise.
[[nodiscard]] int next_globe_cell(int cell, int install_phase, int tenth_second_tick);

// Centre and width of a progress-bar span, as the bar painter takes them.
struct bar_span {
    int centre = 0;
    int width = 0;
};
// The empty bar between x1 and x2.
[[nodiscard]] bar_span progress_track(float x1, float x2);
// The filled part for the ratio; false while the ratio is too small to show (0.02 or less).
[[nodiscard]] bool progress_fill(float x1, float x2, float ratio, bar_span* out);
