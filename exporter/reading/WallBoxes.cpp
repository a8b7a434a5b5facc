#include "exporter/reading/WallBoxes.h"

namespace Exporter {

Common::Segment wallBoxCentreLine(const WallBoxShape& box, double& thickness)
{
    if (box.extentX < box.extentY) {
        thickness = box.extentX;
        return {Vector2d(box.centreX, box.centreY - box.extentY / 2), Vector2d(box.centreX, box.centreY + box.extentY / 2)};
    }
    thickness = box.extentY;
    return {Vector2d(box.centreX - box.extentX / 2, box.centreY), Vector2d(box.centreX + box.extentX / 2, box.centreY)};
}

WallHeights type5WallHeights(bool fullHeight, double bottom, double top, const RoomHeightRange& range)
{
    const double f = range.floorMax;
    const double c = range.ceilingMax;
    const double h = range.height();
    if (fullHeight) {
        return {kWallFullHeight, f, c};
    }
    if (bottom <= 0) {
        return h <= top ? WallHeights{kWallFullHeight, f, c} : WallHeights{kWallStanding, f, f + top};
    }
    return h <= top ? WallHeights{kWallHanging, f + bottom, c} : WallHeights{kWallFree, f + bottom, f + top};
}

WallHeights type20WallHeights(bool hanging, double bottom, double height, const RoomHeightRange& range)
{
    const double f = range.floorMax;
    const double c = range.ceilingMax;
    const double h = range.height();
    if (hanging) {
        return h > height ? WallHeights{kWallHanging, c - height, c} : WallHeights{kWallFullHeight, f, c};
    }
    if (bottom <= 0) {
        return h > bottom + height ? WallHeights{kWallStanding, f, f + height} : WallHeights{kWallFullHeight, f, c};
    }
    return h > bottom + height ? WallHeights{kWallFree, f + bottom, f + bottom + height}
                               : WallHeights{kWallHanging, f + bottom, c};
}

}  // namespace Exporter
