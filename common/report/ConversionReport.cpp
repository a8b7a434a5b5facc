#include "common/report/ConversionReport.h"

#include <cmath>
#include <cstdio>

namespace Common {

namespace {

std::wstring plural(long long n, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

}  // namespace

std::wstring reportLength(double mm)
{
    // A length that rounds to zero is 0.0, never "-0.0".
    if (std::fabs(mm) < 0.05) {
        mm = 0.0;
    }
    char text[400];
    std::snprintf(text, sizeof text, "%.1f", mm);
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

std::wstring ConversionReport::summary(bool written) const
{
    const bool export_ = program == L"DM2CDX";
    std::wstring text = program + (export_ ? L" wrote " : L" built ");
    StoreyCounts all;
    for (const auto& [storey, c] : counts) {
        all.rooms += c.rooms;
        all.walls += c.walls;
        all.exteriorLines += c.exteriorLines;
        all.openings += c.openings;
        all.stairs += c.stairs;
        all.roofs += c.roofs;
    }
    text += plural(all.rooms, L"room", L"rooms") + L", " + plural(all.walls, L"wall", L"walls") + L", " +
            plural(all.exteriorLines, L"exterior line", L"exterior lines") + L", " +
            plural(all.openings, L"opening", L"openings") + L", " + plural(all.stairs, L"stair", L"stairs") +
            L" and " + plural(all.roofs, L"roof", L"roofs") + L" on " +
            plural(static_cast<long long>(counts.size()), L"storey", L"storeys") +
            (export_ ? L" to " : L" from ") + file + L". ";
    if (leftOut.empty() && changed.empty()) {
        return text + L"Nothing was left out or changed.";
    }
    text += plural(static_cast<long long>(leftOut.size()), L"record was", L"records were") +
            (export_ ? L" not written" : L" not built") + L" and " +
            plural(static_cast<long long>(changed.size()), L"value was", L"values were") +
            (written ? L" changed; the report lists each with its reason."
                     : L" changed; --report FILE.json lists each with its reason.");
    return text;
}

}  // namespace Common
