// Movie capture written with libav and read back with ffprobe and ffmpeg: the recorder taking frames
// from a real window on a stepped clock, whatever colour is current, in sample durations cut to whole
// units; its refusals and alerts and the writer's (a take that cannot be created names the system's
// error, one that cannot be finished on a full disk is removed), the movie narrowed to the screen, and
// the settings window.
#include "gfx/qtim.h"

#include <GL/gl.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "core/clock.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/gfx_helpers.h"
#include "gfx/hooks.h"
#include "gfx/tman.h"
#include "gfx/viewport.h"
#include "platform/movie.h"
#include "support/alert_recorder.h"
#include "support/fake_clock.h"
#include "support/file_size_limit.h"
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
        xtim.advance_frame(WIN_MAIN, 0);                      // the clock runs from the program's first frame on
        qtim.qt_available = plat::movie_available() ? 1 : 0;  // a test may have taken the writer away
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
    // then the movie's step with `current` as the colour (the swap leaves white, or green under the
    // green fold).
    void frame(uint64_t step = 16667, std::array<float, 4> current = {1, 1, 1, 1})
    {
        clock.advance_microseconds(step);
        xtim.advance_frame(WIN_MAIN, 0);
        gfx_test::fill(0, 0, 1024, 768, gfx_test::RED);
        gfx_test::fill(0, 0, 1024, 384, gfx_test::BLUE);
        OGL_sbuf();
        glColor4fv(current.data());
        if (qtim.recording)
            qtim.mov_addframe();
    }
    // The number the next take will have. Takes are numbered on through the process, whatever the
    // tests before this one recorded: a short take that is thrown away tells.
    int next_take()
    {
        toggle();
        frame();
        mov_stoprecord();
        const std::filesystem::path movie = only_movie();
        std::filesystem::remove(movie);
        int number = 0;
        EXPECT_EQ(std::sscanf(movie.filename().c_str(), "Veltrix movie take-%d.mov", &number), 1) << movie;
        return number + 1;
    }
    // The one file in the test's folder, "" when there is none.
    std::string only_movie() const
    {
        const std::filesystem::directory_iterator first(folder.root);
        return first == std::filesystem::directory_iterator() ? "" : first->path().string();
    }
    // Frame `index` of the movie is red over blue, top to bottom, as far as JPEG keeps colours.
    void expect_red_over_blue(const std::string& movie, int index)
    {
        const int width = qtim.movie_dx, height = qtim.movie_dy;
        const std::vector<uint8_t> rgb = test::movie_frame_rgb(movie, index);
        ASSERT_EQ(rgb.size(), static_cast<size_t>(width) * height * 3) << "frame " << index;
        for (int row : {5, height / 2 - 5, height / 2 + 5, height - 6}) {
            const uint8_t* p = &rgb[(static_cast<size_t>(row) * width + width / 2) * 3];
            EXPECT_TRUE(test::near_colour({p[0], p[1], p[2]}, row < height / 2 ? gfx_test::RED : gfx_test::BLUE, 24))
                << "frame " << index << ", row " << row << ": " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
        }
    }
    FakeClock clock;
    test::working_folder folder;
    test::alert_recorder alerts;
};

}  // namespace

TEST_F(recorder, TakesEveryThirdFrameAt20FramesASecond)
{
    const int next = next_take();
    test::write_file(folder / take(next), "earlier");
    test::write_file(folder / take(next + 1), "earlier");
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
    EXPECT_EQ(std::tuple(test::read_file(folder / take(next)), test::read_file(folder / take(next + 1))),
              std::tuple("earlier", "earlier"));
    const test::movie_facts facts = test::probe_movie(folder / take(next + 2));
    EXPECT_EQ(std::tuple(facts.stream, facts.durations, facts.pts),
              std::tuple("mjpeg,jpeg,161,120,1/600", std::vector<int>({60, 30, 30, 30, 30, 60, 30}),
                         std::vector<int>({0, 60, 90, 120, 150, 180, 240})));
    expect_red_over_blue(folder / take(next + 2), 2);
}

TEST_F(recorder, SampleDurationsAreTheTimeSinceTheLastSampleInWholeUnits)
{
    struct gap {
        uint64_t microseconds;
        int duration;  // in 1/600 s, the part below a whole unit dropped
    };
    const gap gaps[] = {
        {66400, 39},  // 39.84 units
        {50900, 30},  // 30.54
        {91000, 54},  // 54.6
        {83000, 49},  // 49.8
    };
    toggle();
    frame();  // the long first sample
    std::vector<int> expected = {60};
    for (const gap& g : gaps)
        frame(g.microseconds), expected.push_back(g.duration);
    toggle();
    EXPECT_EQ(test::probe_movie(only_movie()).durations, expected);
}

