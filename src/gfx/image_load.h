// image_load: decodes PNG and 24-bit BMP files (or takes pixels already in scratch_array) into the
// scratch buffers, at the size the texture-resolution setting asks for.
// Called by the texture manager (tman_class::load_texture_io) and the image-only loads; no OpenGL here.
// Invariant: every write stays inside the 4 MB scratch buffers: sizes are held to 1..1024 by check_dxy
// before any row is placed, and file bytes are read only between the mapping's start and end.
#pragma once

#include <string>

#include <png.h>

// Failure policy of a texture load, applied when no loader could read the image.
enum tex_fail_mode : int {
    tex_fail_silent = 0,     // return 0, no flag, no log line
    tex_fail_scenery = 1,    // raise the scenery flag, log
    tex_fail_aircraft = 2,   // raise the aircraft flag, log
    tex_fail_installed = 3,  // raise the flag of other installed textures, log
    tex_fail_fatal = 4,      // fatal alert
};

// When a texture is (to be) loaded; only 100 is ever recorded by load_texture.
enum tex_load_time : int {
    tex_load_now = 100,
    tex_load_queued = 101,
    tex_load_unloaded = 102,
};

// Load types: -100 makes a texture, the others decode images that are never uploaded.
constexpr int LOAD_TEXTURE = -100;
constexpr int LOAD_BITMAP = -101;              // load_bitmap without overlay
constexpr int LOAD_INSTRUMENT_KEEP = -102;     // load_instrument with flag
constexpr int LOAD_INSTRUMENT_OVERLAY = -103;  // load_instrument without flag
constexpr int LOAD_BITMAP_OVERLAY = -104;      // load_bitmap with overlay

// Type flags of a load (colour kind in the low three bits).
constexpr int TEX_KIND_MASK = 0x007;
constexpr int TEX_MIPMAP = 0x008;
constexpr int TEX_CLAMP = 0x010;
constexpr int TEX_DOUBLE_RES = 0x020;
constexpr int TEX_HALF_RES = 0x040;
constexpr int TEX_FULL_RES = 0x080;
constexpr int TEX_KEEP_IN_SCRATCH = 0x100;
constexpr int TEX_CHROMA_KEY = 0x400;
constexpr int TEX_TYPE_MAX = 0x7FF;

// Largest side of any image or texture: 1024 x 1024 x 4 bytes is exactly one scratch buffer.
constexpr int IMAGE_SIDE_LIMIT = 1024;
// Usable bytes of each scratch buffer.
constexpr size_t SCRATCH_USABLE_BYTES = 4194304;
// Stride in pixels of the image-only loads, which always lay their rows out 1024 pixels apart.
constexpr int IMAGE_ONLY_STRIDE = 1024;

// Source path named by the texture code's alerts.
constexpr const char* TMAN_SOURCE = "DEzovuv/OOPS_cpp/tman";

// Fatal alert with the lines l1, name, "value:" and the value formatted "%1.0f" (left in stl_global).
[[noreturn]] void tman_fatal_value(const char* l1, const std::string& name, double value, int line);

// The load in progress.
struct tex_load_vars {
    tex_fail_mode fail_mode = tex_fail_silent;
    int load_type = LOAD_TEXTURE;
    int ref = 0;
    int type = 0;
    int show_progress = 0;
    int gl_format = 0;
    unsigned char bpp = 0;
    int file_channels = 0;
    int dx = 0, dy = 0;
    int tex_dx = 0, tex_dy = 0;
    std::string name;
    unsigned char* pixels = nullptr;
};

// Where PNG and BMP files are decoded; 4 MB usable, 16 bytes of slack as in scratch_array_storage.
extern unsigned char scratch_array_temp[SCRATCH_USABLE_BYTES + 16];

// The path of the PNG being read, for messages.
extern std::string ping_path;

// The renderer's largest texture side, read at the start of every load (0 until then).
extern int maxtexdim;

// Each returns 1 when it took the load, 0 when the name is not its kind (not a scratch name, no file).
int load_buf_into_scratch(std::string name, int ref, int load_type, int type, int* dx, int* dy, int* tex_dx,
                          int* tex_dy);
int load_png_into_scratch(std::string name, int ref, int load_type, int type, unsigned char& bpp, int file_channels,
                          int* dx, int* dy, int* tex_dx, int* tex_dy);
int load_bmp_into_scratch(std::string name, int ref, int load_type, int type, unsigned char bpp, int* dx, int* dy,
                          int* tex_dx, int* tex_dy);

// Output size and power-of-two texture size for an image of dx x dy from `source`
// (1 scratch buffer, 2 PNG, 3 BMP); returns the scale applied.
double get_scale(std::string name, int ref, int load_type, int type, int dx, int dy, int* out_dx, int* out_dy,
                 int* tex_dx, int* tex_dy, int* x_off, int* y_off, int source);

// True for the names that stand for pixels already in scratch_array ("scratch_array" first).
bool starts_with_scratch_name(const std::string& name);

// End the program when a load type lies outside LOAD_BITMAP_OVERLAY..LOAD_TEXTURE, or a type
// outside 0..TEX_TYPE_MAX.
void check_load_type(int load_type, const std::string& name);
void check_filter_type(int type, const std::string& name);
// Ends the program when value lies outside 1..1024.
void check_dxy(int value, std::string name);

// libpng callbacks.
void my_readbuf(png_structp png, png_bytep out, png_size_t n);
[[noreturn]] void my_error(png_structp png, png_const_charp msg);
void my_warning(png_structp png, png_const_charp msg);
png_voidp my_malloc(png_structp png, png_alloc_size_t size);
void my_free(png_structp png, png_voidp p);
