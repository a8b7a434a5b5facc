#include "exporter/app/ReadingDriver.h"

#include "exporter/reading/FittingMap.h"
#include "exporter/reading/ProjectReader.h"
#include "exporter/reading/RoofPass.h"
#include "exporter/reading/RoomPass.h"
#include "exporter/reading/StairPass.h"
#include "exporter/reading/WallPass.h"

namespace Exporter {

void runReadingDriver(ExportModel& model, Common::HostApplication& application, Common::HostDocument& document,
                      const Common::ExportOptions& options, const std::wstring& iniPath, int openingExtendType)
{
    if (options.fittingType == 1) {
        loadExportFittingMap(model, options.fittingPath);
    }
    readProject(model, application, document, iniPath);
    readRooms(model, document);
    readWallsAndOpenings(model, document, openingExtendType);
    readStairs(model, document);
    readRoofs(model, document);
    if (model.roofCount() == 0) {
        forceRoofGeneration(model, document, iniPath);
    }
}

}  // namespace Exporter
