#include "exporter/reading/WallBoxes.h"

namespace Exporter {

namespace {

constexpr int kFullHeight = 1;
constexpr int kHanging = 2;
constexpr int kStanding = 3;
constexpr int kFree = 4;

}  // namespace

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
        return {kFullHeight, f, c};
    }
    if (bottom <= 0) {
        return h <= top ? WallHeights{kFullHeight, f, c} : WallHeights{kStanding, f, f + top};
    }
    return h <= top ? WallHeights{kHanging, f + bottom, c} : WallHeights{kFree, f + bottom, f + top};
}

WallHeights type20WallHeights(bool hanging, double bottom, double height, const RoomHeightRange& range)
{
    const double f = range.floorMax;
    const double c = range.ceilingMax;
    const double h = range.height();
    if (hanging) {
        return h > height ? WallHeights{kHanging, c - height, c} : WallHeights{kFullHeight, f, c};
    }
    if (bottom <= 0) {
        return h > bottom + height ? WallHeights{kStanding, f, f + height} : WallHeights{kFullHeight, f, c};
    }
    return h > bottom + height ? WallHeights{kFree, f + bottom, f + bottom + height}
                               : WallHeights{kHanging, f + bottom, c};
}

}  // namespace Exporter
