// Automatic settings: part presence, mirrored and repeated wings, element ranges, areas and chords, gear and
// summary flags, then the engine, instrument and system defaults and the engine mapping.

#include "aircraft_fixture.h"

#include <cmath>
#include <cstring>

using Autoset = AircraftTest;

TEST_F(Autoset, PartsExistByTheirSpanAndTheirPropulsors)
{
    struct row {
        int part;
        float semilen;
        int num_prop, present_before, present_after;
    };
    const row rows[] = {
        {10, 0.05f, 0, 1, 0}, {10, 0.0501f, 0, 0, 1}, {43, 1.0f, 3, 1, 0}, {43, 1.0f, 4, 1, 1}, {43, 1.0f, 4, 0, 0},
        {50, 1.0f, 3, 1, 1},  {80, 0.0f, 3, 1, 0},    {80, 0.0f, 4, 1, 1}, {3, 1.0f, 8, 1, 0},  {60, 0.0f, 0, 1, 1},
    };
    veh_class& v = veh[0];
    for (const row& r : rows) {
        v.clear_veh(0);
        if (r.part < WING_COUNT)
            v.wing[size_t(r.part)].semilen = r.semilen;
        v.part[size_t(r.part)].present = r.present_before;
        v.design.num_prop = r.num_prop;
        v.autoset_veh(0);
        EXPECT_EQ(v.part[size_t(r.part)].present, r.present_after)
            << "part " << r.part << " semilen " << r.semilen << " propulsors " << r.num_prop;
    }
}

TEST_F(Autoset, LeftTwinsAndRepeatedWingsTakeTheirAirfoilAndPlace)
{
    veh_class& v = veh[0];
    v.design.num_prop = 2;
    v.part[0].x = 5.0f;
    v.part[1].x = -5.0f;
    v.part[40].x = 7.0f, v.part[40].y = 1.0f, v.part[40].z = 2.0f;
    for (int w : {40, 41}) {
        v.part[size_t(w)].present = 1;
        v.wing[size_t(w)].semilen = 1.0f;
    }
    v.part[40].tex.s1[0] = v.part[9].tex.s1[0] = 0.75f;
    v.part[9].x = 3.0f;
    v.wing[9].root_chord = 1.5f;
    std::strcpy(v.wing[9].afl_file[0], "Airfoils:wing9.afl");
    v.autoset_veh(0);

    EXPECT_EQ(std::vector<float>({v.part[8].x, v.wing[8].root_chord, v.part[8].tex.s1[0]}),
              std::vector<float>({-3.0f, 1.5f, 0.75f}));
    EXPECT_STREQ(v.wing[8].afl_file[0], "wing9.afl");
    EXPECT_EQ(std::vector<float>({v.part[41].x, v.part[41].y, v.part[41].z, v.wing[41].x_fac, v.part[41].tex.s1[0]}),
              std::vector<float>({-7.0f, 1.0f, 2.0f, -1.0f, 0.0f}));
    EXPECT_EQ(v.wing[41].is_left, 1);
}

TEST_F(Autoset, WingElementsGetControlRangesAreasAndChords)
{
    veh_class& v = veh[0];
    veh_wing_class& w = v.wing[11];  // wing 10 is its left twin
    w.semilen = 8.0f, w.els = 8, w.root_chord = 2.0f, w.tip_chord = 1.0f;
    w.ctl3[2] = w.ctl3[5] = 1;
    v.wing[10].semilen = 0.5f;          // fitted by its own span before it takes wing 11's
    veh_wing_class& bare = v.wing[13];  // fitted, but without elements
    bare.semilen = 1.0f;
    bare.el_area[0] = bare.el_mac[0] = 7.0f;
    v.wing[0].el_len = 1.0f;  // propulsor 0's blade, whose elements lie end to end
    v.wing[0].root_chord = v.wing[0].tip_chord = 1.0f;
    v.engn[0].el_ang_deg[0] = 90.0f;
    v.design.chord_frac[0][1] = 0.5f;
    v.autoset_veh(0);

    const veh_wing_class& twin = v.wing[10];
    EXPECT_EQ(std::vector<int>({w.ctl3_lo, w.ctl3_hi, w.ctl4_lo, w.ctl4_hi, twin.ctl3_lo, twin.ctl3_hi, bare.ctl3_lo,
                                bare.ctl3_hi, w.is_left, twin.is_left, v.part[11].station_count}),
              std::vector<int>({2, 6, 10, 0, 2, 6, 10, 0, 0, 1, 16}));
    EXPECT_EQ(std::vector<float>({w.el_len, w.x_fac, twin.x_fac, bare.el_len, bare.el_area[0], bare.el_mac[0],
                                  v.design.el_fac[11][8]}),
              std::vector<float>({1, 1, -1, 0, 7, 7, 1}));
    // Element 0: chords 2 and 1.875 (a factor of 0 counts as 1).
    EXPECT_NEAR(w.el_area[0], 1.9375f, 1e-6f);
    EXPECT_NEAR(w.el_mac[0], 1.93817204f, 1e-6f);
    EXPECT_NEAR(w.el_area[7], 1.0625f, 1e-6f);
    EXPECT_NEAR(v.wing[0].el_z[1], 1.5f, 1e-6f);
    EXPECT_NEAR(v.wing[0].el_x[1], 0.0f, 1e-6f);
}

