#include "platform/dialogs.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <SDL2/SDL.h>

#include "platform/owners.h"
#include "platform/spawn.h"
#include "platform/window.h"

namespace plat {

namespace {

// The title every system box of the program carries.
constexpr const char* BOX_TITLE = "Veltrix";

// How often the chooser wait lets the window system breathe, as the modal dialog did.
constexpr int CHOOSER_PUMP_MS = 100;
// A chooser answer longer than this is no path at all; reading stops there.
constexpr size_t CHOOSER_OUTPUT_LIMIT = 64 * 1024;

constexpr int PROGRESS_WIDTH = 500;
constexpr int PROGRESS_HEIGHT = 250;
// The bar's track, in window pixels.
constexpr int BAR_LEFT = 20, BAR_TOP = 210, BAR_RIGHT = 480, BAR_BOTTOM = 230;
// Width of the moving block of a bar with no value, and its step per call.
constexpr int BAR_BLOCK = 60;
constexpr int BAR_PHASE_STEP = 8;

MessageBoxHandler& box_handler()
{
    static MessageBoxHandler handler;
    return handler;
}

void write_alert_line(const message_box_request& r)
{
    std::fprintf(stderr, "ALERT: %s | %s\n", r.message.c_str(), r.explanation.c_str());
    std::fflush(stderr);
}

int real_message_box(const message_box_request& r)
{
    if (headless()) {
        write_alert_line(r);
        return MESSAGE_BOX_NONE;
    }
    if (r.kind == MESSAGE_BOX_STOP) {
        std::string text = r.message + "\n\n" + r.explanation;
        if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, BOX_TITLE, text.c_str(), nullptr) != 0) {
            write_alert_line(r);
            return MESSAGE_BOX_NONE;
        }
        return MESSAGE_BOX_DEFAULT;
    }
    SDL_MessageBoxButtonData buttons[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, MESSAGE_BOX_DEFAULT, r.ok_label.c_str()},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, MESSAGE_BOX_CANCEL, r.cancel_label.c_str()},
    };
    std::string text = r.explanation.empty() ? r.message : r.message + "\n\n" + r.explanation;
    SDL_MessageBoxData data{};
    data.flags = SDL_MESSAGEBOX_WARNING;
    data.title = BOX_TITLE;
    data.message = text.c_str();
    data.numbuttons = 2;
    data.buttons = buttons;
    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) != 0 || chosen < 0) {
        write_alert_line(r);
        return MESSAGE_BOX_NONE;
    }
    return chosen;
}

bool folder_exists(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string with_slash(const std::string& folder)
{
    return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

// Where a chooser opens: the start folder (with the default name when saving),
// else the bare default name when saving; "" when neither applies.
std::string chooser_start(chooser_mode mode, const std::string& start, const std::string& name)
{
    if (folder_exists(start))
        return with_slash(start) + (mode == CHOOSE_SAVE ? name : "");
    return mode == CHOOSE_SAVE ? name : "";
}

std::vector<std::string> zenity_arguments(const std::string& tool, chooser_mode mode, const std::string& prompt,
                                          const std::string& start, const std::string& name)
{
    std::vector<std::string> args = {tool, "--file-selection"};
    if (mode == CHOOSE_FOLDER)
        args.push_back("--directory");
    if (mode == CHOOSE_SAVE) {
        args.push_back("--save");
        args.push_back("--confirm-overwrite");
    }
    args.push_back("--title=" + prompt);
    std::string at = chooser_start(mode, start, name);
    if (!at.empty())
        args.push_back("--filename=" + at);
    return args;
}

std::vector<std::string> kdialog_arguments(const std::string& tool, chooser_mode mode, const std::string& prompt,
                                           const std::string& start, const std::string& name)
{
    std::vector<std::string> args = {tool};
    args.push_back(mode == CHOOSE_FOLDER     ? "--getexistingdirectory"
                       : mode == CHOOSE_SAVE ? "--getsavefilename"
                                             : "--getopenfilename");
    std::string at = chooser_start(mode, start, name);
    if (!at.empty())
        args.push_back(at);
    args.push_back("--title");
    args.push_back(prompt);
    return args;
}

// Drops the window's input while a system dialog has the user's attention.
void pump_and_drop_input()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
}

// Runs the chooser with stdout on a pipe. Returns 0, or the errno that kept it from starting.
int run_and_read(const std::vector<std::string>& args, std::string* output, int* status)
{
    descriptor null_fd(open("/dev/null", O_RDWR | O_CLOEXEC));
    int fds[2];
    if (null_fd.get() < 0 || pipe2(fds, O_CLOEXEC) != 0)
        return errno;
    descriptor read_end(fds[0]), write_end(fds[1]);

    SpawnFiles files;
    files.input = null_fd.get();
    files.output = write_end.get();
    files.error = null_fd.get();
    pid_t pid = -1;
    int err = spawn(args[0], args, &pid, files);
    if (err != 0)
        return err;
    write_end.reset();

    char chunk[4096];
    for (;;) {
        pollfd p{read_end.get(), POLLIN, 0};
        int ready = poll(&p, 1, CHOOSER_PUMP_MS);
        pump_and_drop_input();
        if (ready <= 0)
            continue;
        ssize_t n = read(read_end.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (output->size() < CHOOSER_OUTPUT_LIMIT)
            output->append(chunk, static_cast<size_t>(n));
    }
    *status = wait_child(pid);
    return 0;
}

struct progress_window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    unsigned char phase = 0;
};

progress_window& progress()
{
    static progress_window p;
    return p;
}

// SDL may draw the progress window with an OpenGL renderer of its own, whose context then stays
// current, and none is once that renderer is gone: the caller's context is put back either way,
// since the caller goes on drawing its own window.
struct caller_context {
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    SDL_GLContext context = SDL_GL_GetCurrentContext();
    ~caller_context()
    {
        if (context && SDL_GL_GetCurrentContext() != context)
            SDL_GL_MakeCurrent(window, context);
    }
};

}

