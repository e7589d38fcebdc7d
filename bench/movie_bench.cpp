// The installer's screen under the software renderer, frames per second while the movie recorder
// records it at 20 frames a second against the same screen not recording, in the same run; and how
// many frames became samples (only those are captured and encoded).
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/alert.h"
#include "core/globals.h"
#include "core/stg.h"
#include "gfx/qtim.h"
#include "installer/hooks.h"
#include "shell/event_proc.h"
#include "shell/startup.h"

namespace {

// Rounds of FRAMES frames each way, alternating, so a slow spell of the machine falls on both.
constexpr int ROUNDS = 3;
constexpr int FRAMES = 100;
// The first frames try the (unreachable) server list and compile llvmpipe's shaders.
constexpr int WARM_UP_FRAMES = 200;
constexpr float RECORDED_FPS = 20;

double seconds_for_frames()
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < FRAMES; ++i)
        MACIBM_event_proc();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return spent.count();
}

}  // namespace

int main(int argc, char** argv)
{
    installer_set_all_hooks();
    MACIBM_init(argc, argv);
    // The movie goes to a folder of its own, removed at the end.
    char pattern[] = "/tmp/veltrix-movie-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) {
        std::fprintf(stderr, "movie_bench: no scratch folder\n");
        return 1;
    }
    stls[603] = "OK";
    install_name = no_install_name;
    set_stg_defaults();
    stg._use_max_cpu = 1;  // frames as fast as they come, not paced by the event wait
    dest_dir_path = std::string(pattern) + "/";
    if (!qtim.qt_available) {
        std::fprintf(stderr, "movie_bench: no movie writer\n");
        return 1;
    }

    for (int i = 0; i < WARM_UP_FRAMES; ++i)
        MACIBM_event_proc();
    qtim.fps = RECORDED_FPS;
    double plain_seconds = 0, recording_seconds = 0;
    int samples = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        plain_seconds += seconds_for_frames();
        qtim.mov_toggle();  // its one-second wait falls outside the timing
        recording_seconds += seconds_for_frames();
        samples += qtim.frames;
        qtim.mov_toggle();
    }
    const double plain = ROUNDS * FRAMES / plain_seconds;
    const double recording = ROUNDS * FRAMES / recording_seconds;

    std::printf("installer_screen_recording_20fps: %.1f fps (%.2f to not recording)\n", recording, recording / plain);
    std::printf("installer_screen_not_recording: %.1f fps (%.2f to recording)\n", plain, plain / recording);
    std::printf("recording_cost: %.1f %% of the frame rate (goal under 30 %%)\n", 100 * (1 - recording / plain));
    std::printf("recorded_samples: %d of %d frames (%.2f encoded per frame)\n", samples, ROUNDS * FRAMES,
                static_cast<double>(samples) / (ROUNDS * FRAMES));
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    MACIBM_finishup(0);
    return 0;
}
