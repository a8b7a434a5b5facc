#pragma once

#include <string>

namespace Common {

// Reads one text value of an ini file with the profile semantics: section and
// key names compare case-insensitively, the value is trimmed and stripped of
// one pair of surrounding quotes, and at most 1023 characters are used. A
// missing file, section or key gives the empty text. Lines starting with ';'
// are comments; only the first section of a name and the first occurrence of
// a key in it count. The file is in the locale's character set, or UTF-8 when
// it begins with a UTF-8 byte order mark; undecodable bytes become U+FFFD.
// A file too large to be an ini file (over 16 MiB) counts as missing.
std::wstring readProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& iniPath);

// Reads an integer the way the platform's profile integer reader does:
// leading blanks, an optional sign, then decimal digits up to the first
// non-digit, accumulated in 32 bits with wrap-around; no digits (an empty
// value included) give 0; a missing key gives `defaultValue`.
int readProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue, const std::wstring& iniPath);

// True when the path names something that is not a folder.
bool fileExists(const std::wstring& path);

}  // namespace Common
