#pragma once

#include <vector>

#include "common/geometry/Vector2.h"
#include "importer/model/ImportModel.h"
#include "importer/preparation/SegmentGrid.h"

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

// The rooms of one storey indexed by their boxes: gives what the two
// functions above give, in the same room order, while testing only the rooms
// whose box comes near the segment, so that a storey of many rooms and many
// walls is not built in time growing with their product.
class StoreyRooms {
public:
    // `rooms`: the rooms of `storey`, in list order.
    StoreyRooms(int storey, const std::vector<const ImportRoom*>& rooms);

    RoomHeightPair along(const Vector2d& a, const Vector2d& b) const;
    RoomHeightPair around(const Vector2d& a, const Vector2d& b) const;

private:
    // The rooms that may select segment a-b, in list order.
    std::vector<const ImportRoom*> near(const Vector2d& a, const Vector2d& b) const;

    int storey_;
    std::vector<const ImportRoom*> rooms_;  // the storey's rooms, in list order
    SegmentGrid boxes_;                     // room boxes by position in rooms_
    std::vector<std::size_t> unbounded_;    // rooms with a coordinate that is not finite
};

// The segment replaced by one of length `width` around the same midpoint.
void recentre(Vector2d& a, Vector2d& b, double width);

}  // namespace Importer