TEST_F(Autoset, GearBodiesReferenceGearAndSummaryFlags)
{
    veh_class& v = test::good_design(0, 1, 9);
    veh_design_struct& d = v.design;
    struct gear_row {
        int type, ref_ok;
        float att_z;
    };
    const gear_row gears[] = {{2, 1, -3}, {2, 1, 3}, {1, 1, 10}, {3, 0, 20}};  // equal reach keeps the first
    for (size_t g = 0; g < 4; ++g)
        v.gear[g].type = gears[g].type, v.gear[g].ref_ok = gears[g].ref_ok, v.gear[g].att_z = gears[g].att_z;
    veh_gear_class& g0 = v.gear[0];
    g0.leg_len = 2.0f, g0.leg_shrink = 0.5f, g0.ang_a0_deg = 90.0f, g0.att_x = 1.0f, g0.att_y = 2.0f;
    g0.leg_add = 0.5f;
    v.door2[1].type = 1;
    v.wing[9].els = 2;
    v.wing[9].semilen = 1.0f;
    v.wing[9].ctl1[1] = 1;
    d.ctl1_val = 0.02f;
    v.engn[0].prop_type = 3;
    v.wing[17].els = 2;  // wing 16 is its left twin
    v.wing[17].ctl0[1] = 1;
    v.engn[2].engn_type = 4;
    v.part[79].nac_flag = 5;
    v.autoset_veh(0);

    EXPECT_EQ(std::vector<int>({d.gear_any, d.gear_far, d.has_ctl_a, d.has_ctl_b, d.has_ctl_c, d.has_kind3_prop,
                                d.kind3_prop_index, d.has_ctl_w16, v.part[79].nac_flag}),
              std::vector<int>({1, 0, 1, 0, 1, 1, 0, 1, 0}));
    EXPECT_NEAR(v.part[85].x, 3.0f, 1e-6f);
    EXPECT_NEAR(v.part[85].y, 2.5f, 1e-6f);
    EXPECT_NEAR(v.part[85].z, -3.0f, 1e-6f);
    EXPECT_EQ(std::vector<float>({g0.ext, g0.ang_a_deg}), std::vector<float>({1.0f, 90.0f}));
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
    EXPECT_NEAR(g[1].lo, 3.3f, 1e-5f);
    EXPECT_NEAR(g[1].hi, 16.5f, 1e-5f);
    EXPECT_NEAR(g[1].top, 22.0f, 1e-5f);
    EXPECT_EQ(std::vector<float>({d.vec_a[0], d.vec_a[1], d.vec_b[0], d.vec_b[1], d.sys_set[2], d.cus_fadec[0],
                                  d.cus_auto[1], d.arc_col[3], d.band[0]}),
              std::vector<float>({0.8f, 0.2f, 0.01f, 0, 0, 9, 10, 1, 0}));
    EXPECT_EQ(std::vector<int>({d.map_count, d.engn_map[0], d.prop_map[0], d.prop_map[2], d.map_mode, d.band_on}),
              std::vector<int>({1, 0, 0, 0, -1, 1}));

    struct row {
        int engines, engn_type, map_mode;
        float sfc_jet_1;
        int map_count, prop_map_2;
        float sfc_jet_2;
    };
    const row rows[] = {
        {0, 0, 0, 0.85f, 0, -1, 5},    // no engines: every propulsor maps to -1
        {2, 4, 0, 0.85f, 2, 1, 5},     // a jet with its consumption keeps entry 2
        {2, 4, 1, 0.0f, 1, 0, 35000},  // a jet without it gets the base values and entry 2
    };
    for (const row& r : rows) {
        veh_class& w = test::good_design(0, r.engines, 9);
        w.design.num_prop = 3;
        w.engn[0].engn_type = w.engn[1].engn_type = r.engn_type;
        w.design.sfc_jet[1] = r.sfc_jet_1;
        w.design.sfc_jet[2] = 5.0f;
        w.design.gauge[6].hi = 1.0f;  // one arc given: no arcs are derived
        w.design.map_mode = r.map_mode;
        w.autoset_veh(0);
        EXPECT_EQ(std::vector<float>({w.design.sfc_jet[1], w.design.sfc_jet[2], w.design.gauge[1].top}),
                  std::vector<float>({0.85f, r.sfc_jet_2, 0}))
            << "row " << (&r - rows);
        EXPECT_EQ(std::vector<int>({w.design.map_count, w.design.prop_map[2], w.design.map_mode}),
                  std::vector<int>({r.map_count, r.prop_map_2, -1}))
            << "row " << (&r - rows);
    }
}
