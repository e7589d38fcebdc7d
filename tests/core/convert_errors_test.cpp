// Number and string conversions, and the error sentences.

#include "core/convert.h"
#include "core/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <set>

TEST(Conversions, NumbersToText)
{
    // Integers with a sign when asked and leading zeros up to ten digits.
    // clang-format off
    const std::tuple<int, int, int, const char*> integers[] = {
        {7, 3, 0, "007"}, {-42, 0, 1, "-42"}, {42, 0, 1, "+42"}, {0, 0, 0, "0"}, {0, 0, 1, "+0"},
        {5, 12, 0, "0000000005"}, {123456, 2, 0, "123456"}, {INT_MAX, 0, 1, "+2147483647"},
        {INT_MIN, 0, 0, "-2147483648"}};
    // clang-format on
    for (const auto& [value, min_digits, plus, text] : integers) {
        char buffer[12];
        int_to_str(value, buffer, min_digits, plus);
        EXPECT_STREQ(buffer, text) << value;
    }

    // Floats are truncated, not rounded; beyond the int range the integer part saturates; no
    // decimals below zero leaves the text alone.
    const std::tuple<float, int, int, const char*> floats[] = {
        {12.34f, 2, 1, "12.3"}, {3.0f, 3, 2, "3.00"},       {-2.75f, 1, 1, "-2.7"},      {-0.5f, 1, 1, "-0.5"},
        {9.99f, 4, 0, "0009"},  {1.5f, 1, -1, "unchanged"}, {1e20f, 0, 0, "2147483647"}, {-1e20f, 0, 0, "-2147483648"},
    };
    for (const auto& [value, digits, decimals, text] : floats) {
        std::string out = "unchanged";
        flt_to_str(value, &out, digits, decimals);
        EXPECT_EQ(out, text) << value;
    }

    // Scenery tile names; nonsense in, 19 characters out.
    // clang-format off
    const std::tuple<int, int, const char*> tiles[] = {
        {41, -73, "+40-080/+41-073.dsf"}, {-1, -1, "-10-010/-01-001.dsf"}, {0, 0, "+00+000/+00+000.dsf"},
        {-90, 179, "-90+170/-90+179.dsf"}};
    // clang-format on
    std::string out;
    for (const auto& [latitude, longitude, name] : tiles) {
        return_latlon_str_dsf(latitude, longitude, &out);
        EXPECT_EQ(out, name);
    }
    return_latlon_str_dsf(INT_MIN, INT_MAX, &out);
    EXPECT_EQ(out.size(), 19u);
}

TEST(Conversions, TextToNumbers)
{
    const std::pair<const char*, int> decimals[] = {
        {"", -1},     {"12a", -1},        {"-", -1},   {"+7", 7},
        {"-12", -12}, {"1234567890", -1}, {"1-2", 92}, {"123456789", 123456789}};
    for (const auto& [text, value] : decimals)
        EXPECT_EQ(str_to_int(text), value) << text;

    // Numbers pack into two non-zero bytes each; a text starting with '-' or '=' stays as it is,
    // and a negative number packs nothing.
    // clang-format off
    const std::pair<const char*, std::string> packed[] = {
        {" 1 200", std::string("\x01\x02\x02\x4a", 4)}, {"1000", std::string("\x01\x65\x01\x01", 4)},
        {"999", std::string("\x08\x6f", 2)}, {"", ""}, {"-1 2", "-1 2"}, {"=3", "=3"},
        {"1 -5 2", std::string("\x01\x02\x01\x03", 4)}};
    // clang-format on
    for (const auto& [text, bytes] : packed) {
        std::string in = text;
        char_string_to_int_string(&in);
        EXPECT_EQ(in, bytes) << text;
    }
}

TEST(ErrorMessages, EveryEntryIsThereOnceAndSaysWhatHappened)
{
    std::set<int> codes;
    int count = 0;
    for (const error_message* entry = kErrMsgs; entry->message != nullptr; ++entry, ++count)
        codes.insert(entry->code);
    EXPECT_EQ(count, 79);
    EXPECT_EQ(codes.size(), 79u);
    EXPECT_EQ(kErrMsgs[79].code, 0);

    // Our own, the file services' and the system's codes; Linux numbers the last differently
    // from the original's system.
    const std::pair<int, const char*> messages[] = {
        {20001, "We were unable to open a zip file.  It may be missing or damaged"},
        {20012, "Part of the downloaded zip file is corrupted (the resource fork header is bad)"},
        {-48, "duplicate file name"},
        {ENOSPC, "No space left on device.  Perhaps your hard drive is full"},
        {EDEADLK, "Resource deadlock avoided"},
        {ENOLCK, "No locks available"},
        {0, "Unknown error occurred (0)"},
        {20013, "Unknown error occurred (20013)"},
        {INT_MIN, "Unknown error occurred (-2147483648)"},
    };
    for (const auto& [code, message] : messages)
        EXPECT_EQ(error_str(code), message) << code;
}
