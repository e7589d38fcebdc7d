// bool: check boxes and radio buttons over the caller's value; one call per frame draws and answers.
// BTN_bool works on an int; the wrappers keep a temporary int for bool, char, unsigned char and
// "this int equals my value" (a radio group is several BTN_is_int calls over one variable).
// Invariant: a value is written only on a click, and then 0 or 1 (BTN_is_int: the button's value).
#pragma once

#include <string>

// Values of BTN_bool's style.
constexpr int BOOL_CHECK_BOX = 0;
constexpr int BOOL_RADIO = 1;

int BTN_bool(float x, float y, int* value, std::string label, int style);
int BTN_xbol(float x, float y, bool* value, std::string label);
int BTN_xchr(float x, float y, char* value, std::string label);
int BTN_xbyt(float x, float y, unsigned char* value, std::string label);
int BTN_is_int(float x, float y, int* variable, int value, std::string label);
