// Image loading into the scratch buffers.
//
// Formats read here:
//   PNG  any colour type, bit depth and interlace that libpng reads; expanded, stripped and filled to the
//        1, 3 or 4 bytes per pixel the colour kind asks for.
//   BMP  "BM", 14-byte file header + 40-byte info header, little-endian; only 24 bits per pixel without
//        compression. Rows bottom-up, each padded to a multiple of 4 bytes.
// Rows land in the buffer bottom row first, `stride` pixels apart.
//
// Index:
//   [SECTION] Shared checks (starts_with_scratch_name, tman_fatal_value, check_load_type,
//             check_filter_type, check_dxy, get_scale)
//   [SECTION] Entry point (tman_class::load_texture_io, load_buf_into_scratch)
//   [SECTION] PNG (callbacks, load_png_into_scratch, compositing, reduction)
//   [SECTION] BMP (load_bmp_into_scratch)

#include "gfx/image_load.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "core/xmap.h"
#include "gfx/tman.h"

#include <GL/gl.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

alignas(16) unsigned char scratch_array_temp[SCRATCH_USABLE_BYTES + 16];
std::string ping_path;
int maxtexdim = 0;

namespace {

// The reader of the PNG being decoded; my_readbuf pulls bytes from it.
xmap_class* png_mapped_file = nullptr;

// Bytes of one BMP pixel (B, G, R).
constexpr int64_t BMP_PIXEL_BYTES = 3;
// Only this much of a buffer may take a BMP pixel: a 4-byte pixel written at the last allowed address
// still ends inside the usable 4 MB.
constexpr int64_t BMP_TARGET_LIMIT = 4194300;
// Chroma key: pixels closer than this (sum of channel distances) to the key become partly transparent.
constexpr int CHROMA_DISTANCE = 51;
constexpr double CHROMA_ALPHA_PER_STEP = 5.0;
// Gamma of the screens the images were made for, and the file gamma assumed when a PNG names none
// (its inverse, so such files are used as they stand).
constexpr double SCREEN_GAMMA = 1.8;
constexpr double DEFAULT_FILE_GAMMA = 0.5555555555555556;
// Reduction factors the box filter handles, as powers of two (2 to 32).
constexpr int LARGEST_REDUCTION_SHIFT = 5;
// What a PNG may make libpng allocate. No chunk this program reads comes near a few megabytes, and
// no image side past 1024 is used; the side limit still lets a wider image reach the size check
// and its own alert, while a row buffer stays within half a megabyte (8 bytes a pixel at most).
constexpr png_alloc_size_t PNG_CHUNK_LIMIT = png_alloc_size_t(4) << 20;
constexpr png_uint_32 PNG_SIDE_LIMIT = 65536;

// A name ending in a three-letter extension is looked for with `extension` in its place.
std::string with_extension(std::string name, const char* extension)
{
    if (name.size() > 4 && name[name.size() - 4] == '.')
        name.replace(name.size() - 4, 4, extension);
    return name;
}

void check_bytes_per_pixel(int bpp, const std::string& name)
{
    if (bpp < 1 || bpp > 4)
        tman_fatal_value("Trying to bind too low or high a number of bytes!", name, bpp, 100);
}

int texture_side(int side)
{
    if (side > IMAGE_SIDE_LIMIT)
        return side;
    int power = IMAGE_SIDE_LIMIT;
    while (power / 2 >= side && power > 1)
        power /= 2;
    return power;
}

}  // namespace

// [SECTION] Shared checks -------------------------------------------------------------------------------

bool starts_with_scratch_name(const std::string& name)
{
    static constexpr char prefix[] = "scratch_array";
    return name.compare(0, sizeof prefix - 1, prefix) == 0;
}

void tman_fatal_value(const char* l1, const std::string& name, double value, int line)
{
    char text[64];
    snprintf(text, sizeof text, "%1.0f", value);
    stl_global = text;
    __MACIBM_alert(0, l1, name, "value:", stl_global, ALERT_FATAL, TMAN_SOURCE, line);
    abort();  // the alert never returns from a fatal type
}

void check_load_type(int load_type, const std::string& name)
{
    if (load_type < LOAD_BITMAP_OVERLAY || load_type > LOAD_TEXTURE)
        tman_fatal_value("Trying to create an invalid texture load_type!", name, load_type, 97);
}

