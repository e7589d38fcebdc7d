// window: the program's one SDL window with its OpenGL compatibility context, the screen mode
// and the cursor. The shell's start-up and context code are the only callers.
// Invariant: a window handed out by create_gl_window always has its context, current on this
// thread; a failed attempt leaves nothing behind.
#pragma once

namespace plat {

// True when no dialog may be shown: VELTRIX_HEADLESS=1, or neither DISPLAY nor WAYLAND_DISPLAY.
bool headless();

// Starts the video layer (SDL keeps its hands off SIGINT and SIGTERM). False when it cannot.
bool video_init();
// Stops the video layer; safe when it never started.
void video_quit();
// Why the video layer's last call failed, in its own words ("" when it gave none).
const char* video_error();

// Size and depth (8 x bytes per pixel) of the main screen. False when they cannot be read.
bool desktop_mode(int* width, int* height, int* depth);

// One attempt at the window and its context: double-buffered, depth 32 then 24, with
// `samples` multisamples (0 for none). Windowed: a framed window at (x, y); else borderless
// at (x, 0). A shared context sees the textures and lists of the current one. Returns
// true with both handles, the context current.
enum context_sharing : int { CONTEXT_OWN = 0, CONTEXT_SHARED = 1 };
bool create_gl_window(const char* title, int x, int y, int width, int height, bool windowed, int samples,
                      context_sharing sharing, void** window, void** context);
// Destroys the context and the window; null handles are skipped and both are nulled.
void destroy_gl_window(void** window, void** context);

// Values of the created format, in log order: RGBA (always 1), double buffer, red, green,
// blue, alpha and depth sizes. An attribute the driver cannot answer reads -1.
constexpr int GL_FORMAT_VALUE_COUNT = 7;
void gl_format_values(int values[GL_FORMAT_VALUE_COUNT]);

void make_current(void* window, void* context);
void swap_window(void* window);
// The window's position on the screen and its size, for tests and the harness.
void window_geometry(void* window, int* x, int* y, int* width, int* height);
bool window_borderless(void* window);

// The system arrow cursor, and showing or hiding it.
void init_cursor();
void show_cursor(bool visible);

}
