// Zip extraction and packing on real archives: ours, Debian's zip/unzip, and
// hand-made hostile ones.

#include "core/zip.h"

#include <gtest/gtest.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <fstream>
#include <vector>

#include "core/errors.h"
#include "core/globals.h"
#include "core/paths.h"
#include "platform/forks.h"
#include "support/file_bytes.h"
#include "support/log_capture.h"
#include "support/temp_folder.h"

using namespace test;

namespace fs = std::filesystem;

namespace {

struct raw_entry {
    std::string name, content;
    unsigned long external = 0;
    int method = Z_DEFLATED;
};

// A symbolic link entry of mode 0755, stored as links are.
raw_entry link_entry(const std::string& name, const std::string& target)
{
    return {name, target, 0xA1EDu << 16, 0};
}

// Writes entries exactly as given, names and attributes unchecked.
void make_archive(const std::string& path, const std::vector<raw_entry>& entries)
{
    zipFile archive = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(archive, nullptr);
    for (const raw_entry& e : entries) {
        zip_fileinfo info{};
        info.external_fa = e.external;
        ASSERT_EQ(zipOpenNewFileInZip(archive, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, e.method,
                                      Z_DEFAULT_COMPRESSION),
                  ZIP_OK);
        if (!e.content.empty()) {
            ASSERT_EQ(zipWriteInFileInZip(archive, e.content.data(), unsigned(e.content.size())), ZIP_OK);
        }
        ASSERT_EQ(zipCloseFileInZip(archive), ZIP_OK);
    }
    ASSERT_EQ(zipClose(archive, nullptr), ZIP_OK);
}

mode_t mode_of(const std::string& path)
{
    struct stat st { };
    lstat(path.c_str(), &st);
    return st.st_mode;
}

// A file or link as one text to compare: its type and permission bits, then its bytes or link text.
std::string entry_of(const std::string& path)
{
    const mode_t mode = mode_of(path);
    return std::to_string(mode) + " " + (S_ISLNK(mode) ? fs::read_symlink(path).string() : read_file(path));
}

// Every name under `root`, sorted, with the entry of each file and link (folders by name only).
std::vector<std::string> tree_of(const std::string& root)
{
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(root))
        names.push_back(fs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ": " + entry_of(e.path())));
    std::sort(names.begin(), names.end());
    return names;
}

// The Finder information every fork of these tests carries.
const uint8_t FINDER[16] = {'T', 'E', 'X', 'T', 'v', 'l', 't', 'x'};

// The resource fork a file carries ("" for none).
std::string fork_of(const std::string& path)
{
    uint8_t finder[16];
    std::string fork = "unreadable";
    EXPECT_EQ(plat::fork_read(path, finder, fork), 0) << path;
    return fork;
}

class Zip : public ::testing::Test {
protected:
    void SetUp() override
    {
        app_path.clear();
        fs::create_directories(dir / "out");
    }
    void TearDown() override { plat::set_xattr_enabled(nullptr); }

    // Extracts an archive that must be refused with `error` and one log line.
    void expect_refused(const std::string& zip, const std::string& folder, int error, const std::string& what)
    {
        const size_t logged = log.text().size();
        EXPECT_EQ(zip_to_file(zip, folder, nullptr, 0), error) << what;
        const std::string added = log.text().substr(logged);
        EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), 1) << what << ": " << added;
    }

    temp_folder dir;
    log_capture log;
};