int show_message_box(const message_box_request& request)
{
    if (box_handler())
        return box_handler()(request);
    return real_message_box(request);
}

void set_message_box(MessageBoxHandler handler)
{
    box_handler() = std::move(handler);
}

void show_progress(const std::string& text, const float* fraction)
{
    if (headless())
        return;
    progress_window& p = progress();
    const caller_context kept;
    if (!p.window) {
        if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return;
        p.window = SDL_CreateWindow(text.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, PROGRESS_WIDTH,
                                    PROGRESS_HEIGHT, SDL_WINDOW_SHOWN);
        if (!p.window)
            return;
        p.renderer = SDL_CreateRenderer(p.window, -1, SDL_RENDERER_SOFTWARE);
        if (!p.renderer) {
            SDL_DestroyWindow(p.window);
            p.window = nullptr;
            return;
        }
    }
    // Without a font of its own the window shows the text in its title bar.
    SDL_SetWindowTitle(p.window, text.c_str());
    SDL_SetRenderDrawColor(p.renderer, 236, 236, 236, 255);
    SDL_RenderClear(p.renderer);
    if (fraction) {
        SDL_Rect track{BAR_LEFT, BAR_TOP, BAR_RIGHT - BAR_LEFT, BAR_BOTTOM - BAR_TOP};
        SDL_SetRenderDrawColor(p.renderer, 180, 180, 180, 255);
        SDL_RenderFillRect(p.renderer, &track);
        SDL_SetRenderDrawColor(p.renderer, 40, 90, 200, 255);
        // Below 0, or no number at all: the bar shows activity without a value.
        if (!(*fraction >= 0)) {
            int span = track.w - BAR_BLOCK;
            SDL_Rect block{track.x + (p.phase * BAR_PHASE_STEP) % span, track.y, BAR_BLOCK, track.h};
            SDL_RenderFillRect(p.renderer, &block);
        } else {
            float f = *fraction > 1 ? 1 : *fraction;
            SDL_Rect fill{track.x, track.y, static_cast<int>(f * 1000) * track.w / 1000, track.h};
            SDL_RenderFillRect(p.renderer, &fill);
        }
        p.phase++;
    }
    SDL_RenderPresent(p.renderer);
}

void close_progress()
{
    progress_window& p = progress();
    const caller_context kept;
    if (p.renderer)
        SDL_DestroyRenderer(p.renderer);
    if (p.window)
        SDL_DestroyWindow(p.window);
    p = progress_window{};
}

chooser_result choose_path(chooser_mode mode, const std::string& prompt, const std::string& start_folder,
                           const std::string& default_name, std::string* path, std::string* detail)
{
    std::vector<std::string> args;
    std::string tool = find_program("zenity");
    if (!tool.empty()) {
        args = zenity_arguments(tool, mode, prompt, start_folder, default_name);
    } else {
        tool = find_program("kdialog");
        if (tool.empty())
            return CHOOSER_NO_TOOL;
        args = kdialog_arguments(tool, mode, prompt, start_folder, default_name);
    }

    std::string output;
    int status = 0;
    int err = run_and_read(args, &output, &status);
    if (err != 0) {
        *detail = "could not start " + tool + ": " + std::strerror(err);
        return CHOOSER_FAILED;
    }
    if (status == 1)
        return CHOOSER_CANCEL;
    if (status != 0) {
        *detail = tool + " ended with status " + std::to_string(status);
        return CHOOSER_FAILED;
    }
    if (!output.empty() && output.back() == '\n')
        output.pop_back();
    if (output.empty()) {
        *detail = tool + " answered an empty path";
        return CHOOSER_FAILED;
    }
    *path = output;
    return CHOOSER_OK;
}

void open_url(const std::string& url)
{
    // Failure stays silent: a link that does not open costs the user nothing else.
    (void)spawn_detached("xdg-open", {"xdg-open", url});
}

}
