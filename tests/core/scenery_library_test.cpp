// The scenery library scanned from real package trees: priority order, hiding and extension, weights,
// regions, the reports of malformed library files, and a rescan.

#include "core/scenery_library.h"

#include "file_test_support.h"
#include "support/log_capture.h"
#include "support/scenery_tree.h"

#include <algorithm>
#include <deque>
#include <map>
#include <tuple>

using namespace test;

namespace {

const std::string A = "Custom Scenery/A/", B = "Custom Scenery/B/", C = "Custom Scenery/C/";
const std::string D = "Resources/default scenery/D/";
const std::string SEE_LOG = "Please see the log.txt file for detailed error information.";

std::string error_line(const std::string& file, int line, const std::string& message,
                       const std::string& source = "DEzovuv/Files/io_locate")
{
    return "***Error with scenery file \"" + file + "\" (" + source + ": " + std::to_string(line) + ".)\n  " + message +
        "\n";
}

}  // namespace

class SceneryLibrary : public FileTest {
protected:
    test::log_capture log;
};

TEST_F(SceneryLibrary, PriorityHidingWeightsAndRegions)
{
    write_library(A,
                  "EXPORT shared a/shared.obj\nEXPORT_EXTEND joined a/joined.obj\n"
                  "EXPORT_RATIO 3 ratio a/p.obj\nEXPORT ratio a/q.obj\nEXPORT_RATIO 0 zero a/zero.obj\n"
                  "REGION_DEFINE alps\nREGION_RECT 10 45 11 46\nREGION alps\n"
                  "EXPORT tree a/alps tree.obj\r\nEXPORT rock a/rock.obj");
    write_library(B, "EXPORT shared b/shared.obj\nEXPORT joined b/joined.obj\n");
    std::filesystem::create_directories(C);  // a package without a library file
    write_library(D, "EXPORT zero d/zero.obj\nEXPORT tree d/tree.obj\nEXPORT shared d/shared.obj\n");
    write_file("Custom Scenery/notes.txt", "");
    ASSERT_EQ(symlink("gone", at("Custom Scenery/M").c_str()), 0);  // a dangling link is no package

    DSF_ScanSceneryFolder();
    EXPECT_EQ(scenery_packages, (std::vector<std::string>{A, B, C, D}));
    EXPECT_EQ(package_is_custom, (std::vector<int>{1, 1, 1, 0}));
    EXPECT_EQ(log.text(),
              "I found the following scenery packages (prioritized in this order):\n  0 " + A + "\n  1 " + B +
                  "\n  2 " + C + "\n  3 " + D + "\n");

    // Tiles inside and around the region, and tiles off the world, which lie in no region.
    // clang-format off
    std::tuple<const char*, int, int, std::string> lookups[] = {
        {"shared", 0, 0, A + "a/shared.obj"}, {"tree", 10, 45, A + "a/alps tree.obj"},
        {"tree", 11, 46, A + "a/alps tree.obj"}, {"tree", 12, 45, D + "d/tree.obj"}, {"tree", 10, 44, D + "d/tree.obj"},
        {"tree", 370, 45, D + "d/tree.obj"}, {"tree", 10, 225, D + "d/tree.obj"}, {"rock", 10, 45, A + "a/rock.obj"},
        {"rock", 12, 45, ""}, {"rock", 11, -134, ""}, {"zero", 0, 0, ""}};
    // clang-format on
    for (const auto& [name, longitude, latitude, found] : lookups) {
        std::string path = name;  // "" found: none, and the name stays
        EXPECT_EQ(DSF_LookupLibraryResource(longitude, latitude, path), !found.empty()) << name;
        EXPECT_EQ(path, found.empty() ? name : found) << name << " at " << longitude << "," << latitude;
    }

    // Each path as often as its weight, up to the entry that hides the rest.
    std::map<std::string, std::vector<std::string>> listings = {
        {"joined", {A + "a/joined.obj", B + "b/joined.obj"}},
        {"ratio", {A + "a/q.obj", A + "a/p.obj", A + "a/p.obj", A + "a/p.obj"}},
        {"shared", {A + "a/shared.obj"}},
        {"zero", {}}};
    for (const auto& [name, expected] : listings) {
        std::vector<std::string> paths = {"left over"};
        EXPECT_EQ(DSF_LookupLibraryResourceMultiple(0, 0, name, paths), !expected.empty()) << name;
        EXPECT_EQ(paths, expected) << name;
        EXPECT_EQ(DSF_LookupLibraryResourceAnywhereMultiple(name, paths), !expected.empty()) << name;
        EXPECT_EQ(paths, expected) << name;
    }
    // Without a tile the whole list counts, what the weight-0 entry hides too.
    std::string anywhere = "zero";
    EXPECT_TRUE(DSF_LookupLibraryResourceAnywhere(anywhere));
    EXPECT_EQ(anywhere, D + "d/zero.obj");

    // Draws follow the weights: 3/4 for weight 3 beside weight 1 (the same draws on every run).
    srand(1);
    int weighted = 0;
    for (int i = 0; i < 4000; ++i) {
        std::string drawn = "ratio";
        weighted += DSF_LookupLibraryResource(0, 0, drawn) && drawn == A + "a/p.obj" ? 1 : 0;
    }
    EXPECT_NEAR(weighted, 3000, 200);
}

