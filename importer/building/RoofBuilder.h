#pragma once

#include "common/host/HostDocument.h"
#include "importer/building/BuildingChoices.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// With manual roof faces: clears the host's roofs of storey s and builds one manual
// roof face for every roof whose storey is s + 1 (a roof sits on the storey
// below it). Without roofs it makes no host call.
void buildRoofs(const ImportModel& model, Common::HostDocument& document, RoofMode mode, int storey);

}  // namespace Importer
