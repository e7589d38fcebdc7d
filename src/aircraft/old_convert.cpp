// Conversion of an old aircraft record (740 layout, this machine's byte order, in old_veh) into the current
// records: repairs of implausible old values, the texts, the aircraft-wide values, the panel through the
// instrument id maps, engines, doors, parts, gear, wings and attachments, the values old files lack, and the
// base texture settings. Also the two id maps and copy_foil, which copies airfoil settings between wings.
//
// Old groups with no current counterpart are not carried: the leading words (0-1,003), the words behind
// the tail number and the two notes, the aircraft-wide words of 2,060-2,303 other than vne, the unnamed
// engine words of 9,508-9,679, the slot arrays of 55,232-302,235, the gear's compression ratio, working
// leg length and the word the 700 upgrade clears, the word behind each airfoil and attachment name, and
// the values that only the repairs below touch.
//
// Index
//   [repairs]      repair_old_record
//   [groups]       copy_texts, copy_aircraft_values, copy_panel, copy_engines, copy_doors, copy_parts,
//                  copy_gear, copy_wings, copy_attachments, preset_new_values
//   [id maps]      i7x_to_8x, i8x_to_i830, OLD_ins_to_830
//   [copy_foil]
#include "aircraft/old_files.h"
#include "aircraft/old_layout.h"
#include "aircraft/old_record.h"
#include "aircraft/veh.h"

#include "core/alert.h"
#include "core/paths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

using namespace old_acf;

