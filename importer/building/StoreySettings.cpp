#include "importer/building/StoreySettings.h"

#include "importer/building/HostArguments.h"

namespace Importer {

using namespace HostArgs;

StoreySettingsRecord readStoreySettings(Common::HostObject& document)
{
    Common::Arguments args;
    for (int i = 0; i < 14; ++i) {
        args.push_back(Common::Argument::out(Common::Variant::ui2(0)));
    }
    document.call(172, args);
    StoreySettingsRecord record{};
    for (int i = 0; i < 14; ++i) {
        record[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(args[static_cast<std::size_t>(i)].value.asInteger());
    }
    return record;
}

void writeStoreySettings(Common::HostObject& document, const StoreySettingsRecord& record)
{
    Common::Arguments args;
    for (std::uint16_t v : record) {
        args.push_back(ui2(v));
    }
    document.call(171, args);
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

void writeGridAndStoreySettings(const ImportModel& model, Common::HostObject& document)
{
    Common::Arguments grid{Common::Argument::out(Common::Variant::r8(0.0)),
                           Common::Argument::out(Common::Variant::ui2(0)),
                           Common::Argument::out(Common::Variant::ui4(0)),
                           Common::Argument::out(Common::Variant::r8(0.0)),
                           Common::Argument::out(Common::Variant::r8(0.0))};
    document.call(95, grid);
    Common::Arguments write{r8(model.gridSpacing.x),
                            ui2(static_cast<std::uint16_t>(grid[1].value.asInteger())),
                            ui4(static_cast<std::uint32_t>(grid[2].value.asInteger())), r8(0.0), r8(0.0)};
    document.call(94, write);
    Common::Arguments module{r8(model.gridSpacing.x)};
    document.call(92, module);

    StoreySettingsRecord record = readStoreySettings(document);
    applyFloorLevels(model, record);
    writeStoreySettings(document, record);
}

}  // namespace Importer
