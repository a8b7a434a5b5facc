#include "exporter/reading/RoomHeightRange.h"

#include <algorithm>
#include <cmath>

#include "common/geometry/Geometry.h"

namespace Exporter {

namespace {

// Points closer than this to a room's outline count as on it.
constexpr double kRoomTolerance = 0.01;

bool insideOrOn(const Vector2d& p, const std::vector<Vector2d>& outline)
{
    const int where = Common::pointAgainstOutline(p, outline, kRoomTolerance);
    return where == 1 || where == 2;
}

bool matches(const ExportRoom& room, const Vector2d& p1, const Vector2d& p2)
{
    return (insideOrOn(p1, room.outline) && insideOrOn(p2, room.outline)) ||
           Common::segmentAlongBoundary(p1, p2, room.outline, kRoomTolerance);
}

}  // namespace

RoomHeightIndex::RoomHeightIndex(const ExportModel& model)
{
    for (const auto& room : model.rooms) {
        if (room->outline.empty()) {
            continue;  // matches nothing
        }
        Entry entry;
        entry.room = room.get();
        entry.boxKnown = true;
        entry.minX = entry.maxX = room->outline.front().x;
        entry.minY = entry.maxY = room->outline.front().y;
        for (const Vector2d& q : room->outline) {
            if (!std::isfinite(q.x) || !std::isfinite(q.y)) {
                entry.boxKnown = false;
                break;
            }
            entry.minX = std::min(entry.minX, q.x);
            entry.maxX = std::max(entry.maxX, q.x);
            entry.minY = std::min(entry.minY, q.y);
            entry.maxY = std::max(entry.maxY, q.y);
        }
        byStorey_[room->storey].push_back(entry);
    }
}

RoomHeightRange RoomHeightIndex::range(int storey, const Vector2d& p1, const Vector2d& p2) const
{
    RoomHeightRange range;
    const auto rooms = byStorey_.find(storey);
    if (rooms == byStorey_.end()) {
        return range;
    }
    // A quick rejection that never changes the answer: a point inside or on
    // an outline lies in its box widened by half the tolerance, and a segment
    // along an edge has a point within the tolerance of that edge, so in both
    // cases the segment's box meets the room's box widened by the tolerance.
    const double t = kRoomTolerance;
    const double segMinX = std::min(p1.x, p2.x);
    const double segMaxX = std::max(p1.x, p2.x);
    const double segMinY = std::min(p1.y, p2.y);
    const double segMaxY = std::max(p1.y, p2.y);
    bool matched = false;
    for (const Entry& e : rooms->second) {
        if (e.boxKnown && (segMaxX < e.minX - t || segMinX > e.maxX + t || segMaxY < e.minY - t ||
                           segMinY > e.maxY + t)) {
            continue;
        }
        if (!matches(*e.room, p1, p2)) {
            continue;
        }
        if (!matched) {
            range.floorMax = e.room->floorHeight;
            range.ceilingMax = e.room->ceilingHeight;
            matched = true;
        } else {
            range.floorMax = std::max(range.floorMax, e.room->floorHeight);
            range.ceilingMax = std::max(range.ceilingMax, e.room->ceilingHeight);
        }
    }
    return range;
}

RoomHeightRange roomHeightRange(const ExportModel& model, int storey, const Vector2d& p1, const Vector2d& p2)
{
    return RoomHeightIndex(model).range(storey, p1, p2);
}

}  // namespace Exporter
