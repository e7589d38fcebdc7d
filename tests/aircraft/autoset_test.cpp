// Automatic settings: part presence, mirrored and repeated wings, element ranges, areas and chords, gear and
// summary flags, then the engine, instrument and system defaults and the engine mapping.

#include "aircraft_fixture.h"

#include <cmath>
#include <cstring>

using Autoset = AircraftTest;

TEST_F(Autoset, PartsExistByTheirSpanAndTheirPropulsors)
{
    const float rows[][5] = {// part, semilen, num_prop, present before, present after
                             {10, 0.05f, 0, 1, 0}, {10, 0.0501f, 0, 0, 1}, {43, 1, 3, 1, 0}, {43, 1, 4, 1, 1},
                             {43, 1, 4, 0, 0},     {50, 1, 3, 1, 1},       {80, 0, 3, 1, 0}, {80, 0, 4, 1, 1},
                             {3, 1, 8, 1, 0},      {60, 0, 0, 1, 1}};
    veh_class& v = veh[0];
    for (const auto& r : rows) {
        const size_t i = size_t(r[0]);
        v.clear_veh(0);
        if (i < WING_COUNT)
            v.wing[i].semilen = r[1];
        v.part[i].present = int(r[3]);
        v.design.num_prop = int(r[2]);
        v.autoset_veh(0);
        EXPECT_EQ(v.part[i].present, int(r[4])) << "part " << i << " semilen " << r[1] << " propulsors " << r[2];
    }
}

TEST_F(Autoset, TwinsRepeatedWingsElementsGearAndFlagsOfOneDesign)
{
    veh_class& v = test::good_design(0, 1, 7);  // one piston engine, no wing fitted yet
    veh_design_struct& d = v.design;
    d.num_prop = 2;  // propulsor 1 has no engine of its own
    v.part[0].x = 5.0f, v.part[1].x = -5.0f;
    v.part[40].x = 7.0f, v.part[40].y = 1.0f, v.part[40].z = 2.0f;
    v.part[40].present = v.part[41].present = 1;
    v.wing[40].semilen = v.wing[41].semilen = 1.0f;
    v.part[40].tex.s1[0] = v.part[9].tex.s1[0] = 0.75f;
    v.part[9].x = 3.0f;
    veh_wing_class& w9 = v.wing[9];  // its left twin is wing 8
    w9.root_chord = 1.5f, w9.semilen = 1.0f, w9.els = 2, w9.ctl1[1] = 1;
    std::strcpy(w9.afl_file[0], "Airfoils:wing9.afl");
    d.ctl1_val = 0.02f;
    veh_wing_class& w = v.wing[11];  // its left twin, wing 10, is fitted by its own span
    w.semilen = 8.0f, w.els = 8, w.root_chord = 2.0f, w.tip_chord = 1.0f;
    w.ctl3[2] = w.ctl3[5] = 1;
    v.wing[10].semilen = 0.5f;
    veh_wing_class& bare = v.wing[13];  // fitted, but without elements
    bare.semilen = 1.0f;
    bare.el_area[0] = bare.el_mac[0] = 7.0f;
    v.wing[17].els = 2, v.wing[17].ctl0[1] = 1;  // reaches wing 16 through the twin copy
    v.wing[0].el_len = 1.0f;                     // propulsor 0's blade: elements end to end at their angles
    v.wing[0].root_chord = v.wing[0].tip_chord = 1.0f;
    v.engn[0].el_ang_deg[0] = 90.0f;
    d.chord_frac[0][1] = 0.5f;
    const float gears[][3] = {{2, 1, -3}, {2, 1, 3}, {1, 1, 10}, {3, 0, 20}};  // type, ref_ok, att_z
    for (size_t g = 0; g < 4; ++g)
        v.gear[g].type = int(gears[g][0]), v.gear[g].ref_ok = int(gears[g][1]), v.gear[g].att_z = gears[g][2];
    veh_gear_class& g0 = v.gear[0];
    g0.leg_len = 2.0f, g0.leg_shrink = 0.5f, g0.ang_a0_deg = 90.0f, g0.att_x = 1.0f, g0.att_y = 2.0f;
    g0.leg_add = 0.5f;
    v.door2[1].type = 1;
    v.engn[0].prop_type = 3;
    v.engn[2].engn_type = 4;
    v.part[79].nac_flag = 5;
    v.autoset_veh(0);

    const veh_wing_class& twin = v.wing[10];
    const veh_part_class* p = v.part.data();
    EXPECT_STREQ(v.wing[8].afl_file[0], "wing9.afl");
    EXPECT_EQ(std::vector<float>({p[8].x, v.wing[8].root_chord, p[8].tex.s1[0], p[41].x, p[41].y, p[41].z,
                                  v.wing[41].x_fac, p[41].tex.s1[0]}),
              std::vector<float>({-3, 1.5f, 0.75f, -7, 1, 2, -1, 0}));
    EXPECT_EQ(std::vector<int>({w.ctl3_lo, w.ctl3_hi, w.ctl4_lo, w.ctl4_hi, twin.ctl3_lo, twin.ctl3_hi, bare.ctl3_lo,
                                bare.ctl3_hi, w.is_left, twin.is_left, p[11].station_count}),
              std::vector<int>({2, 6, 10, 0, 2, 6, 10, 0, 0, 1, 16}));
    EXPECT_EQ(std::vector<float>(
                  {w.el_len, w.x_fac, twin.x_fac, bare.el_len, bare.el_area[0], bare.el_mac[0], d.el_fac[11][8]}),
              std::vector<float>({1, 1, -1, 0, 7, 7, 1}));
    // Element 0 has chords 2 and 1.875 (a factor of 0 counts as 1), element 7 chords 1.125 and 1.
    const float near[][2] = {{w.el_area[0], 1.9375f}, {w.el_mac[0], 1.93817204f},
                             {w.el_area[7], 1.0625f}, {v.wing[0].el_z[1], 1.5f},
                             {v.wing[0].el_x[1], 0},  {p[85].x, 3},
                             {p[85].y, 2.5f},         {p[85].z, -3}};
    for (const auto& [got, expected] : near)
        EXPECT_NEAR(got, expected, 1e-6f);
    EXPECT_EQ(std::vector<int>({d.gear_any, d.gear_far, d.has_ctl_a, d.has_ctl_b, d.has_ctl_c, d.has_kind3_prop,
                                d.kind3_prop_index, d.has_ctl_w16, p[79].nac_flag}),
              std::vector<int>({1, 0, 1, 0, 1, 1, 0, 1, 0}));
}

