#pragma once

#include <vector>

#include "common/host/HostDocument.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Tatami layout code for a tatami room of the outline, with grid module g.
int tatamiLayout(const std::vector<Vector2d>& outline, double gridModule);

// The outline starting at its vertex of smallest x + y (first on a tie).
std::vector<Vector2d> rotatedToLowestCorner(const std::vector<Vector2d>& outline);

// Operation 37 for every room of the storey, in list order.
void buildRooms(const ImportModel& model, Common::HostDocument& document, int storey);
// As above, with `rooms` the rooms of the storey.
void buildRooms(const ImportModel& model, Common::HostDocument& document, int storey,
                const std::vector<const ImportRoom*>& rooms);

}  // namespace Importer
