// The release builder's walk over the reference tree and its file rules.
#include <cstdlib>
#include <cstring>

#include "core/alert.h"
#include "core/globals.h"
#include "core/listing.h"
#include "core/mnw.h"
#include "core/paths.h"
#include "core/xmap.h"
#include "core/zip.h"
#include "gfx/draw2d.h"
#include "gfx/text.h"
#include "gfx/viewport.h"
#include "installer/builder.h"
#include "installer/install_tree.h"
#include "platform/events.h"

std::string sim_name = "Veltrix 8.50 Beta 8";
std::string old_dir_path = "/VOLUMES/Internal/directory85007.txt";
std::string src_fold = "/VOLUMES/Internal/Veltrix Suite Reference/";
std::string dst_fold_base = "/VOLUMES/Internal/-DVD uploads-/";
std::string dst_fold;
int reg = 0;

std::string ALL_str = "All", APL_str = "Macintosh", WIN_str = "Windows", X86_str = "Linux Generic x86",
            ITL_str = "Linux Pentium 3", AMD_str = "Linux Athlon XP";
std::string erth_build_name[region_count] = {sim_name, "South America", "USA",       "Canada",    "Europe", "Africa",
                                             "Asia",   "Australia",     "West Mars", "East Mars", "Moon"};

std::string str_all_fold, str_apl_fold, str_win_fold, str_X86_fold, str_ITL_fold, str_AMD_fold, str_bundle,
    str_afl_fold, str_acf_fold, str_pfc_fold, str_ins_fold, str_out_fold, str_wpn_fold, str_res_fold, str_cus_fold,
    str_plug, str_terrain, str_orbt, str_erth, str_mars, str_moon, str_men_file, str_tex_file, str_mars_env;
int found_all_fold, found_apl_fold, found_win_fold, found_X86_fold, found_ITL_fold, found_AMD_fold, found_bundle,
    found_afl_fold, found_acf_fold, found_ins_fold, found_out_fold, found_wpn_fold, found_res_fold, found_cus_fold,
    found_plug, found_terrain, found_men_file, found_tex_file;

std::vector<std::string> files;
std::set<std::string> paths;
int num_files_rec = 0;
int num_files_use = 0;
int num_files_com = 0;

