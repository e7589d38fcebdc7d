// opensave: the modal file open/save box drawn with the widgets (boxes 998 and 999). It lists one
// folder in the name list, climbs to any folder of the path through a pop-up, takes a typed name
// (save) or a picked entry (open) and returns the name or the path relative to the program's folder.
// BTN_opensave runs the whole box; opensave_open and opensave_frame are its entry and one frame.
// Invariant: an answer names an entry of this frame's listing or the typed name, never an entry left
// in the listing tables by an earlier listing.
#pragma once

#include <string>

// Values of BTN_opensave's path mode.
constexpr int OPENSAVE_BARE_NAME = 0;
constexpr int OPENSAVE_RELATIVE_PATH = 1;

// 1 with *result written when a file was chosen (open) or a name confirmed (save); 0 when the box
// was cancelled or left otherwise, *result unchanged. On entry *result may name a file whose folder
// the box starts in.
int BTN_opensave(int box_id, int path_mode, int file_kind, std::string* result);

// The folder listing the tables hold, and what tells whether its folder may have changed since.
struct opensave_listing {
    bool kept = false;  // false: list again on the next frame
    std::string folder;
    long long device = 0, node = 0, modified_ns = 0;
    int count = 0;
};

// An open file box between two frames.
struct opensave_box {
    int box_id = 0;
    int path_mode = 0;
    int file_kind = 0;
    int back_window = 0;  // current when the box opened; current again when it ends
    int current = 0;      // the name list's middle entry
    int hovered = 0;      // the entry under the mouse (or last under it)
    opensave_listing listed;
};

enum class opensave_answer { going_on, chosen, cancelled };

// The typed name as the save box returns it: a dot and three characters at its end (after at least
// one more character) give way to the file kind's extension, or go with nothing in their place for
// the kinds that have none.
std::string opensave_saved_name(std::string typed, int file_kind);

// Checks the arguments (fatal alerts), settles the folder from *result or the kind, lists it and
// opens the box.
opensave_box opensave_open(int box_id, int path_mode, int file_kind, const std::string& result);
// Draws one frame of the box and acts on this frame's input; the box has closed (its window gone
// back) when the answer is not going_on.
opensave_answer opensave_frame(opensave_box& box, std::string* result);
