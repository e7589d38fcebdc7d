// The texture manager's record table, names, accounting and failure policy. Decoding lives in
// image_load.cpp, uploading and binding in tex_upload.cpp.

#include "gfx/tman.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstring>

tman_class tman;
tex_load_vars async_vars;
unsigned char key_color[4] = {0, 0, 0, 0};

namespace {

// Bucket count the name table starts with: the first prime of the usual prime list at or above 100.
constexpr size_t TEX_HASH_BUCKETS = 193;
// Every kth texture (or every one while few are queued) shows scenery progress.
constexpr int SCENERY_PROGRESS_EVERY = 10;
constexpr int SCENERY_PROGRESS_ALL_BELOW = 20;
// Region bitmaps are read at full resolution, one byte (kind 3) per pixel, whatever the display setting.
constexpr int REGION_BITMAP_TYPE = 3 | TEX_FULL_RES;

}  // namespace

size_t tex_name_hash::operator()(const std::string& name) const
{
    uint32_t h = 0;
    for (char c : name)
        h = 5 * h + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    return h;
}

tex_hash_map& tex_hash()
{
    static tex_hash_map table(TEX_HASH_BUCKETS);
    return table;
}

tman_class::tman_class()
    : async_pos(0), loaded(0), total(0), scene_fail(0), plane_fail(0), instl_fail(0), async_job(nullptr),
      async_result(0), force_finish(nullptr)
{
    reset_bind();
}

void tman_class::hold_record(int ref)
{
    if (ref >= 0 && static_cast<size_t>(ref) >= refs.size())
        refs.resize(static_cast<size_t>(ref) + 1);
}

int tman_class::load_texture(tex_fail_mode fail, int ref, int type, tex_load_time when, const std::string& name)
{
    if (name.empty())
        return 0;
    if (when < tex_load_now || when > tex_load_unloaded)
        tman_fatal_value("Trying to create an invalid texture load_time!", name, when, 98);
    if (ref < 0 || ref > TEX_REF_LIMIT)
        tman_fatal_value("Trying to bind too low or high a manual_ref!", name, ref, 101);

    int slot = ref;
    if (ref == 0) {
        auto found = tex_hash().find(name);
        if (found != tex_hash().end()) {
            const int r = found->second;
            if (static_cast<size_t>(r) < refs.size() && refs[r].load_time == tex_load_now)
                return r;
            hold_record(r);
            return load_texture_int(fail, LOAD_TEXTURE, r, type, name, 0) ? r : 0;
        }
        // The highest free slot at or above the first automatic ref, else the first index past the table.
        slot = refs.size() >= static_cast<size_t>(TEX_FIRST_AUTOMATIC + 1) ? static_cast<int>(refs.size())
                                                                           : TEX_FIRST_AUTOMATIC;
        for (size_t i = TEX_FIRST_AUTOMATIC; i < refs.size(); ++i)
            if (refs[i].load_type == RECORD_FREE)
                slot = static_cast<int>(i);
    }
    hold_record(slot);

    ref_dat_struct& record = refs[slot];
    tex_hash().erase(record.name);
    tex_hash().emplace(name, slot);  // an existing entry for the same name keeps its ref

    if (record.load_type == RECORD_FREE) {
        record.name = name;
        record.load_type = LOAD_TEXTURE;
        record.load_time = tex_load_now;
        record.gl_name = 0;
        record.dx = record.dy = record.tex_dx = record.tex_dy = 0;
        record.vram = 0;
        record.use_count = -1;
        record.type = type;
        record.fail_mode = fail;
        record.gl_format = GL_RGBA;
        total += 1;
    }

    const int result = load_texture_int(fail, LOAD_TEXTURE, slot, type, name, 1);
    if (result != 0)
        return slot;
    return ref == 0 ? slot : 0;
}

