#pragma once

#include <string>

#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "common/platform/Platform.h"
#include "importer/building/BuildingChoices.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Brings the file's grid quadrant into the host's first quadrant.
void flipToFirstQuadrant(ImportModel& model);

// Moves the plan as the open dialog asks.
void moveOrigin(ImportModel& model, OriginPlacement placement);

// What the building pass works on and with.
struct BuildingPassInput {
    ImportModel& model;
    Common::HostApplication& application;
    Common::HostDocument& document;
    Common::Platform& platform;
    std::wstring programDirectory;  // with its trailing separator
    OpeningMode openings = OpeningMode::TemporaryFrames;
    std::wstring fittingTablePath;  // read when the openings come from the table
    RoofMode roofs = RoofMode::ManualFaces;
    int barrierFreeGrade = 0;  // "BarrierFreeGrace" of the ini file
};

// Grid, storey heights and, storey by storey, every record of the model.
void runBuildingPass(const BuildingPassInput& pass);

}  // namespace Importer
