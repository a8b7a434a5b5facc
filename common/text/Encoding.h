#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Common {

// Conversions at the edges of the programs (files, terminal, JSON). Inside,
// texts are wide strings.
std::string toUtf8(std::wstring_view text);
// Invalid sequences become U+FFFD.
std::wstring fromUtf8(std::string_view bytes);

// Code page 932 (Shift-JIS as Windows writes it). A character that the code
// page cannot represent is written as an XML character reference (&#x...;).
std::string toCp932WithReferences(std::wstring_view text);
// Empty result when the bytes are not valid code page 932.
std::optional<std::wstring> fromCp932(std::string_view bytes);

// The locale's character set (the "ANSI code page" on this platform); empty
// result when the bytes do not decode.
std::optional<std::wstring> fromLocaleCharset(std::string_view bytes);

}  // namespace Common
