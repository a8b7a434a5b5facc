#include "exporter/geometry/ReferenceOutline.h"

#include "exporter/geometry/OutlineSteps.h"

namespace Exporter {

std::vector<Common::Segment> referenceRoomEdgeWallLines(const StoreyOutlineSet& set)
{
    return OutlineSteps::roomEdgeWallLinesWith(set, OutlineSteps::kReferenceStrategy);
}

std::vector<std::vector<Common::Vector2d>> referenceExteriorOutlines(const StoreyOutlineSet& set)
{
    return OutlineSteps::exteriorOutlinesWith(set, OutlineSteps::kReferenceStrategy);
}

}  // namespace Exporter