namespace {

constexpr const char* OLD_CONVERT_SOURCE = "aircraft/old_convert";

// Old wings 28-43 are the wings that repeat along the propulsors, 40-55 now.
constexpr int OLD_WINGS_IN_PLACE = 28;
constexpr int REPEATED_WING_SHIFT = FIRST_REPEATED_WING - OLD_WINGS_IN_PLACE;

// Stations and points in use of the converted parts: a wing part has two stations per element.
constexpr int WING_PART_POINTS = 14;
constexpr int BODY_POINTS = GRID_POINTS;
constexpr int FUSELAGE_STATIONS = 20;
constexpr int OTHER_BODY_STATIONS = 12;

constexpr const char* DEFAULT_AIRFOIL = "NACA 0009 (symmetrical).afl";
constexpr int PRESET_SWITCH_VALUES[PRESET_SWITCHES] = {1, 1, 1, 1, 1, 0, 1, 0, 1, 1};
constexpr float PRESET_VALUE = 30.0f;
constexpr float PRESET_WING_FRAC = 0.25f;
constexpr float LEAST_CHORD = 0.01f;
constexpr float LEAST_LEG = 0.01f;

// Door angles: the old zero pointed a quarter turn away. Beyond a million degrees adding turns one by one
// would take ages, and single precision could not tell the steps apart.
constexpr float DOOR_ANGLE_SHIFT = 90.0f;
constexpr float FULL_TURN = 360.0f;
constexpr float HUGE_ANGLE = 1e6f;

// Every per-element table of a wing, the flag tables in the old record's order.
using element_floats = float[ELEMENT_COUNT];
constexpr size_t WING_FLAG_TABLES = 2 + std::size(WING_CONTROLS);  // ctl0, the controls, ctl_aux
static_assert(WING_FLAG_TABLES == WING_ELEMENT_TABLE_COUNT);
constexpr element_floats veh_wing_class::*ELEMENT_FLOAT_TABLES[] = {&veh_wing_class::el_x, &veh_wing_class::el_y,
                                                                    &veh_wing_class::el_z, &veh_wing_class::el_area,
                                                                    &veh_wing_class::el_mac};

element_flags& wing_flag_table(veh_wing_class& wing, size_t t)
{
    if (t == 0)
        return wing.ctl0;
    if (t == WING_FLAG_TABLES - 1)
        return wing.ctl_aux;
    return wing.*WING_CONTROLS[t - 1];
}

int current_wing(int old_wing)
{
    return old_wing < OLD_WINGS_IN_PLACE ? old_wing : old_wing + REPEATED_WING_SHIFT;
}

size_t slot(int k)
{
    return 4 * size_t(k);
}

float door_angle(float old_angle)
{
    float angle = old_angle + DOOR_ANGLE_SHIFT;
    if (!std::isfinite(angle))
        return 0.0f;
    if (std::fabs(angle) > HUGE_ANGLE)
        angle = std::fmod(angle, FULL_TURN);
    while (angle < 0.0f)
        angle += FULL_TURN;
    while (angle > FULL_TURN)
        angle -= FULL_TURN;
    return angle;
}

// Copies a text of at most `chars` bytes into a character field, cut to the field.
template <size_t N> void copy_old_text(char (&field)[N], size_t offset, size_t chars)
{
    copy_bounded_str(field, N, old_text(old_veh, offset, chars).c_str());
}

// ---------------------------------------------------------------------------
// [repairs]
// ---------------------------------------------------------------------------
struct zero_default {
    size_t offset;
    float value;
};
constexpr zero_default ZERO_DEFAULTS[] = {
    {645196, 5.0f},    {644880, 10.0f},  {9628, 1.0f},     {9652, 1.0f},     {644876, 1.0f},
    {645200, 1.0f},    {640716, 1.0f},   {640720, 1.0f},   {640724, 1.0f},   {645188, 680.0f},
    {645192, 1450.0f}, {645688, 500.0f}, {645692, 245.0f}, {645696, 115.0f},
};

struct low_default {
    size_t offset;
    float below;
    float value;
};
constexpr low_default LOW_DEFAULTS[] = {
    {644540, 0.01f, 9999.0f}, {625428, 0.01f, 9999.0f}, {639972, 0.01f, 9999.0f}, {644536, 0.01f, 9999.0f},
    {624336, 0.1f, 1.0f},     {624288, 0.1f, 1.0f},     {624292, 0.1f, 1.0f},     {624296, 0.1f, 1.0f},
    {624300, 0.1f, 1.0f},     {624304, 0.1f, 1.0f},     {624308, 0.1f, 1.0f},
};

// Six shares that must not all vanish; each keeps a least share.
constexpr size_t SHARES = 639980;
constexpr float SHARES_DEFAULT[6] = {0.5f, 0.5f, 0.25f, 0.25f, 0.25f, 0.25f};
constexpr float SHARES_ALL_BELOW = 0.005f;
constexpr float LEAST_SHARE = 0.001f;

// The tail cone (slot 44) must grow aft from station 12 on.
constexpr int TAIL_CONE_SLOT = 44;
constexpr int TAIL_CONE_FIRST_STATION = 12;
constexpr float TAIL_CONE_STEP = 0.001f;

constexpr float LEGACY_TABLE_FILL = 555.0f;
constexpr size_t AUTOPILOT_OLD_PAIR = 645176;
constexpr size_t AUTOPILOT_OLD_PAIR_SOURCE = 625532;

void repair_old_record()
{
    for (const zero_default& d : ZERO_DEFAULTS)
        if (old_float(old_veh, d.offset) == 0.0f)
            put_old_float(old_veh, d.offset, d.value);

    bool all_below = true;
    for (size_t k = 0; k < 6; ++k)
        all_below = all_below && old_float(old_veh, SHARES + 4 * k) < SHARES_ALL_BELOW;
    for (size_t k = 0; k < 6; ++k) {
        const float share = all_below ? SHARES_DEFAULT[k] : old_float(old_veh, SHARES + 4 * k);
        put_old_float(old_veh, SHARES + 4 * k, at_least(share, LEAST_SHARE));
    }

    for (int s = TAIL_CONE_FIRST_STATION; s < GRID_STATIONS; ++s) {
        for (int p = 0; p < GRID_POINTS; ++p) {
            const size_t at = TAIL_CONE_SLOT * GRID_SLOT + size_t(s) * GRID_STATION + slot(p);
            const size_t before = at - GRID_STATION;
            const float previous_z = old_float(old_veh, GRID_Z + before);
            if (old_float(old_veh, GRID_Z + at) > previous_z)
                continue;
            put_old_float(old_veh, GRID_X + at, old_float(old_veh, GRID_X + before));
            put_old_float(old_veh, GRID_Y + at, old_float(old_veh, GRID_Y + before));
            put_old_float(old_veh, GRID_Z + at, previous_z + TAIL_CONE_STEP);
        }
    }

    if (old_float(old_veh, LEGACY_VALUE) != 0.0f && old_float(old_veh, LEGACY_TABLE) == 0.0f) {
        put_old_float(old_veh, LEGACY_TABLE, old_float(old_veh, LEGACY_VALUE));
        put_old_float(old_veh, LEGACY_VALUE, 0.0f);
        for (size_t k = 1; k < 8; ++k)
            put_old_float(old_veh, LEGACY_TABLE + 4 * k, LEGACY_TABLE_FILL);
    }

    for (const low_default& d : LOW_DEFAULTS)
        if (old_float(old_veh, d.offset) < d.below)
            put_old_float(old_veh, d.offset, d.value);

    if (old_float(old_veh, AUTOPILOT_OLD_PAIR) == 0.0f && old_float(old_veh, AUTOPILOT_OLD_PAIR + 4) == 0.0f) {
        put_old_float(old_veh, AUTOPILOT_OLD_PAIR, old_float(old_veh, AUTOPILOT_OLD_PAIR_SOURCE));
        put_old_float(old_veh, AUTOPILOT_OLD_PAIR + 4, old_float(old_veh, AUTOPILOT_OLD_PAIR_SOURCE + 4));
    }
}

// ---------------------------------------------------------------------------
// [groups]
// ---------------------------------------------------------------------------
void copy_texts(veh_class& v)
{
    copy_old_text(v.design.tail_num, TAIL_NUM, TAIL_NUM_CHARS);
    copy_old_text(v.design.note_text1, NOTE_TEXT1, OLD_NOTE_CHARS);
    copy_old_text(v.design.note_text2, NOTE_TEXT2, OLD_NOTE_CHARS);
    copy_old_text(v.design.note_text3, NOTE_TEXT3, NOTE_TEXT3_CHARS);
    for (int k = 0; k < OLD_WINGS; ++k)
        for (size_t t = 0; t < 4; ++t)
            copy_old_text(v.wing[size_t(current_wing(k))].afl_file[t],
                          AIRFOIL_NAMES + t * AIRFOIL_TABLE_PITCH + size_t(k) * AIRFOIL_ENTRY, AIRFOIL_CHARS);
    for (int a = 0; a < OLD_ATTACHMENTS; ++a)
        copy_old_text(v.att[size_t(a)].name, ATTACHMENT_NAMES + size_t(a) * ATTACHMENT_ENTRY, ATTACHMENT_CHARS);
}

// Entries 3, 9 and 10 of the autopilot constants are not the old file's.
bool autopilot_entry_kept(int k)
{
    return k != 3 && k != 9 && k != 10;
}

void copy_aircraft_values(veh_design_struct& d)
{
    take_words(d.helo_flag, old_veh, HELO_FLAG);
    take_words(d.ctl1_val, old_veh, CTL1_VAL);
    take_words(d.ctl2_val, old_veh, CTL2_VAL);
    take_words(d.min1_a, old_veh, MIN1_A);
    take_words(d.vne, old_veh, VNE);
    take_words(d.num_engn, old_veh, NUM_ENGN);
    take_words(d.num_prop, old_veh, NUM_PROP);
    take_words(d.throt_max, old_veh, THROT_MAX);
    take_words(d.throt_rev_max, old_veh, THROT_REV_MAX);
    take_words(d.rev_on, old_veh, REV_ON);
    take_words(d.power_max, old_veh, POWER_MAX);
    take_words(d.mp_max, old_veh, MP_MAX);
    take_words(d.rpm_idle, old_veh, RPM_IDLE);
    take_words(d.rpm_max, old_veh, RPM_MAX);
    take_words(d.rpm_prop, old_veh, RPM_PROP);
    take_words(d.thrust_jet, old_veh, THRUST_JET);
    take_words(d.comp_area, old_veh, COMP_AREA);
    take_words(d.thrust_rkt_a, old_veh, THRUST_RKT_A);
    take_words(d.thrust_rkt_b, old_veh, THRUST_RKT_B);
    take_words(d.thrust_rkt_c, old_veh, THRUST_RKT_C);
    take_words(d.unit_count, old_veh, UNIT_COUNT);
    d.wrud_arm = -old_float(old_veh, WRUD_ARM);  // the old record measured it the other way
    take_words(d.wrud_area, old_veh, WRUD_AREA);
    take_words(d.cg_arm, old_veh, CG_ARM);
    take_words(d.weight_empty, old_veh, WEIGHT_EMPTY);
    take_words(d.fuel_max, old_veh, FUEL_MAX);
    take_words(d.weight_max, old_veh, WEIGHT_MAX);
    take_words(d.num_tanks, old_veh, NUM_TANKS);
    take_words(d.tank_ratio, old_veh, TANK_RATIO);
    for (int t = 0; t < TANK_COUNT; ++t)
        for (int c = 0; c < 3; ++c)
            d.tank_xyz[t][c] = old_float(old_veh, TANK_XYZ + 12 * size_t(c) + slot(t));
    take_words(d.thru_cut, old_veh, THRU_CUT);
    for (int k = 0; k < 15; ++k)
        if (autopilot_entry_kept(k))
            d.cus_auto[k] = old_float(old_veh, CUS_AUTO + slot(k));
    // A gear number where the old record kept a part slot; wrapping keeps a wild value defined.
    d.gear_selected = int32_t(uint32_t(old_int(old_veh, GEAR_SELECTED)) - uint32_t(FIRST_GEAR_SLOT));
}

void copy_panel(veh_design_struct& d)
{
    for (int k = 0; k < PANEL_SLOTS; ++k)
        d.ins_id[k] = i7x_to_8x(old_int(old_veh, PANEL + slot(k)));
    take_words(d.ins_val1, old_veh, PANEL + 1 * slot(PANEL_740));
    take_words(d.ins_val2, old_veh, PANEL + 2 * slot(PANEL_740));
    take_words(d.ins_val3, old_veh, PANEL + 3 * slot(PANEL_740));
    for (int n = 0; n < PANEL_LISTS; ++n) {
        const size_t at = n < PANEL_LISTS_LOW_COUNT
            ? PANEL_LISTS_LOW + size_t(n) * slot(PANEL_LIST_ENTRIES)
            : PANEL_LISTS_HIGH + size_t(n - PANEL_LISTS_LOW_COUNT) * slot(PANEL_LIST_ENTRIES);
        take_words(d.panel_list[n], old_veh, at);
    }
}

void copy_engines(veh_class& v)
{
    for (int e = 0; e < OLD_ENGINES; ++e) {
        veh_engn_class& engine = v.engn[size_t(e)];
        take_words(engine.engn_type, old_veh, ENGN_TYPE + slot(e));
        take_words(engine.prop_type, old_veh, PROP_TYPE + slot(e));
        take_words(engine.pitch_fine, old_veh, PITCH_FINE + slot(e));
        take_words(engine.pitch_coarse, old_veh, PITCH_COARSE + slot(e));
        take_words(engine.el_ang_deg, old_veh, EL_ANG_DEG + slot(ELEMENT_COUNT * e));
    }
}

void copy_doors(veh_class& v)
{
    for (int d = 0; d < OLD_DOORS; ++d) {
        veh_door_class& door = v.door[size_t(d)];
        take_words(door.type, old_veh, DOOR_TYPE + slot(d));
        door.angle_deg = door_angle(old_float(old_veh, DOOR_ANGLE + slot(d)));
        // The old corners run z, y, x.
        float corner[4][3];
        for (size_t c = 0; c < 4; ++c) {
            const size_t at = DOOR_CORNERS + size_t(d) * DOOR_CORNER_PITCH + 12 * c;
            const float first = old_float(old_veh, at);
            put_old_float(old_veh, at, old_float(old_veh, at + 8));
            put_old_float(old_veh, at + 8, first);
            take_words(corner[c], old_veh, at);
        }
        door.set_door_geo(corner[0], corner[1], corner[2], corner[3]);
    }
}

void copy_parts(veh_class& v)
{
    for (int k = 0; k < OLD_SLOTS; ++k) {
        veh_part_class& part = v.part[size_t(k)];
        take_words(part.present, old_veh, PART_PRESENT + slot(k));
        take_words(part.x, old_veh, PART_X + slot(k));
        take_words(part.y, old_veh, PART_Y + slot(k));
        take_words(part.z, old_veh, PART_Z + slot(k));
        take_words(part.size, old_veh, PART_SIZE + slot(k));
        const size_t grid = size_t(k) * GRID_SLOT;
        take_grid(part, old_veh, GRID_X + grid, GRID_Y + grid, GRID_Z + grid);
        // Wing parts take their element count as it stands now: the wings are filled further on.
        if (k < FIRST_BODY_PART) {
            part.station_count = 2 * held_count(v.wing[size_t(k)].els, ELEMENT_COUNT);
            part.point_count = WING_PART_POINTS;
        } else {
            part.station_count = k == FIRST_BODY_PART ? FUSELAGE_STATIONS : OTHER_BODY_STATIONS;
            part.point_count = BODY_POINTS;
        }
        part.tex_scale = 1.0f;
    }
}

void copy_gear(veh_class& v)
{
    for (int j = 0; j < OLD_GEAR; ++j) {
        veh_gear_class& gear = v.gear[size_t(j)];
        const size_t s = slot(FIRST_GEAR_SLOT + j);
        take_words(gear.type, old_veh, GEAR_TYPE + s);
        take_words(gear.ref_ok, old_veh, GEAR_REF_OK + s);
        gear.leg_len = at_least(old_float(old_veh, GEAR_LEG_LEN + s), LEAST_LEG);
        take_words(gear.ext, old_veh, GEAR_EXT + s);
        take_words(gear.leg_add, old_veh, GEAR_LEG_ADD + s);
        take_words(gear.leg_shrink, old_veh, GEAR_LEG_SHRINK + s);
        take_words(gear.att_x, old_veh, PART_X + s);
        take_words(gear.att_y, old_veh, PART_Y + s);
        take_words(gear.att_z, old_veh, PART_Z + s);
        take_words(gear.ang_a0_deg, old_veh, GEAR_ANG_A0 + s);
        take_words(gear.ang_b0_deg, old_veh, GEAR_ANG_B0 + s);
        take_words(gear.ang_a_deg, old_veh, GEAR_ANG_A + s);
        take_words(gear.ang_b_deg, old_veh, GEAR_ANG_B + s);
    }
}

void copy_wings(veh_class& v)
{
    for (int k = 0; k < OLD_WINGS; ++k) {
        const int w = current_wing(k);
        veh_wing_class& wing = v.wing[size_t(w)];
        take_words(wing.els, old_veh, WING_ELS + slot(k));
        wing.root_chord = at_least(old_float(old_veh, WING_ROOT_CHORD + slot(k)), LEAST_CHORD);
        take_words(wing.tip_chord, old_veh, WING_TIP_CHORD + slot(k));
        take_words(wing.semilen, old_veh, WING_SEMILEN + slot(k));
        take_words(wing.is_left, old_veh, WING_IS_LEFT + slot(k));
        take_words(wing.span_ang_deg, old_veh, WING_SPAN_ANG_DEG + slot(k));
        take_words(wing.ac_shift, old_veh, WING_AC_SHIFT + slot(k));
        take_words(wing.span_shift_on, old_veh, WING_SPAN_SHIFT_ON + slot(k));
        take_words(wing.span_shift, old_veh, WING_SPAN_SHIFT + slot(k));
        wing.ahead_cg = old_veh[WING_BYTES + size_t(k)];
        for (size_t t = 0; t < WING_FLAG_TABLES; ++t)
            take_words(wing_flag_table(wing, t), old_veh,
                       WING_ELEMENT_TABLES + t * WING_ELEMENT_TABLE + slot(ELEMENT_COUNT * k));
        take_words(v.design.chord_frac[w], old_veh, CHORD_FRAC + slot(STATION_COUNT * k));
        take_words(v.design.el_fac[w], old_veh, EL_FAC + slot(STATION_COUNT * k));
    }
}

void copy_attachments(veh_class& v)
{
    for (int a = 0; a < OLD_ATTACHMENTS; ++a) {
        float* value = v.att[size_t(a)].value;
        for (int n = 0; n < 8; ++n) {
            const size_t array = n < ATTACHMENT_VALUES_LOW_COUNT
                ? ATTACHMENT_VALUES_LOW + size_t(n) * ATTACHMENT_ARRAY
                : ATTACHMENT_VALUES_HIGH + size_t(n - ATTACHMENT_VALUES_LOW_COUNT) * ATTACHMENT_ARRAY;
            value[n] = old_float(old_veh, array + slot(a));
        }
    }
}

void preset_new_values(veh_class& v)
{
    veh_design_struct& d = v.design;
    std::copy(std::begin(PRESET_SWITCH_VALUES), std::end(PRESET_SWITCH_VALUES), d.preset_on);
    d.min1_a = at_least(d.min1_a, 1.0f);
    d.preset_value = PRESET_VALUE;
    v.end_word2 = 0;

    for (veh_wing_class& wing : v.wing) {
        wing.preset_frac = PRESET_WING_FRAC;
        for (char* name : wing.afl_file)
            if (name[0] == '\0')
                copy_bounded_str(name, NAME_CHARS, DEFAULT_AIRFOIL);
    }

    d.unit_value[0] = 0.0f;
    for (int u = 1; u <= held_count(d.unit_count, UNIT_CAPACITY); ++u)
        d.unit_value[u] = 1.0f;
}

// ---------------------------------------------------------------------------
// [id maps]
// ---------------------------------------------------------------------------
struct id_row {
    int from, to;
};

// A map is its telling rows plus a fixed fill: every other source id takes, in increasing order, the
// smallest target that no row has taken yet. So it is total over its sources and one-to-one.
template <int SOURCES, int TARGETS, size_t ROWS>
constexpr std::array<int, SOURCES> fill_id_map(const id_row (&rows)[ROWS])
{
    std::array<int, SOURCES> map{};
    std::array<bool, SOURCES> given{};
    std::array<bool, TARGETS> taken{};
    for (const id_row& row : rows) {
        map[size_t(row.from)] = row.to;
        given[size_t(row.from)] = true;
        taken[size_t(row.to)] = true;
    }
    int next = 0;
    for (int id = 0; id < SOURCES; ++id) {
        if (given[size_t(id)])
            continue;
        while (taken[size_t(next)])
            ++next;  // runs past TARGETS only if the map could not be one-to-one, which stops the build
        map[size_t(id)] = next;
        taken[size_t(next)] = true;
    }
    return map;
}

constexpr int OLD_IDS = 613;           // 0-612
constexpr int INTERMEDIATE_IDS = 758;  // 0-757
constexpr int CURRENT_IDS = 759;       // 0-758

constexpr id_row OLD_TO_INTERMEDIATE_ROWS[] = {
    {0, 0}, {1, 5}, {2, 40}, {3, 107}, {4, 103}, {5, 28}, {6, 29}, {7, 42}, {8, 62}, {611, 270}, {612, 271},
};
constexpr id_row INTERMEDIATE_TO_CURRENT_ROWS[] = {
    {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 28}, {7, 29}, {8, 22}, {9, 23}, {10, 24}, {11, 68}, {757, 442},
};

constexpr std::array<int, OLD_IDS> OLD_TO_INTERMEDIATE =
    fill_id_map<OLD_IDS, INTERMEDIATE_IDS>(OLD_TO_INTERMEDIATE_ROWS);
constexpr std::array<int, INTERMEDIATE_IDS> INTERMEDIATE_TO_CURRENT =
    fill_id_map<INTERMEDIATE_IDS, CURRENT_IDS>(INTERMEDIATE_TO_CURRENT_ROWS);

}  // namespace

