#pragma once
// old_files: aircraft files of versions 700 and 740 and old weapon files. Each holds one fixed-size record
// behind the shared binary header, written on a big-endian machine with its own structure layout; the
// readers copy it into a conversion buffer, bring its words into this machine's order and convert it field
// by field into the current records.
// Callers check the header first (xmap_class::check_file, binary) and size veh and flt beyond the index they
// convert into; a record shorter than its size is a fatal alert, and nothing is copied or converted.

#include "core/xmap.h"

#include <cstddef>
#include <string>

constexpr size_t OLD_VEH_BYTES = 647096;
constexpr size_t OLD_WPN_BYTES = 13880;

// The conversion buffers: the last record read, in this machine's byte order once read.
extern unsigned char old_veh[OLD_VEH_BYTES];
extern unsigned char old_wpn[OLD_WPN_BYTES];

// True when the reader's file stores its words in the other byte order than this machine: `swap` is 1 for
// a file marked 'i' (little-endian words) and 0 for one marked 'a' (big-endian), whatever the machine.
bool file_words_reversed(const xmap_class& reader);

// Copies `count` bytes at the cursor to `destination` and moves the cursor past them, reversing every
// 4-byte group when the file's order differs. Past the end: the fatal alert "Invalid ACF read!".
void read_n_rev(xmap_class* reader, void* destination, long count);

// Reads one old aircraft record at the cursor and converts it into entry `index` of veh, which the caller
// has cleared. `version` is the header's: 700 is upgraded first, any other is taken as 740.
void OLD_IO_acf(xmap_class* reader, std::string path, int index, int version);
void veh_OBO_to_LBO();
void veh_700_to_740();
void veh_740_to_800(int index);

// Height of a gear's contact point: the leg, shortened by its compression ratio, hangs from its attachment
// at `attach_y`, leaning by `ang_a_deg` sideways and `ang_b_deg` fore and aft, and the aircraft stands turned
// by `turn_deg` about its lateral axis.
float gear_contact_height(float attach_y, float leg_len, float compression, float ang_a_deg, float ang_b_deg,
                          float turn_deg);

// Panel instrument ids: old numbering to the intermediate one, and the intermediate one to the current one.
// -1 and every id outside a map's range give -1.
int i7x_to_8x(int id);
int i8x_to_i830(int id);
void OLD_ins_to_830(int index);

// Reads the rest of the file as one old weapon record and converts it into weapon `w` of entry `v` of veh.
// A rest shorter than the record is the fatal alert "Invalid OLD_IO_wpn read!"; a longer one gives its first
// OLD_WPN_BYTES bytes.
void OLD_IO_wpn(xmap_class* reader, int v, int w);
void wpn_OBO_to_LBO();
void wpn_001_to_800(int v, int w);
