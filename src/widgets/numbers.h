// numbers: digit-wheel number fields. Each digit column has an arrow above and below; a click on the
// upper half of a column adds its unit, on the lower half subtracts it; the value is then clamped into
// [min, max] and rounded to the shown decimals, on every call. BTN_chars is the same wheel over letters.
// Invariant: a column is 10 units wide; an int written back saturates to the int range.
#pragma once

#include <string>

int BTN_flt_range(float x, float y, float* value, int digits, int decimals, float min, float max, std::string label);
int BTN_int_range(float x, float y, int* value, int digits, float min, float max, std::string label);
int BTN_dob_range(float x, float y, double* value, int digits, int decimals, float min, float max, std::string label);
int BTN_flt(float x, float y, float* value, int digits, int decimals, int negative, std::string label);
int BTN_int(float x, float y, int* value, int digits, int negative, std::string label);
int BTN_flt_rangeij(float i, float j, float* value, int digits, int decimals, float min, float max, std::string label);
int BTN_fltij(float i, float j, float* value, int digits, int decimals, int negative, std::string label);
void BTN_display_number(float x, float y, float value, int digits, int decimals, const std::string& label);
void BTN_chars(float x, float y, char* text, int count, std::string label);

// The largest value `digits` digits with `decimals` decimals can show, in single precision.
float largest_shown_value(int digits, int decimals);
