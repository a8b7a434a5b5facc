#pragma once

#include <map>

#include "common/host/HostDocument.h"
#include "exporter/geometry/OutlineAlgorithms.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

// The wall and opening pass: walls of wall boxes and wall-attached objects,
// openings, then per storey the exterior wall lines and room-edge walls.
void readWallsAndOpenings(ExportModel& model, Common::HostDocument& document, int openingExtendType);

// One outline set per storey, in ascending storey order.
using StoreyOutlineSets = std::map<int, StoreyOutlineSet>;

// The outlines of the rooms that shape walls (neither code 0 nor 18), each
// made to run clockwise, grouped by storey in room order.
StoreyOutlineSets collectStoreyOutlineSets(const ExportModel& model);

// The pass up to the end of the object walk: what is left to do is finishing
// every storey's outline set with the standard wall thickness.
struct WallObjectsResult {
    StoreyOutlineSets sets;
    double wallThickness = 0;
};
WallObjectsResult readWallObjects(ExportModel& model, Common::HostDocument& document, int openingExtendType);

}  // namespace Exporter
