// action: the push button. One call per frame draws it and answers 1 on the frame it is clicked.
// Used by the alert's OK, the installer's preferences button, the prompts' choices and the file box.
// Invariant: the hit box is the width passed in (or sized from the label) by 20 units, whatever the art.
#pragma once

#include <string>

// Values of BTN_action's mode.
constexpr int ACTION_NO_FEEDBACK = 0;
constexpr int ACTION_SHOW_PRESS = 1;
constexpr int ACTION_SHOW_PRESS_LIT_CAPTION = 2;

int BTN_action(float x, float y, float width, int lit, int mode, std::string label);