TEST_F(SceneryLibrary, MalformedLibraryFilesAreReportedAndTheScanGoesOn)
{
    write_library(A, "EXPORT lost a/lost.obj\n", "700");
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
    EXPECT_TRUE(log.text().ends_with(expected)) << log.text();

    // One alert per package, naming it; the rest only in the log.
    ASSERT_EQ(alert_recorder::alerts().size(), 2u);
    EXPECT_EQ(alert_recorder::alerts()[0].l2 + " " + alert_recorder::alerts()[1].l2, B + " " + A);
    EXPECT_EQ(alert_recorder::alerts()[1].line, 411);
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
    EXPECT_EQ(package_problems, (std::vector<int>{0, 0}));
    after = "after";
    EXPECT_FALSE(DSF_LookupLibraryResource(0, 0, after));
    EXPECT_TRUE(DSF_LookupLibraryResource(0, 0, lost));
    EXPECT_EQ(lost, A + "a/found.obj");
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
    const std::string title = "Error loading the scenery package:|";
    EXPECT_EQ(summary(alert_recorder::alerts()[0]),
              title + "elsewhere/file.txt|The scenery may not look correct.|" + SEE_LOG +
                  "|1|DEzovuv/Files/io_locate:405");
    const std::string custom = "|Veltrix cannot run with this package installed - you may need to remove the custom  "
                               "scenery package.|";
    const std::string fatal = "|2|DEzovuv/Files/io_locate:";
    EXPECT_EQ(summary(test::expect_fatal([] { __DSF_FatalError("src", 1, (A + "x.obj").c_str(), "bad"); })),
              title + A + custom + SEE_LOG + fatal + "446");
    EXPECT_EQ(summary(test::expect_fatal([] { __DSF_FatalError("src", 1, (D + "x.obj").c_str(), "bad"); })),
              title + D + "|Veltrix cannot run with this package installed - You may need to reinstall Veltrix.|" +
                  SEE_LOG + fatal + "446");
    EXPECT_EQ(summary(test::expect_fatal([] { __DSF_FatalError("src", 1, "elsewhere", "bad"); })),
              title + "elsewhere|Veltrix cannot run with this corrupt file.|" + SEE_LOG + fatal + "440");
    EXPECT_EQ(package_problems, (std::vector<int>{1, 1}));
}

// The log line of a list cut by its number of paths, or by its text.
std::string cut_by_paths(const std::string& name, uint64_t total)
{
    return "The scenery library's entries for " + name + " weigh " + std::to_string(total) +
        " together: its lookups list 65536 paths at most, in the same proportions.\n";
}

std::string cut_by_text(const std::string& name, uint64_t bytes)
{
    return "The scenery library's entries for " + name + " would list " + std::to_string(bytes) +
        " bytes of paths: its lookups list 16777216 bytes of paths at most, in the same proportions.\n";
}

