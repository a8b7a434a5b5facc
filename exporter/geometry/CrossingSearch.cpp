// Finding the crossings of room edges without testing every pair.
//
// The event heights must be exactly those of the all-pairs search, because a
// height that is there or not moves where sections are cut and which heights
// merge. The all-pairs search tests each pair with the crossing parameter in
// floating point, and floating point can say "crossing" for pairs that do not
// touch at all: for edges lying on one line (the façade of a row of rooms)
// the cross products are rounding noise of either sign. So the pairs left out
// here must be pairs whose test provably fails, in floating point, not merely
// in exact arithmetic.
//
// The test fails when both ends of one edge lie strictly on the same side of
// the other's line. With all coordinates at most M in size, a computed cross
// product cross(P1 - P0, Q - P0) has an error below 5u|P1 - P0||Q - P0|
// (u = 2^-53, |Q - P0| <= 3M), so its sign is right whenever Q lies farther
// than eps = 64uM from the line (and, the edge being longer than 1e-100, the
// product of two such values cannot underflow to 0). Now take two edges whose
// boxes, widened by g, do not overlap: the edges are more than g apart. If
// the test still passes, then in exact arithmetic each edge either meets the
// other's line or has an end within eps of it, and the edges do not meet; in
// every such case both lines pass within eps of one point Z of the plan (an
// end of one edge, |Z| <= sqrt(2)M) and the angle between them is at most
// 2 asin(eps/g). So every pair the all-pairs search could accept is either
//   - close: the widened boxes overlap (found by a sweep over heights), or
//   - nearly collinear: directions within tolerance and distances of the
//     lines from the origin within tolerance (found by bucketing lines), or
//   - involves an edge that the bucketing cannot place: shorter than 1e-100
//     (zero-length edges of one-point outlines, repeated points) or nearly
//     horizontal, where directions near 0 and near pi are the same line
//     (the working frame makes these rare); such edges are tested with all.
// Every candidate pair is then tested exactly as the all-pairs search tests
// it; testing a pair twice adds the same height twice, which the height set
// absorbs.
//
// Edges with the very same end points (rooms drawn on top of each other)
// are searched as one: the all-pairs search gives every copy of edge A
// against every copy of edge B the same answer, crossingHeight(A, B) where
// a copy of A comes first in edge order and crossingHeight(B, A) where a
// copy of B does, so one test of each order that occurs gives the same
// heights; copies of one edge are tested against each other once.

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <unordered_map>

#include "common/geometry/Vector2.h"
#include "exporter/geometry/CellKey.h"
#include "exporter/geometry/OutlineSteps.h"
#include "exporter/geometry/PairScreen.h"
#include "exporter/geometry/ParallelChunks.h"

