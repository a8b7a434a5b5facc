#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "common/geometry/Vector2.h"
#include "exporter/geometry/CellKey.h"

namespace Exporter::OutlineSteps {

// A bucket grid over points, for finding the points that match a given point
// (closer than 0.001) without looking at all of them. It only proposes
// candidates: callers still apply the exact point-match test, so the grid can
// never change which points match. Callers either take out the entries of
// points that move or go, or skip such entries themselves.
class EndpointGrid {
public:
    void add(const Common::Vector2d& p, std::uint32_t entry)
    {
        if (2 * (used_ + 1) > slots_.size()) {
            grow();
        }
        Slot& slot = find(Key{cellOf(p.x), cellOf(p.y)});
        if (!slot.taken) {
            slot.key = Key{cellOf(p.x), cellOf(p.y)};
            slot.taken = true;
            ++used_;
        }
        nodes_.push_back(Node{entry, slot.head});
        slot.head = static_cast<std::uint32_t>(nodes_.size() - 1);
    }

    // Takes out the entry added for point p (the point as it was added); an
    // entry that is not there is ignored. Cells hold few entries, so this
    // is a short walk.
    void remove(const Common::Vector2d& p, std::uint32_t entry)
    {
        if (slots_.empty()) {
            return;
        }
        Slot& slot = find(Key{cellOf(p.x), cellOf(p.y)});
        for (std::uint32_t* link = &slot.head; *link != kNone; link = &nodes_[*link].next) {
            if (nodes_[*link].entry == entry) {
                *link = nodes_[*link].next;
                return;
            }
        }
    }

    // Calls visit(entry), in no particular order, for every entry in the
    // cells that any point within the match distance of p can lie in; an
    // entry may come more than once when it was added again without the old
    // one taken out.
    template <typename Visit>
    void forEachNear(const Common::Vector2d& p, Visit&& visit) const
    {
        if (slots_.empty()) {
            return;
        }
        const std::int64_t x0 = cellOf(p.x - kReach);
        const std::int64_t x1 = cellOf(p.x + kReach);
        const std::int64_t y0 = cellOf(p.y - kReach);
        const std::int64_t y1 = cellOf(p.y + kReach);
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            for (std::int64_t cy = y0; cy <= y1; ++cy) {
                for (std::uint32_t n = find(Key{cx, cy}).head; n != kNone; n = nodes_[n].next) {
                    visit(nodes_[n].entry);
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
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    // Coordinates are bounded (kLargestCoordinate), so cell numbers fit.
    static std::int64_t cellOf(double v) { return static_cast<std::int64_t>(std::floor(v / kCell)); }

    using Key = CellKey;

    // The cells in one flat table (open addressing, at most half full) and
    // their entries in one flat list, each cell's entries linked from its
    // slot: a grid of hundreds of thousands of points costs a few large
    // allocations instead of one per cell.
    // A cell whose entries were all taken out keeps its slot, so that the
    // probe sequences running through it stay unbroken.
    struct Slot {
        Key key{0, 0};
        std::uint32_t head = kNone;
        bool taken = false;
    };
    struct Node {
        std::uint32_t entry;
        std::uint32_t next;
    };

    const Slot& find(const Key& key) const
    {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = CellKeyHash{}(key) & mask;; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (!slot.taken || slot.key == key) {
                return slot;
            }
        }
    }
    Slot& find(const Key& key) { return const_cast<Slot&>(static_cast<const EndpointGrid*>(this)->find(key)); }

    void grow()
    {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(old.empty() ? 64 : 2 * old.size(), Slot{});
        for (const Slot& slot : old) {
            if (slot.taken) {
                find(slot.key) = slot;
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::vector<Node> nodes_;
};

}  // namespace Exporter::OutlineSteps
