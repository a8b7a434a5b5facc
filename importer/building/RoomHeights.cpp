#include "importer/building/RoomHeights.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Importer {

namespace {

constexpr double kTolerance = 0.01;

template <typename Rooms, typename Select>
RoomHeightPair highest(const Rooms& rooms, int storey, Select selects)
{
    RoomHeightPair out;
    bool any = false;
    for (const auto& room : rooms) {
        if (room->storey != storey || !selects(*room)) {
            continue;
        }
        if (!any) {
            out = {room->floorHeight, room->ceilingHeight};
            any = true;
        } else {
            out.h1 = std::max(out.h1, room->floorHeight);
            out.h2 = std::max(out.h2, room->ceilingHeight);
        }
    }
    return out;
}

}  // namespace

int pointInOutline(const Vector2d& p, const std::vector<Vector2d>& outline)
{
    if (outline.empty()) {
        return -1;
    }
    double minX = outline[0].x, maxX = outline[0].x, minY = outline[0].y, maxY = outline[0].y;
    for (const Vector2d& v : outline) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    const double half = kTolerance / 2;
    if (p.x < minX - half || p.x > maxX + half || p.y < minY - half || p.y > maxY + half) {
        return 0;
    }
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
        if ((p - outline[i]).length() < kTolerance) {
            return 1;
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        const Vector2d& a = outline[i];
        const Vector2d& b = outline[(i + 1) % n];
        const Vector2d e = b - a;
        const double length = e.length();
        if (length == 0) {
            continue;
        }
        const Vector2d u(e.x / length, e.y / length);
        const double t = Common::dot(p - a, u) / length;
        if (std::fabs(Common::cross(p - a, u)) <= kTolerance && t >= 0 && t <= 1) {
            return 1;
        }
    }
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Vector2d a = outline[i] - p;
        const Vector2d b = outline[(i + 1) % n] - p;
        sum += std::atan2(Common::cross(a, b), Common::dot(a, b));
    }
    return std::fabs(sum) < std::numbers::pi ? 0 : 2;
}

bool segmentOnBoundary(const Vector2d& a, const Vector2d& b, const std::vector<Vector2d>& outline)
{
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Vector2d& s = outline[i];
        const Vector2d e = outline[(i + 1) % n] - s;
        const double length = e.length();
        if (length == 0) {
            continue;
        }
        const Vector2d u(e.x / length, e.y / length);
        if (std::fabs(Common::cross(a - s, u)) > kTolerance || std::fabs(Common::cross(b - s, u)) > kTolerance) {
            continue;
        }
        const double ta = Common::dot(a - s, u) / length;
        const double tb = Common::dot(b - s, u) / length;
        if ((ta <= 0 && tb <= 0) || (ta >= 1 && tb >= 1)) {
            continue;
        }
        return true;
    }
    return false;
}

RoomHeightPair roomHeightsAlong(const ImportModel& model, int storey, const Vector2d& a, const Vector2d& b)
{
    return highest(model.rooms, storey, [&](const ImportRoom& r) { return segmentOnBoundary(a, b, r.outline); });
}

RoomHeightPair roomHeightsAround(const ImportModel& model, int storey, const Vector2d& a, const Vector2d& b)
{
    return highest(model.rooms, storey, [&](const ImportRoom& r) {
        return (pointInOutline(a, r.outline) >= 1 && pointInOutline(b, r.outline) >= 1) ||
               segmentOnBoundary(a, b, r.outline);
    });
}

StoreyRooms::StoreyRooms(int storey, const std::vector<const ImportRoom*>& rooms) : storey_(storey)
{
    for (const ImportRoom* room : rooms) {
        // A room without points selects nothing.
        if (room->storey != storey || room->outline.empty()) {
            continue;
        }
        const std::size_t id = rooms_.size();
        rooms_.push_back(room);
        Vector2d lo = room->outline[0], hi = room->outline[0];
        bool finite = true;
        for (const Vector2d& v : room->outline) {
            finite = finite && std::isfinite(v.x) && std::isfinite(v.y);
            lo = Vector2d(std::min(lo.x, v.x), std::min(lo.y, v.y));
            hi = Vector2d(std::max(hi.x, v.x), std::max(hi.y, v.y));
        }
        if (finite) {
            boxes_.insert(storey, id, lo, hi);
        } else {
            // The tests of such an outline can hold for any segment.
            unbounded_.push_back(id);
        }
    }
}

std::vector<const ImportRoom*> StoreyRooms::near(const Vector2d& a, const Vector2d& b) const
{
    if (!(std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) && std::isfinite(b.y))) {
        return rooms_;
    }
    // A room selects a segment only when the segment comes within the
    // tolerance of its outline, far inside the index's margin.
    std::vector<std::size_t> ids = unbounded_;
    boxes_.firstCandidate(storey_, a, b, [&](std::size_t id) {
        ids.push_back(id);
        return false;
    });
    std::sort(ids.begin(), ids.end());
    std::vector<const ImportRoom*> out;
    out.reserve(ids.size());
    for (std::size_t id : ids) {
        out.push_back(rooms_[id]);
    }
    return out;
}

RoomHeightPair StoreyRooms::along(const Vector2d& a, const Vector2d& b) const
{
    const std::vector<const ImportRoom*> rooms = near(a, b);
    return highest(rooms, storey_,
                   [&](const ImportRoom& r) { return segmentOnBoundary(a, b, r.outline); });
}

RoomHeightPair StoreyRooms::around(const Vector2d& a, const Vector2d& b) const
{
    const std::vector<const ImportRoom*> rooms = near(a, b);
    return highest(rooms, storey_, [&](const ImportRoom& r) {
        return (pointInOutline(a, r.outline) >= 1 && pointInOutline(b, r.outline) >= 1) ||
               segmentOnBoundary(a, b, r.outline);
    });
}

void recentre(Vector2d& a, Vector2d& b, double width)
{
    const Vector2d d = b - a;
    const double length = d.length();
    const Vector2d mid((a.x + b.x) / 2, (a.y + b.y) / 2);
    if (length == 0) {
        return;
    }
    const Vector2d half(d.x / length * width / 2, d.y / length * width / 2);
    a = mid - half;
    b = mid + half;
}

}  // namespace Importer
