#include "exporter/geometry/OutlineSteps.h"
#include "exporter/geometry/ParallelChunks.h"

namespace Exporter::OutlineSteps {

namespace {

// The rooms in the working frame, cut into slabs at the event heights: the
// part both computations share.
struct Slabs {
    WorkingFrame frame;
    std::vector<Edge> edges;
    std::vector<double> heights;
};

Slabs slabsOf(const StoreyOutlineSet& set, const Strategy& strategy)
{
    const std::vector<std::vector<Vector2d>> outlines = usableOutlines(set);
    Slabs slabs;
    slabs.frame = makeWorkingFrame(outlines);
    slabs.edges = workingEdges(outlines, slabs.frame);
    slabs.heights = strategy.eventHeights(slabs.edges);
    return slabs;
}

// The sections the rule keeps joined back into straight segments and moved
// back into the plan.
std::vector<Segment> joinedSections(const Slabs& slabs, KeepRule rule, const Strategy& strategy)
{
    std::vector<Segment> sections = strategy.keptSections(slabs.edges, slabs.heights, rule);
    strategy.join(sections);
    toPlan(sections, slabs.frame);
    return sections;
}

std::vector<Segment> roomEdgeWallLinesOf(const StoreyOutlineSet& set, const Slabs& slabs, const Strategy& strategy)
{
    return strategy.removeOpeningSpans(joinedSections(slabs, KeepRule::RoomEdges, strategy), usableOpenings(set));
}

std::vector<std::vector<Vector2d>> exteriorOutlinesOf(const Slabs& slabs, const Strategy& strategy,
                                                      std::vector<std::vector<Vector2d>>* unclosed)
{
    return strategy.chain(joinedSections(slabs, KeepRule::Exterior, strategy), unclosed);
}

}  // namespace

const Strategy kReferenceStrategy{eventHeightsReference, keptSectionsReference, joinReference, chainReference,
                                  removeOpeningSpansReference};
const Strategy kFastStrategy{eventHeightsFast, keptSectionsFast, joinFast, chainFast, removeOpeningSpansFast};

std::vector<Segment> roomEdgeWallLinesWith(const StoreyOutlineSet& set, const Strategy& strategy)
{
    return roomEdgeWallLinesOf(set, slabsOf(set, strategy), strategy);
}

std::vector<std::vector<Vector2d>> exteriorOutlinesWith(const StoreyOutlineSet& set, const Strategy& strategy,
                                                        std::vector<std::vector<Vector2d>>* unclosed)
{
    return exteriorOutlinesOf(slabsOf(set, strategy), strategy, unclosed);
}

StoreyLines storeyLinesWith(const StoreyOutlineSet& set, const Strategy& strategy, bool keepUnclosed)
{
    const Slabs slabs = slabsOf(set, strategy);
    StoreyLines lines;
    // The two computations share nothing but the slabs they read, so on
    // storeys large enough to pay for a thread they run side by side.
    constexpr std::size_t kEdgesWorthAThread = 4096;
    runChunks(2, slabs.edges.size() >= kEdgesWorthAThread ? machineThreads() : 1, [&](std::size_t which) {
        if (which == 0) {
            lines.exteriorOutlines = exteriorOutlinesOf(slabs, strategy, keepUnclosed ? &lines.unclosed : nullptr);
        } else {
            lines.roomEdgeWalls = roomEdgeWallLinesOf(set, slabs, strategy);
        }
    });
    return lines;
}

}  // namespace Exporter::OutlineSteps
