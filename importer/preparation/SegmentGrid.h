#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/geometry/Vector2.h"

namespace Importer {

// A coarse spatial index of segments per storey. It only narrows down which
// segments can possibly lie on top of a given one: a query returns every
// segment whose box, enlarged by a margin far above the overlap tolerance,
// meets the query's box (and possibly more, in any order, repeated).
class SegmentGrid {
public:
    void insert(int storey, std::size_t id, const Common::Vector2d& a, const Common::Vector2d& b);
    // Takes a segment out again; a, b must be what it was inserted with.
    void remove(int storey, std::size_t id, const Common::Vector2d& a, const Common::Vector2d& b);

    template <typename F>
    void forEachCandidate(int storey, const Common::Vector2d& a, const Common::Vector2d& b, F&& f) const
    {
        const auto storeyIt = storeys_.find(storey);
        if (storeyIt == storeys_.end()) {
            return;
        }
        const Storey& s = storeyIt->second;
        CellBox box;
        if (!cellBox(a, b, box)) {
            for (std::size_t id : s.all) {
                f(id);
            }
            return;
        }
        for (std::size_t id : s.large) {
            f(id);
        }
        for (std::int64_t ix = box.x0; ix <= box.x1; ++ix) {
            for (std::int64_t iy = box.y0; iy <= box.y1; ++iy) {
                const auto it = s.cells.find(cellKey(ix, iy));
                if (it != s.cells.end()) {
                    for (std::size_t id : it->second) {
                        f(id);
                    }
                }
            }
        }
    }

private:
    struct CellBox {
        std::int64_t x0, y0, x1, y1;
    };
    struct Storey {
        std::unordered_map<std::uint64_t, std::vector<std::size_t>> cells;
        std::unordered_set<std::size_t> large;  // segments spanning too many cells
        std::unordered_set<std::size_t> all;
    };

    // False when the box is too large (or too far out) for cells.
    static bool cellBox(const Common::Vector2d& a, const Common::Vector2d& b, CellBox& box);
    static std::uint64_t cellKey(std::int64_t ix, std::int64_t iy)
    {
        return (static_cast<std::uint64_t>(ix) << 32) ^ (static_cast<std::uint64_t>(iy) & 0xffffffffu);
    }

    std::unordered_map<int, Storey> storeys_;
};

}  // namespace Importer