void tman_class::force_load_tex(int ref)
{
    if (ref < 0 || static_cast<size_t>(ref) >= refs.size())
        return;
    const ref_dat_struct& record = refs[ref];
    if (record.load_time == tex_load_now)
        return;
    const std::string name = record.name;
    (void)load_texture_int(static_cast<tex_fail_mode>(record.fail_mode), LOAD_TEXTURE, ref, record.type, name, 1);
}

int tman_class::load_instrument(tex_fail_mode fail, int ref, int type, const std::string& name, int flag)
{
    return load_texture_int(fail, flag ? LOAD_INSTRUMENT_KEEP : LOAD_INSTRUMENT_OVERLAY, ref, type, name, 1);
}

int tman_class::load_bitmap(tex_fail_mode fail, int overlay, int type, const std::string& name)
{
    return load_texture_int(fail, overlay ? LOAD_BITMAP_OVERLAY : LOAD_BITMAP, 0, type, name, 1);
}

int tman_load_region_bitmap(const std::string& path, int* width, int* height, std::vector<unsigned char>* pixels)
{
    if (tman.load_bitmap(tex_fail_silent, 0, REGION_BITMAP_TYPE, path) == 0)
        return 0;
    const int dx = static_cast<int>(tman.refs[0].dx);
    const int dy = static_cast<int>(tman.refs[0].dy);
    if (dx < 1 || dy < 1 || dx > IMAGE_SIDE_LIMIT || dy > IMAGE_SIDE_LIMIT)
        return 0;
    *width = dx;
    *height = dy;
    pixels->resize(static_cast<size_t>(dx) * static_cast<size_t>(dy));
    for (int y = 0; y < dy; ++y)
        memcpy(pixels->data() + static_cast<size_t>(y) * dx, scratch_array + static_cast<size_t>(y) * IMAGE_ONLY_STRIDE,
               static_cast<size_t>(dx));
    return 1;
}

int tman_class::load_texture_int(tex_fail_mode fail, int load_type, int ref, int type, const std::string& name,
                                 int show_progress)
{
    // Images already in scratch_array never wait for a pending file load.
    if (force_finish != nullptr && !starts_with_scratch_name(name))
        force_finish->finish();
    check_load_type(load_type, name);
    check_filter_type(type, name);

    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxtexdim);

    tex_load_vars v;
    v.fail_mode = fail;
    v.load_type = load_type;
    v.ref = ref;
    v.type = type;
    v.show_progress = show_progress;
    v.name = name;
    const int io_result = load_texture_io(&v);
    return load_texture_ogl(&v, io_result);
}

void tman_class::unload_texture(int ref)
{
    if (ref < 0 || static_cast<size_t>(ref) >= refs.size())
        return;
    ref_dat_struct& record = refs[ref];
    if (record.gl_name != 0 && record.gl_name != TEX_PLACEHOLDER) {
        const GLuint name = static_cast<GLuint>(record.gl_name);
        glDeleteTextures(1, &name);
    }
    // A unit still claiming the deleted name would skip the next bind of a reload under the same ref.
    if (record.gl_name != 0)
        forget_bound(record.gl_name);
    if (record.load_time == tex_load_now && record.vram != 0)
        loaded -= 1;
    if (record.load_type != RECORD_FREE)
        total -= 1;
    tex_hash().erase(record.name);
    record = ref_dat_struct{};
}

void tman_class::purge_unused_texes()
{
    for (size_t i = 0; i < refs.size(); ++i)
        if (refs[i].use_count == 0)
            unload_texture(static_cast<int>(i));
}

void tman_class::start_use_tex(int ref)
{
    if (ref < 0 || static_cast<size_t>(ref) >= refs.size())
        return;
    if (refs[ref].use_count == -1)
        refs[ref].use_count = 0;
    refs[ref].use_count += 1;
}

void tman_class::stop_use_tex(int ref)
{
    if (ref < 0 || static_cast<size_t>(ref) >= refs.size())
        return;
    refs[ref].use_count -= 1;
}

int tman_class::tot_vram() const
{
    int bytes = static_cast<int>(static_cast<int64_t>(mnw.x_res) * mnw.y_res * mnw.col_res / 8);
    for (const ref_dat_struct& record : refs)
        bytes += record.vram;
    return bytes;
}

