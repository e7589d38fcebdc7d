// hooks: the calls the core makes into the libraries above it: the shell's alert box, application
// folder, shut-down and start-up screen, the graphics layer's image loads and the HTTP client's proxy
// settings. The program's main (and each test fixture) fills one table from the <layer>_fill_core_hooks
// functions and sets it with core_set_hooks, on the main thread, before anything runs.
// Adding a call is one member line. Invariant: a null member means the core's default, named beside it.
#pragma once

#include <string>
#include <vector>

#include "core/prefs.h"

struct core_hooks {
    // Shows an alert (__MACIBM_alert); null: alert_default, to stderr and the log.
    void (*alert)(int window, const std::string& l1, const std::string& l2, const std::string& l3,
                  const std::string& l4, int type, const char* file, int line) = nullptr;
    // The application's folder (MACIBM_app_path); null: app_path_default, the executable's folder.
    void (*app_path)(std::string* out, int* flag) = nullptr;
    // The shut-down sequence (MACIBM_finishup); null: finishup_default, which closes the log.
    void (*finishup)(int write_prefs) = nullptr;
    // The start-up progress screen (MACIBM_show_init); null: nothing is shown.
    void (*show_init)(const std::string& message, float* fraction) = nullptr;
    // Where the installer preference set keeps the proxy settings; null: storage of its own.
    pref_proxy_fields (*proxy_fields)() = nullptr;
    // Loads the image of a scenery library's REGION_BITMAP line, one byte per pixel, bottom (southern)
    // row first, width x height bytes; 1, or 0 when nothing could be read. Null: every region bitmap is
    // refused as unreadable.
    int (*region_bitmap)(const std::string& path, int* width, int* height,
                         std::vector<unsigned char>* pixels) = nullptr;

    bool operator==(const core_hooks&) const = default;
};

void core_set_hooks(const core_hooks& hooks);
// The table in force. Workers read it while the main thread may set another: a table once set
// stays readable for the rest of the process.
const core_hooks& core_get_hooks();
