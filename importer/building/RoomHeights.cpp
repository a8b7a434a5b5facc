#include "importer/building/RoomHeights.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Importer {

namespace {

constexpr double kTolerance = 0.01;

template <typename Select>
RoomHeightPair highest(const ImportModel& model, int storey, Select selects)
{
    RoomHeightPair out;
    bool any = false;
    for (const auto& room : model.rooms) {
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
    return highest(model, storey, [&](const ImportRoom& r) { return segmentOnBoundary(a, b, r.outline); });
}

RoomHeightPair roomHeightsAround(const ImportModel& model, int storey, const Vector2d& a, const Vector2d& b)
{
    return highest(model, storey, [&](const ImportRoom& r) {
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
