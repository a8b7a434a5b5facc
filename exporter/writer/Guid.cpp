#include "exporter/writer/Guid.h"

#include <cstdint>
#include <random>
#include <sys/random.h>

namespace Exporter {

std::wstring newElementId()
{
    std::uint8_t b[16] = {};
    std::size_t got = 0;
    while (got < sizeof b) {
        const ssize_t n = getrandom(b + got, sizeof b - got, 0);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got < sizeof b) {
        // The kernel's generator refused; the library's device is the next best.
        std::random_device device;
        for (std::uint8_t& byte : b) {
            byte = static_cast<std::uint8_t>(device());
        }
    }
    b[6] = static_cast<std::uint8_t>((b[6] & 0x0F) | 0x40);  // version 4
    b[8] = static_cast<std::uint8_t>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant

    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring id;
    id.reserve(36);
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            id += L'-';
        }
        id += hex[b[i] >> 4];
        id += hex[b[i] & 15];
    }
    return id;
}

}  // namespace Exporter
