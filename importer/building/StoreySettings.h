#pragma once

#include <array>
#include <cstdint>

#include "common/host/HostDocument.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// The fourteen 16-bit values the host keeps per plan (index 0 = position 1).
using StoreySettingsRecord = std::array<std::uint16_t, 14>;

inline constexpr int kStandardWallThicknessIndex = 12;  // position 13

// The host's storey settings record. An unbound document leaves the record all zero.
StoreySettingsRecord readStoreySettings(Common::HostDocument& document);

// Writes the record back to the host.
void writeStoreySettings(Common::HostDocument& document, const StoreySettingsRecord& record);

// Storey heights, floor level of storey 1 and foundation height from the
// model written over what the host had.
void applyFloorLevels(const ImportModel& model, StoreySettingsRecord& record);

// Grid and storey settings, once before the storeys.
void writeGridAndStoreySettings(const ImportModel& model, Common::HostDocument& document);

}  // namespace Importer
