// The scenery resource search on real folders: the places tried and their order (read back from the
// log it writes when asked), the first file that opens, case correction, and the library's answer first.

#include "core/scenery_search.h"

#include "core/scenery_library.h"
#include "file_test_support.h"
#include "support/log_capture.h"
#include "support/scenery_tree.h"

#include <algorithm>

namespace {

const std::string ALPS = "Custom Scenery/Alps/";
const std::string FOLDER = "Custom Scenery:Alps:objects:";  // the referring file's folder
const std::string IN = ALPS + "objects/", TERRAIN = "Resources/bitmaps/terrain/";

// Searches for `name` that find nothing (in FOLDER when texture_kind is -1, else beside `parent`) and
// checks the places tried, in order, in the log.
void expect_tried(int kind, int texture_kind, const char* name, const std::string& parent,
                  const std::vector<std::string>& tried)
{
    test::log_capture log;
    std::string out = "left over", expected;
    if (texture_kind < 0)
        DSF_LocateResourceNoLib(kind, name, FOLDER, true, out);
    else
        DSF_LocateResourceSecondary(kind, texture_kind, parent, name, true, out);
    for (const std::string& place : tried)
        expected += "Failed to find resource '" + std::string(name) +
            (texture_kind < 0 ? "" : "' (parent = '" + parent) + "' at '" + place + "'\n";
    EXPECT_EQ(out, "") << name;
    EXPECT_EQ(log.text(), expected) << name << " of kind " << kind;
}

}  // namespace

using ScenerySearch = FileTest;

TEST_F(ScenerySearch, TriesEachPlaceInOrder)
{
    expect_tried(1, -1, "rock.png", "",
                 {IN + "rock.png", IN + "rock.bmp", IN + "custom terrain textures/rock.png",
                  IN + "custom terrain textures/rock.bmp", IN + "custom object textures/rock.png",
                  IN + "custom object textures/rock.bmp", TERRAIN + "rock.png", TERRAIN + "rock.bmp",
                  "Resources/rock.png", "Resources/rock.bmp"});
    expect_tried(1, 2, "rock.png", FOLDER,
                 {IN + "rock.png", IN + "rock.bmp", ALPS + "custom terrain textures/rock.png",
                  ALPS + "custom terrain textures/rock.bmp", TERRAIN + "rock.png", TERRAIN + "rock.bmp",
                  "Resources/rock.png", "Resources/rock.bmp"});
    expect_tried(3, 0, "hut.obj", FOLDER,
                 {IN + "hut.obj", ALPS + "custom objects/hut.obj", "Resources/objects/hut.obj", "Resources/hut.obj"});
    expect_tried(3, 0, "hut.obj", "", {"Resources/objects/hut.obj", "Resources/hut.obj"});
}

TEST_F(ScenerySearch, FirstFileThatOpensWinsAndCaseIsCorrected)
{
    test::log_capture log;
    // Each file added stands earlier among the places than the one found before.
    const std::string added[] = {"Resources/rock.bmp", "Resources/rock.png",
                                 TERRAIN + "rock.bmp", IN + "custom object textures/rock.bmp",
                                 IN + "rock.bmp",      IN + "rock.png"};
    std::string out;
    for (const std::string& file : added) {
        make({file});
        DSF_LocateResourceNoLib(RESOURCE_IMAGE, "rock.png", FOLDER, true, out);
        EXPECT_EQ(out, file);
    }
    make({"Resources/ab"});
    DSF_LocateResourceNoLib(RESOURCE_IMAGE, "ab", FOLDER, true, out);  // too short to change its extension
    EXPECT_EQ(out, "Resources/ab");
    EXPECT_EQ(log.text(), "");  // nothing is reported when a file is found

    make({"Resources/bitmaps/terrain/STONE.Png"});
    DSF_LocateResourceNoLib(RESOURCE_IMAGE, "stone.png", "Elsewhere:", false, out);
    EXPECT_EQ(out, "");
    g_case_sensitive = 1;
    DSF_LocateResourceNoLib(RESOURCE_IMAGE, "stone.png", "Elsewhere:", false, out);
    EXPECT_EQ(out, "Resources/bitmaps/terrain/STONE.Png");
}

