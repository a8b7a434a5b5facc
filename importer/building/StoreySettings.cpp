#include "importer/building/StoreySettings.h"

#include "importer/building/HostArguments.h"

namespace Importer {

using namespace HostArgs;

StoreySettingsRecord readStoreySettings(Common::HostDocument& document)
{
    return document.readStoreySettings();
}

void writeStoreySettings(Common::HostDocument& document, const StoreySettingsRecord& record)
{
    document.writeStoreySettings(record);
}

void applyFloorLevels(const ImportModel& model, StoreySettingsRecord& record)
{
    const auto& levels = model.floorLevelByStorey;
    const auto level = [&](int storey) { return truncatedTo16Bits(static_cast<double>(levels.at(storey))); };
    if (levels.count(1) != 0) {
        record[10] = level(1);
    }
    // Position 9 holds the height from storey 1 to 2, 8 from 2 to 3, and so on.
    for (int lower = 1; lower <= 4; ++lower) {
        if (levels.count(lower) != 0 && levels.count(lower + 1) != 0) {
            const double lowerLevel = std::trunc(static_cast<double>(levels.at(lower)));
            const double upperLevel = std::trunc(static_cast<double>(levels.at(lower + 1)));
            record[static_cast<std::size_t>(9 - lower)] = truncatedTo16Bits(upperLevel - lowerLevel);
        }
    }
    if (model.foundationHeight > 0) {
        record[11] = truncatedTo16Bits(static_cast<double>(model.foundationHeight));
    }
}

void writeGridAndStoreySettings(const ImportModel& model, Common::HostDocument& document)
{
    // The grid's own two settings are kept; module and the two offsets are set.
    Common::HostGridSettings grid = document.readGridSettings();
    grid.module = model.gridSpacing.x;
    grid.a = 0.0;
    grid.b = 0.0;
    document.writeGridSettings(grid);
    document.setGridModule(model.gridSpacing.x);

    StoreySettingsRecord record = readStoreySettings(document);
    applyFloorLevels(model, record);
    writeStoreySettings(document, record);
}

}  // namespace Importer
