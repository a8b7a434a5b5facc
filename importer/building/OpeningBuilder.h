#pragma once

#include "common/host/HostDocument.h"
#include "importer/building/BuildingChoices.h"
#include "importer/building/ModelByStorey.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Windows and doors on room edges, as placed fittings or as plain openings
// (wall-line elements of kind 2). Passages (kind 3) are built with the walls.
void buildOpenings(const ImportModel& model, Common::HostDocument& document, OpeningMode mode, int storey);
// As above, with `records` the records of the storey.
void buildOpenings(const ImportModel& model, Common::HostDocument& document, OpeningMode mode, int storey,
                   const StoreyRecords& records);

}  // namespace Importer
