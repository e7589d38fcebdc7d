// Start-up and shut-down of the application. The order of MACIBM_init is fixed: each step relies
// on the ones before it (the log before anything logs, the pool before anything may throw off
// the main thread, the context before the capabilities, the interface atlas before the palette).
#include "shell/startup.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "core/alert.h"
#include "core/clock.h"
#include "core/cmdline.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/paths.h"
#include "core/prefs.h"
#include "core/thread.h"
#include "gfx/colr.h"
#include "gfx/ogl_ext.h"
#include "gfx/viewport.h"
#include "platform/events.h"
#include "platform/system_facts.h"
#include "platform/window.h"
#include "shell/alerts.h"
#include "shell/context.h"
#include "shell/hooks.h"
#include "shell/windows.h"

int ogl_inited;
int g_mon_x_res_now, g_mon_y_res_now;

namespace {

// The display the program asks for, and the full texture resolution.
constexpr int REQUESTED_WIDTH = 1024;
constexpr int REQUESTED_HEIGHT = 768;
constexpr int REQUESTED_DEPTH = 32;
constexpr int TEXTURE_RESOLUTION_FULL = 5;
constexpr float START_FRAME_PERIOD = 0.02f;

constexpr int RANDOM_TABLE_SIZE = 10000;
// rand() x 2^-31 x 0.9999 keeps every fraction below 0.9999.
constexpr float RANDOM_SCALE = 1.0f / 2147483648.0f;
constexpr float RANDOM_CEILING = 0.9999f;
constexpr int TRIG_TABLE_SIZE = 361;

// The interface atlas is 512 texels wide; palette entries 33-46 are taken from its swatches.
constexpr int ATLAS_WIDTH = 512;
struct swatch {
    int entry, x, y;
};
constexpr swatch PALETTE_SWATCHES[] = {
    {33, 319, 155}, {34, 319, 147}, {35, 319, 139}, {36, 319, 131}, {37, 319, 123}, {39, 319, 115}, {40, 319, 107},
    {41, 319, 99},  {42, 319, 91},  {43, 395, 115}, {44, 319, 83},  {45, 319, 75},  {46, 319, 67},
};
constexpr int PALETTE_MEAN_ENTRY = 38;  // the mean of entries 34 and 37

setres_memory screen_memory;

void fill_random_table()
{
    long skip = static_cast<long>(std::clock() % 1000);
    for (long i = 0; i < skip; i++)
        (void)std::rand();
    for (int i = 0; i < RANDOM_TABLE_SIZE; i++)
        randrat[i] = static_cast<float>(std::rand()) * RANDOM_SCALE * RANDOM_CEILING;
}

void fill_trig_tables()
{
    for (int d = 0; d < TRIG_TABLE_SIZE; d++) {
        lookup_sin[d] = std::sin(static_cast<float>(d) * degtorad);
        lookup_cos[d] = std::cos(static_cast<float>(d) * degtorad);
    }
}

void sample_palette()
{
    for (const swatch& s : PALETTE_SWATCHES) {
        const unsigned char* p = scratch_array + 4 * (ATLAS_WIDTH * s.y + s.x);
        colr.assign(s.entry, p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f);
    }
    for (int c = 0; c < 3; c++)
        colr.col[PALETTE_MEAN_ENTRY][c] = (colr.col[34][c] + colr.col[37][c]) / 2;
}

void write_fact(const std::optional<int>& fact)
{
    if (fact)
        xer << *fact;
    else
        xer << "?";
}

}

std::string app_folder_of(const std::string& executable)
{
    std::string path = executable;
    size_t bundle = path.rfind("/Contents/MacOS/");
    if (bundle != std::string::npos)
        path.erase(bundle);
    if (path.size() < 3)
        return "";
    for (size_t i = path.size() - 2; i > 0; i--) {
        if (is_folder_separator(path[i]))
            return path.substr(0, i + 1);
    }
    return "";
}

void shell_app_path(std::string* path, int* case_flag)
{
    if (case_flag)
        *case_flag = 1;
    *path = app_folder_of(plat::executable_path());
}

void write_log_header()
{
    plat::machine_facts facts = plat::machine_description();
    xer << "log.txt for "
        << "Veltrix 8.50 Beta 8"
        << " - "
        << "Installer/Updater"
        << " build " << 85008 << " compiled on Aug 20 2006 22:25:43\n";
    xer << "This log file is generated automatically by Halcyra Works applications\n";
    xer << "and contains diagnostics about your graphics hardware, installatoin, and\n";
    xer << "any error conditions.  If you need to contact tech support or file a bug,\n";
    xer << "please send us this file.  NOTE: this file is rewritten every time you\n";
    xer << "start ANY of our applications.\n\n";
    xer << "Mac OS X ";
    write_fact(facts.os_major);
    xer << ".";
    write_fact(facts.os_minor);
    xer << ".";
    write_fact(facts.os_patch);
    xer << "\nCPU type: ";
    write_fact(facts.cpu_type);
    xer << " CPU speed (mhz): ";
    write_fact(facts.cpu_mhz);
    xer << " Bus speed (mhz): ";
    write_fact(facts.bus_mhz);
    xer << "  RAM (MB): ";
    write_fact(facts.ram_mb);
    xer << "\n";
    xer << "Veltrix Suite folder= " << app_path << " case sensitive=" << g_case_sensitive << "\n";
    xer.flush();
}

