#pragma once
// old_layout: byte offsets of the old aircraft record (versions 700 and 740), 647,096 bytes behind the
// binary header. Used by the reader, the 700-to-740 upgrade and the conversion to the current records.
// Invariant: every field named here lies inside the record; arrays end where the static_asserts say.
//
// Most per-component data is kept as parallel arrays, one array per quantity:
//   - engine arrays: 8 words; engine tables: 10 words per engine;
//   - slot arrays: 73 words (SLOT_PITCH bytes), one per part slot (0-55 as in the current numbering, 56-66
//     bodies, 67-72 the six gear) or, for the wing quantities, one per old wing (0-43);
//   - wing element tables: 10 words per old wing; wing station tables: 11 floats per old wing;
//   - door arrays: 10 words; attachment arrays: 24 words.
// Texts are byte regions; everything else is 32-bit words (signed integers or single floats).

#include "aircraft/old_record.h"

#include <cstddef>

namespace old_acf {

constexpr size_t RECORD_BYTES = 647096;

constexpr int OLD_ENGINES = 8;
constexpr int OLD_WINGS = 44;
constexpr int OLD_SLOTS = 73;
constexpr int OLD_DOORS = 10;
constexpr int OLD_ATTACHMENTS = 24;
constexpr int OLD_GEAR = 6;
constexpr int FIRST_GEAR_SLOT = 67;
constexpr size_t SLOT_PITCH = 4 * OLD_SLOTS;

// Texts: the tail number, two notes, a third short note, airfoil names and attachment names.
constexpr size_t TAIL_NUM = 1004;
constexpr size_t TAIL_NUM_CHARS = 36;
constexpr size_t NOTE_TEXT1 = 1044;
constexpr size_t NOTE_TEXT2 = 1544;
constexpr size_t OLD_NOTE_CHARS = 496;
constexpr size_t NOTE_TEXT3 = 646098;
constexpr size_t NOTE_TEXT3_CHARS = 40;
// The third note lies inside a word region at no word boundary: the words it touches keep their bytes.
constexpr size_t NOTE_TEXT3_WORDS = NOTE_TEXT3 / 4 * 4;
constexpr size_t NOTE_TEXT3_WORDS_BYTES = (NOTE_TEXT3 + NOTE_TEXT3_CHARS + 3) / 4 * 4 - NOTE_TEXT3_WORDS;
constexpr size_t AIRFOIL_NAMES = 11244;  // four tables of 73 entries: 36 text bytes, then one word
constexpr size_t AIRFOIL_TABLE_PITCH = 2920;
constexpr size_t AIRFOIL_ENTRY = 40;
constexpr size_t AIRFOIL_CHARS = 36;
constexpr size_t AIRFOIL_ENTRIES = 292;
constexpr size_t ATTACHMENT_NAMES = 625700;  // 24 entries: 496 text bytes, then one word
constexpr size_t ATTACHMENT_ENTRY = 500;
constexpr size_t ATTACHMENT_CHARS = 496;
constexpr size_t WING_BYTES = 647016;  // one byte per old wing; a byte region, not words

// Aircraft-wide values.
constexpr size_t HELO_FLAG = 2044;
constexpr size_t CTL1_VAL = 2048;
constexpr size_t CTL2_VAL = 2052;
constexpr size_t MIN1_A = 2056;
constexpr size_t VNE = 2072;
constexpr size_t LEGACY_VALUE = 2228;  // moved to LEGACY_TABLE by the repairs
constexpr size_t LEGACY_MODE = 2276;   // renumbered by the 700 upgrade
constexpr size_t NUM_ENGN = 9508;
constexpr size_t NUM_PROP = 9512;
constexpr size_t THROT_MAX = 9516;
constexpr size_t THROT_REV_MAX = 9520;
constexpr size_t REV_ON = 9544;
constexpr size_t POWER_MAX = 9576;
constexpr size_t MP_MAX = 9584;
constexpr size_t RPM_IDLE = 9592;
constexpr size_t RPM_MAX = 9596;
constexpr size_t RPM_PROP = 9612;
constexpr size_t THRUST_JET = 9636;
constexpr size_t COMP_AREA = 9648;
constexpr size_t THRUST_RKT_A = 9660;
constexpr size_t THRUST_RKT_B = 9664;
constexpr size_t THRUST_RKT_C = 9668;
constexpr size_t UNIT_COUNT = 624332;
constexpr size_t WRUD_ARM = 624392;
constexpr size_t WRUD_AREA = 624396;
constexpr size_t CG_ARM = 625216;
constexpr size_t WEIGHT_EMPTY = 625228;
constexpr size_t FUEL_MAX = 625232;
constexpr size_t WEIGHT_MAX = 625240;
constexpr size_t NUM_TANKS = 625260;
constexpr size_t TANK_RATIO = 625264;
constexpr size_t TANK_XYZ = 625276;  // coordinate by coordinate: 12 c + 4 t
constexpr size_t THRU_CUT = 625524;
constexpr size_t GEAR_TURN = 638012;      // degrees the aircraft stands turned on its gear
constexpr size_t GEAR_SELECTED = 638016;  // a part slot number
constexpr size_t CUS_AUTO = 645216;
constexpr size_t LEGACY_TABLE = 640984;  // eight floats

// The panel: in 740, four 300-entry arrays; in 700, four 200-entry arrays.
constexpr size_t PANEL = 2308;
constexpr int PANEL_740 = 300;
constexpr int PANEL_700 = 200;
constexpr size_t PANEL_LISTS_LOW = 7108;     // the first 12 of the 14 panel lists
constexpr size_t PANEL_LISTS_HIGH = 640308;  // the last 2
constexpr int PANEL_LISTS_LOW_COUNT = 12;

// Engine arrays and tables.
constexpr size_t ENGN_TYPE = 9680;
constexpr size_t PROP_TYPE = 9712;
constexpr size_t PITCH_FINE = 10000;
constexpr size_t PITCH_COARSE = 10032;
constexpr size_t EL_ANG_DEG = 10608;  // 40 bytes per engine

// Slot arrays by part slot, and by old wing.
constexpr size_t PART_PRESENT = 10952;
constexpr size_t WING_ELS = 22924;
constexpr size_t PART_X = 23216;
constexpr size_t PART_Y = 23508;
constexpr size_t PART_Z = 23800;
constexpr size_t WING_ROOT_CHORD = 24092;
constexpr size_t WING_TIP_CHORD = 24384;
constexpr size_t WING_SEMILEN = 24676;
constexpr size_t PART_SIZE = 24968;
constexpr size_t WING_IS_LEFT = 25260;
constexpr size_t WING_SPAN_ANG_DEG = 25552;
constexpr size_t WING_AC_SHIFT = 25844;
constexpr size_t WING_SPAN_SHIFT_ON = 26136;
constexpr size_t WING_SPAN_SHIFT = 26428;

// Wing element tables, in the order ctl0, ctl1 .. ctl12, ctl_aux; then the station tables.
constexpr size_t WING_ELEMENT_TABLES = 26720;
constexpr size_t WING_ELEMENT_TABLE = 40 * OLD_WINGS;
constexpr int WING_ELEMENT_TABLE_COUNT = 14;
constexpr size_t CHORD_FRAC = WING_ELEMENT_TABLES + WING_ELEMENT_TABLE_COUNT * WING_ELEMENT_TABLE;
constexpr size_t EL_FAC = CHORD_FRAC + 44 * OLD_WINGS;
constexpr size_t STATION_TABLES_END = EL_FAC + 44 * OLD_WINGS;

// Cross-section grids of every slot: 20 stations of 18 points, x, y and z in three tables.
constexpr size_t GRID_X = 302236;
constexpr size_t GRID_Y = 407356;
constexpr size_t GRID_Z = 512476;
constexpr size_t GRID_SLOT = 1440;
constexpr size_t GRID_STATION = OLD_GRID_STATION;

// Gear slot arrays (gear j at slot 67 + j). Designed angles and leg length, and their working copies.
constexpr size_t GEAR_TYPE = 617596;
constexpr size_t GEAR_ANG_A0 = 617888;
constexpr size_t GEAR_ANG_B0 = 618180;
constexpr size_t GEAR_LEG_LEN = 618472;
constexpr size_t GEAR_COMPRESSION = 618764;  // leg compression ratio; read only by the 700 upgrade
constexpr size_t GEAR_LEG_ADD = 619056;
constexpr size_t GEAR_LEG_SHRINK = 619348;
constexpr size_t GEAR_ANG_A = 619640;
constexpr size_t GEAR_ANG_B = 619932;
constexpr size_t GEAR_LEG_WORK = 620224;  // working leg length; the current gear has none
constexpr size_t GEAR_EXT = 622852;
constexpr size_t GEAR_REF_OK = 623728;
constexpr size_t GEAR_RESET = 638996;  // cleared by the 700 upgrade; the current gear has no counterpart

// Doors: four corner points of three floats each, 48 bytes a door; then the door arrays.
constexpr size_t DOOR_CORNERS = 624572;
constexpr size_t DOOR_CORNER_PITCH = 48;
constexpr size_t DOOR_TYPE = 625052;
constexpr size_t DOOR_ANGLE = 625092;

// Attachment arrays: values 0-2, then values 3-7 behind the gear turn and selection.
constexpr size_t ATTACHMENT_VALUES_LOW = 637700;
constexpr size_t ATTACHMENT_VALUES_HIGH = 638020;
constexpr size_t ATTACHMENT_ARRAY = 4 * OLD_ATTACHMENTS;
constexpr int ATTACHMENT_VALUES_LOW_COUNT = 3;

static_assert(WING_SPAN_SHIFT + SLOT_PITCH == WING_ELEMENT_TABLES);
static_assert(STATION_TABLES_END <= GRID_X);
static_assert(GRID_Z + OLD_SLOTS * GRID_SLOT == GEAR_TYPE);
static_assert(DOOR_CORNERS + OLD_DOORS * DOOR_CORNER_PITCH == DOOR_TYPE);
static_assert(DOOR_ANGLE + 4 * OLD_DOORS <= CG_ARM);
static_assert(ATTACHMENT_VALUES_LOW + ATTACHMENT_VALUES_LOW_COUNT * ATTACHMENT_ARRAY <= GEAR_TURN);
static_assert(ATTACHMENT_VALUES_HIGH + 5 * ATTACHMENT_ARRAY <= GEAR_RESET);
static_assert(PANEL_LISTS_LOW + PANEL_LISTS_LOW_COUNT * 200 == NUM_ENGN);
static_assert(WING_BYTES + OLD_WINGS <= RECORD_BYTES);

}  // namespace old_acf
