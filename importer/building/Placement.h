#pragma once

#include "importer/model/ImportModel.h"

namespace Importer {

// The whole-grid shift that brings reference coordinate `a` within half a
// spacing `m` of the origin; exactly half a spacing stays where it is. A
// spacing of 0 or less (or not a number) gives no shift.
double gridShift(double a, double m);

}  // namespace Importer
