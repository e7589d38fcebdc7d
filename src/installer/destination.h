// destination: the folder that is installed into or updated, and whether it already holds an install.
// Called by main at start-up and by the installer screen's DESTINATION control.
// Invariant: after either call dest_dir_path is an absolute path ending in '/'.
#pragma once

// Rewrites dest_dir_path (a new install goes into a sub-folder named Veltrix) and sets
// stg.dest_is_install.
void check_dest_path();

// Lets the user choose the destination with the system's folder chooser. 1 when a folder was
// chosen (dest_dir_path and dest_is_install updated), 0 when cancelled (nothing changes).
[[nodiscard]] int pick_dest_path();

// The chooser's path buffer: a path longer than this is never cut (a cut path names another folder).
constexpr int DEST_PATH_BUFFER = 1024;

// The function-key hook of the shell's design; the keyboard reports function keys through
// APP_handlekey, so nothing calls it.
void function_key(int key);
