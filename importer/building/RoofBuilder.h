#pragma once

#include "common/host/HostDocument.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Roof modes of the import dialog.
inline constexpr int kRoofsAsManualFaces = 0;

// In roof mode 0: clears the host's roofs of storey s and builds one manual
// roof face for every roof whose storey is s + 1 (a roof sits on the storey
// below it). Other modes make no host call.
void buildRoofs(const ImportModel& model, Common::HostDocument& document, int roofMode, int storey);

}  // namespace Importer
