// The scenery library scanned from real package trees: priority order, hiding and extension, weights,
// regions, the reports of malformed library files, and a rescan.

#include "core/scenery_library.h"

#include "file_test_support.h"
#include "support/log_capture.h"
#include "support/scenery_tree.h"

#include <map>

using test::write_library;

namespace {

const std::string A = "Custom Scenery/A/", B = "Custom Scenery/B/", C = "Custom Scenery/C/";
const std::string D = "Resources/default scenery/D/";

// How often each path comes back from `draws` lookups of `name` at the tile.
std::map<std::string, int> draw(const std::string& name, int draws)
{
    std::map<std::string, int> seen;
    for (int i = 0; i < draws; ++i) {
        std::string path = name;
        if (DSF_LookupLibraryResource(0, 0, path))
            ++seen[path];
    }
    return seen;
}

std::string error_line(const std::string& file, int line, const std::string& message,
                       const std::string& source = "DEzovuv/Files/io_locate")
{
    return "***Error with scenery file \"" + file + "\" (" + source + ": " + std::to_string(line) + ".)\n  " + message +
        "\n";
}

}  // namespace

class SceneryLibrary : public FileTest {
protected:
    void SetUp() override
    {
        FileTest::SetUp();
        srand(1);  // the draws below are the same on every run
    }
    test::log_capture log;
};

TEST_F(SceneryLibrary, PriorityHidingWeightsAndRegions)
{
    write_library(A,
                  "EXPORT shared a/shared.obj\nEXPORT_EXTEND joined a/joined.obj\n"
                  "EXPORT twice a/one.obj\nEXPORT twice a/two.obj\n"
                  "EXPORT_RATIO 3 ratio a/p.obj\nEXPORT ratio a/q.obj\nEXPORT_RATIO 0 zero a/zero.obj\n"
                  "REGION_DEFINE alps\nREGION_RECT 10 45 11 46\nREGION alps\n"
                  "EXPORT tree a/alps tree.obj\r\nEXPORT rock a/rock.obj");
    write_library(B, "EXPORT shared b/shared.obj\nEXPORT joined b/joined.obj\n");
    std::filesystem::create_directories(C);  // a package without a library file
    write_library(D, "EXPORT zero d/zero.obj\nEXPORT tree d/tree.obj\nEXPORT shared d/shared.obj\n");
    write_file("Custom Scenery/notes.txt", "");
    ASSERT_EQ(symlink("A", at("Custom Scenery/L").c_str()), 0);     // a link is no package
    ASSERT_EQ(symlink("gone", at("Custom Scenery/M").c_str()), 0);  // nor a dangling one

    DSF_ScanSceneryFolder();
    EXPECT_EQ(scenery_packages, (std::vector<std::string>{A, B, C, D}));
    EXPECT_EQ(package_is_custom, (std::vector<int>{1, 1, 1, 0}));
    EXPECT_EQ(log.text(),
              "I found the following scenery packages (prioritized in this order):\n  0 " + A + "\n  1 " + B +
                  "\n  2 " + C + "\n  3 " + D + "\n");

    struct lookup {
        const char* name;
        int longitude, latitude;
        std::string found;  // "" for none
    } lookups[] = {
        {"shared", 0, 0, A + "a/shared.obj"},
        {"tree", 10, 45, A + "a/alps tree.obj"},
        {"tree", 11, 46, A + "a/alps tree.obj"},
        {"tree", 12, 45, D + "d/tree.obj"},
        {"tree", 10, 44, D + "d/tree.obj"},
        {"tree", 370, 45, D + "d/tree.obj"},  // off the world
        {"tree", 10, 225, D + "d/tree.obj"},
        {"rock", 10, 45, A + "a/rock.obj"},
        {"rock", 12, 45, ""},
        {"rock", 11, -134, ""},
        {"zero", 0, 0, ""},
        {"missing", 0, 0, ""},
    };
    for (const lookup& l : lookups) {
        std::string path = l.name;
        EXPECT_EQ(DSF_LookupLibraryResource(l.longitude, l.latitude, path), !l.found.empty()) << l.name;
        EXPECT_EQ(path, l.found.empty() ? l.name : l.found) << l.name << " at " << l.longitude << "," << l.latitude;
    }

    struct listing {
        const char* name;
        std::vector<std::string> paths;
    } listings[] = {
        {"joined", {A + "a/joined.obj", B + "b/joined.obj"}},
        {"ratio", {A + "a/q.obj", A + "a/p.obj", A + "a/p.obj", A + "a/p.obj"}},
        {"shared", {A + "a/shared.obj"}},
        {"zero", {}},
    };
    for (const listing& l : listings) {
        std::vector<std::string> paths = {"left over"};
        EXPECT_EQ(DSF_LookupLibraryResourceMultiple(0, 0, l.name, paths), !l.paths.empty()) << l.name;
        EXPECT_EQ(paths, l.paths) << l.name;
        EXPECT_EQ(DSF_LookupLibraryResourceAnywhereMultiple(l.name, paths), !l.paths.empty()) << l.name;
        EXPECT_EQ(paths, l.paths) << l.name;
    }
    // Without a tile the whole list counts, what the weight-0 entry hides too.
    std::string anywhere = "zero";
    EXPECT_TRUE(DSF_LookupLibraryResourceAnywhere(anywhere));
    EXPECT_EQ(anywhere, D + "d/zero.obj");

    // Draws follow the weights: 1/2 each for an extension and for two exports of one package, 3/4 and 1/4.
    struct share {
        const char* name;
        std::string path;
        double fraction;
    } shares[] = {{"joined", A + "a/joined.obj", 0.5}, {"twice", A + "a/one.obj", 0.5}, {"ratio", A + "a/p.obj", 0.75}};
    constexpr int draws = 4000;
    for (const share& s : shares) {
        std::map<std::string, int> seen = draw(s.name, draws);
        EXPECT_EQ(seen.size(), 2u) << s.name;
        EXPECT_NEAR(seen[s.path], s.fraction * draws, 0.05 * draws) << s.name;
    }
}

