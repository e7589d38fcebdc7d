// prefs_window: the modal preferences box (window 2) of the installer screen.
// Edits stg's preference fields and http's proxy settings in place; saved at shut-down.
#pragma once

void handle_prefs();
