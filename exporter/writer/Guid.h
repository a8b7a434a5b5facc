#pragma once

#include <string>
#include <string_view>

namespace Exporter {

// A new random (version 4) identifier in the registry form without braces:
// 8-4-4-4-12 upper-case hexadecimal digits, held in place.
class ElementId {
public:
    ElementId();
    std::wstring_view text() const { return {text_, kLength}; }

private:
    static constexpr std::size_t kLength = 36;
    wchar_t text_[kLength];
};

inline std::wstring newElementId()
{
    return std::wstring(ElementId().text());
}

}  // namespace Exporter