TEST_F(Zip, PackedFilesAndDebianZipArchivesComeBackWithTheirBytesModesAndLinks)
{
    fs::create_directories(dir / "src/A/deep folder");
    write_file(dir / "src/tool", "#!/bin/sh\necho hi\n");
    chmod((dir / "src/tool").c_str(), 0755);
    // Larger than the piece in which packing reads a file.
    write_file(dir / "src/notes with blanks.txt", patterned_bytes(2500001));
    chmod((dir / "src/notes with blanks.txt").c_str(), 0640);
    write_file(dir / "src/empty", "");
    ASSERT_EQ(symlink("elsewhere/target", (dir / "src/link").c_str()), 0);
    write_file(dir / "src/A/deep folder/data.bin", patterned_bytes(70000));
    write_file(dir / "src/A/run.sh", "echo run\n");
    chmod((dir / "src/A/run.sh").c_str(), 0750);
    ASSERT_EQ(symlink("A", (dir / "src/Current").c_str()), 0);

    // Our archives hold one file or link each.
    for (const std::string leaf : {"tool", "notes with blanks.txt", "empty", "link"}) {
        const std::string zip = dir / (leaf + ".zip");
        ASSERT_EQ(file_to_zip(dir / ("src/" + leaf), zip), 0) << leaf;
        std::string first;
        ASSERT_EQ(zip_to_file(zip, dir / "out/", &first, 0), 0) << leaf;
        EXPECT_EQ(first, leaf);
        EXPECT_EQ(entry_of(dir / ("out/" + leaf)), entry_of(dir / ("src/" + leaf)));
    }

    // Debian's zip packs the whole tree, folders among them, with its own extra fields.
    command_output("cd '" + (dir / "src") + "' && zip -qry ../tree.zip .");
    fs::create_directories(dir / "tree");
    ASSERT_EQ(zip_to_file(dir / "tree.zip", dir / "tree/", nullptr, 0), 0) << log.text();
    EXPECT_EQ(tree_of(dir / "tree"), tree_of(dir / "src"));
    EXPECT_EQ(log.text().find("failed"), std::string::npos) << log.text();

    // Debian's unzip applies the same modes and makes the same link, as it does only for entries
    // that say they come from Unix.
    fs::create_directories(dir / "by-unzip");
    command_output("cd '" + (dir / "by-unzip") + "' && unzip -qo ../tool.zip && unzip -qo ../link.zip");
    EXPECT_EQ(entry_of(dir / "by-unzip/tool"), entry_of(dir / "src/tool"));
    EXPECT_EQ(entry_of(dir / "by-unzip/link"), entry_of(dir / "src/link"));
}

TEST_F(Zip, EntryModesFollowTheAttributeRulesAndLongNamesStayWhole)
{
    // The long names are longer than the old name buffer, and whole: a folder of 200 characters and a
    // leaf of up to 250, as long as the whole path stays within a path string, wherever TMPDIR is.
    const std::string out = dir / "out/";
    const std::string long_folder(200, 'n');
    const std::string long_leaf(std::min<size_t>(250, path_max_chars - out.size() - long_folder.size() - 1), 'n');
    const std::string long_name = long_folder + "/" + long_leaf;
    ASSERT_GT(long_name.size(), 300u) << "TMPDIR is too deep for this test: " << out;
    write_file(dir / "out/old.txt", "a much longer old content than the new one");
    write_file(dir / "out/dos.txt", "x");
    chmod((dir / "out/dos.txt").c_str(), 0604);
    write_file(dir / "out/replaced-by-link", "plain");
    make_archive(dir / "a.zip",
                 // "dos.txt" carries DOS bits only: no mode to apply.
                 // clang-format off
                 {{"old.txt", "new", 0}, {"exe", "#!", 0x81EDu << 16}, {"dos.txt", "dos", 0x20},
                  link_entry("replaced-by-link", "exe"), {"dangling", "nowhere", 0xA1FFu << 16, 0},
                  {long_folder + "/", ""}, {long_name, "whole"}});
    // clang-format on
    ASSERT_EQ(zip_to_file(dir / "a.zip", dir / "out/", nullptr, 0), 0) << log.text();
    EXPECT_EQ(read_file(dir / "out/old.txt"), "new");
    EXPECT_EQ(mode_of(dir / "out/exe") & 0777, 0755u);
    EXPECT_EQ(read_file(dir / "out/dos.txt"), "dos");
    EXPECT_NE(mode_of(dir / "out/dos.txt") & 0777, 0u);
    EXPECT_EQ(fs::read_symlink(dir / "out/replaced-by-link"), "exe");
    EXPECT_EQ(fs::read_symlink(dir / "out/dangling"), "nowhere");
    EXPECT_EQ(read_file(out + long_name), "whole");
}

