#pragma once

#include <optional>
#include <string>
#include <string_view>

// Inside the programs a path is text, held as UTF-8. The system calls take
// the bytes that the user's locale (LC_CTYPE) spells that text with, so that
// a name typed under a Shift-JIS locale is opened as those very bytes and a
// name the programs make (a storey's SVG file, a temporary file) is spelled
// as the user's other files are. Under a UTF-8 locale the text is the bytes;
// so it is in the "C" locale, whose ASCII could not spell a Japanese name at
// all.

namespace Platform {

// Whether the locale spells paths in UTF-8 (nothing to convert).
bool pathsAreUtf8();

// The bytes of the path text for the system calls; empty when the locale's
// character set cannot spell one of its characters.
std::optional<std::string> pathBytes(std::string_view text);

// The text (UTF-8) of a path given as bytes (an argument, an environment
// variable, a link read); empty when the bytes are not text in the locale's
// character set, or when that text would not be spelled as the same bytes
// again (the file opened would not be the one named).
std::optional<std::string> pathTextOf(std::string_view bytes);

// Why a path text cannot be used: for messages after pathBytes failed.
std::string unspellablePathReason();

}  // namespace Platform