TEST_F(SceneryLibrary, MultipleLookupsListAtMostTheLimitsInTheSameProportions)
{
    // One line of the library file at the largest weight there is, its path (package folder included)
    // this long: how often both lookups list it, and the cut logged once after the scan.
    const uint64_t W = 16777215;
    const struct {
        size_t length;
        size_t times;
        bool by_text;
    } lines[] = {
        {A.size() + 10, 65536, false},  // "n/many.obj"
        {100, 65536, false},
        {256, 65536, false},  // 16 MiB exactly
        {257, 65280, true},
        {4000, 4194, true},
        {10000, 1677, true},
        {50000, 335, true},
        {(16u << 20) + 1, 1, true},  // longer than the limit on its own: once
    };
    for (const auto& [length, times, by_text] : lines) {
        std::string path = A + "n/many.obj";
        path.resize(length, 'x');
        write_library(A, "EXPORT_RATIO 16777215 n " + path.substr(A.size()) + "\n");
        DSF_ScanSceneryFolder();
        const size_t scan_logged = log.text().size();
        for (int anywhere = 0; anywhere < 2; ++anywhere) {
            std::vector<std::string> paths;
            EXPECT_TRUE(anywhere ? DSF_LookupLibraryResourceAnywhereMultiple("n", paths)
                                 : DSF_LookupLibraryResourceMultiple(0, 0, "n", paths));
            EXPECT_EQ(paths.size(), times) << length;
            EXPECT_TRUE(std::all_of(paths.begin(), paths.end(), [&](const std::string& p) { return p == path; }));
        }
        EXPECT_EQ(log.text().substr(scan_logged), by_text ? cut_by_text("n", W * length) : cut_by_paths("n", W))
            << length;
    }
    const size_t scans_logged = log.text().size();

    // Alternatives registered with the weights given, first to last, their paths this long when a length
    // is given, and how often each is listed.
    struct weighted_case {
        std::string name;
        std::vector<uint32_t> weights;
        std::vector<size_t> times;
        size_t length = 0;
    };
    std::vector<size_t> first_ones(70000, 0);
    std::fill_n(first_ones.begin(), 65536, 1);
    const weighted_case cases[] = {{"3:1", {3000000, 1000000}, {49152, 16384}},
                                   {"at the limit", {65535, 1}, {65535, 1}},
                                   {"one past", {65536, 1}, {65535, 1}},
                                   {"weight 0", {0, 16777215}, {0, 65536}},
                                   {"more alternatives than paths", std::vector<uint32_t>(70000, 1), first_ones},
                                   {"3:1 long", {3000000, 1000000}, {3145, 1048}, 4000},
                                   {"text at the limit", {4095, 1}, {4095, 1}, 4096},
                                   {"text one past", {4096, 1}, {4095, 1}, 4096},
                                   {"the long ones last find no room", {1, 1, 1}, {1, 1, 0}, 8 << 20},
                                   {"too long alone, then no room", {1, 5}, {1, 0}, 17 << 20}};
    std::deque<lib_entry> entries;  // the library's only until the test ends
    for (const auto& [name, weights, times, length] : cases) {
        const auto path_of = [&name = name, length = length](size_t i) {
            std::string path = name + "/" + std::to_string(i);
            path.resize(std::max(path.size(), length), 'x');
            return path;
        };
        // The last registered stands first.
        for (size_t i = weights.size(); i-- > 0;) {
            lib_entry& entry = entries.emplace_back();
            entry.package = -1;  // no package folder in front
            entry.flags = weights[i];
            entry.path = path_of(i);
            DSF_RegisterEntry(name, &entry, 1);
        }
        std::vector<std::string> expected;
        for (size_t i = 0; i < weights.size(); ++i)
            expected.insert(expected.end(), times[i], path_of(i));
        std::vector<std::string> paths;
        for (int again = 0; again < 2; ++again) {
            EXPECT_TRUE(DSF_LookupLibraryResourceAnywhereMultiple(name, paths)) << name;
            EXPECT_TRUE(paths == expected) << name << ": " << paths.size() << " paths";
        }
    }
    dsf_library.clear();

    // Once per name that was cut, however often it was looked up.
    const std::string cut_lines = cut_by_paths("3:1", 4000000) + cut_by_paths("one past", 65537) +
        cut_by_paths("weight 0", 16777215) + cut_by_paths("more alternatives than paths", 70000) +
        cut_by_text("3:1 long", 4000000ull * 4000) + cut_by_text("text one past", 4097ull * 4096) +
        cut_by_text("the long ones last find no room", 3ull * (8 << 20)) +
        cut_by_text("too long alone, then no room", 6ull * (17 << 20));
    EXPECT_EQ(log.text().substr(scans_logged), cut_lines);
}
