#include "exporter/reading/StoreyLevels.h"

#include "exporter/reading/HostReading.h"

namespace Exporter {

namespace {

constexpr int kStoreySettingsOp = 172;

std::int16_t wrap16(int value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

}  // namespace

StoreySettings readStoreySettings(Common::HostObject& document)
{
    Common::Arguments args;
    for (int i = 0; i < 14; ++i) {
        args.push_back(outUI2());
    }
    document.call(kStoreySettingsOp, args);
    StoreySettings settings;
    for (std::size_t i = 0; i < settings.values.size(); ++i) {
        settings.values[i] = argUI2(kStoreySettingsOp, args, i);
    }
    return settings;
}

StoreyLevels hostStoreyLevels(const StoreySettings& s)
{
    StoreyLevels levels{};
    levels[1] = wrap16(s.h(11));
    levels[0] = wrap16(levels[1] - s.h(10));
    levels[2] = wrap16(levels[1] + s.h(9));
    levels[3] = wrap16(levels[2] + s.h(8));
    levels[4] = wrap16(levels[3] + s.h(7));
    levels[5] = wrap16(levels[4] + s.h(6));
    return levels;
}

double storeyLevel(const StoreyLevels& levels, int storey)
{
    if (storey < 0) {
        return levels.front();
    }
    if (storey >= static_cast<int>(levels.size())) {
        return levels.back();
    }
    return levels[static_cast<std::size_t>(storey)];
}

}  // namespace Exporter