namespace Exporter::OutlineSteps {

namespace {

struct Box {
    double minX;
    double minY;
    double maxX;
    double maxY;
};

// Buckets of lines: x numbers the direction, y the offset.
using BucketKey = CellKey;
using BucketKeyHash = CellKeyHash;

// Identical edges, each group with the first and last place of its copies.
struct EdgeGroups {
    std::vector<Edge> edges;  // one of each
    std::vector<std::size_t> first;
    std::vector<std::size_t> last;
    std::vector<std::size_t> copies;
};

struct EdgeBitsHash {
    std::size_t operator()(const std::array<std::uint64_t, 4>& k) const
    {
        std::uint64_t h = 0;
        for (const std::uint64_t v : k) {
            h = (h ^ v) * 0x9E3779B97F4A7C15ULL;
            h ^= h >> 29;
        }
        return static_cast<std::size_t>(h);
    }
};

EdgeGroups groupIdenticalEdges(const std::vector<Edge>& all)
{
    EdgeGroups g;
    std::unordered_map<std::array<std::uint64_t, 4>, std::size_t, EdgeBitsHash> index;
    index.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Edge& e = all[i];
        // Bit patterns, so that only numbers that are the very same value
        // (and not 0 and -0) group together.
        const std::array<std::uint64_t, 4> key{std::bit_cast<std::uint64_t>(e.start.x),
                                               std::bit_cast<std::uint64_t>(e.start.y),
                                               std::bit_cast<std::uint64_t>(e.end.x),
                                               std::bit_cast<std::uint64_t>(e.end.y)};
        const auto [it, added] = index.try_emplace(key, g.edges.size());
        if (added) {
            g.edges.push_back(e);
            g.first.push_back(i);
            g.last.push_back(i);
            g.copies.push_back(1);
        } else {
            g.last[it->second] = i;
            ++g.copies[it->second];
        }
    }
    return g;
}

// Calls test(i, j) once for every pair of boxes that overlap (and possibly
// for some that do not). The boxes sit in a grid of cells about as large as
// a typical box; two overlapping boxes both cover the cell that holds the
// lower left corner of their overlap, and are tested in that cell alone. A
// box covering very many cells is tested against every other box instead.
template <typename Test>
void forEachOverlappingPair(const std::vector<Box>& boxes, Test&& test)
{
    const std::size_t n = boxes.size();
    if (n < 2) {
        return;
    }
    double minX = std::numeric_limits<double>::infinity();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    std::vector<double> sides;
    sides.reserve(n);
    for (const Box& b : boxes) {
        minX = std::min(minX, b.minX);
        minY = std::min(minY, b.minY);
        maxX = std::max(maxX, b.maxX);
        maxY = std::max(maxY, b.maxY);
        sides.push_back(std::max(b.maxX - b.minX, b.maxY - b.minY));
    }
    std::nth_element(sides.begin(), sides.begin() + static_cast<std::ptrdiff_t>(n / 2), sides.end());
    const double extent = std::max(maxX - minX, maxY - minY);
    // Cells twice the middle box side, and no more than about 4n of them.
    const double cell = std::max({2 * sides[n / 2], extent / (2 * std::sqrt(static_cast<double>(n))), 1e-9 * extent});
    const auto cellOf = [&](double v, double origin) { return static_cast<std::int64_t>(std::floor((v - origin) / cell)); };
    constexpr std::int64_t kManyCells = 64;

    std::vector<bool> big(n, false);
    std::unordered_map<CellKey, std::vector<std::uint32_t>, CellKeyHash> cells;
    for (std::size_t i = 0; i < n; ++i) {
        const Box& b = boxes[i];
        const std::int64_t x0 = cellOf(b.minX, minX);
        const std::int64_t x1 = cellOf(b.maxX, minX);
        const std::int64_t y0 = cellOf(b.minY, minY);
        const std::int64_t y1 = cellOf(b.maxY, minY);
        if (!std::isfinite(cell) || !(cell > 0.0) || (x1 - x0 + 1) * (y1 - y0 + 1) > kManyCells) {
            big[i] = true;
            continue;
        }
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            for (std::int64_t cy = y0; cy <= y1; ++cy) {
                cells[CellKey{cx, cy}].push_back(static_cast<std::uint32_t>(i));
            }
        }
    }
    const auto overlap = [&](std::size_t i, std::size_t j) {
        const Box& a = boxes[i];
        const Box& b = boxes[j];
        return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
    };
    for (const auto& [key, members] : cells) {
        for (std::size_t u = 0; u < members.size(); ++u) {
            for (std::size_t v = u + 1; v < members.size(); ++v) {
                const std::size_t i = members[u];
                const std::size_t j = members[v];
                if (!overlap(i, j)) {
                    continue;
                }
                const double cornerX = std::max(boxes[i].minX, boxes[j].minX);
                const double cornerY = std::max(boxes[i].minY, boxes[j].minY);
                if (cellOf(cornerX, minX) == key.x && cellOf(cornerY, minY) == key.y) {
                    test(i, j);
                }
            }
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!big[i]) {
            continue;
        }
        for (std::size_t j = 0; j < n; ++j) {
            if (j != i && !(big[j] && j < i) && overlap(i, j)) {
                test(i, j);
            }
        }
    }
}

// True when the y of every edge's end is among the vertex heights (as with
// closed outlines, where each end is the start of the next edge).
bool everyEndIsAVertexHeight(const std::vector<Edge>& edges, const std::vector<double>& vertexHeights)
{
    std::vector<double> sorted = vertexHeights;
    std::sort(sorted.begin(), sorted.end());
    return std::all_of(edges.begin(), edges.end(),
                       [&](const Edge& e) { return std::binary_search(sorted.begin(), sorted.end(), e.end.y); });
}

}  // namespace

ScreenSplit machineScreenSplit()
{
    // About a millisecond of screening per chunk: enough chunks for the
    // threads to even out on a busy machine, few enough that handing them
    // out costs nothing, and small plans stay on the calling thread.
    return ScreenSplit{machineThreads(), std::size_t{1} << 21};
}

