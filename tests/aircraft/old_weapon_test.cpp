// Old weapon files: every group in its field in either byte order, the names and body part, and a rest of
// file shorter or longer than one record.

#include "aircraft_fixture.h"
#include "support/old_files.h"
#include "support/temp_folder.h"

#include <fstream>

using OldWeapon = AircraftTest;

TEST_F(OldWeapon, ConvertsEveryGroupInEitherByteOrderAndRefusesAShortRest)
{
    test::temp_folder folder;
    int versions[] = {1, 0};
    auto convert = [&](const std::string& path, int v) {
        xmap_class reader(path);
        EXPECT_EQ(reader.check_file(FILE_TYPE_BINARY, versions, nullptr, nullptr), 1);
        OLD_IO_wpn(&reader, v, 3);
        return reader.end - reader.cur;
    };
    for (int v : {0, 1}) {
        test::old_record r(OLD_WPN_BYTES, v == 0 ? test::byte_order::little : test::byte_order::big);
        r.tag_words(test::OLD_WEAPON_TEXTS);
        r.put_text(224, "bomb.obj", 40);
        r.put_text(304, std::string(40, 'm'), 40);  // fills its field: no NUL
        r.put_text(344, std::string(36, 'l'), 36);  // the last name ends where the words begin again
        r.write(folder / "weapon", 1);
        EXPECT_EQ(convert(folder / "weapon", v), 0);
        if (v == 0) {
            r.write(folder / "short", 1, OLD_WPN_BYTES - 1);
            std::memset(old_wpn, 0x5a, OLD_WPN_BYTES);
            EXPECT_EQ(test::expect_fatal([&] { convert(folder / "short", 0); }).l1, "Invalid OLD_IO_wpn read!");
            EXPECT_EQ(std::count(old_wpn, old_wpn + OLD_WPN_BYTES, 0x5a), long(OLD_WPN_BYTES));
            std::ofstream(folder / "weapon", std::ios::binary | std::ios::app) << "tail";
            EXPECT_EQ(convert(folder / "weapon", v), 4);
        }
    }

    auto bits = [](auto value) { return std::bit_cast<int32_t>(value); };
    for (int v : {0, 1}) {
        const wpn_class& w = veh[size_t(v)].wpn[3];
        const veh_part_class& body = w.body;
        // clang-format off
        const std::pair<int32_t, size_t> rows[] = {
            {bits(w.head_values[1]), 4}, {bits(body.x), 12}, {bits(body.z), 20}, {bits(w.values_a[0]), 24},
            {bits(w.values_a[7]), 52}, {bits(w.values_b[0]), 68}, {bits(w.values_b[1]), 56}, {bits(w.values_b[3]), 64},
            {bits(body.size), 72}, {bits(w.value_c), 76}, {bits(w.per_name_tables[0][0]), 80},
            {bits(w.per_name_tables[6][3]), 188}, {bits(w.per_name_pairs[0][1]), 196},
            {bits(w.per_name_pairs[3][0]), 216}, {bits(w.tail_groups[0][0]), 384}, {bits(w.tail_groups[1][5]), 428},
            {bits(body.tex_scale), 9556}, {bits(body.geo[0][0][0]), 9560}, {bits(body.geo[19][17][1]), 12436},
            {bits(body.geo[19][17][2]), 13876}};
        // clang-format on
        for (const auto& [field, offset] : rows)
            EXPECT_EQ(field, test::old_record::tag_bits(offset)) << "aircraft " << v << ", offset " << offset;
        EXPECT_EQ(std::vector<std::string>(w.names, w.names + 4),
                  std::vector<std::string>({"bomb.obj", "", std::string(39, 'm'), std::string(36, 'l')}));
        const tex_rects<2>& t = body.tex;
        EXPECT_EQ(std::vector<float>({float(body.station_count), float(body.point_count), t.s1[0], t.s1[1], t.t1[0],
                                      t.t1[1], t.s2[0], t.s2[1], t.t2[0], t.t2[1]}),
                  std::vector<float>({12, 18, 0, 0, 0.5f, 0, 0.5078125f, 0.5078125f, 1.0f, 0.5f}));
    }
}
