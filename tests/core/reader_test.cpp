// The mapped reader, the shared file header with the output stream, and the
// tokenizers, on real files.

#include "core/header.h"
#include "core/tokens.h"
#include "core/xmap.h"

#include "file_test_support.h"

#include <sys/stat.h>

namespace {

// A reader over `bytes`, written to a file first.
struct text_file {
    text_file(const std::string& path, const std::string& bytes) : reader((write_file(path, bytes), path)) { }
    xmap_class reader;
};

}  // namespace

using MappedReader = FileTest;

TEST_F(MappedReader, MapsWholeFilesAndHoldsNothingForMissingOnes)
{
    int open_before = mapped_files_open;
    {
        xmap_class none("");
        EXPECT_EQ(none.base, nullptr);
        EXPECT_EQ(none.fd, 0);
        EXPECT_EQ(mapped_files_open, open_before);
    }
    {
        xmap_class missing("absent.txt");
        EXPECT_EQ(missing.base, nullptr);
        EXPECT_EQ(missing.cur, nullptr);
        EXPECT_EQ(missing.end, nullptr);
        EXPECT_EQ(missing.fd, 0);
        EXPECT_EQ(missing.TXT_byt_scan(), 0);
    }
    EXPECT_EQ(mapped_files_open, open_before);

    std::filesystem::create_directories(at("dir/sub"));
    write_file(at("dir/sub/file.txt"), "hello");
    {
        xmap_class reader("dir:sub\\file.txt");
        ASSERT_NE(reader.base, nullptr);
        EXPECT_EQ(std::string(reader.base, reader.end), "hello");
        EXPECT_EQ(reader.cur, reader.base);
        EXPECT_EQ(mapped_files_open, open_before + 1);

        // retry releases the first file; a missing second leaves it empty.
        write_file(at("other.txt"), "second");
        EXPECT_NE(reader.retry("other.txt"), nullptr);
        EXPECT_EQ(std::string(reader.base, reader.end), "second");
        EXPECT_EQ(mapped_files_open, open_before + 1);
        EXPECT_EQ(reader.retry("gone.txt"), nullptr);
        EXPECT_EQ(reader.base, nullptr);
        EXPECT_EQ(mapped_files_open, open_before);
    }
    EXPECT_EQ(mapped_files_open, open_before);

    // Files of several sizes map whole, the last byte included, and retry
    // releases the old mapping before it makes the new one.
    for (size_t length : {size_t(256 * 1024), size_t(256 * 1024 + 1), size_t(3 * 1024 * 1024 + 7)}) {
        std::string bytes(length, 'x');
        for (size_t i = 0; i < length; i += 4099)
            bytes[i] = char('a' + i % 23);
        bytes.back() = '!';
        write_file(at("sized.bin"), bytes);
        xmap_class reader("sized.bin");
        ASSERT_NE(reader.base, nullptr) << length;
        EXPECT_EQ(size_t(reader.end - reader.base), length);
        EXPECT_TRUE(std::string(reader.base, reader.end) == bytes) << length;
        EXPECT_EQ(mapped_files_open, open_before + 1);
        EXPECT_NE(reader.retry("sized.bin"), nullptr);
        EXPECT_EQ(mapped_files_open, open_before + 1);
    }
    EXPECT_EQ(mapped_files_open, open_before);
    EXPECT_TRUE(alert_recorder::alerts().empty());
}

TEST_F(MappedReader, AnEmptyFileIsHeldAsAnEmptyRange)
{
    int open_before = mapped_files_open;
    write_file(at("empty"), "");
    {
        xmap_class reader("empty");
        ASSERT_NE(reader.base, nullptr);
        EXPECT_EQ(reader.base, reader.end);
        EXPECT_EQ(reader.cur, reader.end);
        EXPECT_NE(reader.fd, 0);
        int versions[] = {1, 0};
        EXPECT_EQ(reader.check_file(FILE_TYPE_TEXT, versions, nullptr, nullptr), 0);
        std::string line = "x";
        reader.TXT_str_scan_eoln(&line);
        EXPECT_EQ(line, "");
        EXPECT_EQ(mapped_files_open, open_before + 1);
    }
    EXPECT_EQ(mapped_files_open, open_before);
}

