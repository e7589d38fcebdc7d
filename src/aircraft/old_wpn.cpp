// Old weapon files: one 13,880-byte record behind the binary header, converted into one wpn_class entry of
// an aircraft with the part that describes the weapon's body.
//
// Record layout (byte offsets; 32-bit words, floats unless said):
//   0, 4          two weapon values               -> head_values
//   12, 16, 20    body position                   -> body x, y, z
//   24-52         eight weapon values             -> values_a
//   56-68         four weapon values              -> values_b, 68 first, then 56, 60, 64
//   72            body size                       -> body size
//   76            one weapon value                -> value_c
//   80-191        seven arrays of 4, 16 bytes apart -> per_name_tables (entry k belongs to name k)
//   192-223       four pairs                      -> per_name_pairs
//   224-379       text: four names 40 bytes apart; the last has 36 bytes, 380-383 being a word
//   384, 408      two groups of six values        -> tail_groups
//   9,556         the body value after its texture -> body tex_scale
//   9,560, 11,000, 12,440  x, y and z of the body grid, 20 stations of 18 points (72 bytes a station)
#include "aircraft/old_files.h"
#include "aircraft/old_record.h"
#include "aircraft/veh.h"

#include "core/alert.h"
#include "core/paths.h"

#include <algorithm>

unsigned char old_wpn[OLD_WPN_BYTES];

namespace {

constexpr const char* OLD_WPN_SOURCE = "aircraft/old_wpn";

constexpr size_t HEAD_VALUES = 0;
constexpr size_t BODY_XYZ = 12;
constexpr size_t VALUES_A = 24;
constexpr size_t VALUES_B[4] = {68, 56, 60, 64};
constexpr size_t BODY_SIZE = 72;
constexpr size_t VALUE_C = 76;
constexpr size_t PER_NAME_TABLES = 80;
constexpr size_t PER_NAME_TABLE = 16;
constexpr size_t PER_NAME_PAIRS = 192;
constexpr size_t NAMES = 224;
constexpr size_t NAME_PITCH = 40;
constexpr size_t NAMES_END = 380;
constexpr size_t TAIL_GROUPS = 384;
constexpr size_t TAIL_GROUP = 24;
constexpr size_t BODY_TEX_SCALE = 9556;
constexpr size_t GRID_X = 9560;
constexpr size_t GRID_Y = 11000;
constexpr size_t GRID_Z = 12440;
static_assert(GRID_Z + GRID_STATIONS * OLD_GRID_STATION == OLD_WPN_BYTES);

constexpr byte_run WPN_TEXT_RUNS[] = {{NAMES, NAMES_END - NAMES, 1, 0}};

constexpr int BODY_STATIONS = 12;
// The body's place on the weapon texture, both copies: s1, t1, s2, t2.
constexpr tex_rects<2> BODY_TEX = {{0.0f, 0.0f}, {0.5f, 0.0f}, {0.5078125f, 0.5078125f}, {1.0f, 0.5f}};

bool weapon_index_valid(int v, int w, const char* caller)
{
    if (!aircraft_index_valid(v, caller))
        return false;
    if (w >= 0 && w < WEAPON_COUNT)
        return true;
    __MACIBM_alert(0, "Bad weapon index!", caller, std::to_string(w), "", ALERT_FATAL, OLD_WPN_SOURCE, __LINE__);
    return false;
}

}  // namespace

void OLD_IO_wpn(xmap_class* reader, int v, int w)
{
    if (!weapon_index_valid(v, w, "OLD_IO_wpn"))
        return;
    if (!take_record(reader, old_wpn, OLD_WPN_BYTES, "Invalid OLD_IO_wpn read!", OLD_WPN_SOURCE, __LINE__))
        return;
    if (file_words_reversed(*reader))
        wpn_OBO_to_LBO();
    wpn_001_to_800(v, w);
}

void wpn_OBO_to_LBO()
{
    reverse_words_outside(old_wpn, OLD_WPN_BYTES, WPN_TEXT_RUNS);
}

void wpn_001_to_800(int v, int w)
{
    if (!weapon_index_valid(v, w, "wpn_001_to_800"))
        return;
    wpn_class& weapon = veh[size_t(v)].wpn[size_t(w)];
    veh_part_class& body = weapon.body;

    take_words(weapon.head_values, old_wpn, HEAD_VALUES);
    take_words(body.x, old_wpn, BODY_XYZ);
    take_words(body.y, old_wpn, BODY_XYZ + 4);
    take_words(body.z, old_wpn, BODY_XYZ + 8);
    take_words(weapon.values_a, old_wpn, VALUES_A);
    for (size_t k = 0; k < 4; ++k)
        take_words(weapon.values_b[k], old_wpn, VALUES_B[k]);
    take_words(body.size, old_wpn, BODY_SIZE);
    take_words(weapon.value_c, old_wpn, VALUE_C);

    for (size_t k = 0; k < 4; ++k) {
        const size_t name = NAMES + k * NAME_PITCH;
        const std::string text = old_text(old_wpn, name, std::min(NAME_PITCH, NAMES_END - name));
        copy_bounded_str(weapon.names[k], NAME_CHARS, text.c_str());
        for (size_t a = 0; a < 7; ++a)
            take_words(weapon.per_name_tables[a][k], old_wpn, PER_NAME_TABLES + a * PER_NAME_TABLE + 4 * k);
        take_words(weapon.per_name_pairs[k], old_wpn, PER_NAME_PAIRS + 8 * k);
    }
    take_words(weapon.tail_groups[0], old_wpn, TAIL_GROUPS);
    take_words(weapon.tail_groups[1], old_wpn, TAIL_GROUPS + TAIL_GROUP);
    take_words(body.tex_scale, old_wpn, BODY_TEX_SCALE);

    body.station_count = BODY_STATIONS;
    body.point_count = GRID_POINTS;
    take_grid(body, old_wpn, GRID_X, GRID_Y, GRID_Z);
    body.tex = BODY_TEX;
}
