#pragma once

#include "exporter/model/ExportModel.h"

namespace Exporter {

// Moves the whole model by whole grid steps so that it lies in the first
// quadrant.
void shiftToFirstQuadrant(ExportModel& model);

}  // namespace Exporter
