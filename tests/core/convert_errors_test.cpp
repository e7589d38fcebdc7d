// Number and string conversions, and the error sentences.

#include "core/convert.h"
#include "core/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <set>

namespace {

std::string int_text(int value, int min_digits, int plus)
{
    char buffer[12];
    int_to_str(value, buffer, min_digits, plus);
    return buffer;
}

std::string flt_text(float value, int digits, int decimals)
{
    std::string out = "unchanged";
    flt_to_str(value, &out, digits, decimals);
    return out;
}

}  // namespace

TEST(Conversions, IntegersWithSignsAndLeadingZeros)
{
    EXPECT_EQ(int_text(7, 3, 0), "007");
    EXPECT_EQ(int_text(-42, 0, 1), "-42");
    EXPECT_EQ(int_text(42, 0, 1), "+42");
    EXPECT_EQ(int_text(0, 0, 0), "0");
    EXPECT_EQ(int_text(0, 0, 1), "+0");
    EXPECT_EQ(int_text(5, 12, 0), "0000000005");
    EXPECT_EQ(int_text(123456, 2, 0), "123456");
    EXPECT_EQ(int_text(INT_MAX, 0, 1), "+2147483647");
    EXPECT_EQ(int_text(INT_MIN, 0, 0), "-2147483648");
}

TEST(Conversions, FloatsAreTruncatedNotRounded)
{
    EXPECT_EQ(flt_text(12.34f, 2, 1), "12.3");
    EXPECT_EQ(flt_text(3.0f, 3, 2), "3.00");
    EXPECT_EQ(flt_text(-2.75f, 1, 1), "-2.7");
    EXPECT_EQ(flt_text(-0.5f, 1, 1), "-0.5");
    EXPECT_EQ(flt_text(9.99f, 4, 0), "0009");
    EXPECT_EQ(flt_text(1.5f, 1, -1), "unchanged");
    // Beyond the int range the integer part saturates.
    EXPECT_EQ(flt_text(1e20f, 0, 0), "2147483647");
    EXPECT_EQ(flt_text(-1e20f, 0, 0), "-2147483648");
}

TEST(Conversions, ShortSignedDecimals)
{
    EXPECT_EQ(str_to_int(""), -1);
    EXPECT_EQ(str_to_int("12a"), -1);
    EXPECT_EQ(str_to_int("-"), -1);
    EXPECT_EQ(str_to_int("+7"), 7);
    EXPECT_EQ(str_to_int("-12"), -12);
    EXPECT_EQ(str_to_int("1234567890"), -1);
    EXPECT_EQ(str_to_int("123456789"), 123456789);
    EXPECT_EQ(str_to_int("1-2"), 92);
}

TEST(Conversions, NumbersPackIntoTwoNonZeroBytes)
{
    std::string text = " 1 200";
    char_string_to_int_string(&text);
    EXPECT_EQ(text, std::string("\x01\x02\x02\x4a", 4));

    text = "1000";
    char_string_to_int_string(&text);
    EXPECT_EQ(text, std::string("\x01\x65\x01\x01", 4));

    text = "999";
    char_string_to_int_string(&text);
    EXPECT_EQ(text, std::string("\x08\x6f", 2));
    EXPECT_EQ(text.find('\0'), std::string::npos);

    for (const char* kept : {"", "-1 2", "=3"}) {
        text = kept;
        char_string_to_int_string(&text);
        EXPECT_EQ(text, kept);
    }
    text = "1 -5 2";  // a negative number packs nothing
    char_string_to_int_string(&text);
    EXPECT_EQ(text, std::string("\x01\x02\x01\x03", 4));
}

TEST(Conversions, SceneryTileNames)
{
    std::string out;
    return_latlon_str_dsf(41, -73, &out);
    EXPECT_EQ(out, "+40-080/+41-073.dsf");
    return_latlon_str_dsf(-1, -1, &out);
    EXPECT_EQ(out, "-10-010/-01-001.dsf");
    return_latlon_str_dsf(0, 0, &out);
    EXPECT_EQ(out, "+00+000/+00+000.dsf");
    return_latlon_str_dsf(-90, 179, &out);
    EXPECT_EQ(out, "-90+170/-90+179.dsf");
    return_latlon_str_dsf(INT_MIN, INT_MAX, &out);  // nonsense in, 19 characters out
    EXPECT_EQ(out.size(), 19u);
}

TEST(ErrorMessages, EveryEntryIsThereOnce)
{
    std::set<int> codes;
    int count = 0;
    for (const error_message* entry = kErrMsgs; entry->message != nullptr; ++entry, ++count)
        codes.insert(entry->code);
    EXPECT_EQ(count, 79);
    EXPECT_EQ(codes.size(), 79u);
    EXPECT_EQ(kErrMsgs[79].code, 0);
    EXPECT_EQ(kErrMsgs[79].message, nullptr);
}

TEST(ErrorMessages, OwnSystemAndFileServiceCodes)
{
    EXPECT_EQ(error_str(20001), "We were unable to open a zip file.  It may be missing or damaged");
    EXPECT_EQ(error_str(20007), "We were unable to connct to the network due to an internal reconnect error");
    EXPECT_EQ(error_str(20012), "Part of the downloaded zip file is corrupted (the resource fork header is bad)");
    EXPECT_EQ(error_str(-48), "duplicate file name");
    EXPECT_EQ(error_str(-5000), "You have insufficient privileges for this operation");
    EXPECT_EQ(error_str(ENOSPC), "No space left on device.  Perhaps your hard drive is full");
    // Linux numbers these differently from the original's system.
    EXPECT_EQ(error_str(ENOTEMPTY), "Directory not empty");
    EXPECT_EQ(error_str(EAGAIN), "Resource temporarily unavailable");
    EXPECT_EQ(error_str(EDEADLK), "Resource deadlock avoided");
    EXPECT_EQ(error_str(ENAMETOOLONG), "File name too long");
    EXPECT_EQ(error_str(ENOLCK), "No locks available");
    EXPECT_EQ(error_str(ENOSYS), "Function not implemented");
    EXPECT_EQ(error_str(EILSEQ), "Wide character encoding error");
    EXPECT_EQ(error_str(0), "Unknown error occurred (0)");
    EXPECT_EQ(error_str(20013), "Unknown error occurred (20013)");
    EXPECT_EQ(error_str(-1), "Unknown error occurred (-1)");
    EXPECT_EQ(error_str(INT_MIN), "Unknown error occurred (-2147483648)");
}
