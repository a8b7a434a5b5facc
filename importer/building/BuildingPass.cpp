#include "importer/building/BuildingPass.h"

#include <memory>
#include <vector>

#include "importer/building/FiniteCallGuard.h"
#include "importer/building/HostArguments.h"
#include "importer/building/ImportFittingMap.h"
#include "importer/building/ModelByStorey.h"
#include "importer/building/OpeningBuilder.h"
#include "importer/building/RoofBuilder.h"
#include "importer/building/RoomBuilder.h"
#include "importer/building/StairBuilder.h"
#include "importer/building/StoreySettings.h"
#include "importer/building/UnbuiltRecords.h"
#include "importer/building/WallBuilder.h"

namespace Importer {

using namespace HostArgs;

void runBuildingPass(const BuildingPassInput& pass)
{
    ImportModel& model = pass.model;
    Common::Platform& platform = pass.platform;
    const std::wstring& programDirectory = pass.programDirectory;
    // Every call of the pass goes through the guard, so that no number
    // that is not finite reaches the host.
    const auto guard = pass.document.isBound()
                           ? std::make_shared<FiniteCallGuard>(*pass.document.get(), platform, model.report)
                           : nullptr;
    Common::HostDocument document = guard ? Common::HostDocument(guard) : pass.document;
    model.programFolder =
        programDirectory.empty() ? programDirectory : programDirectory.substr(0, programDirectory.size() - 1);
    model.hostFolder = pass.application.hostFolder();
    if (pass.openings == OpeningMode::FittingsFromTable) {
        std::wstring problem;
        loadImportFittingMap(model, pass.fittingTablePath, problem);
        if (!problem.empty()) {
            platform.reportError(L"CDX2DM: " + problem);
        }
    }
    const int previousStorey = document.currentStorey();

    std::vector<int> storeys;
    for (const auto& entry : model.levelByStorey) {
        storeys.push_back(entry.first);
    }
    const ModelByStorey records(model);
    const RoofsByStorey roofs(model);
    writeGridAndStoreySettings(model, document);
    noteUnbuiltRecords(model, pass.roofs);

    // Which records are being made, for the guard's notes in the report.
    const auto building = [&guard](const wchar_t* kind, int storey) {
        if (guard) {
            guard->building(kind, storey);
        }
    };
    for (int storey : storeys) {
        const StoreyRecords built = records.of(storey);
        document.selectStorey(storeyNumber(storey));
        document.setRebuilding(1);
        building(L"room", storey);
        buildRooms(model, document, storey, built.rooms);
        building(L"wall", storey);  // passages among them are told apart by the guard
        buildWalls(model, document, storey, built);
        building(L"stair", storey);
        buildStairs(model, document, storey, pass.barrierFreeGrade, platform, built.stairs);
        building(L"opening", storey);
        buildOpenings(model, document, pass.openings, storey, built);
        building(L"roof", storey + 1);  // the roofs of the storey above are built from this one
        buildRoofs(model, document, pass.roofs, storey, roofs.builtFrom(storey));
        document.setRebuilding(0);
        document.storeyDone();
    }

    document.selectStorey(storeyNumber(previousStorey));
    document.importDone(1);
    if (!platform.isWindowMinimized(document.windowHandle())) {
        document.redraw();
    }
}

}  // namespace Importer
