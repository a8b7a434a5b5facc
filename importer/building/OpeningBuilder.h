#pragma once

#include "common/host/HostDocument.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Opening modes of the import dialog.
inline constexpr int kOpeningsWithFrames = 0;
inline constexpr int kOpeningsAsHoles = 1;
inline constexpr int kOpeningsFromTable = 2;

// Windows and doors on room edges, as fittings (39, 50) or as plain
// openings (41 kind 2). Passages (kind 3) are built with the walls.
void buildOpenings(const ImportModel& model, Common::HostDocument& document, int openingMode, int storey);

}  // namespace Importer
