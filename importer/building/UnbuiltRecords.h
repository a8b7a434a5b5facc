#pragma once

#include "importer/building/BuildingChoices.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Notes in the model's report the records the building pass never reaches:
// records on storeys without a level (the pass builds the storeys that have
// one), roofs when roofs are not built or their storey below has no level,
// and every exterior wall line (the host draws outer walls from the rooms).
void noteUnbuiltRecords(const ImportModel& model, RoofMode roofs);

}  // namespace Importer
