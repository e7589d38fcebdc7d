// event_proc: one frame of the main loop and of every modal box's loop: period flags, input,
// event pump, clock, click timing, pulsing colours, the application's update, menus, tooltip,
// cursor and the buffer swap.
// Invariant: click, mouse_up, key_event and return_hit live for one frame.
#pragma once

#include "platform/carbon_types.h"

void MACIBM_event_proc();
void APL_handlewin(EventRecord event);

// Sets the mouse fields of mnw from a window pixel position (y down), box offset subtracted.
void shell_load_mouse(int x, int y);
