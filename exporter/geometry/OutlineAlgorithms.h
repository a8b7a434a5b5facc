#pragma once

#include <vector>

#include "common/geometry/Segment.h"
#include "common/geometry/Vector2.h"

namespace Exporter {

// The rooms of one storey (each outline clockwise) and the opening segments
// that cut the room-edge walls, both in the order they were added.
struct StoreyOutlineSet {
    std::vector<std::vector<Common::Vector2d>> outlines;
    std::vector<Common::Segment> openingSegments;
};

// Wall centre lines along the room edges, each shared edge once, with the
// opening spans removed.
std::vector<Common::Segment> roomEdgeWallLines(const StoreyOutlineSet& set);

// The closed outlines of the union of the rooms, each as its point sequence.
// Chains of the outline that cannot be closed are not outlines; they go to
// `unclosed` (when given) as open point sequences.
std::vector<std::vector<Common::Vector2d>> exteriorOutlines(
    const StoreyOutlineSet& set, std::vector<std::vector<Common::Vector2d>>* unclosed = nullptr);

}  // namespace Exporter