namespace {

constexpr int max_folder_entries = 2998;
constexpr int status_every_walked = 400;
constexpr int status_colour = 12;
constexpr int status_charset = 101;  // fixed-width
constexpr float status_no_wrap = 9999;

// The folders the All folder may hold.
const char* const all_folder_entries[] = {"Aircraft/",     "Airfoils/",  "Instructions/", "Output/",
                                          "PFC Aircraft/", "Resources/", "Weapons/",      "Custom Scenery/"};

// Never published, wherever they appear below the tree's root.
const char* const refused_parts[] = {
    "Thumbs.db", "work.", "._", ".DS_Store", ".sandboxinfo", ".xSYM", "serverlist.txt", "Veltrix Pilot.txt"};
const char* const refused_endings[] = {".ovw", ".ac", ".prf", ".fms", ".sit", ".mov"};

// Terrain files that a network release carries; every other terrain file is disc-only.
const char* const network_terrain_stems[] = {
    "dry_cityhill_irr",      "hiland_crp_irr",      "hiland_crp_sq",       "hiland_crphill_irr",
    "hiland_crphill_sq",     "hiland_crptwn_irr",   "hiland_crptwn_sq",    "north2_city_irr_twn",
    "north_crp_irr",         "north_crp_sq",        "north_crphill_irr",   "north_crphill_sq",
    "north_crptwn_sq",       "semidry_crphill_irr", "semidry_crphill_sq",  "semidry_crptwnhill_irr",
    "semidry_crptwnhill_sq", "temp_crp_sq",         "temp_crphill_irr",    "temp_crphill_sq",
    "trop_crp_irr",          "trop_crp_sq",         "trop_crphill_irr",    "trop_crphill_sq",
    "trop_crptwn_irr",       "trop_crptwn_sq",      "trop_crptwnhill_irr", "trop_crptwnhill_sq"};
const char* const network_lit_textures[] = {
    "hiland_crphill", "north_crp_irr", "north_crptwnhill", "temp_crp_sq",    "temp_crphill",      "dry_crp_irr2",
    "dry_crphill2",   "dry_crphill",   "dry_crptwnhill",   "hiland_crp_irr", "hiland_crptwn_irr", "north_crp_sq2",
    "temp_crp_irr2",  "temp_crp_sq2",  "temp_crphill2",    "trop_crp",       "north_crp_irr2"};

bool holds(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

bool ends_with(const std::string& text, const char* ending)
{
    const size_t n = std::strlen(ending);
    return text.size() >= n && text.compare(text.size() - n, n, ending) == 0;
}

bool starts_with(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// The name rules look only at the path below the tree's root, so the folder
// the tree itself lives in can be named anything.
std::string below_root(const std::string& path)
{
    return starts_with(path, src_fold) ? path.substr(src_fold.size()) : path;
}

void fatal(const std::string& l1, const std::string& l2, const std::string& l3, const std::string& l4, int line)
{
    __MACIBM_alert(0, l1, l2, l3, l4, ALERT_FATAL, __FILE__, line);
}

void idiot(const std::string& text, const std::string& path, int line)
{
    fatal("YOU IDIOT!", text, path, "", line);
}

bool has_control_character(const std::string& text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

// Checks the name rules of one entry (p is its full path, folders end in '/').
void check_entry_name(const std::string& p, const std::string& name)
{
    const std::string rel = below_root(p);
    std::string bare = name;
    if (!bare.empty() && bare.back() == '/')
        bare.pop_back();
    if (!bare.empty() && bare.back() == ' ')
        fatal("YOU IDIOT!", "You tried to include a file or directory with a space at the end!",
              "Other operating systems will not accept a name that ends in a space!", p, __LINE__);
    if (holds(rel, ":"))
        idiot("found a  : in the path!", p, __LINE__);
    if (holds(rel, "\\"))
        idiot("found a \\ in the path!", p, __LINE__);
    // The listing is line-based: a CR, LF, TAB or NUL in a name would forge records.
    if (has_control_character(rel))
        idiot("found a control character in the path!", p, __LINE__);
}

void note_folder_flag(const std::string& p)
{
    const struct {
        const std::string* path;
        int* flag;
    } named[] = {{&str_all_fold, &found_all_fold}, {&str_apl_fold, &found_apl_fold}, {&str_win_fold, &found_win_fold},
                 {&str_X86_fold, &found_X86_fold}, {&str_ITL_fold, &found_ITL_fold}, {&str_AMD_fold, &found_AMD_fold},
                 {&str_bundle, &found_bundle},     {&str_afl_fold, &found_afl_fold}, {&str_acf_fold, &found_acf_fold},
                 {&str_ins_fold, &found_ins_fold}, {&str_out_fold, &found_out_fold}, {&str_wpn_fold, &found_wpn_fold},
                 {&str_res_fold, &found_res_fold}, {&str_cus_fold, &found_cus_fold}, {&str_plug, &found_plug},
                 {&str_terrain, &found_terrain}};
    for (const auto& entry : named)
        if (p == *entry.path)
            *entry.flag = 1;
}

void add_output_folders(const std::string& p)
{
    for (const std::string& folder : enclosing_folders(dst_fold + sim_name + "/" + below_root(p)))
        if (folder.size() > dst_fold_base.size())
            paths.insert(folder.substr(0, folder.size() - 1));
}

void check_link(const std::string& p)
{
    std::string target;
    if (!is_sim_link(p.c_str(), &target))
        return;
    // The installer refuses a link that leaves the install folder; such a release
    // could never be installed, so it is stopped here.
    std::string inside = below_root(p);
    const size_t slash = inside.find('/');
    inside = slash == std::string::npos ? inside : inside.substr(slash + 1);
    if (!zip_link_target_is_safe(inside, target))
        idiot("found a link that leads out of the install!", p, __LINE__);
}

}  // namespace

void set_builder_paths()
{
    const std::string all = src_fold + ALL_str + "/";
    str_all_fold = all;
    str_apl_fold = src_fold + APL_str + "/";
    str_win_fold = src_fold + WIN_str + "/";
    str_X86_fold = src_fold + X86_str + "/";
    str_ITL_fold = src_fold + ITL_str + "/";
    str_AMD_fold = src_fold + AMD_str + "/";
    str_bundle = str_apl_fold + "OS-X Joystick.bundle/";
    str_afl_fold = all + "Airfoils/";
    str_acf_fold = all + "Aircraft/";
    str_pfc_fold = all + "PFC Aircraft/";
    str_ins_fold = all + "Instructions/";
    str_out_fold = all + "Output/";
    str_wpn_fold = all + "Weapons/";
    str_res_fold = all + "Resources/";
    str_cus_fold = all + "Custom Scenery/";
    str_plug = all + "Resources/plugins/";
    str_terrain = all + "Resources/default scenery/820 world terrain/";
    str_orbt = all + "Resources/bitmaps/Earth Orbit Textures/";
    str_erth = all + "Resources/default scenery/DSF 820 Earth/";
    str_mars = all + "Resources/default scenery/DSF 830 Mars/";
    str_moon = all + "Resources/default scenery/DSF 830 Moon/";
    str_men_file = all + "Resources/menus/English/Veltrix.txt";
    str_tex_file = all + "Resources/text/English/Veltrix.txt";
    str_mars_env = all + "Resources/Mars nav data/";
}

void builder_status(const std::string& line1, const std::string& line2)
{
    if (mnw.window[0] == nullptr)
        return;
    OGL_fillrect(0, 1, 0, 0, 1024, 30);
    OGL_string(status_colour, 10, 17, line1, status_no_wrap, status_charset);
    OGL_string(status_colour, 10, 7, line2, status_no_wrap, status_charset);
    OGL_sbuf();
    plat::event_record event;
    if (plat::poll_event(&event) && (event.what == plat::EVENT_KEY_DOWN || event.what == plat::EVENT_AUTO_KEY) &&
        (event.message & 0xff) == 'q')
        __MACIBM_alert(0, "You hit Q dumbass!", "", "", "", ALERT_FATAL, __FILE__, __LINE__);
}

void pref_level(std::string folder)
{
    wrk_path = folder;
    const int count = opensave_getitems(0);
    if (count > max_folder_entries)
        fatal("This folder holds too many files!", "I can list only 2998 of them.", folder, "", __LINE__);

    // The listing tables are shared with the recursion below, so this folder's
    // entries are taken out of them first.
    std::vector<std::string> names(g_file, g_file + count);
    std::vector<std::string> entry_paths(g_path_rel, g_path_rel + count);
    std::vector<int> types(g_file_type, g_file_type + count);

    for (int i = 0; i < count; ++i) {
        const std::string& p = entry_paths[i];
        const bool is_folder = types[i] == LIST_FOLDER;
        const std::string name = is_folder ? names[i] + "/" : names[i];
        check_entry_name(p, name);

        if (is_folder) {
            note_folder_flag(p);
            if (folder == str_all_fold) {
                bool allowed = false;
                for (const char* entry : all_folder_entries)
                    allowed = allowed || name == entry;
                if (!allowed)
                    fatal("What the hell is THIS doing in here!?!?!?", entry_paths[i], p, name, __LINE__);
            }
            pref_level(p);
            continue;
        }

        if (p == str_men_file)
            found_men_file = 1;
        if (p == str_tex_file)
            found_tex_file = 1;
        const std::string rel = below_root(p);
        if (holds(rel, "copy"))
            idiot("found a copy file!", p, __LINE__);
        if (holds(rel, ".cpp"))
            idiot("found a .cpp file!", p, __LINE__);
        if (holds(rel, ".CPP"))
            idiot("found a .CPP file!", p, __LINE__);
        if (holds(rel, "All") && holds(rel, "bundle"))
            idiot("found my joybund!", p, __LINE__);
        if (folder == str_all_fold)
            idiot("I FOUND A FILE INSIDE THE 'ALL' FOLDER! WE SHOULD ONLY HAVE FOLDERS THERE!", p, __LINE__);
        check_link(p);

        ++num_files_rec;
        if (is_good_file(p, 0, 1)) {
            ++num_files_use;
            files.push_back(p);
            add_output_folders(p);
        }
        if (num_files_rec % status_every_walked == 0)
            builder_status("reg: " + std::to_string(reg) + ": total files recursed: " + std::to_string(num_files_rec) +
                               ". will compress: " + std::to_string(num_files_use) + ".",
                           p);
    }
}

int is_good_file(std::string path, int a, int b)
{
    if (a == 0 && b != 0 && !is_sim_link(path.c_str(), nullptr)) {
        xmap_class reader(path);
        if (reader.base == nullptr)
            return 0;
    }
    const std::string rel = below_root(path);
    for (const char* part : refused_parts)
        if (holds(rel, part))
            return 0;
    for (const char* ending : refused_endings)
        if (ends_with(path, ending))
            return 0;
    if (starts_with(path, str_mars_env) && ends_with(path, ".env"))
        return 0;
    if (starts_with(path, str_terrain) && path_is_dvd_only(path))
        return (is_dvd && reg == 0) ? 1 : 0;
    if (starts_with(path, str_pfc_fold))
        return 0;

    const bool in_earth = starts_with(path, str_erth);
    const bool in_mars = starts_with(path, str_mars);
    const bool in_moon = starts_with(path, str_moon);
    const bool dsf = ends_with(path, ".dsf") && (in_earth || in_mars || in_moon);
    if (!is_dvd)
        return (dsf || starts_with(path, str_orbt)) ? 0 : 1;
    if (reg == 0)
        return dsf ? 0 : 1;
    if (reg >= 1 && reg <= 7)
        return (dsf && in_earth && want_reg(path)) ? 1 : 0;
    if (reg == 8 || reg == 9)
        return (dsf && in_mars && want_reg(path)) ? 1 : 0;
    if (reg == 10)
        return (dsf && in_moon && want_reg(path)) ? 1 : 0;
    fatal("I can not tell what type of install this is!", "", "", "", __LINE__);
    return 0;
}

int path_is_dvd_only(std::string path)
{
    static const std::set<std::string> network_files = [] {
        std::set<std::string> names;
        for (const char* stem : network_terrain_stems)
            for (int n = 1; n <= 4; ++n)
                names.insert(std::string("terrain/") + stem + std::to_string(n) + ".ter");
        for (const char* name : network_lit_textures)
            names.insert(std::string("textures/human/") + name + "_LIT.png");
        return names;
    }();
    const std::string rest = starts_with(path, str_terrain) ? path.substr(str_terrain.size()) : path;
    return network_files.count(rest) ? 0 : 1;
}

int want_reg(std::string path)
{
    const std::string name = leaf_of(path);
    const int lat = int(std::strtol(name.substr(0, 3).c_str(), nullptr, 10));
    if (lat < -60 || lat > 60)
        fatal("Out of range lat!", path, name, "", __LINE__);
    const int lon = name.size() > 3 ? int(std::strtol(name.substr(3, 4).c_str(), nullptr, 10)) : 0;
    if (lon < -180 || lon > 180)
        fatal("Out of range lon!", path, name, "", __LINE__);

    const bool west = lon >= -180 && lon <= -21;
    const bool middle = lon >= -20 && lon <= 45;
    switch (reg) {
        case 0:
            return 0;
        case 1:
            return west && lat <= 23;
        case 2:
            return west && lat >= 24 && lat <= 48;
        case 3:
            return west && lat >= 49;
        case 4:
            return middle && lat <= 35;
        case 5:
            return middle && lat >= 36;
        case 6:
            return lon >= 46 && lon <= 100;
        case 7:
            return lon >= 101 && lon <= 179;
        case 8:
            return lon < 0;
        case 9:
            return lon >= 0;
        case 10:
            return 1;
        default:
            fatal("Asking for a region i have not defined!", "", "", "", __LINE__);
            return 0;
    }
}
