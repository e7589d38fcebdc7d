#include "core/tokens.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace {

bool is_blank(char c)
{
    return c == '\t' || c == ' ';
}
bool is_line_end(char c)
{
    return c == '\0' || c == '\r' || c == '\n';
}
bool is_terminator(char c)
{
    return is_blank(c) || is_line_end(c);
}

uint32_t digit_value(char c)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(c) - '0');
}

// 10^power in double precision, then rounded to single precision.
double scaled(double value, int power)
{
    double exact = value / std::pow(10.0, power);
    if (std::fabs(exact) > FLT_MAX)  // beyond float: infinity, as the hardware rounds
        return std::copysign(static_cast<double>(INFINITY), exact);
    return static_cast<float>(exact);
}

// The digits of a number up to its end (or its exponent mark), each sign
// character setting the sign wherever it stands, as the readers always took
// them; `decimals` counts the digits after the point.
double scan_mantissa(const char*& cur, const char* end, bool stop_at_exponent, int& decimals)
{
    double value = 0.0;
    double sign = 1.0;
    bool point = false;
    decimals = 0;
    while (cur != end && !is_terminator(*cur) && !(stop_at_exponent && (*cur == 'e' || *cur == 'E'))) {
        char c = *cur++;
        if (c == '-')
            sign = -1.0;
        else if (c == '+')
            sign = 1.0;
        else if (c == '.')
            point = true;
        else {
            value = value * 10.0 + static_cast<double>(static_cast<int>(static_cast<unsigned char>(c)) - '0');
            if (point)
                ++decimals;
        }
    }
    return sign * value;
}

}  // namespace

char xmap_class::TXT_byt_scan()
{
    if (cur == end)
        return 0;
    return *cur++;
}

void xmap_class::TXT_prv_scan()
{
    while (cur != end && is_terminator(*cur))
        ++cur;
}

void xmap_class::TXT_str_scan_space(std::string* out)
{
    while (cur != end && is_blank(*cur))
        ++cur;
    const char* start = cur;
    while (cur != end && !is_terminator(*cur))
        ++cur;
    if (out)
        out->assign(start, static_cast<size_t>(cur - start));
}

void xmap_class::TXT_str_scan_eoln(std::string* out)
{
    while (cur != end && is_blank(*cur))
        ++cur;
    const char* start = cur;
    while (cur != end && !is_line_end(*cur))
        ++cur;
    if (out)
        out->assign(start, static_cast<size_t>(cur - start));
    while (cur != end && is_terminator(*cur))
        ++cur;
}

void xmap_class::TXT_str_scan_comma(std::string* out)
{
    while (cur != end && is_blank(*cur))
        ++cur;
    const char* start = cur;
    while (cur != end && *cur != ',' && !is_line_end(*cur))
        ++cur;
    if (out)
        out->assign(start, static_cast<size_t>(cur - start));
    if (cur != end)
        ++cur;
}

int xmap_class::TXT_str_scan_match(const char* word, int eol_ok)
{
    while (cur != end && is_blank(*cur))
        ++cur;
    const char* mark = cur;
    const char* letter = word ? word : "";
    while (*letter != '\0' && cur != end && *cur == *letter) {
        ++cur;
        ++letter;
    }
    if (*letter == '\0') {
        if (cur != end && is_blank(*cur))
            return 1;
        if (eol_ok && (cur == end || is_line_end(*cur)))
            return 1;
    }
    cur = mark;
    return 0;
}

int xmap_class::TXT_int_scan()
{
    return TXT_int_scan_stop('\t');
}

int xmap_class::TXT_int_scan_stop(char stop)
{
    while (cur != end && is_blank(*cur))
        ++cur;
    if (cur == end)
        return 0;
    int sign = 1;
    if (*cur == '-') {
        sign = -1;
        if (++cur == end)
            return 0;
    }
    if (*cur == '+') {
        sign = 1;
        if (++cur == end)
            return 0;
    }
    // Unsigned arithmetic wraps as the 32-bit original did, without overflow.
    uint32_t value = 0;
    while (cur != end && !is_terminator(*cur) && *cur != stop)
        value = value * 10 + digit_value(*cur++);
    if (cur != end && *cur == stop && !is_terminator(stop))
        ++cur;
    return static_cast<int32_t>(value * static_cast<uint32_t>(sign));
}

unsigned int xmap_class::TXT_uin_scan()
{
    while (cur != end && is_blank(*cur))
        ++cur;
    if (cur == end)
        return 0;
    if (*cur == '-' && ++cur == end)
        return 0;
    if (*cur == '+' && ++cur == end)
        return 0;
    uint32_t value = 0;
    while (cur != end && !is_terminator(*cur))
        value = value * 10 + digit_value(*cur++);
    return value;
}

double xmap_class::TXT_dob_scan()
{
    while (cur != end && is_blank(*cur))
        ++cur;
    if (cur == end)
        return 0.0;
    int decimals = 0;
    const double value = scan_mantissa(cur, end, false, decimals);
    return scaled(value, decimals);
}

float xmap_class::TXT_flt_scan()
{
    return static_cast<float>(TXT_dob_scan());
}

double xmap_class::TXT_dob_scan_sci()
{
    while (cur != end && is_blank(*cur))
        ++cur;
    if (cur == end)
        return 0.0;
    int decimals = 0;
    const double value = scan_mantissa(cur, end, true, decimals);
    int exponent = 0;
    if (cur != end && (*cur == 'e' || *cur == 'E')) {
        ++cur;
        while (cur != end && is_blank(*cur))
            ++cur;
        int exponent_sign = 1;
        if (cur != end && *cur == '-') {
            exponent_sign = -1;
            ++cur;
        }
        if (cur != end && *cur == '+') {
            exponent_sign = 1;
            ++cur;
        }
        uint32_t digits = 0;
        while (cur != end && !is_terminator(*cur))
            digits = digits * 10 + digit_value(*cur++);
        exponent = static_cast<int32_t>(digits * static_cast<uint32_t>(exponent_sign));
    }
    return scaled(value, decimals - exponent);
}
