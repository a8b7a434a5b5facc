#pragma once

#include <array>
#include <cstdint>

#include "common/host/HostDocument.h"

namespace Exporter {

// The storey settings record the host keeps per plan: fourteen unsigned
// 16-bit values, h1 to h14 in the order the host reads them out.
struct StoreySettings {
    std::array<std::uint16_t, 14> values{};

    // The n-th value, n counted from 1 as the record is documented.
    std::uint16_t h(int n) const { return values[static_cast<std::size_t>(n - 1)]; }
};

StoreySettings readStoreySettings(Common::HostDocument& document);

// Floor levels of storeys 0 to 5: L1 is h11, L0 lies h10 below it and each
// storey from 2 up lies one storey height (h9 down to h6) above the one
// below. Every sum wraps around in 16 bits and is read back as signed.
using StoreyLevels = std::array<std::int16_t, 6>;
StoreyLevels hostStoreyLevels(const StoreySettings& settings);

// The level a room's floor height is measured from. The host knows levels
// only for storeys 0 to 5; a storey below 0 takes the level of storey 0 and
// one above 5 that of storey 5, the nearest level it has, so that a higher
// storey never ends up below a lower one.
double storeyLevel(const StoreyLevels& levels, int storey);

// The standard wall thickness (h13).
inline double standardWallThickness(const StoreySettings& settings) { return settings.h(13); }

}  // namespace Exporter
