// tman: the texture manager. Every texture the program draws with is named by an int ref and owned by
// the one global `tman`; drawing code binds refs (bind_ref), start-up loads the interface images.
// Main thread only, with the OpenGL context current for every load, bind and unload.
// Invariant: the OpenGL texture object of a loaded ref is named by the ref itself; a ref whose load
// failed draws with the placeholder ref 3373's texture (or none while 3373 holds nothing).
#pragma once

#include "gfx/image_load.h"

#include <string>
#include <unordered_map>
#include <vector>

// Highest ref a caller may choose, and the first automatic one.
constexpr int TEX_REF_LIMIT = 3374;
constexpr int TEX_FIRST_AUTOMATIC = 3374;
// The ref whose texture stands in for every texture that failed to load.
constexpr int TEX_PLACEHOLDER = 3373;
// Texture units the bind cache follows.
constexpr int TEX_CACHED_UNITS = 6;

// load_type of a record.
constexpr int RECORD_FREE = -105;

// Finishes a pending two-stage scenery load; the manager only ever calls finish().
class tman_force_finish_obj {
public:
    virtual void finish() = 0;
    virtual ~tman_force_finish_obj() = default;
};

// Hash of a texture name: h := 5h + c over its bytes taken as signed 8-bit values, in 32 bits.
struct tex_name_hash {
    size_t operator()(const std::string& name) const;
};
using tex_hash_map = std::unordered_map<std::string, int, tex_name_hash>;

// Name -> ref for every registered name. Built on first use, so no other file's static initialisation
// order matters.
tex_hash_map& tex_hash();

class tman_class {
public:
    struct ref_dat_struct {
        std::string name = "un-inited";
        int load_type = RECORD_FREE;
        int gl_name = 0;
        float dx = 0, dy = 0;
        float tex_dx = 0, tex_dy = 0;
        int vram = 0;
        int gl_format = 0;
        int load_time = tex_load_unloaded;
        int type = 0;
        int fail_mode = tex_fail_fatal;
        int use_count = -1;
    };

    tman_class();
    ~tman_class() = default;
    tman_class(const tman_class&) = delete;
    tman_class& operator=(const tman_class&) = delete;

    // Registers and loads a texture: ref 0 asks for an automatic ref. Returns the ref, or 0 when a fixed
    // ref failed (an automatic ref is returned even then, drawing the placeholder).
    int load_texture(tex_fail_mode fail, int ref, int type, tex_load_time when, const std::string& name);
    void force_load_tex(int ref);
    int load_instrument(tex_fail_mode fail, int ref, int type, const std::string& name, int flag);
    // Decodes into scratch_array only; the size afterwards stands in record 0's dx and dy.
    int load_bitmap(tex_fail_mode fail, int overlay, int type, const std::string& name);
    void unload_texture(int ref);
    void purge_unused_texes();
    void start_use_tex(int ref);
    void stop_use_tex(int ref);

    int total_texes() const { return total; }
    int loaded_texes() const { return loaded; }
    int tot_vram() const;
    double scale_rat() const;
    void set_chroma_key(unsigned char* rgba);

    int has_scene_load_fail() const { return scene_fail == 1; }
    int has_plane_load_fail() const { return plane_fail == 1; }
    int has_instl_load_fail() const { return instl_fail == 1; }
    void reset_scene_load_fail() { scene_fail = 0; }
    void reset_plane_load_fail() { plane_fail = 0; }
    void reset_instl_load_fail() { instl_fail = 0; }
    void mute_scene_load_fail() { scene_fail = 2; }
    void mute_plane_load_fail() { plane_fail = 2; }
    void mute_instl_load_fail() { instl_fail = 2; }

    // Two-stage scenery load: register, work (decode, no OpenGL), finalize (upload).
    int load_scenery_async_register(tman_force_finish_obj* obj);
    int load_scenery_async_work();
    void load_scenery_async_finalize();
    int num_remaining_async_texes() const;
    void load_all_scenery_texes();

    int load_texture_int(tex_fail_mode fail, int load_type, int ref, int type, const std::string& name,
                         int show_progress);

    // Decoding (image_load.cpp): 0 nothing read, 1 scratch buffer, 2 PNG, 3 BMP.
    int load_texture_io(tex_load_vars* v);
    // Upload (tex_upload.cpp): 0 failed, 1 image-only load done, else the ref uploaded.
    int load_texture_ogl(tex_load_vars* v, int io_result);
    void bind_ref(int ref, int unit, int mode);
    void reset_bind();
    void set_blend_level(int unit, float level);
    // For code that binds or deletes a texture behind bind_ref's back: drops the cache of one unit,
    // or every unit's claim on the texture object `gl_name`.
    void forget_unit(int unit);
    void forget_bound(int gl_name);

    unsigned int async_pos;
    int loaded;
    int total;
    std::vector<ref_dat_struct> refs;
    int bound_tex[TEX_CACHED_UNITS];
    int bound_env[TEX_CACHED_UNITS];
    int scene_fail;
    int plane_fail;
    int instl_fail;
    tex_load_vars* async_job;
    int async_result;
    tman_force_finish_obj* force_finish;

private:
    // Grows the table so that `ref` is a valid index; new records are free slots.
    void hold_record(int ref);
    void apply_fail_mode(tex_fail_mode fail, const std::string& name);
    // Makes a failed texture load draw with the placeholder.
    void take_placeholder(int ref);
    void upload(tex_load_vars* v, int io_result);
    void set_env_mode(int unit, int mode);
};

extern tman_class tman;

// The load the two-stage scenery load prepares.
extern tex_load_vars async_vars;
// Colour made transparent by the chroma-key flag: R, G, B, A.
extern unsigned char key_color[4];

// The scenery library's region bitmap load (the core's `region_bitmap` hook): the image-only load at full
// resolution, one byte per pixel, copied out of scratch_array bottom row first. 1, or 0 when nothing
// was read. Needs the OpenGL context, as every load does.
int tman_load_region_bitmap(const std::string& path, int* width, int* height, std::vector<unsigned char>* pixels);

int is_an_inst_we_dont_burn(int, int);

// Colours every fully transparent pixel of a width x height RGBA image like the opaque pixels up to two
// away, so linear filtering does not pull dark fringes out of transparent areas. Reads only opaque
// pixels and writes only transparent ones (their alpha stays 0), so the visiting order does not matter.
void bleed_transparent_pixels(unsigned char* pixels, int width, int height);
