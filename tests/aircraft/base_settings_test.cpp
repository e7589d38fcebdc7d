// Base settings: fuel consumption per engine type, autopilot constants, texture layouts, door geometry and
// airfoil names.

#include "aircraft_fixture.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr float S = 7.0f;  // a value no base setting writes

void expect_floats(const float* got, std::initializer_list<float> expected, const char* what)
{
    int k = 0;
    for (float e : expected) {
        EXPECT_NEAR(got[k], e, std::max(1e-6f, std::abs(e) * 1e-5f)) << what << "[" << k << "]";
        ++k;
    }
}

}  // namespace

using BaseSettings = AircraftTest;

TEST_F(BaseSettings, BaseFuelConsumptionPerEngineType)
{
    struct row {
        int type;
        float prop[6], jet[6], rocket;
    };
    const row rows[] = {
        {0, {0.44f, 0.44f, S, 0.44f, 0.44f, 0.25f}, {S, S, S, S, S, S}, S},
        {1, {0.40f, 0.40f, S, 0.40f, 0.40f, 0.25f}, {S, S, S, S, S, S}, S},
        {2, {0.70f, 0.70f, S, 0.70f, 0.70f, 0.25f}, {S, S, S, S, S, S}, S},
        {8, {0.60f, 0.60f, S, 0.60f, 0.60f, 0.25f}, {S, S, S, S, S, S}, S},
        {3, {0, 0, S, 0, 0, 0}, {S, S, S, S, S, S}, S},
        {4, {S, S, S, S, S, S}, {0.85f, 0.85f, S, 0.85f, 0.85f, 0.1f}, S},
        {5, {S, S, S, S, S, S}, {0.55f, 0.55f, S, 0.55f, 0.55f, 0.1f}, S},
        {6, {S, S, S, S, S, S}, {S, S, S, S, S, S}, 9.97f},
        {7, {S, S, S, S, S, S}, {S, S, S, S, S, S}, 13.5f},
        {9, {S, S, S, S, S, S}, {S, S, S, S, S, S}, S},
        {-1, {S, S, S, S, S, S}, {S, S, S, S, S, S}, S},
    };
    for (const row& r : rows) {
        veh_design_struct& d = veh[0].design;
        std::fill(d.sfc_prop, d.sfc_prop + 6, S);
        std::fill(d.sfc_jet, d.sfc_jet + 6, S);
        d.sfc_rocket = S;
        veh[0].set_base_sfc(r.type);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(d.sfc_prop[k], r.prop[k]) << "type " << r.type << " sfc_prop[" << k << "]";
            EXPECT_EQ(d.sfc_jet[k], r.jet[k]) << "type " << r.type << " sfc_jet[" << k << "]";
        }
        EXPECT_EQ(d.sfc_rocket, r.rocket) << "type " << r.type;
    }
}

TEST_F(BaseSettings, AutopilotConstantsFollowTheMaximumWeight)
{
    struct row {
        float weight_kg;
        float rate, gain;  // hand-computed from the weight in pounds
    };
    const row rows[] = {
        {0.0f, 30.0f, 1.0f},
        {-1000.0f, 30.0f, 1.0f},               // factor above 1: the light rate, gain held at 1
        {200000.0f, 14.1267216f, 8.9366392f},  // 440,924.4 lb
        {500000.0f, 12.0f, 10.0f},             // 1,102,311 lb: factor below 0.4, gain held at 10
    };
    for (const row& r : rows) {
        veh_class& v = veh[0];
        v.design.weight_max = r.weight_kg;
        v.design.cus_auto[9] = S;
        v.set_cus_auto();
        const float g = r.gain, t = r.rate;
        SCOPED_TRACE(r.weight_kg);
        expect_floats(v.design.cus_auto, {0.1f, 10, 20, 10, 0.2f * g, t, 4, 10, 8, S, 4, 0.1f * g, t, 4, 0.2f},
                      "cus_auto");
    }
    veh[0].set_cus_fadec();
    expect_floats(veh[0].design.cus_fadec, {0.004f, 0.01f, 0.01f}, "cus_fadec");
}

