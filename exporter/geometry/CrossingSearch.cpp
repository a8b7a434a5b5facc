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

bool bucketBefore(const BucketKey& a, const BucketKey& b)
{
    return a.x != b.x ? a.x < b.x : a.y < b.y;
}

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

std::array<std::uint64_t, 4> bitsOf(const Edge& e)
{
    // Bit patterns, so that only numbers that are the very same value (and
    // not 0 and -0) group together.
    return {std::bit_cast<std::uint64_t>(e.start.x), std::bit_cast<std::uint64_t>(e.start.y),
            std::bit_cast<std::uint64_t>(e.end.x), std::bit_cast<std::uint64_t>(e.end.y)};
}

EdgeGroups groupIdenticalEdges(const std::vector<Edge>& all)
{
    EdgeGroups g;
    // The groups' numbers in one flat table (open addressing, at most half
    // full, 0 for a free slot): one allocation however many edges there are.
    std::size_t slots = 16;
    while (slots < 2 * all.size()) {
        slots *= 2;
    }
    const std::size_t mask = slots - 1;
    std::vector<std::uint32_t> table(slots, 0);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::array<std::uint64_t, 4> key = bitsOf(all[i]);
        std::size_t slot = EdgeBitsHash{}(key) & mask;
        while (table[slot] != 0 && bitsOf(g.edges[table[slot] - 1]) != key) {
            slot = (slot + 1) & mask;
        }
        if (table[slot] == 0) {
            table[slot] = static_cast<std::uint32_t>(g.edges.size() + 1);
            g.edges.push_back(all[i]);
            g.first.push_back(i);
            g.last.push_back(i);
            g.copies.push_back(1);
        } else {
            const std::size_t group = table[slot] - 1;
            g.last[group] = i;
            ++g.copies[group];
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

// True when the y of every edge's end is the y of some edge's start (as with
// closed outlines, where each end is the start of the next edge, or of the
// first edge of its outline). Those two are looked at first; only an end that
// is neither is searched for among all starts.
bool everyEndIsAVertexHeight(const std::vector<Edge>& edges)
{
    std::vector<double> sorted;
    std::size_t outlineStart = 0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const double y = edges[i].end.y;
        if (i + 1 < edges.size() && y == edges[i + 1].start.y) {
            continue;
        }
        if (y == edges[outlineStart].start.y) {
            outlineStart = i + 1;
            continue;
        }
        if (sorted.empty()) {
            sorted.reserve(edges.size());
            for (const Edge& e : edges) {
                sorted.push_back(e.start.y);
            }
            std::sort(sorted.begin(), sorted.end());
        }
        if (!std::binary_search(sorted.begin(), sorted.end(), y)) {
            return false;
        }
    }
    return true;
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
    // The largest coordinate over every edge, which is the largest over one
    // of each identical edge too.
    double largest = 1.0;
    for (const auto& e : allEdges) {
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

    // Each edge's widened box and bucket of lines (or none: such an edge is
    // tested with all), worked out for every edge while the identical ones
    // are grouped, on large plans side by side.
    std::vector<Box> boxOfEdge(allEdges.size());
    std::vector<BucketKey> keyOfEdge(allEdges.size());
    std::vector<char> placeable(allEdges.size(), 0);
    EdgeGroups groups;
    constexpr std::size_t kEdgesWorthAThread = 4096;
    runChunks(2, allEdges.size() >= kEdgesWorthAThread ? split.threads : 1, [&](std::size_t job) {
        if (job == 0) {
            groups = groupIdenticalEdges(allEdges);
            return;
        }
        for (std::size_t i = 0; i < allEdges.size(); ++i) {
            const Edge& e = allEdges[i];
            boxOfEdge[i] = Box{std::min(e.start.x, e.end.x) - widen, std::min(e.start.y, e.end.y) - widen,
                               std::max(e.start.x, e.end.x) + widen, std::max(e.start.y, e.end.y) + widen};
            const Vector2d d = e.end - e.start;
            double direction = std::atan2(d.y, d.x);
            if (direction < 0.0) {
                direction += pi;
            }
            if (d.lengthSquared() < 1e-200 || direction < 2 * directionTolerance ||
                direction > pi - 2 * directionTolerance) {
                continue;
            }
            const double offset = std::cos(direction) * e.start.y - std::sin(direction) * e.start.x;
            keyOfEdge[i] = BucketKey{static_cast<std::int64_t>(std::floor(direction / directionTolerance)),
                                     static_cast<std::int64_t>(std::floor(offset / offsetTolerance))};
            placeable[i] = 1;
        }
    });
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

    // Each placeable edge with its bucket; sorted by bucket and, within one,
    // in edge order, so that every bucket is one stretch of the list.
    struct Placed {
        BucketKey key;
        std::size_t edge;
    };
    std::vector<std::size_t> withAll;
    std::vector<Placed> placed;
    placed.reserve(edges.size());
    std::vector<Box> boxes(edges.size());
    for (std::size_t i = 0; i < edges.size(); ++i) {
        // A group's edge is its first copy, bit for bit.
        const std::size_t copy = groups.first[i];
        boxes[i] = boxOfEdge[copy];
        if (placeable[copy] != 0) {
            placed.push_back(Placed{keyOfEdge[copy], i});
        } else {
            withAll.push_back(i);
        }
    }
    std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return a.key == b.key ? a.edge < b.edge : bucketBefore(a.key, b.key);
    });
    std::vector<std::size_t> members(placed.size());
    for (std::size_t k = 0; k < placed.size(); ++k) {
        members[k] = placed[k].edge;
    }
    // Bucket b holds members [bucketStarts[b], bucketStarts[b + 1]), in the
    // order of the keys.
    std::vector<BucketKey> bucketKeys;
    std::vector<std::size_t> bucketStarts;
    for (std::size_t k = 0; k < placed.size(); ++k) {
        if (k == 0 || !(placed[k].key == placed[k - 1].key)) {
            bucketKeys.push_back(placed[k].key);
            bucketStarts.push_back(k);
        }
    }
    bucketStarts.push_back(placed.size());
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
    // against the later edges of a bucket) are listed in the order of the
    // buckets' keys, cut into chunks of consecutive rows, and each chunk's
    // heights are added in chunk order, so that the list of heights is the
    // very one a single thread makes.
    // The order of these heights among themselves cannot change the event
    // heights: equal heights keep the first, and only 0 and -0 are equal
    // without being the same number. A crossing comes out as -0 only when
    // both of its terms are -0, which takes an end of an edge at -0 (a
    // vertex height, listed before any crossing, so it decides) or products
    // too small for a double; so with the ends of closed outlines the first
    // zero is decided before these heights.
    const bool endsAreVertices = everyEndIsAVertexHeight(allEdges);
    // All buckets' edges as one set of columns, bucket after bucket.
    const EdgeColumns columns(edges, members);
    struct Row {
        std::size_t edge;
        std::size_t bucket;  // of the partners
        std::size_t from;    // the first partner, counted from the bucket's start
    };
    std::vector<Row> rows;
    rows.reserve(members.size());
    // The neighbours' keys ascend with the bucket's, so each of the nine
    // neighbour places has a cursor into the keys that only moves on.
    std::array<std::size_t, 9> cursor{};
    for (std::size_t bucket = 0; bucket < bucketKeys.size(); ++bucket) {
        const BucketKey key = bucketKeys[bucket];
        std::size_t place = 0;
        for (std::int64_t dd = -1; dd <= 1; ++dd) {
            for (std::int64_t dof = -1; dof <= 1; ++dof, ++place) {
                const BucketKey wanted{key.x + dd, key.y + dof};
                std::size_t& other = cursor[place];
                while (other < bucketKeys.size() && bucketBefore(bucketKeys[other], wanted)) {
                    ++other;
                }
                if (other == bucketKeys.size() || !(bucketKeys[other] == wanted)) {
                    continue;
                }
                const auto othersBegin = members.begin() + static_cast<std::ptrdiff_t>(bucketStarts[other]);
                const auto othersEnd = members.begin() + static_cast<std::ptrdiff_t>(bucketStarts[other + 1]);
                // Members are in edge order: the partners after edge i,
                // found from where the previous member's were.
                auto from = othersBegin;
                for (std::size_t m = bucketStarts[bucket]; m < bucketStarts[bucket + 1]; ++m) {
                    const std::size_t i = members[m];
                    from = std::upper_bound(from, othersEnd, i);
                    if (from == othersEnd) {
                        break;
                    }
                    rows.push_back(Row{i, other, static_cast<std::size_t>(from - othersBegin)});
                }
            }
        }
    }
    const auto partnersOf = [&](const Row& row) { return bucketStarts[row.bucket + 1] - bucketStarts[row.bucket]; };
    // Chunk c holds rows [chunkStarts[c], chunkStarts[c + 1]).
    const std::size_t perChunk = std::max<std::size_t>(1, split.pairsPerChunk);
    std::vector<std::size_t> chunkStarts{0};
    std::size_t inChunk = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        inChunk += partnersOf(rows[r]) - rows[r].from;
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
            const std::size_t bucket = rows[first].bucket;
            for (; r < chunkStarts[c + 1] && r - first < kRowsTogether && rows[r].bucket == bucket; ++r) {
                together.push_back(ScreenRow{&edges[rows[r].edge], rows[r].from});
            }
            const std::size_t begin = bucketStarts[bucket];
            screenRows(together, columns, begin, bucketStarts[bucket + 1], endsAreVertices, kept);
            for (std::size_t t = 0; t < together.size(); ++t) {
                for (const std::uint32_t k : kept[t]) {
                    testInto(rows[first + t].edge, members[begin + k], heights);
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
