#include "importer/preparation/SegmentGrid.h"

#include <algorithm>
#include <cmath>

namespace Importer {

namespace {

constexpr double kCellSize = 2000.0;
// Far above the 0.01 overlap tolerance, so rounding can never hide a pair.
constexpr double kMargin = 1.0;
constexpr double kFarOut = 1e12;
constexpr std::int64_t kMaxCells = 64;

}  // namespace

bool SegmentGrid::cellBox(const Common::Vector2d& a, const Common::Vector2d& b, CellBox& box)
{
    const double minX = std::min(a.x, b.x) - kMargin;
    const double maxX = std::max(a.x, b.x) + kMargin;
    const double minY = std::min(a.y, b.y) - kMargin;
    const double maxY = std::max(a.y, b.y) + kMargin;
    if (!(minX > -kFarOut && maxX < kFarOut && minY > -kFarOut && maxY < kFarOut)) {
        return false;
    }
    box.x0 = static_cast<std::int64_t>(std::floor(minX / kCellSize));
    box.x1 = static_cast<std::int64_t>(std::floor(maxX / kCellSize));
    box.y0 = static_cast<std::int64_t>(std::floor(minY / kCellSize));
    box.y1 = static_cast<std::int64_t>(std::floor(maxY / kCellSize));
    return (box.x1 - box.x0 + 1) * (box.y1 - box.y0 + 1) <= kMaxCells;
}

void SegmentGrid::insert(int storey, std::size_t id, const Common::Vector2d& a, const Common::Vector2d& b)
{
    Storey& s = storeys_[storey];
    s.all.insert(id);
    CellBox box;
    if (!cellBox(a, b, box)) {
        s.large.insert(id);
        return;
    }
    for (std::int64_t ix = box.x0; ix <= box.x1; ++ix) {
        for (std::int64_t iy = box.y0; iy <= box.y1; ++iy) {
            s.cells[cellKey(ix, iy)].push_back(id);
        }
    }
}

void SegmentGrid::remove(int storey, std::size_t id, const Common::Vector2d& a, const Common::Vector2d& b)
{
    const auto storeyIt = storeys_.find(storey);
    if (storeyIt == storeys_.end()) {
        return;
    }
    Storey& s = storeyIt->second;
    s.all.erase(id);
    CellBox box;
    if (!cellBox(a, b, box)) {
        s.large.erase(id);
        return;
    }
    for (std::int64_t ix = box.x0; ix <= box.x1; ++ix) {
        for (std::int64_t iy = box.y0; iy <= box.y1; ++iy) {
            const auto it = s.cells.find(cellKey(ix, iy));
            if (it == s.cells.end()) {
                continue;
            }
            std::vector<std::size_t>& ids = it->second;
            for (std::size_t i = 0; i < ids.size(); ++i) {
                if (ids[i] == id) {
                    ids[i] = ids.back();
                    ids.pop_back();
                    break;
                }
            }
        }
    }
}

}  // namespace Importer