TEST_F(MappedReader, FoldersAndFifosAreNotOpened)
{
    std::filesystem::create_directories(at("folder"));
    ASSERT_EQ(mkfifo(at("pipe").c_str(), 0600), 0);
    int open_before = mapped_files_open;
    xmap_class folder("folder");
    EXPECT_EQ(folder.base, nullptr);
    EXPECT_EQ(folder.fd, 0);
    xmap_class pipe("pipe");  // would wait for a writer forever if opened plainly
    EXPECT_EQ(pipe.base, nullptr);
    EXPECT_EQ(pipe.fd, 0);
    EXPECT_EQ(mapped_files_open, open_before);
}

TEST_F(MappedReader, PrefixAndCaseCorrectionApply)
{
    std::filesystem::create_directories(at("Install/Data"));
    write_file(at("Install/Data/list.txt"), "abc");
    app_path = root + "/Install/";
    g_case_sensitive = 1;
    xmap_class reader("DATA:LIST.TXT");
    ASSERT_NE(reader.base, nullptr);
    EXPECT_EQ(std::string(reader.base, reader.end), "abc");

    EXPECT_THROW(reader.retry(std::string(480, 'n')), fatal_alert);
    ASSERT_EQ(alert_recorder::alerts().size(), 1u);
    EXPECT_EQ(alert_recorder::alerts()[0].l1, "String too long!");
    EXPECT_EQ(alert_recorder::alerts()[0].l2, app_path + std::string(480, 'n'));
}

using FileHeader = FileTest;

TEST_F(FileHeader, TextHeaderIsWrittenExactly)
{
    ASSERT_TRUE(ouf_open("prefs.PRF", FILE_TYPE_TEXT, 8500, "no-copyright-string"));
    ouf << "body " << 1.5 << "\n";
    ouf.close();
    EXPECT_FALSE(path_exists(at("prefs.PRF")));
    EXPECT_EQ(read_file(at("prefs.prf")), "A\n8500 version\nbody 1.500000\n");

    ASSERT_TRUE(ouf_open("notice.txt", FILE_TYPE_TEXT, 8500, "abc"));
    ouf.close();
    EXPECT_EQ(read_file(at("notice.txt")), "A\n8500 versionabc\n");

    ASSERT_TRUE(ouf_open("neg.txt", FILE_TYPE_TEXT, -12, "no-copyright-string"));
    ouf.close();
    EXPECT_EQ(read_file(at("neg.txt")), "A\n-12 version\n");
}

TEST_F(FileHeader, BinaryHeaderIsBigEndian)
{
    ASSERT_TRUE(ouf_open("data.bin", FILE_TYPE_BINARY, 8520, ""));
    ouf.close();
    EXPECT_EQ(read_file(at("data.bin")), std::string("a\0\0\x21\x48", 5));
}

TEST_F(FileHeader, WriteFailuresAndBadTypesAreAlerts)
{
    EXPECT_FALSE(ouf_open("no-such-folder:file.txt", FILE_TYPE_TEXT, 1, ""));
    ASSERT_EQ(alert_recorder::alerts().size(), 1u);
    const recorded_alert& alert = alert_recorder::alerts()[0];
    EXPECT_EQ(alert.type, ALERT_MESSAGE);
    EXPECT_EQ(alert.l1.rfind("I could not save the file! Could the directory", 0), 0u);
    EXPECT_EQ(alert.l2, "no-such-folder:file.txt");
    EXPECT_EQ(alert.l3, "Could the file be flagged as read-only? This happens in Windows if you copy it from a CD!");
    EXPECT_EQ(alert.file, "DEzovuv/Files/io_utils");
    EXPECT_EQ(alert.line, 1018);
    EXPECT_FALSE(ouf.good());

    // The next open clears the failure.
    EXPECT_TRUE(ouf_open("fine.txt", FILE_TYPE_TEXT, 1, ""));
    ouf.close();

    EXPECT_THROW(ouf_open("x.txt", 3, 1, ""), fatal_alert);
    EXPECT_EQ(alert_recorder::alerts().back().l1, "Bad ouf_open type!");
    EXPECT_EQ(alert_recorder::alerts().back().line, 974);
    xmap_class reader("");
    int versions[] = {1, 0};
    EXPECT_THROW(reader.check_file(7, versions, nullptr, nullptr), fatal_alert);
    EXPECT_EQ(alert_recorder::alerts().back().l1, "Bad check_file type!");
    EXPECT_EQ(alert_recorder::alerts().back().file, "DEzovuv/OOPS_cpp/xmap");
    EXPECT_EQ(alert_recorder::alerts().back().line, 12);
}

