// Old aircraft files: both byte orders and versions through the real reader, refused files, the 700 upgrade,
// the repairs and index rules of the conversion, every routed group, and the instrument id maps.

#include "aircraft_fixture.h"
#include "support/file_bytes.h"
#include "support/old_files.h"
#include "support/temp_folder.h"

#include <cmath>
#include <set>

namespace {

using test::byte_order;
using test::old_record;

// Words of old_veh in this machine's order.
const auto old_as = [](size_t offset) {
    float value;
    std::memcpy(&value, old_veh + offset, 4);
    return value;
};
const auto old_int = [](size_t offset) { return std::bit_cast<int32_t>(old_as(offset)); };
const auto put_old = [](size_t offset, auto value) { std::memcpy(old_veh + offset, &value, 4); };

// One aircraft in the layout of `version`; both versions describe the same aircraft.
old_record sample_aircraft(byte_order order, int version)
{
    old_record r(OLD_VEH_BYTES, order);
    r.put_text(1004, std::string(36, 'T'), 36);  // fills its field: no NUL
    r.put_text(1044, "first note", 496);
    r.put_text(646098, std::string(40, 'n'), 40);
    r.put_text(11244 + 2920 * 2 + 40 * 3, "wing3.afl", 36);
    r.put_text(625700 + 500 * 2, "pylon", 496);
    r.bytes[647016 + 5] = 1;
    r.put_float(10608 + 40 + 8, 12.5f);
    for (size_t k = 0; k < 300; ++k)
        r.put_int(2308 + 4 * k, k < 200 ? int(k % 9) : -1);
    for (size_t a = 1; a < 4; ++a)
        for (size_t k = 0; k < 100; ++k)
            r.put_int(2308 + (version == 700 ? 800 : 1200) * a + 4 * k, int(1000 * a + k));
    return r;
}

}  // namespace

using OldAircraft = AircraftTest;

TEST_F(OldAircraft, BothByteOrdersAndVersionsGiveTheSameAircraft)
{
    test::temp_folder folder;
    size_aircraft_lists(5);          // aircraft 0 has a texture layout of its own
    std::vector<uint8_t> buffer[2];  // old_veh after the two 740 conversions
    for (int i = 1; i <= 4; ++i) {
        const int version = i <= 2 ? 740 : 700;
        const std::string path = folder / std::to_string(i);
        sample_aircraft(i % 2 ? byte_order::little : byte_order::big, version).write(path, version);
        ASSERT_EQ(test::read_old_aircraft(path, i), version);
        if (version == 740)
            buffer[i - 1].assign(old_veh, old_veh + OLD_VEH_BYTES);
    }
    EXPECT_TRUE(buffer[0] == buffer[1]) << "old_veh differs between the byte orders";

    const veh_class& v = veh[1];
    EXPECT_EQ(
        std::vector<std::string>(
            {v.design.tail_num, v.design.note_text1, v.design.note_text3, v.wing[3].afl_file[2], v.att[2].name}),
        std::vector<std::string>({std::string(36, 'T'), "first note", std::string(39, 'n'), "wing3.afl", "pylon"}));
    EXPECT_EQ(std::vector<int>({v.wing[5].ahead_cg, v.design.ins_id[1], v.design.ins_id[8], v.design.ins_id[200],
                                v.design.ins_val1[7], v.design.ins_val3[99]}),
              std::vector<int>({1, 5, 62, -1, 1007, 3099}));
    for (size_t i = 2; i <= 4; ++i) {
        EXPECT_EQ(std::memcmp(&veh[i].design, &v.design, sizeof v.design), 0) << "aircraft " << i;
        EXPECT_EQ(std::string(veh[i].att[2].name) + " " + std::to_string(veh[i].engn[1].el_ang_deg[2]),
                  "pylon 12.500000");
    }

    // One byte short: refused before anything is copied or converted.
    sample_aircraft(byte_order::big, 740).write(folder / "short", 740, OLD_VEH_BYTES - 1);
    std::memset(old_veh, 0x5a, OLD_VEH_BYTES);
    EXPECT_EQ(test::expect_fatal([&] { (void)test::read_old_aircraft(folder / "short", 2); }).l1,
              "Invalid OLD_IO_acf read!");
    EXPECT_EQ(std::count(old_veh, old_veh + OLD_VEH_BYTES, 0x5a), long(OLD_VEH_BYTES));
}

