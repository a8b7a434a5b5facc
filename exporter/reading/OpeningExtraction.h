#pragma once

#include "common/geometry/Segment.h"
#include "common/host/HostDocument.h"
#include "exporter/model/ExportModel.h"
#include "exporter/reading/RoomHeightRange.h"

namespace Exporter {

// How an opening is laid out on its wall line: lengthened at both ends by
// half the standard wall thickness when OpeningExtendType is 1.
struct OpeningLayout {
    double wallThickness = 0;
    int openingExtendType = 0;
};

// The openings a wall-attached object can give.
enum class WallAttachedOpening {
    FullHeight,   // type 21, or type 22 reaching from the floor to the ceiling
    WindowLike,   // type 22 with wall below and above it
};

// Appends the opening of a wall-attached object with segment p1 -> p2, head
// U and sill L above the floor, and returns the opening's segment as it was
// laid out (extended when the layout asks for it).
Common::Segment appendWallAttachedOpening(ExportModel& model, int storey, const Vector2d& p1, const Vector2d& p2,
                                          double upper, double lower, const RoomHeightRange& range,
                                          WallAttachedOpening kind, const OpeningLayout& layout);

// Asks the host for the fitting of the object under the cursor (its fitting reading)
// and appends its opening when it has one that lies in a room of `storey`.
void appendFittingOpening(ExportModel& model, const RoomHeightIndex& rooms, Common::HostDocument& document,
                          int storey, const OpeningLayout& layout);

}  // namespace Exporter
