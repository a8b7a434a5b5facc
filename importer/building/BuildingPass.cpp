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

namespace {

constexpr int kRebuilding = 179;

void makeCurrent(Common::HostObject& document, int storey)
{
    Common::Arguments args{i2(storeyNumber(storey))};
    document.call(39, args);
}

}  // namespace

void runBuildingPass(const std::wstring& fittingPath, const std::wstring& programDirectory, ImportModel& model,
                     Common::HostObject& application, Common::HostObject& document, int openingMode, int roofMode,
                     int barrierFreeGrace, Common::Platform& platform)
{
    model.programFolder =
        programDirectory.empty() ? programDirectory : programDirectory.substr(0, programDirectory.size() - 1);
    const Common::Variant folder = application.call(6);
    model.hostFolder = folder.type() == Common::VariantType::Text ? folder.asText() : std::wstring();
    if (openingMode == kOpeningsFromTable) {
        std::wstring problem;
        loadImportFittingMap(model, fittingPath, problem);
        if (!problem.empty()) {
            platform.reportError(L"CDX2DM: " + problem);
        }
    }
    const int previousStorey = static_cast<int>(document.call(38).asInteger());

    std::vector<int> storeys;
    for (const auto& entry : model.levelByStorey) {
        storeys.push_back(entry.first);
    }
    writeGridAndStoreySettings(model, document);

    for (int storey : storeys) {
        makeCurrent(document, storey);
        document.put(kRebuilding, Common::Variant::ui2(1));
        buildRooms(model, document, storey);
        buildWalls(model, document, storey);
        buildStairs(model, document, storey, barrierFreeGrace, platform);
        buildOpenings(model, document, openingMode, storey);
        buildRoofs(model, document, roofMode, storey);
        document.put(kRebuilding, Common::Variant::ui2(0));
        document.call(182);
    }

    makeCurrent(document, previousStorey);
    Common::Arguments done{ui2(1)};
    document.call(183, done);
    const auto window = static_cast<std::int32_t>(document.call(186).asInteger());
    if (!platform.isWindowMinimized(window)) {
        document.call(98);
    }
}

}  // namespace Importer