TEST_F(BaseSettings, TextureLayoutsOfBothAircraftKinds)
{
    struct row {
        int p, part, small;
        int s1[2], s2[2], t1[2], t2[2];  // pixels; t in 256ths for small-texture parts
    };
    const row rows[] = {
        {0, 0, 0, {0, 0}, {16, 16}, {262, 262}, {390, 390}},
        {1, 3, 0, {16, 16}, {0, 0}, {262, 262}, {389, 389}},
        {0, 13, 0, {522, 522}, {646, 646}, {305, 305}, {520, 520}},
        {1, 13, 0, {522, 522}, {646, 646}, {262, 262}, {393, 393}},
        {0, 18, 0, {18, 270}, {268, 520}, {0, 0}, {259, 259}},
        {1, 19, 0, {18, 270}, {268, 520}, {261, 261}, {520, 520}},
        {0, 20, 1, {0, 0}, {128, 128}, {129, 129}, {256, 256}},
        {0, 22, 1, {255, 255}, {384, 384}, {129, 129}, {256, 256}},
        {0, 27, 1, {895, 895}, {1024, 1024}, {129, 129}, {256, 256}},
        {0, 30, 1, {895, 895}, {1024, 1024}, {129, 129}, {256, 256}},
        {0, 56, 0, {0, 0}, {772, 772}, {774, 522}, {1024, 772}},
        {0, 57, 1, {0, 0}, {128, 128}, {0, 0}, {127, 127}},
        {1, 57, 0, {522, 522}, {772, 772}, {395, 395}, {520, 520}},
        {0, 64, 1, {895, 895}, {1024, 1024}, {0, 0}, {127, 127}},
        {1, 70, 1, {895, 895}, {1024, 1024}, {0, 0}, {127, 127}},
        {0, 80, 0, {774, 774}, {1024, 1024}, {900, 774}, {1024, 898}},
        {1, 90, 0, {648, 648}, {772, 772}, {261, 261}, {303, 303}},
    };
    for (const row& r : rows) {
        veh_class& v = veh[size_t(r.p)];
        v.set_base_st(r.p);
        const veh_part_class& part = v.part[size_t(r.part)];
        SCOPED_TRACE(testing::Message() << "aircraft " << r.p << " part " << r.part);
        EXPECT_EQ(part.small_tex, r.small);
        const float d = r.small ? 256.0f : 1024.0f;
        for (int c = 0; c < 2; ++c) {
            EXPECT_FLOAT_EQ(part.tex.s1[c], r.s1[c] / 1024.0f);
            EXPECT_FLOAT_EQ(part.tex.s2[c], r.s2[c] / 1024.0f);
            EXPECT_FLOAT_EQ(part.tex.t1[c], r.t1[c] / d);
            EXPECT_FLOAT_EQ(part.tex.t2[c], r.t2[c] / d);
        }
    }

    const veh_design_struct& first = veh[0].design;
    const veh_design_struct& second = veh[1].design;
    constexpr float px = 1.0f / 1024.0f;
    expect_floats(first.tex_pair.s1, {522 * px, 566 * px}, "first s1");
    expect_floats(first.tex_pair.t1, {261 * px, 261 * px}, "first t1");
    expect_floats(first.tex_pair.s2, {564 * px, 646 * px}, "first s2");
    expect_floats(first.tex_pair.t2, {303 * px, 303 * px}, "first t2");
    expect_floats(second.tex_pair.t1, {0, 40 * px}, "second t1");
    expect_floats(second.tex_pair.t2, {10 * px, 80 * px}, "second t2");
    EXPECT_FLOAT_EQ(second.tex_row_t1[9], 132 * px);
    EXPECT_FLOAT_EQ(second.tex_row_t2[9], 259 * px);

    // Doors and the first 24 weapons; the third door copy and the last weapon stay as they were.
    veh_class& v = veh[0];
    v.door[19].tex.t2[2] = S;
    v.wpn[24].body.tex.t2[0] = S;
    v.set_base_st(0);
    expect_floats(v.door[19].tex.t1, {393 * px, 393 * px, 0}, "door t1");
    expect_floats(v.door[19].tex.t2, {520 * px, 520 * px, S}, "door t2");
    expect_floats(v.door2[3].tex.t2, {129 * px, 129 * px, 0}, "door2 t2");
    expect_floats(v.wpn[23].body.tex.t1, {512 * px, 0}, "weapon t1");
    expect_floats(v.wpn[23].body.tex.t2, {1.0f, 512 * px}, "weapon t2");
    expect_floats(v.wpn[23].body.tex.s2, {520 * px, 520 * px}, "weapon s2");
    EXPECT_EQ(v.wpn[24].body.tex.t2[0], S);
}

