#pragma once
// old_record: the byte-level helpers of the old aircraft and weapon readers. An old record is a PowerPC
// structure image, so its fields are read and written by memcpy at their byte offsets, never by laying a C++
// structure over the bytes (alignment, the 4-byte bool and the long differ here).
// Invariant: every offset handed to these helpers lies inside the record with its whole field; the layouts'
// static_asserts and loop bounds guarantee it, and nothing read from a file chooses an offset.

#include "core/xmap.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

// A run of bytes that the byte-order reversal leaves alone: `repeat` copies of `length` bytes, `pitch` apart.
// Runs are listed in increasing order and every word between them starts on a multiple of 4.
struct byte_run {
    size_t offset;
    size_t length;
    size_t repeat;
    size_t pitch;
};

// Bytes between the reader's cursor and the end of its data; none when nothing is mapped.
inline size_t bytes_left(const xmap_class& reader)
{
    return reader.base == nullptr ? 0 : size_t(reader.end - reader.cur);
}

// Cross-section grids are three tables, x, y and z, of 20 stations of 18 floats.
constexpr size_t OLD_GRID_STATION = 72;

struct veh_part_class;
// Fills the part's grid from the three tables, each offset at the part's first station.
void take_grid(veh_part_class& part, const unsigned char* record, size_t x_table, size_t y_table, size_t z_table);

// Copies `size` bytes at the reader's cursor into `record` and moves the cursor past them. With fewer bytes
// left (or nothing mapped) nothing is copied: the fatal alert `refusal`, raised from `source` and `line`.
[[nodiscard]] bool take_record(xmap_class* reader, unsigned char* record, size_t size, const char* refusal,
                               const char* source, int line);

// Reverses the four bytes of every word of `record` that lies outside the runs.
void reverse_words_outside(unsigned char* record, size_t size, std::span<const byte_run> runs);

// The text stored at `offset`: up to its NUL, and never more than `field_chars` bytes, since a text that
// fills its field has no NUL of its own.
std::string old_text(const unsigned char* record, size_t offset, size_t field_chars);

inline float old_float(const unsigned char* record, size_t offset)
{
    float value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

inline int32_t old_int(const unsigned char* record, size_t offset)
{
    int32_t value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

inline void put_old_float(unsigned char* record, size_t offset, float value)
{
    std::memcpy(record + offset, &value, sizeof value);
}

inline void put_old_int(unsigned char* record, size_t offset, int32_t value)
{
    std::memcpy(record + offset, &value, sizeof value);
}

// Copies the words at `offset` into a field of 32-bit words (a number or an array of them), word for word.
template <class T> void take_words(T& field, const unsigned char* record, size_t offset)
{
    static_assert(sizeof(T) % 4 == 0, "old records hold 32-bit words");
    std::memcpy(&field, record + offset, sizeof field);
}
