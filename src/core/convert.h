#pragma once
// Small conversions between numbers and text. Pure functions; malformed
// input gives the documented fallback values, never a failure.

#include <string>

// Writes value with a '-' (or '+' when plus_flag and value >= 0), at least
// min_digits digits with leading zeros, at most ten. `buffer` needs 12 bytes.
void int_to_str(int value, char* buffer, int min_digits, int plus_flag);

// Fixed-point text: integer part with at least (digits - decimals) digits,
// then "." and `decimals` truncated decimals. decimals < 0 leaves *out alone.
void flt_to_str(float value, std::string* out, int digits, int decimals);

// A signed decimal of 1 to 9 characters; -1 for anything else.
int str_to_int(const std::string& text);

// Packs space-separated numbers into two non-zero bytes each.
void char_string_to_int_string(std::string* text);

// The 19-character tile path "+40-080/+41-073.dsf" of a latitude/longitude.
void return_latlon_str_dsf(int latitude, int longitude, std::string* out);
