// Presence queries, engine control kind, missing fuel consumption and foil points.

#include "aircraft_fixture.h"

#include <algorithm>
#include <functional>

using AircraftQueries = AircraftTest;

TEST_F(AircraftQueries, EngineSearchesFollowTheTypeClasses)
{
    // Answers for searches 0 (any), 1 (turns a propulsor), 2 (reciprocating), 3 (jet), 4 (rocket).
    struct row {
        int type, num_engn, index;
        unsigned char failure;
        const char* answers;
    };
    const row rows[] = {
        {0, 1, 0, 0, "11100"},  {1, 1, 0, 0, "11100"},  {2, 1, 0, 0, "11000"}, {3, 1, 0, 0, "11000"},
        {4, 1, 0, 0, "10010"},  {5, 1, 0, 0, "10010"},  {6, 1, 0, 0, "10001"}, {7, 1, 0, 0, "11001"},
        {8, 1, 0, 0, "11000"},  {7, 1, 0, 6, "00000"},  {7, 1, 0, 5, "11001"}, {0, 3, 3, 0, "00000"},
        {0, 12, 9, 0, "00000"}, {0, 1, -1, 0, "00000"},
    };
    for (const row& r : rows) {
        veh_class& v = veh[0];
        v.design.num_engn = r.num_engn;
        for (veh_engn_class& e : v.engn)
            e.engn_type = r.type;
        flt[0].state.fail_engn[0] = flt[0].state.fail_engn[3] = r.failure;
        for (int search = 0; search < 5; ++search)
            EXPECT_EQ(v.has_this_engn(r.index, search), r.answers[search] == '1')
                << "type " << r.type << " engine " << r.index << " failure " << int(r.failure) << " search " << search;
    }
    EXPECT_EQ(test::expect_fatal([] { (void)veh[0].has_this_engn(0, 5); }).l1, "Bad has_this_engn search type!");
    EXPECT_EQ(test::expect_fatal([] { (void)veh[0].has_this_thru(0, 4); }).l1, "Bad has_this_thru search type!");
    EXPECT_EQ(test::expect_fatal([] { (void)veh[0].has_this_part(95); }).l1, "Bad has_this_part search type!");
    EXPECT_EQ(alerts().back().type, ALERT_FATAL);
}

TEST_F(AircraftQueries, PropulsorsCountUnlessCutLostOrWithoutAPropulsor)
{
    struct row {
        int num_engn, num_prop, type, prop_type, thru_cut;
        float cut_val;
        unsigned char failure;
        bool in_use, driven;  // searches 5 and 6 for propulsor 1
    };
    const row rows[] = {
        {2, 2, 0, 0, 0, 0.0f, 0, true, true},   {2, 2, 4, 0, 0, 0.0f, 0, true, false},
        {1, 2, 4, 0, 0, 0.0f, 0, true, true},   {1, 2, 0, 8, 0, 0.0f, 0, true, false},
        {2, 1, 0, 0, 0, 0.0f, 0, false, false}, {2, 2, 0, 0, 1, 90.0f, 0, false, false},
        {2, 2, 0, 0, 1, 89.9f, 0, true, true},  {2, 2, 0, 0, 0, 95.0f, 0, true, true},
        {2, 2, 0, 0, 0, 0.0f, 6, false, false},
    };
    for (const row& r : rows) {
        veh_class& v = veh[0];
        v.design.num_engn = r.num_engn;
        v.design.num_prop = r.num_prop;
        v.design.thru_cut = r.thru_cut;
        v.engn[1].engn_type = r.type;
        v.engn[1].prop_type = r.prop_type;
        flt[0].engn[1].cut_val = r.cut_val;
        flt[0].state.fail_engn[1] = r.failure;
        SCOPED_TRACE(testing::Message() << "engines " << r.num_engn << " propulsors " << r.num_prop << " type "
                                        << r.type << " kind " << r.prop_type << " cut " << r.cut_val);
        EXPECT_EQ(v.has_this_thru(1, SEARCH_PROPULSOR_IN_USE), r.in_use);
        EXPECT_EQ(v.has_this_thru(1, SEARCH_PROPULSOR_DRIVEN), r.driven);
        EXPECT_EQ(v.has_this_wing(1), int(r.driven));
        EXPECT_EQ(v.has_this_part(1), int(r.driven));
    }
    EXPECT_FALSE(veh[0].has_this_thru(8, SEARCH_PROPULSOR_IN_USE));
}

