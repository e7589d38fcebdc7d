// The system's own chooser and boxes. Texts are passed whole: nothing here cuts at 255 bytes.
#include "shell/native_dialogs.h"

#include <cstring>
#include <string>

#include "core/alert.h"
#include "core/globals.h"
#include "platform/dialogs.h"

int GetFilePathFromUser(int mode, const char* prompt, const char* button_label, int pref_key, const char* start_folder,
                        char* path)
{
    // The chooser cannot label its button or remember a place by key; both are dropped.
    (void)button_label;
    (void)pref_key;
    if (mode < plat::CHOOSE_OPEN || mode > plat::CHOOSE_FOLDER || !path)
        return 0;
    std::string default_name = mode == plat::CHOOSE_SAVE ? std::string(path) : std::string();
    std::string answer, detail;
    plat::chooser_result r = plat::choose_path(static_cast<plat::chooser_mode>(mode), prompt ? prompt : "",
                                               start_folder ? start_folder : "", default_name, &answer, &detail);
    switch (r) {
        case plat::CHOOSER_OK:
            break;
        case plat::CHOOSER_CANCEL:
            return 0;
        case plat::CHOOSER_NO_TOOL:
            xer << "No folder chooser found (zenity, kdialog).\n";
            xer.flush();
            // Without a word the button would seem to do nothing at all.
            __MACIBM_alert(0, "I cannot open a window to choose a folder: neither zenity nor kdialog is installed.",
                           "Please install the package zenity (on Debian: apt-get install zenity) and try again.",
                           "You can also name the folder on the command line: -path followed by the folder.", "",
                           ALERT_MESSAGE, __FILE__, __LINE__);
            return 0;
        case plat::CHOOSER_FAILED:
            xer << "Folder chooser failed: " << detail << "\n";
            xer.flush();
            return 0;
    }
    // A cut path would name another folder, so an answer that does not fit is refused whole.
    if (answer.size() > static_cast<size_t>(CHOOSER_PATH_CAPACITY)) {
        xer << "Folder chooser answer of " << answer.size() << " bytes refused; at most " << CHOOSER_PATH_CAPACITY
            << " fit.\n";
        xer.flush();
        return 0;
    }
    std::memcpy(path, answer.c_str(), answer.size() + 1);
    return 1;
}

void DoUserAlert(const char* text)
{
    plat::message_box_request r;
    r.kind = plat::MESSAGE_BOX_STOP;
    r.message = text ? text : "";
    plat::show_message_box(r);
}

int ConfirmMessage(const char* message, const char* ok_label, const char* cancel_label)
{
    plat::message_box_request r;
    r.kind = plat::MESSAGE_BOX_CAUTION;
    r.message = message ? message : "";
    r.ok_label = ok_label ? ok_label : "";
    r.cancel_label = cancel_label ? cancel_label : "";
    return plat::show_message_box(r) == plat::MESSAGE_BOX_DEFAULT ? 1 : 0;
}

void ShowProgressMessage(const char* text, float* fraction)
{
    plat::show_progress(text ? text : "", fraction);
}

void EndianFlipShort(int16_t* value)
{
    uint16_t v = static_cast<uint16_t>(*value);
    *value = static_cast<int16_t>((v >> 8) | (v << 8));
}

void EndianFlipLong(int32_t* value)
{
    uint32_t v = static_cast<uint32_t>(*value);
    *value = static_cast<int32_t>((v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24));
}
