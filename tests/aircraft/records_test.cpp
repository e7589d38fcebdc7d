// The design and flight-state records: clearing, the attitude quaternion, and the two lists with their links.

#include "aircraft_fixture.h"

#include <cstring>

namespace {

bool all_zero(const void* data, size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

}  // namespace

using AircraftRecords = AircraftTest;

TEST_F(AircraftRecords, ClearingRefillsEveryComponentAndLinksThePartners)
{
    veh_class& v = veh[1];
    std::strcpy(v.design.tail_num, "N1");
    v.design.ins_id[299] = 42;
    std::strcpy(v.wing[55].afl_file[3], "old.afl");
    v.wpn[24].vec_bro.resize(3);
    v.engn.resize(3);
    v.att2.clear();
    v.end_word1 = 7;
    v.end_text2 = "kept";
    flt[1].state.heading_deg = 30.0f;
    flt[1].state.fail_engn[7] = 6;
    flt[1].wing.clear();

    v.clear_veh(1);
    flt[1].clear_flt(1);

    const size_t sizes[] = {v.engn.size(), v.wing.size(), v.part.size(), v.gear.size(), v.door.size(), v.door2.size(),
                            v.att.size(),  v.att2.size(), v.afl.size(),  v.wpn.size(),  v.obj.size()};
    const size_t expected[] = {8, 56, 95, 10, 20, 4, 24, 24, 56, 25, 24};
    for (size_t k = 0; k < std::size(expected); ++k)
        EXPECT_EQ(sizes[k], expected[k]) << "vector " << k;
    EXPECT_TRUE(all_zero(&v.design, sizeof v.design));
    EXPECT_TRUE(all_zero(v.wing.data(), sizeof(veh_wing_class) * v.wing.size()));
    for (const wpn_class& w : v.wpn)
        EXPECT_TRUE(w.vec_bro.empty());
    EXPECT_EQ(v.end_word1, 7);
    EXPECT_EQ(v.end_text2, "kept");

    const flt_class& f = flt[1];
    EXPECT_EQ(f.engn.size(), 8u);
    EXPECT_EQ(f.wing.size(), 56u);
    EXPECT_EQ(f.gear.size(), 10u);
    EXPECT_EQ(f.part.size(), 95u);
    EXPECT_EQ(f.state.heading_deg, 0.0f);
    EXPECT_EQ(f.state.fail_engn[7], 0);
    EXPECT_EQ(f.state.q[0], 1.0f);
    EXPECT_EQ(f.state.q[1], 0.0f);
    EXPECT_EQ(f.state.q[2], 0.0f);
    EXPECT_EQ(f.state.q[3], 0.0f);

    EXPECT_EQ(v.flt_link, &flt[1]);
    EXPECT_EQ(v.flt_link->veh_link, &v);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(AircraftRecords, QuaternionIsStoredAsQ0Q3Q2Q1)
{
    constexpr float half = 0.70710678f;  // cos 45 = sin 45
    struct row {
        float heading, pitch, roll;
        float q[4];  // stored order
    };
    const row rows[] = {
        {0, 0, 0, {1, 0, 0, 0}},        {90, 0, 0, {half, half, 0, 0}}, {0, 90, 0, {half, 0, half, 0}},
        {0, 0, 90, {half, 0, 0, half}}, {180, 0, 0, {0, 1, 0, 0}},      {0, 0, -90, {half, 0, 0, -half}},
    };
    for (const row& r : rows) {
        flt_class& f = flt[0];
        f.state.heading_deg = r.heading;
        f.state.pitch_deg = r.pitch;
        f.state.roll_deg = r.roll;
        f.angles_to_q();
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(f.state.q[k], r.q[k], 1e-6f) << r.heading << " " << r.pitch << " " << r.roll << " q" << k;
    }
}

TEST_F(AircraftRecords, SizingKeepsEntriesClearsNewOnesAndRelinksAll)
{
    veh[1].design.vne = 123.0f;
    size_aircraft_lists(40);  // the entries move
    ASSERT_EQ(veh.size(), 40u);
    ASSERT_EQ(flt.size(), 40u);
    EXPECT_EQ(veh[1].design.vne, 123.0f);
    EXPECT_EQ(flt[39].state.q[0], 1.0f);
    EXPECT_EQ(veh[39].wing.size(), 56u);
    for (size_t i = 0; i < veh.size(); ++i) {
        EXPECT_EQ(veh[i].flt_link, &flt[i]);
        EXPECT_EQ(flt[i].veh_link, &veh[i]);
    }
    size_aircraft_lists(1);
    EXPECT_EQ(veh[0].flt_link->veh_link, &veh[0]);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(AircraftRecords, AnIndexOutsideTheListsIsTheMisuseAlert)
{
    struct row {
        std::function<void()> call;
        const char *l1, *l2, *l3;
    };
    const row rows[] = {
        {[] { veh[0].clear_veh(2); }, "Bad aircraft index!", "clear_veh", "2"},
        {[] { flt[0].clear_flt(-1); }, "Bad aircraft index!", "clear_flt", "-1"},
        {[] { veh[0].check_veh(5); }, "Bad aircraft index!", "check_veh", "5"},
        {[] { size_aircraft_lists(-3); }, "Bad aircraft count!", "size_aircraft_lists", "-3"},
    };
    for (const row& r : rows) {
        const test::recorded_alert a = test::expect_fatal(r.call);
        EXPECT_EQ(a.l1, r.l1);
        EXPECT_EQ(a.l2, r.l2);
        EXPECT_EQ(a.l3, r.l3);
        EXPECT_EQ(a.type, ALERT_FATAL);
    }
    EXPECT_EQ(veh.size(), 2u);
}
