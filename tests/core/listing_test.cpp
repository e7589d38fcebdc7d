// Folder listing into the three tables, on real folders.

#include "core/listing.h"

#include "file_test_support.h"

#include <unistd.h>

namespace {

// The entries of a listing of `folder`, one "name path type" each.
std::vector<std::string> list(const std::string& folder, int filter)
{
    wrk_path = folder;
    const int count = opensave_getitems(filter);
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(g_file[i] + " " + g_path_rel[i] + " " + std::to_string(g_file_type[i]));
    return entries;
}

std::string entry(const std::string& name, const std::string& path, int type)
{
    return name + " " + path + " " + std::to_string(type);
}

}  // namespace

using FolderListing = FileTest;

TEST_F(FolderListing, EntriesAreTypedSortedAndHiddenOnesDropped)
{
    make({"fo/sub/", "fo/.git/", "fo/odd.txt/", "fo/b.txt", "fo/.hidden", "fo/._b.txt", "fo/PIC.png", "fo/x.TXT",
          "fo/ab"});
    ASSERT_EQ(symlink("sub", at("fo/link").c_str()), 0);

    std::vector<std::string> expected = {
        entry("PIC.png", "fo/PIC.png", LIST_BITMAP), entry("ab", "fo/ab", LIST_OTHER),
        entry("b.txt", "fo/b.txt", LIST_TXT),        entry("link", "fo/link", LIST_OTHER),
        entry("odd.txt", "fo/odd.txt/", LIST_TXT),  // a folder named like a file takes the file's type
        entry("sub", "fo/sub/", LIST_FOLDER),        entry("x.TXT", "fo/x.TXT", LIST_TXT),
    };
    EXPECT_EQ(list("fo:", 0), expected);
    EXPECT_EQ(wrk_path, "fo/");  // normalised in place

    std::vector<std::string> texts = {entry("b.txt", "fo/b.txt", LIST_TXT), entry("odd.txt", "fo/odd.txt/", LIST_TXT),
                                      entry("sub", "fo/sub/", LIST_FOLDER), entry("x.TXT", "fo/x.TXT", LIST_TXT)};
    EXPECT_EQ(list("fo:", LIST_TXT), texts);

    std::vector<std::string> bitmaps = {entry("PIC.png", "fo/PIC.png", LIST_BITMAP),
                                        entry("sub", "fo/sub/", LIST_FOLDER)};
    EXPECT_EQ(list("fo:", LIST_BITMAP), bitmaps);
}

TEST_F(FolderListing, PanelBitmapFilter)
{
    make({"art/gauge-2.png", "art/gauge.png", "art/a.png", "art/notes.txt",
          "Resources/bitmaps/cockpit/-PANELS-/Panel.png"});

    std::vector<std::string> art = {entry("a.png", "art/a.png", LIST_BITMAP),
                                    entry("gauge.png", "art/gauge.png", LIST_BITMAP)};
    EXPECT_EQ(list("art:", LIST_PANEL_BITMAPS), art);
    EXPECT_TRUE(list("Resources:bitmaps:cockpit:-PANELS-:", LIST_PANEL_BITMAPS).empty());
    g_case_sensitive = 1;
    EXPECT_TRUE(list("resources:BITMAPS:cockpit:-panels-:", LIST_PANEL_BITMAPS).empty());
    EXPECT_EQ(wrk_path, "Resources/bitmaps/cockpit/-PANELS-/");
    g_case_sensitive = 0;

    // A path shorter than six characters has nothing to compare.
    g_file[0] = "a.png";
    g_path_rel[0] = "a.png";
    g_file_type[0] = 0;
    EXPECT_EQ(opensave_takeit(0, LIST_PANEL_BITMAPS), 1);
    EXPECT_EQ(g_file_type[0], LIST_BITMAP);
}

TEST_F(FolderListing, LimitsAndFailures)
{
    std::filesystem::create_directories(at("many"));
    for (int i = 0; i < 3001; ++i)
        write_file(at("many/f" + std::to_string(100000 + i)), "");
    std::vector<std::string> all = list("many:", 0);
    ASSERT_EQ(all.size(), 3000u);
    EXPECT_EQ(all.front(), entry("f100000", "many/f100000", LIST_OTHER));
    EXPECT_EQ(all.back(), entry("f102999", "many/f102999", LIST_OTHER));

    EXPECT_TRUE(list("missing:", 0).empty());

    // An empty working path lists the program's folder.
    write_file(at("here.txt"), "");
    std::vector<std::string> expected = {entry("here.txt", "here.txt", LIST_TXT), entry("home", "home/", LIST_FOLDER),
                                         entry("many", "many/", LIST_FOLDER), entry("tmp", "tmp/", LIST_FOLDER)};
    EXPECT_EQ(list("", LIST_TXT), expected);

    wrk_path = "no-separator";
    const recorded_alert alert = test::expect_fatal([] { (void)opensave_getitems(0); });
    EXPECT_EQ(alert.l1 + "|" + alert.l4 + "|" + alert.file,
              "Working path does not appear to be a directory!|no-separator|DEzovuv/Files/io_utils");
}
