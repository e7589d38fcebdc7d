// dialogs: the system's own boxes and helpers outside the OpenGL window: message boxes, the
// progress window, the file and folder chooser (zenity, else kdialog) and the web browser.
// Called by the shell's alert and native-dialog code. In headless mode boxes write one stderr
// line and return at once, so no test or CI run ever waits on a box.
// Invariant: children are started without a shell, argv built before fork, one argument per text.
#pragma once

#include <functional>
#include <string>

namespace plat {

enum message_box_kind : int {
    MESSAGE_BOX_STOP = 0,     // one OK button
    MESSAGE_BOX_CAUTION = 1,  // default and cancel buttons
};

// Button ids a message box answers.
constexpr int MESSAGE_BOX_NONE = 0;
constexpr int MESSAGE_BOX_DEFAULT = 1;
constexpr int MESSAGE_BOX_CANCEL = 2;

struct message_box_request {
    message_box_kind kind = MESSAGE_BOX_STOP;
    std::string message;
    std::string explanation;
    std::string ok_label;      // caution boxes only
    std::string cancel_label;  // caution boxes only
};

// Shows the box and returns the button chosen, MESSAGE_BOX_NONE when none could be shown.
int show_message_box(const message_box_request& request);
// Tests answer boxes through this seam; null restores the real boxes.
using MessageBoxHandler = std::function<int(const message_box_request&)>;
void set_message_box(MessageBoxHandler handler);

// A 500 x 250 window of its own with the text (in its title) and, when fraction is given, a
// bar: below 0 an animated bar with no value. Never touches the OpenGL context.
void show_progress(const std::string& text, const float* fraction);
// Closes the progress window, if one is open.
void close_progress();

enum chooser_mode : int { CHOOSE_OPEN = 0, CHOOSE_SAVE = 1, CHOOSE_FOLDER = 2 };

enum chooser_result : int {
    CHOOSER_OK = 0,       // *path holds the answer
    CHOOSER_CANCEL = 1,   // the user cancelled
    CHOOSER_FAILED = 2,   // the tool failed; *detail says how
    CHOOSER_NO_TOOL = 3,  // neither zenity nor kdialog is on PATH
};

// Runs the chooser and waits for it, keeping the window's event queue drained meanwhile.
// start_folder opens the dialog there when that folder exists; default_name is the save name.
chooser_result choose_path(chooser_mode mode, const std::string& prompt, const std::string& start_folder,
                           const std::string& default_name, std::string* path, std::string* detail);

// Opens the URL in the user's browser, detached; returns at once and fails silently.
void open_url(const std::string& url);

}