int setres_decide(int entering, const screen_mode& now, int set_res, int requested_depth, setres_memory* memory)
{
    int may_change = (now.height < REQUESTED_HEIGHT || now.width < REQUESTED_WIDTH) ? 1 : set_res;
    if (!memory->remembered) {
        memory->remembered = true;
        memory->original = now;
        memory->may_change_original = may_change;
    }
    int target;
    if (entering) {
        target = requested_depth;
        if (!may_change)
            return 0;
    } else {
        target = memory->original.depth;
        if (!memory->may_change_original)
            return 0;
    }
    return now.depth != target ? target : 0;
}

void MACIBM_setres(int entering)
{
    mnw.x_res = mnw._x_res_req;
    mnw.y_res = mnw._y_res_req;
    mnw.col_res = mnw._col_res_req;
    screen_mode now;
    if (!plat::desktop_mode(&now.width, &now.height, &now.depth))
        return;
    g_mon_x_res_now = now.width;
    g_mon_y_res_now = now.height;
    int target = setres_decide(entering, now, mnw._set_res, mnw._col_res_req, &screen_memory);
    // An X screen's depth is fixed when the server starts.
    if (target != 0)
        xer << "Screen depth change to " << target << " bits not done.\n";
}

void MACIBM_setupforlang()
{
    // The original composed the language's text-folder prefix here and kept nothing; no
    // interface texts are read per language.
}

void IBM_turnoff() { }

void MACIBM_init(int argc, const char* const* argv)
{
    bool video_ready = plat::video_init();
    plat::flush_events();
    if (video_ready)
        plat::init_cursor();

    scratch_array_align();

    std::string folder;
    MACIBM_app_path(&folder, &g_case_sensitive);
    app_path.clear();
    (void)plat::change_directory(folder);  // a folder we cannot enter leaves the current one

    xer.open(folder + "Log.txt", std::ios::out | std::ios::trunc);
    xer.setf(std::ios::fixed, std::ios::floatfield);
    write_log_header();

    cmdline.init_unix(argc, argv);
    fill_random_table();
    THREAD_init();
    fill_trig_tables();

    mnw._keylist_up = 1;
    xtim._prd_UI = xtim._prd_FM = START_FRAME_PERIOD;
    ren.global_alpha = 1.0f;
    mnw._x_res_req = REQUESTED_WIDTH;
    mnw._y_res_req = REQUESTED_HEIGHT;
    mnw._col_res_req = REQUESTED_DEPTH;
    mnw.tex_res = TEXTURE_RESOLUTION_FULL;
    mnw._lang = -1;

    MACIBM_setres(1);

    if (!video_ready || !MACIBM_make_context(0)) {
        // The alert's words are the user's; the video layer's own reason is what a fix needs.
        xer << "Graphics set-up failed: " << (video_ready ? "no window and context" : "no video") << " ("
            << plat::video_error() << ")\n";
        __MACIBM_alert(
            0, "I could not set up the graphics for Veltrix! I hope your monitor is at 1024x768 or higher! It must be!",
            "You do not meet the system requirements or you do not have OpenGL drivers or you entered a bad resolution "
            "in Veltrix!",
            "You need at least 256 meg of RAM, 16 meg of VRAM, and OpenGl drivers for your 3-D accelerator card!",
            "If you reset the resolution, you can try launching Veltrix again, since I am resetting Veltrix to default "
            "resolution now.",
            ALERT_FATAL, "hl_init", 1198);
    }

    OGL_pix_specs(0);
    xtim.frame_flag = 1;
    glExt.init_extensions();

    const shell_hooks& hooks = shell_get_hooks();
    if (hooks.app.recall_ins_texes)
        hooks.app.recall_ins_texes();
    sample_palette();

    if (hooks.menus.clear_menus)
        hooks.menus.clear_menus(1);
    MACIBM_startwind(WIN_NONE);

    mnw._lang = 0;
    ogl_inited = 1;
    app_done = 0;
    MACIBM_setupforlang();

    MACIBM_show_init("Will init plugins.", nullptr);
    plat::make_current(mnw.window[0], mnw.context[0]);
    MACIBM_show_init("Starting application.", nullptr);
}

void shell_finishup(int save)
{
    if (save) {
        pref.IO_set(PREF_SET_INSTALLER, PREF_WRITE);
        THREAD_shutdown();
    }
    MACIBM_setres(0);
    if (mnw.sec_win_open)
        MACIBM_nuke_context(1);
    MACIBM_nuke_context(0);
    xer.close();
    plat::flush_events();
    plat::video_quit();
}
