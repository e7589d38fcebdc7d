// Decoding real PNG and BMP files (written here with libpng, by hand, or by ImageMagick) into the
// scratch buffers: layouts, sizes, reduction, chroma key, compositing and the refusals of bad files.
#include "gfx/image_files.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/image_load.h"
#include "gfx/tman.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

using test::png_options;
using test::temp_folder;

namespace {

class ImageLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch_array_align();
        mnw.tex_res = 5;
        maxtexdim = 8192;
    }

    // Decodes like a texture load (or an image-only load) and returns the load record.
    tex_load_vars decode(const std::string& name, int type, int load_type = LOAD_TEXTURE, int* result = nullptr)
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

    // Pixel (x, y) of a decoded image, y counted from the bottom row, rows `stride` pixels apart.
    static std::vector<int> at(const tex_load_vars& v, int x, int y, int stride = 0)
    {
        const int row = stride ? stride : v.tex_dx;
        const unsigned char* p = v.pixels + (static_cast<size_t>(y) * row + x) * v.bpp;
        return std::vector<int>(p, p + v.bpp);
    }

    temp_folder folder;
    test::alert_recorder alerts;
    test::log_capture log;
};

using px = std::vector<int>;

TEST_F(ImageLoad, PaletteAndGreyPngsArriveInTheRequestedLayout)
{
    // 4 x 1 palette image, 2 bits per index: indices 0, 1, 2, 3.
    png_options palette;
    palette.colour_type = PNG_COLOR_TYPE_PALETTE;
    palette.bit_depth = 2;
    palette.palette = {10, 20, 30, 200, 0, 0, 0, 200, 0, 255, 255, 255};
    const std::string plain = folder / "palette.png";
    test::write_png(plain, 4, 1, {0x1B}, palette);

    tex_load_vars v = decode(plain, 2);
    EXPECT_EQ(v.gl_format, GL_RGBA);
    EXPECT_EQ(v.bpp, 4);
    EXPECT_EQ(at(v, 0, 0), (px{10, 20, 30, 255}));
    EXPECT_EQ(at(v, 3, 0), (px{255, 255, 255, 255}));

    // With a tRNS chunk the first entry is transparent; asked for RGB, the alpha is dropped again and
    // the pixels stay three bytes apart.
    palette.trns = {0, 128};
    const std::string keyed = folder / "palette_trns.png";
    test::write_png(keyed, 4, 1, {0x1B}, palette);
    v = decode(keyed, 2);
    EXPECT_EQ(at(v, 0, 0), (px{10, 20, 30, 0}));
    EXPECT_EQ(at(v, 1, 0), (px{200, 0, 0, 128}));
    EXPECT_EQ(at(v, 2, 0), (px{0, 200, 0, 255}));
    v = decode(keyed, 1);
    EXPECT_EQ(v.bpp, 3);
    EXPECT_EQ(at(v, 1, 0), (px{200, 0, 0}));
    EXPECT_EQ(at(v, 2, 0), (px{0, 200, 0}));

    // Grey, 8 bits: kind 2 spreads grey over R, G, B with opaque alpha; kind 5 keeps the file's
    // channels, which for grey means RGB.
    png_options grey;
    grey.colour_type = PNG_COLOR_TYPE_GRAY;
    const std::string grey8 = folder / "grey8.png";
    test::write_png(grey8, 2, 1, {7, 250}, grey);
    v = decode(grey8, 2);
    EXPECT_EQ(at(v, 0, 0), (px{7, 7, 7, 255}));
    EXPECT_EQ(at(v, 1, 0), (px{250, 250, 250, 255}));
    v = decode(grey8, 5);
    EXPECT_EQ(v.bpp, 3);  // the upload then takes it as GL_RGB
    EXPECT_EQ(at(v, 1, 0), (px{250, 250, 250}));

    // Grey at 1 and 4 bits expands to the full 0..255 range.
    grey.bit_depth = 1;
    const std::string grey1 = folder / "grey1.png";
    test::write_png(grey1, 8, 1, {0xA0}, grey);
    v = decode(grey1, 3);
    EXPECT_EQ(v.bpp, 1);
    EXPECT_EQ(at(v, 0, 0), (px{255}));
    EXPECT_EQ(at(v, 1, 0), (px{0}));
    EXPECT_EQ(at(v, 2, 0), (px{255}));
    grey.bit_depth = 4;
    const std::string grey4 = folder / "grey4.png";
    test::write_png(grey4, 2, 1, {0xF8}, grey);
    v = decode(grey4, 3);
    EXPECT_EQ(at(v, 0, 0), (px{0xFF}));
    EXPECT_EQ(at(v, 1, 0), (px{0x88}));

    // Grey with a tRNS grey value gains alpha 0 where the sample matches.
    grey.bit_depth = 8;
    grey.trns = {0, 7};
    const std::string grey_trns = folder / "grey_trns.png";
    test::write_png(grey_trns, 2, 1, {7, 250}, grey);
    v = decode(grey_trns, 2);
    EXPECT_EQ(at(v, 0, 0), (px{7, 7, 7, 0}));
    EXPECT_EQ(at(v, 1, 0), (px{250, 250, 250, 255}));
    // Asked for one byte a pixel, the alpha the tRNS chunk brings is stripped again: the samples
    // stay one byte apart instead of arriving as grey-alpha pairs.
    v = decode(grey_trns, 3);
    EXPECT_EQ(v.bpp, 1);
    EXPECT_EQ(at(v, 0, 0), (px{7}));
    EXPECT_EQ(at(v, 1, 0), (px{250}));
    EXPECT_TRUE(alerts.alerts().empty());
}

