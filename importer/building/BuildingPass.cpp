#include "importer/building/BuildingPass.h"

#include <vector>

#include "importer/building/HostArguments.h"
#include "importer/building/ImportFittingMap.h"
#include "importer/building/OpeningBuilder.h"
#include "importer/building/RoofBuilder.h"
#include "importer/building/RoomBuilder.h"
#include "importer/building/StairBuilder.h"
#include "importer/building/StoreySettings.h"
#include "importer/building/WallBuilder.h"

namespace Importer {

using namespace HostArgs;

void runBuildingPass(const std::wstring& fittingPath, const std::wstring& programDirectory, ImportModel& model,
                     Common::HostApplication& application, Common::HostDocument& document, int openingMode, int roofMode,
                     int barrierFreeGrace, Common::Platform& platform)
{
    model.programFolder =
        programDirectory.empty() ? programDirectory : programDirectory.substr(0, programDirectory.size() - 1);
    model.hostFolder = application.hostFolder();
    if (openingMode == kOpeningsFromTable) {
        std::wstring problem;
        loadImportFittingMap(model, fittingPath, problem);
        if (!problem.empty()) {
            platform.reportError(L"CDX2DM: " + problem);
        }
    }
    const int previousStorey = document.currentStorey();

    std::vector<int> storeys;
    for (const auto& entry : model.levelByStorey) {
        storeys.push_back(entry.first);
    }
    writeGridAndStoreySettings(model, document);

    for (int storey : storeys) {
        document.selectStorey(storeyNumber(storey));
        document.setRebuilding(1);
        buildRooms(model, document, storey);
        buildWalls(model, document, storey);
        buildStairs(model, document, storey, barrierFreeGrace, platform);
        buildOpenings(model, document, openingMode, storey);
        buildRoofs(model, document, roofMode, storey);
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
