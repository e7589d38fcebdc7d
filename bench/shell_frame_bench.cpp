// The shell's frame procedure under the software renderer: frames per second of an idle main
// screen (paced by the pump's one-tick wait, and polling with the full-processor preference),
// of frames with the alert box open, and the processor share each idle loop takes.
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/stg.h"
#include "gfx/draw2d.h"
#include "gfx/image_load.h"
#include "gfx/tman.h"
#include "installer/hooks.h"
#include "shell/event_proc.h"
#include "shell/hooks.h"
#include "shell/startup.h"
#include "shell/windows.h"
#include "shell_window.h"
#include "widgets/action.h"

namespace {

constexpr int FRAMES = 120;
constexpr int ALERT_FRAMES = 60;
constexpr int ATLAS_SIZE = 512;

int alert_frames_left;

using clock_type = std::chrono::steady_clock;

double processor_seconds()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct loop_result {
    double fps;
    double processor_share;
};

loop_result idle_frames(int use_max_cpu)
{
    stg._use_max_cpu = use_max_cpu;
    MACIBM_event_proc();
    double cpu_start = processor_seconds();
    auto start = clock_type::now();
    for (int i = 0; i < FRAMES; i++)
        MACIBM_event_proc();
    double wall = std::chrono::duration<double>(clock_type::now() - start).count();
    return {FRAMES / wall, (processor_seconds() - cpu_start) / wall};
}

// The alert's button answers once the measured frames have been drawn.
int counting_action(float x, float y, float width, int lit, int mode, std::string label)
{
    int pressed = BTN_action(x, y, width, lit, mode, label);
    return --alert_frames_left <= 0 ? 1 : pressed;
}

double alert_frames()
{
    shell_hooks hooks = shell_get_hooks();
    hooks.widgets.action = counting_action;
    shell_set_hooks(hooks);
    stg._use_max_cpu = 1;
    alert_frames_left = ALERT_FRAMES;
    auto start = clock_type::now();
    __MACIBM_alert(0, "Some textures could not be loaded.", "This is a measured alert box.",
                   "Please see the log.txt file for a detailed list of missing files.", "", ALERT_MESSAGE, "bench", 1);
    double wall = std::chrono::duration<double>(clock_type::now() - start).count();
    return ALERT_FRAMES / wall;
}

void draw_background()
{
    OGL_plot_back_col();
}

// A plain grey atlas: the bench measures the frame, not the art.
void load_grey_atlas()
{
    for (int i = 0; i < ATLAS_SIZE * ATLAS_SIZE * 4; i++)
        scratch_array[i] = 128;
    scratch_dx = scratch_dy = ATLAS_SIZE;
    (void)tman.load_texture(tex_fail_fatal, 363, 2, tex_load_now, "scratch_array:hard-wired textures");
}

// The installer's tables, with a screen that only clears and an atlas of one grey.
void set_hooks()
{
    installer_set_all_hooks();
    shell_hooks shell = shell_get_hooks();
    shell.app.update = draw_background;
    shell.app.recall_ins_texes = load_grey_atlas;
    shell_set_hooks(shell);
}

}

int main()
{
    set_hooks();
    if (!bench::open_shell_window("shell_frame_bench"))
        return 1;
    load_grey_atlas();
    stls[603] = "OK";
    MACIBM_startwind(WIN_MAIN);
    ogl_inited = 1;

    loop_result paced = idle_frames(0);
    loop_result polling = idle_frames(1);
    double boxed = alert_frames();

    std::printf("frame_rate_idle_paced: %.1f fps (%.2f to polling)\n", paced.fps, paced.fps / polling.fps);
    std::printf("frame_rate_idle_polling: %.1f fps (%.2f to paced)\n", polling.fps, polling.fps / paced.fps);
    std::printf("frame_rate_alert_box: %.1f fps (%.2f to idle polling)\n", boxed, boxed / polling.fps);
    std::printf("processor_share_idle_paced: %.2f cpu (%.2f to polling)\n", paced.processor_share,
                paced.processor_share / polling.processor_share);
    std::printf("processor_share_idle_polling: %.2f cpu (%.2f to paced)\n", polling.processor_share,
                polling.processor_share / paced.processor_share);
    MACIBM_finishup(0);
    return 0;
}
