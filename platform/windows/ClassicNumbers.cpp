#include "common/text/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

// The C runtime of this platform reads numbers in the user's locale and
// knows neither "inf"/"nan" nor hexadecimal floating point, so the standard
// library's locale-independent conversion reads them here, with the C
// runtime's rules around it: an optional sign, "0x" before a hexadecimal
// number, the infinity for a number too large and zero for one too small.

namespace Common {

namespace {

bool isDigit(char c, bool hex)
{
    return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

// Whether the number in [begin, end) (digits, point, exponent; no sign, no
// "0x") lies above 1 in magnitude: decides between overflow and underflow
// when it lies outside the range of a double.
bool isLarge(const char* begin, const char* end, bool hex)
{
    long long position = 0;  // digits before the point, or minus zeros after it
    bool seenPoint = false;
    bool seenNonZero = false;
    const char* p = begin;
    for (; p < end && (isDigit(*p, hex) || *p == '.'); ++p) {
        if (*p == '.') {
            seenPoint = true;
        } else if (!seenNonZero && *p == '0') {
            if (seenPoint) {
                --position;
            }
        } else {
            seenNonZero = true;
            if (!seenPoint) {
                ++position;
            }
        }
    }
    long long exponent = 0;
    if (p < end) {
        ++p;  // 'e' or 'p'
        const bool negative = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+')) {
            ++p;
        }
        for (; p < end && *p >= '0' && *p <= '9'; ++p) {
            exponent = std::min<long long>(exponent * 10 + (*p - '0'), 1LL << 40);
        }
        exponent = negative ? -exponent : exponent;
    }
    // A binary exponent counts in bits, hexadecimal digits in four bits.
    return (hex ? position * 4 : position) + exponent > 0;
}

}  // namespace

double parseClassicDouble(const std::string& text)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* p = begin;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) {
        ++p;
    }
    std::chars_format format = std::chars_format::general;
    bool hex = false;
    if (end - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        (isDigit(p[2], true) || (p[2] == '.' && end - p > 3 && isDigit(p[3], true)))) {
        p += 2;
        format = std::chars_format::hex;
        hex = true;
    }
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(p, end, value, format);
    if (result.ec == std::errc::result_out_of_range) {
        value = isLarge(p, result.ptr, hex) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

}  // namespace Common
