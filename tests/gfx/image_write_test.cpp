// The PNG and BMP writers: exact file bytes, what ImageMagick reads back, round trips through our own
// loader, and the scratch buffer left untouched.
#include "gfx/image_files.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/file_size_limit.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

#include "core/globals.h"
#include "core/mnw.h"
#include "gfx/image_load.h"
#include "gfx/image_write.h"
#include "gfx/tman.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

class ImageWrite : public test::image_test {
protected:
    // A ramp shows a swapped channel or a flipped row; noise is what no compression shrinks.
    enum class pattern { ramp, noise };

    // Fills scratch_array (rows bottom first) with width x height pixels of `bytes` bytes, byte i being
    // i * 29 + 3 (the ramp) or a pseudo-random byte; returns them top row first, as an image file
    // reader gives them.
    static std::vector<uint8_t> fill_scratch(int width, int height, int bytes, pattern kind = pattern::ramp)
    {
        const size_t row = static_cast<size_t>(width) * bytes;
        const std::string noise = kind == pattern::noise ? test::patterned_bytes(row * height) : std::string();
        for (size_t i = 0; i < row * height; ++i)
            scratch_array[i] =
                kind == pattern::noise ? static_cast<uint8_t>(noise[i]) : static_cast<uint8_t>(i * 29 + 3);
        std::vector<uint8_t> top_down;
        for (int y = height - 1; y >= 0; --y)
            top_down.insert(top_down.end(), scratch_array + y * row, scratch_array + (y + 1) * row);
        return top_down;
    }
};

TEST_F(ImageWrite, PngHoldsTheBufferTopRowFirst)
{
    // Size and bytes a pixel: RGBA as RGBA, RGB without the alpha ImageMagick would otherwise read as opaque.
    for (const auto& [width, height, bytes] : {std::tuple{5, 3, 4}, {7, 2, 3}}) {
        const std::vector<uint8_t> image = fill_scratch(width, height, bytes);
        const std::string path = folder / ("shot" + std::to_string(bytes) + ".png");  // kept as given
        write_png_to_disk(path, width, height, bytes);
        EXPECT_EQ(test::magick_pixels(path, bytes == 4 ? "rgba" : "rgb"), image);
    }
    // A missing folder, or a size the 4 MB buffer cannot hold: nothing is written, and nothing said.
    write_png_to_disk(folder / "no/such/folder/shot.png", 4, 4, 4);
    write_png_to_disk(folder / "huge.png", 2048, 2048, 4);
    EXPECT_EQ(std::tuple(test::path_exists(folder / "no/such/folder/shot.png"), test::path_exists(folder / "huge.png"),
                         alerts.alerts().size()),
              std::tuple(false, false, 0u));
}

TEST_F(ImageWrite, BmpHasPaddedRowsItsOwnExtensionAndLeavesTheBufferAlone)
{
    fill_scratch(2, 2, 3);
    write_bmp_to_disk(folder / "shot.png", 2, 2);
    const std::vector<uint8_t> bytes = test::read_file_bytes(folder / "shot.bmp");
    ASSERT_EQ(bytes.size(), 70u);
    // Signature, file size, pixel offset, header size, width, height (little-endian), 24 bits.
    EXPECT_EQ(std::vector<int>({bytes[0], bytes[1], bytes[2], bytes[10], bytes[14], bytes[18], bytes[22], bytes[28]}),
              std::vector<int>({'B', 'M', 70, 54, 40, 2, 2, 24}));
    // Row 0 (the buffer's bottom row, bytes 3, 32, 61, 90, 119, 148): B, G, R of each pixel, then two
    // zero bytes; the same for row 1.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 54, bytes.begin() + 62),
              (std::vector<uint8_t>{61, 32, 3, 148, 119, 90, 0, 0}));
    EXPECT_EQ(bytes[68] + bytes[69], 0);
    write_bmp_to_disk(folder / "plain", 2, 2);  // without an extension ".bmp" is appended
    EXPECT_EQ(test::read_file_bytes(folder / "plain.bmp"), bytes);

    // Rows of an odd width are padded too, as ImageMagick reads them, and the buffer is left as it was.
    const std::vector<uint8_t> odd = fill_scratch(3, 5, 3), buffer(scratch_array, scratch_array + odd.size());
    write_bmp_to_disk(folder / "odd.bmp", 3, 5);
    EXPECT_EQ(std::vector<uint8_t>(scratch_array, scratch_array + odd.size()), buffer);
    EXPECT_EQ(test::magick_pixels(folder / "odd.bmp", "rgb"), odd);
}