TEST_F(FileHeader, TextHeaderIsCheckedWithVersionsAndKeyword)
{
    text_file file(at("list.txt"), "I\r\n\r\n  -12 version\r\nLIST more text\r\nbody\r\n");
    int accepted[] = {-12, 0};
    std::string rest;
    EXPECT_EQ(file.reader.check_file(FILE_TYPE_TEXT, accepted, "LIST", &rest), -12);
    EXPECT_EQ(rest, "version");
    EXPECT_EQ(std::string(file.reader.cur, 4), "body");

    text_file longer(at("longer.txt"), "A\n840 version\nLISTING\nbody\n");
    int listing[] = {810, 840, 0};
    EXPECT_EQ(longer.reader.check_file(FILE_TYPE_TEXT, listing, "LIST", nullptr), 0);
    EXPECT_EQ(std::string(longer.reader.cur, 7), "LISTING");
    EXPECT_EQ(longer.reader.check_file(FILE_TYPE_TEXT, listing, nullptr, nullptr), 840);

    text_file newer(at("newer.txt"), "A\n850 version\n");
    EXPECT_EQ(newer.reader.check_file(FILE_TYPE_TEXT, listing, nullptr, nullptr), 0);
    int none[] = {0};
    EXPECT_EQ(longer.reader.check_file(FILE_TYPE_TEXT, none, nullptr, nullptr), 0);

    text_file blank_first(at("blank.txt"), " A\n840 version\n");
    EXPECT_EQ(blank_first.reader.check_file(FILE_TYPE_TEXT, listing, nullptr, nullptr), 0);
    text_file letter_only(at("letter.txt"), "A\n");
    int zero_too[] = {840, 0};
    EXPECT_EQ(letter_only.reader.check_file(FILE_TYPE_TEXT, zero_too, nullptr, nullptr), 0);

    // What ouf_open writes, check_file reads back.
    ASSERT_TRUE(ouf_open("round.txt", FILE_TYPE_TEXT, 8500, "no-copyright-string"));
    ouf << "key value\n";
    ouf.close();
    xmap_class round("round.txt");
    int prefs[] = {8500, 0};
    EXPECT_EQ(round.check_file(FILE_TYPE_TEXT, prefs, nullptr, nullptr), 8500);
    std::string word;
    round.TXT_str_scan_space(&word);
    EXPECT_EQ(word, "key");
}

TEST_F(FileHeader, BinaryHeaderSetsTheByteOrder)
{
    int versions[] = {8520, 0};
    text_file little(at("i.bin"), std::string("i\x48\x21\0\0rest", 9));
    EXPECT_EQ(little.reader.check_file(FILE_TYPE_BINARY, versions, nullptr, nullptr), 8520);
    EXPECT_EQ(little.reader.swap, 1);
    EXPECT_EQ(std::string(little.reader.cur, 4), "rest");

    text_file big(at("a.bin"), std::string("a\0\0\x21\x48", 5));
    EXPECT_EQ(big.reader.check_file(FILE_TYPE_BINARY, versions, nullptr, nullptr), 8520);
    EXPECT_EQ(big.reader.swap, 0);

    text_file short_one(at("s.bin"), std::string("a\0\x21", 3));
    int zero_version[] = {8520, 0};
    EXPECT_EQ(short_one.reader.check_file(FILE_TYPE_BINARY, zero_version, nullptr, nullptr), 0);

    text_file wrong(at("w.bin"), std::string("x\0\0\x21\x48", 5));
    EXPECT_EQ(wrong.reader.check_file(FILE_TYPE_BINARY, versions, nullptr, nullptr), 0);
}

