// Old aircraft files: both byte orders and both versions through the real reader, refused files, the
// 700 upgrade, the repairs and index rules of the conversion, every routed group, and the id maps.

#include "aircraft_fixture.h"
#include "support/file_bytes.h"
#include "support/old_files.h"
#include "support/temp_folder.h"

#include "aircraft/old_files.h"

#include <bit>
#include <cmath>
#include <set>

namespace {

using test::byte_order;
using test::old_record;

float old_at(size_t offset)
{
    float value;
    std::memcpy(&value, old_veh + offset, 4);
    return value;
}

int32_t old_int_at(size_t offset)
{
    int32_t value;
    std::memcpy(&value, old_veh + offset, 4);
    return value;
}

void put_at(size_t offset, float value)
{
    std::memcpy(old_veh + offset, &value, 4);
}

void put_int_at(size_t offset, int32_t value)
{
    std::memcpy(old_veh + offset, &value, 4);
}

// One aircraft, written in the layout of `version`; both versions describe the same aircraft.
old_record sample_aircraft(byte_order order, int version)
{
    old_record r = test::old_aircraft(order);
    r.put_text(1004, std::string(36, 'T'), 36);  // fills its field: no NUL
    r.put_text(1044, "first note", 496);
    r.put_text(646098, std::string(40, 'n'), 40);
    r.put_text(11244 + 2920 * 2 + 40 * 3, "wing3.afl", 36);
    r.put_text(625700 + 500 * 2, "pylon", 496);
    r.bytes[647016 + 5] = 1;
    r.put_float(2072, 180.5f);
    r.put_int(9508, 2);
    r.put_int(9680 + 4, 4);
    r.put_float(10608 + 40 + 8, 12.5f);
    r.put_float(625240, 1200.0f);
    const bool v700 = version == 700;
    const size_t array_pitch = v700 ? 800 : 1200;
    for (size_t k = 0; k < 300; ++k)
        r.put_int(2308 + 4 * k, k < 200 ? int(k % 9) : -1);
    for (size_t a = 1; a < 4; ++a)
        for (size_t k = 0; k < 100; ++k)
            r.put_int(2308 + array_pitch * a + 4 * k, int(1000 * a + k));
    return r;
}

}  // namespace

using OldAircraft = AircraftTest;

TEST_F(OldAircraft, BothByteOrdersAndVersionsGiveTheSameAircraft)
{
    test::temp_folder folder;
    size_aircraft_lists(5);
    int index = 1;                      // aircraft 0 has a texture layout of its own
    std::vector<uint8_t> buffer_of[2];  // old_veh after each 740 conversion
    for (int version : {740, 700}) {
        for (byte_order order : {byte_order::little, byte_order::big}) {
            const std::string path = folder / ("plane" + std::to_string(index) + ".acf");
            sample_aircraft(order, version).write(path, version);
            ASSERT_EQ(test::read_old_aircraft(path, index), version);
            if (version == 740)
                buffer_of[index - 1].assign(old_veh, old_veh + OLD_VEH_BYTES);
            ++index;
        }
    }
    EXPECT_TRUE(buffer_of[0] == buffer_of[1]) << "old_veh differs between the byte orders";

    const veh_class& v = veh[1];
    EXPECT_STREQ(v.design.tail_num, std::string(36, 'T').c_str());
    EXPECT_STREQ(v.design.note_text1, "first note");
    EXPECT_STREQ(v.design.note_text3, std::string(39, 'n').c_str());
    EXPECT_STREQ(v.wing[3].afl_file[2], "wing3.afl");
    EXPECT_STREQ(v.att[2].name, "pylon");
    EXPECT_EQ(v.wing[5].ahead_cg, 1);
    EXPECT_EQ(std::vector<float>({v.design.vne, v.design.weight_max, v.engn[1].el_ang_deg[2]}),
              std::vector<float>({180.5f, 1200.0f, 12.5f}));
    EXPECT_EQ(std::vector<int>({v.design.num_engn, v.engn[1].engn_type, v.design.ins_id[1], v.design.ins_id[8],
                                v.design.ins_id[200], v.design.ins_val1[7], v.design.ins_val3[99]}),
              std::vector<int>({2, 4, 5, 62, -1, 1007, 3099}));
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(std::memcmp(&veh[size_t(i)].design, &v.design, sizeof v.design), 0) << "aircraft " << i;
        EXPECT_STREQ(veh[size_t(i)].att[2].name, "pylon") << "aircraft " << i;
        EXPECT_EQ(veh[size_t(i)].engn[1].el_ang_deg[2], 12.5f) << "aircraft " << i;
    }
}

