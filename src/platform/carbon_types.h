#pragma once
// Stand-ins for the few file-system and event types that the original
// interfaces used by name. On Linux a file reference is simply an absolute
// path; names are bytes and are never shortened.

#include <cstdint>
#include <string>

using OSErr = int;

// Result codes of the file services, as the original reported them.
constexpr OSErr noErr = 0;
constexpr OSErr dirFulErr = -33;
constexpr OSErr dskFulErr = -34;
constexpr OSErr ioErr = -36;
constexpr OSErr bdNamErr = -37;
constexpr OSErr fnfErr = -43;
constexpr OSErr wPrErr = -44;
constexpr OSErr dupFNErr = -48;
constexpr OSErr paramErr = -50;
constexpr OSErr memFullErr = -108;
constexpr OSErr dirNFErr = -120;
constexpr OSErr afpAccessDenied = -5000;

// A reference to an existing file or folder: its absolute path.
struct FSRef {
    std::string path;
};

// The older file reference form: volume, parent folder and leaf name.
// `parent` is the absolute path of the folder, kept so the reference can be
// rebuilt exactly.
struct FSSpec {
    int32_t vRefNum = 0;
    int64_t parID = 0;
    std::string parent;
    std::string name;
};

// A leaf name of at most 255 UTF-16 units, one unit per byte here.
struct HFSUniStr255 {
    uint16_t length = 0;
    uint16_t unicode[255] = {};
};

struct Point {
    int16_t v = 0;
    int16_t h = 0;
};

struct EventRecord {
    uint16_t what = 0;
    uint32_t message = 0;
    uint32_t when = 0;
    Point where;
    uint16_t modifiers = 0;
};
