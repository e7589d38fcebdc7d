#pragma once
// Old aircraft and weapon files written byte by byte: a record image whose words are stored at their byte
// offsets in the byte order chosen, behind the binary header, and the real path that reads an aircraft back
// (mapped reader, header check, converter). Shared by the aircraft tests and the conversion benchmark.

#include "aircraft/old_files.h"
#include "aircraft/veh.h"
#include "core/header.h"

#include <bit>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace test {

enum class byte_order { big, little };

// Text regions (offset, length, repeat, pitch); every other 4-byte group of a record is a word.
using text_region = size_t[4];
inline constexpr text_region OLD_AIRCRAFT_TEXTS[] = {
    {1004, 36, 1, 0},       {1044, 496, 1, 0},  {1544, 496, 1, 0},  {11244, 36, 292, 40},
    {625700, 496, 24, 500}, {646098, 40, 1, 0}, {647016, 44, 1, 0},
};
inline constexpr text_region OLD_WEAPON_TEXTS[] = {{224, 156, 1, 0}};

struct old_record {
    old_record(size_t size, byte_order order) : bytes(size, 0), order(order) { }

    void put_int(size_t offset, int32_t value)
    {
        for (int k = 0; k < 4; ++k)
            bytes.at(offset + size_t(k)) = uint8_t(uint32_t(value) >> (order == byte_order::big ? 24 - 8 * k : 8 * k));
    }
    void put_float(size_t offset, float value) { put_int(offset, std::bit_cast<int32_t>(value)); }
    // The text's bytes as they are; the rest of the field is zero.
    void put_text(size_t offset, const std::string& text, size_t field)
    {
        for (size_t k = 0; k < field; ++k)
            bytes.at(offset + k) = k < text.size() ? uint8_t(text[k]) : 0;
    }

    // Every word outside the texts holds the float of its own offset, so each field shows where it came from.
    template <size_t N> void tag_words(const text_region (&texts)[N])
    {
        for (size_t at = 0; at + 4 <= bytes.size(); at += 4) {
            bool text = false;
            for (const text_region& t : texts)
                for (size_t r = 0; r < t[2]; ++r)
                    text = text || (at + 4 > t[0] + r * t[3] && at < t[0] + r * t[3] + t[1]);
            if (!text)
                put_float(at, tag(at));
        }
    }
    static float tag(size_t offset) { return float(offset); }
    static int32_t tag_bits(size_t offset) { return std::bit_cast<int32_t>(tag(offset)); }

    // The binary header (the mark, then the version in the record's order), then the first `keep` bytes.
    void write(const std::string& path, int version, size_t keep = SIZE_MAX) const
    {
        old_record header(5, order);
        header.bytes[0] = order == byte_order::big ? 'a' : 'i';
        header.put_int(1, version);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(header.bytes.data()), 5);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(std::min(keep, bytes.size())));
    }

    std::vector<uint8_t> bytes;
    byte_order order;
};

// Reads an old aircraft file as the simulator does: the header check (versions 700 and 740), then the
// conversion into entry `index`, cleared first. The version, or 0 when the header is refused.
inline int read_old_aircraft(const std::string& path, int index)
{
    xmap_class reader(path);
    int versions[] = {700, 740, 0};
    const int version = reader.check_file(FILE_TYPE_BINARY, versions, nullptr, nullptr);
    if (version != 0) {
        veh[size_t(index)].clear_veh(index);
        OLD_IO_acf(&reader, path, index, version);
    }
    return version;
}

}  // namespace test
