#pragma once

#include <vector>

#include "common/geometry/Segment.h"
#include "exporter/geometry/OutlineAlgorithms.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

// Appends one exterior wall line per closed chain, in the order given.
void appendOuterLines(ExportModel& model, int storey, const std::vector<std::vector<Vector2d>>& chains);

// Notes each exterior chain that could not be closed in the report as left
// out, with where it starts and ends in the plan.
void reportUnclosedOuterLines(ExportModel& model, int storey, const std::vector<std::vector<Vector2d>>& chains);

// Appends a full-height wall of the standard thickness for every room-edge
// wall line at least 0.1 long, from the highest floor to the highest ceiling
// of the rooms it belongs to (0 and 0 when it belongs to none).
void appendRoomEdgeWalls(ExportModel& model, int storey, const std::vector<Common::Segment>& lines,
                         double wallThickness);

// Derives and appends the exterior wall lines, then the room-edge walls, of
// one storey.
void finishStorey(ExportModel& model, int storey, const StoreyOutlineSet& set, double wallThickness);

}  // namespace Exporter
