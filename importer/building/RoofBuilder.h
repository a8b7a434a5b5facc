#pragma once

#include <vector>

#include "common/host/HostDocument.h"
#include "importer/building/BuildingChoices.h"
#include "importer/building/RecordsByStorey.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// With manual roof faces: clears the host's roofs of storey s and builds one manual
// roof face for every roof whose storey is s + 1 (a roof sits on the storey
// below it). Without roofs it makes no host call.
void buildRoofs(const ImportModel& model, Common::HostDocument& document, RoofMode mode, int storey);

// The roofs each storey builds: those whose storey is one above it.
struct RoofsByStorey : RecordsByStorey<ImportRoof> {
    explicit RoofsByStorey(const ImportModel& model) : RecordsByStorey(model.roofs, -1) {}
};

// As above, with `roofs` the roofs storey `storey` builds.
void buildRoofs(const ImportModel& model, Common::HostDocument& document, RoofMode mode, int storey,
                const std::vector<const ImportRoof*>& roofs);

}  // namespace Importer
