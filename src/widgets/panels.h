// panels: the frame of a dialog box drawn in OpenGL: its window panel, framed groups inside it,
// the two close boxes in its top corners and rows of tabs. Every box's drawing pass starts here.
// Invariant: box sizes come from `mnw` (box_w, box_h) of the current box; nothing is kept between frames.
#pragma once

#include <string>

void BTN_fillwin(int style, int type);
void BTN_subwin(float top, int style, float x, float y, float w, float h, std::string title, float* next_x,
                float* next_y);
int BTN_zap_boxes(int pressed);
int BTN_tab(int column, int row, int* current, int value, std::string title);
