// hooks: the widget calls the graphics layer draws with (a boxed string's frame and labels, the movie
// recorder's settings window), filled by the program's main or a test fixture with
// widgets_fill_gfx_hooks and set with gfx_set_hooks on the main thread before anything draws.
// Adding a call is one member line.
// Invariant: a null member is skipped, so without widgets a boxed string draws its value text only
// and the settings window only its texts.
#pragma once

#include <string>

#include "core/hooks.h"

struct gfx_hooks {
    // OGL_boxed_string's label, frame and the labels beside it.
    void (*expand_label)(const std::string& label, std::string* left, std::string* right,
                         std::string* help) = nullptr;                                            // BTN_expand_label
    void (*frame1)(int style, float x, float y, float width, int colour) = nullptr;               // BTN_frame1
    void (*draw_label)(float x, float y, int align, const std::string& text, int lit) = nullptr;  // BTN_util_draw_label
    // The movie recorder's settings window (qtim_class::qtim_wind).
    void (*fillwin)(int style, int type) = nullptr;  // BTN_fillwin
    void (*subwin)(float top, int style, float x, float y, float w, float h, std::string title, float* next_x,
                   float* next_y) = nullptr;  // BTN_subwin
    int (*flt_range)(float x, float y, float* value, int digits, int decimals, float min, float max,
                     std::string label) = nullptr;  // BTN_flt_range
    int (*int_range)(float x, float y, int* value, int digits, float min, float max,
                     std::string label) = nullptr;  // BTN_int_range
};

void gfx_set_hooks(const gfx_hooks& hooks);
const gfx_hooks& gfx_get_hooks();

// Sets the members of the core's table that the graphics layer answers (the region bitmap load);
// leaves the others as they are.
void gfx_fill_core_hooks(core_hooks& hooks);
