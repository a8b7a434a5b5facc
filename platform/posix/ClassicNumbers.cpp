#include "common/text/Numbers.h"

#include <locale.h>

#include <charconv>
#include <cstdlib>

namespace Common {

namespace {

// The "C" locale, so that "." is the decimal separator even when the user's
// locale (set at start-up) writes numbers with a comma.
locale_t classicLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Whether the text is a plain decimal number: an optional minus, digits, and
// optionally a point and more digits, short enough that it can neither
// overflow nor underflow. Most numbers of a CEDXM file are such.
bool isPlainDecimal(const std::string& text)
{
    if (text.size() > 24) {
        return false;
    }
    std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    const std::size_t digitsFrom = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
    }
    if (i == digitsFrom) {
        return false;
    }
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionFrom = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
        if (i == fractionFrom) {
            return false;
        }
    }
    return i == text.size();
}

}  // namespace

double parseClassicDouble(const std::string& text)
{
    // Both conversions round correctly, so a plain decimal number reads the
    // same through either; the locale-free one costs far less.
    if (isPlainDecimal(text)) {
        double value = 0.0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error == std::errc() && end == text.data() + text.size()) {
            return value;
        }
    }
    return strtod_l(text.c_str(), nullptr, classicLocale());
}

}  // namespace Common