TEST_F(Zip, HostileNamesAndLinksAreRefusedAndTouchNothingOutside)
{
    fs::create_directories(dir / "jail/out");
    fs::create_directories(dir / "jail/out/sub");
    // clang-format off
    const std::vector<std::vector<raw_entry>> archives = {
        {{"../evil", "x"}}, {{"sub/../../evil", "x"}}, {{"/tmp/veltrix-absolute-evil", "x"}},
        {{"__MACOSX/../../._evil", "x"}}, {{"../", ""}},
        {link_entry("abs-link", "/etc")}, {link_entry("up-link", "../evil")}, {link_entry("sub/up-link", "../../evil")},
        {link_entry("sub/twisted", "x/../../../evil")},
        // The text the link would really get stops at the NUL: "..".
        {link_entry("nul-link", std::string("..\0x", 4))},
        {{"evil/", ""}, {"good.txt", "fine"}, {"../late-evil", "x"}},
        // "x" leads back to the folder itself, so "x/y" is one level down on disk, not two.
        {link_entry("x", "."), {"y/", ""}, link_entry("x/y/l", "../../evil")},
    };
    // clang-format on
    for (size_t i = 0; i < archives.size(); ++i) {
        const std::string zip = dir / ("hostile" + std::to_string(i) + ".zip");
        make_archive(zip, archives[i]);
        expect_refused(zip, dir / "jail/out/", EINVAL, archives[i].back().name);
        unlink(zip.c_str());
    }
    EXPECT_FALSE(fs::exists(dir / "jail/evil"));
    EXPECT_FALSE(fs::exists("/tmp/veltrix-absolute-evil"));
    for (const char* link : {"abs-link", "y/l", "up-link", "sub/up-link", "sub/twisted", "nul-link"})
        EXPECT_FALSE(fs::is_symlink(fs::symlink_status(dir / ("jail/out/" + std::string(link))))) << link;
    // The last archive wrote its good entries before the bad one stopped it.
    EXPECT_EQ(read_file(dir / "jail/out/good.txt"), "fine");

    // Links that stay inside are made.
    make_archive(dir / "inside.zip",
                 {{"A/", ""}, {"A/f", "f"}, link_entry("Current", "A"), link_entry("sub/back", "../A/f")});
    ASSERT_EQ(zip_to_file(dir / "inside.zip", dir / "jail/out/", nullptr, 0), 0) << log.text();
    EXPECT_EQ(read_file(dir / "jail/out/Current/f"), "f");
    EXPECT_EQ(read_file(dir / "jail/out/sub/back"), "f");
}

TEST_F(Zip, BrokenArchivesReturnErrorsAndKeepGoingSafely)
{
    EXPECT_EQ(zip_to_file(dir / "missing.zip", dir / "out/", nullptr, 0), 20001);
    const std::string text = log.text();
    EXPECT_NE(text.find("ok i am about to report that i could not open a zip file for extraction!"), std::string::npos);
    EXPECT_NE(text.find("Zip to file failed with error err = 20001."), std::string::npos);

    make_archive(dir / "good.zip", {{"payload.bin", patterned_bytes(100000)}});
    const std::string good = read_file(dir / "good.zip");

    // Cut in half, noise, and damage inside the deflated data (an inflate or CRC error, never success).
    std::string corrupt = good;
    for (size_t i = 200; i < 260; ++i)
        corrupt[i] = char(~corrupt[i]);
    for (const auto& [bytes, error] : {std::pair{good.substr(0, good.size() / 2), 20001},
                                       std::pair{patterned_bytes(5000), 20001}, std::pair{corrupt, -1}}) {
        write_file(dir / "broken.zip", bytes);
        const int got = zip_to_file(dir / "broken.zip", dir / "out/", nullptr, 0);
        EXPECT_TRUE(error < 0 ? got != 0 : got == error) << got;
    }

    // A file entry whose folder is missing fails with the open error.
    make_archive(dir / "nofolder.zip", {{"nowhere/file", "x"}});
    EXPECT_EQ(zip_to_file(dir / "nofolder.zip", dir / "out/", nullptr, 0), ENOENT);
}

