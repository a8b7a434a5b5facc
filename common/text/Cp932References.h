#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace Common {

// Characters written as character references although code page 932 seems to
// hold them: those one converter maps only one way (the bytes it writes read
// back as another character, the yen sign even as a backslash), and U+0080
// and U+F8F0 to U+F8F3, which only some converters encode at all. Every build
// writes all of them as references, so every build writes the same bytes and
// every file reads back to exactly the text that was written.
inline bool cp932WrittenAsReference(std::uint32_t c)
{
    switch (c) {
    case 0x00A2: case 0x00A3: case 0x00A5: case 0x00AC: case 0x2014:
    case 0x2016: case 0x203E: case 0x2212: case 0x301C:
    case 0x0080: case 0xF8F0: case 0xF8F1: case 0xF8F2: case 0xF8F3:
        return true;
    default:
        return false;
    }
}

// Appends the hexadecimal character reference of `c` ("&#x1F600;").
inline void appendCharacterReference(std::uint32_t c, std::string& out)
{
    char reference[16];
    std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(c));
    out += reference;
}

}  // namespace Common
