// app_hooks: the fixed calls the shell makes into the application. The installer defines them;
// a test program that links the shell defines its own.
// Invariant: all four are called on the main thread, from the frame procedure or start-up only.
#pragma once

// Draws and answers the main screen; once per frame while no sized box is open.
void APP_update();
// A translated key: kind 0 plain, 1 navigation, 2 with control, 3 function key.
void APP_handlekey(int kind, int value);
// A picked menu item's code.
void APP_handlemenu(int code);
// Loads the embedded interface images at start-up, leaving the interface atlas in scratch_array.
void recall_ins_texes();
