#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <unordered_map>

#include "exporter/geometry/CellKey.h"
#include "exporter/geometry/OutlineSteps.h"

namespace Exporter::OutlineSteps {

namespace {

// Whether opening q cuts the wall line that starts at a, runs along u and is
// `length` long: one of its ends lies on the wall's line and its span is not
// wholly before the wall's first or after its last thousandth. t0 and t1 are
// the positions of its ends along the wall, as fractions of the length.
bool cutsWall(const Segment& q, const Vector2d& a, const Vector2d& u, double length, double& t0, double& t1)
{
    if (!(std::fabs(Common::cross(q.start - a, u)) <= kOpeningLineDistance ||
          std::fabs(Common::cross(q.end - a, u)) <= kOpeningLineDistance)) {
        return false;
    }
    t0 = Common::dot(q.start - a, u) / length;
    t1 = Common::dot(q.end - a, u) / length;
    return !((t0 < kOpeningLow && t1 < kOpeningLow) || (t0 > kOpeningHigh && t1 > kOpeningHigh));
}

// The wall lines with the spans of their openings taken out. firstCut(p, a,
// u, length, t0, t1) finds the first opening in list order that cuts the
// wall p and gives the positions of its ends.
template <typename FirstCut>
std::vector<Segment> removeSpans(const std::vector<Segment>& walls, FirstCut&& firstCut)
{
    std::deque<Segment> work(walls.begin(), walls.end());
    std::vector<Segment> result;
    while (!work.empty()) {
        const Segment p = work.front();
        work.pop_front();
        const Vector2d a = p.start;
        const Vector2d ab = p.end - p.start;
        const double length = ab.length();
        // A wall of no length has no positions along it; it is no wall line.
        if (!(length > 0.0)) {
            continue;
        }
        const Vector2d u = ab.unit();
        double t0 = 0.0;
        double t1 = 0.0;
        if (!firstCut(p, a, u, length, t0, t1)) {
            result.push_back(p);
            continue;
        }
        // The pieces left and right of the span go back to the end of the
        // work list, where later openings may cut them further. Each piece
        // lies wholly beyond the span that made it, so that opening never
        // cuts it again and the work list runs dry.
        const double lo = std::min(t0, t1);
        const double hi = std::max(t0, t1);
        if (lo > kOpeningLow) {
            work.push_back(Segment{a, a + ab * lo});
        }
        if (hi < kOpeningHigh) {
            work.push_back(Segment{a + ab * hi, p.end});
        }
    }
    return result;
}

double largestCoordinate(const Segment& s)
{
    return std::max({std::fabs(s.start.x), std::fabs(s.start.y), std::fabs(s.end.x), std::fabs(s.end.y)});
}

// The openings by the grid cells their ends lie in, so that a wall looks
// only at openings with an end near its line instead of at all of them.
//
// An opening that cuts a wall has an end within kOpeningLineDistance of the
// wall's line, and its span overlaps the wall's, so that end lies at most
// the opening's length beyond either end of the wall, along the line. The
// grid holds the openings no longer than one cell; a wall visits the cells
// along its line from one cell before its start to one cell after its end,
// as wide as the line distance. The longer openings are tested with every
// wall. The candidates are only proposed: the very test of the plain scan
// decides, and the first in list order that passes wins, so the index can
// never change which opening cuts a wall.
class OpeningIndex {
public:
    explicit OpeningIndex(const std::vector<Segment>& openings) : openings_(openings)
    {
        if (openings.empty()) {
            return;
        }
        double minX = std::numeric_limits<double>::infinity();
        double minY = minX;
        double maxX = -minX;
        double maxY = -minX;
        std::vector<double> lengths;
        lengths.reserve(openings.size());
        for (const auto& q : openings) {
            minX = std::min({minX, q.start.x, q.end.x});
            minY = std::min({minY, q.start.y, q.end.y});
            maxX = std::max({maxX, q.start.x, q.end.x});
            maxY = std::max({maxY, q.start.y, q.end.y});
            largest_ = std::max(largest_, largestCoordinate(q));
            lengths.push_back((q.end - q.start).length());
        }
        // Cells as long as nearly every opening, and no more of them along a
        // side than the square root of the number of openings, so that a
        // wall crossing the whole plan visits few of them.
        std::vector<double> sorted = lengths;
        const std::size_t nearlyAll = sorted.size() - 1 - (sorted.size() - 1) / 100;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(nearlyAll), sorted.end());
        const double extent = std::max(maxX - minX, maxY - minY);
        cell_ = std::max({1.0, sorted[nearlyAll], extent / std::sqrt(static_cast<double>(openings.size()))});
        if (!std::isfinite(cell_) || !std::isfinite(largest_)) {
            usable_ = false;
            return;
        }
        minCellX_ = cellOf(minX);
        maxCellX_ = cellOf(maxX);
        minCellY_ = cellOf(minY);
        maxCellY_ = cellOf(maxY);
        for (std::size_t i = 0; i < openings.size(); ++i) {
            const auto entry = static_cast<std::uint32_t>(i);
            if (!(lengths[i] <= cell_)) {
                long_.push_back(entry);
                continue;
            }
            const Segment& q = openings[i];
            const Key k0{cellOf(q.start.x), cellOf(q.start.y)};
            const Key k1{cellOf(q.end.x), cellOf(q.end.y)};
            cells_[k0].push_back(entry);
            if (!(k1 == k0)) {
                cells_[k1].push_back(entry);
            }
        }
    }

