#include "common/platform/RandomGuid.h"

#include <sys/random.h>

#include <random>

namespace Common {

std::array<std::uint8_t, 16> newRandomGuid()
{
    std::array<std::uint8_t, 16> b{};
    std::size_t got = 0;
    while (got < b.size()) {
        const ssize_t n = getrandom(b.data() + got, b.size() - got, 0);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got < b.size()) {
        // The kernel's generator refused; the library's device is the next best.
        std::random_device device;
        for (std::uint8_t& byte : b) {
            byte = static_cast<std::uint8_t>(device());
        }
    }
    b[6] = static_cast<std::uint8_t>((b[6] & 0x0F) | 0x40);  // version 4
    b[8] = static_cast<std::uint8_t>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return b;
}

}  // namespace Common
