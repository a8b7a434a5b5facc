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

// Both of the above for one storey, as the exporter needs them: the rooms are
// cut into slabs once for both, with the same results as the two calls.
struct StoreyLines {
    std::vector<std::vector<Common::Vector2d>> exteriorOutlines;
    // Only filled when asked for.
    std::vector<std::vector<Common::Vector2d>> unclosed;
    std::vector<Common::Segment> roomEdgeWalls;
};
StoreyLines storeyLines(const StoreyOutlineSet& set, bool keepUnclosed);

}  // namespace Exporter
