#include "exporter/reading/FirstQuadrantShift.h"

namespace Exporter {

void shiftToFirstQuadrant(ExportModel&) {}

}  // namespace Exporter
