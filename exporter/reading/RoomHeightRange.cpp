#include "exporter/reading/RoomHeightRange.h"

#include <algorithm>
#include <cmath>

#include "common/geometry/Geometry.h"

namespace Exporter {

namespace {

// Points closer than this to a room's outline count as on it.
constexpr double kRoomTolerance = 0.01;

bool finite(const Vector2d& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// A quick rejection that never changes the answer: a point inside or on the
// outline lies in its box widened by half the tolerance, and a segment along
// an edge has a point within the tolerance of that edge, so in both cases
// the segment's box meets the room's box widened by the tolerance. Outlines
// with values that are not finite are always tested in full.
bool mayMatch(const std::vector<Vector2d>& outline, const Vector2d& p1, const Vector2d& p2)
{
    if (outline.empty()) {
        return false;
    }
    double minX = outline.front().x;
    double maxX = minX;
    double minY = outline.front().y;
    double maxY = minY;
    for (const Vector2d& q : outline) {
        if (!finite(q)) {
            return true;
        }
        minX = std::min(minX, q.x);
        maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y);
        maxY = std::max(maxY, q.y);
    }
    const double t = kRoomTolerance;
    return !(std::max(p1.x, p2.x) < minX - t || std::min(p1.x, p2.x) > maxX + t ||
             std::max(p1.y, p2.y) < minY - t || std::min(p1.y, p2.y) > maxY + t);
}

bool insideOrOn(const Vector2d& p, const std::vector<Vector2d>& outline)
{
    const int where = Common::pointAgainstOutline(p, outline, kRoomTolerance);
    return where == 1 || where == 2;
}

}  // namespace

RoomHeightRange roomHeightRange(const ExportModel& model, int storey, const Vector2d& p1, const Vector2d& p2)
{
    RoomHeightRange range;
    bool matched = false;
    for (const auto& room : model.rooms) {
        if (room->storey != storey || !mayMatch(room->outline, p1, p2)) {
            continue;
        }
        const bool matches = (insideOrOn(p1, room->outline) && insideOrOn(p2, room->outline)) ||
                             Common::segmentAlongBoundary(p1, p2, room->outline, kRoomTolerance);
        if (!matches) {
            continue;
        }
        if (!matched) {
            range.floorMax = room->floorHeight;
            range.ceilingMax = room->ceilingHeight;
            matched = true;
        } else {
            range.floorMax = std::max(range.floorMax, room->floorHeight);
            range.ceilingMax = std::max(range.ceilingMax, room->ceilingHeight);
        }
    }
    return range;
}

}  // namespace Exporter
