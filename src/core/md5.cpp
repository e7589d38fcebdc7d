#include "core/md5.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/errors.h"
#include "core/globals.h"
#include "core/paths.h"
#include "platform/owners.h"

namespace {

// Files are read in pieces of this size, one buffer per thread: memory stays the same whatever the
// file's size, and a piece this large costs few system calls while staying in the processor's cache.
constexpr size_t read_piece = 256 * 1024;

const uint8_t padding[64] = {0x80};

constexpr uint32_t initial_state[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};

inline uint32_t load_le32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    return v;
}

inline void store_le32(uint8_t* p, uint32_t v)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    std::memcpy(p, &v, 4);
}

inline uint32_t rotl(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

// The four round functions, written in the forms that need the fewest operations.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

#define MD5_STEP(f, a, b, c, d, word, constant, shift) \
    (a) += f((b), (c), (d)) + (word) + (constant); \
    (a) = rotl((a), (shift)) + (b)

// Runs whole 64-byte blocks, keeping the chaining words in registers between them.
void transform_blocks(uint32_t state[4], const uint8_t* data, size_t blocks)
{
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks > 0; --blocks, data += 64) {
        uint32_t x[16];
        for (int i = 0; i < 16; ++i)
            x[i] = load_le32(data + 4 * i);
        const uint32_t aa = a, bb = b, cc = c, dd = d;

        MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478u, 7);
        MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756u, 12);
        MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070dbu, 17);
        MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceeeu, 22);
        MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0fafu, 7);
        MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62au, 12);
        MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613u, 17);
        MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501u, 22);
        MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8u, 7);
        MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7afu, 12);
        MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1u, 17);
        MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7beu, 22);
        MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122u, 7);
        MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193u, 12);
        MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438eu, 17);
        MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821u, 22);

        MD5_STEP(MD5_G, a, b, c, d, x[1], 0xf61e2562u, 5);
        MD5_STEP(MD5_G, d, a, b, c, x[6], 0xc040b340u, 9);
        MD5_STEP(MD5_G, c, d, a, b, x[11], 0x265e5a51u, 14);
        MD5_STEP(MD5_G, b, c, d, a, x[0], 0xe9b6c7aau, 20);
        MD5_STEP(MD5_G, a, b, c, d, x[5], 0xd62f105du, 5);
        MD5_STEP(MD5_G, d, a, b, c, x[10], 0x02441453u, 9);
        MD5_STEP(MD5_G, c, d, a, b, x[15], 0xd8a1e681u, 14);
        MD5_STEP(MD5_G, b, c, d, a, x[4], 0xe7d3fbc8u, 20);
        MD5_STEP(MD5_G, a, b, c, d, x[9], 0x21e1cde6u, 5);
        MD5_STEP(MD5_G, d, a, b, c, x[14], 0xc33707d6u, 9);
        MD5_STEP(MD5_G, c, d, a, b, x[3], 0xf4d50d87u, 14);
        MD5_STEP(MD5_G, b, c, d, a, x[8], 0x455a14edu, 20);
        MD5_STEP(MD5_G, a, b, c, d, x[13], 0xa9e3e905u, 5);
        MD5_STEP(MD5_G, d, a, b, c, x[2], 0xfcefa3f8u, 9);
        MD5_STEP(MD5_G, c, d, a, b, x[7], 0x676f02d9u, 14);
        MD5_STEP(MD5_G, b, c, d, a, x[12], 0x8d2a4c8au, 20);

        MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681u, 11);
        MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380cu, 23);
        MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9u, 11);
        MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70u, 23);
        MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fau, 11);
        MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05u, 23);
        MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5u, 11);
        MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665u, 23);

        MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244u, 6);
        MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7u, 15);
        MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039u, 21);
        MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3u, 6);
        MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47du, 15);
        MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1u, 21);
        MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4fu, 6);
        MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314u, 15);
        MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1u, 21);
        MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82u, 6);
        MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bbu, 15);
        MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391u, 21);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

#undef MD5_STEP
#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I

}  // namespace

