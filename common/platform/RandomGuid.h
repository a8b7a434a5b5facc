#pragma once

#include <array>
#include <cstdint>

namespace Common {

// A new random (version 4, RFC 4122 variant) GUID from the system's
// generator, its sixteen bytes in the order the registry form prints them
// (time_low first, most significant byte first).
std::array<std::uint8_t, 16> newRandomGuid();

}  // namespace Common