TEST_F(FileHeader, IoFileOpenReadsAndWrites)
{
    int versions[] = {8500, 0};
    {
        xmap_class writer("");
        ASSERT_EQ(writer.io_file_open(1, "out.txt", versions, FILE_TYPE_TEXT), 1);
        EXPECT_EQ(writer.base, nullptr);
        ouf << "x\n";
        writer.io_file_close();
        EXPECT_FALSE(ouf.is_open());
    }
    EXPECT_EQ(read_file(at("out.txt")), "A\n8500 version\nx\n");

    xmap_class reader("");
    EXPECT_EQ(reader.io_file_open(0, "out.txt", versions, FILE_TYPE_TEXT), 1);
    int other[] = {9000, 0};
    EXPECT_EQ(reader.io_file_open(0, "out.txt", other, FILE_TYPE_TEXT), 0);
    EXPECT_NE(reader.base, nullptr);  // mapped although rejected
    reader.io_file_close();
    EXPECT_NE(reader.base, nullptr);
    EXPECT_EQ(reader.io_file_open(0, "missing.txt", versions, FILE_TYPE_TEXT), 0);
    EXPECT_EQ(reader.io_file_open(2, "out.txt", versions, FILE_TYPE_TEXT), 0);
}

using Tokenizers = FileTest;

TEST_F(Tokenizers, WordsLinesAndFields)
{
    text_file words(at("w"), "  tag value\rnext");
    std::string token;
    words.reader.TXT_str_scan_space(&token);
    EXPECT_EQ(token, "tag");
    EXPECT_EQ(*words.reader.cur, ' ');
    words.reader.TXT_str_scan_space(&token);
    EXPECT_EQ(token, "value");
    EXPECT_EQ(*words.reader.cur, '\r');
    words.reader.TXT_str_scan_space(&token);  // on a line end: nothing, no move
    EXPECT_EQ(token, "");
    EXPECT_EQ(*words.reader.cur, '\r');
    words.reader.TXT_prv_scan();
    words.reader.TXT_str_scan_space(&token);
    EXPECT_EQ(token, "next");
    EXPECT_EQ(words.reader.cur, words.reader.end);

    text_file lines(at("l"), "  a b  \r\n\r\n   next");
    lines.reader.TXT_str_scan_eoln(&token);
    EXPECT_EQ(token, "a b  ");
    EXPECT_EQ(*lines.reader.cur, 'n');
    lines.reader.TXT_str_scan_eoln(&token);
    EXPECT_EQ(token, "next");

    text_file fields(at("c"), " x y ,z");
    fields.reader.TXT_str_scan_comma(&token);
    EXPECT_EQ(token, "x y ");
    EXPECT_EQ(*fields.reader.cur, 'z');
    fields.reader.TXT_str_scan_comma(&token);
    EXPECT_EQ(token, "z");
    EXPECT_EQ(fields.reader.cur, fields.reader.end);

    text_file bytes(at("b"), "ab");
    EXPECT_EQ(bytes.reader.TXT_byt_scan(), 'a');
    EXPECT_EQ(bytes.reader.TXT_byt_scan(), 'b');
    EXPECT_EQ(bytes.reader.TXT_byt_scan(), 0);
}

TEST_F(Tokenizers, WordMatchNeverMatchesTheStartOfALongerWord)
{
    text_file line_end(at("m1"), "SERVER\nx");
    EXPECT_EQ(line_end.reader.TXT_str_scan_match("SERVER", 0), 0);
    EXPECT_EQ(line_end.reader.cur, line_end.reader.base);
    EXPECT_EQ(line_end.reader.TXT_str_scan_match("SERVER", 1), 1);
    EXPECT_EQ(*line_end.reader.cur, '\n');

    text_file blank(at("m2"), "  SERVER host");
    EXPECT_EQ(blank.reader.TXT_str_scan_match("SERVER", 0), 1);
    EXPECT_EQ(*blank.reader.cur, ' ');

    text_file longer(at("m3"), " FILES");
    EXPECT_EQ(longer.reader.TXT_str_scan_match("FILE", 1), 0);
    EXPECT_EQ(*longer.reader.cur, 'F');  // back after the skipped blank

    text_file at_end(at("m4"), "END");
    EXPECT_EQ(at_end.reader.TXT_str_scan_match("END", 0), 0);
    EXPECT_EQ(at_end.reader.TXT_str_scan_match("END", 1), 1);
}

