// Image writers.
//
// BMP written here (all fields little-endian): 14-byte file header "BM", file size, two zero words, pixel
// offset 54; 40-byte info header with width, positive height (bottom row first), 1 plane, 24 bits, no
// compression, zero sizes, resolutions and colour counts; then rows of B, G, R padded with zeros to a
// multiple of 4 bytes.

#include "gfx/image_write.h"

#include "core/alert.h"
#include "core/errors.h"
#include "core/globals.h"
#include "core/paths.h"
#include "gfx/image_load.h"
#include "platform/part_files.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <vector>

namespace {

constexpr int BMP_HEADER_BYTES = 54;
constexpr int BMP_INFO_HEADER_BYTES = 40;
constexpr int BMP_BITS_PER_PIXEL = 24;
// PNG compression settings: best compression, default memory level and strategy, a 32 KB window.
constexpr int PNG_COMPRESSION_LEVEL = 9;
constexpr int PNG_MEMORY_LEVEL = 8;
constexpr int PNG_STRATEGY_DEFAULT = 0;
constexpr int PNG_WINDOW_BITS = 15;
constexpr int PNG_DEFLATE_METHOD = 8;
constexpr size_t PNG_COMPRESSION_BUFFER = 8192;
// The source lines the two writers' alerts name: libpng's error handler, and the BMP writer.
constexpr int PNG_ERROR_LINE = 84;
constexpr int BMP_WRITER_LINE = 231;
// What a failed write says, in libpng's words, so that both formats read alike.
constexpr const char* WRITE_ERROR_TEXT = "Write Error";

// True when a width x height image of `bytes` per pixel lies wholly inside scratch_array.
bool fits_scratch(int width, int height, int bytes)
{
    if (width < 1 || height < 1)
        return false;
    return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * bytes <= scratch_array_bytes;
}

void put_u16(unsigned char* at, uint32_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void put_u32(unsigned char* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// The alert says which file failed, the log why.
void log_write_failure(const char* title, const std::string& full, int error)
{
    xer << title << " " << full << " was not written: " << error_str(error) << "\n";
}

// A failed BMP write, or a PNG that failed after libpng was done, reads as libpng's own write error.
void report_write_failure(const char* title, const std::string& full, int error, int line)
{
    log_write_failure(title, full, error);
    __MACIBM_alert(0, title, WRITE_ERROR_TEXT, full, "", ALERT_MESSAGE, TMAN_SOURCE, line);
}

// Where libpng's output goes: the part file, and the errno of the write that failed.
struct png_sink {
    plat::part_file* part;
    int error;
};

void write_to_part(png_structp png, png_bytep data, size_t length)
{
    auto* sink = static_cast<png_sink*>(png_get_io_ptr(png));
    sink->error = sink->part->write(data, length);
    if (sink->error != 0)
        png_error(png, WRITE_ERROR_TEXT);
}

// Each write goes straight to the descriptor; there is no buffer of ours to flush.
void flush_part(png_structp) { }

// Writes the PNG stream into the sink; true when all of it was written. Holds nothing that libpng's
// error jump could skip over.
bool write_png_rows(png_sink* sink, png_bytep* rows, int width, int height, int bytes)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, my_error, my_warning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        // my_error has shown the message.
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, sink, write_to_part, flush_part);
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_compression_level(png, PNG_COMPRESSION_LEVEL);
    png_set_compression_mem_level(png, PNG_MEMORY_LEVEL);
    png_set_compression_strategy(png, PNG_STRATEGY_DEFAULT);
    png_set_compression_window_bits(png, PNG_WINDOW_BITS);
    png_set_compression_method(png, PNG_DEFLATE_METHOD);
    png_set_compression_buffer_size(png, PNG_COMPRESSION_BUFFER);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 bytes == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

void write_png_to_disk(std::string path, int width, int height, int bytes_per_pixel)
{
    const int bytes = bytes_per_pixel == 4 ? 4 : 3;
    if (!fits_scratch(width, height, bytes)) {
        xer << "PNG not written: " << width << " x " << height << " pixels do not fit the 4 MB scratch buffer, " << path
            << "\n";
        return;
    }
    std::string full = app_path + path;
    set_dir_chars(full);
    ping_path = full;

    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int i = 0; i < height; ++i)
        rows[i] = scratch_array + static_cast<size_t>(height - 1 - i) * width * bytes;

    // Written beside the target and renamed over it once whole, so that a full disk leaves the file
    // of that name as it was, and no half of the new one.
    plat::part_file part(plat::part_folder(full));
    if (part.error() != 0)
        return;
    png_sink sink{&part, 0};
    if (!write_png_rows(&sink, rows.data(), width, height, bytes)) {
        // my_error has shown the alert; only the reason is left to say.
        if (sink.error != 0)
            log_write_failure("PNG error!", full, sink.error);
        return;
    }
    if (const int error = part.commit(full); error != 0)
        report_write_failure("PNG error!", full, error, PNG_ERROR_LINE);
}

void write_bmp_to_disk(std::string path, int width, int height)
{
    if (path.size() > 4 && path[path.size() - 4] == '.')
        path.erase(path.size() - 4);
    set_dir_chars(path);
    path += ".bmp";
    const std::string full = app_path + path;

    if (!fits_scratch(width, height, 3)) {
        xer << "BMP not written: " << width << " x " << height << " pixels do not fit the 4 MB scratch buffer, " << full
            << "\n";
        return;
    }

    // Written beside the target and renamed over it once whole, as the PNG writer does.
    plat::part_file part(plat::part_folder(full));
    if (part.error() != 0) {
        __MACIBM_alert(0, "I could not create this file!", "Here is the path:", full,
                       "Make sure you have all these folders... I can create files, but not folders!", ALERT_FATAL,
                       TMAN_SOURCE, BMP_WRITER_LINE);
        return;
    }

    const uint32_t row_bytes = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
    unsigned char header[BMP_HEADER_BYTES] = {};
    header[0] = 'B';
    header[1] = 'M';
    put_u32(header + 2, BMP_HEADER_BYTES + row_bytes * static_cast<uint32_t>(height));
    put_u32(header + 10, BMP_HEADER_BYTES);
    put_u32(header + 14, BMP_INFO_HEADER_BYTES);
    put_u32(header + 18, static_cast<uint32_t>(width));
    put_u32(header + 22, static_cast<uint32_t>(height));
    put_u16(header + 26, 1);
    put_u16(header + 28, BMP_BITS_PER_PIXEL);
    int error = part.write(header, sizeof header);

    // Each row is converted to B, G, R in its own buffer, so the image in scratch_array stays as it was.
    std::vector<unsigned char> row(row_bytes, 0);
    for (int y = 0; y < height && error == 0; ++y) {
        const unsigned char* source = scratch_array + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            row[x * 3 + 0] = source[x * 3 + 2];
            row[x * 3 + 1] = source[x * 3 + 1];
            row[x * 3 + 2] = source[x * 3 + 0];
        }
        error = part.write(row.data(), row.size());
    }
    if (error == 0)
        error = part.commit(full);
    if (error != 0)
        report_write_failure("BMP error!", full, error, BMP_WRITER_LINE);
}
