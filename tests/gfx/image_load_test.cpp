// Decoding real PNG and BMP files (written here with libpng, by hand, or by ImageMagick) into the
// scratch buffers: layouts, sizes, reduction, chroma key, compositing and the refusals of bad files.
#include "gfx/image_files.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/image_load.h"
#include "gfx/tman.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

using test::png_options;

namespace {

using px = std::vector<int>;

class ImageLoad : public test::image_test {
protected:
    // Pixel (x, y) of a decoded image, y counted from the bottom row.
    static px at(const tex_load_vars& v, int x, int y)
    {
        const unsigned char* p = v.pixels + (static_cast<size_t>(y) * v.tex_dx + x) * v.bpp;
        return px(p, p + v.bpp);
    }

    test::log_capture log;
};

TEST_F(ImageLoad, EveryPngLayoutArrivesInTheRequestedOne)
{
    const std::vector<uint8_t> entries = {10, 20, 30, 200, 0, 0, 0, 200, 0, 255, 255, 255};
    // The palette's first entry transparent, the second half; in grey, sample 7 transparent.
    const png_options palette{PNG_COLOR_TYPE_PALETTE, 2, entries},
        palette_trns{PNG_COLOR_TYPE_PALETTE, 2, entries, {0, 128}}, grey{PNG_COLOR_TYPE_GRAY},
        grey1{PNG_COLOR_TYPE_GRAY, 1}, grey4{PNG_COLOR_TYPE_GRAY, 4}, grey_trns{PNG_COLOR_TYPE_GRAY, 8, {}, {0, 7}},
        grey_alpha{PNG_COLOR_TYPE_GRAY_ALPHA}, rgba{}, rgb16{PNG_COLOR_TYPE_RGB, 16};
    const std::vector<uint8_t> indices = {0x1B}, greys = {7, 250},
                               quad = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    struct decoding {
        int width, height;
        std::vector<uint8_t> rows;  // as the file stores them, top row first
        png_options options;
        int type;
        px pixels;  // the whole decoded image, bottom row first
    };
    const decoding cases[] = {
        {4, 1, indices, palette, 2, {10, 20, 30, 255, 200, 0, 0, 255, 0, 200, 0, 255, 255, 255, 255, 255}},
        {4, 1, indices, palette_trns, 2, {10, 20, 30, 0, 200, 0, 0, 128, 0, 200, 0, 255, 255, 255, 255, 255}},
        {4, 1, indices, palette_trns, 1, {10, 20, 30, 200, 0, 0, 0, 200, 0, 255, 255, 255}},  // alpha dropped again
        {2, 1, greys, grey, 2, {7, 7, 7, 255, 250, 250, 250, 255}},  // grey spread over R, G, B
        {2, 1, greys, grey, 5, {7, 7, 7, 250, 250, 250}},            // the file's channels: RGB for grey
        {8, 1, {0xA0}, grey1, 3, {255, 0, 255, 0, 0, 0, 0, 0}},      // 1 and 4 bits expand to 0..255
        {2, 1, {0xF8}, grey4, 3, {255, 0x88}},
        {2, 1, greys, grey_trns, 2, {7, 7, 7, 0, 250, 250, 250, 255}},
        {2, 1, greys, grey_trns, 3, {7, 250}},  // the alpha tRNS brings is stripped: one byte a pixel
        {2, 1, {40, 100, 90, 0}, grey_alpha, 2, {40, 40, 40, 100, 90, 90, 90, 0}},
        {2, 1, {40, 100, 90, 0}, grey_alpha, 3, {40, 90}},
        {2, 2, quad, rgba, 2, {9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}},  // top row upper
        {2, 2, quad, rgba, 1, {9, 10, 11, 13, 14, 15, 1, 2, 3, 5, 6, 7}},
        {2, 2, quad, rgba, 4, {9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}},   // RGBA stays four bytes
        {1, 1, {0xAB, 0xCD, 0x12, 0x34, 0xFF, 0x00}, rgb16, 2, {0xAB, 0x12, 0xFF, 255}},  // the high bytes
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const decoding& c = cases[i];
        const std::string path = folder / (std::to_string(i) + ".png");
        test::write_png(path, c.width, c.height, c.rows, c.options);
        const tex_load_vars v = decode(path, c.type);
        EXPECT_EQ(px(v.pixels, v.pixels + c.pixels.size()), c.pixels) << "case " << i;
    }

    // RGB asked as one byte becomes grey: a grey pixel keeps its value, and green weighs more than red,
    // red more than blue, as in every luminance formula.
    test::write_png(folder / "to_grey.png", 4, 1, {77, 77, 77, 200, 0, 0, 0, 200, 0, 0, 0, 200}, {PNG_COLOR_TYPE_RGB});
    const tex_load_vars v = decode(folder / "to_grey.png", 3);
    EXPECT_TRUE(v.pixels[0] == 77 && v.pixels[2] > v.pixels[1] && v.pixels[1] > v.pixels[3] && alerts.alerts().empty());
}

TEST_F(ImageLoad, ImageMagickFilesDecodeAsImageMagickReadsThem)
{
    // File, how ImageMagick makes it, its size, and the loader's result (2 for a PNG, 3 for a BMP).
    const std::tuple<const char*, const char*, int, int, int> files[] = {
        {"gradient.png", "-size 37x23 gradient:'#ff8000'-'#0040ff' -strip PNG24:", 37, 23, 2},
        {"adam7.png", "-size 13x9 gradient:'#10a0f0'-'#f01020' -interlace PNG -strip PNG24:", 13, 9, 2},
        {"indexed.png", "-size 19x11 pattern:checkerboard -strip PNG8:", 19, 11, 2},
        {"ramp.bmp", "-size 21x6 gradient:'#10a0f0'-'#f01020' BMP3:", 21, 6, 3},
    };
    for (const auto& [name, making, width, height, kind] : files) {
        const std::string path = folder / name;
        SCOPED_TRACE(path);
        test::command_output(std::string("convert ") + making + path + " 2>/dev/null");
        const std::vector<uint8_t> reference = test::magick_pixels(path, "rgb");
        ASSERT_EQ(reference.size(), static_cast<size_t>(width * height * 3));
        int result = 0;
        tex_load_vars v = decode(path, 1, LOAD_TEXTURE, &result);
        ASSERT_EQ(std::tuple(result, v.dx, v.dy), std::tuple(kind, width, height));
        int mismatches = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* want = &reference[(static_cast<size_t>(y) * width + x) * 3];
                mismatches += at(v, x, height - 1 - y) != px{want[0], want[1], want[2]};
            }
        EXPECT_EQ(mismatches, 0);
    }
    // libpng 1.6 is given no reason to warn, about interlace handling or anything else.
    EXPECT_EQ(log.text().find("PNG warning!"), std::string::npos) << log.text();
}

