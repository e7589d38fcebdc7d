// Reading old aircraft records: the copy into old_veh, the byte order of the words, and the upgrade of a
// version-700 record to the 740 layout. The layout itself is in old_layout.h; the conversion to the
// current records in old_convert.cpp.
#include "aircraft/old_files.h"
#include "aircraft/old_layout.h"
#include "aircraft/old_record.h"
#include "aircraft/veh.h"

#include "core/alert.h"
#include "core/globals.h"

#include <algorithm>
#include <bit>
#include <cmath>

using namespace old_acf;

unsigned char old_veh[OLD_VEH_BYTES];

namespace {

constexpr const char* OLD_ACF_SOURCE = "aircraft/old_acf";

static_assert(RECORD_BYTES == OLD_VEH_BYTES);

// The text regions of the record, which keep their bytes whatever the file's order. The wing bytes are a
// byte region too: one byte per wing reversed in groups of four would land on the wrong wings.
constexpr byte_run VEH_TEXT_RUNS[] = {
    {TAIL_NUM, TAIL_NUM_CHARS, 1, 0},
    {NOTE_TEXT1, OLD_NOTE_CHARS, 1, 0},
    {NOTE_TEXT2, OLD_NOTE_CHARS, 1, 0},
    {AIRFOIL_NAMES, AIRFOIL_CHARS, AIRFOIL_ENTRIES, AIRFOIL_ENTRY},
    {ATTACHMENT_NAMES, ATTACHMENT_CHARS, OLD_ATTACHMENTS, ATTACHMENT_ENTRY},
    {NOTE_TEXT3_WORDS, NOTE_TEXT3_WORDS_BYTES, 1, 0},
    {WING_BYTES, OLD_WINGS, 1, 0},
};

// Instruments 300-419 of the 700 numbering became one instrument of the 740 numbering.
constexpr int MERGED_FIRST = 300;
constexpr int MERGED_LAST = 419;
constexpr int MERGED_ID = 304;
constexpr int GEAR_TYPE_SKID = 1;  // never the reference gear

size_t gear_slot(int j)
{
    return 4 * size_t(FIRST_GEAR_SLOT + j);
}

void copy_old_word(size_t from, size_t to)
{
    std::memmove(old_veh + to, old_veh + from, 4);
}

// Gear that the 700 layout marks as the reference get the 740 working values. The extreme contact heights
// of the fitted gear decide, when none is marked, which gear may be: the gear aft of the centre of gravity
// when the lowest contact reaches at least as far as the highest, else the gear ahead of it.
void upgrade_gear()
{
    const float turn = old_float(old_veh, GEAR_TURN);
    bool measured = false, marked = false;
    float lowest = 0.0f, highest = 0.0f;
    for (int j = 0; j < OLD_GEAR; ++j) {
        const size_t s = gear_slot(j);
        if (old_int(old_veh, PART_PRESENT + s) == 0)
            continue;
        const float height =
            gear_contact_height(old_float(old_veh, PART_Y + s), old_float(old_veh, GEAR_LEG_LEN + s),
                                old_float(old_veh, GEAR_COMPRESSION + s), old_float(old_veh, GEAR_ANG_A0 + s),
                                old_float(old_veh, GEAR_ANG_B0 + s), turn);
        lowest = measured ? std::min(lowest, height) : height;
        highest = measured ? std::max(highest, height) : height;
        measured = true;
        if (old_int(old_veh, GEAR_REF_OK + s) == 0)
            continue;
        marked = true;
        put_old_int(old_veh, GEAR_RESET + s, 0);
        put_old_float(old_veh, GEAR_EXT + s, 1.0f);
        copy_old_word(GEAR_ANG_A0 + s, GEAR_ANG_A + s);
        copy_old_word(GEAR_ANG_B0 + s, GEAR_ANG_B + s);
        copy_old_word(GEAR_LEG_LEN + s, GEAR_LEG_WORK + s);
    }
    if (marked)
        return;

    const bool aft = std::fabs(lowest) >= std::fabs(highest);
    const float cg_arm = old_float(old_veh, CG_ARM);
    for (int j = 0; j < OLD_GEAR; ++j) {
        const size_t s = gear_slot(j);
        if (old_int(old_veh, PART_PRESENT + s) == 0 || old_int(old_veh, GEAR_TYPE + s) == GEAR_TYPE_SKID)
            continue;
        const float z = old_float(old_veh, PART_Z + s);
        put_old_int(old_veh, GEAR_REF_OK + s, aft ? z > cg_arm : z < cg_arm);
    }
}

void upgrade_panel()
{
    // Highest array first: the second array's new place covers the third's old one.
    for (size_t a = 3; a >= 1; --a)
        std::memmove(old_veh + PANEL + 4 * PANEL_740 * a, old_veh + PANEL + 4 * PANEL_700 * a, 4 * PANEL_700);
    for (int k = PANEL_700; k < PANEL_740; ++k)
        put_old_int(old_veh, PANEL + 4 * size_t(k), -1);
}

}  // namespace

