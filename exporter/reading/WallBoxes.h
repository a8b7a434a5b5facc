#pragma once

#include "common/geometry/Segment.h"
#include "exporter/reading/RoomHeightRange.h"

namespace Exporter {

// Wall kind codes: from floor to ceiling, hanging from the ceiling, standing
// on the floor, and free of both.
inline constexpr int kWallFullHeight = 1;
inline constexpr int kWallHanging = 2;
inline constexpr int kWallStanding = 3;
inline constexpr int kWallFree = 4;

// Kind code and absolute heights of a wall.
struct WallHeights {
    int kindCode = 0;
    double bottom = 0;
    double top = 0;
};

// A wall box as the host describes it: its centre and extents along x and y.
struct WallBoxShape {
    double centreX = 0;
    double centreY = 0;
    double extentX = 0;
    double extentY = 0;
};

// The wall runs along the longer side through the centre (along x when both
// are equal); the shorter extent is its thickness.
Common::Segment wallBoxCentreLine(const WallBoxShape& box, double& thickness);

// A type-5 box: `fullHeight` flag, bottom offset B and top T above the floor.
WallHeights type5WallHeights(bool fullHeight, double bottom, double top, const RoomHeightRange& range);

// A type-20 box: `hanging` flag, bottom offset B and the wall's own height T.
WallHeights type20WallHeights(bool hanging, double bottom, double height, const RoomHeightRange& range);

}  // namespace Exporter