TEST_F(Zip, AppleDoubleEntriesAreCheckedBeforeUse)
{
    fs::create_directories(dir / "out/a");
    const std::string good = plat::appledouble_encode(FINDER, "fork bytes");

    // The entries a/, a/b.txt and the fork of a/b.txt, in that order.
    make_archive(dir / "ordered.zip", {{"a/", ""}, {"a/b.txt", "b"}, {"__MACOSX/a/._b.txt", good, 0}});
    ASSERT_EQ(zip_to_file(dir / "ordered.zip", dir / "out/", nullptr, 0), 0) << log.text();
    EXPECT_EQ(fork_of(dir / "out/a/b.txt"), "fork bytes");

    // A wrong magic, a filler byte set, a fork entry whose length runs past the end, a negative
    // entry count, a table cut short.
    const auto changed = [&good](size_t at, char byte) {
        std::string bad = good;
        bad[at] = byte;
        return bad;
    };
    for (const std::string& bad : {changed(1, char(good[1] ^ 1)), changed(20, 1), changed(26 + 12 + 8 + 3, char(0xff)),
                                   changed(24, char(0x80)), good.substr(0, 30)}) {
        write_file(dir / "out/a/c.txt", "c");
        make_archive(dir / "bad.zip", {{"__MACOSX/a/._c.txt", bad, 0}});
        EXPECT_EQ(zip_to_file(dir / "bad.zip", dir / "out/", nullptr, 0), 20012);
        EXPECT_EQ(fork_of(dir / "out/a/c.txt"), "");
    }

    // No file to apply it to, or no "._" in the name: nothing happens, no error.
    make_archive(dir / "orphan.zip",
                 {{"__MACOSX/a/._gone.txt", good, 0}, {"__MACOSX/a/plain", good, 0}, {"__MACOSX", good, 0}});
    EXPECT_EQ(zip_to_file(dir / "orphan.zip", dir / "out/", nullptr, 0), 0);
    EXPECT_FALSE(fs::exists(dir / "out/a/gone.txt"));
    EXPECT_FALSE(fs::exists(dir / "out/a/._gone.txt"));
    EXPECT_FALSE(fs::exists(dir / "out/__MACOSX"));

    // A "._" in the destination's own name is not the entry's: "ba._it/" must
    // not make the neighbouring folder "bait" take the fork.
    fs::create_directories(dir / "ba._it");
    fs::create_directories(dir / "bait");
    EXPECT_EQ(zip_to_file(dir / "orphan.zip", dir / "ba._it/", nullptr, 0), 0);
    EXPECT_LT(lgetxattr((dir / "bait").c_str(), "user.FinderInfo", nullptr, 0), 0);
    EXPECT_FALSE(fs::exists(dir / "._bait"));
}

class ZipForks : public Zip, public ::testing::WithParamInterface<bool> { };

TEST_P(ZipForks, ForksOfEverySizeRoundTripThroughAnArchive)
{
    const bool xattrs_on = GetParam();
    plat::set_xattr_enabled([xattrs_on](const std::string&) { return xattrs_on; });
    fs::create_directories(dir / "src");

    for (size_t size : {size_t(0), size_t(100), size_t(4050), size_t(70000), size_t(1000000)}) {
        const std::string leaf = "f" + std::to_string(size);
        const std::string fork = patterned_bytes(size, unsigned(size + 7));
        write_file(dir / ("src/" + leaf), "data of " + leaf);
        ASSERT_EQ(plat::fork_write(dir / ("src/" + leaf), FINDER, fork), 0);

        const std::string zip = dir / (leaf + ".zip");
        ASSERT_EQ(file_to_zip(dir / ("src/" + leaf), zip), 0) << log.text();
        const std::string listing = command_output("unzip -l '" + zip + "'");
        EXPECT_EQ(listing.find("__MACOSX/._" + leaf) != std::string::npos, size > 0) << listing;

        ASSERT_EQ(zip_to_file(zip, dir / "out/", nullptr, 0), 0) << log.text();
        const std::string out = dir / ("out/" + leaf);
        EXPECT_EQ(read_file(out), "data of " + leaf);
        // The Finder information comes back with the fork.
        uint8_t got_finder[16];
        std::string got_fork;
        ASSERT_EQ(plat::fork_read(out, got_finder, got_fork), 0);
        EXPECT_TRUE(got_fork == fork && (size == 0 || memcmp(got_finder, FINDER, sizeof FINDER) == 0)) << size;

        // A fork lies in exactly one store: small ones may go into the attributes (on ext4), large
        // ones, and every one while the attributes are off, into the sidecar.
        const int sidecar = fs::exists(dir / ("out/._" + leaf));
        const int attribute = lgetxattr(out.c_str(), "user.ResourceFork", nullptr, 0) >= 0;
        EXPECT_EQ(sidecar + attribute, size > 0 ? 1 : 0) << size;
        EXPECT_FALSE(attribute && (!xattrs_on || size >= 70000)) << size;
    }
}

INSTANTIATE_TEST_SUITE_P(AttributesOnAndOff, ZipForks, ::testing::Bool());

}  // namespace

