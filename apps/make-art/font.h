// The interface font: hand-drawn glyphs of our own for the 8 x 11 cells of the atlas.
// Each glyph is drawn no wider than its pen advance minus one, so neighbouring letters never touch.
// Invariant: every glyph has 9 rows, top to bottom: seven body rows (capital height) and two descender rows.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace art {

constexpr int GLYPH_ROWS = 9;
constexpr int GLYPH_BODY_ROWS = 7;

// Rows of '#' (ink) and '.' (empty); an empty string is an empty row.
using glyph = std::vector<std::string>;

const std::map<unsigned char, glyph>& interface_font();

// Pen advance of a byte in the proportional set, in pixels (0 for bytes without a glyph).
int proportional_advance(unsigned char c);

}  // namespace art