TEST_F(ImageLoad, SizesFollowTheResolutionSettingAndPowersOfTwo)
{
    // 300 x 200 at full resolution sits in a 512 x 256 texture, rows 512 pixels apart.
    std::vector<uint8_t> wide(300 * 200 * 3, 0);
    wide[(0 * 300 + 299) * 3] = 99;  // top-right pixel, red 99
    test::write_png(folder / "wide.png", 300, 200, wide, {PNG_COLOR_TYPE_RGB});
    tex_load_vars v = decode(folder / "wide.png", 1);
    EXPECT_EQ(std::tuple(v.dx, v.dy, v.tex_dx, v.tex_dy, at(v, 299, 199)),
              std::tuple(300, 200, 512, 256, px{99, 0, 0}));

    // Half resolution: a 256 x 256 image becomes 128 x 128, each pixel the mean of a 2 x 2 block.
    std::vector<uint8_t> blocks(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = &blocks[(static_cast<size_t>(y) * 256 + x) * 4];
            p[0] = static_cast<uint8_t>(10 + 10 * ((y % 2) * 2 + x % 2));  // 10, 20 / 30, 40 in each block
            p[1] = 200, p[2] = x % 2 ? 255 : 0, p[3] = 255;
        }
    test::write_png(folder / "blocks.png", 256, 256, blocks, {});
    mnw.tex_res = 4;
    v = decode(folder / "blocks.png", 2);
    EXPECT_EQ(std::tuple(v.dx, v.tex_dx, v.tex_dy), std::tuple(128, 128, 128));
    EXPECT_EQ(std::tuple(at(v, 0, 0), at(v, 127, 127)), std::tuple(px{25, 200, 127, 255}, px{25, 200, 127, 255}));
    EXPECT_EQ(decode(folder / "blocks.png", 2 | TEX_FULL_RES).dx, 256) << "the full-resolution bit overrides";

    // At the lowest setting (1/32) a 48-pixel image still loads: one pixel, the mean of its first
    // 32 x 32 block; so does it with the half-resolution bit (a factor of 64 is not built).
    mnw.tex_res = 0;
    test::write_png(folder / "small.png", 48, 48, std::vector<uint8_t>(48 * 48 * 3, 60), {PNG_COLOR_TYPE_RGB});
    for (int type : {1, 1 | TEX_HALF_RES}) {
        int result = 0;
        v = decode(folder / "small.png", type, LOAD_TEXTURE, &result);
        EXPECT_EQ(std::tuple(result, v.dx, v.tex_dx, at(v, 0, 0)), std::tuple(2, 1, 1, px{60, 60, 60})) << type;
    }
    // Images from the scratch buffer always keep their full size.
    scratch_dx = 64, scratch_dy = 32;
    int result = 0;
    v = decode("scratch_array:test", 2, LOAD_TEXTURE, &result);
    EXPECT_EQ(std::tuple(result, v.pixels, v.dx, v.tex_dy), std::tuple(1, scratch_array, 64, 32));
}