void MD5Init(MD5Context* context)
{
    context->bit_count[0] = 0;
    context->bit_count[1] = 0;
    std::memcpy(context->state, initial_state, sizeof(initial_state));
}

void MD5Update(MD5Context* context, const uint8_t* data, uint16_t length)
{
    if (length == 0)
        return;
    size_t filled = (context->bit_count[0] >> 3) & 63;
    const uint32_t added_bits = uint32_t(length) << 3;
    context->bit_count[0] += added_bits;
    if (context->bit_count[0] < added_bits)
        context->bit_count[1]++;

    size_t remaining = length;
    if (filled != 0) {
        const size_t room = 64 - filled;
        if (remaining < room) {
            std::memcpy(context->block + filled, data, remaining);
            return;
        }
        std::memcpy(context->block + filled, data, room);
        transform_blocks(context->state, context->block, 1);
        data += room;
        remaining -= room;
    }
    const size_t whole = remaining / 64;
    if (whole != 0) {
        transform_blocks(context->state, data, whole);
        data += whole * 64;
        remaining -= whole * 64;
    }
    if (remaining != 0)
        std::memcpy(context->block, data, remaining);
}

void MD5UpdateWide(MD5Context* context, const uint8_t* data, uint32_t length)
{
    md5_update_all(context, data, length);
}

void md5_update_all(MD5Context* context, const uint8_t* data, size_t length)
{
    constexpr size_t piece_limit = 65535;
    while (length > 0) {
        const size_t piece = length < piece_limit ? length : piece_limit;
        MD5Update(context, data, uint16_t(piece));
        data += piece;
        length -= piece;
    }
}

void MD5Final(MD5Context* context)
{
    uint8_t count_bytes[8];
    store_le32(count_bytes, context->bit_count[0]);
    store_le32(count_bytes + 4, context->bit_count[1]);
    const size_t filled = (context->bit_count[0] >> 3) & 63;
    const size_t pad_length = filled < 56 ? 56 - filled : 120 - filled;
    MD5Update(context, padding, uint16_t(pad_length));
    MD5Update(context, count_bytes, 8);
    for (int i = 0; i < 4; ++i)
        store_le32(context->digest + 4 * i, context->state[i]);
}

std::string md5_digest_text(const uint8_t digest[16])
{
    static const char hex[] = "0123456789abcdef";
    std::string text(32, '0');
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = hex[digest[i] >> 4];
        text[2 * i + 1] = hex[digest[i] & 15];
    }
    return text;
}

std::string md5_of_bytes(const void* data, size_t length)
{
    MD5Context context;
    MD5Init(&context);
    md5_update_all(&context, static_cast<const uint8_t*>(data), length);
    MD5Final(&context);
    return md5_digest_text(context.digest);
}

namespace {

// Signs an open file from its current position to its end, read in pieces. False when a read fails.
bool sign_open_file(int fd, std::string& sig)
{
    // Signing runs on any thread and many times over.
    thread_local std::vector<uint8_t> piece(read_piece);
    (void)posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);  // only a hint to read ahead further
    MD5Context context;
    MD5Init(&context);
    for (;;) {
        const ssize_t got = read(fd, piece.data(), piece.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        md5_update_all(&context, piece.data(), size_t(got));
    }
    MD5Final(&context);
    sig = md5_digest_text(context.digest);
    return true;
}

}  // namespace

// Nothing here touches shared state, so files may be signed on several threads.
int calc_file_md5(const std::string& path, std::string& sig)
{
    // The path is normalised once for the link test and the read: on a
    // case-sensitive volume that means a look into every folder on the way.
    const std::string full = app_file_path(path.c_str());
    std::string target;
    if (sim_link_at(full, &target)) {
        sig = md5_of_bytes(target.data(), target.size());
        return 0;
    }
    // What the reader would refuse (a missing file, a folder, a FIFO) cannot be
    // signed either.
    const plat::descriptor file(open(full.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file)
        return kErrFileOpenRead;
    struct stat info;
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return kErrFileOpenRead;
    return sign_open_file(file.get(), sig) ? 0 : kErrFileOpenRead;
}
