#include "common/text/Numbers.h"

#include <locale.h>

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

}  // namespace

double parseClassicDouble(const std::string& text)
{
    return strtod_l(text.c_str(), nullptr, classicLocale());
}

}  // namespace Common
