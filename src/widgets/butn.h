// butn: what every BTN_ widget shares: label splitting and drawing, the interface-atlas painters
// (bars, tracks, panels, single cells) and the one press rule that answers "clicked this frame".
// Screens, the shell's menus and tooltip, and the other widget files call these once per frame.
// Invariant: nothing here keeps state between calls; all input comes from `mnw` of this frame.
#pragma once

#include <string>

// Texture refs of the two images the painters read.
constexpr int TEX_INTERFACE_ATLAS = 363;
constexpr int TEX_INSTALLER_PICTURE = 364;
// Side of the installer picture's texture, in texels.
constexpr float PICTURE_TEXELS = 1024.0f;
// A wrap width this large turns OGL_string's wrapping off.
constexpr float NO_WRAP = 9999.0f;

// Alignments of BTN_util_draw_label.
constexpr int ALIGN_END_AT_X = 0;
constexpr int ALIGN_ONE_LINE = 1;
constexpr int ALIGN_START_AT_X = 2;

// Source name the painters give their fatal alerts.
constexpr const char* BUTN_SOURCE = "butn";

void BTN_expand_label(const std::string& label, std::string* left, std::string* right, std::string* help);
void BTN_util_draw_label(float x, float y, int align, const std::string& text, int lit);
void BTN_util_element(float x, float y, float s, float t, float half_w, float half_h, int colour);
void BTN_frame0(int style, float x_center, float y_center, float length);
void BTN_frame1(int style, float x, float y, float width, int colour);
void BTN_frame2(int style, float x, float y, float width, float height, std::string title);
void BTN_util_draw_boxed_button(float x, float y, float width, float dx, int count);

// Width of a text in the proportional font (charset 100): the sum of its bytes' pen advances.
float proportional_text_width(const std::string& text);

// Draws the atlas texel rectangle [s1, s2] x [t1, t2] over the box rectangle [x1, x2] x [y1, y2]
// (texture 363, opaque, blended), in palette colour 0 (the art as painted) unless another is given.
void draw_atlas_cell(float x1, float y1, float x2, float y2, float s1, float t1, float s2, float t2, int colour = 0);

// ---------------------------------------------------------------------------
// The press rule, written once for every widget.
// ---------------------------------------------------------------------------

// A rectangle in box coordinates; the bounds belong to it.
struct hit_rect {
    float x1, y1, x2, y2;
    bool holds(float x, float y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }
};

// Whether a widget goes quiet while a GL menu is open (the usual rule) or reacts regardless.
enum class menu_rule { quiet_while_menu_open, react_while_menu_open };

enum widget_answer { WIDGET_IDLE = 0, WIDGET_HOVERED = 1, WIDGET_CLICKED = 2 };

// One frame of a widget's mouse handling:
//   menu open (quiet rule) | mouse in rect | click flag | answer   | hover help
//   yes                    | any           | any        | IDLE     | untouched
//   no                     | no            | any        | IDLE     | untouched
//   no                     | yes           | 0          | HOVERED  | help copied (when help is not null)
//   no                     | yes           | 1          | CLICKED  | help copied (when help is not null)
// The mouse position and click flag are those of `mnw` for this frame, in box coordinates.
widget_answer widget_behaviour(const hit_rect& rect, menu_rule rule, const std::string* help);

// True while the mouse of `mnw` lies in the rectangle (bounds included).
bool mouse_in(const hit_rect& rect);

// The close boxes in the top corners of the current box (mnw.box_w, mnw.box_h): where one sits,
// which is also where it answers, and its atlas cell drawn there, normal or pressed.
hit_rect close_box_rect(bool right_corner);
void draw_close_box(const hit_rect& box, bool pressed);
