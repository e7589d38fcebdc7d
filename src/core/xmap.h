#pragma once
// The mapped text reader: one whole file mapped read-only for the lifetime
// of the reader, with a byte cursor for the header check and tokenizers.
//
// Invariant: `base` is null (nothing held; `cur` and `end` null too), or
// base <= cur <= end with end = base + file length. Every reader of the
// mapping compares `cur` with `end` before it reads a byte. An empty file is
// held as a zero-length range at a static, never-read address.

#include <string>

class xmap_class {
public:
    explicit xmap_class(const std::string& path);
    ~xmap_class();
    xmap_class(const xmap_class&) = delete;
    xmap_class& operator=(const xmap_class&) = delete;

    // Points the reader at a (new) file: app_path + path, normalised. Returns
    // the start of the mapping, or null when the file cannot be opened (a
    // missing file, a folder, a FIFO...): no alert and no log line for that.
    const char* retry(const std::string& path);

    // Mode 0 maps `path` and checks its header against `versions` (ended by
    // 0); mode 1 opens `ouf` on it with the header. 1 success, 0 failure.
    [[nodiscard]] int io_file_open(int mode, std::string path, int* versions, int type);
    // Mode 1 closes `ouf`; mode 0 leaves the mapping in place.
    void io_file_close();

    // The shared file header (core/header.h): the accepted version, or 0.
    [[nodiscard]] int check_file(int type, int* versions, const char* keyword, std::string* rest);

    // Tokenizers (core/tokens.h).
    char TXT_byt_scan();
    void TXT_prv_scan();
    void TXT_str_scan_space(std::string* out);
    void TXT_str_scan_eoln(std::string* out);
    void TXT_str_scan_comma(std::string* out);
    int TXT_str_scan_match(const char* word, int eol_ok);
    int TXT_int_scan();
    int TXT_int_scan_stop(char stop);
    unsigned int TXT_uin_scan();
    double TXT_dob_scan();
    float TXT_flt_scan();
    double TXT_dob_scan_sci();

    int swap = 0;      // binary files: 0 big-endian ('a'), 1 little-endian ('i')
    std::string path;  // never filled; shown by the bad-type alert
    int io_mode = 0;   // 0 read, 1 write
    const char* base = nullptr;
    const char* cur = nullptr;
    const char* end = nullptr;
    int fd = 0;  // 0 means no file

private:
    void release();
};
