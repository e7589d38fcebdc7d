// Conversions between path strings and file-system references.

#include "core/macfs.h"

#include "file_test_support.h"

#include <unistd.h>

#include <algorithm>

using FileReferences = FileTest;

TEST_F(FileReferences, ReferenceAndNameOfAFileThatNeedNotExist)
{
    make({"dir/"});
    FSRef ref;
    HFSUniStr255 name;
    ASSERT_EQ(FilePathToFSRefAndName("dir:new.txt", &ref, &name), noErr);
    EXPECT_EQ(ref.path, root + "/dir");
    EXPECT_EQ(std::string(name.unicode, name.unicode + name.length), "new.txt");

    // No separator after the first character: the parent is empty.
    EXPECT_EQ(FilePathToFSRefAndName("new.txt", &ref, &name), fnfErr);
    EXPECT_EQ(name.length, 7);

    // Without a name the object itself must exist.
    EXPECT_EQ(FilePathToFSRefAndName("dir:new.txt", &ref, nullptr), fnfErr);
    EXPECT_EQ(FilePathToFSRefAndName("dir:", &ref, nullptr), noErr);
    EXPECT_EQ(ref.path, root + "/dir");

    // Names are bytes: UTF-8 passes through, nothing is cut.
    std::string accented = "caf\xc3\xa9.txt";
    ASSERT_EQ(FilePathToFSRefAndName(("dir:" + accented).c_str(), &ref, &name), noErr);
    EXPECT_EQ(name.length, accented.size());
    std::string overlong = "dir:" + std::string(256, 'n');
    EXPECT_EQ(FilePathToFSRefAndName(overlong.c_str(), &ref, &name), bdNamErr);

    // A dangling link can be referred to.
    ASSERT_EQ(symlink("nowhere", at("dir/dangling").c_str()), 0);
    EXPECT_EQ(FilePathToFSRefAndName("dir:dangling", &ref, nullptr), noErr);
}

TEST_F(FileReferences, SpecificationsAndVolumeRootedPathsRoundTrip)
{
    make({"aa/cc/d", "aa/bb/", "vv/w/"});

    FSSpec direct, climbed;
    ASSERT_EQ(FilePathToFSSpec("aa:cc:d", direct), noErr);
    ASSERT_EQ(FilePathToFSSpec("aa:bb::cc:d", climbed), noErr);
    EXPECT_EQ(direct.name, "d");
    EXPECT_TRUE(climbed.name == direct.name && climbed.parID == direct.parID && climbed.vRefNum == direct.vRefNum);

    std::string out = "unchanged";
    ASSERT_EQ(FSSpecToFilePath(direct, out), noErr);
    EXPECT_EQ(out, root + "/aa/cc/d");

    FSSpec folder;
    ASSERT_EQ(FilePathToFSSpec("aa:cc:", folder), noErr);
    EXPECT_EQ(folder.name, "cc");

    EXPECT_EQ(FilePathToFSSpec("aa:none", folder), fnfErr);
    FSSpec gone = direct;
    gone.name = "vanished";
    out = "unchanged";
    EXPECT_EQ(FSSpecToFilePath(gone, out), fnfErr);
    EXPECT_EQ(out, "unchanged");

    // Paths rooted at the volume.
    FSRef ref;
    ASSERT_EQ(FilePathToFSRefAndName("vv:w:", &ref, nullptr), noErr);
    ASSERT_EQ(FSRefToFilePath(&ref, out), noErr);
    EXPECT_EQ(out, "root" + root + "/vv/w");

    FSRef top{"/"};
    ASSERT_EQ(FSRefToFilePath(&top, out), noErr);
    EXPECT_EQ(out, "root");

    std::string hfs = root + "/vv/w/";
    ConvertPathToCFM(hfs);
    std::string expected = "root" + root + ":vv:w:";
    std::replace(expected.begin(), expected.end(), '/', ':');
    EXPECT_EQ(hfs, expected);
}
