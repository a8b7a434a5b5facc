#include "exporter/geometry/PairScreen.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Exporter::OutlineSteps {

namespace {

#if defined(__GNUC__)
#define CEDXM_ALWAYS_INLINE [[gnu::always_inline]] inline
#else
#define CEDXM_ALWAYS_INLINE inline
#endif

// An edge's coordinates and direction as V: the edge that one row of pairs
// shares, in lanes, or the columns of the others, as plain pointers (so that
// appending to the list of kept positions does not make the compiler load
// them again).
template <typename V>
struct EdgeValues {
    V startX;
    V startY;
    V endX;
    V endY;
    V directionX;
    V directionY;
};

template <typename V>
using MaskOf = decltype(std::declval<V>() > std::declval<V>());

// The side tests of the crossing test for a before b and b before a, lane by
// lane: k1, k2 are the sides of b's ends seen along a, k3, k4 those of a's
// ends seen along b (for b before a they swap roles). Each product is written
// exactly as the crossing test writes it, so that every lane rounds as the
// test does. A pair is kept when neither side test rejects it and one order
// can give a crossing parameter strictly between 0 and 1; a parameter of
// exactly 0 or 1 gives the y of an end of the first edge, which with closed
// outlines is a vertex height already.
template <typename V>
CEDXM_ALWAYS_INLINE void keepMask(const EdgeValues<V>& a, const V& bStartX, const V& bStartY, const V& bEndX,
                                  const V& bEndY, const V& qX, const V& qY, const MaskOf<V>& openEnds, MaskOf<V>& keep)
{
    const V zero{};
    const V toStartX = bStartX - a.startX;
    const V toStartY = bStartY - a.startY;
    const V k1 = a.directionX * toStartY - a.directionY * toStartX;
    const V k2 = a.directionX * (bEndY - a.startY) - a.directionY * (bEndX - a.startX);
    // The test computes k3 = qX * (a.startY - bStartY) - qY * (a.startX - bStartX).
    // Negating is exact and rounding to nearest is symmetric, so its
    // differences are -toStartY and -toStartX, its products the negated
    // products below, and -A - (-B) rounds as B - A: the same k3.
    const V k3 = qY * toStartX - qX * toStartY;
    const V k4 = qX * (a.endY - bStartY) - qY * (a.endX - bStartX);
    const MaskOf<V> rejected = (k1 * k2 > zero) | (k3 * k4 > zero);
    const MaskOf<V> strictlyInside = ((k3 != zero) & (k4 != zero)) | ((k1 != zero) & (k2 != zero));
    keep = (rejected == MaskOf<V>{}) & (strictlyInside | openEnds);
}

using ColumnPointers = EdgeValues<const double*>;

template <typename V>
CEDXM_ALWAYS_INLINE void load(V& v, const double* column, std::size_t k)
{
    std::memcpy(&v, column + k, sizeof(V));
}

void screenOneByOne(const Edge& a, const ColumnPointers& c, std::size_t from, std::size_t to, bool openEnds,
                    std::vector<std::uint32_t>& kept)
{
    const Vector2d p = a.end - a.start;
    const EdgeValues<double> fixed{a.start.x, a.start.y, a.end.x, a.end.y, p.x, p.y};
    for (std::size_t k = from; k < to; ++k) {
        bool keep = false;
        keepMask<double>(fixed, c.startX[k], c.startY[k], c.endX[k], c.endY[k], c.directionX[k], c.directionY[k],
                         openEnds, keep);
        if (keep) {
            kept.push_back(static_cast<std::uint32_t>(k));
        }
    }
}

// Screens whole blocks of positions from `from` on with lanes of type V and
// returns where it stopped; the rest (less than a block) is left to the
// caller. Kept pairs are rare on a real façade, so a block is only looked at
// pair by pair when one of its lanes keeps a pair, with the very same test.
template <typename V>
CEDXM_ALWAYS_INLINE std::size_t screenBlocks(const Edge& a, const ColumnPointers& c, std::size_t from, std::size_t to,
                                             bool openEnds, std::vector<std::uint32_t>& kept)
{
    constexpr std::size_t lanes = sizeof(V) / sizeof(double);
    constexpr std::size_t block = 4 * lanes;
    const Vector2d p = a.end - a.start;
    // Adding a number to a vector of zeros puts it into every lane.
    const EdgeValues<V> fixed{V{} + a.start.x, V{} + a.start.y, V{} + a.end.x, V{} + a.end.y, V{} + p.x, V{} + p.y};
    const MaskOf<V> open = openEnds ? ~MaskOf<V>{} : MaskOf<V>{};
    std::size_t k = from;
    for (; k + block <= to; k += block) {
        MaskOf<V> any{};
        for (std::size_t step = 0; step < block; step += lanes) {
            const std::size_t at = k + step;
            V startX;
            V startY;
            V endX;
            V endY;
            V directionX;
            V directionY;
            load(startX, c.startX, at);
            load(startY, c.startY, at);
            load(endX, c.endX, at);
            load(endY, c.endY, at);
            load(directionX, c.directionX, at);
            load(directionY, c.directionY, at);
            MaskOf<V> keep;
            keepMask(fixed, startX, startY, endX, endY, directionX, directionY, open, keep);
            any |= keep;
        }
        bool anyKept = false;
        for (std::size_t lane = 0; lane < lanes; ++lane) {
            anyKept = anyKept || any[lane] != 0;
        }
        if (anyKept) {
            screenOneByOne(a, c, k, k + block, openEnds, kept);
        }
    }
    return k;
}

// Not for Windows: there GCC keeps the stack aligned to 16 bytes only, and
// spilling a four-lane value takes 32.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#define CEDXM_WIDE_LANES 1
#endif

#if defined(CEDXM_WIDE_LANES)
// Four lanes where the processor has them; the arithmetic is the same, and
// without fused multiply-add (not enabled here) every lane rounds as before.
[[gnu::target("avx")]] std::size_t screenBlocksWide(const Edge& a, const ColumnPointers& c, std::size_t from,
                                                    std::size_t to, bool openEnds, std::vector<std::uint32_t>& kept)
{
    using Four = double __attribute__((vector_size(32)));
    return screenBlocks<Four>(a, c, from, to, openEnds, kept);
}

bool hasWideLanes()
{
    static const bool has = __builtin_cpu_supports("avx") != 0;
    return has;
}
#endif

}  // namespace

