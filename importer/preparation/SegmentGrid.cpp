#include "importer/preparation/SegmentGrid.h"

#include <algorithm>
#include <cmath>

namespace Importer {

namespace {

constexpr double kCellSize = 2000.0;
// Cell borders lie off the round numbers plans are drawn on, so that a wall
// on such a line (y = 0, say) does not sit on a border and fall into two
// rows of cells.
constexpr double kCellShift = 737.0;
// Far above the 0.01 overlap tolerance, so rounding can never hide a pair.
constexpr double kMargin = 1.0;
constexpr double kFarOut = 1e12;

}  // namespace

SegmentGrid::Box SegmentGrid::boxAround(const Common::Vector2d& a, const Common::Vector2d& b)
{
    return Box{std::min(a.x, b.x) - kMargin, std::min(a.y, b.y) - kMargin, std::max(a.x, b.x) + kMargin,
               std::max(a.y, b.y) + kMargin};
}

bool SegmentGrid::cellBox(const Box& near, CellBox& box)
{
    if (!(near.minX > -kFarOut && near.maxX < kFarOut && near.minY > -kFarOut && near.maxY < kFarOut)) {
        return false;
    }
    box.x0 = static_cast<std::int64_t>(std::floor((near.minX + kCellShift) / kCellSize));
    box.x1 = static_cast<std::int64_t>(std::floor((near.maxX + kCellShift) / kCellSize));
    box.y0 = static_cast<std::int64_t>(std::floor((near.minY + kCellShift) / kCellSize));
    box.y1 = static_cast<std::int64_t>(std::floor((near.maxY + kCellShift) / kCellSize));
    return (box.x1 - box.x0 + 1) * (box.y1 - box.y0 + 1) <= kMaxCells;
}

void SegmentGrid::insert(int storey, std::size_t id, const Common::Vector2d& a, const Common::Vector2d& b)
{
    if (id >= removed_.size()) {
        removed_.resize(id + 1, 0);
    }
    removed_[id] = 0;
    Storey& s = storeys_[storey];
    const Entry entry{id, boxAround(a, b)};
    s.all.entries.push_back(entry);
    CellBox box;
    if (!cellBox(entry.box, box)) {
        s.large.entries.push_back(entry);
        return;
    }
    for (std::int64_t ix = box.x0; ix <= box.x1; ++ix) {
        for (std::int64_t iy = box.y0; iy <= box.y1; ++iy) {
            s.cells[cellKey(ix, iy)].entries.push_back(entry);
        }
    }
}

void SegmentGrid::dropFrom(IdList& list)
{
    // Removed entries are skipped by the queries; once they are the
    // majority they are swept out, so a list is never more than twice its
    // live size.
    if (++list.removed * 2 > list.entries.size()) {
        std::erase_if(list.entries, [this](const Entry& e) { return removed_[e.id] != 0; });
        list.removed = 0;
    }
}

void SegmentGrid::remove(int storey, std::size_t id, const Common::Vector2d& a, const Common::Vector2d& b)
{
    const auto storeyIt = storeys_.find(storey);
    if (storeyIt == storeys_.end() || id >= removed_.size() || removed_[id] != 0) {
        return;
    }
    removed_[id] = 1;
    Storey& s = storeyIt->second;
    dropFrom(s.all);
    CellBox box;
    if (!cellBox(boxAround(a, b), box)) {
        dropFrom(s.large);
        return;
    }
    for (std::int64_t ix = box.x0; ix <= box.x1; ++ix) {
        for (std::int64_t iy = box.y0; iy <= box.y1; ++iy) {
            const auto it = s.cells.find(cellKey(ix, iy));
            if (it != s.cells.end()) {
                dropFrom(it->second);
            }
        }
    }
}

}  // namespace Importer
