#pragma once

#include <cwctype>
#include <string_view>

namespace Common {

// Case-insensitive comparison of names (ini sections and keys, registry keys
// and values), character by character.
inline bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace Common
