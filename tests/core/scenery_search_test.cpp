// The scenery resource search on real folders: the places tried and their order (read back from the
// log it writes when asked), the first file that opens, case correction, and the library's answer first.

#include "core/scenery_search.h"

#include "core/scenery_library.h"
#include "file_test_support.h"
#include "support/log_capture.h"
#include "support/scenery_tree.h"

namespace {

const std::string ALPS = "Custom Scenery/Alps/";
const std::string FOLDER = "Custom Scenery:Alps:objects:";  // the referring file's folder
const std::string IN = ALPS + "objects/";

void make_file(const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    write_file(path, "");
}

}  // namespace

using ScenerySearch = FileTest;

TEST_F(ScenerySearch, TriesEachPlaceInOrder)
{
    const std::string bitmaps = "Resources/bitmaps/terrain/";
    struct search {
        bool secondary;
        int kind, texture_kind;
        const char* name;
        std::string parent;  // the folder of a secondary search
        std::vector<std::string> tried;
    } searches[] = {
        {false,
         1,
         0,
         "rock.png",
         "",
         {IN + "rock.png", IN + "rock.bmp", IN + "custom terrain textures/rock.png",
          IN + "custom terrain textures/rock.bmp", IN + "custom object textures/rock.png",
          IN + "custom object textures/rock.bmp", bitmaps + "rock.png", bitmaps + "rock.bmp", "Resources/rock.png",
          "Resources/rock.bmp"}},
        {false,
         1,
         0,
         "ab.x",
         "",
         {IN + "ab.x", IN + "ab.x", IN + "custom terrain textures/ab.x", IN + "custom terrain textures/ab.x",
          IN + "custom object textures/ab.x", IN + "custom object textures/ab.x", bitmaps + "ab.x", bitmaps + "ab.x",
          "Resources/ab.x", "Resources/ab.x"}},
        {false,
         2,
         0,
         "sand.ter",
         "",
         {IN + "sand.ter", IN + "custom terrain textures/sand.ter", bitmaps + "sand.ter", "Resources/sand.ter"}},
        {false,
         5,
         0,
         "hut.obj",
         "",
         {IN + "hut.obj", IN + "custom objects/hut.obj", "Resources/objects/hut.obj", "Resources/hut.obj"}},
        {false, 0, 0, "any", "", {IN + "any", "Resources/any"}},
        {false, 9, 0, "any", "", {IN + "any"}},
        {true,
         1,
         2,
         "rock.png",
         FOLDER,
         {IN + "rock.png", IN + "rock.bmp", ALPS + "custom terrain textures/rock.png",
          ALPS + "custom terrain textures/rock.bmp", bitmaps + "rock.png", bitmaps + "rock.bmp", "Resources/rock.png",
          "Resources/rock.bmp"}},
        {true,
         1,
         0,
         "rock.png",
         FOLDER,
         {IN + "rock.png", IN + "rock.bmp", ALPS + "custom object textures/rock.png",
          ALPS + "custom object textures/rock.bmp", bitmaps + "rock.png", bitmaps + "rock.bmp", "Resources/rock.png",
          "Resources/rock.bmp"}},
        {true,
         2,
         0,
         "sand.ter",
         FOLDER,
         {IN + "sand.ter", ALPS + "custom terrain textures/sand.ter", bitmaps + "sand.ter", "Resources/sand.ter"}},
        {true,
         3,
         0,
         "hut.obj",
         FOLDER,
         {IN + "hut.obj", ALPS + "custom objects/hut.obj", "Resources/objects/hut.obj", "Resources/hut.obj"}},
        {true, 3, 0, "hut.obj", "Elsewhere:", {"Elsewhere/hut.obj", "Resources/objects/hut.obj", "Resources/hut.obj"}},
        {true, 3, 0, "hut.obj", "", {"Resources/objects/hut.obj", "Resources/hut.obj"}},
    };
    for (const search& s : searches) {
        test::log_capture log;
        std::string out = "left over";
        std::string expected;
        if (s.secondary) {
            DSF_LocateResourceSecondary(s.kind, s.texture_kind, s.parent, s.name, true, out);
            for (const std::string& place : s.tried)
                expected += "Failed to find resource '" + std::string(s.name) + "' (parent = '" + s.parent + "' at '" +
                    place + "'\n";
        } else {
            DSF_LocateResourceNoLib(s.kind, s.name, FOLDER, true, out);
            for (const std::string& place : s.tried)
                expected += "Failed to find resource '" + std::string(s.name) + "' at '" + place + "'\n";
        }
        EXPECT_EQ(out, "") << s.name;
        EXPECT_EQ(log.text(), expected) << s.name << " of kind " << s.kind;
    }
}