TEST_F(OldAircraft, ReadNRevReversesWordsOfTheOtherOrderAndRefusesReadsPastTheEnd)
{
    test::temp_folder folder;
    int versions[] = {0};  // none: the check only sets the order and passes the header
    const std::tuple<char, long, std::vector<uint8_t>> rows[] = {
        {'a', 8, {4, 3, 2, 1, 8, 7, 6, 5}}, {'i', 8, {1, 2, 3, 4, 5, 6, 7, 8}}, {'a', 9, {}}};
    for (const auto& [mark, count, expected] : rows) {
        test::write_file(folder / "eight", std::string{mark, 0, 0, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8});
        xmap_class eight(folder / "eight");
        (void)eight.check_file(FILE_TYPE_BINARY, versions, nullptr, nullptr);
        std::vector<uint8_t> out(size_t(count), 0xee);
        if (expected.empty())
            EXPECT_EQ(test::expect_fatal([&] { read_n_rev(&eight, out.data(), count); }).l1, "Invalid ACF read!");
        else
            read_n_rev(&eight, out.data(), count);
        EXPECT_EQ(out, expected.empty() ? std::vector<uint8_t>(size_t(count), 0xee) : expected) << mark << count;
    }
}

TEST_F(OldAircraft, Version700PanelAndGearMoveToTheir740Places)
{
    std::memset(old_veh, 0, OLD_VEH_BYTES);
    const int ids[] = {350, 299, 420, 300, 419};
    for (size_t k = 0; k < 5; ++k)
        put_old(2308 + 4 * k, ids[k]);
    for (size_t a = 1; a < 4; ++a)
        for (size_t k = 0; k < 200; ++k)
            put_old(2308 + 800 * a + 4 * k, int(1000 * a + k));
    put_old(2276, 2);
    veh_700_to_740();
    EXPECT_EQ(std::vector<int>({old_int(2308), old_int(2312), old_int(2316), old_int(2320), old_int(2324),
                                old_int(3108), old_int(3504), old_int(2276)}),
              std::vector<int>({304, 299, 420, 304, 304, -1, -1, 1}));
    for (size_t a = 1; a < 4; ++a)
        for (size_t k : {0, 99, 100, 199})
            EXPECT_EQ(old_int(2308 + 1200 * a + 4 * k), int(1000 * a + k)) << "array " << a << " entry " << k;

    // Gear slots 67-69 (legs 1 long), cg at 5: gear 0 ahead at z 2, gear 1 aft at z 8, gear 2 a skid at z 9.
    const int rows[][5] = {
        // gear 0's attachment height (the others hang from 0), gear 0 marked already, then ref_ok of gears 0-2
        {-1, 0, 0, 1, 0},  // lowest reaches at least as far as highest: the aft gear
        {3, 0, 1, 0, 0},   // highest reaches farther: the gear ahead
        {3, 1, 1, 0, 0}};  // a marked gear gets the working values; the others stay
    const float gear_z[] = {2, 8, 9};
    for (const auto& r : rows) {
        std::memset(old_veh, 0, OLD_VEH_BYTES);
        put_old(625216, 5.0f);
        for (size_t j = 0; j < 3; ++j) {
            put_old(11220 + 4 * j, 1);
            put_old(24068 + 4 * j, gear_z[j]);
            put_old(23776 + 4 * j, j == 0 ? float(r[0]) : 0.0f);
            put_old(618740 + 4 * j, 1.0f);
            put_old(618156 + 4 * j, 11.0f);
            put_old(639264 + 4 * j, 5);
        }
        put_old(617872, 1);
        put_old(623996, r[1]);
        veh_700_to_740();
        EXPECT_EQ(std::vector<int>({old_int(623996), old_int(624000), old_int(624004)}), std::vector<int>(r + 2, r + 5))
            << r[0] << " " << r[1];
        const bool marked = r[1] != 0;
        EXPECT_EQ(std::vector<float>({old_as(619908), old_as(623120), float(old_int(639264))}),
                  std::vector<float>({marked ? 11.0f : 0.0f, marked ? 1.0f : 0.0f, marked ? 0.0f : 5.0f}));
    }

    const float struts[][7] = {// attachment, leg, compression, a, b, turn: height
                               {2, 1.5f, 0, 0, 0, 0, 0.5f},
                               {2, 1.5f, 0.5f, 0, 0, 0, 1.25f},
                               {0, 2, 0, 0, 90, 90, 2}};
    for (const auto& s : struts)
        EXPECT_NEAR(gear_contact_height(s[0], s[1], s[2], s[3], s[4], s[5]), s[6], 1e-5f) << s[3] << s[4] << s[5];
}

