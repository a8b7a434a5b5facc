#pragma once

// Short spellings for the argument lists of host calls, so that each call
// reads in the order and with the types the host expects.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/geometry/Vector2.h"
#include "common/host/Variant.h"

namespace Importer::HostArgs {

inline Common::Argument i2(std::int16_t v) { return Common::Argument::in(Common::Variant::i2(v)); }
inline Common::Argument i4(std::int32_t v) { return Common::Argument::in(Common::Variant::i4(v)); }
inline Common::Argument ui1(std::uint8_t v) { return Common::Argument::in(Common::Variant::ui1(v)); }
inline Common::Argument ui2(std::uint16_t v) { return Common::Argument::in(Common::Variant::ui2(v)); }
inline Common::Argument ui4(std::uint32_t v) { return Common::Argument::in(Common::Variant::ui4(v)); }
inline Common::Argument r8(double v) { return Common::Argument::in(Common::Variant::r8(v)); }
inline Common::Argument text(std::wstring v) { return Common::Argument::in(Common::Variant::text(std::move(v))); }
inline Common::Argument doubles(std::vector<double> v)
{
    return Common::Argument::in(Common::Variant::doubles(std::move(v)));
}

// Storey numbers travel as signed 16-bit values.
inline std::int16_t storeyNumber(int storey) { return static_cast<std::int16_t>(storey); }

// Truncates towards zero and keeps the low 16 bits, as a 16-bit record
// field holds it. Exact for every finite value; a non-finite one gives 0.
inline std::uint16_t truncatedTo16Bits(double v)
{
    if (!std::isfinite(v)) {
        return 0;
    }
    double r = std::fmod(std::trunc(v), 65536.0);
    if (r < 0) {
        r += 65536.0;
    }
    return static_cast<std::uint16_t>(r);
}

// An outline as the host takes it: x0, y0, x1, y1, ...
inline std::vector<double> flatten(const std::vector<Common::Vector2d>& points)
{
    std::vector<double> out;
    if (points.size() < 2) {
        return out;
    }
    out.reserve(points.size() * 2);
    for (const Common::Vector2d& p : points) {
        out.push_back(p.x);
        out.push_back(p.y);
    }
    return out;
}

}  // namespace Importer::HostArgs