TEST_F(ScenerySearch, FirstFileThatOpensWinsAndCaseIsCorrected)
{
    test::log_capture log;
    // Each file added stands earlier among the places than the one found before.
    const char* added[] = {"Resources/rock.bmp",
                           "Resources/rock.png",
                           "Resources/bitmaps/terrain/rock.bmp",
                           "Custom Scenery/Alps/objects/custom object textures/rock.bmp",
                           "Custom Scenery/Alps/objects/rock.bmp",
                           "Custom Scenery/Alps/objects/rock.png"};
    std::string out;
    for (const char* file : added) {
        make_file(file);
        DSF_LocateResourceNoLib(RESOURCE_IMAGE, "rock.png", FOLDER, true, out);
        EXPECT_EQ(out, file);
    }
    EXPECT_EQ(log.text(), "");  // nothing is reported when a file is found

    make_file("Resources/bitmaps/terrain/STONE.Png");
    DSF_LocateResourceNoLib(RESOURCE_IMAGE, "stone.png", "Elsewhere:", false, out);
    EXPECT_EQ(out, "");
    g_case_sensitive = 1;
    DSF_LocateResourceNoLib(RESOURCE_IMAGE, "stone.png", "Elsewhere:", false, out);
    EXPECT_EQ(out, "Resources/bitmaps/terrain/STONE.Png");
    make_file("Elsewhere/HUT.obj");
    make_file("ELSEWHERE/hut.OBJ");
    DSF_LocateResourceSecondary(4, 0, "elsewhere:", "hut.obj", false, out);
    EXPECT_EQ(out, "ELSEWHERE/hut.OBJ");  // of two folders equal but for case, the first in byte order
}

TEST_F(ScenerySearch, PackageOfAPath)
{
    std::filesystem::create_directories("Custom Scenery/Alps/objects");
    struct expectation {
        const char* path;
        const char* package;
    } expectations[] = {
        {"Custom Scenery:Alps:objects:tree.obj", "Custom Scenery/Alps/"},
        {"Custom Scenery/Alps\\objects", "Custom Scenery/Alps/"},
        {"Resources:default scenery:Base:x.obj", "Resources/default scenery/Base/"},
        {"Resources:objects:x.obj", ""},
        {"Custom Scenery:Alps", ""},
        {"Custom Scenery:", ""},
        {"", ""},
    };
    for (const expectation& e : expectations)
        EXPECT_EQ(extract_package(e.path), e.package) << e.path;
}

TEST_F(ScenerySearch, TheLibraryAnswersFirstWithoutTouchingTheDisk)
{
    test::write_library(ALPS, "EXPORT tree.obj objects/library tree.obj\n");
    DSF_ScanSceneryFolder();
    make_file("Resources/objects/hut.obj");
    make_file(IN + "tree.obj");
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
    DSF_LocateResourcePrimaryMultiple(0, 0, 3, "tree.obj", "Elsewhere:", true, found);
    EXPECT_EQ(found, std::vector<std::string>{ALPS + "objects/library tree.obj"});
    // Only the searches the library had no answer for are reported.
    EXPECT_EQ(log.text(),
              "Failed to find resource 'gone.obj' (parent = '" + FOLDER + "' at '" + IN +
                  "gone.obj'\nFailed to find resource 'gone.obj' (parent = '" + FOLDER + "' at '" + ALPS +
                  "custom objects/gone.obj'\nFailed to find resource 'gone.obj' (parent = '" + FOLDER +
                  "' at 'Resources/objects/gone.obj'\nFailed to find resource 'gone.obj' (parent = '" + FOLDER +
                  "' at 'Resources/gone.obj'\n");
}
