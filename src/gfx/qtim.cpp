#include "gfx/qtim.h"

#include <GL/gl.h>

#include <chrono>
#include <thread>

#include "core/alert.h"
#include "core/clock.h"
#include "core/convert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/paths.h"
#include "core/xmap.h"
#include "gfx/hooks.h"
#include "gfx/state.h"
#include "gfx/text.h"
#include "gfx/tman.h"
#include "platform/gl.h"
#include "platform/movie.h"

namespace {

constexpr const char* QTIM_SOURCE = "DEzovuv/OOPS_cpp/qtim";
constexpr int MOVIE_ALERT_LINE = 55;
constexpr int NOT_STARTED_LINE = 126;
constexpr int SCREEN_TOO_LARGE_LINE = 169;
constexpr int ALREADY_EXISTS_LINE = 190;

// The capture texture: RGB plus the flag no operation tests.
constexpr int CAPTURE_TEX_TYPE = 513;
// A stop is honoured only once the movie has more samples than this.
constexpr int SAMPLES_BEFORE_STOP = 2;
// Sample durations, in units of 1/600 s: at least one unit, at most a tenth of a second.
constexpr int SHORTEST_SAMPLE = 1;
constexpr int LONGEST_SAMPLE = 60;
constexpr uint64_t START_WAIT_MICROSECONDS = 1000000;
constexpr auto START_WAIT_POLL = std::chrono::milliseconds(1);

// The settings window: its panel, the two number fields and the texts, where the window places them.
constexpr int WINDOW_FILL_STYLE = 1, WINDOW_FILL_TYPE = 21;
constexpr float PANEL_TOP = 0, PANEL_X = -1, PANEL_Y = -1, PANEL_W = -1, PANEL_H = 296;
constexpr int PANEL_STYLE = 15;
constexpr float FPS_FIELD_X = 150, FPS_FIELD_Y = 415;
constexpr int FPS_DIGITS = 2, FPS_DECIMALS = 0;
constexpr float FPS_MIN = 10, FPS_MAX = 99;
constexpr float WIDTH_FIELD_X = 130, WIDTH_FIELD_Y = 365;
constexpr int WIDTH_DIGITS = 4;
constexpr float WIDTH_MIN = 160, WIDTH_MAX = 1024;
constexpr int TEXT_COLOUR = 46;
constexpr float TEXT_X = 20, TEXT_WRAP = 600;

// Interface texts of the settings window, by number.
constexpr int TEXT_FPS_LABEL = 528, TEXT_WIDTH_LABEL = 529;
constexpr int TEXT_AVAILABLE = 724;
struct placed_text {
    int number;
    float y;
};
constexpr placed_text UNAVAILABLE_TEXTS[] = {{725, 285}, {726, 255}, {727, 245}};
constexpr placed_text ALWAYS_TEXTS[] = {{728, 225}, {729, 195}, {730, 165}, {731, 125}, {732, 85}};
constexpr float AVAILABLE_TEXT_Y = 285;
// Nothing else fills these entries; the window's own wording stands in for any left empty.
struct default_text {
    int number;
    const char* text;
};
constexpr default_text DEFAULT_TEXTS[] = {
    {TEXT_FPS_LABEL, "Frames per second"},
    {TEXT_WIDTH_LABEL, "Movie width"},
    {TEXT_AVAILABLE, "Movies are recorded as Motion JPEG into numbered takes beside the program."},
    {725, "Movies cannot be recorded on this system:"},
    {726, "the movie muxer or the Motion JPEG encoder of libavformat and libavcodec is missing."},
    {727, "Install them and start the program again to record movies."},
    {728, "Each recording is a new take; earlier takes are never overwritten."},
    {729, "The movie's height follows the shape of the screen."},
    {730, "Frames are added at most at the rate above, each lasting until the next one."},
    {731, "A pause shows as one frame of at most a tenth of a second."},
    {732, "Screens larger than 1024 x 1024 cannot be recorded."},
};

// The open movie. Declared before `qtim`, so at exit the recorder stops before the writer goes.
plat::movie_writer movie_file;
float prev_time, start_time;
// The full path of the take being recorded, for the alerts of its later steps.
std::string take_path;
const int screen_dx = QTIM_CAPTURE_SIDE, screen_dy = QTIM_CAPTURE_SIDE;
// Where the settings panel says the next group would go; the window has no next group.
float wx1, wy1;

void fill_window_texts()
{
    for (const default_text& t : DEFAULT_TEXTS)
        if (stls[t.number].empty())
            stls[t.number] = t.text;
}

// The alert for a failure of the movie writer, after its step; path is the movie's. When the take
// was lost on the way (the movie could not be finished and its file went), the second line says so
// instead.
void report(const plat::movie_status& status, const std::string& path)
{
    auto second = [&status, &path](const std::string& usual) {
        return status.lost ? "The take was lost: " + path + " could not be finished and was removed." : usual;
    };
    switch (status.failed) {
        case plat::movie_step::none:
            return;
        case plat::movie_step::create_file:
            return mov_alert("Could not CreateMovieFile.", path, "(CreateMovieFile failed)", status.code);
        case plat::movie_step::begin_edits:
            return mov_alert("Could not BeginMediaEdits.", path, "(BeginMediaEdits failed)", status.code);
        case plat::movie_step::compress_begin:
            return mov_alert("Could not CompressSequenceBegin.", "", "(CompressSequenceBegin failed.)", status.code);
        case plat::movie_step::compression_size:
            return mov_alert("Could not GetMaxCompressionSize.", "", "(GetMaxCompressionSize failed.)", status.code);
        case plat::movie_step::compress_frame:
            return mov_alert("Could not CompressSequenceFrame.",
                             second("MAKE SURE LIBAVCODEC WITH ITS MOTION JPEG ENCODER IS INSTALLED."),
                             "(CompressSequenceFrame failed.)", status.code);
        case plat::movie_step::add_sample:
            return mov_alert("Could not AddMediaSample.", second(""), "AddMediaSample failed.", status.code);
        case plat::movie_step::end_edits:
            return mov_alert("Could not EndMediaEdits.", second(""), "(EndMediaEdits failed.)", status.code);
        case plat::movie_step::add_resource:
            return mov_alert("Could not AddMovieResource.", second(""), "(AddMovieResource failed.)", status.code);
    }
}

// Polls the program's clock until a second has passed.
void wait_one_second()
{
    const uint64_t start = xtim_class::microsecs();
    while (xtim_class::microsecs() - start < START_WAIT_MICROSECONDS)
        std::this_thread::sleep_for(START_WAIT_POLL);
}

int clamped(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

// Draws the frame just shown, copied into the capture texture, upside down and scaled to the movie
// size in the window's lower-left corner, and reads that back: rows from the top of the screen down.
void capture_frame(int movie_dx, int movie_dy)
{
    OGL_setstate(fog_fals, 1, lit_fals, al_none, deR_fals, deW_fals);
    // Replacing, not modulating: the colour current here is whatever the frame or the swap left, and
    // the copy must come out unchanged. The bind cache keeps the mode, so the next frame's binds set
    // their own again.
    tman.bind_ref(QTIM_CAPTURE_TEX, 0, GL_REPLACE);
    const int w = clamped(mnw.x_res, 0, screen_dx);
    const int h = clamped(mnw.y_res, 0, screen_dy);
    glReadBuffer(plat::gl_shown_buffer());
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, w, h);
    const float s = static_cast<float>(w) / QTIM_CAPTURE_SIDE, t = static_cast<float>(h) / QTIM_CAPTURE_SIDE;
    const float x = static_cast<float>(movie_dx), y = static_cast<float>(movie_dy);
    // At the window's corner, not the box's: the read below starts there.
    glBegin(GL_QUADS);
    glTexCoord2f(0, t), glVertex2f(0, 0);
    glTexCoord2f(0, 0), glVertex2f(0, y);
    glTexCoord2f(s, 0), glVertex2f(x, y);
    glTexCoord2f(s, t), glVertex2f(x, 0);
    glEnd();
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, movie_dx, movie_dy, GL_RGBA, GL_UNSIGNED_BYTE, scratch_array);
    // R, G, B, A become R, R, G, B: ARGB whose unused alpha byte repeats red.
    unsigned char* p = scratch_array;
    for (long i = 0; i < static_cast<long>(movie_dx) * movie_dy; ++i, p += 4) {
        p[3] = p[2];
        p[2] = p[1];
        p[1] = p[0];
    }
}

}