void check_filter_type(int type, const std::string& name)
{
    if (type < 0 || type > TEX_TYPE_MAX)
        tman_fatal_value("Trying to bind an invalid filter type!", name, type, 99);
}

void check_dxy(int value, std::string name)
{
    if (value < 1 || value > IMAGE_SIDE_LIMIT)
        tman_fatal_value("Trying to create a texture either less than 1 or greater than 1024!", name, value, 96);
}

double get_scale(std::string name, int ref, int load_type, int type, int dx, int dy, int* out_dx, int* out_dy,
                 int* tex_dx, int* tex_dy, int* x_off, int* y_off, int source)
{
    check_load_type(load_type, name);
    *x_off = 0;
    *y_off = 0;

    double scale = 1.0;
    if (load_type == LOAD_TEXTURE) {
        scale = tman.scale_rat();
        if (type & TEX_DOUBLE_RES)
            scale = std::min(scale * 2.0, 1.0);
        if (type & TEX_HALF_RES)
            scale = std::max(scale * 0.5, 0.0);
        if (type & TEX_FULL_RES)
            scale = 1.0;
        if (source == 1)
            scale = 1.0;

        // No side may fall below one pixel. A scale raised that way is rounded up to a power-of-two
        // fraction so the PNG box filter can still reduce the image.
        const double floor_x = dx > 0 ? 1.0 / dx : 1.0;
        const double floor_y = dy > 0 ? 1.0 / dy : 1.0;
        if (scale < floor_x || scale < floor_y) {
            const double raised = std::max(floor_x, floor_y);
            scale = 1.0;
            while (scale * 0.5 >= raised)
                scale *= 0.5;
        }
        // The box filter stops at 1/32; a smaller factor (the half-resolution bit at the lowest
        // setting) would end the program for a valid image.
        scale = std::max(scale, 1.0 / (1 << LARGEST_REDUCTION_SHIFT));

        if (maxtexdim > 0) {
            while (dx * scale > maxtexdim || dy * scale > maxtexdim)
                scale *= 0.5;
        }
        *out_dx = static_cast<int>(dx * scale);
        *out_dy = static_cast<int>(dy * scale);
    } else {
        *out_dx = dx;
        *out_dy = dy;
    }

    *tex_dx = texture_side(*out_dx);
    *tex_dy = texture_side(*out_dy);

    check_dxy(dx, name);
    check_dxy(dy, name);
    check_dxy(*out_dx, name);
    check_dxy(*out_dy, name);
    check_dxy(*tex_dx, name);
    check_dxy(*tex_dy, name);
    return scale;
}

// [SECTION] Entry point ---------------------------------------------------------------------------------

int tman_class::load_texture_io(tex_load_vars* v)
{
    switch (v->type & TEX_KIND_MASK) {
        case 1:
            v->gl_format = GL_RGB;
            v->bpp = 3;
            v->file_channels = 0;
            break;
        case 2:
            v->gl_format = GL_RGBA;
            v->bpp = 4;
            v->file_channels = 0;
            break;
        case 3:
            v->gl_format = GL_ALPHA;
            v->bpp = 1;
            v->file_channels = 0;
            break;
        case 4:
            v->gl_format = GL_RGB;
            v->bpp = 3;
            v->file_channels = 1;
            break;
        case 5:
            v->gl_format = GL_RGBA;
            v->bpp = 4;
            v->file_channels = 1;
            break;
        case 6:
            v->gl_format = GL_DEPTH_COMPONENT;
            v->bpp = 1;
            v->file_channels = 0;
            break;
        case 7:
            v->gl_format = GL_RGB;
            v->bpp = 3;
            v->file_channels = 0;
            break;
        default:
            __MACIBM_alert(0, "BAD color enum for tman - see tman for valid colors!  We cannot pass 0.", "", "", "",
                           ALERT_FATAL, TMAN_SOURCE, 1572);
            return 0;
    }

    int result = 0;
    if (!v->name.empty()) {
        if (load_buf_into_scratch(v->name, v->ref, v->load_type, v->type, &v->dx, &v->dy, &v->tex_dx, &v->tex_dy)) {
            v->pixels = scratch_array;
            result = 1;
        } else if (load_png_into_scratch(v->name, v->ref, v->load_type, v->type, v->bpp, v->file_channels, &v->dx,
                                         &v->dy, &v->tex_dx, &v->tex_dy)) {
            v->pixels = scratch_array_temp;
            result = 2;
        } else if (load_bmp_into_scratch(v->name, v->ref, v->load_type, v->type, v->bpp, &v->dx, &v->dy, &v->tex_dx,
                                         &v->tex_dy)) {
            v->pixels = scratch_array_temp;
            result = 3;
        }
    }
    if (v->type & TEX_KEEP_IN_SCRATCH)
        v->pixels = scratch_array;
    return result;
}

