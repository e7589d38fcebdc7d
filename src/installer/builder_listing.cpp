// The release builder's listing and archives: sub_install writes one release.
#include <strings.h>
#include <sys/stat.h>

#include "core/alert.h"
#include "core/errors.h"
#include "core/globals.h"
#include "core/header.h"
#include "core/md5.h"
#include "core/paths.h"
#include "core/zip.h"
#include "installer/builder.h"
#include "installer/install_tree.h"
#include "installer/listing.h"

std::map<std::string, int, no_case_compare_string> sim_info_index;
std::string prev_dir;
float zip_size_ins = 0;

namespace {

constexpr const char* listing_name = "directory.txt";
constexpr int version_file_version = 820;
constexpr float disc_capacity_gb = 7.7f;
constexpr int status_every_compressed = 10;

// Statics of comp_file: sizes in whole kilobytes and the signature of the last file.
int zip_size = 0;
int ext_size = 0;
std::string sig;

void fatal(const std::string& l1, const std::string& l2, const std::string& l3, const std::string& l4, int line)
{
    __MACIBM_alert(0, l1, l2, l3, l4, ALERT_FATAL, __FILE__, line);
}

std::string release_folder()
{
    return dst_fold + sim_name + "/";
}

// A folder of the output that stands already is fine (a build run again); one that cannot be
// made would lose every archive meant for it, so the build stops there, naming it.
void make_output_folder(const std::string& folder)
{
    const int error = make_folder(folder);
    if (show_make_dir_err(error))
        fatal("I could not make a folder of the release!", folder, "Error: " + error_str(error), "", __LINE__);
}

// Whole kilobytes of 1000 bytes, truncated; a missing file is 0.
int whole_kb(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return 0;
    return int(double(st.st_size) * 0.001);
}

void write_record(const file_version_struct& v, const std::string& name)
{
    ouf << "FILE " << v.kind << " " << v.platform << " " << v.version << " " << int(v.zip_kb) << " " << int(v.unzip_kb)
        << " " << v.sig_want << " " << name << "\n";
}

void write_folder_record(const std::string& folder)
{
    if (folder == prev_dir)
        return;
    prev_dir = folder;
    ouf << "\nDIR " << folder << "\n";
}

int platform_of(const std::string& rel, const std::string& folder)
{
    const std::string top = rel.substr(0, rel.find('/'));
    const std::string* names[] = {&ALL_str, &APL_str, &WIN_str, &X86_str, &ITL_str, &AMD_str};
    for (int i = 0; i < 6; ++i)
        if (top == *names[i])
            return i;
    fatal("WHAT THE FUCK? I CAN'T TELL WHAT TYPE OF FILE THIS IS!", folder, top, "", __LINE__);
    return 0;
}

// Plug-in libraries in the All folder belong to one platform each; later entries win.
int plugin_platform(const std::string& rel, int platform)
{
    static const struct {
        const char* path;
        int platform;
    } plugins[] = {{"All/Resources/plugins/KVEM.shlb", 1},
                   {"All/Resources/plugins/KVWidgets.shlb", 1},
                   {"All/Resources/plugins/KVEM.framework/KVEM", 1},
                   {"All/Resources/plugins/KVWidgets.framework/KVWidgets", 1},
                   {"All/Resources/plugins/KVEM.dll", 2},
                   {"All/Resources/plugins/KVWidgets.dll", 2},
                   {"All/Resources/plugins/KVEM.so", 6},
                   {"All/Resources/plugins/KVWidgets.so", 6},
                   {"All/Resources/plugins/PluginAdminMac.kvz", 1},
                   {"All/Resources/plugins/PluginAdminWin.kvz", 2},
                   {"All/Resources/plugins/PluginAdminLin.kvz", 6}};
    if (rel.compare(0, 22, "All/Resources/plugins/") != 0)
        return platform;
    for (const auto& plugin : plugins)
        if (rel.find(plugin.path) != std::string::npos)
            platform = plugin.platform;
    return platform;
}

struct required_entry {
    const int* flag;
    const std::string* path;
    const char* line;
};

void check_required_entries()
{
    const required_entry platform_folders[] = {{&found_all_fold, &str_all_fold, "!found_all_fold\t\t\t\t"},
                                               {&found_apl_fold, &str_apl_fold, "!found_apl_fold\t\t\t\t"},
                                               {&found_win_fold, &str_win_fold, "!found_win_fold\t\t\t\t"},
                                               {&found_X86_fold, &str_X86_fold, "!found_X86_fold\t\t\t\t"},
                                               {&found_ITL_fold, &str_ITL_fold, "!found_ITL_fold\t\t\t\t"},
                                               {&found_AMD_fold, &str_AMD_fold, "!found_AMD_fold\t\t\t\t"}};
    for (const auto& e : platform_folders)
        if (!*e.flag)
            fatal("YOU IDIOT!", e.line, *e.path, "", __LINE__);
    if (found_bundle)
        fatal("YOU IDIOT!", "WE DO NOT USE BUNDLE ANY MORE!", str_bundle, "", __LINE__);
    const required_entry folders[] = {{&found_afl_fold, &str_afl_fold, "!found_afl_fold\t\t\t\t"},
                                      {&found_acf_fold, &str_acf_fold, "!found_acf_fold\t\t\t\t"},
                                      {&found_ins_fold, &str_ins_fold, "!found_ins_fold\t\t\t\t"},
                                      {&found_out_fold, &str_out_fold, "!found_out_fold\t\t\t\t"},
                                      {&found_wpn_fold, &str_wpn_fold, "!found_wpn_fold\t\t\t\t"},
                                      {&found_res_fold, &str_res_fold, "!found_res_fold\t\t\t\t"},
                                      {&found_cus_fold, &str_cus_fold, "!found_cus_fold\t\t\t\t"},
                                      {&found_plug, &str_plug, "!found_plug\t\t\t\t\t"},
                                      {&found_terrain, &str_terrain, "!found_terran\t\t\t\t\t"},
                                      {&found_men_file, &str_men_file, "!found_men_file\t\t\t\t"},
                                      {&found_tex_file, &str_tex_file, "!found_tex_file\t\t\t\t"}};
    for (const auto& e : folders)
        if (!*e.flag)
            fatal("YOU IDIOT!", e.line, *e.path, "", __LINE__);
}

void load_history()
{
    if (is_dvd)
        old_dir_path.clear();
    // Without a previous listing (a first release) the build starts without history.
    if (old_dir_path.empty())
        return;
    // Only the history is wanted: the installer's disk examination would sign the listed paths
    // below whatever folder the builder happens to run in.
    if (parse_directory(old_dir_path, "Scanning old directory text file to get change log!") != LISTING_READ)
        fatal("I can not read the old directory text file!", "Its header is not one I know.", old_dir_path, "",
              __LINE__);

    for (size_t i = 0; i < sim_info.size(); ++i) {
        file_history_struct& history = sim_info[i];
        std::string key = history.front().path;
        chop_platform(key, history.front().platform);
        if (!sim_info_index.emplace(key, int(i)).second)
            fatal("WARNING: you appear to have a file TWICE in an old directory file.", "", "", history.front().path,
                  __LINE__);
        history.front().download = 1;
        for (const file_version_struct& v : history)
            if (v.version == builder_version)
                fatal("You idiot! I already have a version:", "version_number", "in file ", v.path, __LINE__);
    }
}

void write_removals()
{
    for (file_history_struct& history : sim_info) {
        if (!history.front().download)
            continue;
        const std::string& listed = history.front().path;
        if (!is_good_file(src_fold + listed, 0, 0))
            continue;
        const std::string folder = folder_of(listed);
        const std::string name = listed.substr(folder.size());
        write_folder_record(folder);
        for (const file_version_struct& v : history)
            write_record(v, name);
        const file_version_struct& last = history.back();
        if (last.sig_want != SIG_GONE)
            ouf << "FILE " << last.kind << " " << last.platform << " " << builder_version << " 0 0 " << SIG_GONE << " "
                << name << "\n";
    }
}

}  // namespace

