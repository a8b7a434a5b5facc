#include "importer/preparation/OverlapResolution.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "importer/preparation/SegmentGrid.h"

namespace Importer {

using Common::Vector2d;

namespace {

constexpr double kCollinearTolerance = 0.01;
constexpr double kShortWallLengthSquared = 0.0001;
constexpr std::size_t kPassesPerRecord = 1000;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// The pass limit for a work list that started with n records.
std::size_t passLimit(std::size_t n)
{
    return n > std::numeric_limits<std::size_t>::max() / kPassesPerRecord ? std::numeric_limits<std::size_t>::max()
                                                                           : n * kPassesPerRecord;
}

// A work list whose order is the order of `items`: records are taken from
// the front, removed anywhere and appended at the back, so the position in
// `items` is the position in the list.
template <typename Record>
struct WorkList {
    std::vector<std::unique_ptr<Record>> items;
    std::size_t head = 0;
    SegmentGrid grid;

    void append(std::unique_ptr<Record> r)
    {
        grid.insert(r->storey, items.size(), r->start, r->end);
        items.push_back(std::move(r));
    }
    // Takes record i out of the list.
    std::unique_ptr<Record> take(std::size_t i)
    {
        std::unique_ptr<Record> r = std::move(items[i]);
        grid.remove(r->storey, i, r->start, r->end);
        return r;
    }
    std::size_t first()
    {
        while (head < items.size() && !items[head]) {
            ++head;
        }
        return head < items.size() ? head : kNone;
    }
    // First record in list order on v's storey (v itself aside) whose
    // segment overlaps v's.
    std::size_t firstOverlapping(std::size_t v, OverlapInterval& onV) const
    {
        const Record& rv = *items[v];
        const std::size_t found = grid.firstCandidate(rv.storey, rv.start, rv.end, [&](std::size_t id) {
            if (id == v || !items[id] || items[id]->storey != rv.storey) {
                return false;
            }
            onV = overlapInterval(rv.start, rv.end, items[id]->start, items[id]->end);
            return onV.overlaps();
        });
        return found == SegmentGrid::kNoSegment ? kNone : found;
    }
};

template <typename Record>
std::unique_ptr<Record> piece(const Record& source, const Vector2d& start, const Vector2d& end)
{
    auto copy = std::make_unique<Record>(source);
    copy->start = start;
    copy->end = end;
    return copy;
}

}  // namespace

OverlapInterval overlapInterval(const Vector2d& a, const Vector2d& b, const Vector2d& c, const Vector2d& d)
{
    const Vector2d s = b - a;
    const double length = s.length();
    if (length == 0 || (d - c).length() == 0) {
        return {};
    }
    const Vector2d u(s.x / length, s.y / length);
    if (!(std::fabs(Common::cross(c - a, u)) <= kCollinearTolerance &&
          std::fabs(Common::cross(d - a, u)) <= kCollinearTolerance)) {
        return {};
    }
    const double pc = std::clamp(Common::dot(c - a, u) / length, 0.0, 1.0);
    const double pd = std::clamp(Common::dot(d - a, u) / length, 0.0, 1.0);
    return {std::min(pc, pd), std::max(pc, pd)};
}

Vector2d pointAt(const Vector2d& a, const Vector2d& b, double t)
{
    return Vector2d(a.x * (1 - t) + b.x * t, a.y * (1 - t) + b.y * t);
}

std::vector<std::unique_ptr<ImportWall>> resolveOverlappingWalls(std::vector<std::unique_ptr<ImportWall>> walls,
                                                                 bool& gaveUp)
{
    gaveUp = false;
    std::vector<std::unique_ptr<ImportWall>> out;
    WorkList<ImportWall> work;
    const std::size_t n = walls.size();
    work.items.reserve(n * 2);
    for (auto& w : walls) {
        work.append(std::move(w));
    }
    const auto isShort = [](const ImportWall& w) { return (w.end - w.start).lengthSquared() <= kShortWallLengthSquared; };

    const std::size_t limit = passLimit(n);
    std::size_t passes = 0;
    bool firstPass = true;
    for (std::size_t v = work.first(); v != kNone; v = work.first()) {
        if (++passes > limit) {
            for (std::size_t i = v; i < work.items.size(); ++i) {
                if (work.items[i]) {
                    gaveUp = true;
                    if (!isShort(*work.items[i])) {
                        out.push_back(std::move(work.items[i]));
                    }
                }
            }
            break;
        }
        const std::size_t piecesFrom = work.items.size();
        OverlapInterval onV;
        const std::size_t w = work.firstOverlapping(v, onV);
        if (w == kNone) {
            out.push_back(work.take(v));
        } else {
            std::unique_ptr<ImportWall> V = work.take(v);
            std::unique_ptr<ImportWall> W = work.take(w);
            const OverlapInterval onW = overlapInterval(W->start, W->end, V->start, V->end);
            work.append(piece(*V, pointAt(V->start, V->end, onV.t0), pointAt(V->start, V->end, onV.t1)));
            if (onV.t0 > 0) {
                work.append(piece(*V, V->start, pointAt(V->start, V->end, onV.t0)));
            }
            if (onV.t1 < 1) {
                work.append(piece(*V, pointAt(V->start, V->end, onV.t1), V->end));
            }
            if (onW.t0 > 0) {
                work.append(piece(*W, W->start, pointAt(W->start, W->end, onW.t0)));
            }
            if (onW.t1 < 1) {
                work.append(piece(*W, pointAt(W->start, W->end, onW.t1), W->end));
            }
        }
        // Walls shrunk to nothing are dropped at the end of every pass. Only
        // the first pass can meet short walls that were not just made.
        const std::size_t from = firstPass ? 0 : piecesFrom;
        firstPass = false;
        for (std::size_t i = from; i < work.items.size(); ++i) {
            if (work.items[i] && isShort(*work.items[i])) {
                work.take(i);
            }
        }
    }
    return out;
}

std::vector<std::unique_ptr<ImportOpening>> mergeOverlappingOpenings(
    std::vector<std::unique_ptr<ImportOpening>> openings, bool& gaveUp)
{
    gaveUp = false;
    std::vector<std::unique_ptr<ImportOpening>> out;
    WorkList<ImportOpening> work;
    const std::size_t n = openings.size();
    work.items.reserve(n * 2);
    for (auto& o : openings) {
        work.append(std::move(o));
    }
    const auto part = [&](const ImportOpening& source, const Vector2d& a, const Vector2d& b) {
        auto p = piece(source, a, b);
        p->width = (b - a).length();
        work.append(std::move(p));
    };

    const std::size_t limit = passLimit(n);
    std::size_t passes = 0;
    for (std::size_t v = work.first(); v != kNone; v = work.first()) {
        if (++passes > limit) {
            for (std::size_t i = v; i < work.items.size(); ++i) {
                if (work.items[i]) {
                    gaveUp = true;
                    out.push_back(std::move(work.items[i]));
                }
            }
            break;
        }
        OverlapInterval onV;
        const std::size_t x = work.firstOverlapping(v, onV);
        if (x == kNone) {
            out.push_back(work.take(v));
            continue;
        }
        std::unique_ptr<ImportOpening> V = work.take(v);
        std::unique_ptr<ImportOpening> X = work.take(x);
        const OverlapInterval onX = overlapInterval(X->start, X->end, V->start, V->end);

        auto common = piece(*V, pointAt(V->start, V->end, onV.t0), pointAt(V->start, V->end, onV.t1));
        common->headHeight = std::max(V->headHeight, X->headHeight);
        common->height = common->headHeight - std::min(V->headHeight - V->height, X->headHeight - X->height);
        common->width = (common->end - common->start).length();
        work.append(std::move(common));
        if (onV.t0 > 0) {
            part(*V, V->start, pointAt(V->start, V->end, onV.t0));
        }
        if (onV.t1 < 1) {
            part(*V, pointAt(V->start, V->end, onV.t1), V->end);
        }
        if (onX.t0 > 0) {
            part(*X, X->start, pointAt(X->start, X->end, onX.t0));
        }
        if (onX.t1 < 1) {
            part(*X, pointAt(X->start, X->end, onX.t1), X->end);
        }
    }
    return out;
}

std::vector<std::unique_ptr<ImportOpening>> cutOpeningsAtPartialWalls(
    std::vector<std::unique_ptr<ImportOpening>> openings, const std::vector<std::unique_ptr<ImportWall>>& walls,
    bool& gaveUp)
{
    gaveUp = false;
    std::vector<std::unique_ptr<ImportOpening>> out;
    SegmentGrid partialWalls;
    for (std::size_t i = 0; i < walls.size(); ++i) {
        if (walls[i]->kindCode != 1) {
            partialWalls.insert(walls[i]->storey, i, walls[i]->start, walls[i]->end);
        }
    }
    std::vector<std::unique_ptr<ImportOpening>> work = std::move(openings);
    const std::size_t limit = passLimit(work.size());
    std::size_t passes = 0;
    for (std::size_t g = 0; g < work.size(); ++g) {
        if (++passes > limit) {
            gaveUp = true;
            for (std::size_t i = g; i < work.size(); ++i) {
                out.push_back(std::move(work[i]));
            }
            break;
        }
        const ImportOpening& G = *work[g];
        OverlapInterval onG;
        const std::size_t best = partialWalls.firstCandidate(G.storey, G.start, G.end, [&](std::size_t id) {
            const ImportWall& w = *walls[id];
            if (w.storey != G.storey) {
                return false;
            }
            onG = overlapInterval(G.start, G.end, w.start, w.end);
            return onG.overlaps();
        });
        if (best == SegmentGrid::kNoSegment) {
            out.push_back(std::move(work[g]));
            continue;
        }
        std::unique_ptr<ImportOpening> source = std::move(work[g]);
        if (onG.t0 > 0) {
            auto p = piece(*source, source->start, pointAt(source->start, source->end, onG.t0));
            p->width = (p->end - p->start).length();
            work.push_back(std::move(p));
        }
        if (onG.t1 < 1) {
            auto p = piece(*source, pointAt(source->start, source->end, onG.t1), source->end);
            p->width = (p->end - p->start).length();
            work.push_back(std::move(p));
        }
    }
    return out;
}

}  // namespace Importer
