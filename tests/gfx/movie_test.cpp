// Movie capture written with libav and read back with ffprobe and ffmpeg: the writer alone, then
// the recorder taking frames from a real window on a stepped clock, its refusals and alerts, the
// clamp of a movie wider than the screen and the settings window.
#include "gfx/qtim.h"

#include <GL/gl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/colr.h"
#include "gfx/gfx_helpers.h"
#include "gfx/text.h"
#include "gfx/tman.h"
#include "gfx/viewport.h"
#include "platform/movie.h"
#include "support/alert_recorder.h"
#include "support/fake_clock.h"
#include "support/file_bytes.h"
#include "support/gl_window.h"
#include "support/movie_probe.h"
#include "support/temp_folder.h"

namespace {

// ARGB frames of one colour.
std::vector<unsigned char> solid_argb(int width, int height, unsigned char r, unsigned char g, unsigned char b)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4)
        pixels[i] = 255, pixels[i + 1] = r, pixels[i + 2] = g, pixels[i + 3] = b;
    return pixels;
}

bool near(const uint8_t* rgb, int r, int g, int b)
{
    constexpr int JPEG_TOLERANCE = 24;
    return std::abs(rgb[0] - r) <= JPEG_TOLERANCE && std::abs(rgb[1] - g) <= JPEG_TOLERANCE &&
        std::abs(rgb[2] - b) <= JPEG_TOLERANCE;
}

}  // namespace

TEST(MovieWriter, EachFrameIsOneSampleOfItsDuration)
{
    test::temp_folder folder;
    struct size_case {
        int width, height;
        const char* stream;
    };
    // An odd width needs full-size chroma planes.
    const size_case sizes[] = {{320, 240, "mjpeg,jpeg,320,240,1/600"}, {161, 121, "mjpeg,jpeg,161,121,1/600"}};
    const std::vector<int> durations = {30, 30, 60, 1, 60, 7, 30, 30, 30, 30};
    const std::vector<int> pts = {0, 30, 60, 120, 121, 181, 188, 218, 248, 278};
    for (const size_case& c : sizes) {
        const std::string path = folder / ("take " + std::to_string(c.width) + ".mov");
        plat::movie_writer movie;
        ASSERT_TRUE(movie.create(path, c.width, c.height).ok());
        EXPECT_TRUE(movie.recording());
        const std::vector<unsigned char> yellow = solid_argb(c.width, c.height, 255, 255, 0);
        for (int duration : durations)
            ASSERT_TRUE(movie.add(yellow.data(), duration).ok());
        ASSERT_TRUE(movie.finish().ok());
        EXPECT_FALSE(movie.recording());

        const test::movie_facts facts = test::probe_movie(path);
        EXPECT_EQ(facts.stream, c.stream);
        EXPECT_EQ(facts.durations, durations);
        EXPECT_EQ(facts.pts, pts);
        const std::vector<uint8_t> rgb = test::movie_frame_rgb(path, 9);
        ASSERT_EQ(rgb.size(), static_cast<size_t>(c.width) * c.height * 3);
        EXPECT_TRUE(near(&rgb[rgb.size() / 2 / 3 * 3], 255, 255, 0));
    }
}

TEST(MovieWriter, AFileThatCannotBeMadeNamesItsStepAndError)
{
    test::temp_folder folder;
    std::filesystem::create_directories(folder / "a folder.mov");
    test::write_file(folder / "plain file", "x");
    // Each path with the errno the system itself gives for making a file there.
    const std::string paths[] = {folder / "a folder.mov", folder / "plain file/take.mov", folder / "no folder/take.mov",
                                 "/sys/take.mov"};
    for (const std::string& path : paths) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_LT(fd, 0) << path;
        const int expected = -errno;
        plat::movie_writer movie;
        const plat::movie_status status = movie.create(path, 320, 240);
        EXPECT_EQ(status.failed, plat::movie_step::create_file) << path;
        EXPECT_EQ(status.code, expected) << path;
        EXPECT_FALSE(movie.recording());
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a folder.mov"));
}

namespace {

class recorder : public test::gl_test {
protected:
    void SetUp() override
    {
        test::gl_test::SetUp();
        gfx_test::set_up_screen();
        gfx_test::sync_state_cache();
        tman.reset_bind();
        scratch_array_align();
        xtim.advance_frame(WIN_MAIN, 0);  // the clock runs from the program's first frame on
        qtim.movie_dx = 320;
        qtim.fps = 20;
        test::alert_recorder::clear();
    }
    void TearDown() override
    {
        if (qtim.recording)
            mov_stoprecord();
        qtim.qt_available = plat::movie_available();
        mnw.off_x = mnw.off_y = 0;
        gfx_test::set_up_screen();
    }

