#pragma once

#include <string>

#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "common/platform/Platform.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Brings the file's grid quadrant into the host's first quadrant.
void flipToFirstQuadrant(ImportModel& model);

// Moves the plan according to the origin type of the open dialog.
void moveOrigin(ImportModel& model, int originType);

// Grid, storey heights and, storey by storey, every record of the model.
void runBuildingPass(const std::wstring& fittingPath, const std::wstring& programDirectory, ImportModel& model,
                     Common::HostApplication& application, Common::HostDocument& document, int openingMode, int roofMode,
                     int barrierFreeGrace, Common::Platform& platform);

}  // namespace Importer