TEST_F(recorder, FramesAreRecordedAsShownWhateverColourIsCurrent)
{
    const std::array<float, 4> current_colours[] = {
        {0.5f, 0.5f, 0.5f, 1},  // a grey would halve every colour the capture draws
        {0, 1, 0, 1},           // the swap's own colour under the green fold
        {0, 0, 0, 1},
        {1, 1, 1, 0.25f},
    };
    toggle();
    frame();  // the long first sample
    for (const std::array<float, 4>& colour : current_colours)
        frame(60000, colour);
    // The frame after: drawing with a texture still takes on the colour current.
    const unsigned char white[4] = {255, 255, 255, 255};
    gfx_test::load_texture_pixels(QTIM_CAPTURE_TEX - 1, 1, 1, white);
    tman.bind_ref(QTIM_CAPTURE_TEX - 1, 0, 0);
    glColor4f(0.5f, 0.5f, 0.5f, 1);
    EXPECT_TRUE(test::near_colour(gfx_test::textured_square(500, 300), {128, 128, 128, 255}));
    tman.unload_texture(QTIM_CAPTURE_TEX - 1);
    toggle();
    for (int index = 1; index <= 4; ++index)
        expect_red_over_blue(only_movie(), index);
}

TEST_F(recorder, RefusalsAndFailuresLeaveTheProgramRunningWithoutARecording)
{
    qtim.qt_available = 0;  // no writer: the toggle does nothing at all
    toggle();
    qtim.qt_available = 1;
    mnw.x_res = 1280, mnw.y_res = 1024;  // a screen too large to record
    toggle();
    mnw.x_res = 1024, mnw.y_res = 768;
    const std::string in_the_way = folder / take(next_take());  // the next take's name is a folder
    std::filesystem::create_directories(in_the_way);
    toggle();
    EXPECT_EQ(std::tuple(qtim.recording, tman.refs[QTIM_CAPTURE_TEX].load_type), std::tuple(0, RECORD_FREE));
    std::filesystem::remove(in_the_way);
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

TEST_F(recorder, AMovieThatCannotBeFinishedIsRemovedAndTheAlertSaysTheTakeWasLost)
{
    struct row {
        rlim_t file_size_limit;  // what the disk takes of the movie
        int frames;              // drawn while it records, after the first
        std::string alert;       // lines 1, 3 and 4; empty when the take is kept
    };
    const row rows[] = {
        {16 << 20, 4, ""},
        // The samples wait in the writer's buffer; the index is what cannot be written.
        {4096, 4, "Could not AddMovieResource.|(AddMovieResource failed.)|-27"},
        // Enough samples to fill the buffer: writing them fails, and the index cannot follow.
        {4096, 400, "Could not AddMediaSample.|AddMediaSample failed.|-27"},
    };
    qtim.movie_dx = 1024;  // large samples, so a few fill the buffer
    for (const row& r : rows) {
        std::string movie;
        {
            test::file_size_limit full_disk(r.file_size_limit);
            toggle();
            movie = only_movie();
            frame();
            for (int i = 0; i < r.frames && qtim.recording; ++i)
                frame(60000);
            if (qtim.recording)
                toggle();
        }
        const std::string name = std::filesystem::path(movie).filename();
        std::string shown;
        for (const test::recorded_alert& a : alerts.alerts())
            shown += a.l1 + "|" + a.l3 + "|" + a.l4;
        EXPECT_EQ(shown, r.alert) << name;
        // Stopped either way, and the capture texture let go.
        EXPECT_EQ(std::tuple(qtim.recording, tman.refs[QTIM_CAPTURE_TEX].load_type), std::tuple(0, RECORD_FREE));
        if (r.alert.empty()) {
            // The file left plays, every sample of it.
            EXPECT_EQ(test::probe_movie(movie).durations.size(), r.frames + 1u) << name;
            EXPECT_FALSE(test::movie_frame_rgb(movie, r.frames).empty()) << name;
        } else {
            EXPECT_EQ(alerts.alerts().at(0).l2,
                      "The take was lost: " + app_path + name + " could not be finished and was removed.");
            EXPECT_FALSE(std::filesystem::exists(movie)) << name;
        }
        alerts.clear();
        std::filesystem::remove(movie);
    }
}

TEST_F(recorder, AMovieWiderThanTheScreenIsNarrowedToIt)
{
    mnw.x_res = 801, mnw.y_res = 1001;  // 1024 wide would be 1279 rows, past the scratch buffer's end
    qtim.movie_dx = 1024;
    toggle();
    for (int i = 0; i < 3; ++i)
        frame(100000);
    mov_stoprecord();
    EXPECT_EQ(test::probe_movie(only_movie()).stream, "mjpeg,jpeg,801,1001,1/600");
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
