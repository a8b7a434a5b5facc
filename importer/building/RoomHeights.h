#pragma once

#include <vector>

#include "common/geometry/Vector2.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// -1 empty outline, 0 outside, 1 on the boundary, 2 inside (tolerance 0.01).
int pointInOutline(const Vector2d& p, const std::vector<Vector2d>& outline);

// True when segment a-b runs along an edge of the outline (tolerance 0.01)
// for more than a touching point.
bool segmentOnBoundary(const Vector2d& a, const Vector2d& b, const std::vector<Vector2d>& outline);

// Highest floor (h1) and highest ceiling (h2) of the selected rooms of a
// storey; both 0 when no room is selected.
struct RoomHeightPair {
    double h1 = 0;
    double h2 = 0;
    bool none() const { return h1 == 0 && h2 == 0; }
};

// Rooms whose outline has the segment on its boundary.
RoomHeightPair roomHeightsAlong(const ImportModel& model, int storey, const Vector2d& a, const Vector2d& b);

// Rooms that hold both end points (inside or on the boundary) or have the
// segment on their boundary.
RoomHeightPair roomHeightsAround(const ImportModel& model, int storey, const Vector2d& a, const Vector2d& b);

// The segment replaced by one of length `width` around the same midpoint.
void recentre(Vector2d& a, Vector2d& b, double width);

}  // namespace Importer