int load_buf_into_scratch(std::string name, int ref, int load_type, int type, int* dx, int* dy, int* tex_dx,
                          int* tex_dy)
{
    check_load_type(load_type, name);
    if (!starts_with_scratch_name(name))
        return 0;
    check_dxy(scratch_dx, name);
    check_dxy(scratch_dy, name);
    int x_off = 0, y_off = 0;
    (void)get_scale(name, ref, load_type, type, scratch_dx, scratch_dy, dx, dy, tex_dx, tex_dy, &x_off, &y_off, 1);
    return 1;
}

// [SECTION] PNG -----------------------------------------------------------------------------------------

void my_readbuf(png_structp png, png_bytep out, png_size_t n)
{
    xmap_class* file = png_mapped_file;
    if (file == nullptr || file->cur == nullptr || static_cast<size_t>(file->end - file->cur) < n)
        png_error(png, "PNG Read Error, overran end of buffer!");
    memcpy(out, file->cur, n);
    file->cur += n;
}

namespace {

// Kept out of my_error so that no string is alive when libpng jumps back to its recovery point.
void show_png_error(png_const_charp msg)
{
    __MACIBM_alert(0, "PNG error!", msg ? msg : "", ping_path, "", ALERT_MESSAGE, TMAN_SOURCE, 84);
}

}  // namespace

void my_error(png_structp png, png_const_charp msg)
{
    show_png_error(msg);
    png_longjmp(png, 1);
}

void my_warning(png_structp png, png_const_charp msg)
{
    xer << "PNG warning! " << (msg ? msg : "") << ", " << ping_path << "\n";
}

png_voidp my_malloc(png_structp png, png_alloc_size_t size)
{
    return malloc(size);
}

void my_free(png_structp png, png_voidp p)
{
    free(p);
}

namespace {

// What one PNG decode needs between libpng's set-up and its recovery point. Plain data only: libpng
// may jump out of decode_png_rows at any read, so nothing there may own a resource.
struct png_job {
    const char* name;
    int load_type;
    int ref;
    int type;
    unsigned char* bpp;
    int file_channels;
    int* dx;
    int* dy;
    int* tex_dx;
    int* tex_dy;
    png_bytep* rows;  // IMAGE_SIDE_LIMIT row pointers
    // Filled by decode_png_rows.
    unsigned char* buffer;
    int width, height, stride;
    double scale;
};

// Recovery point: 1 when libpng reported an error. Kept separate so that the only frame libpng
// jumps over is this plain-data one.
void decode_png_rows(png_structp png, png_infop info, png_job& job)
{
    png_init_io(png, nullptr);
    png_set_read_fn(png, nullptr, my_readbuf);
    png_set_sig_bytes(png, 8);
    png_mapped_file->cur = png_mapped_file->base + 8;

    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bit_depth = 0, colour_type = 0, interlace = 0, compression = 0, filter = 0;
    png_get_IHDR(png, info, &width, &height, &bit_depth, &colour_type, &interlace, &compression, &filter);
    // libpng 1.6 ignores this call before the header has been read.
    png_set_interlace_handling(png);

    double file_gamma = 0;
    if (!png_get_gAMA(png, info, &file_gamma))
        file_gamma = DEFAULT_FILE_GAMMA;
    png_set_gamma(png, SCREEN_GAMMA, file_gamma);

    const bool has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colour_type == PNG_COLOR_TYPE_PALETTE && bit_depth <= 8)
        png_set_expand(png);
    if (!(colour_type & PNG_COLOR_MASK_COLOR) && bit_depth < 8)
        png_set_expand(png);
    if (has_trns)
        png_set_expand(png);
    if (bit_depth == 16)
        png_set_strip_16(png);
    if (bit_depth < 8)
        png_set_packing(png);

