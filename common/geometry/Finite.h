#pragma once

#include <cmath>
#include <vector>

#include "common/geometry/Vector2.h"
#include "common/geometry/Vector3.h"

namespace Common {

// Whether every number of a value is finite: what may be written to a file
// or handed to the host.
inline bool isFinite(double v) { return std::isfinite(v); }
inline bool isFinite(float v) { return std::isfinite(v); }
inline bool isFinite(const Vector2d& p) { return std::isfinite(p.x) && std::isfinite(p.y); }
inline bool isFinite(const Vector3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

template <typename T>
bool isFinite(const std::vector<T>& values)
{
    for (const T& v : values) {
        if (!isFinite(v)) {
            return false;
        }
    }
    return true;
}

template <typename First, typename... Rest>
bool allFinite(const First& first, const Rest&... rest)
{
    return (isFinite(first) && ... && isFinite(rest));
}

}  // namespace Common
