#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/geometry/Vector2.h"

namespace Importer {

// A coarse spatial index of segments per storey. It narrows down which
// segments can possibly lie on top of a given one: the candidates of a query
// are the segments whose box, enlarged by a margin far above the overlap
// tolerance, meets the query's box (and possibly more).
//
// The overlap steps want the first segment in list order that overlaps, so
// candidates are visited in ascending id order and the visit stops at the
// first one accepted: where many segments crowd onto one line, the answer is
// found without testing the whole crowd. For that, the ids of a storey must
// be inserted in ascending order (list positions, appended at the back).
class SegmentGrid {
public:
    static constexpr std::size_t kNoSegment = std::numeric_limits<std::size_t>::max();

    void insert(int storey, std::size_t id, const Common::Vector2d& a, const Common::Vector2d& b);
    // Takes a segment out again; a, b must be what it was inserted with.
    void remove(int storey, std::size_t id, const Common::Vector2d& a, const Common::Vector2d& b);

    // The smallest id among the candidates for segment a-b for which
    // `accept(id)` is true; kNoSegment when there is none.
    template <typename F>
    std::size_t firstCandidate(int storey, const Common::Vector2d& a, const Common::Vector2d& b, F&& accept) const
    {
        const auto storeyIt = storeys_.find(storey);
        if (storeyIt == storeys_.end()) {
            return kNoSegment;
        }
        const Storey& s = storeyIt->second;
        const Box near = boxAround(a, b);
        const auto meets = [&](const Entry& e) {
            return e.box.minX <= near.maxX && near.minX <= e.box.maxX && e.box.minY <= near.maxY &&
                   near.minY <= e.box.maxY;
        };
        CellBox box;
        if (!cellBox(near, box)) {
            for (const Entry& e : s.all.entries) {
                if (!removed_[e.id] && meets(e) && accept(e.id)) {
                    return e.id;
                }
            }
            return kNoSegment;
        }
        // The lists of the box's cells and of the large segments, merged in
        // ascending id order; an id held by several cells is visited once.
        std::array<std::pair<const Entry*, const Entry*>, kMaxCells + 1> lists;
        std::size_t count = 0;
        const auto add = [&](const IdList& l) {
            if (!l.entries.empty()) {
                lists[count++] = {l.entries.data(), l.entries.data() + l.entries.size()};
            }
        };
        add(s.large);
        for (std::int64_t ix = box.x0; ix <= box.x1; ++ix) {
            for (std::int64_t iy = box.y0; iy <= box.y1; ++iy) {
                const auto it = s.cells.find(cellKey(ix, iy));
                if (it != s.cells.end()) {
                    add(it->second);
                }
            }
        }
        for (;;) {
            const Entry* next = nullptr;
            for (std::size_t i = 0; i < count; ++i) {
                if (lists[i].first != lists[i].second && (next == nullptr || lists[i].first->id < next->id)) {
                    next = lists[i].first;
                }
            }
            if (next == nullptr) {
                return kNoSegment;
            }
            const std::size_t id = next->id;
            const bool candidate = !removed_[id] && meets(*next);
            for (std::size_t i = 0; i < count; ++i) {
                if (lists[i].first != lists[i].second && lists[i].first->id == id) {
                    ++lists[i].first;
                }
            }
            if (candidate && accept(id)) {
                return id;
            }
        }
    }

private:
    static constexpr std::int64_t kMaxCells = 64;

    struct CellBox {
        std::int64_t x0, y0, x1, y1;
    };
    // A segment's box, enlarged by the margin.
    struct Box {
        double minX, minY, maxX, maxY;
    };
    // The box is kept beside the id, so that most candidates of a crowded
    // cell are passed over without looking at their record.
    struct Entry {
        std::size_t id;
        Box box;
    };
    // Entries in ascending id order; removed ones stay until they are the
    // majority.
    struct IdList {
        std::vector<Entry> entries;
        std::size_t removed = 0;
    };
    struct Storey {
        std::unordered_map<std::uint64_t, IdList> cells;
        IdList large;  // segments spanning too many cells
        IdList all;
    };

    static Box boxAround(const Common::Vector2d& a, const Common::Vector2d& b);
    // False when the box is too large (or too far out) for cells.
    static bool cellBox(const Box& near, CellBox& box);
    static std::uint64_t cellKey(std::int64_t ix, std::int64_t iy)
    {
        return (static_cast<std::uint64_t>(ix) << 32) ^ (static_cast<std::uint64_t>(iy) & 0xffffffffu);
    }
    void dropFrom(IdList& list);

    std::unordered_map<int, Storey> storeys_;
    std::vector<char> removed_;  // by id
};

}  // namespace Importer
