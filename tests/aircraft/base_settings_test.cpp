// Base settings: fuel consumption, autopilot constants, texture layouts, door geometry and airfoil names.

#include "aircraft_fixture.h"

#include <array>
#include <cstring>
#include <string>
#include <tuple>

using BaseSettings = AircraftTest;

TEST_F(BaseSettings, FuelConsumptionAndAutopilotConstants)
{
    veh_design_struct& d = veh[0].design;
    std::fill(d.sfc_prop, d.sfc_prop + 6, 7.0f);
    veh[0].set_base_sfc(9);  // no such type: nothing changes
    veh[0].set_base_sfc(3);  // entry 2 is never written
    EXPECT_EQ(std::vector<float>(d.sfc_prop, d.sfc_prop + 6), std::vector<float>({0, 0, 7, 0, 0, 0}));

    // weight in kg, then rate and gain hand-computed from the weight in pounds
    const std::tuple<float, float, float> rows[] = {
        {-1000.0f, 30.0f, 1.0f},               // factor above 1: the light rate, gain held at 1
        {200000.0f, 14.1267216f, 8.9366392f},  // 440,924.4 lb
        {500000.0f, 12.0f, 10.0f},             // 1,102,311 lb: factor below 0.4, gain held at 10
    };
    for (const auto& [weight_kg, t, g] : rows) {
        d.weight_max = weight_kg;
        d.cus_auto[9] = 7.0f;  // the designer's own
        veh[0].set_cus_auto();
        const float expected[15] = {0.1f, 10, 20, 10, 0.2f * g, t, 4, 10, 8, 7, 4, 0.1f * g, t, 4, 0.2f};
        for (int k = 0; k < 15; ++k)
            EXPECT_NEAR(d.cus_auto[k], expected[k], expected[k] * 1e-6f) << weight_kg << " kg, entry " << k;
    }
}

TEST_F(BaseSettings, TextureLayoutsOfBothAircraftKinds)
{
    // aircraft, part, small texture, then s1, s2, t1, t2 of both copies in pixels (t in 256ths for small ones)
    using pair = std::array<int, 2>;
    const std::tuple<int, int, int, pair, pair, pair, pair> rows[] = {
        {1, 3, 0, {16, 16}, {0, 0}, {262, 262}, {389, 389}},
        {0, 18, 0, {18, 270}, {268, 520}, {0, 0}, {259, 259}},
        {0, 22, 1, {255, 255}, {384, 384}, {129, 129}, {256, 256}},
        {0, 56, 0, {0, 0}, {772, 772}, {774, 522}, {1024, 772}},
        {1, 57, 0, {522, 522}, {772, 772}, {395, 395}, {520, 520}},
        {0, 80, 0, {774, 774}, {1024, 1024}, {900, 774}, {1024, 898}},
    };
    for (const auto& [p, index, small, s1, s2, t1, t2] : rows) {
        veh[size_t(p)].set_base_st(p);
        const veh_part_class& part = veh[size_t(p)].part[size_t(index)];
        const float d = small ? 256.0f : 1024.0f;
        EXPECT_EQ(part.small_tex, small) << "aircraft " << p << " part " << index;
        for (size_t c = 0; c < 2; ++c)
            EXPECT_EQ(std::vector<float>({part.tex.s1[c], part.tex.s2[c], part.tex.t1[c], part.tex.t2[c]}),
                      std::vector<float>({s1[c] / 1024.0f, s2[c] / 1024.0f, t1[c] / d, t2[c] / d}))
                << "aircraft " << p << " part " << index << " copy " << c;
    }

    // Doors and the first 24 weapons; the third door copy and the last weapon stay as they were.
    constexpr float px = 1.0f / 1024.0f;
    veh_class& v = veh[0];
    v.door[19].tex.t2[2] = v.wpn[24].body.tex.t2[0] = 7.0f;
    v.set_base_st(0);
    EXPECT_EQ(std::vector<float>(v.door[19].tex.t2, v.door[19].tex.t2 + 3),
              std::vector<float>({520 * px, 520 * px, 7}));
    EXPECT_EQ(std::vector<float>(v.wpn[23].body.tex.t1, v.wpn[23].body.tex.t1 + 2), std::vector<float>({512 * px, 0}));
    EXPECT_EQ(v.wpn[24].body.tex.t2[0], 7.0f);
}

TEST_F(BaseSettings, DoorGridAndArea)
{
    // Corners, area, then x and y of geo[2][1]: two thirds along, one third across.
    using point = std::array<float, 3>;
    std::tuple<point, point, point, point, float, float, float> rows[] = {
        {{0, 0, 0}, {3, 0, 0}, {3, 3, 0}, {0, 3, 0}, 9.0f, 1.0f, 2.0f},           // square of side 3
        {{0, 0, 0}, {4, 0, 0}, {3, 2, 0}, {1, 2, 0}, 6.0f, 14.0f / 9, 4.0f / 3},  // trapezoid
        {{2, 0, 0}, {2, 1, 5}, {2, 3, 5}, {2, 2, 0}, 0.0f, 2.0f, 5.0f / 3},       // edge-on: one x
    };
    for (auto& [p1, p2, p3, p4, area, x21, y21] : rows) {
        veh_door_class door{};
        door.set_door_geo(p1.data(), p2.data(), p3.data(), p4.data());
        EXPECT_NEAR(door.area, area, 1e-5f) << area;
        EXPECT_NEAR(door.geo[2][1][0], x21, 1e-5f) << area;
        EXPECT_NEAR(door.geo[2][1][1], y21, 1e-5f) << area;
    }
}

TEST_F(BaseSettings, AirfoilPathsKeepTheirFileName)
{
    const std::pair<const char*, const char*> rows[] = {
        {"Airfoils:NACA 0009 (symmetrical).afl", "NACA 0009 (symmetrical).afl"},
        {"C:\\foils/f.afl", "f.afl"},
        {"abc:", "abc:"},
        {":a", "a"},
        {"/lead.afl", "lead.afl"},
        {"a", ""},
        {"", ""},
    };
    for (const auto& [path, name] : rows) {
        char field[NAME_CHARS] = {};
        std::strcpy(field, path);
        set_afl_path(field);
        EXPECT_STREQ(field, name) << path;
    }
    // The length limit applies to what is kept, not to what was given.
    std::string path = std::string(600, 'd') + ":" + std::string(20, 'n');
    set_afl_path(path.data());
    EXPECT_STREQ(path.c_str(), std::string(20, 'n').c_str());
    EXPECT_TRUE(alerts().empty());
    path = std::string(100, 'd') + ":" + std::string(600, 'n');
    EXPECT_EQ(test::expect_fatal([&] { set_afl_path(path.data()); }).l1, "String too long!");
}