std::vector<double> eventHeightsFast(const std::vector<Edge>& allEdges)
{
    return eventHeightsFast(allEdges, machineScreenSplit());
}

std::vector<double> eventHeightsFast(const std::vector<Edge>& allEdges, const ScreenSplit& split)
{
    std::vector<double> ys;
    ys.reserve(allEdges.size() * 2);
    for (const auto& e : allEdges) {
        ys.push_back(e.start.y);
    }
    const EdgeGroups groups = groupIdenticalEdges(allEdges);
    const std::vector<Edge>& edges = groups.edges;
    // Heights go to the list given, so that threads screening at once each
    // fill a list of their own.
    const auto add = [](const Edge& a, const Edge& b, std::vector<double>& heights) {
        double y = 0.0;
        if (crossingHeight(a, b, y)) {
            heights.push_back(y);
        }
    };
    for (std::size_t i = 0; i < edges.size(); ++i) {
        if (groups.copies[i] > 1) {
            add(edges[i], edges[i], ys);
        }
    }
    const auto testInto = [&](std::size_t i, std::size_t j, std::vector<double>& heights) {
        // The first steps of the crossing test, done once for both orders:
        // with both ends of one edge strictly on one side of the other's line
        // (as the test computes the sides, rounding and all) neither order
        // crosses. Most pairs of edges on one line end here.
        const Edge& a = edges[i];
        const Edge& b = edges[j];
        const Vector2d p = a.end - a.start;
        if (Common::cross(p, b.start - a.start) * Common::cross(p, b.end - a.start) > 0.0) {
            return;
        }
        const Vector2d q = b.end - b.start;
        if (Common::cross(q, a.start - b.start) * Common::cross(q, a.end - b.start) > 0.0) {
            return;
        }
        if (groups.first[i] < groups.last[j]) {
            add(edges[i], edges[j], heights);
        }
        if (groups.first[j] < groups.last[i]) {
            add(edges[j], edges[i], heights);
        }
    };
    const auto test = [&](std::size_t i, std::size_t j) { testInto(i, j, ys); };

    double largest = 1.0;
    for (const auto& e : edges) {
        largest = std::max({largest, std::fabs(e.start.x), std::fabs(e.start.y), std::fabs(e.end.x), std::fabs(e.end.y)});
    }
    const double u = std::numeric_limits<double>::epsilon() / 2;
    const double eps = 64.0 * u * largest;
    const double widen = 1e6 * eps;
    // Lines within 2 asin(eps / widen) (about 2e-6) of each other in
    // direction, and within that angle times sqrt(2)M plus 2 eps in offset;
    // the tolerances below are twice that, which also covers the rounding
    // of the directions and offsets themselves.
    const double directionTolerance = 4e-6;
    const double offsetTolerance = 6e-6 * largest;
    const double pi = std::numbers::pi;

    std::vector<std::size_t> withAll;
    std::unordered_map<BucketKey, std::vector<std::size_t>, BucketKeyHash> buckets;
    std::vector<Box> boxes(edges.size());
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const Edge& e = edges[i];
        boxes[i] = Box{std::min(e.start.x, e.end.x) - widen, std::min(e.start.y, e.end.y) - widen,
                       std::max(e.start.x, e.end.x) + widen, std::max(e.start.y, e.end.y) + widen};
        const Vector2d d = e.end - e.start;
        double direction = std::atan2(d.y, d.x);
        if (direction < 0.0) {
            direction += pi;
        }
        if (d.lengthSquared() < 1e-200 || direction < 2 * directionTolerance || direction > pi - 2 * directionTolerance) {
            withAll.push_back(i);
            continue;
        }
        const double offset = std::cos(direction) * e.start.y - std::sin(direction) * e.start.x;
        const BucketKey key{static_cast<std::int64_t>(std::floor(direction / directionTolerance)),
                            static_cast<std::int64_t>(std::floor(offset / offsetTolerance))};
        buckets[key].push_back(i);
    }

    // Edges that cannot be bucketed: against every other edge.
    std::vector<bool> testedWithAll(edges.size(), false);
    for (const std::size_t i : withAll) {
        testedWithAll[i] = true;
        for (std::size_t j = 0; j < edges.size(); ++j) {
            if (j != i && !(testedWithAll[j] && j < i)) {
                test(i, j);
            }
        }
    }

    // Nearly collinear pairs: same or neighbouring buckets, each pair once.
    // A bucket can hold every edge of a long façade, so its pairs go through
    // the screen first, which passes on only the pairs that may add a height
    // that is not a vertex height already. That is most of the work on such
    // plans, so it is spread over threads: the rows of pairs (one edge
    // against the later edges of a bucket) are listed in the order the
    // buckets are visited, cut into chunks of consecutive rows, and each
    // chunk's heights are added in chunk order, so that the list of heights
    // is the very one a single thread makes.
    const bool endsAreVertices = everyEndIsAVertexHeight(edges, ys);
    std::unordered_map<BucketKey, EdgeColumns, BucketKeyHash> columns;
    for (const auto& [key, members] : buckets) {
        columns.try_emplace(key, edges, members);
    }
    struct Row {
        std::size_t edge;
        const std::vector<std::size_t>* others;
        const EdgeColumns* otherColumns;
        std::size_t from;
    };
    std::vector<Row> rows;
    for (const auto& [key, members] : buckets) {
        for (std::int64_t dd = -1; dd <= 1; ++dd) {
            for (std::int64_t dof = -1; dof <= 1; ++dof) {
                const auto other = buckets.find(BucketKey{key.x + dd, key.y + dof});
                if (other == buckets.end()) {
                    continue;
                }
                const std::vector<std::size_t>& others = other->second;
                const EdgeColumns& otherColumns = columns.at(other->first);
                for (const std::size_t i : members) {
                    // Members are in edge order: the partners after i.
                    const auto from = static_cast<std::size_t>(std::upper_bound(others.begin(), others.end(), i) - others.begin());
                    if (from < others.size()) {
                        rows.push_back(Row{i, &others, &otherColumns, from});
                    }
                }
            }
        }
    }
    // Chunk c holds rows [chunkStarts[c], chunkStarts[c + 1]).
    const std::size_t perChunk = std::max<std::size_t>(1, split.pairsPerChunk);
    std::vector<std::size_t> chunkStarts{0};
    std::size_t inChunk = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        inChunk += rows[r].others->size() - rows[r].from;
        if (inChunk >= perChunk && r + 1 < rows.size()) {
            chunkStarts.push_back(r + 1);
            inChunk = 0;
        }
    }
    chunkStarts.push_back(rows.size());
    const std::size_t chunks = chunkStarts.size() - 1;
    std::vector<std::vector<double>> chunkHeights(chunks);
    // Close pairs: every pair whose widened boxes overlap. Their heights come
    // after those of the nearly collinear pairs; the search for them is job
    // 0, done while other threads screen, since it cannot be divided. With
    // a single chunk to screen, no thread is started for it.
    std::vector<double> closeHeights;
    // Rows against the same bucket are screened together, this many at most.
    constexpr std::size_t kRowsTogether = 64;
    runChunks(chunks + 1, chunks > 1 ? split.threads : 1, [&](std::size_t job) {
        if (job == 0) {
            forEachOverlappingPair(boxes, [&](std::size_t i, std::size_t j) { testInto(i, j, closeHeights); });
            return;
        }
        const std::size_t c = job - 1;
        std::vector<double>& heights = chunkHeights[c];
        std::vector<ScreenRow> together;
        std::vector<std::vector<std::uint32_t>> kept;
        for (std::size_t r = chunkStarts[c]; r < chunkStarts[c + 1];) {
            const std::size_t first = r;
            together.clear();
            for (; r < chunkStarts[c + 1] && r - first < kRowsTogether && rows[r].others == rows[first].others; ++r) {
                together.push_back(ScreenRow{&edges[rows[r].edge], rows[r].from});
            }
            screenRows(together, *rows[first].otherColumns, endsAreVertices, kept);
            for (std::size_t t = 0; t < together.size(); ++t) {
                for (const std::uint32_t k : kept[t]) {
                    testInto(rows[first + t].edge, (*rows[first].others)[k], heights);
                }
            }
        }
    });
    for (const std::vector<double>& heights : chunkHeights) {
        ys.insert(ys.end(), heights.begin(), heights.end());
    }
    ys.insert(ys.end(), closeHeights.begin(), closeHeights.end());

    return eventHeights(std::move(ys));
}

}  // namespace Exporter::OutlineSteps