namespace {

// Where a field of the archive's only entry stands in its local header and in the central
// directory: both must agree, or minizip refuses the entry before reading it.
struct header_field {
    size_t local_at, central_at;
};
constexpr header_field stored_crc{14, 16}, uncompressed_size{22, 24};

// Gives a field of the archive's only entry another value in both headers, as a hostile or
// damaged archive could.
void declare_field(const std::string& zip, header_field field, uint32_t value)
{
    std::string bytes = read_file(zip);
    const size_t local = bytes.find("PK\x03\x04");
    const size_t central = bytes.find("PK\x01\x02");
    ASSERT_EQ(local, 0u);
    ASSERT_NE(central, std::string::npos);
    for (const size_t at : {local + field.local_at, central + field.central_at})
        for (int i = 0; i < 4; ++i)
            bytes[at + size_t(i)] = char(value >> (8 * i));
    write_file(zip, bytes);
}

void declare_uncompressed_size(const std::string& zip, uint32_t size)
{
    declare_field(zip, uncompressed_size, size);
}

// Names of the leftovers a streamed entry could leave in a folder.
std::vector<std::string> partial_files(const std::string& folder)
{
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().find("veltrix-part") != std::string::npos)
            found.push_back(e.path().filename().string());
    return found;
}

}  // namespace

TEST_F(Zip, LyingSizesAndControlBytesInNamesAreErrorsNotCrashes)
{
    const std::string zip = dir / "lying.zip";
    constexpr uint32_t huge = 0xFFFFFF00u;

    // A file entry claiming about 4 GiB holds five bytes: short read, no file.
    make_archive(zip, {{"claims-huge.txt", "hello"}});
    declare_uncompressed_size(zip, huge);
    EXPECT_EQ(zip_to_file(zip, dir / "out/", nullptr, 0), 20002);
    EXPECT_FALSE(fs::exists(dir / "out/claims-huge.txt"));

    // Claiming less than it holds: the CRC of the cut bytes fails, and the
    // file already there keeps its bytes.
    write_file(dir / "out/claims-small.txt", "earlier");
    make_archive(zip, {{"claims-small.txt", patterned_bytes(100000)}});
    declare_uncompressed_size(zip, 10);
    EXPECT_EQ(zip_to_file(zip, dir / "out/", nullptr, 0), UNZ_CRCERROR);
    EXPECT_EQ(read_file(dir / "out/claims-small.txt"), "earlier");

    // An AppleDouble image or a link text claiming gigabytes is refused
    // before anything is allocated for it.
    write_file(dir / "out/plain.txt", "p");
    make_archive(zip, {{"__MACOSX/._plain.txt", plat::appledouble_encode(FINDER, "fork"), 0}});
    declare_uncompressed_size(zip, huge);
    EXPECT_EQ(zip_to_file(zip, dir / "out/", nullptr, 0), 20012);
    EXPECT_EQ(fork_of(dir / "out/plain.txt"), "");

    make_archive(zip, {link_entry("long-link", "target")});
    declare_uncompressed_size(zip, huge);
    EXPECT_EQ(zip_to_file(zip, dir / "out/", nullptr, 0), ENAMETOOLONG);
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(dir / "out/long-link")));

    // A NUL inside a stored name (it would cut "nul" + "../../x" short) and a line break:
    // refused with one log line each, nothing written.
    make_archive(zip, {{"nulZ../../x", "x"}});
    std::string bytes = read_file(zip);
    for (size_t at = bytes.find("nulZ"); at != std::string::npos; at = bytes.find("nulZ", at))
        bytes[at + 3] = '\0';
    write_file(zip, bytes);
    const std::vector<std::string> before = tree_of(dir / "out");
    expect_refused(zip, dir / "out/", EINVAL, "a NUL in the name");
    make_archive(zip, {{"line\nbreak", "x"}});
    expect_refused(zip, dir / "out/", EINVAL, "a line break in the name");
    EXPECT_EQ(tree_of(dir / "out"), before);
    EXPECT_FALSE(fs::exists(dir / "x"));
    EXPECT_TRUE(partial_files(dir / "out").empty());
}

