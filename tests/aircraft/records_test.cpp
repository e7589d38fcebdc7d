// The design and flight-state records: clearing, the attitude quaternion, and the two lists with their links.

#include "aircraft_fixture.h"

#include <array>
#include <cstring>
#include <tuple>

using AircraftRecords = AircraftTest;

TEST_F(AircraftRecords, ClearingRefillsEveryComponentKeepsTheEndWordsAndLinksThePartners)
{
    veh_class& v = veh[1];
    std::strcpy(v.wing[55].afl_file[3], "old.afl");
    v.wpn[24].vec_bro.resize(3);
    v.engn.resize(3), v.att2.clear(), flt[1].wing.clear();
    v.end_word1 = 7;
    flt[1].state.heading_deg = 30.0f;
    v.clear_veh(1);
    flt[1].clear_flt(1);

    const std::vector<size_t> sizes = {v.engn.size(),      v.wing.size(),      v.part.size(),     v.gear.size(),
                                       v.door.size(),      v.door2.size(),     v.att.size(),      v.att2.size(),
                                       v.afl.size(),       v.wpn.size(),       v.obj.size(),      flt[1].engn.size(),
                                       flt[1].wing.size(), flt[1].gear.size(), flt[1].part.size()};
    EXPECT_EQ(sizes, std::vector<size_t>({8, 56, 95, 10, 20, 4, 24, 24, 56, 25, 24, 8, 56, 10, 95}));
    EXPECT_EQ(v.wing[55].afl_file[3][0], '\0');
    EXPECT_TRUE(v.wpn[24].vec_bro.empty());
    EXPECT_EQ(v.end_word1, 7);
    EXPECT_EQ(std::vector<float>(flt[1].state.q, flt[1].state.q + 4), std::vector<float>({1, 0, 0, 0}));
    EXPECT_EQ(v.flt_link->veh_link, &v);
}

TEST_F(AircraftRecords, QuaternionIsStoredAsQ0Q3Q2Q1)
{
    constexpr float half = 0.70710678f;  // cos 45 = sin 45
    // heading, pitch, roll, then q0 .. q3 as stored
    const std::tuple<float, float, float, std::array<float, 4>> rows[] = {
        {90, 0, 0, {half, half, 0, 0}}, {0, 90, 0, {half, 0, half, 0}}, {0, 0, -90, {half, 0, 0, -half}}};
    for (const auto& [heading, pitch, roll, q] : rows) {
        flt_state_struct& s = flt[0].state;
        s.heading_deg = heading, s.pitch_deg = pitch, s.roll_deg = roll;
        flt[0].angles_to_q();
        for (size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(s.q[k], q[k], 1e-6f) << heading << " " << pitch << " " << roll << " q" << k;
    }
}

TEST_F(AircraftRecords, SizingKeepsEntriesClearsNewOnesAndRelinksAllAndRefusesBadIndices)
{
    veh[1].design.vne = 123.0f;
    size_aircraft_lists(40);  // every entry moves
    EXPECT_EQ(veh[1].design.vne, 123.0f);
    EXPECT_EQ(flt[39].state.q[0], 1.0f);
    for (size_t i = 0; i < 40; ++i)
        EXPECT_TRUE(veh[i].flt_link == &flt[i] && flt[i].veh_link == &veh[i]) << i;

    const std::pair<std::function<void()>, std::vector<std::string>> misuse[] = {
        {[] { veh[0].clear_veh(40); }, {"Bad aircraft index!", "clear_veh", "40"}},
        {[] { veh[0].check_veh(-1); }, {"Bad aircraft index!", "check_veh", "-1"}},
        {[] { size_aircraft_lists(-3); }, {"Bad aircraft count!", "size_aircraft_lists", "-3"}},
    };
    for (const auto& [call, lines] : misuse) {
        const test::recorded_alert a = test::expect_fatal(call);
        EXPECT_EQ(std::vector<std::string>({a.l1, a.l2, a.l3}), lines);
    }
}
