// decisions: what the install does with each listed file (fetch, keep, delete), asking the user
// before a file the user changed is overwritten or deleted.
// Called by the installer screen at INSTALL; want_this_f also by read_directory and make_dirs.
// Invariant: only the current (last) version of a history gets download or remove set, never both.
#pragma once

#include <string>

// Answers of the changed-file prompt.
constexpr int PROMPT_OVERWRITE = 1;
constexpr int PROMPT_KEEP = 2;
constexpr int PROMPT_CANCEL = 3;
constexpr int PROMPT_OVERWRITE_FOLDER = 4;
constexpr int PROMPT_KEEP_FOLDER = 5;

// 1 when the record belongs to the platform chosen in the preferences (and to the given kind).
[[nodiscard]] int want_this_f(int history, int version, int kind);

// Sets download and remove on every current version; 1 when done, 0 when the user cancelled.
[[nodiscard]] int choose_files();

// Modal prompt (box 997) about one changed file; gone 1 asks about deleting it. Returns one of
// the PROMPT_ codes; closing the box by other means is PROMPT_CANCEL.
[[nodiscard]] int select_alert(std::string path, int gone);
