#include <algorithm>
#include <cmath>

#include "common/geometry/Geometry.h"
#include "exporter/geometry/OutlineSteps.h"

namespace Exporter::OutlineSteps {

bool crossingHeight(const Edge& a, const Edge& b, double& y)
{
    // Edges that follow one another meet at their shared point, which is a
    // vertex already.
    if (pointsMatch(a.end, b.start) || pointsMatch(b.end, a.start)) {
        return false;
    }
    const double f = Common::crossingParameter(a.start, a.end, b.start, b.end);
    // Collinear pairs give NaN and fail this test.
    if (!(f >= 0.0)) {
        return false;
    }
    y = (a.start * (1.0 - f) + a.end * f).y;
    return true;
}

std::vector<double> eventHeights(std::vector<double> vertexHeights)
{
    // Of equal heights the first in the list stands (0 and -0 are equal, and
    // the one that comes first is the one kept): the sort keeps equal values
    // in list order.
    std::stable_sort(vertexHeights.begin(), vertexHeights.end());
    std::vector<double> heights;
    for (std::size_t k = 0; k < vertexHeights.size(); ++k) {
        const double y = vertexHeights[k];
        if (k > 0 && !(vertexHeights[k - 1] < y)) {
            continue;
        }
        if (heights.empty() || y - heights.back() > kHeightMerge) {
            heights.push_back(y);
        }
    }
    return heights;
}

std::vector<double> slabMiddles(const std::vector<double>& heights)
{
    std::vector<double> middles;
    for (std::size_t k = 0; k + 1 < heights.size(); ++k) {
        middles.push_back((heights[k] + heights[k + 1]) / 2.0);
    }
    return middles;
}

Segment slabSection(const Edge& e, double lower, double upper)
{
    const Vector2d low(xAt(e, lower), lower);
    const Vector2d high(xAt(e, upper), upper);
    if (runsDownward(e)) {
        return Segment{high, low};
    }
    return Segment{low, high};
}

std::vector<std::size_t> keptEdges(std::vector<SlabCrossing>& crossings, const std::vector<Edge>& edges, KeepRule rule)
{
    std::stable_sort(crossings.begin(), crossings.end(),
                     [](const SlabCrossing& a, const SlabCrossing& b) { return a.x < b.x; });
    std::vector<std::size_t> kept;
    if (crossings.empty()) {
        return kept;
    }
    if (rule == KeepRule::RoomEdges) {
        // The shared edge of two rooms is there once from each room; the first
        // of two edges this close stands for both.
        double last = crossings.front().x - kFirstSlabOffset;
        for (const auto& c : crossings) {
            if (c.x - last > kCoincidence) {
                kept.push_back(c.edge);
                last = c.x;
            }
        }
        return kept;
    }

    // Winding count from the left: with clockwise rooms an upward edge enters
    // a room and a downward edge leaves one. Edges where the count leaves or
    // returns to 0 bound the union of the rooms.
    std::vector<const SlabCrossing*> marked;
    int w = 0;
    for (const auto& c : crossings) {
        if (runsDownward(edges[c.edge])) {
            --w;
            if (w == 0) {
                marked.push_back(&c);
            }
        } else {
            if (w == 0) {
                marked.push_back(&c);
            }
            ++w;
        }
    }
    // Where one room ends and its neighbour begins, both edges were marked;
    // they cancel, and the walk steps back to compare the edge before them
    // with its new neighbour.
    std::size_t i = 0;
    while (i + 1 < marked.size()) {
        if (marked[i + 1]->x - marked[i]->x < kCoincidence) {
            marked.erase(marked.begin() + static_cast<std::ptrdiff_t>(i), marked.begin() + static_cast<std::ptrdiff_t>(i + 2));
            if (i > 0) {
                --i;
            }
        } else {
            ++i;
        }
    }
    for (const auto* c : marked) {
        kept.push_back(c->edge);
    }
    return kept;
}

std::vector<Segment> keptSectionsReference(const std::vector<Edge>& edges, const std::vector<double>& heights, KeepRule rule)
{
    std::vector<Segment> sections;
    const std::vector<double> middles = slabMiddles(heights);
    for (std::size_t k = 0; k < middles.size(); ++k) {
        std::vector<SlabCrossing> crossings;
        for (std::size_t e = 0; e < edges.size(); ++e) {
            if (crossesHeight(edges[e], middles[k])) {
                crossings.push_back(SlabCrossing{e, xAt(edges[e], middles[k])});
            }
        }
        for (const std::size_t e : keptEdges(crossings, edges, rule)) {
            sections.push_back(slabSection(edges[e], heights[k], heights[k + 1]));
        }
    }
    return sections;
}

std::vector<Segment> keptSectionsFast(const std::vector<Edge>& edges, const std::vector<double>& heights, KeepRule rule)
{
    const std::vector<double> middles = slabMiddles(heights);
    const std::size_t slabCount = middles.size();

    // An edge can only cross the slabs whose middles lie strictly inside its
    // height range; the middles ascend, so a binary search finds the first and
    // the crossing test itself confirms each one. Handing the edges out in
    // edge order keeps every slab's list in edge order, as a full rebuild
    // would have it.
    auto forEachSlab = [&](const Edge& e, auto&& visit) {
        const double low = std::min(e.start.y, e.end.y);
        const double high = std::max(e.start.y, e.end.y);
        auto it = std::upper_bound(middles.begin(), middles.end(), low);
        for (; it != middles.end() && *it < high; ++it) {
            if (crossesHeight(e, *it)) {
                visit(static_cast<std::size_t>(it - middles.begin()));
            }
        }
    };

    std::vector<std::size_t> firstOfSlab(slabCount + 1, 0);
    for (const auto& e : edges) {
        forEachSlab(e, [&](std::size_t k) { ++firstOfSlab[k + 1]; });
    }
    for (std::size_t k = 0; k < slabCount; ++k) {
        firstOfSlab[k + 1] += firstOfSlab[k];
    }
    std::vector<std::size_t> edgeOfEntry(firstOfSlab[slabCount]);
    std::vector<std::size_t> fill(firstOfSlab.begin(), firstOfSlab.end() - 1);
    for (std::size_t i = 0; i < edges.size(); ++i) {
        forEachSlab(edges[i], [&](std::size_t k) { edgeOfEntry[fill[k]++] = i; });
    }

    std::vector<Segment> sections;
    std::vector<SlabCrossing> crossings;
    for (std::size_t k = 0; k < slabCount; ++k) {
        crossings.clear();
        for (std::size_t j = firstOfSlab[k]; j < firstOfSlab[k + 1]; ++j) {
            const std::size_t e = edgeOfEntry[j];
            crossings.push_back(SlabCrossing{e, xAt(edges[e], middles[k])});
        }
        for (const std::size_t e : keptEdges(crossings, edges, rule)) {
            sections.push_back(slabSection(edges[e], heights[k], heights[k + 1]));
        }
    }
    return sections;
}

std::vector<double> eventHeightsReference(const std::vector<Edge>& edges)
{
    std::vector<double> ys;
    for (const auto& e : edges) {
        ys.push_back(e.start.y);
    }
    for (std::size_t i = 0; i < edges.size(); ++i) {
        for (std::size_t j = i + 1; j < edges.size(); ++j) {
            double y = 0.0;
            if (crossingHeight(edges[i], edges[j], y)) {
                ys.push_back(y);
            }
        }
    }
    return eventHeights(std::move(ys));
}

}  // namespace Exporter::OutlineSteps
