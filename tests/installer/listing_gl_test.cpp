// read_directory with a real window: its progress panel is drawn and shown
// while the listing is scanned and the disk examined.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/md5.h"
#include "core/mnw.h"
#include "core/stg.h"
#include "gfx/colr.h"
#include "installer/listing.h"
#include "support/alert_recorder.h"
#include "support/file_bytes.h"
#include "support/gl_window.h"
#include "support/temp_folder.h"

using namespace test;

namespace {

class ListingPanel : public test::gl_test { };

// Mean brightness (0..1) of what the X server shows, taken with ImageMagick:
// what a swap put on the screen, not what a buffer of ours holds.
double screen_brightness()
{
    const std::string text =
        command_output("import -window root -colorspace Gray -format '%[fx:mean]' info:- 2>/dev/null");
    return text.empty() ? -1.0 : std::stod(text);
}

TEST_F(ListingPanel, ReadingShowsTheProgressPanel)
{
    ASSERT_TRUE(win().ok()) << win().error();
    temp_folder dir;
    set_stg_defaults();
    dest_dir_path = dir / "install/";
    std::filesystem::create_directories(dest_dir_path);
    std::string text = "A\n840 version\nINSTALLER\n\nDIR All/\n";
    for (int i = 0; i < 50; ++i)
        text += "FILE 0 0 85008 1 1 " + md5_of_bytes("x", 1) + " file" + std::to_string(i) + "\n";
    write_file(dir / "directory.txt", text);

    mnw.window[0] = win().window();
    mnw.x_res = test::GL_WINDOW_WIDTH;
    mnw.y_res = test::GL_WINDOW_HEIGHT;
    mnw.cur_win = 0;
    // No interface art is loaded here: the panel's colours are made bright so it shows.
    colr.assign(48, 1, 1, 1);
    colr.assign(0, 1, 1, 1);
    const test::rgba clear = {0, 0, 0, 255};
    win().reset_2d(clear);
    win().swap();
    win().reset_2d(clear);
    const double before = screen_brightness();
    ASSERT_GE(before, 0.0) << "no screenshot";

    alert_recorder alerts;
    EXPECT_EQ(read_directory(dir / "directory.txt", "Scanning directory text file"), LISTING_READ);
    mnw.window[0] = nullptr;
    EXPECT_TRUE(alerts.alerts().empty());
    EXPECT_EQ(sim_info.size(), 50u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // The background quad and the panel now cover the black window on screen.
    EXPECT_GT(screen_brightness(), before + 0.1);
}

}  // namespace
