// The mapped reader, the shared file header with the output stream, and the
// tokenizers, on real files.

#include "core/header.h"
#include "core/tokens.h"
#include "core/xmap.h"

#include "file_test_support.h"

#include <sys/stat.h>

#include <functional>
#include <map>
#include <sstream>

using namespace std::string_literals;

namespace {

std::string text_of(xmap_class& reader, void (xmap_class::*scan)(std::string*))
{
    std::string out = "?";  // shows a scanner that assigns nothing
    (reader.*scan)(&out);
    return out;
}

std::string shown(double value, const char* format = "%g")
{
    char text[32];
    snprintf(text, sizeof text, format, value);
    return text;
}

// The scanners by letter; m and M take the word to match from the rest of their op.
const std::map<char, std::function<std::string(xmap_class&, const char*)>> scanners = {
    {'s', [](xmap_class& r, const char*) { return text_of(r, &xmap_class::TXT_str_scan_space); }},
    {'l', [](xmap_class& r, const char*) { return text_of(r, &xmap_class::TXT_str_scan_eoln); }},
    {'c', [](xmap_class& r, const char*) { return text_of(r, &xmap_class::TXT_str_scan_comma); }},
    {'p', [](xmap_class& r, const char*) { return r.TXT_prv_scan(), std::string(); }},
    {'b', [](xmap_class& r, const char*) { return std::to_string(r.TXT_byt_scan()); }},
    {'i', [](xmap_class& r, const char*) { return std::to_string(r.TXT_int_scan()); }},
    {',', [](xmap_class& r, const char*) { return std::to_string(r.TXT_int_scan_stop(',')); }},
    {'u', [](xmap_class& r, const char*) { return std::to_string(r.TXT_uin_scan()); }},
    {'d', [](xmap_class& r, const char*) { return shown(r.TXT_dob_scan()); }},
    {'D', [](xmap_class& r, const char*) { return shown(r.TXT_dob_scan(), "%.17g"); }},
    {'f', [](xmap_class& r, const char*) { return shown(r.TXT_flt_scan()); }},
    {'e', [](xmap_class& r, const char*) { return shown(r.TXT_dob_scan_sci()); }},
    {'m', [](xmap_class& r, const char* word) { return std::to_string(r.TXT_str_scan_match(word, 0)); }},
    {'M', [](xmap_class& r, const char* word) { return std::to_string(r.TXT_str_scan_match(word, 1)); }},
};

// Runs the blank-separated scanner ops on the reader and shows each result with the cursor's
// offset after it: "tag@5 value@11".
std::string scan(xmap_class& reader, const std::string& ops)
{
    std::istringstream in(ops);
    std::string op, out;
    while (in >> op) {
        const std::string result = scanners.at(op[0])(reader, op.c_str() + 1);
        out += (out.empty() ? "" : " ") + result + "@" + std::to_string(reader.cur - reader.base);
    }
    return out;
}

}  // namespace

using MappedReader = FileTest;

TEST_F(MappedReader, MapsWholeRegularFilesAndHoldsNothingElseWithThePrefixAndCaseApplied)
{
    const int open_before = mapped_files_open;
    make({"dir/sub/", "folder/"});
    ASSERT_EQ(mkfifo(at("pipe").c_str(), 0600), 0);
    // No name, a missing file, a folder, a FIFO (which would wait for a writer if opened plainly).
    for (const char* name : {"", "absent.txt", "folder", "pipe"}) {
        xmap_class none(name);
        EXPECT_TRUE(none.base == nullptr && none.cur == nullptr && none.end == nullptr && none.fd == 0) << name;
        EXPECT_EQ(mapped_files_open, open_before) << name;
    }

    write_file(at("dir/sub/file.txt"), "hello");
    write_file(at("other.txt"), "second");
    {
        xmap_class reader("dir:sub\\file.txt");
        ASSERT_NE(reader.base, nullptr);
        EXPECT_EQ(std::string(reader.cur, reader.end), "hello");
        EXPECT_EQ(mapped_files_open, open_before + 1);
        // retry releases the first file; a missing second leaves it empty.
        EXPECT_NE(reader.retry("other.txt"), nullptr);
        EXPECT_EQ(std::string(reader.base, reader.end), "second");
        EXPECT_EQ(mapped_files_open, open_before + 1);
        EXPECT_EQ(reader.retry("gone.txt"), nullptr);
        EXPECT_EQ(mapped_files_open, open_before);
    }

    // Files of several sizes map whole, the last byte included; an empty one is an empty range.
    int versions[] = {1, 0};
    for (size_t length : {size_t(0), size_t(256 * 1024), size_t(256 * 1024 + 1), size_t(3 * 1024 * 1024 + 7)}) {
        const std::string bytes = test::patterned_bytes(length);
        write_file(at("sized.bin"), bytes);
        xmap_class reader("sized.bin");
        ASSERT_NE(reader.base, nullptr) << length;
        EXPECT_TRUE(reader.cur == reader.base && std::string(reader.base, reader.end) == bytes) << length;
        EXPECT_EQ(reader.check_file(FILE_TYPE_TEXT, versions, nullptr, nullptr), 0);
        EXPECT_EQ(mapped_files_open, open_before + 1);
    }
    EXPECT_EQ(mapped_files_open, open_before);
    EXPECT_TRUE(alert_recorder::alerts().empty());

    // The prefix goes in front, and the case is corrected.
    make({"Install/Data/list.txt"});
    write_file(at("Install/Data/list.txt"), "abc");
    app_path = root + "/Install/";
    g_case_sensitive = 1;
    xmap_class prefixed("DATA:LIST.TXT");
    EXPECT_EQ(std::string(prefixed.base, prefixed.end), "abc");
}

