#include "core/convert.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace {

constexpr int int_digits_max = 10;

// '0'..'9' their value, '+' 1, '-' -1, anything else 0.
int digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c == '+')
        return 1;
    if (c == '-')
        return -1;
    return 0;
}

// Writes the digits of a magnitude; the most negative int has one too.
char* write_magnitude(uint32_t magnitude, char* at, int min_digits)
{
    uint32_t place = 1000000000u;
    for (int position = int_digits_max; position >= 2; --position, place /= 10)
        if (magnitude >= place || min_digits >= position)
            *at++ = static_cast<char>('0' + magnitude / place % 10);
    *at++ = static_cast<char>('0' + magnitude % 10);
    *at = '\0';
    return at;
}

// The magnitude of a value truncated toward zero, saturated at the int
// range (2147483647 up, 2147483648 down); NaN gives 0.
uint32_t truncated_magnitude(double value)
{
    if (!(value == value))
        return 0;
    double limit = value < 0 ? 2147483648.0 : 2147483647.0;
    double magnitude = std::trunc(std::fabs(value));
    if (magnitude >= limit)
        return static_cast<uint32_t>(limit);
    return static_cast<uint32_t>(magnitude);
}

char digit_char(int64_t value)
{
    return value > 9 ? '0' : static_cast<char>('0' + value);
}

void write_corner(int64_t latitude, int64_t longitude, std::string* out)
{
    int64_t lat = latitude < 0 ? -latitude : latitude;
    int64_t lon = longitude < 0 ? -longitude : longitude;
    *out += latitude < 0 ? '-' : '+';
    *out += digit_char(lat / 10);
    *out += digit_char(lat % 10);
    *out += longitude < 0 ? '-' : '+';
    *out += digit_char(lon / 100);
    *out += digit_char(lon / 10 % 10);
    *out += digit_char(lon % 10);
}

}  // namespace

void int_to_str(int value, char* buffer, int min_digits, int plus_flag)
{
    char* at = buffer;
    uint32_t magnitude;
    if (value < 0) {
        *at++ = '-';
        magnitude = 0u - static_cast<uint32_t>(value);
    } else {
        if (plus_flag)
            *at++ = '+';
        magnitude = static_cast<uint32_t>(value);
    }
    write_magnitude(magnitude, at, min_digits);
}

void flt_to_str(float value, std::string* out, int digits, int decimals)
{
    if (decimals < 0)
        return;
    double whole = std::trunc(static_cast<double>(value));
    char text[16];
    write_magnitude(truncated_magnitude(whole), text, digits - decimals);
    std::string result = value < 0 ? "-" : "";
    result += text;
    if (decimals > 0) {
        float fraction = (value - static_cast<float>(whole)) * std::pow(10.0f, static_cast<float>(decimals));
        write_magnitude(truncated_magnitude(fraction), text, decimals);
        result += ".";
        result += text;
    }
    *out = result;
}

int str_to_int(const std::string& text)
{
    if (text.empty())
        return -1;
    for (char c : text)
        if (!(c >= '0' && c <= '9') && c != '+' && c != '-')
            return -1;
    int sign = 1;
    size_t start = 0;
    if (text[0] == '-') {
        sign = -1;
        start = 1;
    } else if (text[0] == '+') {
        start = 1;
    }
    size_t count = text.size() - start;
    if (count < 1 || count > 9)
        return -1;
    int value = 0;
    for (size_t i = start; i < text.size(); ++i)
        value = value * 10 + digit_value(text[i]);
    return sign * value;
}

void char_string_to_int_string(std::string* text)
{
    if (text->empty() || (*text)[0] == '-' || (*text)[0] == '=')
        return;
    std::string packed;
    size_t at = 0;
    for (;;) {
        while (at < text->size() && (*text)[at] == ' ')
            ++at;
        if (at >= text->size())
            break;
        int value = 0;
        for (int taken = 0; taken < 3 && at < text->size() && (*text)[at] != ' '; ++taken)
            value = value * 10 + digit_value((*text)[at++]);
        if (value >= 0) {
            packed += static_cast<char>(value / 127 + 1);
            packed += static_cast<char>(value % 127 + 1);
        }
    }
    *text = packed;
}

void return_latlon_str_dsf(int latitude, int longitude, std::string* out)
{
    int64_t lat = latitude;
    int64_t lon = longitude;
    int64_t block_lat = (lat + 90) / 10 * 10 - 90;
    int64_t block_lon = (lon + 180) / 10 * 10 - 180;
    std::string path;
    write_corner(block_lat, block_lon, &path);
    path += '/';
    write_corner(lat, lon, &path);
    path += ".dsf";
    *out = path;
}