double tman_class::scale_rat() const
{
    switch (mnw.tex_res) {
        case 5:
            return 1.0;
        case 4:
            return 0.5;
        case 3:
            return 0.25;
        case 2:
            return 0.125;
        case 1:
            return 0.0625;
        case 0:
            return 0.03125;
        default:
            return 1.0;
    }
}

void tman_class::set_chroma_key(unsigned char* rgba)
{
    for (int i = 0; i < 4; ++i)
        key_color[i] = rgba[i];
}

void tman_class::apply_fail_mode(tex_fail_mode fail, const std::string& name)
{
    switch (fail) {
        case tex_fail_silent:
            return;
        case tex_fail_scenery:
            if (scene_fail == 0)
                scene_fail = 1;
            break;
        case tex_fail_aircraft:
            if (plane_fail == 0)
                plane_fail = 1;
            break;
        case tex_fail_installed:
            if (instl_fail == 0)
                instl_fail = 1;
            break;
        case tex_fail_fatal:
            __MACIBM_alert(0, "Trying to load a texture that you do not have!",
                           "This smacks of a mis-installed copy of Veltrix!",
                           "Please get a fresh copy of the program; the missing file is named below.", name,
                           ALERT_FATAL, TMAN_SOURCE, 1650);
            return;
        default:
            break;
    }
    xer << "WARNING: we are missing the texture: " << name << ".\n";
}

// [SECTION] Two-stage scenery load ----------------------------------------------------------------------

int tman_class::load_scenery_async_register(tman_force_finish_obj* obj)
{
    for (size_t i = async_pos; i < refs.size(); ++i) {
        const ref_dat_struct& record = refs[i];
        if (record.load_time != tex_load_queued)
            continue;
        force_finish = obj;
        async_vars = tex_load_vars{};
        async_vars.fail_mode = static_cast<tex_fail_mode>(record.fail_mode);
        async_vars.load_type = LOAD_TEXTURE;
        async_vars.ref = static_cast<int>(i);
        async_vars.type = record.type;
        async_vars.show_progress = 0;
        async_vars.name = record.name;
        async_job = &async_vars;
        return 1;
    }
    async_pos = static_cast<unsigned>(refs.size());
    return 0;
}

int tman_class::load_scenery_async_work()
{
    if (async_job == nullptr)
        return 0;
    async_result = load_texture_io(async_job);
    return async_result;
}

void tman_class::load_scenery_async_finalize()
{
    if (force_finish == nullptr)
        return;
    if (async_job != nullptr)
        (void)load_texture_ogl(async_job, async_result);
    async_job = nullptr;
    force_finish = nullptr;
}

int tman_class::num_remaining_async_texes() const
{
    int count = 0;
    for (size_t i = async_pos; i < refs.size(); ++i)
        if (refs[i].load_time == tex_load_queued)
            ++count;
    return count;
}

void tman_class::load_all_scenery_texes()
{
    const float queued = static_cast<float>(num_remaining_async_texes());
    int k = 0;
    for (size_t i = async_pos; i < refs.size(); ++i) {
        if (refs[i].load_time != tex_load_queued)
            continue;
        const std::string name = refs[i].name;
        (void)load_texture_int(static_cast<tex_fail_mode>(refs[i].fail_mode), LOAD_TEXTURE, static_cast<int>(i),
                               refs[i].type, name, 0);
        const size_t slash = name.rfind('/');
        const std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
        if (k % SCENERY_PROGRESS_EVERY == 0 || queued < SCENERY_PROGRESS_ALL_BELOW) {
            float fraction = static_cast<float>(k) / queued;
            MACIBM_show_init("Loading scenery texture " + file + ".", &fraction);
        }
        k += 1;
    }
    async_pos = static_cast<unsigned>(refs.size());
}

int is_an_inst_we_dont_burn(int, int)
{
    return 0;
}
