#pragma once

#include "common/geometry/Vector2.h"

namespace Common {

// An ordered pair of points: a wall centre line, an opening span.
struct Segment {
    Vector2d start;
    Vector2d end;
};

}  // namespace Common
