// The installer's main screen, one frame per call of APP_update: network sections, destination,
// server choice, release panel and status line, INSTALL/shop/QUIT, then the status block with the
// engine's slice and the progress bar.
//
// Index
//   [SECTION] Layout          named coordinates of the screen
//   [SECTION] Frame           APP_update
//   [SECTION] Status block    phase texts, the engine slice and the progress bar

#include <string>

#include <GL/gl.h>

#include "core/clock.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/stg.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "installer/agreement.h"
#include "installer/art.h"
#include "installer/decisions.h"
#include "installer/destination.h"
#include "installer/engine.h"
#include "installer/fetch.h"
#include "installer/hooks.h"
#include "installer/install_tree.h"
#include "installer/listing.h"
#include "installer/prefs_window.h"
#include "installer/servers.h"
#include "installer/status.h"
#include "platform/netcfg.h"
#include "shell/web.h"
#include "widgets/action.h"
#include "widgets/bool.h"
#include "widgets/butn.h"

// [SECTION] Layout

namespace {

// The path field: a bar 300 wide centred at (285, 89), the path drawn inside it, and the area a
// click on it answers (ends included).
constexpr float PATH_BAR_X = 285, PATH_BAR_Y = 89, PATH_BAR_WIDTH = 300;
constexpr float PATH_TEXT_X = 142, PATH_TEXT_Y = 86;
constexpr float PATH_CLICK_X1 = 135, PATH_CLICK_X2 = 435, PATH_CLICK_Y1 = 79, PATH_CLICK_Y2 = 99;
constexpr float HINT_X = 134, HINT_Y = 112;

// Installer picture cells: screen x, y, cell s, t, width, height.
struct cell {
    float x, y, s, t, w, h;
};
constexpr cell DESTINATION_CELL = {10, 78, 513, 166, 126, 22};
constexpr cell INSTALL_CELL = {450, 78, 640, 166, 83, 22};
constexpr cell SHOP_CELL = {700, 78, 822, 235, 116, 22};
constexpr cell QUIT_CELL = {960, 78, 780, 166, 51, 22};
constexpr cell BANNER_CELL = {0, 595, 644, 33, 128, 86};

// The globe: cell 21 at rest, cells 8..23 while installing, one per 0.1 s.
constexpr float GLOBE_X = 29, GLOBE_Y = 608;

constexpr float SERVER_RADIO_X = 142, SERVER_RADIO_TOP = 578, SERVER_RADIO_STEP = 20;
constexpr float PREFS_BUTTON_X = 50, PREFS_BUTTON_Y = 750;

// Release panel and the download-size panel beside it.
constexpr float RELEASE_PANEL_X = 135, RELEASE_PANEL_Y = 600, RELEASE_PANEL_W = 790, RELEASE_PANEL_H = 72;
constexpr float SIZE_PANEL_X = 935, SIZE_PANEL_W = 80;
constexpr float RELEASE_TEXT_X = 154, RELEASE_TEXT_Y = 635, SIZE_TEXT_X = 954;
constexpr float STATUS_LINE_Y = 615, RELEASE_WRAP = 780;
// The status line wraps inside the panel's border (135 + 790): with this program's font a line
// wrapped at 780 from x 154 reaches past it.
constexpr float STATUS_LINE_WRAP = RELEASE_PANEL_X + RELEASE_PANEL_W - RELEASE_TEXT_X - 15;

// Status block: panel, three lines and the progress bar between base_x1 and base_x2.
constexpr float STATUS_PANEL_X = 135, STATUS_PANEL_Y = 32, STATUS_PANEL_W = 880, STATUS_PANEL_H = 40;
constexpr float STATUS_TEXT_X = 144;
constexpr float STATUS_LINE_YS[3] = {58, 48, 38};
constexpr float PROGRESS_Y = 15;
constexpr float ENGINE_SLICE_SECONDS = 0.01f;
constexpr float RATIO_SHOWS_TIME_LEFT = 0.01f;

std::string shop_url()
{
    return std::string("http://") + kWebHost + "/cart.php?m=product_list&c=3";
}

bool path_field_clicked()
{
    return mnw.click && mnw.mouse_x >= PATH_CLICK_X1 && mnw.mouse_x <= PATH_CLICK_X2 && mnw.mouse_y >= PATH_CLICK_Y1 &&
        mnw.mouse_y <= PATH_CLICK_Y2;
}

int draw_cell(const cell& c, int hot, int tint)
{
    return interface_rect(c.x, c.y, c.s, c.t, c.w, c.h, hot, tint);
}

// [SECTION] Status block

// Seconds on the program's microsecond clock.
double clock_seconds()
{
    return static_cast<double>(xtim_class::microsecs()) * 1e-6;
}

// Frames and time of the running install, for the one line the log gets when it ends.
struct install_timing {
    int frames = 0;
    double started = 0;
};
struct status_state {
    float tot_disk_req = 0;    // kilobytes the install needs on disk, copied in phase 0
    float tot_down_req = 0;    // kilobytes to download, copied in phase 0
    float totl_inst_rat = 0;   // smoothed fraction of the install done
    float tot_availabl = -1;   // free kilobytes on the destination's volume, -1 unknown
    int disk_space_avail = 1;  // the disk test passed (or has not failed yet)
    std::string tot_disk_req_str;
    float base_x1 = 132, base_x2 = 1016;  // ends of the progress bar
};

// Calls the engine for up to ENGINE_SLICE_SECONDS of the frame. When a call found every stream
// waiting on its server, the rest of the slice is spent waiting for the network rather than
// spinning on empty sockets: many small files then finish within one frame instead of one each.
// The slice ends early once the install is over, or when nothing is on its way.
void run_engine_slice(const install_timing& timing)
{
    double start = clock_seconds();
    while (stg.install_phase == INSTALL_RUNNING && clock_seconds() - start < ENGINE_SLICE_SECONDS) {
        if (grab_files() == 0) {
            const double left = ENGINE_SLICE_SECONDS - (clock_seconds() - start);
            if (grab_files_was_idle() && grab_files_wait(static_cast<float>(left)) != ENGINE_WAIT_READY)
                break;
        } else {
            stg.install_phase = INSTALL_FINISHED;
            reset_slots();
            // One line per install, so a log shows how each run ended.
            xer << (stg.install_error ? "Install ended with an error.\n" : "Install ended: INSTALLATION COMPLETE!\n");
            double took = clock_seconds() - timing.started;
            xer << "Install took " << took << " s over " << timing.frames << " frames ("
                << (took > 0 ? timing.frames / took : 0) << " frames per second).\n";
            xer.flush();
        }
    }
}

void draw_status_block(status_state& status, install_timing& timing)
{
    status_block block;
    if (stg.install_phase == INSTALL_IDLE) {
        status.tot_disk_req = stg.disk_kb;
        status.tot_down_req = stg.down_kb;
        status.totl_inst_rat = 0;
        status.tot_availabl = volume_free_kb(dest_dir_path);
        block = idle_status(stg.dir_state, status.tot_disk_req, status.tot_availabl, install_name,
                            &status.disk_space_avail);
        set_size_str(status.tot_disk_req, &status.tot_disk_req_str);
    } else if (stg.install_phase == INSTALL_RUNNING) {
        ++timing.frames;
        // A software renderer draws what was sent so far on its own threads once it is flushed:
        // the screen above is then drawn while the engine works, not after it at the swap.
        glFlush();
        run_engine_slice(timing);
        status.totl_inst_rat =
            next_install_ratio(status.totl_inst_rat, xtim._prd_UI, next.kb_done_unzip, status.tot_disk_req);
        std::string installed;
        set_size_str(next.kb_done_unzip, &installed);
        std::string left;
        if (status.totl_inst_rat > RATIO_SHOWS_TIME_LEFT)
            left = time_left_text(next.kb_done_zip + next.kb_in_flight, xtim.elapsed - next.install_start,
                                  status.tot_down_req, active_stream_count());
        block = running_status(stg.file_action, crnt_file_name, stg.file_fraction, status.totl_inst_rat, installed,
                               status.tot_disk_req_str, left);
    } else {
        block = finished_status(stg.install_error);
    }
    if (stg.download_failed)
        block = download_failed_status(crnt_file_path);
    // Fetching again from another server cannot help a folder that takes no file.
    if (temp_folder_error() != 0)
        block = temp_folder_status(temp_path, temp_folder_error());

    BTN_frame2(20, STATUS_PANEL_X, STATUS_PANEL_Y, STATUS_PANEL_W, STATUS_PANEL_H, "");
    for (int i = 0; i < 3; ++i)
        OGL_string(block.colour[i], STATUS_TEXT_X, STATUS_LINE_YS[i], block.line[i], NO_WRAP, charset_UI_diff_space);

    bar_span track = progress_track(status.base_x1, status.base_x2);
    BTN_frame1(4, track.centre, PROGRESS_Y, track.width, 0);
    bar_span filled;
    if (stg.install_phase == INSTALL_RUNNING &&
        progress_fill(status.base_x1, status.base_x2, status.totl_inst_rat, &filled))
        BTN_frame1(5, filled.centre, PROGRESS_Y, filled.width, 0);
}

int install_usable(const status_state& status)
{
    return status.disk_space_avail && stg.install_phase != INSTALL_RUNNING && stg.dir_state == DIR_STATE_READ;
}

}  // namespace