TEST_F(OldAircraft, ShortFilesAndReadsPastTheEndAreRefused)
{
    test::temp_folder folder;
    const old_record r = sample_aircraft(byte_order::big, 740);
    r.write(folder / "whole.acf", 740);
    EXPECT_EQ(test::read_old_aircraft(folder / "whole.acf", 0), 740);
    EXPECT_EQ(veh[0].design.vne, 180.5f);

    r.write(folder / "short.acf", 740, OLD_VEH_BYTES - 1);
    veh[1].design.vne = 7.0f;
    xmap_class reader(folder / "short.acf");
    int versions[] = {740, 0};
    ASSERT_EQ(reader.check_file(FILE_TYPE_BINARY, versions, nullptr, nullptr), 740);
    EXPECT_EQ(test::expect_fatal([&] { OLD_IO_acf(&reader, "", 1, 740); }).l1, "Invalid OLD_IO_acf read!");
    EXPECT_EQ(veh[1].design.vne, 7.0f);

    struct row {
        char mark;
        long count;
        std::vector<uint8_t> expected;  // empty: refused, nothing copied
    };
    const row rows[] = {
        {'a', 8, {4, 3, 2, 1, 8, 7, 6, 5}},
        {'i', 8, {1, 2, 3, 4, 5, 6, 7, 8}},
        {'a', 9, {}},
    };
    for (const row& w : rows) {
        test::write_file(folder / "eight", std::string{w.mark, 0, 0, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8});
        xmap_class eight(folder / "eight");
        (void)eight.check_file(FILE_TYPE_BINARY, versions, nullptr, nullptr);
        std::vector<uint8_t> out(9, 0xee);
        if (w.expected.empty()) {
            EXPECT_EQ(test::expect_fatal([&] { read_n_rev(&eight, out.data(), w.count); }).l1, "Invalid ACF read!");
            EXPECT_EQ(out, std::vector<uint8_t>(9, 0xee));
            continue;
        }
        read_n_rev(&eight, out.data(), w.count);
        EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + w.count), w.expected) << w.mark;
        EXPECT_EQ(eight.cur, eight.end);
    }
}

TEST_F(OldAircraft, Version700PanelAndGearMoveToTheir740Places)
{
    std::memset(old_veh, 0, OLD_VEH_BYTES);
    const int ids[] = {350, 299, 420, 300, 419};
    for (size_t k = 0; k < 5; ++k)
        put_int_at(2308 + 4 * k, ids[k]);
    for (size_t a = 1; a < 4; ++a)
        for (size_t k = 0; k < 200; ++k)
            put_int_at(2308 + 800 * a + 4 * k, int(1000 * a + k));
    put_int_at(2276, 2);
    veh_700_to_740();
    EXPECT_EQ(
        std::vector<int>({old_int_at(2308), old_int_at(2312), old_int_at(2316), old_int_at(2320), old_int_at(2324),
                          old_int_at(2308 + 4 * 200), old_int_at(2308 + 4 * 299), old_int_at(2276)}),
        std::vector<int>({304, 299, 420, 304, 304, -1, -1, 1}));
    for (size_t a = 1; a < 4; ++a)
        for (size_t k : {0, 99, 100, 199})
            EXPECT_EQ(old_int_at(2308 + 1200 * a + 4 * k), int(1000 * a + k)) << "array " << a << " entry " << k;

    // Three gear slots (67-69): cg at 5; gear 0 ahead at z 2, gear 1 aft at z 8, gear 2 a skid aft at z 9.
    struct row {
        float y0, y1;  // attachment heights; every leg is 1 long
        int flag0;     // gear 0 already marked
        int ref_ok[3];
    };
    const row rows[] = {
        {-1.0f, 0.0f, 0, {0, 1, 0}},  // lowest -2 reaches farther than highest -1: the aft gear
        {3.0f, 0.0f, 0, {1, 0, 0}},   // highest 2 reaches farther than lowest -1: the gear ahead
        {3.0f, 0.0f, 1, {1, 0, 0}},   // a marked gear: the others stay as they were
    };
    for (const row& r : rows) {
        std::memset(old_veh, 0, OLD_VEH_BYTES);
        put_at(625216, 5.0f);
        const float z[3] = {2, 8, 9}, y[3] = {r.y0, r.y1, 0};
        for (size_t j = 0; j < 3; ++j) {
            put_int_at(11220 + 4 * j, 1);
            put_at(24068 + 4 * j, z[j]);
            put_at(23776 + 4 * j, y[j]);
            put_at(618740 + 4 * j, 1.0f);
            put_at(618156 + 4 * j, 11.0f);
            put_int_at(639264 + 4 * j, 5);
        }
        put_int_at(617864 + 8, 1);
        put_int_at(623996, r.flag0);
        veh_700_to_740();
        EXPECT_EQ(std::vector<int>({old_int_at(623996), old_int_at(624000), old_int_at(624004)}),
                  std::vector<int>(r.ref_ok, r.ref_ok + 3))
            << r.y0 << " " << r.flag0;
        const bool marked = r.flag0 != 0;
        EXPECT_EQ(std::vector<float>({old_at(619908), old_at(623120), float(old_int_at(639264))}),
                  std::vector<float>({marked ? 11.0f : 0.0f, marked ? 1.0f : 0.0f, marked ? 0.0f : 5.0f}));
    }

    struct strut {
        float attach_y, leg, compression, a, b, turn, height;
    };
    const strut struts[] = {
        {2, 1.5f, 0, 0, 0, 0, 0.5f},
        {2, 1.5f, 0.5f, 0, 0, 0, 1.25f},
        {0, 2, 0, 60, 0, 0, -1},
        {0, 2, 0, 0, 90, 90, 2},
    };
    for (const strut& s : struts)
        EXPECT_NEAR(gear_contact_height(s.attach_y, s.leg, s.compression, s.a, s.b, s.turn), s.height, 1e-5f)
            << s.a << " " << s.b << " " << s.turn;
}

