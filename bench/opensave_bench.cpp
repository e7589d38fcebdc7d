// One frame of the file box drawn in OpenGL on a 3,000-entry folder, with the case-correcting path
// lookup off and on, against one frame of the installer's main screen in the same run: both through
// the shell's frame procedure (event pump, drawing, buffer swap) under the software renderer. The
// box keeps its listing while the folder stands unchanged; a fresh listing of the same folder, against
// a frame of the box, shows what reading it every frame would cost.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_files.h"
#include "core/alert.h"
#include "core/globals.h"
#include "core/listing.h"
#include "core/stg.h"
#include "installer/art.h"
#include "installer/hooks.h"
#include "shell/event_proc.h"
#include "shell/startup.h"
#include "shell/windows.h"
#include "shell_window.h"
#include "widgets/opensave.h"

namespace {

constexpr int FRAMES = 60;
constexpr int ENTRIES = 3000;
constexpr int LISTINGS = 60;
constexpr std::chrono::seconds SETTLED{10};

using bench::seconds_since;
using clock_type = std::chrono::steady_clock;

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
    installer_set_all_hooks();
    if (!bench::open_shell_window("opensave_bench"))
        return 1;
    recall_ins_texes();
    ogl_inited = 1;
    stg._use_max_cpu = 1;

    bench::temp_folder base("opensave-bench");
    if (base.path.empty()) {
        std::fprintf(stderr, "opensave_bench: no temporary folder\n");
        return 1;
    }
    const std::string folder = base.path + "/";
    for (int i = 0; i < ENTRIES; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%04d.txt", i);
        std::ofstream(folder + name) << "x";
    }
    // A folder being browsed stands unchanged: its time is past the box's settling wait.
    std::filesystem::last_write_time(base.path, std::filesystem::file_time_type::clock::now() - SETTLED);

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
    MACIBM_finishup(0);
    return 0;
}
