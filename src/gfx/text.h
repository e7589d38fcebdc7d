// text: bitmap-font text cut from the interface atlas (texture 363, 8x11-texel cells), in four
// charsets: proportional, two fixed-advance ones, and the two-byte Korean menu charset (texture 367).
// Widgets and menus measure text with OGL_char_width, the one proportional width table.
// Invariant: glyph quads go between the caller's glBegin(GL_QUADS)/glEnd; OGL_strtex must come first.
#pragma once

#include <string>

constexpr int charset_UI_diff_space = 100;  // proportional, advance from the width table
constexpr int charset_UI_fixed_6 = 101;     // fixed 6-px advance
constexpr int charset_UI_fixed_10 = 102;    // fixed 10-px advance
constexpr int charset_UI_menus_KOR = 103;   // two bytes per glyph, 15-px advance

// A glyph's 11-pixel cell stands this far below the baseline it is drawn at.
constexpr float OGL_CELL_DROP = 2;
constexpr int OGL_FONT_TEX = 363;  // the interface atlas holding the glyph cells
constexpr int OGL_KOREAN_FONT_TEX = 367;
// Source path that the alerts of the text and number drawing name.
constexpr const char* OGL_TEXT_SOURCE = "DEzovuv/OOPS_cpp/oglp";
// A wrap width at or above this turns wrapping off.
constexpr float OGL_NO_WRAP = 9999;

// The text scale; only OGL_char reads it and nothing changes it from 1.
struct oglp_class {
    float text_scale = 1.0f;
};
extern oglp_class oglp;

// Pen advance of one byte in the proportional charset (0 for bytes without a glyph).
int OGL_char_width(char byte);
// Sum of OGL_char_width over the text.
int OGL_string_width(const std::string& text);

// Sets text state, colour and texture; writes the first cell's texel position and the cell size;
// returns the fixed advance (0 proportional). A bad charset is a fatal alert.
int OGL_strtex(int charset, int colour, float* s0, float* t0, float* cell_w, float* cell_h);
void OGL_char(float x, float y, float s0, float t0, float cell_w, float cell_h, int code, int charset);
void OGL_string(int colour, float x, float y, const std::string& text, float wrap_width, int charset);
void OGL_gray_string(int colour, float x, float y, std::string text);
// The value text in a frame, with the label's two halves beside it; the frame and labels are the
// widgets' (gfx/hooks.h), so without them only the text is drawn.
void OGL_boxed_string(float x, float y, const std::string& label, const std::string& text, int charset, int colour);