// [SECTION] Frame

void APP_update()
{
    static int wrl_i = 8;          // the globe's cell; cycles while installing, rests at 21 otherwise
    static status_state status;    // needed and free space, smoothed ratio, disk test: kept for the run
    static install_timing timing;  // frames and start of the running install; reset at each INSTALL

    draw_main_background();

    poll_server_list();
    poll_directory_listing();

    BTN_frame1(9, PATH_BAR_X, PATH_BAR_Y, PATH_BAR_WIDTH, 0);
    OGL_string(COLOUR_PATH, PATH_TEXT_X, PATH_TEXT_Y, dest_dir_path, NO_WRAP, charset_UI_diff_space);
    bool path_clicked = path_field_clicked();
    OGL_string(
        COLOUR_NORMAL, HINT_X, HINT_Y,
        "Click on the 'DESTINATION' button below to choose the copy of Veltrix you wish to update, or choose the "
        "destination you wish to install a new copy of Veltrix to!",
        NO_WRAP, charset_UI_diff_space);

    if (stg.install_phase == INSTALL_IDLE || stg.install_phase == INSTALL_FINISHED) {
        int destination_clicked = draw_cell(DESTINATION_CELL, 1, TINT_USABLE);
        if ((destination_clicked || path_clicked) && pick_dest_path()) {
            reset_slots();
            stg.install_phase = INSTALL_IDLE;
            stg.install_error = 0;
            if (stg.dir_state == DIR_STATE_READ)
                stg.dir_state = DIR_STATE_EXTRACTED;
        }
    }

    if (stg.dir_state == DIR_STATE_EXTRACTED) {
        double read_start = clock_seconds();
        stg.dir_state = read_directory(extracted_listing_path(),
                                       "Scanning directory text file to see if you already have Veltrix installed...");
        if (stg.dir_state == DIR_STATE_READ) {
            xer << "Listing read for " << dest_dir_path << ": " << sim_info.size() << " files, " << stg.down_kb
                << " kB to download (read and compared in " << clock_seconds() - read_start << " s).\n";
            xer.flush();
        }
    }

    wrl_i = next_globe_cell(wrl_i, stg.install_phase, xtim.tick_0_1s);

    for (int i = 0; i < stg.server_count && i < max_servers; ++i)
        BTN_is_int(SERVER_RADIO_X, SERVER_RADIO_TOP - SERVER_RADIO_STEP * i, &stg.server_index, i, server_desc[i]);

    if (BTN_action(PREFS_BUTTON_X, PREFS_BUTTON_Y, -1, 0, 1, "preferences"))
        handle_prefs();

    (void)draw_cell(BANNER_CELL, 0, 0);  // decoration: never hot
    (void)interface_icon(GLOBE_X, GLOBE_Y, wrl_i);

    std::string title = (install_name != no_install_name) ? "NET: " + install_name : std::string();
    BTN_frame2(20, RELEASE_PANEL_X, RELEASE_PANEL_Y, RELEASE_PANEL_W, RELEASE_PANEL_H, title);
    BTN_frame2(20, SIZE_PANEL_X, RELEASE_PANEL_Y, SIZE_PANEL_W, RELEASE_PANEL_H, "Download");
    OGL_string(COLOUR_NORMAL, RELEASE_TEXT_X, RELEASE_TEXT_Y,
               "Latest version of Veltrix, which we will download from Halcyra Works.", RELEASE_WRAP,
               charset_UI_diff_space);
    std::string size;
    set_size_str(stg.down_kb, &size);
    OGL_string(COLOUR_NORMAL, SIZE_TEXT_X, RELEASE_TEXT_Y, size, RELEASE_WRAP, charset_UI_diff_space);

    int line_colour = COLOUR_NORMAL;
    const char* line =
        release_status_line(stg.server_count, next.all_done, stg.install_phase, stg.dest_is_install, &line_colour);
    OGL_string(line_colour, RELEASE_TEXT_X, STATUS_LINE_Y, line, STATUS_LINE_WRAP, charset_UI_diff_space);

    if (stg.install_phase == INSTALL_IDLE) {
        int usable = install_usable(status);
        if (draw_cell(INSTALL_CELL, usable, usable ? TINT_USABLE : TINT_DISABLED) && usable) {
            reset_slots();
            stg.install_error = 0;
            make_dirs();
            if (handle_EULA() == 1)
                stg.install_phase = INSTALL_RUNNING;
            timing = install_timing{0, clock_seconds()};
            if (choose_files() == 0)
                stg.install_phase = INSTALL_IDLE;
        }
    }

    if (draw_cell(SHOP_CELL, 1, TINT_USABLE))
        go_to_URL(shop_url());

    if (draw_cell(QUIT_CELL, 1, TINT_USABLE)) {
        reset_slots();
        stg.install_phase = INSTALL_FINISHED;
        app_done = 1;
    }

    draw_status_block(status, timing);
}
