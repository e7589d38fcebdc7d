// sliders: the range widgets: a vertical scroll bar over an int, a horizontal slider over a float,
// and the scrolling name list (10 units a row, the current entry on its middle row, a vertical
// slider at its right) that shows the last folder listing in the file box, or any caller's names.
// Invariant: the four knob-held flags of the vertical sliders are the only state the widget set
// keeps between frames; none of these widgets goes quiet while a menu is open.
#pragma once

#include <string>

// Vertical slider slots 0 .. VERT_SLIDER_SLOTS - 1: every vertical slider on screen needs its own.
constexpr int VERT_SLIDER_SLOTS = 4;

// Name list types: where the names come from.
constexpr int NAME_LIST_CALLER = 990;  // name_of(k)
constexpr int NAME_LIST_TABLES = 993;  // the folder listing, like the file boxes 998 and 999

// Horizontal slider fill colour that means "no fill".
constexpr int HORZ_SLIDER_NO_FILL = 12;

// File-box geometry: the name list's default width and height, and the file box's centre line.
extern float io_cx, io_dx, io_dy;

int BTN_vert_slider(int slot, float x, float y_bottom, float y_top, int min, int max, int* value);
int BTN_horz_slider(float x, float y, float w, int fill_colour, float min, float max, float* value, int editable,
                    std::string label, std::string value_text);
int BTN_big_name_list(int list_type, int slot, float x, float y, float w, float h, int* current, int* hovered, int min,
                      int max, std::string* text, std::string (*name_of)(int));