TEST_F(Tokenizers, IntegersFollowTheDigitRule)
{
    text_file signs(at("i1"), "-+7 42\t12a -5 ,34 12,34");
    EXPECT_EQ(signs.reader.TXT_int_scan(), 7);
    EXPECT_EQ(signs.reader.TXT_int_scan(), 42);
    EXPECT_EQ(*signs.reader.cur, '\t');
    EXPECT_EQ(signs.reader.TXT_int_scan(), 169);
    EXPECT_EQ(signs.reader.TXT_uin_scan(), 5u);
    EXPECT_EQ(signs.reader.TXT_int_scan_stop(','), 0);  // starts with the stop
    EXPECT_EQ(*signs.reader.cur, '3');
    EXPECT_EQ(signs.reader.TXT_int_scan(), 34);
    EXPECT_EQ(signs.reader.TXT_int_scan_stop(','), 12);
    EXPECT_EQ(*signs.reader.cur, '3');
    EXPECT_EQ(signs.reader.TXT_int_scan(), 34);
    EXPECT_EQ(signs.reader.TXT_int_scan(), 0);

    text_file lone_plus(at("i2"), "+");
    EXPECT_EQ(lone_plus.reader.TXT_int_scan(), 0);

    // Overlong numbers wrap like 32-bit arithmetic instead of misbehaving.
    text_file huge(at("i3"), "99999999999999999999");
    int wrapped = huge.reader.TXT_int_scan();
    uint32_t expected = 0;
    for (int i = 0; i < 20; ++i)
        expected = expected * 10 + 9;
    EXPECT_EQ(wrapped, static_cast<int32_t>(expected));
}

TEST_F(Tokenizers, DecimalsAndScientificNumbers)
{
    text_file decimals(at("d"), "0.125 -1.25 3. .5 1-2 1e3 2.5");
    EXPECT_DOUBLE_EQ(decimals.reader.TXT_dob_scan(), 0.125);
    EXPECT_DOUBLE_EQ(decimals.reader.TXT_dob_scan(), -1.25);
    EXPECT_DOUBLE_EQ(decimals.reader.TXT_dob_scan(), 3.0);
    EXPECT_DOUBLE_EQ(decimals.reader.TXT_dob_scan(), 0.5);
    EXPECT_DOUBLE_EQ(decimals.reader.TXT_dob_scan(), -12.0);
    EXPECT_DOUBLE_EQ(decimals.reader.TXT_dob_scan(), 633.0);  // 1, e (53), 3: no exponent
    EXPECT_FLOAT_EQ(decimals.reader.TXT_flt_scan(), 2.5f);
    EXPECT_DOUBLE_EQ(decimals.reader.TXT_dob_scan(), 0.0);

    // Results are rounded to single precision.
    text_file tenth(at("t"), "0.1");
    EXPECT_EQ(tenth.reader.TXT_dob_scan(), static_cast<double>(0.1f));

    text_file science(at("s"), "2.5e3 1E-2 e5 -4.5E+1 7");
    EXPECT_FLOAT_EQ(static_cast<float>(science.reader.TXT_dob_scan_sci()), 2500.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(science.reader.TXT_dob_scan_sci()), 0.01f);
    EXPECT_DOUBLE_EQ(science.reader.TXT_dob_scan_sci(), 0.0);
    EXPECT_FLOAT_EQ(static_cast<float>(science.reader.TXT_dob_scan_sci()), -45.0f);
    EXPECT_DOUBLE_EQ(science.reader.TXT_dob_scan_sci(), 7.0);
}

TEST_F(Tokenizers, NothingMappedReadsNothing)
{
    xmap_class empty("");
    std::string token = "unchanged";
    EXPECT_EQ(empty.TXT_byt_scan(), 0);
    empty.TXT_prv_scan();
    empty.TXT_str_scan_space(&token);
    EXPECT_EQ(token, "");
    token = "unchanged";
    empty.TXT_str_scan_eoln(&token);
    EXPECT_EQ(token, "");
    empty.TXT_str_scan_comma(&token);
    EXPECT_EQ(token, "");
    EXPECT_EQ(empty.TXT_str_scan_match("X", 1), 0);
    EXPECT_EQ(empty.TXT_int_scan(), 0);
    EXPECT_EQ(empty.TXT_int_scan_stop(','), 0);
    EXPECT_EQ(empty.TXT_uin_scan(), 0u);
    EXPECT_EQ(empty.TXT_dob_scan(), 0.0);
    EXPECT_EQ(empty.TXT_dob_scan_sci(), 0.0);
    EXPECT_EQ(empty.cur, nullptr);
}
