// Automatic settings of one design: which parts exist, mirrored and repeated airfoils, where blades,
// repeated wings, nacelles and gear bodies lie, control-surface ranges, element areas and chords, summary
// flags, then every engine, instrument and system value the designer left at zero or never customised, the
// instrument arcs and the engine mapping. The steps run in a fixed order; later ones read what earlier ones
// set. Derived geometry is recomputed on every run; defaults fill only what is zero or not yet customised.
//
// Index
//   [geometry]  steps 1-15: presence, airfoils, blades, repeated wings, nacelles, gear bodies, flags, wings
//   [defaults]  steps 17-29: systems, fuel consumption, one-time defaults, arcs, dials, engine mapping
#include "aircraft/veh.h"

#include "core/globals.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Thresholds compare in single precision, as the design stores them: a double threshold would count a
// value stored as exactly the threshold on the wrong side.
constexpr float PRESENT_SPAN = 0.05f;  // a wing no longer than this is not fitted
constexpr float LEFT_OF_CENTRE = -0.001f;
constexpr float NO_FACTOR = 0.001f;     // a chord factor this small means "not given"
constexpr float CONTROL_VALUE = 0.01f;  // surfaces 1 and 2 count once their value exceeds this
constexpr float SHORT_VECTOR = 0.01f;

// Wings whose left twin takes their airfoil, mirrored: 9 -> 8 ... 17 -> 16.
constexpr int MIRRORED_FROM[] = {9, 11, 13, 15, 17};
constexpr int FIRST_SIDE_WING = 18;  // 18 and 19 are never left-hand; 20-39 say so themselves
constexpr int FIRST_FREE_WING = 20;
constexpr int REPEATED_SETS[] = {FIRST_REPEATED_WING, 48};  // eight wings each, one per propulsor
constexpr int CONTROL_CHECK_WING = 16;

// Propulsor kinds the summary flags follow.
constexpr int KIND_3 = 3;
constexpr int KIND_5 = 5;
constexpr int SYSTEM_ENGINES = 4;  // the per-engine system switches cover the first four

// Fuel-consumption values that a filled table gets beside the base values.
constexpr float JET_SFC_ENTRY_2 = 35000.0f;
constexpr float PROP_SFC_ENTRY_2 = 10000.0f;

constexpr float DEFAULT_RANGES[4] = {60.0f, 60.0f, 24.0f, 8.0f};  // gauges 9-12
constexpr int FIRST_RANGE_GAUGE = 8;                              // gauge 9
constexpr float FULL_SCALE_TOP = 100.0f;                          // gauges 13 and 14
constexpr float RECIPROCATING_FLOW_DIVISOR = 6.0f;
constexpr float ARC_COLOURS[9] = {0, 1, 0, 1, 1, 0, 1, 0, 0};  // green, yellow, red
constexpr float LEAST_MIN_FRAC = 0.01f;
constexpr float DEFAULT_DEF10 = 10.0f;
constexpr float DEFAULT_DEF3 = 3.0f;
constexpr float DEFAULT_VECTOR[3] = {0.8f, 0.2f, 0.2f};

// Arcs of gauges 1-12: low and high ends as fractions of the gauge's top.
constexpr float ARC_LOW[12] = {0.5f, 0.15f, 0.4f, 0.0f, 0.4f, 0.4f, 0.4f, 0.4f, 0.0f, 0.0f, 0.8f, 0.4f};
constexpr float ARC_HIGH[12] = {1.0f, 0.75f, 0.8f, 0.0f, 0.8f, 1.0f, 0.8f, 0.8f, 0.0f, 0.0f, 1.0f, 0.6f};

// A value of 0 counts as positive.
bool same_side(float a, float b)
{
    return (a < 0.0f) == (b < 0.0f);
}

bool all_zero(const float* values, int count)
{
    return std::all_of(values, values + count, [](float v) { return v == 0.0f; });
}

}  // namespace

