#pragma once

#include "common/geometry/Vector2.h"

namespace Common {

// An axis-aligned box given by its lower (minimum x, minimum y) and upper
// (maximum x, maximum y) corners.
template <typename V>
class Range {
public:
    V min;
    V max;

    Range() = default;
    Range(const V& lower, const V& upper) : min(lower), max(upper) {}
    Range(const Range&) = default;
    Range& operator=(const Range&) = default;
    virtual ~Range() = default;

    // Edges count as inside.
    bool contains(const V& p) const { return min.x <= p.x && p.x <= max.x && min.y <= p.y && p.y <= max.y; }
};

using Range2d = Range<Vector2d>;

}  // namespace Common