TEST_F(OldAircraft, ConversionRepairsValuesAndPlacesWingsDoorsAndParts)
{
    const float shares[][12] = {
        {0, 0, 0, 0, 0, 0, /* become */ 0.5f, 0.5f, 0.25f, 0.25f, 0.25f, 0.25f},
        {0.0004f, 1, 1, 1, 1, 0.2f, /* raised */ 0.001f, 1, 1, 1, 1, 0.2f},
        {0.004f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f, /* kept */ 0.004f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f}};
    for (const auto& r : shares) {
        std::memset(old_veh, 0, OLD_VEH_BYTES);
        for (size_t k = 0; k < 6; ++k)
            put_old(639980 + 4 * k, r[k]);
        veh[0].clear_veh(0);
        veh_740_to_800(0);
        for (size_t k = 0; k < 6; ++k)
            EXPECT_EQ(old_as(639980 + 4 * k), r[6 + k]) << r[0] << " entry " << k;
    }

    std::memset(old_veh, 0, OLD_VEH_BYTES);
    const float door_angles[] = {-100, 300, 270, INFINITY, 3e9f};
    for (size_t d = 0; d < 5; ++d)
        put_old(625092 + 4 * d, door_angles[d]);
    put_old(24092 + 4 * 27, 2.0f);
    put_old(24092 + 4 * 28, 3.0f);
    put_old(24092 + 4 * 43, 4.0f);
    put_old(22924 + 4 * 10, 4);
    std::memcpy(old_veh + 11244 + 40 * 6, "root.afl", 9);
    put_old(624332, 1000);
    put_old(512476 + 44 * 1440 + 11 * 72, 6.0f);  // slot 44, station 11, point 0: station 12 lies at 0
    put_old(302236 + 44 * 1440 + 11 * 72, 1.5f);
    put_old(2228, 7.0f);
    veh[0].clear_veh(0);
    veh_740_to_800(0);
    const veh_class& v = veh[0];
    const veh_part_class* p = v.part.data();
    EXPECT_EQ(std::vector<float>({v.door[0].angle_deg, v.door[1].angle_deg, v.door[2].angle_deg, v.door[3].angle_deg,
                                  v.door[4].angle_deg}),
              std::vector<float>({350, 30, 360, 0, 120}));
    EXPECT_EQ(std::vector<float>({v.wing[27].root_chord, v.wing[40].root_chord, v.wing[55].root_chord,
                                  v.wing[28].root_chord, v.wing[39].root_chord, v.wing[39].preset_frac}),
              std::vector<float>({2, 3, 4, 0, 0, 0.25f}));
    EXPECT_EQ(std::vector<std::string>({v.wing[6].afl_file[0], v.wing[6].afl_file[1], v.wing[33].afl_file[2]}),
              std::vector<std::string>({"root.afl", "NACA 0009 (symmetrical).afl", "NACA 0009 (symmetrical).afl"}));
    EXPECT_EQ(std::vector<int>({p[56].station_count, p[56].point_count, p[60].station_count, p[60].point_count,
                                p[10].station_count, p[10].point_count, v.wing[10].els}),
              std::vector<int>({20, 18, 12, 18, 0, 14, 4}));
    EXPECT_EQ(std::vector<float>(v.design.unit_value, v.design.unit_value + UNIT_CAPACITY + 1),
              std::vector<float>({0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(std::vector<float>({p[44].geo[12][0][0], old_as(2228), old_as(640984), old_as(640988), old_as(641012)}),
              std::vector<float>({1.5f, 0, 7, 555, 555}));
    EXPECT_NEAR(p[44].geo[12][0][2], 6.001f, 1e-6f);
    EXPECT_NEAR(p[44].geo[13][0][2], 6.002f, 1e-6f);
}

TEST_F(OldAircraft, EveryRoutedGroupLandsInItsField)
{
    test::temp_folder folder;
    old_record r(OLD_VEH_BYTES, byte_order::little);
    r.tag_words(test::OLD_AIRCRAFT_TEXTS);
    r.write(folder / "tags", 740);
    ASSERT_EQ(test::read_old_aircraft(folder / "tags", 0), 740);
    const veh_class& v = veh[0];
    const veh_design_struct& d = v.design;
    auto b = [](auto value) { return std::bit_cast<int32_t>(value); };

    // Engine 3, part slot 60, gear 2 (slot 69), door 4, old wing 30 (wing 42), attachment 7.
    const veh_engn_class& e = v.engn[3];
    const veh_part_class& p = v.part[60];
    const veh_gear_class& g = v.gear[2];
    const veh_wing_class& w = v.wing[42];
    const veh_att_class& a = v.att[7];
    // clang-format off
    const std::pair<int32_t, size_t> rows[] = {
        {b(d.helo_flag), 2044}, {b(d.ctl1_val), 2048}, {b(d.ctl2_val), 2052}, {b(d.min1_a), 2056}, {b(d.vne), 2072},
        {b(d.num_engn), 9508}, {b(d.num_prop), 9512}, {b(d.throt_max), 9516}, {b(d.throt_rev_max), 9520},
        {b(d.rev_on), 9544}, {b(d.power_max), 9576}, {b(d.mp_max), 9584}, {b(d.rpm_idle), 9592}, {b(d.rpm_max), 9596},
        {b(d.rpm_prop), 9612}, {b(d.thrust_jet), 9636}, {b(d.comp_area), 9648}, {b(d.thrust_rkt_a), 9660},
        {b(d.thrust_rkt_b), 9664}, {b(d.thrust_rkt_c), 9668}, {b(d.unit_count), 624332}, {b(d.wrud_area), 624396},
        {b(d.cg_arm), 625216}, {b(d.weight_empty), 625228}, {b(d.fuel_max), 625232}, {b(d.weight_max), 625240},
        {b(d.num_tanks), 625260}, {b(d.tank_ratio[1]), 625268}, {b(d.tank_xyz[2][1]), 625296}, {b(d.thru_cut), 625524},
        {b(d.cus_auto[0]), 645216}, {b(d.cus_auto[14]), 645272}, {b(d.ins_val1[5]), 3528}, {b(d.ins_val3[299]), 7104},
        {b(d.panel_list[0][0]), 7108}, {b(d.panel_list[11][49]), 9504}, {b(d.panel_list[12][0]), 640308},
        {b(d.panel_list[13][49]), 640704}, {b(e.engn_type), 9692}, {b(e.prop_type), 9724}, {b(e.pitch_fine), 10012},
        {b(e.pitch_coarse), 10044}, {b(e.el_ang_deg[9]), 10764}, {b(p.present), 11192}, {b(p.x), 23456},
        {b(p.y), 23748}, {b(p.z), 24040}, {b(p.size), 25208}, {b(p.geo[19][17][0]), 390072},
        {b(p.geo[19][17][1]), 495192}, {b(p.geo[19][17][2]), 600312}, {b(g.type), 617872}, {b(g.ref_ok), 624004},
        {b(g.leg_len), 618748}, {b(g.ext), 623128}, {b(g.leg_add), 619332}, {b(g.leg_shrink), 619624},
        {b(g.att_x), 23492}, {b(g.att_y), 23784}, {b(g.att_z), 24076}, {b(g.ang_a0_deg), 618164},
        {b(g.ang_b0_deg), 618456}, {b(g.ang_a_deg), 619916}, {b(g.ang_b_deg), 620208}, {b(v.door[4].type), 625068},
        {b(v.door[4].geo[0][0][0]), 624772}, {b(v.door[4].geo[0][0][2]), 624764}, {b(w.els), 23044},
        {b(w.root_chord), 24212}, {b(w.tip_chord), 24504}, {b(w.semilen), 24796}, {b(w.is_left), 25380},
        {b(w.span_ang_deg), 25672}, {b(w.ac_shift), 25964}, {b(w.span_shift_on), 26256}, {b(w.span_shift), 26548},
        {b(w.ctl0[0]), 27920}, {b(w.ctl12[9]), 49076}, {b(w.ctl_aux[9]), 50836}, {b(d.chord_frac[42][10]), 52720},
        {b(d.el_fac[42][0]), 54616}, {b(v.wing[5].root_chord), 24112}, {b(a.value[0]), 637728},
        {b(a.value[2]), 637920}, {b(a.value[3]), 638048}, {b(a.value[7]), 638432}};
    // clang-format on
    for (const auto& [field, offset] : rows)
        EXPECT_EQ(field, old_record::tag_bits(offset))
            << "fed from " << offset << ", holds " << std::bit_cast<float>(field);
    EXPECT_EQ(std::vector<float>({d.wrud_arm, d.cus_auto[3], d.cus_auto[9], d.cus_auto[10]}),
              std::vector<float>({-old_record::tag(624392), 0, 0, 0}));
    EXPECT_EQ(d.gear_selected, old_record::tag_bits(638016) - 67);
}

TEST(InstrumentIds, MapsAreOneToOneOverTheirRangesWithTheirTellingRows)
{
    // Telling rows, the first filled rows (the smallest target left), and ids outside the ranges.
    const int old_rows[][2] = {{0, 0},  {1, 5},     {2, 40},    {3, 107}, {4, 103}, {5, 28},  {6, 29},  {7, 42},
                               {8, 62}, {611, 270}, {612, 271}, {9, 1},   {10, 2},  {-1, -1}, {613, -1}};
    for (const auto& [id, mapped] : old_rows)
        EXPECT_EQ(i7x_to_8x(id), mapped) << id;
    const int intermediate_rows[][2] = {{3, 3},   {6, 28},    {7, 29}, {8, 22},   {9, 23}, {10, 24},
                                        {11, 68}, {757, 442}, {12, 6}, {758, -1}, {-1, -1}};
    for (const auto& [id, mapped] : intermediate_rows)
        EXPECT_EQ(i8x_to_i830(id), mapped) << id;

    const std::tuple<int (*)(int), int, int> maps[] = {{i7x_to_8x, 613, 758}, {i8x_to_i830, 758, 759}};
    for (const auto& [map, sources, targets] : maps) {
        std::set<int> seen;
        for (int id = 0; id < sources; ++id)
            if (map(id) >= 0 && map(id) < targets)
                seen.insert(map(id));
        EXPECT_EQ(seen.size(), size_t(sources)) << "a target out of range or taken twice";
    }
}
