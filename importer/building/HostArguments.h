#pragma once

// The builders' helpers for host argument lists: the short spellings of
// input values, storey numbers, 16-bit record fields and outlines.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/geometry/Vector2.h"
#include "common/host/ArgumentValues.h"

namespace Importer::HostArgs {

using namespace Common::HostArgs;

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
