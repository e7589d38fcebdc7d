// numbers: fixed-width number fields in the fixed-advance charsets, for the widgets' digit
// wheels and read-only number displays and the spectrum scale's labels. Every digit cell is one
// advance wide; sign, point and thousands commas sit half a step between cells.
// Invariant: each cell shows a glyph '0'..'9', whatever the value (NaN and infinities included).
#pragma once

// A field of `digits` cells, `decimals` of them after the point; charset 101 or 102 only (any
// other is a fatal alert). Values with more integer digits than fit show as "d.dd x e".
void OGL_number(int colour, float x, float y, float value, int digits, int decimals, int charset);