int i7x_to_8x(int id)
{
    return id >= 0 && id < OLD_IDS ? OLD_TO_INTERMEDIATE[size_t(id)] : -1;
}

int i8x_to_i830(int id)
{
    return id >= 0 && id < INTERMEDIATE_IDS ? INTERMEDIATE_TO_CURRENT[size_t(id)] : -1;
}

void OLD_ins_to_830(int index)
{
    if (!aircraft_index_valid(index, "OLD_ins_to_830"))
        return;
    for (int& id : veh[size_t(index)].design.ins_id)
        id = i8x_to_i830(id);
}

void veh_740_to_800(int index)
{
    if (!aircraft_index_valid(index, "veh_740_to_800"))
        return;
    veh_class& v = veh[size_t(index)];
    repair_old_record();
    copy_texts(v);
    copy_aircraft_values(v.design);
    copy_panel(v.design);
    copy_engines(v);
    copy_doors(v);
    copy_parts(v);
    copy_gear(v);
    copy_wings(v);
    copy_attachments(v);
    preset_new_values(v);
    v.set_base_st(index);
}

// ---------------------------------------------------------------------------
// [copy_foil]
// ---------------------------------------------------------------------------
void veh_class::copy_foil(int from, int to, int mirror)
{
    if (from < 0 || from >= WING_COUNT || to < 0 || to >= WING_COUNT) {
        __MACIBM_alert(0, "Bad copy_foil call!", std::to_string(from), std::to_string(to), "", ALERT_FATAL,
                       OLD_CONVERT_SOURCE, __LINE__);
        return;
    }
    veh_wing_class& source = wing[size_t(from)];
    veh_wing_class& target = wing[size_t(to)];
    for (size_t t = 0; t < 4; ++t) {
        // A name that fills its field has no NUL of its own.
        const std::string name(source.afl_file[t], strnlen(source.afl_file[t], NAME_CHARS));
        copy_bounded_str(target.afl_file[t], NAME_CHARS, name.c_str());
    }

    const veh_part_class& source_part = part[size_t(from)];
    veh_part_class& target_part = part[size_t(to)];
    target_part.x = mirror != 0 ? -source_part.x : source_part.x;
    target_part.y = source_part.y;
    target_part.z = source_part.z;
    target_part.small_tex = source_part.small_tex;
    // The repeated wings keep their own texture place.
    if (to < FIRST_REPEATED_WING)
        target_part.tex = source_part.tex;

    target.els = source.els;
    target.root_chord = source.root_chord;
    target.tip_chord = source.tip_chord;
    target.semilen = source.semilen;
    target.span_shift_on = source.span_shift_on;
    target.span_shift = source.span_shift;
    target.span_ang_deg = source.span_ang_deg;
    target.ac_shift = source.ac_shift;
    target.preset_frac = source.preset_frac;

    const int elements = held_count(source.els, ELEMENT_COUNT);
    for (size_t t = 0; t < WING_FLAG_TABLES; ++t)
        std::copy(wing_flag_table(source, t), wing_flag_table(source, t) + elements, wing_flag_table(target, t));
    for (element_floats veh_wing_class::*table : ELEMENT_FLOAT_TABLES)
        std::copy(source.*table, source.*table + elements, target.*table);
    std::copy(design.chord_frac[from], design.chord_frac[from] + elements + 1, design.chord_frac[to]);
    std::copy(design.el_fac[from], design.el_fac[from] + elements + 1, design.el_fac[to]);
    afl[size_t(to)] = afl[size_t(from)];
}