TEST_F(ImageLoad, AlphaColourAndSixteenBitPngsArriveInTheRequestedLayout)
{
    png_options grey_alpha;
    grey_alpha.colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
    const std::string ga = folder / "ga.png";
    test::write_png(ga, 2, 1, {40, 100, 90, 0}, grey_alpha);
    tex_load_vars v = decode(ga, 2);
    EXPECT_EQ(at(v, 0, 0), (px{40, 40, 40, 100}));
    EXPECT_EQ(at(v, 1, 0), (px{90, 90, 90, 0}));
    v = decode(ga, 3);  // one byte: the alpha is stripped, the grey stays
    EXPECT_EQ(at(v, 0, 0), (px{40}));
    EXPECT_EQ(at(v, 1, 0), (px{90}));

    png_options rgba;
    const std::string colour = folder / "rgba.png";
    test::write_png(colour, 2, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, rgba);
    v = decode(colour, 2);
    // The file's top row lands in the buffer's upper row.
    EXPECT_EQ(at(v, 0, 1), (px{1, 2, 3, 4}));
    EXPECT_EQ(at(v, 1, 0), (px{13, 14, 15, 16}));
    v = decode(colour, 1);
    EXPECT_EQ(at(v, 1, 1), (px{5, 6, 7}));
    v = decode(colour, 4);  // the file's own channels: RGBA stays four bytes
    EXPECT_EQ(v.bpp, 4);
    EXPECT_EQ(at(v, 0, 1), (px{1, 2, 3, 4}));

    // RGB asked as one byte becomes grey: a grey pixel keeps its value, and green weighs more than red,
    // red more than blue, as in every luminance formula.
    png_options rgb;
    rgb.colour_type = PNG_COLOR_TYPE_RGB;
    const std::string to_grey = folder / "to_grey.png";
    test::write_png(to_grey, 4, 1, {77, 77, 77, 200, 0, 0, 0, 200, 0, 0, 0, 200}, rgb);
    v = decode(to_grey, 3);
    EXPECT_EQ(at(v, 0, 0), (px{77}));
    EXPECT_GT(at(v, 2, 0)[0], at(v, 1, 0)[0]);
    EXPECT_GT(at(v, 1, 0)[0], at(v, 3, 0)[0]);

    // 16 bits per sample keep their high byte.
    rgb.bit_depth = 16;
    const std::string deep = folder / "rgb16.png";
    test::write_png(deep, 1, 1, {0xAB, 0xCD, 0x12, 0x34, 0xFF, 0x00}, rgb);
    v = decode(deep, 2);
    EXPECT_EQ(at(v, 0, 0), (px{0xAB, 0x12, 0xFF, 255}));
}