TEST_F(Zip, EveryFileIsReplacedWholeOrNotAtAll)
{
    // Stored, and larger than one copy piece, so the CRC is taken across several writes.
    const std::string content = patterned_bytes((size_t(3) << 20) + 4097, 7);
    const std::string zip = dir / "large.zip";
    make_archive(zip, {{"large.bin", content, (0100640u) << 16, 0}});

    // It replaces an earlier file and that file's fork; the part file a killed run left is removed.
    write_file(dir / "out/.veltrix-part-999999999-3", "left by a run that was killed");
    write_file(dir / "out/large.bin", "earlier");
    ASSERT_EQ(plat::fork_write(dir / "out/large.bin", FINDER, std::string(5000, 'f')), 0);
    ASSERT_EQ(zip_to_file(zip, dir / "out/", nullptr, 0), 0) << log.text();
    EXPECT_TRUE(read_file(dir / "out/large.bin") == content);
    EXPECT_EQ(mode_of(dir / "out/large.bin") & 0777, 0640u);
    EXPECT_EQ(fork_of(dir / "out/large.bin"), "");
    EXPECT_TRUE(partial_files(dir / "out").empty());

    // One damaged byte deep in the data: the CRC fails at the end, and the
    // file already in place is untouched.
    write_file(dir / "out/large.bin", "earlier");
    std::string bytes = read_file(zip);
    bytes[bytes.size() / 2] = char(~bytes[bytes.size() / 2]);
    write_file(zip, bytes);
    EXPECT_EQ(zip_to_file(zip, dir / "out/", nullptr, 0), UNZ_CRCERROR);
    EXPECT_EQ(read_file(dir / "out/large.bin"), "earlier");
    EXPECT_TRUE(partial_files(dir / "out").empty());
}

TEST_F(Zip, ACrcErrorInALinkOrForkEntryIsTheErrorAndChangesNothing)
{
    // One entry whose stored CRC is one bit off its bytes: minizip tells only as the entry closes,
    // after all of it was read. The link would replace b.txt; the fork would go on it.
    struct crc_case {
        raw_entry entry;
        bool attributes;  // whether the fork may go into the extended attributes, else a sidecar
    };
    const std::string image = plat::appledouble_encode(FINDER, "fork bytes");
    const crc_case cases[] = {{link_entry("b.txt", "elsewhere"), true},
                              {{"__MACOSX/._b.txt", image, 0}, true},
                              {{"__MACOSX/._b.txt", image, 0}, false}};
    const std::string zip = dir / "crc.zip";
    for (const auto& [entry, attributes] : cases) {
        plat::set_xattr_enabled([attributes](const std::string&) { return attributes; });
        fs::remove_all(dir / "out");
        fs::create_directories(dir / "out");
        write_file(dir / "out/b.txt", "earlier");
        const std::vector<std::string> before = tree_of(dir / "out");
        make_archive(zip, {entry});
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(entry.content.data()), uInt(entry.content.size()));
        declare_field(zip, stored_crc, uint32_t(crc ^ 1));
        EXPECT_EQ(zip_to_file(zip, dir / "out/", nullptr, 0), UNZ_CRCERROR) << entry.name << " " << attributes;
        // No link, sidecar or part file appeared, and b.txt has no fork.
        EXPECT_EQ(tree_of(dir / "out"), before) << entry.name << " " << attributes;
        EXPECT_EQ(fork_of(dir / "out/b.txt"), "") << entry.name << " " << attributes;
    }
}

