// MD5 digests and file signatures, checked against RFC 1321 and Debian's md5sum.

#include "core/md5.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <numeric>
#include <sstream>

#include "core/globals.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

using namespace test;

namespace {

// The digest of `bytes` through the record, fed in pieces of `piece` bytes.
std::string record_digest(const std::string& bytes, size_t piece)
{
    MD5Context context;
    MD5Init(&context);
    for (size_t at = 0; at < bytes.size(); at += piece)
        MD5UpdateWide(&context, reinterpret_cast<const uint8_t*>(bytes.data() + at),
                      uint32_t(std::min(piece, bytes.size() - at)));
    MD5Final(&context);
    return md5_digest_text(context.digest);
}

TEST(Md5, EveryLengthAroundTheBlocksAndPiecesMatchesMd5sum)
{
    // Every length from 0 to 200 bytes, so that the last block ends at each of its 64 places
    // (past 56 the padding takes a block of its own), and lengths around the pieces files are read in.
    temp_folder dir;
    std::vector<size_t> lengths(201);
    std::iota(lengths.begin(), lengths.end(), size_t(0));
    lengths.insert(lengths.end(), {65535, 65536, 131071, 131072, 262144, 262145, 1000003});
    std::string names;
    for (size_t length : lengths) {
        write_file(dir / std::to_string(length), patterned_bytes(length, unsigned(length)));
        names += " " + std::to_string(length);
    }
    std::istringstream reference(command_output("cd '" + dir.root + "' && md5sum" + names));
    for (size_t length : lengths) {
        std::string expected, name;
        reference >> expected >> name;
        ASSERT_EQ(name, std::to_string(length)) << "md5sum did not answer";
        const std::string bytes = patterned_bytes(length, unsigned(length));
        EXPECT_EQ(md5_of_bytes(bytes.data(), bytes.size()), expected) << length;
        std::string signature = "previous";
        ASSERT_EQ(calc_file_md5(dir / name, signature), 0) << length;
        EXPECT_EQ(signature, expected) << length;
        // Fed in pieces that end anywhere in a block, the record comes to the same digest.
        if (length <= 200) {
            EXPECT_EQ(record_digest(bytes, 1 + length % 67), expected) << length;
        }
    }
}

TEST(Md5, BitCountCarriesIntoTheHighWord)
{
    MD5Context context;
    MD5Init(&context);
    context.bit_count[0] = 0xFFFFFF00u;  // 64 bytes short of 2^29 bytes
    const std::string block = patterned_bytes(64);
    MD5Update(&context, reinterpret_cast<const uint8_t*>(block.data()), 64);
    EXPECT_EQ(context.bit_count[0], 0x100u);
    EXPECT_EQ(context.bit_count[1], 1u);
}

TEST(Md5, LinksSignTheirTextPathsAreNormalisedAndWhatCannotBeReadLeavesTheSignatureAlone)
{
    temp_folder dir;
    write_file(dir / "abc.txt", "abc");
    ASSERT_EQ(symlink("abc", (dir / "dangling").c_str()), 0);
    ASSERT_EQ(symlink("abc.txt", (dir / "to-file").c_str()), 0);
    // A link is not followed: the target may be missing, the text still signs.
    const std::pair<const char*, const char*> links[] = {{"dangling", "900150983cd24fb0d6963f7d28e17f72"},
                                                         {"to-file", "56b6f09c50bfb4706563cdf3463a6cc3"}};
    std::string sig;
    for (const auto& [name, digest] : links) {
        ASSERT_EQ(calc_file_md5(dir / name, sig), 0) << name;
        EXPECT_EQ(sig, digest) << name;
    }

    // Missing, a folder, or a FIFO (which would block a plain open until a writer came).
    mkdir((dir / "folder").c_str(), 0755);
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    for (const char* name : {"missing", "folder", "pipe"}) {
        sig = "keep me";
        EXPECT_EQ(calc_file_md5(dir / name, sig), 20006) << name;
        EXPECT_EQ(sig, "keep me") << name;
    }

    // Path separators are normalised and the prefix goes in front.
    mkdir((dir / "sub").c_str(), 0755);
    write_file(dir / "sub/a.txt", "a");
    const std::string digest_of_a = "0cc175b9c0f1b6a831c399e269772661";  // RFC 1321
    ASSERT_EQ(calc_file_md5(dir.root + ":sub:a.txt", sig), 0);
    EXPECT_EQ(sig, digest_of_a);
    app_path = dir.root + "/";
    sig.clear();
    EXPECT_EQ(calc_file_md5("sub\\a.txt", sig), 0);
    app_path.clear();
    EXPECT_EQ(sig, digest_of_a);
}

}  // namespace