EdgeColumns::EdgeColumns(const std::vector<Edge>& edges, const std::vector<std::size_t>& which)
{
    for (std::vector<double>* column : {&startX, &startY, &endX, &endY, &directionX, &directionY}) {
        column->reserve(which.size());
    }
    for (const std::size_t i : which) {
        const Edge& e = edges[i];
        const Vector2d q = e.end - e.start;
        startX.push_back(e.start.x);
        startY.push_back(e.start.y);
        endX.push_back(e.end.x);
        endY.push_back(e.end.y);
        directionX.push_back(q.x);
        directionY.push_back(q.y);
    }
}

namespace {

// Appends the kept positions in [from, to) of the pairs with edge a.
void screenRange(const Edge& a, const ColumnPointers& c, std::size_t from, std::size_t to, bool openEnds,
                 std::vector<std::uint32_t>& kept)
{
    std::size_t k = from;
#if defined(CEDXM_WIDE_LANES)
    if (hasWideLanes()) {
        k = screenBlocksWide(a, c, k, to, openEnds, kept);
    }
#endif
#if defined(__GNUC__)
    using Two = double __attribute__((vector_size(16)));
    k = screenBlocks<Two>(a, c, k, to, openEnds, kept);
#endif
    screenOneByOne(a, c, k, to, openEnds, kept);
}

// Positions per stretch: six columns of them take 12 KiB, which stay in the
// core's nearest cache while every row goes over them.
constexpr std::size_t kStretch = 256;

}  // namespace

void screenRows(const std::vector<ScreenRow>& rows, const EdgeColumns& columns, bool endsAreVertices,
                std::vector<std::vector<std::uint32_t>>& kept)
{
    screenRows(rows, columns, 0, columns.size(), endsAreVertices, kept);
}

void screenRows(const std::vector<ScreenRow>& rows, const EdgeColumns& columns, std::size_t begin, std::size_t end,
                bool endsAreVertices, std::vector<std::vector<std::uint32_t>>& kept)
{
    const ColumnPointers c{columns.startX.data() + begin, columns.startY.data() + begin,
                           columns.endX.data() + begin,   columns.endY.data() + begin,
                           columns.directionX.data() + begin, columns.directionY.data() + begin};
    const bool openEnds = !endsAreVertices;
    const std::size_t size = end - begin;
    kept.resize(rows.size());
    std::size_t first = size;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        kept[r].clear();
        first = std::min(first, rows[r].from);
    }
    // Stretches start at multiples of kStretch (itself a multiple of every
    // block), so that only a row's first stretch leaves a part block over.
    for (std::size_t start = first - first % kStretch; start < size; start += kStretch) {
        const std::size_t end = std::min(size, start + kStretch);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::size_t from = std::max(start, rows[r].from);
            if (from < end) {
                screenRange(*rows[r].edge, c, from, end, openEnds, kept[r]);
            }
        }
    }
}

}  // namespace Exporter::OutlineSteps