using FileHeader = FileTest;

TEST_F(FileHeader, IsWrittenExactly)
{
    struct Case {
        const char* path;
        int type, version;
        const char *notice, *written_as;
        std::string bytes;
    };
    const Case cases[] = {
        {"prefs.PRF", FILE_TYPE_TEXT, 8500, no_copyright_notice, "prefs.prf", "A\n8500 version\n1.500000\n"},
        {"notice.txt", FILE_TYPE_TEXT, 8500, "abc", "notice.txt", "A\n8500 versionabc\n1.500000\n"},
        {"neg.txt", FILE_TYPE_TEXT, -12, no_copyright_notice, "neg.txt", "A\n-12 version\n1.500000\n"},
        {"data.bin", FILE_TYPE_BINARY, 8520, "", "data.bin", "a\0\0\x21\x48"s + "1.500000\n"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(ouf_open(c.path, c.type, c.version, c.notice)) << c.path;
        ouf << 1.5 << "\n";
        ouf.close();
        EXPECT_EQ(read_file(at(c.written_as)), c.bytes) << c.path;
    }
}

TEST_F(FileHeader, WriteFailuresAndBadTypesAreAlerts)
{
    EXPECT_FALSE(ouf_open("no-such-folder:file.txt", FILE_TYPE_TEXT, 1, ""));
    ASSERT_EQ(alert_recorder::alerts().size(), 1u);
    const recorded_alert& alert = alert_recorder::alerts()[0];
    EXPECT_EQ(alert.l1.rfind("I could not save the file! Could the directory", 0), 0u);
    EXPECT_EQ(alert.l3, "Could the file be flagged as read-only? This happens in Windows if you copy it from a CD!");
    EXPECT_EQ(alert.l2 + "|" + std::to_string(alert.type) + "|" + alert.file + ":" + std::to_string(alert.line),
              "no-such-folder:file.txt|1|DEzovuv/Files/io_utils:1018");
    EXPECT_FALSE(ouf.good());
    // The next open clears the failure.
    EXPECT_TRUE(ouf_open("fine.txt", FILE_TYPE_TEXT, 1, ""));
    ouf.close();

    EXPECT_THROW((void)ouf_open("x.txt", 3, 1, ""), fatal_alert);  // the alert throws; nothing comes back
    EXPECT_EQ(summary(alert_recorder::alerts().back()), "Bad ouf_open type!|x.txt|||2|DEzovuv/Files/io_utils:974");
    xmap_class reader("");
    int versions[] = {1, 0};
    EXPECT_THROW((void)reader.check_file(7, versions, nullptr, nullptr), fatal_alert);
    EXPECT_EQ(summary(alert_recorder::alerts().back()), "Bad check_file type!||||2|DEzovuv/OOPS_cpp/xmap:12");
}

TEST_F(FileHeader, IsCheckedForVersionKeywordAndByteOrder)
{
    struct Case {
        int type;
        std::string bytes;
        std::vector<int> versions;
        const char* keyword;
        std::string shown;  // version (0: refused) | rest of the version line | byte order | bytes after the cursor
    };
    const int T = FILE_TYPE_TEXT, B = FILE_TYPE_BINARY;
    const Case cases[] = {
        {T, "I\r\n\r\n  -12 version\r\nLIST more text\r\nbody\r\n", {-12}, "LIST", "-12|version|0|body\r\n"},
        // The keyword is a whole word: "LIST" is not "LISTING".
        {T, "A\n840 version\nLISTING\nbody\n", {810, 840}, "LIST", "0|version|0|LISTING\nbody\n"},
        {T, "A\n840 version\nLISTING\nbody\n", {810, 840}, nullptr, "840|version|0|LISTING\nbody\n"},
        {T, "A\n850 version\n", {810, 840}, nullptr, "0|version|0|"},
        {T, "A\n840 version\nLISTING\nbody\n", {}, nullptr, "0|version|0|LISTING\nbody\n"},
        {T, " A\n840 version\n", {810, 840}, nullptr, "0||0|840 version\n"},
        {T, "A\n", {840}, nullptr, "0||0|"},
        {B, "i\x48\x21\0\0rest"s, {8520}, nullptr, "8520||1|rest"},
        {B, "a\0\0\x21\x48"s, {8520}, nullptr, "8520||0|"},
        {B, "a\0\x21"s, {8520}, nullptr, "0||0|\0\x21"s},
        {B, "x\0\0\x21\x48"s, {8520}, nullptr, "0||0|\0\0\x21\x48"s},
    };
    for (const Case& c : cases) {
        write_file(at("header"), c.bytes);
        xmap_class reader("header");
        std::vector<int> versions = c.versions;
        versions.push_back(0);
        std::string rest;
        const int version = reader.check_file(c.type, versions.data(), c.keyword, &rest);
        EXPECT_EQ(std::to_string(version) + "|" + rest + "|" + std::to_string(reader.swap) + "|" +
                      std::string(reader.cur, reader.end),
                  c.shown)
            << c.bytes;
    }
}

using Tokenizers = FileTest;

TEST_F(Tokenizers, EachScannerTakesWhatItsRuleSaysAndStopsThere)
{
    struct Case {
        const char *text, *ops, *shown;
    };
    const Case cases[] = {
        // A word stops at a blank or line end; on a line end it is empty and nothing moves.
        {"  tag value\rnext", "s s s p s", "tag@5 value@11 @11 @12 next@16"},
        // A line keeps its trailing blanks and skips the line ends and blanks after it.
        {"  a b  \r\n\r\n   next", "l l", "a b  @14 next@18"},
        {" x y ,z", "c c", "x y @6 z@7"},
        {"ab", "b b b", "97@1 98@2 0@2"},
        // A match is a whole word, never the start of a longer one; at a line end only when allowed.
        {"SERVER\nx", "mSERVER MSERVER", "0@0 1@6"},
        {"  SERVER host", "mSERVER", "1@8"},
        {" FILES", "MFILE", "0@1"},
        {"END", "mEND MEND", "0@0 1@3"},
        // Every sign byte counts, a letter is a digit by its code, a stop ends a field.
        {"-+7 42\t12a -5 ,34 12,34", "i i i u , i , i i", "7@3 42@6 169@10 5@13 0@15 34@17 12@21 34@23 0@23"},
        {"+", "i", "0@1"},
        // Overlong numbers wrap like 32-bit arithmetic instead of misbehaving.
        {"99999999999999999999", "i", "1661992959@20"},
        // No exponent here ("1e3" is 1, e (53), 3); results are rounded to single precision.
        {"0.125 -1.25 3. .5 1-2 1e3 2.5", "d d d d d d f d", "0.125@5 -1.25@11 3@14 0.5@17 -12@21 633@25 2.5@29 0@29"},
        {"0.1", "D", "0.10000000149011612@3"},
        {"2.5e3 1E-2 e5 -4.5E+1 7", "e e e e e", "2500@5 0.01@10 0@13 -45@21 7@23"},
    };
    for (const Case& c : cases) {
        write_file(at("scanned"), c.text);
        xmap_class reader("scanned");
        EXPECT_EQ(scan(reader, c.ops), c.shown) << c.text;
    }
    // Nothing mapped: every scanner reads nothing and the cursor stays null.
    xmap_class nothing("");
    EXPECT_EQ(scan(nothing, "b p s l c MX i , u d e"), "0@0 @0 @0 @0 @0 0@0 0@0 0@0 0@0 0@0 0@0");
    EXPECT_EQ(nothing.cur, nullptr);
}