    // A tRNS chunk becomes an alpha channel through png_set_expand, so it counts as alpha in the file.
    const bool file_alpha = (colour_type & PNG_COLOR_MASK_ALPHA) || has_trns;
    const bool file_colour = (colour_type & PNG_COLOR_MASK_COLOR) != 0;
    unsigned char& bpp = *job.bpp;
    if (job.file_channels == 0) {
        if (bpp == 4 && !file_alpha)
            png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        if (bpp < 4 && file_alpha)
            png_set_strip_alpha(png);
        if ((bpp == 3 || bpp == 4) && !file_colour)
            png_set_gray_to_rgb(png);
        if (bpp == 1 && file_colour)
            png_set_rgb_to_gray(png, 1, -1, -1);
    } else {
        bpp = file_alpha ? 4 : 3;
        if (!file_colour)
            png_set_gray_to_rgb(png);
    }
    png_read_update_info(png, info);

    int x_off = 0, y_off = 0;
    job.scale = get_scale(job.name, job.ref, job.load_type, job.type, static_cast<int>(width), static_cast<int>(height),
                          job.dx, job.dy, job.tex_dx, job.tex_dy, &x_off, &y_off, 2);
    job.width = static_cast<int>(width);
    job.height = static_cast<int>(height);

    // The transforms above must give exactly bpp bytes per pixel; anything wider would run past the rows.
    if (png_get_rowbytes(png, info) != static_cast<size_t>(job.width) * bpp)
        png_error(png, "unexpected row size after transforms");

    if (job.load_type == LOAD_TEXTURE) {
        job.buffer = (job.type & TEX_KEEP_IN_SCRATCH) ? scratch_array : scratch_array_temp;
        job.stride = job.scale == 1.0 ? *job.tex_dx : job.width;
    } else if (job.load_type == LOAD_BITMAP) {
        job.buffer = scratch_array;
        job.stride = IMAGE_ONLY_STRIDE;
    } else {
        job.buffer = scratch_array_temp;
        job.stride = IMAGE_ONLY_STRIDE;
    }
    if (job.load_type == LOAD_TEXTURE || job.load_type == LOAD_BITMAP)
        memset(job.buffer, 0, SCRATCH_USABLE_BYTES);

    for (int i = 0; i < job.height; ++i)
        job.rows[i] = job.buffer + static_cast<size_t>(job.height - 1 - i) * job.stride * bpp;
    png_read_image(png, job.rows);
}

void apply_chroma_key(const png_job& job)
{
    const unsigned char* key = key_color;
    for (int y = 0; y < job.height; ++y) {
        unsigned char* pixel = job.buffer + static_cast<size_t>(y) * job.stride * 4;
        for (int x = 0; x < job.width; ++x, pixel += 4) {
            const int distance = abs(pixel[0] - key[0]) + abs(pixel[1] - key[1]) + abs(pixel[2] - key[2]);
            if (distance < CHROMA_DISTANCE)
                pixel[3] = static_cast<unsigned char>(static_cast<int>(distance * CHROMA_ALPHA_PER_STEP));
        }
    }
}

// Lays the decoded image (scratch_array_temp, stride 1024) over scratch_array by its alpha.
void composite_onto_scratch(const png_job& job, int bpp)
{
    const double inverse = 1.0 / job.scale;
    for (int y = 0; y < *job.dy; ++y) {
        const int source_y = std::clamp(static_cast<int>(y * inverse), 0, std::min(job.height, IMAGE_SIDE_LIMIT) - 1);
        const int target_y = std::clamp(y, 0, IMAGE_SIDE_LIMIT - 1);
        for (int x = 0; x < *job.dx; ++x) {
            const int source_x =
                std::clamp(static_cast<int>(x * inverse), 0, std::min(job.width, IMAGE_SIDE_LIMIT) - 1);
            const int target_x = std::clamp(x, 0, IMAGE_SIDE_LIMIT - 1);
            const unsigned char* source =
                scratch_array_temp + (static_cast<size_t>(source_y) * IMAGE_ONLY_STRIDE + source_x) * bpp;
            unsigned char* target =
                scratch_array + (static_cast<size_t>(target_y) * IMAGE_ONLY_STRIDE + target_x) * bpp;
            // Without an alpha channel the decoded image is opaque.
            const int alpha = bpp == 4 ? source[3] : 255;
            if (alpha == 0)
                continue;
            const int colour_channels = bpp == 4 ? 3 : bpp;
            for (int c = 0; c < colour_channels; ++c)
                target[c] =
                    static_cast<unsigned char>((target[c] * ((256 - alpha) % 256)) / 256 + (source[c] * alpha) / 256);
            if (bpp == 4)
                target[3] = static_cast<unsigned char>(std::min(target[3] + alpha, 255));
        }
    }
}

