// Movie capture written with libav and read back with ffprobe and ffmpeg: the recorder taking frames
// from a real window on a stepped clock, its refusals and alerts and the writer's (a take that cannot
// be created names the system's error), the movie narrowed to the screen, and the settings window.
#include "gfx/qtim.h"

#include <filesystem>

#include "core/clock.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/gfx_helpers.h"
#include "gfx/hooks.h"
#include "gfx/tman.h"
#include "gfx/viewport.h"
#include "platform/movie.h"
#include "support/alert_recorder.h"
#include "support/fake_clock.h"
#include "support/movie_probe.h"
#include "support/temp_folder.h"

namespace {

std::string take(int n)
{
    return "Veltrix movie take-" + std::to_string(n) + ".mov";
}

class recorder : public gfx_test::screen_test {
protected:
    void SetUp() override
    {
        screen_test::SetUp();
        xtim.advance_frame(WIN_MAIN, 0);  // the clock runs from the program's first frame on
        qtim.movie_dx = 320;
        qtim.fps = 20;
    }
    void TearDown() override
    {
        if (qtim.recording)
            mov_stoprecord();
        gfx_test::set_up_screen();
    }
    void toggle()  // the start's one-second wait polls a clock that moves by itself
    {
        clock.step_every_read(100000);
        qtim.mov_toggle();
        clock.step_every_read(0);
    }
    // One frame `step` microseconds on: red over the top half of the screen and blue below, the swap,
    // then the movie's step.
    void frame(uint64_t step = 16667)
    {
        clock.advance_microseconds(step);
        xtim.advance_frame(WIN_MAIN, 0);
        gfx_test::fill(0, 0, 1024, 768, gfx_test::RED);
        gfx_test::fill(0, 0, 1024, 384, gfx_test::BLUE);
        OGL_sbuf();
        qtim.mov_addframe();
    }
    FakeClock clock;
    test::working_folder folder;
    test::alert_recorder alerts;
};

}  // namespace

TEST_F(recorder, TakesEveryThirdFrameAt20FramesASecond)
{
    test::write_file(folder / take(1), "earlier");
    test::write_file(folder / take(2), "earlier");
    mnw.off_x = 100, mnw.off_y = 50;  // a box is open: the capture still comes from the window's corner
    qtim.movie_dx = 161;              // odd sizes need full chroma planes
    toggle();
    ASSERT_EQ(std::tuple(qtim.recording, qtim.movie_dy), std::tuple(1, 120));
    frame();  // the first frame after the start's second-long wait: one long sample
    for (int i = 0; i < 3; ++i)
        frame(), toggle();  // ignored while the movie has two samples or fewer
    for (int i = 0; i < 9; ++i)
        frame();
    frame(2000000);  // a two-second pause
    for (int i = 0; i < 3; ++i)
        frame();
    toggle();
    mnw.off_x = mnw.off_y = 0;
    // Stopped, the capture texture is let go.
    EXPECT_EQ(std::tuple(qtim.recording, tman.refs[QTIM_CAPTURE_TEX].load_type, alerts.alerts().size()),
              std::tuple(0, RECORD_FREE, 0u));
    // Each sample lasts until the next, in 1/600 s, at most a tenth of a second.
    const test::movie_facts facts = test::probe_movie(folder / take(3));
    EXPECT_EQ(std::tuple(facts.stream, facts.durations, facts.pts),
              std::tuple("mjpeg,jpeg,161,120,1/600", std::vector<int>({60, 30, 30, 30, 30, 60, 30}),
                         std::vector<int>({0, 60, 90, 120, 150, 180, 240})));
    const std::vector<uint8_t> rgb = test::movie_frame_rgb(folder / take(3), 2);
    ASSERT_EQ(rgb.size(), 161u * 120 * 3);
    for (int row : {5, 55, 65, 114}) {  // from the top: red above, blue below, within what JPEG may change
        const uint8_t* p = &rgb[(row * 161 + 80) * 3];
        EXPECT_TRUE(test::near_colour({p[0], p[1], p[2]}, row < 60 ? gfx_test::RED : gfx_test::BLUE, 24)) << row;
    }
}

TEST_F(recorder, RefusalsAndFailuresLeaveTheProgramRunningWithoutARecording)
{
    qtim.qt_available = 0;  // no writer: the toggle does nothing at all
    toggle();
    qtim.qt_available = 1;
    mnw.x_res = 1280, mnw.y_res = 1024;  // a screen too large to record
    toggle();
    mnw.x_res = 1024, mnw.y_res = 768;
    for (int n = 1; n <= 40; ++n)  // every name the next take could have is a folder
        std::filesystem::create_directories(folder / take(n));
    toggle();
    EXPECT_EQ(std::tuple(qtim.recording, tman.refs[QTIM_CAPTURE_TEX].load_type), std::tuple(0, RECORD_FREE));
    for (int n = 1; n <= 40; ++n)
        std::filesystem::remove(folder / take(n));
    mov_stoprecord();  // nothing to stop
    toggle();
    ASSERT_EQ(qtim.recording, 1);
    mov_startrecord();  // a second movie
    std::string shown;
    for (const test::recorded_alert& a : alerts.alerts())
        shown += a.l1 + "|" + a.l3 + "|" + a.l4 + "|" + std::to_string(a.type * 1000 + a.line) + "\n";
    EXPECT_EQ(shown,
              "Oops!|This limit is to keep the VRAM requirements of Veltrix down.|In the future, when we are ready "
              "to raise the system requirements, we will raise this limit to 2048 x 2048.|1169\n"
              "Could not CreateMovieFile.|(CreateMovieFile failed)|-21|1055\n"
              "Cannot finish record of a movie that was not started!|||1126\n"
              "Trying to create a movie but one already exists|||1190\n");
    EXPECT_EQ(qtim.recording, 1);
}

TEST_F(recorder, AMovieWiderThanTheScreenIsNarrowedToIt)
{
    mnw.x_res = 801, mnw.y_res = 1001;  // 1024 wide would be 1279 rows, past the scratch buffer's end
    qtim.movie_dx = 1024;
    toggle();
    for (int i = 0; i < 3; ++i)
        frame(100000);
    mov_stoprecord();
    const std::string movie = std::filesystem::directory_iterator(folder.root)->path();
    EXPECT_EQ(test::probe_movie(movie).stream, "mjpeg,jpeg,801,1001,1/600");
}

TEST_F(recorder, SettingsWindowEditsRateAndWidthAndSaysWhenItCannotRecord)
{
    static std::string calls;
    gfx_hooks hooks;
    hooks.flt_range = [](float, float, float* fps, int, int, float, float, std::string label) {
        calls += label + ";";
        return *fps = 30, 1;
    };
    hooks.int_range = [](float, float, int* width, int, float, float, std::string label) {
        calls += label + ";";
        return *width = 640, 1;
    };
    gfx_set_hooks(hooks);
    gfx_test::load_marker_atlas();
    colr.assign(46, 1, 1, 1);  // the texts' colour, black until the shell samples the interface art
    qtim.qt_available = 0;
    qtim.qtim_wind();
    gfx_set_hooks({});
    EXPECT_EQ(std::tuple(calls, qtim.fps, qtim.movie_dx), std::tuple("Frames per second;Movie width;", 30, 640));
    // Rows that only the second line of the "cannot record" texts covers.
    EXPECT_LT(gfx_test::count_pixels(0, 256, 1024, 7, 0, 0, 0), 1024 * 7);
}