qtim_class qtim;

qtim_class::qtim_class()
    : qt_available(plat::movie_available() ? 1 : 0), recording(0), frames(0), movie_dx(320), movie_dy(0), fps(20.0f)
{
}

qtim_class::~qtim_class()
{
    if (recording)
        mov_stoprecord();
}

void mov_alert(const std::string& line1, const std::string& line2, const char* line3, int error)
{
    char number[12];
    int_to_str(error, number, 1, 1);
    // A failed movie costs the recording, not the program's session.
    __MACIBM_alert(0, line1, line2, line3, number, ALERT_MESSAGE, QTIM_SOURCE, MOVIE_ALERT_LINE);
}

void qtim_class::mov_toggle()
{
    if (!qt_available)
        return;
    OGL_setstate(fog_fals, 1, lit_fals, al_none, deR_fals, deW_fals);
    if (!recording) {
        scratch_dx = screen_dx;
        scratch_dy = screen_dy;
        tman.load_texture(tex_fail_fatal, QTIM_CAPTURE_TEX, CAPTURE_TEX_TYPE, tex_load_now, "scratch_array-t_QT_movie");
        mov_startrecord();
        if (!recording)
            tman.unload_texture(QTIM_CAPTURE_TEX);
    } else if (frames > SAMPLES_BEFORE_STOP) {
        mov_stoprecord();
        tman.unload_texture(QTIM_CAPTURE_TEX);
    }
}

