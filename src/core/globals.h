#pragma once
// Program-wide globals and the shared header constants.
//
// Every object here exists from static initialisation until exit and is used
// from the main thread only. Objects whose types belong to higher layers are
// defined with those layers (noted below where the list would name them).

#include <atomic>
#include <cstddef>
#include <fstream>
#include <string>

// ---------------------------------------------------------------------------
// Unit-conversion factors. The first 37 are variables that receive their
// values when the program starts; the last ten are constants.
// ---------------------------------------------------------------------------
inline float kgstolbs = 2.204622f;
inline float mtrstoft = 3.28084f;
inline float watttohp = 0.0013410219f;
inline float radtodeg = 57.295776f;
inline float degtorad = 0.017453294f;
inline float fpstokts = 0.5924838f;
inline float ktstomsc = 0.5144445f;
inline float msctokts = 1.9438444f;
inline float rpmtorsc = 0.104719765f;
inline float rsctorpm = 9.549295f;
inline float fpmtomsc = 0.00508f;
inline float msctofpm = 196.85039f;
inline float nmtomtrs = 1852.0f;
inline float mtrstonm = 0.0005399568f;
inline float smtomtrs = 1609.344f;
inline float mtrstosm = 0.0006213712f;
inline float sftosmtr = 0.09290304f;
inline float smtrtosf = 10.76391f;
inline float lbstontn = 4.4444265f;
inline float ntntolbs = 0.2250009f;
inline float ftlbtonm = 1.3546612f;
inline float nmtoftlb = 0.73819196f;
inline float endtomed = 514.9391f;
inline float medtoend = 0.0019419773f;
inline float enptomep = 47.83941f;
inline float meptoenp = 0.020903269f;
inline float enItomtI = 0.042140123f;
inline float mtltoenl = 23.730354f;
inline float pasto_hg = 0.00029528743f;
inline float hg_topas = 3386.5308f;
inline float milto_hg = 0.029528743f;
inline float hg_tomil = 33.86531f;
inline float sm_to_nm = 0.86897624f;
inline float lbhtokgs = 0.00012599792f;
inline float kgstolbh = 7936.639f;
inline float pastopsi = 0.00014503264f;
inline float scn_vis_ele = 30480.0f;

constexpr float psitopas = 6895.0f;
constexpr float nm_to_sm = 1.1507795f;
constexpr float earth_sl_P_pas = 101325.0f;
constexpr float earth_sl_P_hg = 29.92f;
constexpr float con_g = 9.79828f;
constexpr float ktstofps = 1.6878098f;
constexpr float con_pi = 3.1415927f;
constexpr float hptowatt = 745.7f;
constexpr float fttomtrs = 0.3048f;
constexpr float lbstokgs = 0.4535925f;

// Build and render-state constants.
constexpr int fog_true = 0;
constexpr int fog_fals = 1;
constexpr int lit_true = 2;
constexpr int lit_fals = 3;
constexpr int deR_true = 8;
constexpr int deR_fals = 9;
constexpr int build = 0;
constexpr int is_dvd = 0;
constexpr int install_type = 0;
constexpr int is_net = 1;

// ---------------------------------------------------------------------------
// Standard names
// ---------------------------------------------------------------------------
extern std::string no_install_name;  // "Not Yet Scanned", shown before a release is known
extern std::string ear_path;         // "Resources:Earth nav data:"
extern std::string mar_path;         // "Resources:Mars nav data:"
inline const std::string acf_path = "Aircraft:";
inline const std::string afl_path = "Airfoils:";
inline const std::string wpn_path = "Weapons:";

// ---------------------------------------------------------------------------
// Program-wide objects
// ---------------------------------------------------------------------------
// `stl_input` and `return_hit` live with the window record in core/mnw.h.
extern std::string stl_global;  // scratch string in which alert values are composed

// The last folder listing (core/listing.h fills them).
constexpr int listing_capacity = 3000;
extern std::string g_file[listing_capacity];
extern std::string g_path_rel[listing_capacity];
extern int g_file_type[listing_capacity];

extern std::string app_path;  // put before relative paths; empty at run time
extern std::string dvd_path;  // source folder of a disc install
extern std::string wrk_path;  // folder that the folder listing reads

extern std::ofstream ouf;  // the one data file being written (core/header.h)
extern std::ofstream xer;  // the log "Log.txt", opened by the shell at start-up
extern std::ofstream cyc;  // never opened
extern std::ofstream dat;  // never opened

// The interface text table: texts by number, plus the hover-help line.
class stls_class {
public:
    static constexpr int text_count = 2000;

    stls_class() = default;
    stls_class(const stls_class&) = delete;
    stls_class& operator=(const stls_class&) = delete;

    // A number outside the table reads and writes a spare entry, so a stray
    // number never touches memory outside the table.
    std::string& operator[](int number);

    std::string text[text_count];
    std::string& win_title = text[0];  // title of the current box
    std::string help_line;             // hover help written by the widgets this frame

private:
    std::string spare_;
};
extern stls_class stls;

// Defined by their owners: `menu` (widgets), `mnw` (core/mnw.h), `ren`, `xcam`
// and `tman` (gfx), `stg` and `dest_dir_path` (core/stg.h), `xtim`
// (core/clock.h), `pref` (core/prefs.h).

extern int g_case_sensitive;       // 1 makes every path correct its case against the disk
extern std::atomic<int> app_done;  // quit request that ends the main loop; a worker may set it

extern float randrat[10000];
extern float lookup_sin[361];
extern float lookup_cos[361];

// The pixel scratch buffer: 4 MB of RGBA (1024 x 1024) at a 16-byte boundary.
constexpr size_t scratch_array_bytes = 4194304;
extern unsigned char scratch_array_storage[scratch_array_bytes + 16];
extern unsigned char* scratch_array;
extern int scratch_dx;
extern int scratch_dy;
// Points scratch_array at the first 16-byte-aligned byte of its storage.
void scratch_array_align();

// Number of text files mapped right now (core/xmap.h keeps it balanced).
extern int mapped_files_open;