    // Starts a recording the way the frame loop does, with the start's one-second wait run on a
    // clock that moves on by itself.
    void start()
    {
        clock.step_every_read(START_WAIT_STEP);
        qtim.mov_toggle();
        clock.step_every_read(0);
    }

    // One frame after `step` of time: red over the top half of the screen, blue below; then the
    // swap, then the movie's step.
    void frame(uint64_t step = FRAME_STEP)
    {
        clock.advance_microseconds(step);
        xtim.advance_frame(WIN_MAIN, 0);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1024, 384);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        OGL_sbuf();
        qtim.mov_addframe();
    }

    static std::string take(int n) { return "Veltrix movie take-" + std::to_string(n) + ".mov"; }

    static constexpr uint64_t FRAME_STEP = 16667;        // 60 frames a second
    static constexpr uint64_t START_WAIT_STEP = 100000;  // the start's wait reads the clock ~11 times
    FakeClock clock;
    test::working_folder folder;
    test::alert_recorder alerts;
};

}  // namespace

TEST_F(recorder, TakesEveryThirdFrameAt20FramesASecond)
{
    test::write_file(folder / take(1), "earlier");
    test::write_file(folder / take(2), "earlier");
    // A box is open: the capture must still come from the window's corner.
    mnw.off_x = 100;
    mnw.off_y = 50;
    start();
    ASSERT_EQ(qtim.recording, 1);
    EXPECT_EQ(qtim.movie_dy, 240);

    frame();  // the first frame after the start's second-long wait: one long sample
    for (int i = 0; i < 3; ++i) {
        frame();
        qtim.mov_toggle();  // ignored while the movie has two samples or fewer
    }
    ASSERT_EQ(qtim.recording, 1);
    for (int i = 0; i < 9; ++i)
        frame();
    frame(2000000);  // a two-second pause
    for (int i = 0; i < 3; ++i)
        frame();
    const int samples = qtim.frames;
    qtim.mov_toggle();
    EXPECT_EQ(qtim.recording, 0);
    EXPECT_EQ(tman.refs[QTIM_CAPTURE_TEX].load_type, RECORD_FREE) << "the capture texture stays loaded";
    EXPECT_TRUE(alerts.alerts().empty());

    EXPECT_EQ(test::read_file(folder / take(1)), "earlier");
    const test::movie_facts facts = test::probe_movie(folder / take(3));
    EXPECT_EQ(facts.stream, "mjpeg,jpeg,320,240,1/600");
    EXPECT_EQ(facts.durations, std::vector<int>({60, 30, 30, 30, 30, 60, 30}));
    EXPECT_EQ(static_cast<int>(facts.durations.size()), samples);
    const std::vector<uint8_t> rgb = test::movie_frame_rgb(folder / take(3), 2);
    ASSERT_EQ(rgb.size(), 320u * 240 * 3);
    for (int y : {5, 100, 115})
        EXPECT_TRUE(near(&rgb[(y * 320 + 160) * 3], 255, 0, 0)) << "row " << y << " from the top";
    for (int y : {125, 140, 234})
        EXPECT_TRUE(near(&rgb[(y * 320 + 160) * 3], 0, 0, 255)) << "row " << y << " from the top";
}

TEST_F(recorder, RefusalsAndFailuresLeaveTheProgramRunningWithoutARecording)
{
    // No writer: the toggle does nothing at all.
    qtim.qt_available = 0;
    start();
    EXPECT_EQ(qtim.recording, 0);
    qtim.qt_available = 1;

    // A screen too large to record.
    mnw.x_res = 1280;
    mnw.y_res = 1024;
    start();
    mnw.x_res = 1024;
    mnw.y_res = 768;
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.alerts()[0].l1, "Oops!");
    EXPECT_EQ(alerts.alerts()[0].line, 169);

    // Every name the next take could have is a folder.
    for (int n = 1; n <= 40; ++n)
        std::filesystem::create_directories(folder / take(n));
    start();
    EXPECT_EQ(qtim.recording, 0);
    ASSERT_EQ(alerts.alerts().size(), 2u);
    const test::recorded_alert& failed = alerts.alerts()[1];
    EXPECT_EQ(failed.l1, "Could not CreateMovieFile.");
    EXPECT_EQ(failed.l2.rfind("Veltrix movie take-", 0), 0u) << failed.l2;
    EXPECT_EQ(failed.l3, "(CreateMovieFile failed)");
    EXPECT_EQ(failed.l4, "-21");
    EXPECT_EQ(failed.type, ALERT_MESSAGE);
    EXPECT_EQ(failed.file, "DEzovuv/OOPS_cpp/qtim");
    EXPECT_EQ(failed.line, 55);
    EXPECT_EQ(tman.refs[QTIM_CAPTURE_TEX].load_type, RECORD_FREE);
    for (int n = 1; n <= 40; ++n)
        std::filesystem::remove(folder / take(n));

    // Stopping with no movie, and starting a second one.
    mov_stoprecord();
    start();
    ASSERT_EQ(qtim.recording, 1);
    mov_startrecord();
    ASSERT_EQ(alerts.alerts().size(), 4u);
    EXPECT_EQ(alerts.alerts()[2].l1, "Cannot finish record of a movie that was not started!");
    EXPECT_EQ(alerts.alerts()[2].line, 126);
    EXPECT_EQ(alerts.alerts()[3].l1, "Trying to create a movie but one already exists");
    EXPECT_EQ(alerts.alerts()[3].line, 190);
    EXPECT_EQ(qtim.recording, 1);
}

