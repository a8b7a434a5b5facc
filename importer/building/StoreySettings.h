#pragma once

#include <array>
#include <cstdint>

#include "common/host/HostDocument.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// The fourteen 16-bit values the host keeps per plan (index 0 = position 1).
using StoreySettingsRecord = std::array<std::uint16_t, 14>;

inline constexpr int kStandardWallThicknessIndex = 12;  // position 13

// Document operation 172. An unbound document leaves the record all zero.
StoreySettingsRecord readStoreySettings(Common::HostDocument& document);

// Document operation 171.
void writeStoreySettings(Common::HostDocument& document, const StoreySettingsRecord& record);

// Storey heights, floor level of storey 1 and foundation height from the
// model written over what the host had.
void applyFloorLevels(const ImportModel& model, StoreySettingsRecord& record);

// Grid (95, 94, 92) and storey settings (172, 171), once before the storeys.
void writeGridAndStoreySettings(const ImportModel& model, Common::HostDocument& document);

}  // namespace Importer
