#pragma once

#include <string>

namespace Common {

// Reads one text value of an ini file with the profile semantics: section and
// key names compare case-insensitively, the value is trimmed and stripped of
// one pair of surrounding quotes, and at most 1023 characters are used. A
// missing file, section or key gives the empty text.
std::wstring readProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& iniPath);

// Reads an integer the way the platform's profile integer reader does:
// leading blanks, an optional sign, then decimal digits up to the first
// non-digit; no digits give 0; a missing key gives `defaultValue`.
int readProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue, const std::wstring& iniPath);

bool fileExists(const std::wstring& path);

}  // namespace Common