TEST_F(SceneryLibrary, MalformedLibraryFilesAreReportedAndTheScanGoesOn)
{
    write_library(A, "EXPORT lost a/lost.obj\n", "A\n700 version\nLIBRARY\n");
    write_library(B,
                  "REGION_RECT 0 0 1 1\nREGION nowhere\nREGION_DEFINE r\nREGION_RECT 170 0 -170 10\n"
                  "REGION_RECT 0 0 2147483600 1\nREGION_DEFINE r\nREGION_RECT 0 0 1 1\nREGION_BITMAP mask.png\n"
                  "REGION_DEFINE s\nREGION_BITMAP mask.png\nEXPORT_RATIO 16777217 big b/big.obj\nEXPORT\n"
                  "EXPORT after b/after.obj\n");
    std::filesystem::create_directories(C + "library.txt");  // unreadable as a file: silent
    DSF_ScanSceneryFolder();

    const std::string b = B + "library.txt";
    const std::string expected = error_line(b, 310, "REGION_RECT command used but no region has been defined.") +
        error_line(b, 286, "REGION nowhere - region unknown.  Ingoring") +
        error_line(b, 319, "The boundaries to a REGION_RECT command are out of range: 350,90->10,100") +
        error_line(b, 319, "The boundaries to a REGION_RECT command are out of range: 180,90->-2147483516,91") +
        error_line(b, 297, "REGION_DEFINE r - region already defined.  Ignoring.") +
        error_line(b, 310, "REGION_RECT command used but no region has been defined.") +
        error_line(b, 332, "REGION_BITMAP used with no region defined.  REGION_BITMAP will be ignored.") +
        error_line(b, 336, "Unable to load bitmap file 'mask.png' for REGION_BITMAP command - will skip.") +
        error_line(b, 269, "Library error: you cannot have a ratio of more than 2^24 lib items for b/big.obj -> big.") +
        error_line(A + "library.txt", 218, "Incorrect version for scenery library file.  Will skip.");
    const std::string text = log.text();
    ASSERT_GE(text.size(), expected.size());
    EXPECT_EQ(text.substr(text.size() - expected.size()), expected);

    // One alert per package, naming it; the rest only in the log.
    ASSERT_EQ(alert_recorder::alerts().size(), 2u);
    for (int i : {0, 1}) {
        const recorded_alert& alert = alert_recorder::alerts()[i];
        EXPECT_EQ(alert.l1, "Error loading the scenery package:");
        EXPECT_EQ(alert.l2, i == 0 ? B : A);
        EXPECT_EQ(alert.l3, "The scenery may not look correct.");
        EXPECT_EQ(alert.l4, "Please see the log.txt file for detailed error information.");
        EXPECT_EQ(alert.type, ALERT_MESSAGE);
        EXPECT_EQ(alert.line, 411);
    }
    EXPECT_EQ(package_problems, (std::vector<int>{1, 1, 0}));

    std::vector<std::string> paths;
    EXPECT_TRUE(DSF_LookupLibraryResourceMultiple(0, 0, "big", paths));
    EXPECT_EQ(paths, (std::vector<std::string>{B + "b/big.obj"}));  // the ratio cut to 24 bits: 1
    std::string after = "after", lost = "lost";
    EXPECT_TRUE(DSF_LookupLibraryResource(0, 0, after));
    EXPECT_FALSE(DSF_LookupLibraryResource(0, 0, lost));

    // A rescan forgets the last one: its entries, its packages and their problems.
    std::filesystem::remove_all("Custom Scenery/B");
    write_library(A, "EXPORT lost a/found.obj\n");
    DSF_ScanSceneryFolder();
    EXPECT_EQ(scenery_packages, (std::vector<std::string>{A, C}));
    EXPECT_EQ(package_problems, (std::vector<int>{0, 0}));
    after = "after";
    EXPECT_FALSE(DSF_LookupLibraryResource(0, 0, after));
    EXPECT_TRUE(DSF_LookupLibraryResource(0, 0, lost));
    EXPECT_EQ(lost, A + "a/found.obj");
}