TEST_F(recorder, AMovieWiderThanTheScreenIsNarrowedToIt)
{
    // A screen narrower than it is tall: a 1024-wide movie would be 1280 rows, past the scratch buffer.
    mnw.x_res = 800;
    mnw.y_res = 1000;
    qtim.movie_dx = 1024;
    start();
    ASSERT_EQ(qtim.recording, 1);
    EXPECT_EQ(qtim.movie_dx, 800);
    EXPECT_EQ(qtim.movie_dy, 1000);
    for (int i = 0; i < 3; ++i)
        frame(100000);
    mov_stoprecord();
    std::string name;
    for (const auto& entry : std::filesystem::directory_iterator(folder.root))
        name = entry.path().string();
    EXPECT_EQ(test::probe_movie(name).stream, "mjpeg,jpeg,800,1000,1/600") << name;
}

namespace {

struct widget_call {
    std::string what;
    float x, y, low, high;
    std::string label;
};
std::vector<widget_call> widget_calls;

}  // namespace

TEST_F(recorder, SettingsWindowDrawsItsFieldsAndTexts)
{
    OGL_widget_hooks hooks;
    hooks.fillwin = [](int style, int type) {
        widget_calls.push_back({"fillwin", float(style), float(type), 0, 0, ""});
    };
    hooks.subwin = [](float, int style, float, float, float, float h, std::string, float*, float*) {
        widget_calls.push_back({"subwin", float(style), h, 0, 0, ""});
    };
    hooks.flt_range = [](float x, float y, float* value, int, int, float low, float high, std::string label) {
        widget_calls.push_back({"fps", x, y, low, high, label});
        *value = 30;
        return 1;
    };
    hooks.int_range = [](float x, float y, int* value, int, float low, float high, std::string label) {
        widget_calls.push_back({"width", x, y, low, high, label});
        *value = 640;
        return 1;
    };
    OGL_set_widget_hooks(hooks);
    gfx_test::load_marker_atlas();
    const colr_class palette = colr;
    colr.assign(46, 1, 1, 1);  // the texts' colour, black until the shell samples the interface art
    // Any ink on the rows that only the second line of the "not available" texts covers.
    auto ink_below_first_line = [] { return 1024 * 7 - gfx_test::count_pixels(0, 256, 1024, 7, 0, 0, 0); };
    for (int available : {1, 0}) {
        win().reset_2d();
        gfx_test::sync_state_cache();
        tman.reset_bind();
        widget_calls.clear();
        qtim.qt_available = available;
        qtim.qtim_wind();
        ASSERT_EQ(widget_calls.size(), 4u);
        EXPECT_EQ(widget_calls[0].x, 1);
        EXPECT_EQ(widget_calls[0].y, 21);
        EXPECT_EQ(widget_calls[1].y, 296);
        EXPECT_EQ(widget_calls[2].x, 150);
        EXPECT_EQ(widget_calls[2].y, 415);
        EXPECT_EQ(widget_calls[2].low, 10);
        EXPECT_EQ(widget_calls[2].high, 99);
        EXPECT_EQ(widget_calls[2].label, stls[528]);
        EXPECT_FALSE(stls[528].empty());
        EXPECT_EQ(widget_calls[3].x, 130);
        EXPECT_EQ(widget_calls[3].y, 365);
        EXPECT_EQ(widget_calls[3].low, 160);
        EXPECT_EQ(widget_calls[3].high, 1024);
        EXPECT_EQ(qtim.fps, 30);
        EXPECT_EQ(qtim.movie_dx, 640);
        EXPECT_EQ(ink_below_first_line() > 0, available == 0);
    }
    OGL_set_widget_hooks({});
    colr = palette;
}
