#include "exporter/reading/StoreyLevels.h"

#include <algorithm>


namespace Exporter {

namespace {

std::int16_t wrap16(int value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

}  // namespace

StoreySettings readStoreySettings(Common::HostDocument& document)
{
    StoreySettings settings;
    const Common::StoreySettingsRecord record = document.readStoreySettings();
    std::copy(record.begin(), record.end(), settings.values.begin());
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