TEST_F(ImageLoad, MissingFilesLoadNothingAndABmpNameFindsItsPng)
{
    int result = -1;
    decode(folder / "nowhere.bmp", 2, LOAD_TEXTURE, &result);
    EXPECT_EQ(std::tuple(result, alerts.alerts().size()), std::tuple(0, 0u));
    test::write_png(folder / "both.png", 1, 1, {1, 2, 3}, {PNG_COLOR_TYPE_RGB});
    test::write_file(folder / "both.bmp", test::bmp_bytes(1, 1, {30, 20, 10}));
    const tex_load_vars v = decode(folder / "both.bmp", 1, LOAD_TEXTURE, &result);
    EXPECT_EQ(std::tuple(result, at(v, 0, 0)), std::tuple(2, px{1, 2, 3}));
}

TEST_F(ImageLoad, ChromaKeyFadesPixelsNearTheKeyColour)
{
    unsigned char key[4] = {100, 150, 200, 255};
    tman.set_chroma_key(key);
    test::write_png(folder / "keyed.png", 3, 1, {100, 150, 200, 255, 104, 147, 203, 255, 0, 150, 200, 255}, {});
    tex_load_vars v = decode(folder / "keyed.png", 2 | TEX_CHROMA_KEY);
    // On the key, at distance 4 + 3 + 3 = 10, far away; without the flag nothing changes.
    EXPECT_EQ(px({at(v, 0, 0)[3], at(v, 1, 0)[3], at(v, 2, 0)[3]}), px({0, 50, 255}));
    EXPECT_EQ(at(decode(folder / "keyed.png", 2), 0, 0)[3], 255);
}

TEST_F(ImageLoad, ImageOnlyLoadsUseStride1024AndOverlaysBlendByAlpha)
{
    test::write_png(folder / "over.png", 2, 1, {200, 0, 0, 128, 9, 9, 9, 0}, {});
    // Plain bitmap: scratch_array, rows 1024 pixels apart, cleared first.
    memset(scratch_array, 0x55, 4096 * 4);
    int result = 0;
    tex_load_vars v = decode(folder / "over.png", 2, LOAD_BITMAP, &result);
    // The next row was cleared, not left at 0x55.
    EXPECT_EQ(std::tuple(result, v.dx, px(scratch_array, scratch_array + 4), scratch_array[1024 * 4]),
              std::tuple(2, 2, px{200, 0, 0, 128}, 0));

    // Overlay: each pixel goes over scratch_array by its alpha; alpha 0 leaves the target alone.
    memset(scratch_array, 100, 8);
    scratch_array[3] = scratch_array[7] = 0;
    decode(folder / "over.png", 2, LOAD_BITMAP_OVERLAY);
    // 100 * 128 / 256 + 200 * 128 / 256 = 150; 100 * 128 / 256 + 0 = 50; alpha 0 + 128.
    EXPECT_EQ(px(scratch_array, scratch_array + 8), (px{150, 50, 50, 128, 100, 100, 100, 0}));
}