void mov_startrecord()
{
    if (mnw.x_res > QTIM_CAPTURE_SIDE || mnw.y_res > QTIM_CAPTURE_SIDE) {
        __MACIBM_alert(0, "Oops!",
                       "You can NOT record movies in Veltrix at any Veltrix resolution higher that 1024 x 1024!",
                       "This limit is to keep the VRAM requirements of Veltrix down.",
                       "In the future, when we are ready to raise the system requirements, we will raise this limit to "
                       "2048 x 2048.",
                       ALERT_MESSAGE, QTIM_SOURCE, SCREEN_TOO_LARGE_LINE);
        return;
    }
    // A movie wider than the screen would read more rows than the scratch buffer holds.
    if (qtim.movie_dx > mnw.x_res)
        qtim.movie_dx = mnw.x_res;
    qtim.movie_dy = mnw.x_res > 0 ? qtim.movie_dx * mnw.y_res / mnw.x_res : 0;

    static int movie_take = 0;
    std::string name;
    for (;;) {
        char number[12];
        int_to_str(++movie_take, number, 1, 0);
        name = std::string("Veltrix movie take-") + number + ".mov";
        xmap_class existing(name);
        if (existing.base == nullptr)
            break;
    }
    std::string path = app_path + name;
    set_dir_chars(path);
    if (movie_file.recording()) {
        __MACIBM_alert(0, "Trying to create a movie but one already exists", path, "", "", ALERT_MESSAGE, QTIM_SOURCE,
                       ALREADY_EXISTS_LINE);
        return;
    }
    const plat::movie_status created = movie_file.create(path, qtim.movie_dx, qtim.movie_dy);
    if (!created.ok())
        return report(created, path);
    take_path = path;
    wait_one_second();
    qtim.frames = 0;
    prev_time = start_time = xtim.elapsed;
    qtim.recording = 1;
}

void mov_stoprecord()
{
    if (!movie_file.recording()) {
        __MACIBM_alert(0, "Cannot finish record of a movie that was not started!", "", "", "", ALERT_MESSAGE,
                       QTIM_SOURCE, NOT_STARTED_LINE);
        return;
    }
    qtim.recording = 0;
    report(movie_file.finish(), take_path);
}

void qtim_class::mov_addframe()
{
    // Only frames that become samples are captured and encoded.
    const float dt = xtim.elapsed - prev_time;
    if (dt < 1.0 / fps)
        return;
    capture_frame(movie_dx, movie_dy);
    const int duration = clamped(static_cast<int>(dt * plat::MOVIE_TIME_SCALE), SHORTEST_SAMPLE, LONGEST_SAMPLE);
    prev_time = xtim.elapsed;
    const plat::movie_status added = movie_file.add(scratch_array, duration);
    if (!added.ok()) {
        recording = 0;
        tman.unload_texture(QTIM_CAPTURE_TEX);
        return report(added, take_path);
    }
    frames += 1;
}

void qtim_class::qtim_wind()
{
    fill_window_texts();
    const gfx_hooks& widgets = gfx_get_hooks();
    if (widgets.fillwin)
        widgets.fillwin(WINDOW_FILL_STYLE, WINDOW_FILL_TYPE);
    if (widgets.subwin)
        widgets.subwin(PANEL_TOP, PANEL_STYLE, PANEL_X, PANEL_Y, PANEL_W, PANEL_H, "", &wx1, &wy1);
    if (widgets.flt_range)
        widgets.flt_range(FPS_FIELD_X, FPS_FIELD_Y, &fps, FPS_DIGITS, FPS_DECIMALS, FPS_MIN, FPS_MAX,
                          stls[TEXT_FPS_LABEL]);
    if (widgets.int_range)
        widgets.int_range(WIDTH_FIELD_X, WIDTH_FIELD_Y, &movie_dx, WIDTH_DIGITS, WIDTH_MIN, WIDTH_MAX,
                          stls[TEXT_WIDTH_LABEL]);
    if (qt_available) {
        OGL_string(TEXT_COLOUR, TEXT_X, AVAILABLE_TEXT_Y, stls[TEXT_AVAILABLE], TEXT_WRAP, charset_UI_diff_space);
    } else {
        for (const placed_text& t : UNAVAILABLE_TEXTS)
            OGL_string(TEXT_COLOUR, TEXT_X, t.y, stls[t.number], TEXT_WRAP, charset_UI_diff_space);
    }
    for (const placed_text& t : ALWAYS_TEXTS)
        OGL_string(TEXT_COLOUR, TEXT_X, t.y, stls[t.number], TEXT_WRAP, charset_UI_diff_space);
}