    bool firstCut(const Segment& p, const Vector2d& a, const Vector2d& u, double length, double& t0, double& t1)
    {
        std::size_t best = openings_.size();
        auto consider = [&](std::uint32_t i) {
            double s0 = 0.0;
            double s1 = 0.0;
            if (i < best && cutsWall(openings_[i], a, u, length, s0, s1)) {
                best = i;
            }
        };
        if (!usable_) {
            for (std::size_t i = 0; i < openings_.size(); ++i) {
                consider(static_cast<std::uint32_t>(i));
            }
        } else {
            for (const std::uint32_t i : long_) {
                consider(i);
            }
            visitCellsAlong(p, u, [&](const std::vector<std::uint32_t>& entries) {
                for (const std::uint32_t i : entries) {
                    consider(i);
                }
            });
        }
        if (best == openings_.size()) {
            return false;
        }
        return cutsWall(openings_[best], a, u, length, t0, t1);
    }

private:
    using Key = CellKey;

    // Coordinates are bounded (kLargestCoordinate) and cells at least 1
    // long, so cell numbers fit.
    std::int64_t cellOf(double v) const { return static_cast<std::int64_t>(std::floor(v / cell_)); }

    // Calls visit(entries) for the cells around the line of p, from a cell
    // before its start to a cell after its end. The line is followed along
    // its main axis, column by column (or row by row), so every cell within
    // the margin of the line is visited and a long wall visits no more than
    // the grid's width in columns.
    template <typename Visit>
    void visitCellsAlong(const Segment& p, const Vector2d& u, Visit&& visit) const
    {
        // Rounding in the scan's own test (differences and products of
        // coordinates up to the largest one) stays far within this slack.
        const double scale = std::max(largest_, largestCoordinate(p));
        const double slack = 1e-12 * scale + 1e-9 * cell_;
        const double along = cell_ + 1.0 + slack;
        const double across = 2 * kOpeningLineDistance + slack;
        const bool byColumns = std::fabs(u.x) >= std::fabs(u.y);
        // Main axis m, cross axis c: the line is c = c0 + (m - m0) * slope,
        // with |slope| <= 1 and the main component of u at least 0.7.
        const double m0 = byColumns ? p.start.x : p.start.y;
        const double c0 = byColumns ? p.start.y : p.start.x;
        const double m1 = byColumns ? p.end.x : p.end.y;
        const double um = byColumns ? u.x : u.y;
        const double uc = byColumns ? u.y : u.x;
        const double slope = uc / um;
        const double crossMargin = across / std::fabs(um) + slack;
        const double low = std::min(m0, m1) - along;
        const double high = std::max(m0, m1) + along;
        const std::int64_t firstMain = std::max(cellOf(low), byColumns ? minCellX_ : minCellY_);
        const std::int64_t lastMain = std::min(cellOf(high), byColumns ? maxCellX_ : maxCellY_);
        const std::int64_t minCross = byColumns ? minCellY_ : minCellX_;
        const std::int64_t maxCross = byColumns ? maxCellY_ : maxCellX_;
        for (std::int64_t m = firstMain; m <= lastMain; ++m) {
            const double from = std::max(low, static_cast<double>(m) * cell_ - slack);
            const double to = std::min(high, static_cast<double>(m + 1) * cell_ + slack);
            const double cFrom = c0 + (from - m0) * slope;
            const double cTo = c0 + (to - m0) * slope;
            const std::int64_t firstCross = std::max(cellOf(std::min(cFrom, cTo) - crossMargin), minCross);
            const std::int64_t lastCross = std::min(cellOf(std::max(cFrom, cTo) + crossMargin), maxCross);
            for (std::int64_t c = firstCross; c <= lastCross; ++c) {
                const auto found = cells_.find(byColumns ? Key{m, c} : Key{c, m});
                if (found != cells_.end()) {
                    visit(found->second);
                }
            }
        }
    }

    const std::vector<Segment>& openings_;
    bool usable_ = true;
    double cell_ = 1.0;
    double largest_ = 0.0;
    std::int64_t minCellX_ = 0;
    std::int64_t maxCellX_ = 0;
    std::int64_t minCellY_ = 0;
    std::int64_t maxCellY_ = 0;
    std::vector<std::uint32_t> long_;
    std::unordered_map<Key, std::vector<std::uint32_t>, CellKeyHash> cells_;
};

}  // namespace

std::vector<Segment> removeOpeningSpansReference(const std::vector<Segment>& walls, const std::vector<Segment>& openings)
{
    return removeSpans(walls, [&](const Segment&, const Vector2d& a, const Vector2d& u, double length, double& t0,
                                  double& t1) {
        for (const auto& q : openings) {
            if (cutsWall(q, a, u, length, t0, t1)) {
                return true;
            }
        }
        return false;
    });
}

std::vector<Segment> removeOpeningSpansFast(const std::vector<Segment>& walls, const std::vector<Segment>& openings)
{
    if (openings.empty()) {
        return removeOpeningSpansReference(walls, openings);
    }
    OpeningIndex index(openings);
    return removeSpans(walls, [&](const Segment& p, const Vector2d& a, const Vector2d& u, double length, double& t0,
                                  double& t1) { return index.firstCut(p, a, u, length, t0, t1); });
}

}  // namespace Exporter::OutlineSteps
