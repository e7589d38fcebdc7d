#pragma once
// The installer's settings and run state: one plain global record `stg`, the
// download scheduler `next`, and the installer's global strings. Everything here
// is touched on the main thread only.
#include <string>

// Values of stg.dir_state.
enum {
    DIR_STATE_NONE = 0,       // no listing yet
    DIR_STATE_EXTRACTED = 1,  // "directory.txt" sits in the temporary folder, to be read
    DIR_STATE_REJECTED = 2,   // the listing's header was rejected
    DIR_STATE_READ = 3        // listing read; sim_info and the totals are ready
};

// Values of stg.install_phase.
enum { INSTALL_IDLE = 0, INSTALL_RUNNING = 1, INSTALL_FINISHED = 2 };

// Values of stg.file_action.
enum { ACTION_DELETE = 0, ACTION_DOWNLOAD = 1, ACTION_DUPLICATE = 2, ACTION_NOT_WANTED = 3 };

// Values of stg._download_os, and of a listing record's platform, which adds the two that
// stand for several systems.
enum { OS_MACINTOSH = 1, OS_WINDOWS = 2, OS_LINUX_GENERIC = 3, OS_LINUX_P3 = 4, OS_LINUX_ATHLON = 5 };
enum { PLATFORM_EVERY = 0, PLATFORM_EVERY_LINUX = 6 };

constexpr int max_servers = 10;  // servers read from the server list
constexpr int max_streams = 4;   // simultaneous downloads

// A plain record without behaviour; zero-filled at program start, then
// set_stg_defaults() writes the defaults before the preferences are read.
struct stg_class {
    int dir_state;        // directory-listing state (DIR_STATE_*)
    int dest_is_install;  // 1 when the destination already holds an install
    int _download_os;     // platform whose files are wanted (OS_*)
    int _log_actions;     // 1 = one log line per file action of the engine
    int install_phase;    // INSTALL_*
    int download_failed;  // 1 while another server is tried after a failed download
    int install_error;    // 1 when an archive failed to extract
    int server_count;     // -1 list not read yet, 0 none, 1 to 10
    int server_index;     // server in use, 0 to server_count - 1
    int file_action;      // ACTION_* for the engine's current file
    float file_fraction;  // 0 to 1 received of the file being downloaded
    int _use_max_cpu;     // 1 = the frame loop polls events without sleeping
    int _rename_folder;   // 1 = the install folder takes the release name after an update
    int _stream_count;    // 0 = automatic; 1 to 4 = fixed
    int _always_ask_dir;  // 1 = offer the folder chooser at every start
    float down_kb;        // kilobytes to download (zipped sizes)
    float disk_kb;        // kilobytes the fetched files take on disk
};

extern stg_class stg;

// The install folder as an absolute path ending in '/'.
extern std::string dest_dir_path;

// The run-state and preference defaults that `main` writes before the preference
// file is read. dest_is_install and _log_actions keep their zero start.
void set_stg_defaults();

// After the preference file is read: a negative or oversized stream count would
// stop the engine early, so it is brought into 0..4.
void clamp_stg_preferences();

// The download scheduler.
struct next_class {
    int next_file;                 // index in sim_info of the next history to hand out
    int all_done;                  // 1 once every history has been handled
    int slot_active[max_streams];  // stream s is running
    int slot_wants[max_streams];   // stream s wants a new file
    int slot_file[max_streams];    // index in sim_info that stream s works on
    float install_start;           // clock seconds when the install began
    float kb_in_flight;            // kilobytes received of the downloads in progress
    float kb_done_zip;             // zipped kilobytes of the finished downloads
    float kb_done_unzip;           // unzipped kilobytes of the finished downloads

    next_class();
    ~next_class();
};

extern next_class next;

// The installer's global strings.
extern std::string temp_path;     // temporary-items folder, ending in '/'
extern std::string install_name;  // release name from the server list
extern std::string server_name[max_servers];
extern std::string server_path[max_servers];
extern std::string server_desc[max_servers];
extern std::string crnt_file_name;  // name of the file the engine works on
extern std::string crnt_file_path;  // path of the file the engine works on