TEST_F(Autoset, EngineInstrumentAndSystemDefaults)
{
    // A single piston engine of 300 at 30 of manifold pressure, with its consumption given.
    veh_class& v = test::good_design(0, 1, 9);
    veh_design_struct& d = v.design;
    d.power_max = 300.0f, d.mp_max = 30.0f;
    d.num_prop = 3;
    d.sys_c_on[3] = 1;  // beyond the engines: counts as switched off
    d.sys_set[2] = 4.0f;
    d.vec_a[0] = 0.005f, d.vec_b[0] = 0.01f;
    d.dial_on[7] = 1;
    d.cus_fadec_on = 1;
    d.cus_fadec[0] = 9.0f;
    v.autoset_veh(0);

    const gauge_struct* g = d.gauge;
    EXPECT_EQ(std::vector<float>({g[0].lo, g[0].hi, g[0].top, g[10].lo, g[10].hi, g[12].top, d.dial_max[7]}),
              std::vector<float>({15, 30, 30, 0.8f * 24, 24, 100, 60}));
    for (const auto& [got, expected] : {std::pair{g[1].lo, 3.3f}, {g[1].hi, 16.5f}, {g[1].top, 22.0f}})
        EXPECT_NEAR(got, expected, 1e-5f);
    EXPECT_EQ(std::vector<float>({d.vec_a[0], d.vec_a[1], d.vec_b[0], d.vec_b[1], d.sys_set[2], d.cus_fadec[0],
                                  d.cus_auto[1], d.arc_col[3], d.band[0]}),
              std::vector<float>({0.8f, 0.2f, 0.01f, 0, 0, 9, 10, 1, 0}));
    EXPECT_EQ(std::vector<int>({d.map_count, d.engn_map[0], d.prop_map[0], d.prop_map[2], d.map_mode, d.band_on}),
              std::vector<int>({1, 0, 0, 0, -1, 1}));

    const float rows[][7] = {
        // engines, type, map_mode, sfc_jet[1] before, then map_count, prop_map[2], sfc_jet[2] after
        {0, 0, 0, 0.85f, 0, -1, 5},     // no engines: every propulsor maps to -1
        {2, 4, 0, 0.85f, 2, 1, 5},      // a jet with its consumption keeps entry 2
        {2, 4, 1, 0.0f, 1, 0, 35000}};  // a jet without it gets the base values and entry 2
    for (const auto& r : rows) {
        veh_class& w = test::good_design(0, int(r[0]), 9);
        w.design.num_prop = 3;
        w.engn[0].engn_type = w.engn[1].engn_type = int(r[1]);
        w.design.sfc_jet[1] = r[3];
        w.design.sfc_jet[2] = 5.0f;
        w.design.gauge[6].hi = 1.0f;  // one arc given: no arcs are derived
        w.design.map_mode = int(r[2]);
        w.autoset_veh(0);
        EXPECT_EQ(
            std::vector<float>({w.design.sfc_jet[1], w.design.sfc_jet[2], w.design.gauge[1].top,
                                float(w.design.map_count), float(w.design.prop_map[2]), float(w.design.map_mode)}),
            std::vector<float>({0.85f, r[6], 0, r[4], r[5], -1}))
            << "row " << (&r - rows);
    }
}
