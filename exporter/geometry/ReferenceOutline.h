#pragma once

// The room-edge wall and exterior outline computations done exactly step by
// step, every slab rebuilt from all edges, every join and chain step
// searching all segments and every opening tried on every wall line. Slow (quadratic and worse), kept as the oracle the
// fast versions in OutlineAlgorithms.h are tested against: both must give the
// same segments and points in the same order.

#include <vector>

#include "exporter/geometry/OutlineAlgorithms.h"

namespace Exporter {

std::vector<Common::Segment> referenceRoomEdgeWallLines(const StoreyOutlineSet& set);
std::vector<std::vector<Common::Vector2d>> referenceExteriorOutlines(const StoreyOutlineSet& set);

}  // namespace Exporter
