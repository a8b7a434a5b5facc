#pragma once

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "common/geometry/Vector2.h"
#include "exporter/geometry/CellKey.h"

namespace Exporter::OutlineSteps {

// A bucket grid over points, for finding the points that match a given point
// (closer than 0.001) without looking at all of them. It only proposes
// candidates: callers still apply the exact point-match test, so the grid can
// never change which points match. Entries are never taken out; callers skip
// entries whose owner is gone or whose point has moved since.
class EndpointGrid {
public:
    void add(const Common::Vector2d& p, std::uint32_t entry) { cells_[keyOf(cellOf(p.x), cellOf(p.y))].push_back(entry); }

    // Calls visit(entry) for every entry in the cells that any point within
    // the match distance of p can lie in; an entry may come more than once
    // when its point was added again after moving.
    template <typename Visit>
    void forEachNear(const Common::Vector2d& p, Visit&& visit) const
    {
        const std::int64_t x0 = cellOf(p.x - kReach);
        const std::int64_t x1 = cellOf(p.x + kReach);
        const std::int64_t y0 = cellOf(p.y - kReach);
        const std::int64_t y1 = cellOf(p.y + kReach);
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            for (std::int64_t cy = y0; cy <= y1; ++cy) {
                const auto found = cells_.find(keyOf(cx, cy));
                if (found != cells_.end()) {
                    for (const std::uint32_t entry : found->second) {
                        visit(entry);
                    }
                }
            }
        }
    }

private:
    // Cells are much wider than the match distance, so a query mostly looks
    // at one cell. The reach is a little more than the match distance to
    // allow for rounding in the squared-distance test.
    static constexpr double kCell = 0.01;
    static constexpr double kReach = 0.0011;

    // Coordinates are bounded (kLargestCoordinate), so cell numbers fit.
    static std::int64_t cellOf(double v) { return static_cast<std::int64_t>(std::floor(v / kCell)); }

    using Key = CellKey;
    static Key keyOf(std::int64_t x, std::int64_t y) { return Key{x, y}; }

    std::unordered_map<Key, std::vector<std::uint32_t>, CellKeyHash> cells_;
};

}  // namespace Exporter::OutlineSteps