TEST_F(ImageLoad, BmpVariantsKeyMagentaAndStayInsideTheFile)
{
    // 3 x 2, bottom row first: magenta, grey (30, 60, 90 as B, G, R), white / three blues.
    const std::vector<uint8_t> bgr = {255, 0, 255, 30, 60, 90, 255, 255, 255, 200, 0, 0, 200, 0, 0, 200, 0, 0};
    test::write_file(folder / "small.bmp", test::bmp_bytes(3, 2, bgr));
    tex_load_vars v = decode(folder / "small.bmp", 2);
    EXPECT_EQ(std::tuple(at(v, 0, 0), at(v, 1, 0), at(v, 2, 1)),
              std::tuple(px{0, 0, 0, 0}, px{90, 60, 30, 255}, px{0, 0, 200, 255}))
        << "magenta becomes transparent black";
    EXPECT_EQ(at(decode(folder / "small.bmp", 1), 0, 0), (px{255, 0, 255})) << "RGB keeps the magenta";
    EXPECT_EQ(at(decode(folder / "small.bmp", 3), 1, 0), (px{60})) << "(30 + 60 + 90) / 3";

    // A file that ends right after its last pixel, without row padding, still yields that pixel.
    test::write_file(folder / "unpadded.bmp", test::bmp_bytes(3, 2, bgr, 24, 0, false));
    EXPECT_EQ(at(decode(folder / "unpadded.bmp", 1), 2, 1), (px{0, 0, 200}));

    // A truncated file: pixels past the end are not read; what the buffer held stays.
    std::vector<uint8_t> cut = test::bmp_bytes(3, 2, bgr);
    cut.resize(54 + 12 + 3);  // first row and one pixel of the second
    test::write_file(folder / "cut.bmp", cut);
    memset(scratch_array_temp, 0x77, 4096);
    v = decode(folder / "cut.bmp", 1);
    EXPECT_EQ(std::tuple(at(v, 0, 1), at(v, 1, 1)), std::tuple(px{0, 0, 200}, px{0x77, 0x77, 0x77}));

    // A pixel offset far past the end reads nothing at all.
    std::vector<uint8_t> far = test::bmp_bytes(3, 2, bgr);
    far[10] = far[11] = far[12] = 0xFF;
    far[13] = 0x7F;
    test::write_file(folder / "far.bmp", far);
    memset(scratch_array_temp, 0x66, 4096);
    int result = 0;
    v = decode(folder / "far.bmp", 1, LOAD_TEXTURE, &result);
    EXPECT_EQ(std::tuple(result, at(v, 0, 0)), std::tuple(3, px{0x66, 0x66, 0x66}));

    // Image-only loads put BMP pixels into scratch_array, 1024 pixels a row.
    decode(folder / "small.bmp", 1, LOAD_BITMAP);
    EXPECT_EQ(scratch_array[(1024 + 2) * 3 + 2], 200);
}

using ImageLoadDeathTest = ImageLoad;

TEST_F(ImageLoadDeathTest, BadFilesEndTheProgramWithTheirAlert)
{
    test::set_core_hook(&core_hooks::alert, nullptr);  // the real alert: logged, then exit status 1
    test::write_png(folder / "whole.png", 64, 64, std::vector<uint8_t>(64 * 64 * 3, 1), {PNG_COLOR_TYPE_RGB});
    const std::vector<uint8_t> bytes = test::read_file_bytes(folder / "whole.png");
    // Damage that libpng itself finds (checksums, unknown critical chunks, a broken stream) takes the
    // same way out as the truncated file, which our own bounded read refuses.
    std::vector<uint8_t> huge = bytes;  // a huge but well-formed width, 0x000F0040: refused before any row
    huge[16] = 0, huge[17] = 0xF;
    const uLong crc = crc32(0, huge.data() + 12, 4 + 13);  // the header chunk's checksum, made again
    for (int i = 0; i < 4; ++i)
        huge[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    std::vector<uint8_t> declares(bytes.begin(), bytes.begin() + 33);  // signature and header, then 1.37 GB
    const std::string text_chunk = std::string("\x51\xA8\x1A\x80tEXt") + "abcdefghijklmn";
    declares.insert(declares.end(), text_chunk.begin(), text_chunk.end());
    const std::tuple<std::string, std::vector<uint8_t>, int, const char*> cases[] = {
        {"truncated.png", std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2), 1, "PNG error!"},
        {"text.png", std::vector<uint8_t>(200, 'x'), 1, "PING-FILE ERROR!"},
        {"huge.png", huge, 1, "PING-FILE ERROR!"},
        {"declares.png", declares, 1, "chunk data is too large"},
        {"eight.bmp", test::bmp_bytes(1, 1, {1, 2, 3}, 8), 1, "Wrong bitmap color depth for texture!"},
        {"rle.bmp", test::bmp_bytes(1, 1, {1, 2, 3}, 24, 1), 1, "Bitmap is compressed!"},
        {"missing.png", {}, 0, "BAD color enum for tman"},
    };
    for (const auto& [name, file, type, alert] : cases) {
        if (!file.empty())
            test::write_file(folder / name, file);
        EXPECT_EXIT(decode(folder / name, type), ::testing::ExitedWithCode(1), alert) << name;
    }
    test::write_png(folder / "wide.png", 1025, 1, std::vector<uint8_t>(1025 * 3, 0), {PNG_COLOR_TYPE_RGB});
    EXPECT_EXIT(decode(folder / "wide.png", 1), ::testing::ExitedWithCode(1), "greater than 1024");
}

}  // namespace
