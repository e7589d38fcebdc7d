#include "core/header.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/paths.h"

#include <cstdint>

namespace {

constexpr const char* io_module_file = "DEzovuv/Files/io_utils";
constexpr const char* xmap_module_file = "DEzovuv/OOPS_cpp/xmap";
constexpr int bad_ouf_type_line = 974;
constexpr int cannot_save_line = 1018;
constexpr int bad_check_type_line = 12;

}  // namespace

bool ouf_open(std::string path, int type, int version, std::string notice)
{
    if (type != FILE_TYPE_BINARY && type != FILE_TYPE_TEXT)
        __MACIBM_alert(0, "Bad ouf_open type!", path, "", "", ALERT_FATAL, io_module_file, bad_ouf_type_line);

    std::string full = app_path + path;
    if (full.size() > 3) {
        for (size_t i = full.size() - 3; i < full.size(); ++i)
            if (full[i] >= 'A' && full[i] <= 'Z')
                full[i] = static_cast<char>(full[i] - 'A' + 'a');
    }
    std::string normal = full;
    set_dir_chars(normal);

    ouf.clear();
    ouf.close();
    ouf.clear();

    if (type == FILE_TYPE_BINARY) {
        ouf.open(normal, std::ios::out | std::ios::binary | std::ios::trunc);
        uint32_t bits = static_cast<uint32_t>(version);
        char header[5] = {'a', static_cast<char>(bits >> 24), static_cast<char>(bits >> 16),
                          static_cast<char>(bits >> 8), static_cast<char>(bits)};
        ouf.write(header, sizeof header);
    } else {
        ouf.open(normal, std::ios::out | std::ios::trunc);
        ouf.setf(std::ios::fixed, std::ios::floatfield);
        ouf << "A\n" << version << " version";
        if (notice != no_copyright_notice)
            ouf << notice;
        ouf << "\n";
    }

    if (!ouf.good()) {
        __MACIBM_alert(0,
                       "I could not save the file! Could the directory that the file sits in be missing? Or "
                       "flagged as READ-ONLY by the operating system? (Windows machines typically do this).",
                       full,
                       "Could the file be flagged as read-only? This happens in Windows if you copy it from a CD!",
                       "Try putting this stg.in the background and then flag the file as NOT read-only, or creating "
                       "the folder listed in the path above.",
                       ALERT_MESSAGE, io_module_file, cannot_save_line);
        return false;
    }
    return true;
}

int xmap_class::check_file(int type, int* versions, const char* keyword, std::string* rest)
{
    if (type != FILE_TYPE_BINARY && type != FILE_TYPE_TEXT)
        __MACIBM_alert(0, "Bad check_file type!", path, "", "", ALERT_FATAL, xmap_module_file, bad_check_type_line);
    if (base == nullptr || end == base)
        return 0;
    cur = base;

    int version = 0;
    if (type == FILE_TYPE_BINARY) {
        char mark = *cur++;
        if (mark == 'a')
            swap = 0;
        else if (mark == 'i')
            swap = 1;
        else
            return 0;
        if (end - cur >= 4) {
            auto byte = [&](int i) { return static_cast<uint32_t>(static_cast<unsigned char>(cur[i])); };
            uint32_t bits = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
            if (swap)
                bits = (bits & 0xff) << 24 | (bits & 0xff00) << 8 | (bits >> 8 & 0xff00) | bits >> 24;
            version = static_cast<int32_t>(bits);
            cur += 4;
        }
    } else {
        char letter = *cur++;
        TXT_str_scan_eoln(nullptr);  // the rest of line 1
        if (letter != 'A' && letter != 'I')
            return 0;
        version = TXT_int_scan();
        TXT_str_scan_eoln(rest);
    }

    bool listed = false;
    if (versions != nullptr)
        for (int* entry = versions; *entry != 0; ++entry)
            if (*entry == version) {
                listed = true;
                break;
            }
    if (!listed)
        return 0;
    if (keyword == nullptr)
        return version;

    // The keyword must stand as a whole word, ended by a blank or the line's end.
    if (!TXT_str_scan_match(keyword, 1))
        return 0;
    TXT_str_scan_eoln(nullptr);
    return version;
}
