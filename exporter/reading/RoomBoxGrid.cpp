#include "exporter/reading/RoomBoxGrid.h"

#include <algorithm>
#include <cmath>

namespace Exporter {

namespace {

// Boxes reaching beyond this, or spanning more cells than kManyCells, are
// candidates for every query; so is every room when a query spans more.
constexpr double kLargestCoordinate = 1e12;
constexpr std::int64_t kManyCells = 64;

bool usable(const RoomBoxGrid::Box& b)
{
    return std::fabs(b.minX) <= kLargestCoordinate && std::fabs(b.maxX) <= kLargestCoordinate &&
           std::fabs(b.minY) <= kLargestCoordinate && std::fabs(b.maxY) <= kLargestCoordinate && b.minX <= b.maxX &&
           b.minY <= b.maxY;
}

}  // namespace

RoomBoxGrid::RoomBoxGrid(const std::vector<const Box*>& boxes)
{
    std::vector<double> sides;
    double minX = kLargestCoordinate;
    double minY = kLargestCoordinate;
    double maxX = -kLargestCoordinate;
    double maxY = -kLargestCoordinate;
    for (const Box* b : boxes) {
        if (b != nullptr && usable(*b)) {
            sides.push_back(std::max(b->maxX - b->minX, b->maxY - b->minY));
            minX = std::min(minX, b->minX);
            minY = std::min(minY, b->minY);
            maxX = std::max(maxX, b->maxX);
            maxY = std::max(maxY, b->maxY);
        }
    }
    if (!sides.empty()) {
        std::nth_element(sides.begin(), sides.begin() + static_cast<std::ptrdiff_t>(sides.size() / 2), sides.end());
        const double extent = std::max(maxX - minX, maxY - minY);
        // Cells twice the middle room's side, and no more than about 4n of
        // them over the storey.
        cell_ = std::max({2 * sides[sides.size() / 2],
                          extent / (2 * std::sqrt(static_cast<double>(sides.size()))), 1e-9 * extent});
        originX_ = minX;
        originY_ = minY;
        if (!(cell_ > 0.0)) {
            cell_ = 0.0;
        }
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto position = static_cast<std::uint32_t>(i);
        CellKey low{};
        CellKey high{};
        if (boxes[i] == nullptr || !usable(*boxes[i]) || !cellRange(*boxes[i], low, high)) {
            everywhere_.push_back(position);
            continue;
        }
        for (std::int64_t x = low.x; x <= high.x; ++x) {
            for (std::int64_t y = low.y; y <= high.y; ++y) {
                cells_[CellKey{x, y}].push_back(position);
            }
        }
    }
}

// The cells a box covers; false when it covers more than kManyCells or lies
// beyond what the grid can number.
bool RoomBoxGrid::cellRange(const Box& box, CellKey& low, CellKey& high) const
{
    if (cell_ == 0.0 || !usable(box)) {
        return false;
    }
    // A tiny storey's cells can be far too small to number a distant box.
    constexpr double kLargestCell = 1e15;
    const auto cellOf = [&](double v, double origin) { return std::floor((v - origin) / cell_); };
    const double x0 = cellOf(box.minX, originX_);
    const double y0 = cellOf(box.minY, originY_);
    const double x1 = cellOf(box.maxX, originX_);
    const double y1 = cellOf(box.maxY, originY_);
    if (!(std::fabs(x0) < kLargestCell && std::fabs(y0) < kLargestCell && std::fabs(x1) < kLargestCell &&
          std::fabs(y1) < kLargestCell) ||
        x1 - x0 >= kManyCells || y1 - y0 >= kManyCells) {
        return false;
    }
    low = CellKey{static_cast<std::int64_t>(x0), static_cast<std::int64_t>(y0)};
    high = CellKey{static_cast<std::int64_t>(x1), static_cast<std::int64_t>(y1)};
    return (high.x - low.x + 1) * (high.y - low.y + 1) <= kManyCells;
}

bool RoomBoxGrid::candidates(const Box& query, std::vector<std::uint32_t>& found) const
{
    found.clear();
    CellKey low{};
    CellKey high{};
    if (!cellRange(query, low, high)) {
        return false;
    }
    // Two closed boxes that meet share a point, and that point's cell is
    // among the cells of both (numbering cells is monotonic in x and y).
    found = everywhere_;
    for (std::int64_t x = low.x; x <= high.x; ++x) {
        for (std::int64_t y = low.y; y <= high.y; ++y) {
            const auto it = cells_.find(CellKey{x, y});
            if (it != cells_.end()) {
                found.insert(found.end(), it->second.begin(), it->second.end());
            }
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return true;
}

}  // namespace Exporter