TEST_F(ImageWrite, AFailedWriteIsReportedAndLeavesTheEarlierFileAndNoPartOfItsOwn)
{
    // No file may grow past 1 MB, as on a nearly full disk: a 1024 x 768 frame of noise is 2.3 MB as a
    // BMP and as a PNG, a 64 x 64 one 12 KB. A write that fails raises the message alert naming the
    // file, and the log names why.
    constexpr rlim_t DISK_ROOM = 1 << 20;
    struct write_case {
        const char* name;
        int side;        // 1024 x 768 when large, else 64 x 64
        bool earlier;    // a file of that name is there before
        const char* l1;  // the alert's first line; empty when the file fits
        int line;
    };
    const write_case cases[] = {
        {"shot.png", 1024, true, "PNG error!", 84},
        {"shot.bmp", 1024, true, "BMP error!", 231},
        {"shot.png", 1024, false, "PNG error!", 84},
        {"shot.bmp", 1024, false, "BMP error!", 231},
        {"shot.png", 64, true, "", 0},
        {"shot.bmp", 64, true, "", 0},
    };
    for (const auto& [name, side, earlier, l1, line] : cases) {
        const std::string what = std::string(name) + " " + std::to_string(side) + (earlier ? " over a file" : "");
        const test::temp_folder place;
        const std::string target = place / name;
        if (earlier)
            test::write_file(target, "an earlier shot");
        const int width = side, height = side == 1024 ? 768 : side;
        const std::vector<uint8_t> image = fill_scratch(width, height, 3, pattern::noise);
        alerts.clear();
        const test::log_capture log;
        {
            const test::file_size_limit disk(DISK_ROOM);
            if (std::string(name).ends_with(".png"))
                write_png_to_disk(target, width, height, 3);
            else
                write_bmp_to_disk(target, width, height);
        }
        std::string raised;
        for (const test::recorded_alert& alert : alerts.alerts())
            raised += test::summary(alert);
        std::set<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(place.root))
            left.insert(entry.path().filename());
        const bool fails = *l1 != '\0';
        const std::string alert =
            fails ? std::string(l1) + "|Write Error|" + target + "||1|" + TMAN_SOURCE + ":" + std::to_string(line) : "";
        EXPECT_EQ(raised, alert) << what;
        EXPECT_EQ(left, fails && !earlier ? std::set<std::string>{} : std::set<std::string>{name}) << what;
        if (fails && earlier) {
            const std::string kept = test::read_file(target);
            EXPECT_TRUE(kept == "an earlier shot") << what << ": " << kept.size() << " bytes";
        }
        if (!fails) {
            EXPECT_EQ(test::magick_pixels(target, "rgb"), image) << what;
        }
        EXPECT_EQ(log.text().find("File too large") != std::string::npos, fails) << what << ": " << log.text();
    }
}

using ImageWriteDeathTest = ImageWrite;

TEST_F(ImageWriteDeathTest, BmpThatCannotBeCreatedEndsTheProgram)
{
    test::set_core_hook(&core_hooks::alert, nullptr);  // the real alert
    EXPECT_EXIT(write_bmp_to_disk(folder / "missing/shot.bmp", 2, 2), ::testing::ExitedWithCode(1),
                "I could not create this file!");
}

}  // namespace
