// Engine, propulsor, wing, body and part presence, engine control kind, missing fuel consumption and the
// place of a foil point. A lost item (failure state 6 in the partner's flight state) is absent everywhere.
#include "aircraft/veh.h"

#include "core/alert.h"
#include "core/globals.h"

#include <cmath>

namespace {

constexpr const char* QUERIES_SOURCE = "aircraft/queries";

// A propulsor cut this far (thru_cut set) gives no thrust.
constexpr float CUT_NO_THRUST = 90.0f;
// Propulsor kind that a propulsor beyond the engines may have without producing thrust.
constexpr int NO_PROPULSOR = 8;
// The repeated wings 40-55 share the failure bytes of parts 30-45.
constexpr int REPEATED_WING_FAILURE_SHIFT = FIRST_REPEATED_WING - 30 + FIRST_WING_PART;

const flt_class& no_flight_state()
{
    static const flt_class zero;
    return zero;
}

bool index_in(int i, int count)
{
    return i >= 0 && i < count;
}

// A whole number held within 0..last; not-a-number gives 0.
int held_index(float whole, int last)
{
    if (!(whole > 0.0f))
        return 0;
    if (whole >= float(last))
        return last;
    return int(whole);
}

// The entries of a fuel-consumption table that carry the base value.
bool base_entry_zero(const float (&table)[6])
{
    return table[0] == 0.0f || table[1] == 0.0f || table[3] == 0.0f || table[4] == 0.0f;
}

void misuse(const char* message, int line)
{
    __MACIBM_alert(0, message, "", "", "", ALERT_FATAL, QUERIES_SOURCE, line);
}

// The partner's flight state; a record that has none has lost nothing.
const flt_class& flight_of(const veh_class& v)
{
    return v.flt_link ? *v.flt_link : no_flight_state();
}

bool engine_lost(const veh_class& v, int i)
{
    return flight_of(v).state.fail_engn[i] == FAILURE_LOST;
}

bool wing_lost(const veh_class& v, int failure_byte)
{
    return flight_of(v).state.fail_wing[failure_byte] == FAILURE_LOST;
}

}  // namespace

bool veh_class::has_this_engn(int i, int search) const
{
    if (search < SEARCH_ANY_ENGINE || search > SEARCH_ROCKET) {
        misuse("Bad has_this_engn search type!", __LINE__);
        return false;
    }
    if (!index_in(i, ENGINE_COUNT) || engine_lost(*this, i) || i >= design.num_engn)
        return false;
    const int type = engn[size_t(i)].engn_type;
    switch (search) {
        case SEARCH_TURNS_PROPULSOR:
            return engine_turns_propulsor(type);
        case SEARCH_RECIPROCATING:
            return engine_is_reciprocating(type);
        case SEARCH_JET:
            return engine_is_jet(type);
        case SEARCH_ROCKET:
            return engine_is_rocket(type);
        default:
            return true;
    }
}

bool veh_class::has_this_thru(int i, int search) const
{
    if (search != SEARCH_PROPULSOR_IN_USE && search != SEARCH_PROPULSOR_DRIVEN) {
        misuse("Bad has_this_thru search type!", __LINE__);
        return false;
    }
    if (!index_in(i, ENGINE_COUNT) || engine_lost(*this, i))
        return false;
    if (design.thru_cut != 0 && flight_of(*this).engn[size_t(i)].cut_val >= CUT_NO_THRUST)
        return false;
    if (i >= design.num_prop)
        return false;
    if (search == SEARCH_PROPULSOR_IN_USE)
        return true;
    if (i < design.num_engn)
        return engine_turns_propulsor(engn[size_t(i)].engn_type);
    return engn[size_t(i)].prop_type != NO_PROPULSOR;
}

int veh_class::has_this_wing(int i) const
{
    if (i < FIRST_WING_PART)
        return has_this_thru(i, SEARCH_PROPULSOR_DRIVEN);
    if (i >= PART_COUNT)
        return 0;
    if (i < FIRST_REPEATED_WING && wing_lost(*this, i - FIRST_WING_PART))
        return 0;
    if (i >= FIRST_REPEATED_WING && i < FIRST_BODY_PART && wing_lost(*this, i - REPEATED_WING_FAILURE_SHIFT))
        return 0;
    return part[size_t(i)].present;
}

int veh_class::has_this_body(int i) const
{
    if (!index_in(i, PART_COUNT))
        return 0;
    if (i >= FIRST_NACELLE && i < FIRST_NACELLE + ENGINE_COUNT && engine_lost(*this, i - FIRST_NACELLE))
        return 0;
    return part[size_t(i)].present;
}

int veh_class::has_this_part(int i) const
{
    if (i < FIRST_WING_PART)
        return has_this_thru(i, SEARCH_PROPULSOR_DRIVEN);
    if (i < FIRST_BODY_PART)
        return has_this_wing(i);
    if (i < PART_COUNT)
        return has_this_body(i);
    misuse("Bad has_this_part search type!", __LINE__);
    return 0;
}

bool veh_class::eng_has_helo_fadec(int i) const
{
    const bool helicopter = design.helo_flag != 0 || design.has_kind3_prop != 0;
    return has_this_engn(i, SEARCH_ANY_ENGINE) && helicopter && engine_turns_propulsor(engn[size_t(i)].engn_type);
}

bool veh_class::eng_has_plane_fadec(int i) const
{
    const bool helicopter = design.helo_flag != 0 || design.has_kind3_prop != 0;
    return has_this_engn(i, SEARCH_ANY_ENGINE) && (!engine_turns_propulsor(engn[size_t(i)].engn_type) || !helicopter);
}

bool veh_class::zero_sfc(int i) const
{
    if (!index_in(i, ENGINE_COUNT))
        return false;
    const int type = engn[size_t(i)].engn_type;
    if (engine_is_rocket(type))
        return design.sfc_rocket == 0.0f;
    if (engine_is_jet(type))
        return base_entry_zero(design.sfc_jet);
    if (type == 0 || type == 1 || type == 2 || type == 8)
        return base_entry_zero(design.sfc_prop);
    return false;  // type 3 burns nothing that a table here describes
}

float veh_class::get_foil_loc(int i, float pos, const char& axis) const
{
    if (!index_in(i, WING_COUNT))
        return 0.0f;  // no foil there
    const veh_wing_class& w = wing[size_t(i)];

    if (i < FIRST_WING_PART) {
        const int n = held_index(std::trunc(pos), ELEMENT_COUNT - 1);
        const float d = pos - float(n);
        const float angle = engn[size_t(i)].el_ang_deg[n] * degtorad;
        if (axis == 'X')
            return d * w.el_len * std::cos(angle) + w.el_x[n];
        if (axis == 'Y')
            return w.el_y[n];
        return d * w.el_len * std::sin(angle) + w.el_z[n];
    }

    float s = pos * w.el_len;
    if (w.span_shift_on != 0)
        s = s - w.semilen * w.span_shift;
    const flt_wing_class& now = flight_of(*this).wing[size_t(i)];
    const veh_part_class& p = part[size_t(i)];
    if (axis == 'X')
        return s * now.flex * now.dir_x * w.x_fac + p.x;
    if (axis == 'Y')
        return s * now.flex * now.dir_y + p.y;
    // A position past either end reads the end station rather than beyond chord_frac.
    const int k = held_index(std::round(pos), STATION_COUNT - 1);
    return design.chord_frac[i][k] * (w.root_chord + w.tip_chord) * 0.5f + s * now.dir_z + p.z;
}
