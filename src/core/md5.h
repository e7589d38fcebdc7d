#pragma once
// MD5 (RFC 1321) and the content signature of a file: 32 lower-case hexadecimal
// digits of the MD5 of the file's bytes, or of a symbolic link's target text.
#include <cstddef>
#include <cstdint>
#include <string>

struct MD5Context {
    uint32_t bit_count[2];  // number of input bits so far, low word first
    uint32_t state[4];      // chaining words A, B, C, D
    uint8_t block[64];      // the input block being filled
    uint8_t digest[16];     // the result, filled by MD5Final
};

void MD5Init(MD5Context* context);
// At most 65535 bytes: the count is 16 bits wide.
void MD5Update(MD5Context* context, const uint8_t* data, uint16_t length);
// A 32-bit length, fed as pieces of at most 65535 bytes.
void MD5UpdateWide(MD5Context* context, const uint8_t* data, uint32_t length);
void MD5Final(MD5Context* context);

// Feeds a length of any size (a mapping of 4 GiB or more) in pieces of at most
// 65535 bytes, so that the bit count carries correctly into its high word.
void md5_update_all(MD5Context* context, const uint8_t* data, size_t length);

// The 32-digit lower-case form of the 16 digest bytes.
std::string md5_digest_text(const uint8_t digest[16]);

// The MD5 of a memory range as 32 lower-case hexadecimal digits.
std::string md5_of_bytes(const void* data, size_t length);

// Signs the file (or symbolic link) at path. 0 when sig was set; 20006 when the
// file cannot be read, leaving sig exactly as it was.
[[nodiscard]] int calc_file_md5(const std::string& path, std::string& sig);
