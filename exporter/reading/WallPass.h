#pragma once

#include "common/host/HostObject.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

// The wall and opening pass: walls of wall boxes and wall-attached objects,
// openings, then per storey the exterior wall lines and room-edge walls.
void readWallsAndOpenings(ExportModel& model, Common::HostObject& document, int openingExtendType);

}  // namespace Exporter
