// One frame of the file box drawn in OpenGL on a 3,000-entry folder, with the case-correcting path
// lookup off and on, against one frame of the installer's main screen in the same run: both through
// the shell's frame procedure (event pump, drawing, buffer swap) under the software renderer. Also
// the share of the box's frame that its per-frame folder listing takes.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/alert.h"
#include "core/globals.h"
#include "core/listing.h"
#include "core/mnw.h"
#include "core/stg.h"
#include "gfx/ogl_ext.h"
#include "gfx/viewport.h"
#include "platform/window.h"
#include "shell/app_hooks.h"
#include "shell/context.h"
#include "shell/event_proc.h"
#include "shell/startup.h"
#include "shell/windows.h"
#include "widgets/opensave.h"

namespace {

constexpr int FRAMES = 60;
constexpr int ENTRIES = 3000;
constexpr int LISTINGS = 60;

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

// The idle main screen with a listing read: three servers, the totals and the status block.
double installer_frame_ms()
{
    MACIBM_startwind(WIN_MAIN);
    stg.server_count = 3;
    for (int i = 0; i < stg.server_count; ++i)
        server_desc[i] = "Mirror " + std::to_string(i + 1) + " of the release servers";
    install_name = "Veltrix 8.50";
    stg.dir_state = DIR_STATE_READ;
    stg.disk_kb = 2500000;
    stg.down_kb = 1200000;
    MACIBM_event_proc();
    const auto start = clock_type::now();
    for (int i = 0; i < FRAMES; ++i)
        MACIBM_event_proc();
    return seconds_since(start) * 1000 / FRAMES;
}

double file_box_frame_ms(const std::string& folder, int case_finding)
{
    g_case_sensitive = case_finding;
    std::string result = folder + "f0000.txt";
    opensave_box box = opensave_open(WIN_FILE_OPEN, OPENSAVE_RELATIVE_PATH, 0, result);
    (void)opensave_frame(box, &result);
    MACIBM_event_proc();
    const auto start = clock_type::now();
    for (int i = 0; i < FRAMES; ++i) {
        (void)opensave_frame(box, &result);
        MACIBM_event_proc();
    }
    const double ms = seconds_since(start) * 1000 / FRAMES;
    MACIBM_startwind(WIN_MAIN);
    return ms;
}

double listing_ms(const std::string& folder)
{
    wrk_path = folder;
    const auto start = clock_type::now();
    for (int i = 0; i < LISTINGS; ++i)
        (void)opensave_getitems(0);
    return seconds_since(start) * 1000 / LISTINGS;
}

}  // namespace

int main()
{
    shell_install_handlers();
    if (!plat::video_init()) {
        std::fprintf(stderr, "opensave_bench: no display\n");
        return 1;
    }
    scratch_array_align();
    mnw._x_res_req = 1024;
    mnw._y_res_req = 768;
    mnw._col_res_req = 32;
    MACIBM_setres(1);
    if (!MACIBM_make_context(0)) {
        std::fprintf(stderr, "opensave_bench: no OpenGL context\n");
        return 1;
    }
    OGL_pix_specs(0);
    glExt.init_extensions();
    recall_ins_texes();
    ogl_inited = 1;
    stg._use_max_cpu = 1;

    const std::filesystem::path base =
        std::filesystem::temp_directory_path() / ("veltrix-opensave-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(base / "entries");
    for (int i = 0; i < ENTRIES; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%04d.txt", i);
        std::ofstream(base / "entries" / name) << "x";
    }
    const std::string folder = (base / "entries").string() + "/";

    const double installer = installer_frame_ms();
    const double plain = file_box_frame_ms(folder, 0);
    const double finding = file_box_frame_ms(folder, 1);
    g_case_sensitive = 0;
    const double listing = listing_ms(folder);
    std::printf("file_box_frame_3000_entries: %.2f ms (%.2f to an installer screen frame)\n", plain, plain / installer);
    std::printf("file_box_frame_3000_entries_case_finding: %.2f ms (%.2f to an installer screen frame)\n", finding,
                finding / installer);
    std::printf("installer_screen_frame: %.2f ms (%.2f to a file box frame)\n", installer, installer / plain);
    std::printf("file_box_listing_3000_entries: %.2f ms (%.2f of a file box frame)\n", listing, listing / plain);

    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
    MACIBM_finishup(0);
    return 0;
}