TEST_F(ImageLoad, InterlacedPngDecodesToTheSamePixelsAsAPlainOne)
{
    constexpr int width = 13, height = 9;
    std::vector<uint8_t> rows(width * height * 3);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<uint8_t>(i * 37 + 11);
    png_options options;
    options.colour_type = PNG_COLOR_TYPE_RGB;
    test::write_png(folder / "plain.png", width, height, rows, options);
    options.interlaced = true;
    test::write_png(folder / "adam7.png", width, height, rows, options);

    tex_load_vars plain = decode(folder / "plain.png", 1);
    std::vector<uint8_t> expected(plain.pixels, plain.pixels + 16 * 16 * 3);
    tex_load_vars interlaced = decode(folder / "adam7.png", 1);
    EXPECT_EQ(interlaced.dx, width);
    EXPECT_EQ(interlaced.tex_dx, 16);
    EXPECT_EQ(std::vector<uint8_t>(interlaced.pixels, interlaced.pixels + 16 * 16 * 3), expected);
    // Spot check against the file's own bytes: top-left pixel is the upper row of the buffer.
    EXPECT_EQ(at(interlaced, 0, height - 1), (px{rows[0], rows[1], rows[2]}));
    // ... and libpng 1.6 is given no reason to warn about interlace handling.
    EXPECT_TRUE(alerts.alerts().empty());
    EXPECT_EQ(log.text().find("PNG warning!"), std::string::npos) << log.text();
}

