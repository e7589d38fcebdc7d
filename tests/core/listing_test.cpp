// Folder listing into the three tables, on real folders.

#include "core/listing.h"

#include "file_test_support.h"

#include <unistd.h>

namespace {

struct listed {
    std::string name;
    std::string path;
    int type;
    bool operator==(const listed&) const = default;
};

std::vector<listed> list(const std::string& folder, int filter)
{
    wrk_path = folder;
    int count = opensave_getitems(filter);
    std::vector<listed> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({g_file[i], g_path_rel[i], g_file_type[i]});
    return entries;
}

void PrintTo(const listed& entry, std::ostream* out)
{
    *out << "{" << entry.name << ", " << entry.path << ", " << entry.type << "}";
}

}  // namespace

using FolderListing = FileTest;

TEST_F(FolderListing, EntriesAreTypedSortedAndHiddenOnesDropped)
{
    std::filesystem::create_directories(at("fo/sub"));
    std::filesystem::create_directories(at("fo/.git"));
    std::filesystem::create_directories(at("fo/odd.txt"));
    write_file(at("fo/b.txt"), "");
    write_file(at("fo/.hidden"), "");
    write_file(at("fo/._b.txt"), "");
    write_file(at("fo/PIC.png"), "");
    write_file(at("fo/x.TXT"), "");
    write_file(at("fo/ab"), "");
    ASSERT_EQ(symlink("sub", at("fo/link").c_str()), 0);

    std::vector<listed> expected =
        {
            {"PIC.png", "fo/PIC.png", LIST_BITMAP}, {"ab", "fo/ab", LIST_OTHER},
            {"b.txt", "fo/b.txt", LIST_TXT},        {"link", "fo/link", LIST_OTHER},
            {"odd.txt", "fo/odd.txt/", LIST_TXT},  // a folder named like a file takes the file's type
            {"sub", "fo/sub/", LIST_FOLDER},        {"x.TXT", "fo/x.TXT", LIST_TXT},
        };
    EXPECT_EQ(list("fo:", 0), expected);
    EXPECT_EQ(wrk_path, "fo/");  // normalised in place

    std::vector<listed> texts = {{"b.txt", "fo/b.txt", LIST_TXT},
                                 {"odd.txt", "fo/odd.txt/", LIST_TXT},
                                 {"sub", "fo/sub/", LIST_FOLDER},
                                 {"x.TXT", "fo/x.TXT", LIST_TXT}};
    EXPECT_EQ(list("fo:", LIST_TXT), texts);

    std::vector<listed> bitmaps = {{"PIC.png", "fo/PIC.png", LIST_BITMAP}, {"sub", "fo/sub/", LIST_FOLDER}};
    EXPECT_EQ(list("fo:", LIST_BITMAP), bitmaps);
}

TEST_F(FolderListing, PanelBitmapFilter)
{
    std::filesystem::create_directories(at("Resources/bitmaps/cockpit/-PANELS-"));
    std::filesystem::create_directories(at("art"));
    write_file(at("art/gauge-2.png"), "");
    write_file(at("art/gauge.png"), "");
    write_file(at("art/a.png"), "");
    write_file(at("art/notes.txt"), "");
    write_file(at("Resources/bitmaps/cockpit/-PANELS-/Panel.png"), "");

    std::vector<listed> art = {{"a.png", "art/a.png", LIST_BITMAP}, {"gauge.png", "art/gauge.png", LIST_BITMAP}};
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
    std::vector<listed> all = list("many:", 0);
    ASSERT_EQ(all.size(), 3000u);
    EXPECT_EQ(all.front().name, "f100000");
    EXPECT_EQ(all.back().name, "f102999");

    EXPECT_TRUE(list("missing:", 0).empty());

    // An empty working path lists the program's folder.
    write_file(at("here.txt"), "");
    std::vector<listed> here = list("", LIST_TXT);
    std::vector<listed> expected = {{"here.txt", "here.txt", LIST_TXT},
                                    {"home", "home/", LIST_FOLDER},
                                    {"many", "many/", LIST_FOLDER},
                                    {"tmp", "tmp/", LIST_FOLDER}};
    EXPECT_EQ(here, expected);

    wrk_path = "no-separator";
    EXPECT_THROW(opensave_getitems(0), fatal_alert);
    ASSERT_FALSE(alert_recorder::alerts().empty());
    EXPECT_EQ(alert_recorder::alerts().back().l1, "Working path does not appear to be a directory!");
    EXPECT_EQ(alert_recorder::alerts().back().l4, "no-separator");
    EXPECT_EQ(alert_recorder::alerts().back().file, "DEzovuv/Files/io_utils");
}
