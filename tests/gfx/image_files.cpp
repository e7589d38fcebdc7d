#include "gfx/image_files.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/tman.h"
#include "support/file_bytes.h"

namespace test {

void write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& rows,
               const png_options& options)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot create " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        throw std::runtime_error("libpng failed writing " + path);
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, options.bit_depth, options.colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < options.palette.size(); i += 3)
        palette.push_back({options.palette[i], options.palette[i + 1], options.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_color_16 grey_key{};
    if (!options.trns.empty()) {
        if (options.colour_type == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, options.trns.data(), static_cast<int>(options.trns.size()), nullptr);
        } else {
            grey_key.gray = static_cast<png_uint_16>(options.trns[0] << 8 | options.trns[1]);
            png_set_tRNS(png, info, nullptr, 0, &grey_key);
        }
    }
    png_write_info(png, info);
    const size_t row_bytes = rows.size() / static_cast<size_t>(height);
    std::vector<png_bytep> pointers(height);
    for (int y = 0; y < height; ++y)
        pointers[y] = const_cast<png_bytep>(rows.data() + y * row_bytes);
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    fclose(file);
}

std::vector<uint8_t> bmp_bytes(int width, int height, const std::vector<uint8_t>& bgr_bottom_up, int bits,
                               int compression, bool pad_last_row)
{
    const int row_bytes = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> out(54, 0);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put(2, 54 + row_bytes * height, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, width, 4);
    put(22, height, 4);
    put(26, 1, 2);
    put(28, bits, 2);
    put(30, compression, 4);
    for (int y = 0; y < height; ++y) {
        const auto row = bgr_bottom_up.begin() + y * width * 3;
        out.insert(out.end(), row, row + width * 3);
        if (pad_last_row || y + 1 < height)
            out.insert(out.end(), row_bytes - width * 3, 0);
    }
    return out;
}

std::vector<uint8_t> magick_pixels(const std::string& path, const std::string& map)
{
    const std::string bytes = command_output("convert '" + path + "' -depth 8 " + map + ":- 2>/dev/null");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void image_test::SetUp()
{
    scratch_array_align();
    mnw.tex_res = 5;
    maxtexdim = 8192;
}

tex_load_vars image_test::decode(const std::string& name, int type, int load_type, int* result)
{
    tex_load_vars v;
    v.load_type = load_type;
    v.ref = 500;
    v.type = type;
    v.name = name;
    const int got = tman.load_texture_io(&v);
    if (result)
        *result = got;
    return v;
}

}  // namespace test
