// Preference files. The format:
//
//   "A" LF
//   "8500 version" LF
//   *( tag SP value LF )
//
// A tag ends at the first blank; the value is the rest of the line after the blanks that
// follow the tag (so leading blanks of a value are lost, trailing ones kept). A tag that
// occurs twice keeps its later value. Ints are written "%d", floats "%f"; both are written
// and read without regard to the process locale, so a comma locale cannot break the file.
#include "core/prefs.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>

#include "core/clock.h"
#include "core/globals.h"
#include "core/header.h"
#include "core/hooks.h"
#include "core/mnw.h"
#include "core/paths.h"
#include "core/stg.h"
#include "core/xmap.h"

pref_class pref;

namespace {

constexpr int PREF_VERSION = 8500;
constexpr const char* SCREEN_PREFS_PATH = "Resources:preferences:Res Veltrix Suite.prf";
constexpr const char* INSTALLER_PREFS_FALLBACK = "Resources:preferences:Set Veltrix.prf";
constexpr const char* INSTALLER_PREFS_LEAF = "Veltrix Installer.prf";
constexpr const char* STATE_PREFS_PATH = "Resources:preferences:Veltrix.prf";

// Screen requests outside these ranges fall back to the smallest screen the program draws.
constexpr int MIN_WIDTH = 1024;
constexpr int MIN_HEIGHT = 768;
constexpr int MAX_SCREEN_SIDE = 9999;
constexpr int LANGUAGE_KOREAN = 6;
constexpr int LANGUAGE_ENGLISH = 0;

// Where the proxy settings live in a program without the HTTP client's fields.
std::string own_proxy_host;
std::string own_proxy_port_text;
int own_proxy_port_number = 0;

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// atoi's reading (blanks, a sign, digits, stop at the first other byte; 0 for text), but
// saturating where atoi would be undefined.
int read_int(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && is_space(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    value = negative ? -value : value;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

// atof's reading narrowed to float, in the C locale whatever the process locale is.
float read_float(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && is_space(text[i]))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    double value = 0.0;
    auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small reads as zero, too large as infinity, as atof has it.
        size_t exponent = text.find_first_of("eE", i);
        bool tiny = exponent != std::string::npos && exponent + 1 < text.size() && text[exponent + 1] == '-';
        float magnitude = tiny ? 0.0f : HUGE_VALF;
        return negative ? -magnitude : magnitude;
    }
    if (result.ec != std::errc())
        return 0.0f;
    // Beyond float's range the conversion itself would be undefined.
    if (value > FLT_MAX)
        return HUGE_VALF;
    if (value < -FLT_MAX)
        return -HUGE_VALF;
    return static_cast<float>(value);
}

std::string write_float(float value)
{
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof(buffer), static_cast<double>(value), std::chars_format::fixed, 6);
    if (result.ec != std::errc())
        return "0.000000";
    return std::string(buffer, result.ptr);
}

bool holds_line_break(const std::string& value)
{
    return value.find_first_of(std::string("\n\r\0", 3)) != std::string::npos;
}

void exchange_screen_set(scan_class& scan)
{
    (void)scan.int_io(&mnw._x_res_req, "_x_res_req");
    (void)scan.int_io(&mnw._y_res_req, "_y_res_req");
    (void)scan.int_io(&mnw._col_res_req, "_col_res_req");
    (void)scan.int_io(&mnw._set_res, "_set_res");
    (void)scan.int_io(&mnw._lang, "_lang");
    (void)scan.int_io(&mnw._alias_req, "_alias_req");
    (void)scan.int_io(&mnw._keylist_up, "_keylist_up");
    (void)scan.int_io(&mnw._sec_mon_inuse, "_sec_mon_inuse");
    (void)scan.int_io(&mnw._prefs_found, "_prefs_found");
    (void)scan.flt_io(&xtim._prd_FM, "_prd_FM");
    (void)scan.flt_io(&xtim._prd_UI, "_prd_UI");
}