bool no_case_compare_string::operator()(const std::string& a, const std::string& b) const
{
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

void chop_platform(std::string& path, int platform)
{
    const size_t slash = path.find('/');
    if (slash == std::string::npos) {
        fatal("Could not find the dir char!", path, "", "", __LINE__);
        return;
    }
    static const char* const tags[] = {"ALL_os", "APL_os", "IBM_os", "LINX86_os", "LINITL_os", "LINAMD_os"};
    path = (platform >= 0 && platform <= 5 ? tags[platform] : "") + path.substr(slash);
}

void comp_file(std::string file)
{
    const std::string rel = file.compare(0, src_fold.size(), src_fold) == 0 ? file.substr(src_fold.size()) : file;
    const std::string zip = release_folder() + rel + ".zip";
    const std::string folder = folder_of(rel);
    const std::string name = rel.substr(folder.size());

    const int error = file_to_zip(file, zip);
    if (error != 0)
        fatal("I could not zip a file!", error_str(error), file, zip, __LINE__);

    zip_size = whole_kb(zip);
    zip_size_ins += float(zip_size) * 0.001f * 0.001f;
    ext_size = whole_kb(file);
    if (calc_file_md5(file, sig) != 0)
        __MACIBM_alert(0, "Could not MD5 file!", file, "", "", ALERT_MESSAGE, __FILE__, __LINE__);

    write_folder_record(folder);
    const int platform = plugin_platform(rel, platform_of(rel, folder));

    std::string key = rel;
    chop_platform(key, platform);
    const auto found = sim_info_index.find(key);
    if (found != sim_info_index.end()) {
        file_history_struct& history = sim_info[found->second];
        for (const file_version_struct& v : history) {
            if (v.sig_want == sig || v.sig_want == SIG_GONE)
                continue;
            if (name.empty())
                fatal("0-size filename!", "Now how am I supposed to deal with this?", "This is in the OLD file list.",
                      name, __LINE__);
            write_record(v, name);
        }
        history.front().download = 0;
    }

    if (name.empty())
        fatal("0-size filename!", "Now how am I supposed to deal with this?", "This is in the NEW file loop", name,
              __LINE__);
    ouf << "FILE " << install_type << " " << platform << " " << builder_version << " " << zip_size << " " << ext_size
        << " " << sig << " " << name << "\n";

    ++num_files_com;
    if (num_files_com % status_every_compressed == 0)
        builder_status("reg: " + std::to_string(reg) + ": total files to compress: " + std::to_string(num_files_use) +
                           ". now doing: " + std::to_string(num_files_com) + ".",
                       file);
}

void sub_install()
{
    sim_name = erth_build_name[reg];
    dst_fold = dst_fold_base + "MY CONTAINER FOR " + sim_name + "/";
    set_builder_paths();
    zip_size_ins = 0;
    num_files_rec = num_files_use = num_files_com = 0;
    prev_dir = "---";
    paths.clear();
    files.clear();
    sim_info.clear();
    sim_info_index.clear();

    load_history();

    const std::string release = release_folder();
    make_output_folder(dst_fold);
    make_output_folder(release);

    const std::string listing = release + listing_name;
    if (!ouf_open(listing, LISTING_TYPE, LISTING_VERSION, no_copyright_notice)) {
        fatal("I could not write the directory text file!", listing, "", "", __LINE__);
        return;
    }
    ouf << LISTING_KEYWORD << "\n\n";

    pref_level(src_fold);
    check_required_entries();
    for (const std::string& folder : paths)
        make_output_folder(folder);
    for (const std::string& file : files)
        comp_file(file);
    write_removals();
    ouf.close();
    if (!ouf)
        fatal("I could not write the directory text file!", listing, "", "", __LINE__);

    if (ouf_open(dst_fold + "dvd_version.txt", FILE_TYPE_TEXT, version_file_version, no_copyright_notice)) {
        ouf << "DVD\n\n"
            << "VERSION " << sim_name << "\n";
        ouf.close();
    }

    const int zipped = file_to_zip(listing, listing + ".zip");
    if (zipped != 0)
        fatal("zip!=0", "", listing, listing + ".zip", __LINE__);
    if (delete_file(listing) != 0)
        fatal("del!=0", "", "", listing, __LINE__);

    if (zip_size_ins > disc_capacity_gb)
        __MACIBM_alert(0,
                       "You ain't gettin' this on a dvd! The GB in the get info window is wrong! It is 1024x1024x1024!",
                       "That's how they do hard drives, but not dvds! You need to read the bytes, not GB, to see how "
                       "big this thing really is!",
                       "The disc duplicator takes only 7.95 GB, and the installers still need room on the disc!",
                       release, ALERT_MESSAGE, __FILE__, __LINE__);
}

void build_install()
{
    sub_install();
    __MACIBM_alert(0, "OK compression is done. Checklist:",
                   "Copy the version string and build number into serverlist.txt and upload it to the web site.",
                   "Upload the -NET uploads- folder stuff.",
                   "Extract directory.txt.zip to the next previous directory file for use next time.", ALERT_MESSAGE,
                   __FILE__, __LINE__);
}
