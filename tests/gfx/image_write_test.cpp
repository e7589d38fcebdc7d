// The PNG and BMP writers: exact file bytes, what ImageMagick reads back, round trips through our own
// loader, and the scratch buffer left untouched.
#include "gfx/image_files.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include "core/alert.h"
#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/image_load.h"
#include "gfx/image_write.h"
#include "gfx/tman.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

using test::temp_folder;

namespace {

class ImageWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch_array_align();
        mnw.tex_res = 5;
        maxtexdim = 8192;
    }

    // Fills scratch_array with a width x height image of `bytes` per pixel, every byte distinct enough
    // that a swapped channel or a flipped row shows.
    std::vector<uint8_t> fill_scratch(int width, int height, int bytes)
    {
        std::vector<uint8_t> image(static_cast<size_t>(width) * height * bytes);
        for (size_t i = 0; i < image.size(); ++i)
            image[i] = static_cast<uint8_t>(i * 29 + 3);
        memcpy(scratch_array, image.data(), image.size());
        return image;
    }

    // The buffer's rows (bottom row first) in top-down order, as an image file reader gives them.
    static std::vector<uint8_t> top_down(const std::vector<uint8_t>& image, int width, int height, int bytes)
    {
        std::vector<uint8_t> out;
        const size_t row = static_cast<size_t>(width) * bytes;
        for (int y = height - 1; y >= 0; --y)
            out.insert(out.end(), image.begin() + static_cast<long>(y * row),
                       image.begin() + static_cast<long>((y + 1) * row));
        return out;
    }

    temp_folder folder;
    test::alert_recorder alerts;
};

TEST_F(ImageWrite, PngHoldsTheBufferTopRowFirstInRgbaOrRgb)
{
    const std::vector<uint8_t> rgba = fill_scratch(5, 3, 4);
    const std::string four = folder / "four.png";
    write_png_to_disk(four, 5, 3, 4);
    EXPECT_EQ(test::command_output("identify -format '%w %h %[png:IHDR.color-type-orig] %[png:IHDR.bit-depth-orig]' '" +
                                   four + "' 2>/dev/null"),
              "5 3 6 8");
    EXPECT_EQ(test::magick_pixels(four, "rgba"), top_down(rgba, 5, 3, 4));

    const std::vector<uint8_t> rgb = fill_scratch(7, 2, 3);
    const std::string three = folder / "three.png";
    write_png_to_disk(three, 7, 2, 3);
    EXPECT_EQ(test::command_output("identify -format '%w %h %[png:IHDR.color-type-orig]' '" + three + "' 2>/dev/null"),
              "7 2 2");
    EXPECT_EQ(test::magick_pixels(three, "rgb"), top_down(rgb, 7, 2, 3));
    // The extension is kept as given: nothing is added.
    struct stat info { };
    EXPECT_EQ(stat(three.c_str(), &info), 0);
    EXPECT_EQ(alerts.alerts().size(), 0u);
}

TEST_F(ImageWrite, PngRoundTripsThroughTheLoader)
{
    const std::vector<uint8_t> image = fill_scratch(16, 8, 4);
    const std::string path = folder / "round.png";
    write_png_to_disk(path, 16, 8, 4);

    tex_load_vars v;
    v.load_type = LOAD_TEXTURE;
    v.ref = 500;
    v.type = 2;
    v.name = path;
    ASSERT_EQ(tman.load_texture_io(&v), 2);
    ASSERT_EQ(v.tex_dx, 16);
    EXPECT_EQ(std::vector<uint8_t>(v.pixels, v.pixels + image.size()), image);
}

TEST_F(ImageWrite, PngToAMissingFolderWritesNothingAndSaysNothing)
{
    fill_scratch(4, 4, 4);
    const std::string path = folder / "no/such/folder/shot.png";
    write_png_to_disk(path, 4, 4, 4);
    struct stat info { };
    EXPECT_NE(stat(path.c_str(), &info), 0);
    EXPECT_EQ(alerts.alerts().size(), 0u);
    // A size the 4 MB buffer cannot hold is not read past its end either.
    write_png_to_disk(folder / "huge.png", 2048, 2048, 4);
    EXPECT_NE(stat((folder / "huge.png").c_str(), &info), 0);
}

TEST_F(ImageWrite, BmpHasPaddedRowsAndItsOwnExtension)
{
    const std::vector<uint8_t> image = fill_scratch(2, 2, 3);
    write_bmp_to_disk(folder / "shot.png", 2, 2);
    const std::vector<uint8_t> bytes = test::read_file_bytes(folder / "shot.bmp");
    struct stat info { };
    EXPECT_NE(stat((folder / "shot.png").c_str(), &info), 0);
    ASSERT_EQ(bytes.size(), 70u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[2], 70);  // file size, little-endian
    EXPECT_EQ(bytes[10], 54);
    EXPECT_EQ(bytes[14], 40);
    EXPECT_EQ(bytes[18], 2);
    EXPECT_EQ(bytes[22], 2);
    EXPECT_EQ(bytes[28], 24);
    // Row 0 (the buffer's bottom row): B, G, R of each pixel, then two zero bytes.
    const std::vector<uint8_t> row0(bytes.begin() + 54, bytes.begin() + 62);
    EXPECT_EQ(row0, (std::vector<uint8_t>{image[2], image[1], image[0], image[5], image[4], image[3], 0, 0}));
    EXPECT_EQ(bytes[68], 0);
    EXPECT_EQ(bytes[69], 0);

    // ImageMagick reads the same picture, top row first.
    EXPECT_EQ(test::magick_pixels(folder / "shot.bmp", "rgb"), top_down(image, 2, 2, 3));

    // Without an extension ".bmp" is appended.
    write_bmp_to_disk(folder / "plain", 2, 2);
    EXPECT_EQ(test::read_file_bytes(folder / "plain.bmp"), bytes);
}

TEST_F(ImageWrite, BmpLeavesTheBufferAsItWasSoTwoWritesMatch)
{
    const std::vector<uint8_t> image = fill_scratch(3, 5, 3);
    write_bmp_to_disk(folder / "first.bmp", 3, 5);
    EXPECT_EQ(std::vector<uint8_t>(scratch_array, scratch_array + image.size()), image);
    write_bmp_to_disk(folder / "second.bmp", 3, 5);
    EXPECT_EQ(test::read_file_bytes(folder / "first.bmp"), test::read_file_bytes(folder / "second.bmp"));
    EXPECT_EQ(test::magick_pixels(folder / "second.bmp", "rgb"), top_down(image, 3, 5, 3));
}

using ImageWriteDeathTest = ImageWrite;

TEST_F(ImageWriteDeathTest, BmpThatCannotBeCreatedEndsTheProgram)
{
    test::set_core_hook(&core_hooks::alert, nullptr);  // the real alert
    fill_scratch(2, 2, 3);
    EXPECT_EXIT(write_bmp_to_disk(folder / "missing/shot.bmp", 2, 2), ::testing::ExitedWithCode(1),
                "I could not create this file!");
}

}  // namespace
