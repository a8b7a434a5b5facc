#pragma once

#include <string>

namespace Common {

// Reads the longest leading decimal number of `text` as the C runtime does in
// the "C" locale ("." as separator, exponent, "inf"/"nan", hexadecimal
// floating point), whatever locale the program runs in. 0 when nothing at
// the start is a number. The text holds no leading white space.
double parseClassicDouble(const std::string& text);

}  // namespace Common
