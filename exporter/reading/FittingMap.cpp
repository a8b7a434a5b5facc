#include "exporter/reading/FittingMap.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <iostream>
#include <vector>

#include "common/fitting/FittingCsv.h"
#include "common/text/Encoding.h"

namespace Exporter {

namespace {

std::wstring lowerCased(std::wstring text)
{
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    }
    return text;
}

bool namesAPartFile(const std::wstring& field)
{
    return field.find_first_of(L"/\\") != std::wstring::npos;
}

// The key as UTF-16 code units: the table's order is the order of these, which
// differs from the order of wide characters here for characters beyond the
// basic plane (their surrogates sort below U+E000..U+FFFF).
std::u16string utf16Units(const std::wstring& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (const wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF) {
            c = 0xFFFD;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

}  // namespace

void loadExportFittingMap(ExportModel& model, const std::wstring& csvPath)
{
    std::wstring problem;
    const std::vector<Common::CsvRow> rows = Common::readFittingCsv(csvPath, &problem);
    if (!problem.empty()) {
        std::cerr << "DM2CDX: " << Common::toUtf8(problem) << "\n";
    }
    for (const Common::CsvRow& row : rows) {
        if (row.size() < 2 || !namesAPartFile(row[0])) {
            continue;
        }
        // The first row for a key wins.
        model.fittingTable.emplace(lowerCased(row[0]), row[1]);
    }
}

std::wstring lookupModelNumber(const ExportModel& model, const std::wstring& fittingName)
{
    std::wstring name = lowerCased(fittingName);
    const std::size_t doubled = name.find(L"\\\\");
    if (doubled != std::wstring::npos) {
        name.erase(doubled, 1);
    }

    // The first key, in table order, found anywhere in the name gives the
    // model number, so a shorter key that sorts first shadows a longer one.
    const auto beyondBasicPlane = [](const std::wstring& key) {
        // Where wide characters are 16 bits they are UTF-16 units already
        // and never lie beyond the plane.
        return std::any_of(key.begin(), key.end(), [](wchar_t c) { return (static_cast<std::uint32_t>(c) >> 16) != 0; });
    };
    const bool reorder = std::any_of(model.fittingTable.begin(), model.fittingTable.end(),
                                     [&](const auto& item) { return beyondBasicPlane(item.first); });
    if (!reorder) {
        // Without such characters the wide-character order is the table's.
        for (const auto& [key, modelNumber] : model.fittingTable) {
            if (name.find(key) != std::wstring::npos) {
                return modelNumber;
            }
        }
        return {};
    }

    struct Entry {
        std::u16string order;
        const std::pair<const std::wstring, std::wstring>* item;
    };
    std::vector<Entry> entries;
    entries.reserve(model.fittingTable.size());
    for (const auto& item : model.fittingTable) {
        entries.push_back(Entry{utf16Units(item.first), &item});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.order < b.order; });
    for (const Entry& entry : entries) {
        if (name.find(entry.item->first) != std::wstring::npos) {
            return entry.item->second;
        }
    }
    return {};
}

}  // namespace Exporter
