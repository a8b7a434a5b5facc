#include "exporter/reading/RoomHeightRange.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "common/geometry/Geometry.h"
#include "exporter/reading/RoomBoxGrid.h"

namespace Exporter {

namespace {

// Points closer than this to a room's outline count as on it.
constexpr double kRoomTolerance = 0.01;

bool insideOrOnOutline(const Vector2d& p, const std::vector<Vector2d>& outline)
{
    const int where = Common::pointAgainstOutline(p, outline, kRoomTolerance);
    return where == 1 || where == 2;
}

// Outlines with more points than this keep their edges by position.
constexpr std::size_t kIndexedPoints = 64;
// Outlines reaching beyond this are left to the plain test.
constexpr double kIndexedExtent = 1e12;
// An edge spanning more cells than this is looked at for every point.
constexpr std::int64_t kMaxEdgeCells = 16;

std::uint64_t cellKey(std::int64_t ix, std::int64_t iy)
{
    return static_cast<std::uint64_t>(ix) * 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint64_t>(iy);
}

}  // namespace

struct RoomHeightIndex::OutlineEdges {
    const std::vector<Vector2d>* outline = nullptr;
    Common::Range2d box;  // the outline's box widened as the point test widens it
    double cell = 1.0;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> cells;  // edges by the cells they come near
    std::vector<std::size_t> longEdges;

    std::int64_t cellOf(double v) const { return static_cast<std::int64_t>(std::floor(v / cell)); }

    OutlineEdges(const std::vector<Vector2d>& points, double minX, double maxX, double minY, double maxY)
        : outline(&points)
    {
        box = Common::boundingBox(points);
        const double half = kRoomTolerance / 2.0;
        box.min.x -= half;
        box.min.y -= half;
        box.max.x += half;
        box.max.y += half;
        // About one edge per cell along the outline.
        const double extent = std::max(maxX - minX, maxY - minY);
        cell = std::max(1.0, extent / std::sqrt(static_cast<double>(points.size())));
        // Far wider than the tolerance, so that rounding in the boundary
        // test cannot reach past it.
        const double margin = 4 * kRoomTolerance;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Vector2d& a = points[i];
            const Vector2d& b = points[(i + 1) % points.size()];
            const std::int64_t x0 = cellOf(std::min(a.x, b.x) - margin), x1 = cellOf(std::max(a.x, b.x) + margin);
            const std::int64_t y0 = cellOf(std::min(a.y, b.y) - margin), y1 = cellOf(std::max(a.y, b.y) + margin);
            if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxEdgeCells) {
                longEdges.push_back(i);
                continue;
            }
            for (std::int64_t ix = x0; ix <= x1; ++ix) {
                for (std::int64_t iy = y0; iy <= y1; ++iy) {
                    cells[cellKey(ix, iy)].push_back(i);
                }
            }
        }
    }

    // True when the point test would find p on the outline: p lies in the
    // widened box and some edge passes the boundary test, whichever edge the
    // test would meet first.
    bool onBoundary(const Vector2d& p) const
    {
        if (!box.contains(p)) {
            return false;
        }
        const auto passes = [&](std::size_t i) {
            return Common::pointOnEdge(p, (*outline)[i], (*outline)[(i + 1) % outline->size()], kRoomTolerance);
        };
        if (std::any_of(longEdges.begin(), longEdges.end(), passes)) {
            return true;
        }
        const auto it = cells.find(cellKey(cellOf(p.x), cellOf(p.y)));
        return it != cells.end() && std::any_of(it->second.begin(), it->second.end(), passes);
    }
};

// The rooms of one storey in room order, with their boxes (widened by the
// tolerance, as the quick rejection widens them) in a grid.
struct RoomHeightIndex::Storey {
    std::vector<Entry> entries;
    RoomBoxGrid grid;

    static std::vector<RoomBoxGrid::Box> widenedBoxes(const std::vector<Entry>& entries)
    {
        std::vector<RoomBoxGrid::Box> boxes;
        for (const Entry& e : entries) {
            boxes.push_back(RoomBoxGrid::Box{e.minX - kRoomTolerance, e.minY - kRoomTolerance, e.maxX + kRoomTolerance,
                                             e.maxY + kRoomTolerance});
        }
        return boxes;
    }
    static std::vector<const RoomBoxGrid::Box*> known(const std::vector<Entry>& entries,
                                                      const std::vector<RoomBoxGrid::Box>& boxes)
    {
        std::vector<const RoomBoxGrid::Box*> pointers;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            pointers.push_back(entries[i].boxKnown ? &boxes[i] : nullptr);
        }
        return pointers;
    }

    explicit Storey(std::vector<Entry> rooms)
        : entries(std::move(rooms)), grid(known(entries, widenedBoxes(entries)))
    {
    }
};

bool RoomHeightIndex::insideOrOn(const Entry& e, const Vector2d& p)
{
    return (e.edges && e.edges->onBoundary(p)) || insideOrOnOutline(p, e.room->outline);
}

bool RoomHeightIndex::matches(const Entry& e, const Vector2d& p1, const Vector2d& p2)
{
    return (insideOrOn(e, p1) && insideOrOn(e, p2)) ||
           Common::segmentAlongBoundary(p1, p2, e.room->outline, kRoomTolerance);
}

RoomHeightIndex::RoomHeightIndex(const ExportModel& model)
{
    std::map<int, std::vector<Entry>> rooms;
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
        if (entry.boxKnown && room->outline.size() > kIndexedPoints &&
            std::max({std::fabs(entry.minX), std::fabs(entry.maxX), std::fabs(entry.minY), std::fabs(entry.maxY)}) <
                kIndexedExtent) {
            entry.edges = std::make_shared<const OutlineEdges>(room->outline, entry.minX, entry.maxX, entry.minY,
                                                               entry.maxY);
        }
        rooms[room->storey].push_back(entry);
    }
    for (auto& [storey, entries] : rooms) {
        byStorey_.emplace(storey, std::make_shared<const Storey>(std::move(entries)));
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
    const auto visit = [&](const Entry& e) {
        if (e.boxKnown && (segMaxX < e.minX - t || segMinX > e.maxX + t || segMaxY < e.minY - t ||
                           segMinY > e.maxY + t)) {
            return;
        }
        if (!matches(e, p1, p2)) {
            return;
        }
        if (!matched) {
            range.floorMax = e.room->floorHeight;
            range.ceilingMax = e.room->ceilingHeight;
            matched = true;
        } else {
            range.floorMax = std::max(range.floorMax, e.room->floorHeight);
            range.ceilingMax = std::max(range.ceilingMax, e.room->ceilingHeight);
        }
    };
    // The rooms whose widened box the segment's box can meet, in room order
    // as the plain walk over all rooms visits them (the order matters when a
    // height is not a number); every room when the grid cannot say.
    const Storey& s = *rooms->second;
    std::vector<std::uint32_t> near;
    if (s.grid.candidates(RoomBoxGrid::Box{segMinX, segMinY, segMaxX, segMaxY}, near)) {
        for (const std::uint32_t i : near) {
            visit(s.entries[i]);
        }
    } else {
        for (const Entry& e : s.entries) {
            visit(e);
        }
    }
    return range;
}

RoomHeightRange roomHeightRange(const ExportModel& model, int storey, const Vector2d& p1, const Vector2d& p2)
{
    return RoomHeightIndex(model).range(storey, p1, p2);
}

}  // namespace Exporter
