// prefs: the preference files, text files of "tag value" lines behind the shared header
// (text, version 8500). `pref` moves a named set of settings between the global records and
// its file with one call, the same tag list serving both directions.
// Callers: the installer (set 11 at start-up and shut-down), the shell (set 10). Main thread
// only; writing goes through the one output stream `ouf`. Reading never reports a missing or
// foreign file: the fields then keep the values the caller gave them.
#pragma once

#include <map>
#include <string>

// Preference sets of IO_set.
enum pref_set : int {
    PREF_SET_SCREEN = 10,     // "Resources:preferences:Res Veltrix Suite.prf": screen and language
    PREF_SET_INSTALLER = 11,  // "Veltrix Installer.prf" in the user's Preferences folder
    PREF_SET_STATE = 12,      // IO_sta's default file
};

// IO_set and scan_class modes.
enum pref_mode : int { PREF_READ = 0, PREF_WRITE = 1 };

// Reads a preference file into a tag map (read mode) or writes its header and lines (write mode).
class scan_class {
public:
    scan_class(const std::string& path, int mode);
    ~scan_class();
    scan_class(const scan_class&) = delete;
    scan_class& operator=(const scan_class&) = delete;

    // Write mode: writes the line and returns false. Read mode: stores the tag's value in
    // *value and returns true, or returns false and leaves *value when the tag is absent.
    bool int_io(int* value, const std::string& tag);
    bool flt_io(float* value, const std::string& tag);
    // An empty string writes no line. A value holding a line break cannot be stored in a line
    // of its own: it is left out of the file (and logged) rather than corrupt the next line.
    bool str_io(std::string* value, const std::string& tag);

    int mode;
    std::map<std::string, std::string> tags;
};

// The proxy settings belong to the HTTP client, a layer above; the core's hook table
// (`proxy_fields`) hands their addresses over. Without it, set 11 keeps them in storage of its own.
struct pref_proxy_fields {
    std::string* host;
    std::string* port_text;
    int* port_number;
};

class pref_class {
public:
    // Reads (PREF_READ) or writes (PREF_WRITE) set 10 or 11; any other set touches no file.
    void IO_set(int which, int mode);
    // Opens `path` (for set 12 the state file) with a binary header of version 8500 and closes it
    // again; no settings are exchanged. True when the open succeeded.
    [[nodiscard]] bool IO_sta(int which, int mode, std::string path);
};

extern pref_class pref;