TEST_F(OldAircraft, ConversionRepairsValuesAndPlacesWingsDoorsAndParts)
{
    struct shares_row {
        float in[6], out[6];
    };
    const shares_row shares[] = {
        {{0, 0, 0, 0, 0, 0}, {0.5f, 0.5f, 0.25f, 0.25f, 0.25f, 0.25f}},
        {{0.004f, 0, 0, 0, 0, 0}, {0.5f, 0.5f, 0.25f, 0.25f, 0.25f, 0.25f}},
        {{0.0004f, 1, 1, 1, 1, 0.2f}, {0.001f, 1, 1, 1, 1, 0.2f}},
        {{0.004f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f}, {0.004f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f}},
    };
    for (const shares_row& r : shares) {
        std::memset(old_veh, 0, OLD_VEH_BYTES);
        for (size_t k = 0; k < 6; ++k)
            put_at(639980 + 4 * k, r.in[k]);
        veh[0].clear_veh(0);
        veh_740_to_800(0);
        for (size_t k = 0; k < 6; ++k)
            EXPECT_EQ(old_at(639980 + 4 * k), r.out[k]) << r.in[0] << " entry " << k;
    }

    std::memset(old_veh, 0, OLD_VEH_BYTES);
    const float door_angles[] = {-100, 300, 270, INFINITY, 3e9f};
    for (size_t d = 0; d < 5; ++d)
        put_at(625092 + 4 * d, door_angles[d]);
    put_at(24092 + 4 * 27, 2.0f);
    put_at(24092 + 4 * 28, 3.0f);
    put_at(24092 + 4 * 43, 4.0f);
    put_int_at(22924 + 4 * 10, 4);
    std::memcpy(old_veh + 11244 + 40 * 6, "root.afl", 9);
    put_int_at(624332, 1000);
    put_at(512476 + 44 * 1440 + 11 * 72, 6.0f);  // slot 44, station 11, point 0; station 12 lies at 0
    put_at(302236 + 44 * 1440 + 11 * 72, 1.5f);
    put_at(2228, 7.0f);
    veh[0].clear_veh(0);
    veh_740_to_800(0);
    const veh_class& v = veh[0];
    EXPECT_EQ(std::vector<float>({v.door[0].angle_deg, v.door[1].angle_deg, v.door[2].angle_deg, v.door[3].angle_deg,
                                  v.door[4].angle_deg}),
              std::vector<float>({350, 30, 360, 0, 120}));
    EXPECT_EQ(std::vector<float>({v.wing[27].root_chord, v.wing[40].root_chord, v.wing[55].root_chord,
                                  v.wing[28].root_chord, v.wing[39].root_chord, v.wing[39].preset_frac}),
              std::vector<float>({2, 3, 4, 0, 0, 0.25f}));
    EXPECT_STREQ(v.wing[6].afl_file[0], "root.afl");
    for (int t : {1, 3})
        EXPECT_STREQ(v.wing[6].afl_file[t], "NACA 0009 (symmetrical).afl");
    EXPECT_STREQ(v.wing[33].afl_file[2], "NACA 0009 (symmetrical).afl");
    EXPECT_EQ(
        std::vector<int>({v.part[56].station_count, v.part[56].point_count, v.part[60].station_count,
                          v.part[60].point_count, v.part[10].station_count, v.part[10].point_count, v.wing[10].els}),
        std::vector<int>({20, 18, 12, 18, 0, 14, 4}));
    EXPECT_EQ(std::vector<float>(v.design.unit_value, v.design.unit_value + UNIT_CAPACITY + 1),
              std::vector<float>({0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(v.part[44].geo[12][0][0], 1.5f);
    EXPECT_NEAR(v.part[44].geo[12][0][2], 6.001f, 1e-6f);
    EXPECT_NEAR(v.part[44].geo[13][0][2], 6.002f, 1e-6f);
    EXPECT_EQ(std::vector<float>({old_at(2228), old_at(640984), old_at(640988), old_at(641012)}),
              std::vector<float>({0, 7, 555, 555}));
}

TEST_F(OldAircraft, EveryRoutedGroupLandsInItsField)
{
    test::temp_folder folder;
    old_record r = test::old_aircraft(byte_order::little);
    r.tag_words(test::OLD_AIRCRAFT_TEXTS);
    r.write(folder / "tags.acf", 740);
    ASSERT_EQ(test::read_old_aircraft(folder / "tags.acf", 0), 740);
    const veh_class& v = veh[0];
    const veh_design_struct& d = v.design;
    auto bits = [](auto value) { return std::bit_cast<int32_t>(value); };

    // Engine 3, part slot 60, gear 2 (slot 69), door 4, old wing 30 (wing 42) and attachment 7.
    const veh_engn_class& e = v.engn[3];
    const veh_part_class& p = v.part[60];
    const veh_gear_class& g = v.gear[2];
    const veh_wing_class& w = v.wing[42];
    const std::pair<int32_t, size_t> rows[] = {
        {bits(d.helo_flag), 2044},
        {bits(d.ctl1_val), 2048},
        {bits(d.ctl2_val), 2052},
        {bits(d.min1_a), 2056},
        {bits(d.vne), 2072},
        {bits(d.num_engn), 9508},
        {bits(d.num_prop), 9512},
        {bits(d.throt_max), 9516},
        {bits(d.throt_rev_max), 9520},
        {bits(d.rev_on), 9544},
        {bits(d.power_max), 9576},
        {bits(d.mp_max), 9584},
        {bits(d.rpm_idle), 9592},
        {bits(d.rpm_max), 9596},
        {bits(d.rpm_prop), 9612},
        {bits(d.thrust_jet), 9636},
        {bits(d.comp_area), 9648},
        {bits(d.thrust_rkt_a), 9660},
        {bits(d.thrust_rkt_b), 9664},
        {bits(d.thrust_rkt_c), 9668},
        {bits(d.unit_count), 624332},
        {bits(d.wrud_area), 624396},
        {bits(d.cg_arm), 625216},
        {bits(d.weight_empty), 625228},
        {bits(d.fuel_max), 625232},
        {bits(d.weight_max), 625240},
        {bits(d.num_tanks), 625260},
        {bits(d.tank_ratio[1]), 625268},
        {bits(d.tank_xyz[2][1]), 625296},
        {bits(d.thru_cut), 625524},
        {bits(d.cus_auto[0]), 645216},
        {bits(d.cus_auto[14]), 645272},
        {bits(d.ins_val1[5]), 3528},
        {bits(d.ins_val3[299]), 7104},
        {bits(d.panel_list[0][0]), 7108},
        {bits(d.panel_list[11][49]), 9504},
        {bits(d.panel_list[12][0]), 640308},
        {bits(d.panel_list[13][49]), 640704},
        {bits(e.engn_type), 9692},
        {bits(e.prop_type), 9724},
        {bits(e.pitch_fine), 10012},
        {bits(e.pitch_coarse), 10044},
        {bits(e.el_ang_deg[9]), 10764},
        {bits(p.present), 11192},
        {bits(p.x), 23456},
        {bits(p.y), 23748},
        {bits(p.z), 24040},
        {bits(p.size), 25208},
        {bits(p.geo[19][17][0]), 390072},
        {bits(p.geo[19][17][1]), 495192},
        {bits(p.geo[19][17][2]), 600312},
        {bits(g.type), 617872},
        {bits(g.ref_ok), 624004},
        {bits(g.leg_len), 618748},
        {bits(g.ext), 623128},
        {bits(g.leg_add), 619332},
        {bits(g.leg_shrink), 619624},
        {bits(g.att_x), 23492},
        {bits(g.att_y), 23784},
        {bits(g.att_z), 24076},
        {bits(g.ang_a0_deg), 618164},
        {bits(g.ang_b0_deg), 618456},
        {bits(g.ang_a_deg), 619916},
        {bits(g.ang_b_deg), 620208},
        {bits(v.door[4].type), 625068},
        {bits(v.door[4].geo[0][0][0]), 624772},
        {bits(v.door[4].geo[0][0][2]), 624764},
        {bits(w.els), 23044},
        {bits(w.root_chord), 24212},
        {bits(w.tip_chord), 24504},
        {bits(w.semilen), 24796},
        {bits(w.is_left), 25380},
        {bits(w.span_ang_deg), 25672},
        {bits(w.ac_shift), 25964},
        {bits(w.span_shift_on), 26256},
        {bits(w.span_shift), 26548},
        {bits(w.ctl0[0]), 27920},
        {bits(w.ctl12[9]), 49076},
        {bits(w.ctl_aux[9]), 50836},
        {bits(d.chord_frac[42][10]), 52720},
        {bits(d.el_fac[42][0]), 54616},
        {bits(v.wing[5].root_chord), 24112},
        {bits(v.att[7].value[0]), 637728},
        {bits(v.att[7].value[2]), 637920},
        {bits(v.att[7].value[3]), 638048},
        {bits(v.att[7].value[7]), 638432},
    };
    for (const auto& [field, offset] : rows)
        EXPECT_EQ(field, old_record::tag_bits(offset))
            << "the field fed from " << offset << " holds the word of " << std::bit_cast<float>(field);
    EXPECT_EQ(d.wrud_arm, -old_record::tag(624392));
    EXPECT_EQ(d.gear_selected, old_record::tag_bits(638016) - 67);
    EXPECT_EQ(std::vector<float>({d.cus_auto[3], d.cus_auto[9], d.cus_auto[10]}), std::vector<float>({0, 0, 0}));
}

TEST(InstrumentIds, MapsAreOneToOneOverTheirRangesWithTheirTellingRows)
{
    const std::pair<int, int> old_rows[] = {{0, 0},     {1, 5},   {2, 40},   {3, 107}, {4, 103},
                                            {5, 28},    {6, 29},  {7, 42},   {8, 62},  {611, 270},
                                            {612, 271}, {-1, -1}, {613, -1}, {9, 1},   {10, 2}};
    for (const auto& [id, mapped] : old_rows)
        EXPECT_EQ(i7x_to_8x(id), mapped) << id;
    const std::pair<int, int> intermediate_rows[] = {{3, 3},   {5, 5},   {6, 28},    {7, 29},   {8, 22},  {9, 23},
                                                     {10, 24}, {11, 68}, {757, 442}, {758, -1}, {-1, -1}, {12, 6}};
    for (const auto& [id, mapped] : intermediate_rows)
        EXPECT_EQ(i8x_to_i830(id), mapped) << id;

    struct map_range {
        int (*map)(int);
        int sources, targets;
    };
    for (const map_range& m : {map_range{i7x_to_8x, 613, 758}, map_range{i8x_to_i830, 758, 759}}) {
        std::set<int> seen;
        for (int id = 0; id < m.sources; ++id) {
            const int mapped = m.map(id);
            EXPECT_TRUE(mapped >= 0 && mapped < m.targets) << id << " -> " << mapped;
            seen.insert(mapped);
        }
        EXPECT_EQ(seen.size(), size_t(m.sources));
    }

    size_aircraft_lists(1);
    veh[0].design.ins_id[0] = 6;
    veh[0].design.ins_id[299] = -1;
    OLD_ins_to_830(0);
    EXPECT_EQ(std::vector<int>({veh[0].design.ins_id[0], veh[0].design.ins_id[299]}), std::vector<int>({28, -1}));
}
