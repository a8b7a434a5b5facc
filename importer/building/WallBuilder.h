#pragma once

#include <vector>

#include "common/host/HostDocument.h"
#include "importer/building/ModelByStorey.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Walls of the storey that differ from what the host puts on room edges by
// itself, free-standing walls as blocks, then passages (openings of kind 3)
// as wall-line elements.
void buildWalls(const ImportModel& model, Common::HostDocument& document, int storey);
// As above, with `records` the records of the storey.
void buildWalls(const ImportModel& model, Common::HostDocument& document, int storey, const StoreyRecords& records);

}  // namespace Importer
