// MD5 digests and file signatures, checked against RFC 1321 and Debian's md5sum.

#include "core/md5.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "core/globals.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

using namespace test;

namespace {

std::string md5sum_of(const std::string& path)
{
    return command_output("md5sum '" + path + "'").substr(0, 32);
}

TEST(Md5, Rfc1321TestSuite)
{
    const struct {
        const char* input;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(md5_of_bytes(c.input, strlen(c.input)), c.digest) << c.input;

        // The same through the record API, fed one byte at a time.
        MD5Context context;
        MD5Init(&context);
        for (const char* p = c.input; *p; ++p)
            MD5Update(&context, reinterpret_cast<const uint8_t*>(p), 1);
        MD5Final(&context);
        EXPECT_EQ(md5_digest_text(context.digest), c.digest) << c.input;
    }
}

TEST(Md5, SplitFeedsMatchOneFeedAtEveryBlockBoundary)
{
    const std::string bytes = patterned_bytes(300);
    const std::string whole = md5_of_bytes(bytes.data(), bytes.size());
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        MD5Context context;
        MD5Init(&context);
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        MD5UpdateWide(&context, data, uint32_t(cut));
        MD5UpdateWide(&context, data + cut, uint32_t(bytes.size() - cut));
        MD5Final(&context);
        ASSERT_EQ(md5_digest_text(context.digest), whole) << "cut at " << cut;
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

    // A length past the 16-bit count goes through in pieces and counts fully.
    MD5Init(&context);
    const std::string big = patterned_bytes(200000);
    md5_update_all(&context, reinterpret_cast<const uint8_t*>(big.data()), big.size());
    EXPECT_EQ(context.bit_count[0], 200000u * 8);
    EXPECT_EQ(context.bit_count[1], 0u);
}

TEST(Md5, FileSignaturesMatchMd5sumAroundThePieceSize)
{
    temp_folder dir;
    for (size_t length : {size_t(1), size_t(63), size_t(64), size_t(65535), size_t(65536), size_t(131071),
                          size_t(131072), size_t(262144), size_t(262145), size_t(1000003)}) {
        const std::string path = dir / ("f" + std::to_string(length));
        write_file(path, patterned_bytes(length, unsigned(length)));
        std::string sig;
        ASSERT_EQ(calc_file_md5(path, sig), 0) << length;
        EXPECT_EQ(sig, md5sum_of(path)) << length;
        EXPECT_EQ(sig.size(), 32u);
        EXPECT_EQ(sig.find_first_not_of("0123456789abcdef"), std::string::npos) << sig;
    }
}

TEST(Md5, EmptyFileSignsAsTheEmptyDigest)
{
    temp_folder dir;
    write_file(dir / "empty", "");
    std::string sig = "previous";
    ASSERT_EQ(calc_file_md5(dir / "empty", sig), 0);
    EXPECT_EQ(sig, "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Md5, SymbolicLinksAreSignedByTheirText)
{
    temp_folder dir;
    write_file(dir / "abc.txt", "abc");
    ASSERT_EQ(symlink("abc", (dir / "dangling").c_str()), 0);
    ASSERT_EQ(symlink("abc.txt", (dir / "to-file").c_str()), 0);

    std::string file_sig, dangling_sig, link_sig;
    ASSERT_EQ(calc_file_md5(dir / "abc.txt", file_sig), 0);
    ASSERT_EQ(calc_file_md5(dir / "dangling", dangling_sig), 0);
    ASSERT_EQ(calc_file_md5(dir / "to-file", link_sig), 0);
    EXPECT_EQ(file_sig, "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(dangling_sig, file_sig);                // the target is missing, the text still signs
    EXPECT_EQ(link_sig, md5_of_bytes("abc.txt", 7));  // not followed
}

TEST(Md5, UnreadablePathsLeaveTheSignatureAlone)
{
    temp_folder dir;
    mkdir((dir / "folder").c_str(), 0755);
    std::string sig = "keep me";
    EXPECT_EQ(calc_file_md5(dir / "missing", sig), 20006);
    EXPECT_EQ(sig, "keep me");
    EXPECT_EQ(calc_file_md5(dir / "folder", sig), 20006);
    EXPECT_EQ(sig, "keep me");
    // A FIFO would block a plain open until a writer came.
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(calc_file_md5(dir / "pipe", sig), 20006);
    EXPECT_EQ(sig, "keep me");
}

TEST(Md5, PathSeparatorsAreNormalised)
{
    temp_folder dir;
    mkdir((dir / "sub").c_str(), 0755);
    write_file(dir / "sub/a.txt", "a");
    std::string sig;
    ASSERT_EQ(calc_file_md5(dir.root + ":sub:a.txt", sig), 0);
    EXPECT_EQ(sig, "0cc175b9c0f1b6a831c399e269772661");

    // The program's own prefix goes in front, for files read and files mapped.
    write_file(dir / "sub/large.bin", patterned_bytes(600000));
    app_path = dir.root + "/";
    EXPECT_EQ(calc_file_md5("sub:a.txt", sig), 0);
    EXPECT_EQ(sig, "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(calc_file_md5("sub\\large.bin", sig), 0);
    app_path.clear();
    EXPECT_EQ(sig, md5sum_of(dir / "sub/large.bin"));
}

}  // namespace
