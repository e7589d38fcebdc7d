// context: the program's window and its OpenGL context, chosen among five multisampling levels.
// Start-up makes window 0 once; the finish-up disposes it.
// Invariant: after a result of 1 the window exists, its context is current and the default
// OpenGL state is set; mnw.alias_got holds the level reached.
#pragma once

#include <cstdint>

int MACIBM_make_context(int which);
void MACIBM_nuke_context(int which);

// The wheel: adds the steps of one wheel event to mnw.wheel. Installed by MACIBM_make_context.
void APL_HandleWheel(int steps);

// The verdict on glExt.init_entry_points' result: any non-zero result is a fatal alert naming
// it, so this returns only for 0.
void check_entry_points(int32_t result);