TEST_F(SceneryLibrary, LibraryFileFoundIgnoringCaseAmongThousandsOfEntries)
{
    std::filesystem::create_directories("custom scenery/Big");
    for (int i = 0; i < 3001; ++i)
        write_file("custom scenery/Big/f" + std::to_string(i), "");
    write_file("custom scenery/Big/LIBRARY.TXT", test::LIBRARY_HEADER + "EXPORT x big/x.obj\n");
    g_case_sensitive = 1;
    DSF_ScanSceneryFolder();
    std::string x = "x";
    EXPECT_TRUE(DSF_LookupLibraryResource(0, 0, x));
    EXPECT_EQ(x, "custom scenery/Big/big/x.obj");
}

TEST_F(SceneryLibrary, ErrorReportsOutsideAPackageAndFatalOnes)
{
    scenery_packages = {A, D};
    package_problems = {0, 0};
    package_is_custom = {1, 0};
    const std::string longest(5000, 'x');
    __DSF_NonFatalError("src", 7, "elsewhere/file.txt", "value %d %s", 5, longest.c_str());
    // The message keeps at most 4095 characters.
    EXPECT_EQ(log.text(), error_line("elsewhere/file.txt", 7, "value 5 " + std::string(4087, 'x'), "src"));
    ASSERT_EQ(alert_recorder::alerts().size(), 1u);
    EXPECT_EQ(alert_recorder::alerts()[0].l2, "elsewhere/file.txt");
    EXPECT_EQ(alert_recorder::alerts()[0].line, 405);

    struct fatal {
        std::string file, l2, l3;
        int line;
    } fatals[] = {
        {A + "x.obj", A,
         "Veltrix cannot run with this package installed - you may need to remove the custom  scenery package.", 446},
        {D + "x.obj", D, "Veltrix cannot run with this package installed - You may need to reinstall Veltrix.", 446},
        {"elsewhere", "elsewhere", "Veltrix cannot run with this corrupt file.", 440},
    };
    for (const fatal& f : fatals) {
        recorded_alert alert = test::expect_fatal([&] { __DSF_FatalError("src", 1, f.file.c_str(), "bad"); });
        EXPECT_EQ(alert.l1, "Error loading the scenery package:");
        EXPECT_EQ(alert.l2, f.l2);
        EXPECT_EQ(alert.l3, f.l3);
        EXPECT_EQ(alert.l4, "Please see the log.txt file for detailed error information.");
        EXPECT_EQ(alert.line, f.line);
        EXPECT_EQ(alert.file, "DEzovuv/Files/io_locate");
    }
    EXPECT_EQ(package_problems, (std::vector<int>{1, 1}));
}