void veh_class::autoset_veh(int p)
{
    if (!aircraft_index_valid(p, "autoset_veh"))
        return;
    const veh_class& self = veh[size_t(p)];  // the presence queries ask the list's entry, this same aircraft
    veh_design_struct& d = design;
    const int propulsors = held_count(d.num_prop, ENGINE_COUNT);

    // -----------------------------------------------------------------------
    // [geometry]
    // -----------------------------------------------------------------------
    // 1. Which parts exist.
    for (int i = 0; i < PART_COUNT; ++i) {
        int& present = part[size_t(i)].present;
        const bool long_enough = i < WING_COUNT && wing[size_t(i)].semilen > PRESENT_SPAN;
        if (i < FIRST_WING_PART)
            present = 0;
        else if (i < FIRST_REPEATED_WING)
            present = long_enough;
        else if (i < FIRST_BODY_PART)
            present = present != 0 && d.num_prop >= (i - FIRST_REPEATED_WING) % 8 + 1 && long_enough;
        else if (i >= FIRST_NACELLE && i < FIRST_NACELLE + ENGINE_COUNT)
            present = present != 0 && d.num_prop >= i - FIRST_NACELLE + 1;
    }

    // 2. Airfoil names keep only their file name. A name that fills its field has no NUL of its own.
    for (veh_wing_class& w : wing) {
        for (char* name : w.afl_file) {
            name[NAME_CHARS - 1] = '\0';
            set_afl_path(name);
        }
    }

    // 3. Airfoils of the left twins and of the repeated wings.
    for (int from : MIRRORED_FROM)
        copy_foil(from, from - 1, 1);
    for (int first : REPEATED_SETS)
        for (int k = 1; k < 8; ++k)
            copy_foil(first, first + k, same_side(part[size_t(k)].x, part[0].x) ? 0 : 1);

    // 4. Blade elements of each propulsor, laid end to end at their angles.
    for (int i = 0; i < FIRST_WING_PART; ++i) {
        veh_wing_class& w = wing[size_t(i)];
        const float* angle = engn[size_t(i)].el_ang_deg;
        for (int e = 0; e < ELEMENT_COUNT; ++e) {
            w.el_x[e] = 0.0f;
            w.el_y[e] = 0.0f;
            w.el_z[e] = d.chord_frac[i][e] * (w.root_chord + w.tip_chord) * 0.5f;
            for (int m = 0; m < e; ++m) {
                w.el_x[e] += w.el_len * std::cos(angle[m] * degtorad);
                w.el_z[e] += w.el_len * std::sin(angle[m] * degtorad);
            }
        }
    }

    // 5. Repeated wings keep their set's offset from propulsor 0, mirrored for propulsors on the other side.
    const veh_part_class p0 = part[0];
    for (int first : REPEATED_SETS) {
        const veh_part_class lead = part[size_t(first)];
        for (int k = 1; k < 8; ++k) {
            if (!self.has_this_wing(first + k))
                continue;
            const veh_part_class& prop = part[size_t(k)];
            veh_part_class& target = part[size_t(first + k)];
            const float side = same_side(prop.x, p0.x) ? 1.0f : -1.0f;
            target.x = side * (lead.x - p0.x) + prop.x;
            target.y = (lead.y - p0.y) + prop.y;
            target.z = (lead.z - p0.z) + prop.z;
        }
    }

    // 6. Nacelles sit at their propulsors.
    for (int k = 0; k < ENGINE_COUNT; ++k) {
        veh_part_class& nacelle = part[size_t(FIRST_NACELLE + k)];
        nacelle.x = part[size_t(k)].x;
        nacelle.y = part[size_t(k)].y;
        nacelle.z = part[size_t(k)].z;
    }

    // 7. Gear legs, extended, at their designed angles.
    for (int g = 0; g < GEAR_COUNT; ++g) {
        veh_gear_class& gear_g = gear[size_t(g)];
        gear_g.ang_a_deg = gear_g.ang_a0_deg;
        gear_g.ang_b_deg = gear_g.ang_b0_deg;
        gear_g.ext = 1.0f;
        const float length = gear_g.leg_len - gear_g.leg_shrink * (1.0f - gear_g.ext);
        const float a = gear_g.ang_a_deg * degtorad, b = gear_g.ang_b_deg * degtorad;
        veh_part_class& leg = part[size_t(FIRST_GEAR_BODY + g)];
        leg.x = gear_g.att_x + length * std::sin(a) * std::cos(b);
        leg.y = gear_g.att_y + gear_g.leg_add - length * std::cos(a) * std::cos(b);
        leg.z = gear_g.att_z - length * std::sin(b);
    }

    // 8. Texts always end inside their fields.
    d.tail_num[NAME_CHARS - 1] = d.note_text3[NAME_CHARS - 1] = '\0';
    d.note_text1[NOTE_CHARS - 1] = d.note_text2[NOTE_CHARS - 1] = '\0';

    // 9. Wing parts: two stations per element.
    for (int k = 0; k < FIRST_BODY_PART; ++k) {
        part[size_t(k)].station_count = 2 * held_count(wing[size_t(k)].els, ELEMENT_COUNT);
        part[size_t(k)].point_count = 14;
    }

    // 10. The reference gear: the fitted one farthest from the centre along the aircraft.
    d.gear_any = d.gear_far = 0;
    float farthest = 0.0f;
    for (int g = 0; g < GEAR_COUNT; ++g) {
        const veh_gear_class& gear_g = gear[size_t(g)];
        if (gear_g.type == 0)
            continue;
        d.gear_any = 1;
        if (gear_g.type != 1 && gear_g.ref_ok != 0 && std::fabs(gear_g.att_z) > farthest) {
            farthest = std::fabs(gear_g.att_z);
            d.gear_far = g;
        }
    }

    // 11. Control-surface summary flags, and where each wing's reference point lies.
    d.has_ctl_a = d.has_ctl_b = 0;
    d.has_ctl_c = std::any_of(door2.begin(), door2.end(), [](const veh_door_class& k) { return k.type != 0; });
    for (int i = FIRST_WING_PART; i < FIRST_BODY_PART; ++i) {
        if (!self.has_this_wing(i))
            continue;
        veh_wing_class& w = wing[size_t(i)];
        for (int e = 0; e < held_count(w.els, ELEMENT_COUNT); ++e) {
            if (w.ctl9[e] || w.ctl10[e] || (w.ctl1[e] && d.ctl1_val > CONTROL_VALUE) ||
                (w.ctl2[e] && d.ctl2_val > CONTROL_VALUE))
                d.has_ctl_a = 1;
            if (w.ctl_aux[e])
                d.has_ctl_b = 1;
            if (w.ctl11[e])
                d.has_ctl_c = 1;
            w.ahead_cg = w.root_chord * (0.25f + 0.25f * w.ac_shift) + part[size_t(i)].z < d.cg_arm;
        }
    }

    // 12. Kinds of the propulsors that give thrust; the last of kind 3 is remembered.
    d.has_kind3_prop = d.has_kind5_prop = d.kind3_prop_index = 0;
    for (int i = 0; i < propulsors; ++i) {
        if (!self.has_this_thru(i, SEARCH_PROPULSOR_DRIVEN))
            continue;
        if (engn[size_t(i)].prop_type == KIND_5)
            d.has_kind5_prop = 1;
        if (engn[size_t(i)].prop_type == KIND_3) {
            d.has_kind3_prop = 1;
            d.kind3_prop_index = i;
        }
    }

    // 13. Whether wing 16 carries the surface of its first flag table.
    const veh_wing_class& w16 = wing[CONTROL_CHECK_WING];
    const int w16_elements = held_count(w16.els, ELEMENT_COUNT);
    d.has_ctl_w16 = std::any_of(w16.ctl0, w16.ctl0 + w16_elements, [](int flag) { return flag != 0; });

    // 14. Jets clear their nacelle's flag.
    for (int k = 0; k < ENGINE_COUNT; ++k)
        if (engine_is_jet(engn[size_t(k)].engn_type))
            part[size_t(FIRST_NACELLE + k)].nac_flag = 0;

    // 15. Every fitted wing: its side, control ranges, element length, areas and chords. A wing without
    // elements gets no ranges, areas or chords and an element length of 0.
    for (int i = 0; i < WING_COUNT; ++i) {
        if (!self.has_this_wing(i))
            continue;
        veh_wing_class& w = wing[size_t(i)];
        if (i < FIRST_SIDE_WING)
            w.is_left = i % 2 == 0;
        else if (i < FIRST_FREE_WING)
            w.is_left = 0;
        else if (i >= FIRST_REPEATED_WING)
            w.is_left = part[size_t(i)].x < LEFT_OF_CENTRE;
        w.x_fac = w.is_left != 0 ? -1.0f : 1.0f;

        for (int n = 0; n < 12; ++n) {
            w.*WING_CONTROLS_LO[n] = ELEMENT_COUNT;
            w.*WING_CONTROLS_HI[n] = 0;
        }
        const int elements = held_count(w.els, ELEMENT_COUNT);
        const float count = float(elements);
        w.el_len = elements > 0 ? w.semilen / count : 0.0f;
        float* factor = d.el_fac[i];
        for (int e = 0; e <= elements; ++e)
            if (std::fabs(factor[e]) < NO_FACTOR)
                factor[e] = 1.0f;

        for (int e = 0; e < elements; ++e) {
            for (int n = 0; n < 12; ++n) {
                if ((w.*WING_CONTROLS[n])[e] == 0)
                    continue;
                w.*WING_CONTROLS_LO[n] = std::min(w.*WING_CONTROLS_LO[n], e);
                w.*WING_CONTROLS_HI[n] = std::max(w.*WING_CONTROLS_HI[n], e + 1);
            }
            const float c1 = (w.root_chord + (w.tip_chord - w.root_chord) * float(e) / count) * factor[e];
            const float c2 = (w.root_chord + (w.tip_chord - w.root_chord) * float(e + 1) / count) * factor[e + 1];
            w.el_area[e] = (c1 + c2) * 0.5f * w.semilen * std::cos(w.span_ang_deg * degtorad) / count;
            w.el_mac[e] = c1 + c2 == 0.0f ? 0.0f : 2.0f / 3.0f * (c1 + c2 - c1 * c2 / (c1 + c2));
        }
    }

    // -----------------------------------------------------------------------
    // [defaults]
    // -----------------------------------------------------------------------
    // 17. Systems: with none switched on, their settings are cleared.
    const int system_engines = held_count(d.num_engn, SYSTEM_ENGINES);
    bool any_system = d.sys_a_on != 0 || d.sys_b_on != 0;
    for (int e = 0; e < system_engines; ++e)
        any_system = any_system || d.sys_c_on[e] != 0 || d.sys_d_on[e] != 0;
    if (!any_system) {
        std::fill(std::begin(d.sys_set), std::end(d.sys_set), 0.0f);
        d.sys_set2 = 0.0f;
    }

    // 18. Uncustomised autopilot and engine-control constants follow the design.
    if (d.cus_auto_on == 0)
        set_cus_auto();
    if (d.cus_fadec_on == 0)
        set_cus_fadec();

    // 19. The largest value of the switched-on systems.
    d.sys_max = 1.0f;
    if (d.sys_a_on)
        d.sys_max = std::max(d.sys_a_val, 1.0f);
    if (d.sys_b_on)
        d.sys_max = std::max(d.sys_max, d.sys_b_val);
    if (d.sys_c_on[0])
        d.sys_max = std::max(d.sys_max, d.sys_c_val);
    if (d.sys_d_on[0])
        d.sys_max = std::max(d.sys_max, d.sys_d_val);

    // 20. Missing fuel consumption of each engine's type.
    const int engines = held_count(d.num_engn, ENGINE_COUNT);
    for (int i = 0; i < engines; ++i) {
        if (!zero_sfc(i))
            continue;
        const int type = engn[size_t(i)].engn_type;
        set_base_sfc(type);
        if (engine_is_jet(type)) {
            d.sfc_jet_lo = 0.0f;
            d.sfc_jet[2] = JET_SFC_ENTRY_2;
        } else if (!engine_is_rocket(type)) {
            d.sfc_prop_lo = 0.0f;
            d.sfc_prop[2] = PROP_SFC_ENTRY_2;
        }
    }

    // 21-23. Least values and one-time defaults.
    d.min1_a = std::max(d.min1_a, 1.0f);
    d.min1_b = std::max(d.min1_b, 1.0f);
    if (d.copy_on == 0) {
        d.copy_on = 1;
        d.copy_a = d.copy_src_a;
        d.copy_b = d.copy_src_b;
    }
    if (d.tex_row_on == 0) {
        set_base_tex_rows();
        d.tex_row_on = 1;
    }
    if (d.ref_val == 0.0f)
        d.ref_val = d.ref_val_src;
    for (int k = 0; k < 4; ++k)
        if (d.gauge[FIRST_RANGE_GAUGE + k].range == 0.0f)
            d.gauge[FIRST_RANGE_GAUGE + k].range = DEFAULT_RANGES[k];

    // 24. Arcs from the engine limits, only for a design whose gauges have none at all.
    const bool no_arcs = std::all_of(std::begin(d.gauge), std::end(d.gauge),
                                     [](const gauge_struct& g) { return g.lo == 0.0f && g.hi == 0.0f; });
    if (no_arcs) {
        const int type = engn[0].engn_type;
        float flow = 0.0f;
        if (engine_is_rocket(type))
            flow = d.sfc_rocket * d.thrust_rkt_b;
        if (engine_is_jet(type))
            flow = d.sfc_jet[4] * d.thrust_jet;
        if (engine_turns_propulsor(type))  // type 7 is a rocket too: the propulsor wins
            flow = d.sfc_prop[4] * d.power_max / (engine_is_reciprocating(type) ? RECIPROCATING_FLOW_DIVISOR : 1.0f);
        const gauge_struct* g = d.gauge;
        const float top[12] = {d.mp_max,   flow,       d.eng_lim1, d.eng_lim2, d.eng_lim3,  d.eng_lim5,
                               d.eng_lim4, d.eng_lim6, g[8].range, g[9].range, g[10].range, g[11].range};
        for (int k = 0; k < 12; ++k) {
            d.gauge[k].lo = ARC_LOW[k] * top[k];
            d.gauge[k].hi = ARC_HIGH[k] * top[k];
            d.gauge[k].top = top[k];
        }
        d.gauge[12].top = d.gauge[13].top = FULL_SCALE_TOP;
    }

    // 25-26. Arc colours, and dial scales that reach at least their gauges' tops.
    if (all_zero(d.arc_col, 9))
        std::copy(std::begin(ARC_COLOURS), std::end(ARC_COLOURS), d.arc_col);
    const gauge_struct* g = d.gauge;
    const float dial_source[DIAL_COUNT] = {g[0].top,  g[2].top, g[3].top, g[4].top,
                                           g[5].top,  g[6].top, g[7].top, std::max(g[8].top, g[9].top),
                                           g[10].top, g[11].top};
    for (int k = 0; k < DIAL_COUNT; ++k)
        if (d.dial_on[k])
            d.dial_max[k] = std::max(d.dial_max[k], dial_source[k]);

    // 27-28. Least values, the band table once, and the two vectors.
    d.min_frac = std::max(d.min_frac, LEAST_MIN_FRAC);
    if (d.def10 == 0.0f)
        d.def10 = DEFAULT_DEF10;
    if (d.band_on == 0) {
        d.band_on = 1;
        const float* s = d.band_src;
        const float band[15] = {d.band_ref, s[0], 0.0f, s[1], s[2], s[3], s[3], 0.0f,
                                s[4],       s[5], s[6], s[6], 0.0f, s[7], s[8]};
        std::copy(std::begin(band), std::end(band), d.band);
    }
    if (d.def3_a == 0.0f)
        d.def3_a = DEFAULT_DEF3;
    if (d.def3_b == 0.0f)
        d.def3_b = DEFAULT_DEF3;
    for (float* vector : {d.vec_a, d.vec_b})
        if (std::sqrt(vector[0] * vector[0] + vector[1] * vector[1] + vector[2] * vector[2]) < SHORT_VECTOR)
            std::copy(std::begin(DEFAULT_VECTOR), std::end(DEFAULT_VECTOR), vector);
    if (d.ones_on == 0) {
        d.ones_on = 1;
        std::fill(std::begin(d.ones), std::end(d.ones), 1.0f);
    }

    // 29. The engine mapping, when one is asked for: once made, the request is done.
    veh_design_struct& map = veh[size_t(p)].design;
    const int mapped_engines = held_count(map.num_engn, ENGINE_COUNT);
    const int mapped_propulsors = held_count(map.num_prop, ENGINE_COUNT);
    if (map.map_mode == 0 || map.map_mode == 1) {
        const bool one_entry = map.map_mode == 1;
        map.map_count = one_entry ? 1 : mapped_engines;
        for (int e = 0; e < mapped_engines; ++e) {
            map.engn_map_flag[e] = one_entry;
            map.engn_map[e] = one_entry ? 0 : e;
        }
        for (int k = 0; k < mapped_propulsors; ++k)
            map.prop_map[k] = one_entry ? 0 : std::min(k, mapped_engines - 1);
    }
    map.map_mode = -1;
}