// Box-filters the full-size decode (rows `width` apart) down by 1/scale, in place, rows tex_dx apart.
void reduce_in_place(const png_job& job, int bpp)
{
    const int factor = static_cast<int>(1.0 / job.scale + 0.5);
    int shift = 0;
    while ((1 << shift) < factor)
        ++shift;
    if ((1 << shift) != factor || shift < 1 || shift > LARGEST_REDUCTION_SHIFT || factor != 1.0 / job.scale) {
        __MACIBM_alert(0, "No case to handle this png!", job.name, "", "", ALERT_FATAL, TMAN_SOURCE, 647);
        return;
    }
    unsigned char* buffer = job.buffer;
    for (int oy = 0; oy < *job.dy; ++oy) {
        for (int ox = 0; ox < *job.dx; ++ox) {
            for (int c = 0; c < bpp; ++c) {
                unsigned sum = 0;
                for (int by = 0; by < factor; ++by) {
                    const unsigned char* row =
                        buffer + (static_cast<size_t>(oy * factor + by) * job.width + ox * factor) * bpp;
                    for (int bx = 0; bx < factor; ++bx)
                        sum += row[bx * bpp + c];
                }
                buffer[(static_cast<size_t>(oy) * *job.tex_dx + ox) * bpp + c] =
                    static_cast<unsigned char>(sum >> (2 * shift));
            }
        }
    }
}

}  // namespace

int load_png_into_scratch(std::string name, int ref, int load_type, int type, unsigned char& bpp, int file_channels,
                          int* dx, int* dy, int* tex_dx, int* tex_dy)
{
    ping_path = name;
    check_load_type(load_type, name);
    check_bytes_per_pixel(bpp, name);
    const std::string file_name = with_extension(name, ".png");

    png_structp png =
        png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, my_error, my_warning, nullptr, my_malloc, my_free);
    if (png == nullptr) {
        __MACIBM_alert(0, "PING-FILE ERROR!", "!png_ptr", name, "", ALERT_FATAL, TMAN_SOURCE, 360);
        return 0;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        __MACIBM_alert(0, "PING-FILE ERROR!", "!info_ptr", name, "", ALERT_FATAL, TMAN_SOURCE, 365);
        return 0;
    }

    // A 60-byte file may declare a chunk of gigabytes: libpng only warns about a chunk over its
    // limit and then allocates it, unless its "benign" errors are errors, as here.
    png_set_chunk_malloc_max(png, PNG_CHUNK_LIMIT);
    png_set_user_limits(png, PNG_SIDE_LIMIT, PNG_SIDE_LIMIT);
    png_set_benign_errors(png, 0);

    xmap_class file(file_name);
    if (file.base == nullptr || file.end - file.base < 8) {
        png_destroy_read_struct(&png, &info, nullptr);
        return 0;
    }
    const auto* bytes = reinterpret_cast<png_const_bytep>(file.base);
    if (png_sig_cmp(bytes, 0, 8) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        __MACIBM_alert(0, "PING-FILE ERROR!", "is_png=!png_sig_cmp(png_io_buf,0,8)", name, "", ALERT_FATAL, TMAN_SOURCE,
                       379);
        return 0;
    }
    png_mapped_file = &file;

    static png_bytep rows[IMAGE_SIDE_LIMIT];
    png_job job{name.c_str(), load_type, ref, type, &bpp, file_channels, dx, dy, tex_dx, tex_dy, rows,
                nullptr,      0,         0,   0,    1.0};
    if (setjmp(png_jmpbuf(png))) {
        png_mapped_file = nullptr;
        png_destroy_read_struct(&png, &info, nullptr);
        __MACIBM_alert(0, "PING-FILE ERROR!", "setjmp(png_ptr->jmpbuf", name, "", ALERT_FATAL, TMAN_SOURCE, 398);
        return 0;
    }
    decode_png_rows(png, info, job);

    if ((type & TEX_CHROMA_KEY) && bpp == 4)
        apply_chroma_key(job);

    png_mapped_file = nullptr;
    png_destroy_read_struct(&png, &info, nullptr);

    if (load_type == LOAD_INSTRUMENT_OVERLAY || load_type == LOAD_BITMAP_OVERLAY)
        composite_onto_scratch(job, bpp);
    else if (load_type == LOAD_TEXTURE && job.scale != 1.0)
        reduce_in_place(job, bpp);
    return 1;
}