void exchange_installer_set(scan_class& scan)
{
    auto proxy_fields = core_get_hooks().proxy_fields;
    const pref_proxy_fields proxy = proxy_fields
        ? proxy_fields()
        : pref_proxy_fields{&own_proxy_host, &own_proxy_port_text, &own_proxy_port_number};
    // A tag the file lacks leaves its field alone, so the caller's defaults survive a read.
    (void)scan.int_io(&stg._download_os, "_download_os");
    (void)scan.int_io(&stg._use_max_cpu, "_use_max_cpu");
    (void)scan.int_io(&stg._rename_folder, "_rename_folder");
    (void)scan.int_io(&stg._stream_count, "_stream_count");
    (void)scan.int_io(&stg._log_actions, "_log_actions");
    (void)scan.int_io(&stg._always_ask_dir, "_always_ask_dir");
    (void)scan.str_io(&dest_dir_path, "_dest_dir_path");
    (void)scan.str_io(proxy.host, "_proxy_host");
    (void)scan.str_io(proxy.port_text, "_proxy_port");
    (void)scan.int_io(proxy.port_number, "_proxy_port_int");
}

void correct_screen_ranges()
{
    if (mnw._x_res_req < MIN_WIDTH || mnw._x_res_req > MAX_SCREEN_SIDE)
        mnw._x_res_req = MIN_WIDTH;
    if (mnw._y_res_req < MIN_HEIGHT || mnw._y_res_req > MAX_SCREEN_SIDE)
        mnw._y_res_req = MIN_HEIGHT;
    if (mnw._lang == LANGUAGE_KOREAN)
        mnw._lang = LANGUAGE_ENGLISH;
}

}

scan_class::scan_class(const std::string& path, int scan_mode) : mode(scan_mode)
{
    if (mode == PREF_WRITE) {
        // A file that cannot be created has shown its alert; the lines then go nowhere.
        (void)ouf_open(path, FILE_TYPE_TEXT, PREF_VERSION, no_copyright_notice);
        return;
    }
    tags.clear();
    xmap_class reader(path);
    int versions[] = {PREF_VERSION, 0};
    if (!reader.check_file(FILE_TYPE_TEXT, versions, nullptr, nullptr))
        return;
    while (reader.cur < reader.end) {
        const char* before = reader.cur;
        std::string tag;
        reader.TXT_str_scan_space(&tag);
        std::string value;
        // An empty tag (a blank line or a line of blanks) still moves past its line.
        reader.TXT_str_scan_eoln(tag.empty() ? nullptr : &value);
        if (!tag.empty())
            tags[tag] = value;
        if (reader.cur == before)
            break;
    }
}

scan_class::~scan_class()
{
    if (mode == PREF_WRITE)
        ouf.close();  // a failed close sets the failbit
    tags.clear();
}

bool scan_class::int_io(int* value, const std::string& tag)
{
    if (mode == PREF_WRITE) {
        ouf << tag << " " << std::to_string(*value) << "\n";
        return false;
    }
    auto found = tags.find(tag);
    if (found == tags.end())
        return false;
    *value = read_int(found->second);
    return true;
}

bool scan_class::flt_io(float* value, const std::string& tag)
{
    if (mode == PREF_WRITE) {
        ouf << tag << " " << write_float(*value) << "\n";
        return false;
    }
    auto found = tags.find(tag);
    if (found == tags.end())
        return false;
    *value = read_float(found->second);
    return true;
}

bool scan_class::str_io(std::string* value, const std::string& tag)
{
    if (mode == PREF_WRITE) {
        if (value->empty())
            return false;
        if (holds_line_break(*value)) {
            xer << "Preference " << tag << " not saved: its value holds a line break\n";
            return false;
        }
        ouf << tag << " " << *value << "\n";
        return false;
    }
    auto found = tags.find(tag);
    if (found == tags.end())
        return false;
    *value = found->second;
    return true;
}

void pref_class::IO_set(int which, int mode)
{
    // Only sets 10 and 11 have files; any other number must not rewrite the installer's file.
    if (which != PREF_SET_SCREEN && which != PREF_SET_INSTALLER)
        return;
    std::string path;
    if (which == PREF_SET_SCREEN) {
        path = SCREEN_PREFS_PATH;
    } else {
        path = INSTALLER_PREFS_FALLBACK;
        get_OS_abs_path(OS_FOLDER_PREFERENCES, path);
        path += INSTALLER_PREFS_LEAF;
    }

    scan_class scan(path, mode);
    if (which == PREF_SET_SCREEN) {
        exchange_screen_set(scan);
        correct_screen_ranges();
    } else {
        exchange_installer_set(scan);
    }
}

bool pref_class::IO_sta(int which, int mode, std::string path)
{
    if (which == PREF_SET_STATE)
        path = STATE_PREFS_PATH;
    xmap_class reader("");
    int versions[] = {PREF_VERSION, 0};
    if (!reader.io_file_open(mode, path, versions, FILE_TYPE_BINARY))
        return false;
    reader.io_file_close();
    return true;
}
