#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "exporter/geometry/CellKey.h"

namespace Exporter {

// The boxes of a storey's rooms in a grid of cells, so that the rooms a wall
// line can touch are found without looking at every room of a long row.
class RoomBoxGrid {
public:
    struct Box {
        double minX;
        double minY;
        double maxX;
        double maxY;
    };

    // Boxes in room order; a room without a box (an outline value that is
    // not finite) is given as nullptr and is a candidate for every query.
    explicit RoomBoxGrid(const std::vector<const Box*>& boxes);

    // Sets `found` to the positions, ascending and each once, of every box
    // that meets the query box (closed boxes), and maybe of some that do not.
    // Returns false when the query is too large or not finite for the grid:
    // then every position is a candidate.
    bool candidates(const Box& query, std::vector<std::uint32_t>& found) const;

private:
    using CellKey = OutlineSteps::CellKey;

    bool cellRange(const Box& box, CellKey& low, CellKey& high) const;

    double originX_ = 0;
    double originY_ = 0;
    double cell_ = 0;  // 0: no grid, every query looks at all
    std::unordered_map<CellKey, std::vector<std::uint32_t>, OutlineSteps::CellKeyHash> cells_;
    std::vector<std::uint32_t> everywhere_;  // positions without a usable box
};

}  // namespace Exporter