bool file_words_reversed(const xmap_class& reader)
{
    const bool file_little = reader.swap != 0;
    return file_little != (std::endian::native == std::endian::little);
}

void read_n_rev(xmap_class* reader, void* destination, long count)
{
    if (reader == nullptr || count < 0 || bytes_left(*reader) < size_t(count)) {
        __MACIBM_alert(0, "Invalid ACF read!", "", "", "", ALERT_FATAL, OLD_ACF_SOURCE, __LINE__);
        return;
    }
    std::memcpy(destination, reader->cur, size_t(count));
    reader->cur += count;
    if (!file_words_reversed(*reader))
        return;
    unsigned char* bytes = static_cast<unsigned char*>(destination);
    for (long at = 0; at + 4 <= count; at += 4)
        std::reverse(bytes + at, bytes + at + 4);
}

void OLD_IO_acf(xmap_class* reader, std::string path, int index, int version)
{
    if (!aircraft_index_valid(index, "OLD_IO_acf"))
        return;
    if (!take_record(reader, old_veh, OLD_VEH_BYTES, "Invalid OLD_IO_acf read!", OLD_ACF_SOURCE, __LINE__))
        return;
    if (file_words_reversed(*reader))
        veh_OBO_to_LBO();
    if (version == 700)
        veh_700_to_740();
    veh_740_to_800(index);
}

void veh_OBO_to_LBO()
{
    reverse_words_outside(old_veh, OLD_VEH_BYTES, VEH_TEXT_RUNS);
}

void veh_700_to_740()
{
    upgrade_gear();
    upgrade_panel();

    const int mode = old_int(old_veh, LEGACY_MODE);
    if (mode == 1 || mode == 2)
        put_old_int(old_veh, LEGACY_MODE, mode - 1);

    for (int k = 0; k < PANEL_700; ++k) {
        const size_t at = PANEL + 4 * size_t(k);
        const int id = old_int(old_veh, at);
        if (id >= MERGED_FIRST && id <= MERGED_LAST)
            put_old_int(old_veh, at, MERGED_ID);
    }
}

// The leg hangs from its attachment as the gear bodies do (leaning sideways by a and fore and aft by b, its
// foot at -L cos a cos b below and -L sin b along); turning the aircraft by t about its lateral axis mixes
// the foot's vertical and longitudinal parts.
float gear_contact_height(float attach_y, float leg_len, float compression, float ang_a_deg, float ang_b_deg,
                          float turn_deg)
{
    const float length = leg_len * (1.0f - compression);
    const float a = ang_a_deg * degtorad, b = ang_b_deg * degtorad, t = turn_deg * degtorad;
    const float foot_y = -length * std::cos(a) * std::cos(b);
    const float foot_z = -length * std::sin(b);
    return attach_y + foot_y * std::cos(t) - foot_z * std::sin(t);
}
