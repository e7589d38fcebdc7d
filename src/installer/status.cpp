// Status texts and arithmetic of the installer screen's bottom block.

#include "installer/status.h"

#include <cmath>

#include "core/errors.h"
#include "core/stg.h"
#include "installer/art.h"
#include "platform/files.h"

namespace {

// Frames of interface period per unit of smoothing: the ratio follows the truth at 5 per second.
constexpr float RATIO_FOLLOW_RATE = 5;

constexpr float SECONDS_SHOWN_BELOW = 120;

// The globe's cells while installing, and the one it rests on.
constexpr int GLOBE_FIRST_CELL = 8, GLOBE_LAST_CELL = 23, GLOBE_CELLS = 16;
constexpr int GLOBE_IDLE_CELL = 21;

// The bar fills only once there is something to see.
constexpr float RATIO_SHOWS_FILLED_BAR = 0.02f;
constexpr float MINUTES_SHOWN_BELOW = 7200;

// Whole part of a non-negative value; a value past what a long long holds (a rate of almost
// nothing) shows as the largest rather than wrapping into a negative number.
std::string whole(double value)
{
    constexpr double LARGEST_SHOWN = 9.2e18;
    if (!(value < LARGEST_SHOWN))
        return std::to_string(static_cast<long long>(LARGEST_SHOWN));
    return std::to_string(static_cast<long long>(value));
}

}  // namespace

float volume_free_kb(const std::string& folder)
{
    int64_t bytes = plat::free_space(folder);
    if (bytes < 0)
        return -1;
    return static_cast<float>(static_cast<double>(bytes) * 0.001);
}

status_block idle_status(int dir_state, float disk_req_kb, float available_kb, const std::string& release,
                         int* space_ok)
{
    status_block block;
    if (dir_state == DIR_STATE_NONE) {
        block.line[0] = "I am figuring out what the latest version of Veltrix is right now...";
        block.line[1] = "This may take a moment as I download the latest list of Veltrix files...";
        return block;
    }
    if (disk_req_kb == 0) {
        block.line[0] = "Your copy of Veltrix is already the latest version.";
        block.line[1] = "(Remember, the BETA installer only checks for the latest BETA version, and the FULL installer "
                        "checks only for the latest FULL version of Veltrix).";
        block.line[2] = "This is a full installer.";
        return block;
    }
    std::string needed, available;
    set_size_str(disk_req_kb, &needed);
    set_size_str(available_kb, &available);
    block.line[0] = "You are about to install " + needed + " of files to get " + release + ".";
    if (disk_req_kb > 0 && available_kb > 0) {
        block.line[1] = "You have " + available + " of drive space available for the selected directory.";
        if (available_kb <= disk_req_kb) {
            *space_ok = 0;
            block.line[2] = "You don't have enough disk space to install this!";
            block.colour[2] = COLOUR_WARNING;
        } else {
            *space_ok = 1;
            block.line[2] = "You may install at will.";
            block.colour[2] = COLOUR_SUCCESS;
        }
    }
    return block;
}

float next_install_ratio(float previous, float period_ui, float done_unzip_kb, float disk_req_kb)
{
    float follow = RATIO_FOLLOW_RATE * period_ui;
    float truth = (disk_req_kb <= 0) ? 1.0f : done_unzip_kb / disk_req_kb;
    float ratio = (1 - follow) * previous + follow * truth;
    if (!(ratio >= 0))
        ratio = 0;
    if (ratio > 1)
        ratio = 1;
    return ratio;
}

std::string percent_text(float ratio)
{
    float p = ratio * 100;
    int whole_part = static_cast<int>(p);
    int tenth = static_cast<int>((p - static_cast<float>(whole_part)) * 10);
    std::string text = (p < 0) ? "-" : "";
    int shown = std::abs(whole_part);
    if (shown < 10)
        text += "0";
    text += std::to_string(shown) + "." + std::to_string(std::abs(tenth));
    return text;
}

std::string time_left_text(float downloaded_kb, float elapsed_s, float down_req_kb, int streams)
{
    double elapsed = elapsed_s < 1 ? 1.0 : elapsed_s;
    double rate = downloaded_kb / elapsed;
    double remaining = down_req_kb - downloaded_kb;
    if (remaining < 0)
        remaining = 0;
    if (!(rate > 0))
        return std::string();
    double left = remaining / rate;
    if (!std::isfinite(left))
        return std::string();
    std::string when;
    if (left < SECONDS_SHOWN_BELOW)
        when = whole(left) + " seconds";
    else if (left < MINUTES_SHOWN_BELOW)
        when = whole(left / 60) + " minutes";
    else
        when = whole(left / 3600) + " hours";
    return "About " + when + " left in the install, downloading at " + whole(rate) + " kilobytes/second with " +
        std::to_string(streams) + " simultaneous download streams.";
}

