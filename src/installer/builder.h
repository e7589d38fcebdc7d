#pragma once
// The release builder: walks a reference tree sorted into platform folders,
// zips every accepted file into its own archive and writes the directory
// listing (installer/listing.h) with the version history of every file.
// No screen of the installer reaches it; apps/release-builder runs it.
#include <map>
#include <set>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Configuration
// ---------------------------------------------------------------------------
extern std::string sim_name;       // release name; replaced by the region's name when a build starts
extern std::string old_dir_path;   // the previous release's listing; empty starts without history
extern std::string src_fold;       // root of the reference tree, ending in '/'
extern std::string dst_fold_base;  // root of the output, ending in '/'
extern std::string dst_fold;       // output folder of this build (set by sub_install)
extern int reg;                    // region of the build, 0-10

extern std::string ALL_str, APL_str, WIN_str, X86_str, ITL_str, AMD_str;
constexpr int region_count = 11;
extern std::string erth_build_name[region_count];

// Build number that this builder writes into every new record.
constexpr int builder_version = 85008;

// Named entries of the reference tree (full paths) and the found flags the walk sets.
extern std::string str_all_fold, str_apl_fold, str_win_fold, str_X86_fold, str_ITL_fold, str_AMD_fold, str_bundle,
    str_afl_fold, str_acf_fold, str_pfc_fold, str_ins_fold, str_out_fold, str_wpn_fold, str_res_fold, str_cus_fold,
    str_plug, str_terrain, str_orbt, str_erth, str_mars, str_moon, str_men_file, str_tex_file, str_mars_env;
extern int found_all_fold, found_apl_fold, found_win_fold, found_X86_fold, found_ITL_fold, found_AMD_fold, found_bundle,
    found_afl_fold, found_acf_fold, found_ins_fold, found_out_fold, found_wpn_fold, found_res_fold, found_cus_fold,
    found_plug, found_terrain, found_men_file, found_tex_file;

// Recomputes the str_* paths from src_fold and the platform folder names.
void set_builder_paths();

// ---------------------------------------------------------------------------
// Walk results
// ---------------------------------------------------------------------------
extern std::vector<std::string> files;  // full paths to publish, in walk order
extern std::set<std::string> paths;     // output folders to create
extern int num_files_rec;               // files visited
extern int num_files_use;               // files accepted
extern int num_files_com;               // files compressed

// ---------------------------------------------------------------------------
// The walk and its file rules
// ---------------------------------------------------------------------------
void pref_level(std::string folder);
int is_good_file(std::string path, int a, int b);
int path_is_dvd_only(std::string path);
int want_reg(std::string path);

// ---------------------------------------------------------------------------
// Listing and archives
// ---------------------------------------------------------------------------
struct no_case_compare_string {
    bool operator()(const std::string& a, const std::string& b) const;
};
extern std::map<std::string, int, no_case_compare_string> sim_info_index;
extern std::string prev_dir;
extern float zip_size_ins;  // zipped size of the release, 10^9 bytes

void build_install();
void sub_install();
void comp_file(std::string file);
void chop_platform(std::string& path, int platform);

// Draws the builder's status strip and polls one event ('q' stops the build);
// without a window there is nothing to draw or poll.
void builder_status(const std::string& line1, const std::string& line2);
