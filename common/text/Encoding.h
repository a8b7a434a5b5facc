#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace Common {

// Conversions at the edges of the programs (files, terminal, JSON). Inside,
// texts are wide strings.
// A value that is no Unicode scalar value (lone surrogate, beyond U+10FFFF)
// becomes U+FFFD.
std::string toUtf8(std::wstring_view text);
// Invalid sequences become U+FFFD.
std::wstring fromUtf8(std::string_view bytes);
// Empty result when the bytes are not valid UTF-8.
std::optional<std::wstring> fromUtf8Strict(std::string_view bytes);

// UTF-16 little-endian bytes (the registry's own text form). Unpaired
// surrogates and values beyond U+10FFFF become U+FFFD either way.
std::string toUtf16Le(std::wstring_view text);
std::wstring fromUtf16Le(std::string_view bytes);

// Code page 932 (Shift-JIS as Windows writes it). A character that the code
// page cannot represent is written as an XML character reference with
// upper-case hexadecimal digits (U+1F600 becomes "&#x1F600;"); a value that
// is no Unicode scalar value (a lone surrogate, beyond U+10FFFF) is written
// as "&#xFFFD;", since a reference to it would make the XML ill-formed.
std::string toCp932WithReferences(std::wstring_view text);
// The same, appended to `out` (a writer's reused buffer).
void appendCp932WithReferences(std::wstring_view text, std::string& out);
// Empty result when the bytes are not valid code page 932.
std::optional<std::wstring> fromCp932(std::string_view bytes);

// Whole texts handed to the XML parser as UTF-8.
enum class SourceCharset { Cp932, Utf16Le, Utf16Be };
// Converts `bytes` to UTF-8. False when they do not decode, with `failedAt`
// the offset of the first byte that does not (std::string::npos when the
// system has no converter for the character set).
bool convertToUtf8(SourceCharset from, std::string_view bytes, std::string& out, std::size_t& failedAt);

// The locale's character set (the user's "ANSI code page"): on POSIX the
// code set of the current LC_CTYPE locale, so it follows whatever the
// program's start-up set with setlocale (in the "C" locale that is ASCII);
// on Windows the ANSI code page. Empty result when the bytes do not decode.
std::optional<std::wstring> fromLocaleCharset(std::string_view bytes);
// The name of that character set as the system calls it ("" when unknown),
// for messages.
std::string localeCharsetName();

// A text file in the "ANSI code page" (ini file, fitting table): UTF-8 when
// it begins with a UTF-8 byte order mark (the mark is dropped), otherwise the
// locale's character set. Empty result when the bytes do not decode.
std::optional<std::wstring> fromAnsiFile(std::string_view bytes);
// The same, but every byte that does not decode becomes U+FFFD, so that one
// bad byte does not cost the rest of the file.
std::wstring fromAnsiFileReplacing(std::string_view bytes);

}  // namespace Common