status_block running_status(int file_action, const std::string& file_name, float file_fraction, float ratio,
                            const std::string& installed_text, const std::string& needed_text,
                            const std::string& left_text)
{
    status_block block;
    switch (file_action) {
        case ACTION_DELETE:
            block.line[0] = "Deleting " + file_name + " because that file is no longer needed!";
            break;
        case ACTION_DOWNLOAD:
            block.line[0] = "Downloading and installing " + file_name + ", currently " +
                std::to_string(static_cast<int>(file_fraction * 100)) + "% done with that file.";
            break;
        case ACTION_DUPLICATE:
            block.line[0] = "duplicate filename through file " + file_name +
                ", but not installing it because you already have this file.";
            break;
        default:
            block.line[0] =
                "Browsing through file " + file_name + ", but not installing it because you don't need this file.";
            break;
    }
    block.line[1] = percent_text(ratio) + "% done with the internet install, having installed " + installed_text +
        " of " + needed_text + " for the internet install.";
    block.line[2] = left_text;
    return block;
}

status_block finished_status(int install_error)
{
    status_block block;
    if (!install_error) {
        block.line[0] = "INSTALLATION COMPLETE!";
        return block;
    }
    block.line[0] = "The installation was not completed because an error occurred.";
    block.line[1] = "Veltrix is not fully installed or updated and may not run correctly.";
    block.line[2] = "Please try a different server, hard drive, or directory, or contact Customer Support for help "
                    "with this problem.";
    for (int& colour : block.colour)
        colour = COLOUR_ERROR;
    return block;
}

status_block download_failed_status(const std::string& remote_path)
{
    status_block block;
    block.line[0] = "I can NOT download the file '" + remote_path + "'!";
    block.line[1] = "Your internet connection may not be working, or the server could be undergoing maintainance or "
                    "an upgrade right now.";
    block.line[2] = "I am trying another server now to see if I can still get you a download...";
    for (int& colour : block.colour)
        colour = COLOUR_ERROR;
    return block;
}

status_block temp_folder_status(const std::string& folder, int error)
{
    status_block block;
    block.line[0] = "I can NOT save the files I download in my temporary folder " + folder + "!";
    block.line[1] = "Error: " + error_str(error);
    block.line[2] = "I will keep trying: as soon as there is room on that disk and I may write there, I will go on.";
    for (int& colour : block.colour)
        colour = COLOUR_ERROR;
    return block;
}

int nearest(float value)
{
    return (value >= 0) ? static_cast<int>(value + 0.5f) : static_cast<int>(value - 0.5f);
}

const char* release_status_line(int server_count, int all_done, int install_phase, int dest_is_install, int* colour)
{
    *colour = COLOUR_NORMAL;
    if (server_count == -1)
        return "Looking for servers... you need internet for this...";
    if (server_count == 0) {
        *colour = COLOUR_WARNING;
        return "I could not find any servers to get Veltrix from!";
    }
    if (all_done) {
        *colour = COLOUR_SUCCESS;
        return "INSTALLATION COMPLETE!";
    }
    if (install_phase == INSTALL_RUNNING)
        return "OK I am installing this now...";
    if (!dest_is_install)
        return "To make the download a LOT faster, if you have an earlier version of Veltrix 8.00 on your hard drive, "
               "choose that with the DESTINATION button below, and I will UPDATE THAT FOLDER!";
    return "You have selected an earlier version of Veltrix in the DESTINATION field below, so I will update that "
           "installation  by just grabbing new updated files!";
}

int next_globe_cell(int cell, int install_phase, int tenth_second_tick)
{
    if (install_phase != INSTALL_RUNNING)
        return GLOBE_IDLE_CELL;
    if (!tenth_second_tick)
        return cell;
    ++cell;
    while (cell < GLOBE_FIRST_CELL)
        cell += GLOBE_CELLS;
    while (cell > GLOBE_LAST_CELL)
        cell -= GLOBE_CELLS;
    return cell;
}

bar_span progress_track(float x1, float x2)
{
    return {2 * nearest((x1 + x2) / 4), 4 * nearest((x2 - x1) / 4)};
}

bool progress_fill(float x1, float x2, float ratio, bar_span* out)
{
    if (!(ratio > RATIO_SHOWS_FILLED_BAR))
        return false;
    float a = static_cast<float>(static_cast<int>(x1));
    float b = static_cast<float>(static_cast<int>((x2 - x1) * ratio + x1));
    *out = {2 * nearest((a + b) / 4), 4 * nearest((b - a) / 4)};
    return true;
}
