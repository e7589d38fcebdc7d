// Presence queries, engine control kind and foil points.

#include "aircraft_fixture.h"

#include <tuple>

using AircraftQueries = AircraftTest;

TEST_F(AircraftQueries, EngineSearchesFollowTheTypeClasses)
{
    // type, num_engn, index, failure, then the answers of searches 0 (any), 1 (turns a propulsor),
    // 2 (reciprocating), 3 (jet), 4 (rocket)
    const std::tuple<int, int, int, int, const char*> rows[] = {
        {0, 1, 0, 0, "11100"}, {2, 1, 0, 0, "11000"}, {4, 1, 0, 0, "10010"}, {6, 1, 0, 0, "10001"},
        {7, 1, 0, 0, "11001"}, {7, 1, 0, 6, "00000"}, {0, 3, 3, 0, "00000"}, {0, 12, 9, 0, "00000"},
    };
    veh_class& v = veh[0];
    for (const auto& [type, num_engn, index, failure, answers] : rows) {
        v.design.num_engn = num_engn;
        for (veh_engn_class& e : v.engn)
            e.engn_type = type;
        flt[0].state.fail_engn[0] = flt[0].state.fail_engn[3] = static_cast<unsigned char>(failure);
        for (int search = 0; search < 5; ++search)
            EXPECT_EQ(v.has_this_engn(index, search), answers[search] == '1')
                << "type " << type << " engine " << index << " failure " << failure << " search " << search;
    }
    EXPECT_EQ(test::expect_fatal([&] { (void)v.has_this_engn(0, 5); }).l1, "Bad has_this_engn search type!");
    EXPECT_EQ(test::expect_fatal([&] { (void)v.has_this_thru(0, 4); }).l1, "Bad has_this_thru search type!");
    EXPECT_EQ(test::expect_fatal([&] { (void)v.has_this_part(95); }).l1, "Bad has_this_part search type!");
}

TEST_F(AircraftQueries, PropulsorsCountUnlessCutLostOrWithoutAPropulsor)
{
    // num_engn, num_prop, type, prop_type, thru_cut, cut_val, failure, then searches 5 (in use) and 6 (driven)
    // for propulsor 1
    const std::tuple<int, int, int, int, int, float, int, bool, bool> rows[] = {
        {2, 2, 4, 0, 0, 0.0f, 0, true, false},   {1, 2, 4, 0, 0, 0.0f, 0, true, true},
        {1, 2, 0, 8, 0, 0.0f, 0, true, false},   {2, 1, 0, 0, 0, 0.0f, 0, false, false},
        {2, 2, 0, 0, 1, 90.0f, 0, false, false}, {2, 2, 0, 0, 1, 89.9f, 0, true, true},
        {2, 2, 0, 0, 0, 95.0f, 0, true, true},   {2, 2, 0, 0, 0, 0.0f, 6, false, false},
    };
    veh_class& v = veh[0];
    for (const auto& [num_engn, num_prop, type, prop_type, thru_cut, cut_val, failure, in_use, driven] : rows) {
        v.design.num_engn = num_engn, v.design.num_prop = num_prop, v.design.thru_cut = thru_cut;
        v.engn[1].engn_type = type, v.engn[1].prop_type = prop_type;
        flt[0].engn[1].cut_val = cut_val;
        flt[0].state.fail_engn[1] = static_cast<unsigned char>(failure);
        SCOPED_TRACE(testing::Message() << "engines " << num_engn << " propulsors " << num_prop << " type " << type
                                        << " propulsor type " << prop_type << " cut " << thru_cut << " at " << cut_val
                                        << " failure " << failure);
        EXPECT_EQ(v.has_this_thru(1, SEARCH_PROPULSOR_IN_USE), in_use);
        EXPECT_EQ(v.has_this_thru(1, SEARCH_PROPULSOR_DRIVEN), driven);
        EXPECT_EQ(v.has_this_part(1), int(driven));
    }
}

TEST_F(AircraftQueries, LostWingsAndNacellesReadTheirOwnFailureBytes)
{
    // part, a wing failure byte (else an engine byte), that byte, expected
    const std::tuple<int, bool, int, int> rows[] = {
        {8, true, 0, 0},   {39, true, 31, 0}, {40, true, 22, 0}, {55, true, 37, 0}, {40, true, 32, 3},
        {77, false, 0, 0}, {84, false, 7, 0}, {85, false, 0, 3}, {94, true, 0, 3},
    };
    for (const auto& [part, wing_byte, failure_byte, expected] : rows) {
        flt[0].clear_flt(0);
        for (veh_part_class& p : veh[0].part)
            p.present = 3;
        (wing_byte ? flt[0].state.fail_wing : flt[0].state.fail_engn)[failure_byte] = FAILURE_LOST;
        const int alone = part < FIRST_BODY_PART ? veh[0].has_this_wing(part) : veh[0].has_this_body(part);
        EXPECT_EQ(alone, expected) << "part " << part << " byte " << failure_byte;
        EXPECT_EQ(veh[0].has_this_part(part), expected) << "part " << part << " byte " << failure_byte;
    }
    EXPECT_EQ(veh[0].has_this_wing(95) + veh[0].has_this_body(-1), 0);
}

TEST_F(AircraftQueries, FoilPointsOfBladesAndWings)
{
    veh_class& v = veh[0];
    // A blade of element length 2: element 0 along x from x = 1, element 9 turned 90 degrees up from z = 4.
    veh_wing_class& blade = v.wing[2];
    blade.el_len = 2.0f, blade.el_x[0] = 1.0f, blade.el_z[9] = 4.0f, v.engn[2].el_ang_deg[9] = 90.0f;
    // A left wing of span 6 shifted inboard by a quarter, flexed to twice its length.
    veh_wing_class& w = v.wing[10];
    w.el_len = 1.5f, w.semilen = 6.0f, w.span_shift_on = 1, w.span_shift = 0.25f, w.x_fac = -1.0f;
    w.root_chord = 2.0f, w.tip_chord = 1.0f;
    v.part[10].x = 3.0f, v.part[10].y = 0.5f, v.part[10].z = 10.0f;
    for (int k = 0; k < STATION_COUNT; ++k)
        v.design.chord_frac[10][k] = 0.1f * float(k);
    flt[0].wing[10] = {1.0f, 0.5f, 1.0f, 2.0f};  // dir_y, dir_x, dir_z, flex

    // foil, position, axis, expected
    const std::tuple<int, float, char, float> rows[] = {
        {2, -3.0f, 'X', -5.0f}, {2, 12.5f, 'Z', 11.0f}, {10, 2.0f, 'X', 1.5f},   {10, 2.0f, 'Y', 3.5f},
        {10, 2.5f, 'z', 12.7f}, {10, -3.0f, 'Z', 4.0f}, {10, 20.0f, 'Z', 40.0f}, {56, 1.0f, 'X', 0.0f},
    };
    for (const auto& [foil, pos, axis, expected] : rows)
        EXPECT_NEAR(v.get_foil_loc(foil, pos, axis), expected, 1e-5f)
            << "foil " << foil << " at " << pos << " " << axis;
}
