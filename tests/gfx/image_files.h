// Test images written on the spot: PNGs through libpng in any colour type and bit depth,
// BMPs byte by byte, and ImageMagick runs for cross-checks; and the fixture that decodes them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gfx/image_load.h"
#include "support/alert_recorder.h"
#include "support/temp_folder.h"

namespace test {

// What a PNG holds besides its pixels.
struct png_options {
    png_options(int colour = 6, int depth = 8, std::vector<uint8_t> entries = {},
                std::vector<uint8_t> transparency = {})
        : colour_type(colour), bit_depth(depth), palette(std::move(entries)), trns(std::move(transparency))
    {
    }
    int colour_type;  // 6 is PNG_COLOR_TYPE_RGB_ALPHA
    int bit_depth;
    std::vector<uint8_t> palette;  // R, G, B per entry (colour type 3)
    std::vector<uint8_t> trns;     // palette alphas, or the transparent grey sample (16 bits, big-endian)
};

// Writes a PNG whose rows (top row first) are given exactly as the file stores them, packed by bit depth.
void write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& rows,
               const png_options& options);

// Writes a 24-bit BMP (or another depth or compression for the refusal tests) from B, G, R rows given
// bottom row first; rows are padded to 4 bytes unless `pad_last_row` is false.
std::vector<uint8_t> bmp_bytes(int width, int height, const std::vector<uint8_t>& bgr_bottom_up, int bits = 24,
                               int compression = 0, bool pad_last_row = true);
// The pixels of an image file as ImageMagick decodes them: "rgb" or "rgba" bytes, top row first.
std::vector<uint8_t> magick_pixels(const std::string& path, const std::string& map);

// Decoding and writing at full texture resolution, with a private folder and alerts recorded.
class image_test : public ::testing::Test {
protected:
    void SetUp() override;
    // Decodes like a texture load (or an image-only load) and returns the load record.
    static tex_load_vars decode(const std::string& name, int type, int load_type = LOAD_TEXTURE, int* result = nullptr);

    temp_folder folder;
    alert_recorder alerts;
};

}  // namespace test