TEST_F(ScenerySearch, PackageOfAPath)
{
    // clang-format off
    std::pair<const char*, const char*> expectations[] = {
        {"Custom Scenery:Alps:objects:tree.obj", "Custom Scenery/Alps/"},
        {"Resources:default scenery:Base:x.obj", "Resources/default scenery/Base/"},
        {"Resources:objects:x.obj", ""}, {"Custom Scenery:Alps", ""}};
    // clang-format on
    for (const auto& [path, package] : expectations)
        EXPECT_EQ(extract_package(path), package) << path;
}

TEST_F(ScenerySearch, TheLibraryAnswersFirstWithoutTouchingTheDisk)
{
    test::write_library(ALPS, "EXPORT tree.obj objects/library tree.obj\n");
    DSF_ScanSceneryFolder();
    make({"Resources/objects/hut.obj"});
    make({IN + "tree.obj"});
    test::log_capture log;

    std::string out;
    DSF_LocateResourcePrimary(0, 0, 3, "tree.obj", FOLDER, true, out);
    EXPECT_EQ(out, ALPS + "objects/library tree.obj");  // no such file: the library is not checked
    DSF_LocateResourcePrimary(0, 0, 3, "hut.obj", FOLDER, true, out);
    EXPECT_EQ(out, "Resources/objects/hut.obj");

    std::vector<std::string> found;
    DSF_LocateResourcePrimaryMultiple(0, 0, 3, "tree.obj", FOLDER, true, found);
    EXPECT_EQ(found, (std::vector<std::string>{ALPS + "objects/library tree.obj", IN + "tree.obj"}));
    DSF_LocateResourceSecondaryMultipleWithLibrary(0, 0, 3, 0, FOLDER, "gone.obj", true, found);
    EXPECT_EQ(found, std::vector<std::string>{});
    // Only the search the library had no answer for is reported, with each of its four places.
    const std::string text = log.text();
    EXPECT_EQ(text.find("tree.obj"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    EXPECT_EQ(text.rfind("Failed to find resource 'gone.obj' (parent = '" + FOLDER + "' at '", 0), 0u);
}

TEST_F(ScenerySearch, MultipleSearchesKeepTheLibraryAndTheFoundFileWithinTheLimits)
{
    make({IN + "tree.obj"});
    // The file found on disk weighs 1 beside the library's 16777215: it keeps its one place, last, whether
    // the number of paths or their text cuts the library's (a path this long, package folder included).
    const struct {
        size_t length;
        size_t library_times;
    } rows[] = {{0, 65535}, {50000, 335}};
    for (const auto& [length, library_times] : rows) {
        std::string library_path = ALPS + "objects/library tree.obj";
        library_path.resize(std::max(library_path.size(), length), 'x');
        test::write_library(ALPS, "EXPORT_RATIO 16777215 tree.obj " + library_path.substr(ALPS.size()) + "\n");
        DSF_ScanSceneryFolder();
        std::vector<std::string> expected(library_times, library_path);
        expected.push_back(IN + "tree.obj");
        using multiple_search = void (*)(std::vector<std::string>&);
        const multiple_search searches[] = {
            [](std::vector<std::string>& out) {
                DSF_LocateResourcePrimaryMultiple(0, 0, 3, "tree.obj", FOLDER, true, out);
            },
            [](std::vector<std::string>& out) {
                DSF_LocateResourceSecondaryMultipleWithLibrary(0, 0, 3, 0, FOLDER, "tree.obj", true, out);
            }};
        for (const multiple_search search : searches) {
            std::vector<std::string> found;
            search(found);
            EXPECT_TRUE(found == expected) << length << ": " << found.size() << " paths, the last " << found.back();
        }
    }
}