TEST_F(ImageLoad, ImageMagickFilesDecodeAsImageMagickReadsThem)
{
    const std::string truecolour = folder / "gradient.png";
    test::command_output("convert -size 37x23 gradient:'#ff8000'-'#0040ff' -strip PNG24:" + truecolour +
                         " 2>/dev/null");
    const std::string indexed = folder / "indexed.png";
    test::command_output("convert -size 19x11 pattern:checkerboard -strip PNG8:" + indexed + " 2>/dev/null");
    const std::string bitmap = folder / "ramp.bmp";
    test::command_output("convert -size 21x6 gradient:'#10a0f0'-'#f01020' BMP3:" + bitmap + " 2>/dev/null");

    for (const std::string& path : {truecolour, indexed, bitmap}) {
        SCOPED_TRACE(path);
        const std::vector<uint8_t> reference = test::magick_pixels(path, "rgb");
        ASSERT_FALSE(reference.empty()) << "ImageMagick could not read " << path;
        const std::string size = test::command_output("identify -format '%w %h' '" + path + "' 2>/dev/null");
        int width = 0, height = 0;
        ASSERT_EQ(sscanf(size.c_str(), "%d %d", &width, &height), 2);
        ASSERT_EQ(reference.size(), static_cast<size_t>(width * height * 3));

        int result = 0;
        tex_load_vars v = decode(path, 1, LOAD_TEXTURE, &result);
        EXPECT_EQ(result, path == bitmap ? 3 : 2);
        ASSERT_EQ(v.dx, width);
        ASSERT_EQ(v.dy, height);
        int mismatches = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* want = &reference[(static_cast<size_t>(y) * width + x) * 3];
                if (at(v, x, height - 1 - y) != px{want[0], want[1], want[2]})
                    ++mismatches;
            }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(ImageLoad, SizesFollowTheResolutionSettingAndPowersOfTwo)
{
    // 300 x 200 at full resolution sits in a 512 x 256 texture, rows 512 pixels apart.
    png_options rgb;
    rgb.colour_type = PNG_COLOR_TYPE_RGB;
    std::vector<uint8_t> wide(300 * 200 * 3, 0);
    wide[(0 * 300 + 299) * 3] = 99;  // top-right pixel, red 99
    test::write_png(folder / "wide.png", 300, 200, wide, rgb);
    tex_load_vars v = decode(folder / "wide.png", 1);
    EXPECT_EQ(v.dx, 300);
    EXPECT_EQ(v.dy, 200);
    EXPECT_EQ(v.tex_dx, 512);
    EXPECT_EQ(v.tex_dy, 256);
    EXPECT_EQ(at(v, 299, 199), (px{99, 0, 0}));

    // Half resolution: a 256 x 256 image becomes 128 x 128, each pixel the mean of a 2 x 2 block.
    std::vector<uint8_t> blocks(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = &blocks[(static_cast<size_t>(y) * 256 + x) * 4];
            p[0] = static_cast<uint8_t>(10 + 10 * ((y % 2) * 2 + x % 2));  // 10, 20 / 30, 40 in each block
            p[1] = 200;
            p[2] = static_cast<uint8_t>(x % 2 ? 255 : 0);
            p[3] = 255;
        }
    test::write_png(folder / "blocks.png", 256, 256, blocks, png_options{});
    mnw.tex_res = 4;
    v = decode(folder / "blocks.png", 2);
    EXPECT_EQ(v.dx, 128);
    EXPECT_EQ(v.tex_dx, 128);
    EXPECT_EQ(v.tex_dy, 128);
    EXPECT_EQ(at(v, 0, 0), (px{25, 200, 127, 255}));
    EXPECT_EQ(at(v, 127, 127), (px{25, 200, 127, 255}));
    // The full-resolution bit overrides the setting.
    v = decode(folder / "blocks.png", 2 | TEX_FULL_RES);
    EXPECT_EQ(v.dx, 256);

    // At the lowest setting (1/32) a 48-pixel image still loads: one pixel, the mean of its first
    // 32 x 32 block.
    mnw.tex_res = 0;
    std::vector<uint8_t> small(48 * 48 * 3, 60);
    test::write_png(folder / "small.png", 48, 48, small, rgb);
    int result = 0;
    v = decode(folder / "small.png", 1, LOAD_TEXTURE, &result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(v.dx, 1);
    EXPECT_EQ(v.tex_dx, 1);
    EXPECT_EQ(at(v, 0, 0), (px{60, 60, 60}));
    // ... and so does the same image with the half-resolution bit (a factor of 64 is not built).
    v = decode(folder / "small.png", 1 | TEX_HALF_RES, LOAD_TEXTURE, &result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(v.dx, 1);
    // Images from the scratch buffer always keep their full size.
    scratch_dx = 64;
    scratch_dy = 32;
    v = decode("scratch_array:test", 2, LOAD_TEXTURE, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(v.pixels, scratch_array);
    EXPECT_EQ(v.dx, 64);
    EXPECT_EQ(v.tex_dy, 32);
}

TEST_F(ImageLoad, MissingFilesLoadNothingAndABmpNameFindsItsPng)
{
    int result = -1;
    tex_load_vars v = decode(folder / "nowhere.bmp", 2, LOAD_TEXTURE, &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(alerts.alerts().empty());

    png_options rgb;
    rgb.colour_type = PNG_COLOR_TYPE_RGB;
    test::write_png(folder / "both.png", 1, 1, {1, 2, 3}, rgb);
    test::write_file(folder / "both.bmp", test::bmp_bytes(1, 1, {30, 20, 10}));
    v = decode(folder / "both.bmp", 1, LOAD_TEXTURE, &result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(at(v, 0, 0), (px{1, 2, 3}));
    // Without the PNG the BMP is read (its bytes are B, G, R).
    test::write_file(folder / "only.bmp", test::bmp_bytes(1, 1, {30, 20, 10}));
    v = decode(folder / "only.bmp", 1, LOAD_TEXTURE, &result);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(at(v, 0, 0), (px{10, 20, 30}));
}

TEST_F(ImageLoad, ChromaKeyFadesPixelsNearTheKeyColour)
{
    unsigned char key[4] = {100, 150, 200, 255};
    tman.set_chroma_key(key);
    test::write_png(folder / "keyed.png", 3, 1, {100, 150, 200, 255, 104, 147, 203, 255, 0, 150, 200, 255},
                    png_options{});
    tex_load_vars v = decode(folder / "keyed.png", 2 | TEX_CHROMA_KEY);
    EXPECT_EQ(at(v, 0, 0)[3], 0);    // on the key
    EXPECT_EQ(at(v, 1, 0)[3], 50);   // distance 4 + 3 + 3 = 10
    EXPECT_EQ(at(v, 2, 0)[3], 255);  // far away
    v = decode(folder / "keyed.png", 2);
    EXPECT_EQ(at(v, 0, 0)[3], 255);  // without the flag nothing changes
}

TEST_F(ImageLoad, ImageOnlyLoadsUseStride1024AndOverlaysBlendByAlpha)
{
    test::write_png(folder / "over.png", 2, 1, {200, 0, 0, 128, 9, 9, 9, 0}, png_options{});
    // Plain bitmap: scratch_array, rows 1024 pixels apart, cleared first.
    memset(scratch_array, 0x55, 4096 * 4);
    int result = 0;
    tex_load_vars v = decode(folder / "over.png", 2, LOAD_BITMAP, &result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(v.dx, 2);
    const unsigned char* first = scratch_array;
    EXPECT_EQ((px{first[0], first[1], first[2], first[3]}), (px{200, 0, 0, 128}));
    EXPECT_EQ(scratch_array[1024 * 4], 0);  // the next row was cleared, not left at 0x55

    // Overlay: each pixel goes over scratch_array by its alpha; alpha 0 leaves the target alone.
    for (int i = 0; i < 2; ++i) {
        unsigned char* p = scratch_array + i * 4;
        p[0] = p[1] = p[2] = 100;
        p[3] = 0;
    }
    v = decode(folder / "over.png", 2, LOAD_BITMAP_OVERLAY);
    const unsigned char* target = scratch_array;
    // 100 * 128 / 256 + 200 * 128 / 256 = 150; 100 * 128 / 256 + 0 = 50; alpha 0 + 128.
    EXPECT_EQ((px{target[0], target[1], target[2], target[3]}), (px{150, 50, 50, 128}));
    EXPECT_EQ((px{target[4], target[5], target[6], target[7]}), (px{100, 100, 100, 0}));
}

TEST_F(ImageLoad, BmpVariantsKeyMagentaAndStayInsideTheFile)
{
    // 3 x 2, bottom row first: magenta, grey (30, 60, 90 as B, G, R), white / three blues.
    const std::vector<uint8_t> bgr = {255, 0, 255, 30, 60, 90, 255, 255, 255, 200, 0, 0, 200, 0, 0, 200, 0, 0};
    test::write_file(folder / "small.bmp", test::bmp_bytes(3, 2, bgr));
    tex_load_vars v = decode(folder / "small.bmp", 2);
    EXPECT_EQ(at(v, 0, 0), (px{0, 0, 0, 0}));  // magenta becomes transparent black
    EXPECT_EQ(at(v, 1, 0), (px{90, 60, 30, 255}));
    EXPECT_EQ(at(v, 2, 1), (px{0, 0, 200, 255}));
    v = decode(folder / "small.bmp", 1);
    EXPECT_EQ(at(v, 0, 0), (px{255, 0, 255}));  // RGB keeps the magenta
    v = decode(folder / "small.bmp", 3);
    EXPECT_EQ(at(v, 1, 0), (px{60}));  // (30 + 60 + 90) / 3

    // A file that ends right after its last pixel, without row padding, still yields that pixel.
    test::write_file(folder / "unpadded.bmp", test::bmp_bytes(3, 2, bgr, 24, 0, false));
    v = decode(folder / "unpadded.bmp", 1);
    EXPECT_EQ(at(v, 2, 1), (px{0, 0, 200}));

    // A truncated file: pixels past the end are not read; what the buffer held stays.
    std::vector<uint8_t> cut = test::bmp_bytes(3, 2, bgr);
    cut.resize(54 + 12 + 3);  // first row and one pixel of the second
    test::write_file(folder / "cut.bmp", cut);
    memset(scratch_array_temp, 0x77, 4096);
    v = decode(folder / "cut.bmp", 1);
    EXPECT_EQ(at(v, 0, 1), (px{0, 0, 200}));
    EXPECT_EQ(at(v, 1, 1), (px{0x77, 0x77, 0x77}));

    // A pixel offset far past the end reads nothing at all.
    std::vector<uint8_t> far = test::bmp_bytes(3, 2, bgr);
    far[10] = far[11] = far[12] = 0xFF;
    far[13] = 0x7F;
    test::write_file(folder / "far.bmp", far);
    memset(scratch_array_temp, 0x66, 4096);
    int result = 0;
    v = decode(folder / "far.bmp", 1, LOAD_TEXTURE, &result);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(at(v, 0, 0), (px{0x66, 0x66, 0x66}));

    // Image-only loads put BMP pixels into scratch_array, 1024 pixels a row.
    v = decode(folder / "small.bmp", 1, LOAD_BITMAP);
    EXPECT_EQ(scratch_array[(1024 + 2) * 3 + 2], 200);
}

using ImageLoadDeathTest = ImageLoad;

TEST_F(ImageLoadDeathTest, BadFilesEndTheProgramWithTheirAlert)
{
    test::set_core_hook(&core_hooks::alert, nullptr);  // the real alert: logged, then exit status 1
    png_options rgb;
    rgb.colour_type = PNG_COLOR_TYPE_RGB;
    std::vector<uint8_t> pixels(64 * 64 * 3, 1);
    test::write_png(folder / "whole.png", 64, 64, pixels, rgb);
    std::vector<uint8_t> bytes = test::read_file_bytes(folder / "whole.png");
    ASSERT_GT(bytes.size(), 100u);

    std::vector<uint8_t> truncated(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2));
    test::write_file(folder / "truncated.png", truncated);
    EXPECT_EXIT(decode(folder / "truncated.png", 1), ::testing::ExitedWithCode(1), "PING-FILE ERROR!");

    std::vector<uint8_t> bad_crc = bytes;
    bad_crc[29] ^= 0xFF;  // the IHDR chunk's CRC
    test::write_file(folder / "crc.png", bad_crc);
    EXPECT_EXIT(decode(folder / "crc.png", 1), ::testing::ExitedWithCode(1), "PNG error!");

    test::write_file(folder / "text.png", std::vector<uint8_t>(200, 'x'));
    EXPECT_EXIT(decode(folder / "text.png", 1), ::testing::ExitedWithCode(1), "PING-FILE ERROR!");

    test::write_png(folder / "wide.png", 1025, 1, std::vector<uint8_t>(1025 * 3, 0), rgb);
    EXPECT_EXIT(decode(folder / "wide.png", 1), ::testing::ExitedWithCode(1), "greater than 1024");

    // A huge but well-formed size in the header: refused before a single row is placed.
    std::vector<uint8_t> huge = bytes;
    huge[16] = 0x00;
    huge[17] = 0x0F;  // width 0x000F0040
    const uLong crc = crc32(0, huge.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        huge[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    test::write_file(folder / "huge.png", huge);
    EXPECT_EXIT(decode(folder / "huge.png", 1), ::testing::ExitedWithCode(1), "PING-FILE ERROR!");

    // 55 bytes declaring a 1.37 GB text chunk: refused as too large, never allocated and read.
    std::vector<uint8_t> declares(bytes.begin(), bytes.begin() + 33);  // signature and IHDR
    const std::string text_chunk = std::string("\x51\xA8\x1A\x80tEXt") + "abcdefghijklmn";
    declares.insert(declares.end(), text_chunk.begin(), text_chunk.end());
    test::write_file(folder / "declares.png", declares);
    EXPECT_EXIT(decode(folder / "declares.png", 1), ::testing::ExitedWithCode(1), "chunk data is too large");

    // Chunks with valid checksums but bad content: an unknown critical chunk, and image data
    // whose compressed stream is damaged.
    auto with_crc = [](std::vector<uint8_t> file, size_t chunk) {
        const uint32_t length =
            static_cast<uint32_t>(file[chunk] << 24 | file[chunk + 1] << 16 | file[chunk + 2] << 8 | file[chunk + 3]);
        const uLong crc = crc32(0, file.data() + chunk + 4, length + 4);
        for (int i = 0; i < 4; ++i)
            file[chunk + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        return file;
    };
    std::vector<uint8_t> critical(bytes.begin(), bytes.begin() + 33);  // signature and IHDR
    const std::vector<uint8_t> unknown = {0, 0, 0, 0, 'Q', 'Z', 'R', 'T', 0, 0, 0, 0};
    critical.insert(critical.end(), unknown.begin(), unknown.end());
    critical = with_crc(critical, 33);
    critical.insert(critical.end(), bytes.begin() + 33, bytes.end());
    test::write_file(folder / "critical.png", critical);
    EXPECT_EXIT(decode(folder / "critical.png", 1), ::testing::ExitedWithCode(1), "PNG error!");

    std::vector<uint8_t> damaged = bytes;
    size_t idat = 8;
    while (idat + 8 < damaged.size() && std::memcmp(&damaged[idat + 4], "IDAT", 4) != 0)
        idat += 12 + (damaged[idat] << 24 | damaged[idat + 1] << 16 | damaged[idat + 2] << 8 | damaged[idat + 3]);
    ASSERT_LT(idat + 8, damaged.size());
    ASSERT_GE(damaged[idat] << 24 | damaged[idat + 1] << 16 | damaged[idat + 2] << 8 | damaged[idat + 3], 12);
    for (size_t i = idat + 10; i < idat + 20; ++i)
        damaged[i] ^= 0x5A;
    test::write_file(folder / "damaged.png", with_crc(damaged, idat));
    EXPECT_EXIT(decode(folder / "damaged.png", 1), ::testing::ExitedWithCode(1), "PING-FILE ERROR!");

    test::write_file(folder / "eight.bmp", test::bmp_bytes(1, 1, {1, 2, 3}, 8));
    EXPECT_EXIT(decode(folder / "eight.bmp", 1), ::testing::ExitedWithCode(1), "Wrong bitmap color depth for texture!");
    test::write_file(folder / "rle.bmp", test::bmp_bytes(1, 1, {1, 2, 3}, 24, 1));
    EXPECT_EXIT(decode(folder / "rle.bmp", 1), ::testing::ExitedWithCode(1), "Bitmap is compressed!");

    EXPECT_EXIT(decode(folder / "missing.png", 0), ::testing::ExitedWithCode(1), "BAD color enum for tman");
}

}  // namespace
