#pragma once
// folder_watch: which entries of watched folders were added or removed since the last look, so a
// folder's listing kept in memory can follow every change without reading the folder again. The
// case correction of paths keeps its listings this way while an install fills their folders.
// Not thread-safe: callers hold their own lock. Invariant: a change is either reported or, when
// the system dropped some, take_folder_changes returns false and no listing may be trusted.

#include <string>
#include <vector>

namespace plat {

enum folder_change_kind : int {
    FOLDER_ENTRY_ADDED = 0,    // created, or renamed into the folder
    FOLDER_ENTRY_REMOVED = 1,  // deleted, or renamed away
    FOLDER_GONE = 2,           // the folder itself was removed or moved: its watch has ended
};

struct folder_change {
    int watch = -1;
    folder_change_kind kind = FOLDER_ENTRY_ADDED;
    std::string name;  // the entry's name; empty for FOLDER_GONE
};

// Starts watching the folder (a path the system resolves, links followed): a watch number, the
// same for every path of one folder, or -1 when the folder cannot be watched.
[[nodiscard]] int watch_folder(const std::string& path);
void unwatch_folder(int watch);

// Appends the changes of every watched folder since the last call, in the order they happened.
// False when some were lost; the changes appended then are incomplete.
[[nodiscard]] bool take_folder_changes(std::vector<folder_change>& changes);

}  // namespace plat
