#pragma once

#include <cstddef>
#include <cstdint>

namespace Exporter::OutlineSteps {

// A cell of a bucket grid (or a bucket of any two whole-number keys), for
// the hash maps that stand in for all-against-all searches.
struct CellKey {
    std::int64_t x;
    std::int64_t y;
    bool operator==(const CellKey&) const = default;
};

struct CellKeyHash {
    std::size_t operator()(const CellKey& k) const
    {
        const std::uint64_t h = static_cast<std::uint64_t>(k.x) * 0x9E3779B97F4A7C15ULL ^
                                static_cast<std::uint64_t>(k.y) * 0xC2B2AE3D27D4EB4FULL;
        return static_cast<std::size_t>(h ^ (h >> 31));
    }
};

}  // namespace Exporter::OutlineSteps
