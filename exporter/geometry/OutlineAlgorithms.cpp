#include "exporter/geometry/OutlineAlgorithms.h"

#include "exporter/geometry/OutlineSteps.h"

namespace Exporter {

// The fast strategy gives the same segments in the same order as the
// step-by-step reference (ReferenceOutline.cpp), without its all-against-all
// searches.

std::vector<Common::Segment> roomEdgeWallLines(const StoreyOutlineSet& set)
{
    return OutlineSteps::roomEdgeWallLinesWith(set, OutlineSteps::kFastStrategy);
}

std::vector<std::vector<Common::Vector2d>> exteriorOutlines(const StoreyOutlineSet& set,
                                                            std::vector<std::vector<Common::Vector2d>>* unclosed)
{
    return OutlineSteps::exteriorOutlinesWith(set, OutlineSteps::kFastStrategy, unclosed);
}

StoreyLines storeyLines(const StoreyOutlineSet& set, bool keepUnclosed)
{
    return OutlineSteps::storeyLinesWith(set, OutlineSteps::kFastStrategy, keepUnclosed);
}

}  // namespace Exporter
