#include "common/platform/RandomGuid.h"

#include <objbase.h>

#include <random>

namespace Common {

std::array<std::uint8_t, 16> newRandomGuid()
{
    std::array<std::uint8_t, 16> b{};
    GUID guid{};
    if (SUCCEEDED(CoCreateGuid(&guid))) {
        // The printed form: the three numbers most significant byte first,
        // then the eight bytes as they stand.
        for (int i = 0; i < 4; ++i) {
            b[i] = static_cast<std::uint8_t>(guid.Data1 >> (24 - 8 * i));
        }
        b[4] = static_cast<std::uint8_t>(guid.Data2 >> 8);
        b[5] = static_cast<std::uint8_t>(guid.Data2);
        b[6] = static_cast<std::uint8_t>(guid.Data3 >> 8);
        b[7] = static_cast<std::uint8_t>(guid.Data3);
        for (int i = 0; i < 8; ++i) {
            b[8 + i] = guid.Data4[i];
        }
        return b;
    }
    // The system's generator refused; the library's device is the next best.
    std::random_device device;
    for (std::uint8_t& byte : b) {
        byte = static_cast<std::uint8_t>(device());
    }
    b[6] = static_cast<std::uint8_t>((b[6] & 0x0F) | 0x40);  // version 4
    b[8] = static_cast<std::uint8_t>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return b;
}

}  // namespace Common
