// The byte-level helpers shared by the old aircraft and weapon readers.
#include "aircraft/old_record.h"
#include "aircraft/veh.h"

#include "core/alert.h"

#include <algorithm>

void reverse_words_outside(unsigned char* record, size_t size, std::span<const byte_run> runs)
{
    auto reverse_between = [record](size_t from, size_t to) {
        for (size_t at = from; at + 4 <= to; at += 4)
            std::reverse(record + at, record + at + 4);
    };
    size_t at = 0;
    for (const byte_run& run : runs) {
        for (size_t r = 0; r < run.repeat; ++r) {
            const size_t start = run.offset + r * run.pitch;
            reverse_between(at, start);
            at = start + run.length;
        }
    }
    reverse_between(at, size);
}

std::string old_text(const unsigned char* record, size_t offset, size_t field_chars)
{
    const char* text = reinterpret_cast<const char*>(record + offset);
    return std::string(text, strnlen(text, field_chars));
}

bool take_record(xmap_class* reader, unsigned char* record, size_t size, const char* refusal, const char* source,
                 int line)
{
    if (reader == nullptr || bytes_left(*reader) < size) {
        __MACIBM_alert(0, refusal, "", "", "", ALERT_FATAL, source, line);
        return false;
    }
    std::memcpy(record, reader->cur, size);
    reader->cur += size;
    return true;
}

void take_grid(veh_part_class& part, const unsigned char* record, size_t x_table, size_t y_table, size_t z_table)
{
    static_assert(OLD_GRID_STATION == 4 * GRID_POINTS);
    for (size_t s = 0; s < size_t(GRID_STATIONS); ++s) {
        for (size_t p = 0; p < size_t(GRID_POINTS); ++p) {
            const size_t at = s * OLD_GRID_STATION + 4 * p;
            part.geo[s][p][0] = old_float(record, x_table + at);
            part.geo[s][p][1] = old_float(record, y_table + at);
            part.geo[s][p][2] = old_float(record, z_table + at);
        }
    }
}