// [SECTION] BMP -----------------------------------------------------------------------------------------

namespace {

// Little-endian field reader over a mapping; a field that does not fit before the end reads as 0.
struct bmp_fields {
    const unsigned char* cur;
    const unsigned char* end;

    uint32_t take(int bytes)
    {
        if (end - cur < bytes) {
            cur = end;
            return 0;
        }
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= static_cast<uint32_t>(cur[i]) << (8 * i);
        cur += bytes;
        return value;
    }
};

}  // namespace

int load_bmp_into_scratch(std::string name, int ref, int load_type, int type, unsigned char bpp, int* dx, int* dy,
                          int* tex_dx, int* tex_dy)
{
    check_load_type(load_type, name);
    check_bytes_per_pixel(bpp, name);
    check_filter_type(type, name);

    xmap_class file(with_extension(name, ".bmp"));
    if (file.base == nullptr)
        return 0;

    const auto* start = reinterpret_cast<const unsigned char*>(file.base);
    bmp_fields header{start, reinterpret_cast<const unsigned char*>(file.end)};
    (void)header.take(2);  // signature
    (void)header.take(4);  // file size
    (void)header.take(2);
    (void)header.take(2);
    const uint32_t pixel_offset = header.take(4);
    (void)header.take(4);  // header size
    const int32_t width = static_cast<int32_t>(header.take(4));
    const int32_t height = static_cast<int32_t>(header.take(4));
    (void)header.take(2);  // planes
    const uint32_t bits = header.take(2);
    const uint32_t compression = header.take(4);

    if (bits != 24) {
        __MACIBM_alert(0, "Wrong bitmap color depth for texture!", "We need 24-bit color.", "", name, ALERT_FATAL,
                       TMAN_SOURCE, 699);
        return 0;
    }
    if (compression != 0) {
        __MACIBM_alert(0, "Bitmap is compressed!", "", "", name, ALERT_FATAL, TMAN_SOURCE, 700);
        return 0;
    }
    check_dxy(width, name);
    check_dxy(height, name);
    int x_off = 0, y_off = 0;
    const double scale =
        get_scale(name, ref, load_type, type, width, height, dx, dy, tex_dx, tex_dy, &x_off, &y_off, 3);

    unsigned char* buffer = scratch_array;
    int stride = IMAGE_ONLY_STRIDE;
    if (load_type == LOAD_TEXTURE) {
        buffer = scratch_array_temp;
        stride = *tex_dx;
    }
    if (type & TEX_KEEP_IN_SCRATCH)
        buffer = scratch_array;

    // Offsets are 64-bit so that a hostile pixel offset cannot wrap around the mapping.
    const int64_t file_size = file.end - file.base;
    const int64_t row_bytes = (static_cast<int64_t>(width) * BMP_PIXEL_BYTES + 3) / 4 * 4;
    for (int y = 0; y < *dy; ++y) {
        const int64_t source_row = static_cast<int64_t>(pixel_offset) + static_cast<int64_t>(y / scale) * row_bytes;
        for (int x = 0; x < *dx; ++x) {
            const int64_t source = source_row + static_cast<int64_t>(x / scale) * BMP_PIXEL_BYTES;
            const int64_t target = (static_cast<int64_t>(y) * stride + x) * bpp;
            if (source + BMP_PIXEL_BYTES > file_size || target >= BMP_TARGET_LIMIT)
                continue;
            const unsigned char* bgr = start + source;
            unsigned char* out = buffer + target;
            if (bpp == 1) {
                out[0] = static_cast<unsigned char>((bgr[0] + bgr[1] + bgr[2]) / 3);
            } else if (bpp == 4) {
                const bool magenta = bgr[0] == 255 && bgr[1] == 0 && bgr[2] == 255;
                out[0] = magenta ? 0 : bgr[2];
                out[1] = magenta ? 0 : bgr[1];
                out[2] = magenta ? 0 : bgr[0];
                out[3] = magenta ? 0 : 255;
            } else if (bpp == 3) {
                out[0] = bgr[2];
                out[1] = bgr[1];
                out[2] = bgr[0];
            }
        }
    }
    return 1;
}