TEST_F(BaseSettings, DoorGridAndArea)
{
    struct row {
        const char* shape;
        float p1[3], p2[3], p3[3], p4[3];
        float area, x21, y21;  // geo[2][1]: two thirds along the edges, one third across
    };
    const row rows[] = {
        {"square of side 3", {0, 0, 0}, {3, 0, 0}, {3, 3, 0}, {0, 3, 0}, 9.0f, 1.0f, 2.0f},
        {"parallelogram", {0, 0, 0}, {3, 0, 0}, {4, 3, 0}, {1, 3, 0}, 9.0f, 5.0f / 3, 2.0f},
        {"trapezoid", {0, 0, 0}, {4, 0, 0}, {3, 2, 0}, {1, 2, 0}, 6.0f, 14.0f / 9, 4.0f / 3},
        {"edge-on, one x", {2, 0, 0}, {2, 1, 5}, {2, 3, 5}, {2, 2, 0}, 0.0f, 2.0f, 5.0f / 3},
    };
    for (const row& r : rows) {
        veh_door_class door{};
        float p1[3], p2[3], p3[3], p4[3];
        std::copy(r.p1, r.p1 + 3, p1);
        std::copy(r.p2, r.p2 + 3, p2);
        std::copy(r.p3, r.p3 + 3, p3);
        std::copy(r.p4, r.p4 + 3, p4);
        door.set_door_geo(p1, p2, p3, p4);
        SCOPED_TRACE(r.shape);
        EXPECT_NEAR(door.area, r.area, 1e-5f);
        EXPECT_NEAR(door.geo[2][1][0], r.x21, 1e-5f);
        EXPECT_NEAR(door.geo[2][1][1], r.y21, 1e-5f);
        expect_floats(door.geo[0][0], {r.p1[0], r.p1[1], r.p1[2]}, "corner p1");
        expect_floats(door.geo[3][3], {r.p3[0], r.p3[1], r.p3[2]}, "corner p3");
    }
}

TEST_F(BaseSettings, AirfoilPathsKeepTheirFileName)
{
    struct row {
        const char *path, *name;
    };
    const row rows[] = {
        {"Airfoils:NACA 0009 (symmetrical).afl", "NACA 0009 (symmetrical).afl"},
        {"C:\\foils/f.afl", "f.afl"},
        {"abc:", "abc:"},  // a separator in last place is no folder
        {":a", "a"},       // only the leading separator goes
        {"x:a", "a"},
        {"a//b", "b"},
        {"/lead.afl", "lead.afl"},
        {"plain.afl", "plain.afl"},
        {"a", ""},
        {"", ""},
    };
    for (const row& r : rows) {
        char field[NAME_CHARS] = {};
        std::strcpy(field, r.path);
        set_afl_path(field);
        EXPECT_STREQ(field, r.name) << r.path;
    }
    EXPECT_TRUE(alerts().empty());

    // The length limit applies to what is kept, not to what was given.
    std::string path = std::string(100, 'd') + ":" + std::string(600, 'n');
    const test::recorded_alert a = test::expect_fatal([&] { set_afl_path(path.data()); });
    EXPECT_EQ(a.l1, "String too long!");
    path = std::string(600, 'd') + ":" + std::string(20, 'n');
    set_afl_path(path.data());
    EXPECT_STREQ(path.c_str(), std::string(20, 'n').c_str());
}
