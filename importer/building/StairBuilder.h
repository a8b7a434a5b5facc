#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "common/host/HostDocument.h"
#include "common/platform/Platform.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// The stair's block pattern (one hex digit per block, first block most
// significant); empty when the stair cannot be recognised.
std::optional<int> stairBlockPattern(const ImportStair& stair);

// Moves tread t onto the barrier-free rules (riser height r) when it misses
// them by less than half a millimetre.
double nudgeTread(double t, double r);

// One new host stair per recognised stair of the storey. A stair whose
// measures come out not finite is skipped and reported.
void buildStairs(const ImportModel& model, Common::HostDocument& document, int storey, int barrierFreeGrade,
                 Common::Platform& platform);
// As above, with `stairs` the positions of the storey's stairs in the model's list.
void buildStairs(const ImportModel& model, Common::HostDocument& document, int storey, int barrierFreeGrade,
                 Common::Platform& platform, const std::vector<std::size_t>& stairs);

}  // namespace Importer
