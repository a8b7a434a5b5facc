#pragma once

#include <cstddef>
#include <string_view>

namespace Common {

// The longest text (element content or attribute value, after references
// are resolved) a CEDXM reader accepts, in bytes of UTF-8. The exporter
// never writes a longer one, so that every file it writes reads back.
constexpr std::size_t kMaxXmlTextBytes = 10'000'000;

// Bytes of `text` in UTF-8; a value that is no Unicode scalar value counts
// as the U+FFFD it is written as.
inline std::size_t utf8Length(std::wstring_view text)
{
    std::size_t n = 0;
    for (const wchar_t c : text) {
        const auto u = static_cast<unsigned long>(c);
        if (u < 0x80) {
            n += 1;
        } else if (u < 0x800) {
            n += 2;
        } else if (u < 0x10000 || u > 0x10FFFF) {
            n += 3;
        } else {
            n += 4;
        }
    }
    return n;
}

}  // namespace Common
