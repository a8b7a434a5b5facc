#include "exporter/geometry/OutlineSteps.h"

namespace Exporter::OutlineSteps {

namespace {

// Both computations: the rooms in the working frame, cut into slabs, the
// sections the rule keeps joined back into straight segments and moved back
// into the plan.
std::vector<Segment> joinedSections(const StoreyOutlineSet& set, KeepRule rule, const Strategy& strategy)
{
    const std::vector<std::vector<Vector2d>> outlines = usableOutlines(set);
    const WorkingFrame frame = makeWorkingFrame(outlines);
    const std::vector<Edge> edges = workingEdges(outlines, frame);
    const std::vector<double> heights = strategy.eventHeights(edges);
    std::vector<Segment> sections = strategy.keptSections(edges, heights, rule);
    strategy.join(sections);
    toPlan(sections, frame);
    return sections;
}

}  // namespace

const Strategy kReferenceStrategy{eventHeightsReference, keptSectionsReference, joinReference, chainReference,
                                  removeOpeningSpansReference};
const Strategy kFastStrategy{eventHeightsFast, keptSectionsFast, joinFast, chainFast, removeOpeningSpansFast};

std::vector<Segment> roomEdgeWallLinesWith(const StoreyOutlineSet& set, const Strategy& strategy)
{
    return strategy.removeOpeningSpans(joinedSections(set, KeepRule::RoomEdges, strategy), usableOpenings(set));
}

std::vector<std::vector<Vector2d>> exteriorOutlinesWith(const StoreyOutlineSet& set, const Strategy& strategy,
                                                        std::vector<std::vector<Vector2d>>* unclosed)
{
    return strategy.chain(joinedSections(set, KeepRule::Exterior, strategy), unclosed);
}

}  // namespace Exporter::OutlineSteps