TEST_F(Zip, AFullDiskSaysSoAndLeavesTheEarlierFileWhole)
{
    // A 1 MB tmpfs, unmounted whatever happens; mounting it needs root.
    const std::string volume = dir / "volume/";
    fs::create_directories(volume);
    if (mount("tmpfs", volume.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs (" << strerror(errno) << "): the full-disk case needs root";
    std::unique_ptr<const char, void (*)(const char*)> unmount(volume.c_str(),
                                                               [](const char* at) { umount2(at, MNT_DETACH); });
    const std::string earlier = patterned_bytes(100000, 3);
    write_file(volume + "data.bin", earlier);
    make_archive(dir / "update.zip", {{"data.bin", patterned_bytes(600000, 4)}});
    std::ofstream filler(volume + "filler", std::ios::binary);
    while (filler.write(earlier.data(), std::streamsize(earlier.size())) && filler.flush()) { }

    const int error = zip_to_file(dir / "update.zip", volume, nullptr, 0);
    EXPECT_EQ(error, ENOSPC) << error_str(error);
    EXPECT_TRUE(read_file(volume + "data.bin") == earlier);
    EXPECT_TRUE(partial_files(volume).empty());
}

TEST_F(Zip, AppleDoubleEntriesNamingTheFolderOrItsParentAreRefused)
{
    // With the attributes refused, a fork goes into a sidecar: for "._" alone it
    // would be "._out" beside the folder, for "._.." attributes on the folder above.
    plat::set_xattr_enabled([](const std::string&) { return false; });
    fs::create_directories(dir / "jail/out/sub");
    const std::string image = plat::appledouble_encode(FINDER, std::string(6000, 'f'));
    const std::vector<std::string> before = tree_of(dir.root);
    for (const std::string name :
         {"__MACOSX/._", "__MACOSX/._.", "__MACOSX/._..", "__MACOSX/.._.", "__MACOSX/sub/._.."}) {
        make_archive(dir / "fork.zip", {{name, image, 0}});
        expect_refused(dir / "fork.zip", dir / "jail/out/", EINVAL, name);
        unlink((dir / "fork.zip").c_str());
    }
    EXPECT_EQ(tree_of(dir.root), before);
    for (const std::string folder : {"jail", "jail/out", "jail/out/sub"})
        EXPECT_EQ(fork_of(dir / folder), "") << folder;

    // A "._" that is only part of a longer leaf still names a file inside.
    write_file(dir / "jail/out/x..", "dots");
    make_archive(dir / "fork.zip", {{"__MACOSX/x._..", image, 0}});
    ASSERT_EQ(zip_to_file(dir / "fork.zip", dir / "jail/out/", nullptr, 0), 0) << log.text();
    EXPECT_EQ(fork_of(dir / "jail/out/x..").size(), 6000u);
}

TEST_F(Zip, DamagedCopiesOfAnArchiveNeverWriteOutsideTheFolder)
{
    // Names and link texts one byte away from leaving the folder, stored and
    // deflated data, a link, a fork: every byte of this archive is replaced in
    // turn, and the archive is cut at many lengths.
    make_archive(dir / "base.zip",
                 {{".x/", ""},
                  {".x/f", "stored", 0100644u << 16, 0},
                  {"a/", ""},
                  {"a/c.bin", patterned_bytes(300), 0100755u << 16},
                  link_entry("up", ".x"),
                  {"__MACOSX/a/._c.bin", plat::appledouble_encode(FINDER, "fork"), 0}});
    const std::string base = read_file(dir / "base.zip");
    ASSERT_EQ(zip_to_file(dir / "base.zip", (fs::create_directories(dir / "check"), dir / "check/"), nullptr, 0), 0);

    std::vector<std::string> damaged;
    for (size_t at = 0; at < base.size(); ++at)
        for (char replacement : {'.', '\xff'})  // ".x" -> ".."; sizes, counts and offsets near their maximum
            if (base[at] != replacement) {
                damaged.push_back(base);
                damaged.back()[at] = replacement;
            }
    for (size_t length = 0; length < base.size(); length += 7)
        damaged.push_back(base.substr(0, length));

    const std::string out = dir / "jail/out";
    const auto count_in = [](const std::string& folder) {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    };
    int failures = 0;
    for (const std::string& bytes : damaged) {
        fs::remove_all(dir / "jail");
        fs::create_directories(out);
        write_file(dir / "damaged.zip", bytes);
        if (zip_to_file(dir / "damaged.zip", out + "/", nullptr, 0) != 0)
            ++failures;

        // Nothing appears beside the folder or above it, and every link made
        // inside resolves inside.
        ASSERT_EQ(count_in(dir.root), 5);  // base.zip, check, damaged.zip, jail and out
        ASSERT_EQ(count_in(dir / "jail"), 1);
        ASSERT_TRUE(fs::is_directory(fs::symlink_status(out)));
        for (const auto& e : fs::recursive_directory_iterator(out)) {
            if (!fs::is_symlink(e.symlink_status()))
                continue;
            const fs::path target = (e.path().parent_path() / fs::read_symlink(e.path())).lexically_normal();
            const std::string text = target.string();
            ASSERT_EQ(text.compare(0, out.size(), out), 0) << e.path() << " -> " << text;
        }
    }
    // Most damage is noticed: a header, a CRC, a name or a link refused.
    EXPECT_GT(failures, int(damaged.size()) / 2) << failures << " of " << damaged.size();
}
