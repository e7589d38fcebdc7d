// enterstring: the one-line text field. The keyboard translation fills `stl_input`; the field that
// holds the focus (mnw.focus equals its identifier) copies it into its own text every frame.
// Invariant: taking the focus empties the field and `stl_input`; the text never exceeds max_length.
#pragma once

#include <string>

// Longest text the character-buffer form can hold (its buffers have 500 bytes).
constexpr size_t ENTERSTRING_BUFFER_LIMIT = 499;

int BTN_enterstring(float x, float y, std::string* text, int max_length, int field_id, std::string label);
int BTN_enterstring(float x, float y, char* text, int max_length, int field_id, std::string label);