TEST_F(AircraftQueries, LostWingsAndNacellesReadTheirOwnFailureBytes)
{
    struct row {
        int part;
        bool wing_byte;  // else an engine byte
        int failure_byte;
        int expected;
    };
    const row rows[] = {
        {8, true, 0, 0},   {39, true, 31, 0}, {40, true, 22, 0}, {55, true, 37, 0},
        {40, true, 32, 3}, {30, true, 22, 0}, {77, false, 0, 0}, {84, false, 7, 0},
        {85, false, 0, 3}, {76, false, 0, 3}, {94, true, 0, 3},  {60, true, 0, 3},
    };
    for (const row& r : rows) {
        flt[0].clear_flt(0);
        veh_class& v = veh[0];
        for (veh_part_class& p : v.part)
            p.present = 3;
        (r.wing_byte ? flt[0].state.fail_wing : flt[0].state.fail_engn)[r.failure_byte] = FAILURE_LOST;
        EXPECT_EQ(v.has_this_part(r.part), r.expected) << "part " << r.part << " byte " << r.failure_byte;
        if (r.part < FIRST_BODY_PART)
            EXPECT_EQ(v.has_this_wing(r.part), r.expected) << "wing " << r.part;
        else
            EXPECT_EQ(v.has_this_body(r.part), r.expected) << "body " << r.part;
    }
    EXPECT_EQ(veh[0].has_this_wing(95), 0);
    EXPECT_EQ(veh[0].has_this_body(-1), 0);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(AircraftQueries, EachExistingEngineHasExactlyOneFadec)
{
    struct row {
        int type, helo_flag, has_kind3_prop, num_engn;
        bool helo, plane;
    };
    const row rows[] = {
        {0, 0, 0, 1, false, true}, {0, 1, 0, 1, true, false}, {3, 0, 1, 1, true, false},
        {4, 1, 0, 1, false, true}, {7, 1, 1, 1, true, false}, {0, 1, 0, 0, false, false},
    };
    for (const row& r : rows) {
        veh_class& v = veh[0];
        v.engn[0].engn_type = r.type;
        v.design.helo_flag = r.helo_flag;
        v.design.has_kind3_prop = r.has_kind3_prop;
        v.design.num_engn = r.num_engn;
        EXPECT_EQ(v.eng_has_helo_fadec(0), r.helo) << "type " << r.type << " helo " << r.helo_flag;
        EXPECT_EQ(v.eng_has_plane_fadec(0), r.plane) << "type " << r.type << " helo " << r.helo_flag;
    }
}

TEST_F(AircraftQueries, ZeroSfcLooksAtTheTableOfTheEngineType)
{
    struct row {
        int type;
        std::function<void(veh_design_struct&)> zero;
        bool expected;
    };
    const row rows[] = {
        {6, [](veh_design_struct& d) { d.sfc_rocket = 0; }, true},
        {7, [](veh_design_struct& d) { d.sfc_rocket = 0; }, true},
        {7, [](veh_design_struct& d) { d.sfc_prop[0] = 0; }, false},
        {4, [](veh_design_struct& d) { d.sfc_jet[4] = 0; }, true},
        {5, [](veh_design_struct& d) { d.sfc_jet[2] = 0, d.sfc_jet[5] = 0; }, false},
        {5, [](veh_design_struct& d) { d.sfc_prop[1] = 0; }, false},
        {8, [](veh_design_struct& d) { d.sfc_prop[1] = 0; }, true},
        {2, [](veh_design_struct& d) { d.sfc_prop[3] = 0; }, true},
        {3, [](veh_design_struct& d) { std::fill(d.sfc_prop, d.sfc_prop + 6, 0.0f); }, false},
        {0, [](veh_design_struct&) {}, false},
    };
    for (size_t k = 0; k < std::size(rows); ++k) {
        veh_class& v = test::good_design(0);
        v.engn[0].engn_type = rows[k].type;
        rows[k].zero(v.design);
        EXPECT_EQ(v.zero_sfc(0), rows[k].expected) << "row " << k;
    }
    EXPECT_FALSE(veh[0].zero_sfc(8));
}

TEST_F(AircraftQueries, FoilPointsOfBladesAndWings)
{
    veh_class& v = veh[0];
    // A blade: element 0 straight along x from x = 1, element 9 turned 90 degrees up from z = 4.
    v.wing[2].el_len = 2.0f;
    v.wing[2].el_x[0] = 1.0f;
    v.wing[2].el_y[9] = 7.0f;
    v.wing[2].el_z[9] = 4.0f;
    v.engn[2].el_ang_deg[9] = 90.0f;
    // A left wing shifted inboard by a quarter of its 6-unit span.
    veh_wing_class& w = v.wing[10];
    w.el_len = 1.5f;
    w.semilen = 6.0f;
    w.span_shift_on = 1;
    w.span_shift = 0.25f;
    w.x_fac = -1.0f;
    w.root_chord = 2.0f;
    w.tip_chord = 1.0f;
    v.part[10].x = 3.0f;
    v.part[10].y = 0.5f;
    v.part[10].z = 10.0f;
    for (int k = 0; k < STATION_COUNT; ++k)
        v.design.chord_frac[10][k] = 0.1f * float(k);
    flt[0].wing[10] = {1.0f, 0.5f, 1.0f, 2.0f};  // dir_y, dir_x, dir_z, flex

    struct row {
        int foil;
        float pos;
        char axis;
        float expected;
    };
    const row rows[] = {
        {2, -3.0f, 'X', -5.0f}, {2, 12.5f, 'Z', 11.0f},  {2, 12.5f, 'Y', 7.0f},  {2, 12.5f, 'X', 0.0f},
        {10, 2.0f, 'X', 1.5f},  {10, 2.0f, 'Y', 3.5f},   {10, 2.0f, 'Z', 11.8f}, {10, 2.5f, 'Z', 12.7f},
        {10, -3.0f, 'Z', 4.0f}, {10, 20.0f, 'Z', 40.0f}, {10, 2.0f, 'z', 11.8f}, {56, 1.0f, 'X', 0.0f},
    };
    for (const row& r : rows)
        EXPECT_NEAR(v.get_foil_loc(r.foil, r.pos, r.axis), r.expected, 1e-5f)
            << "foil " << r.foil << " at " << r.pos << " " << r.axis;
}
