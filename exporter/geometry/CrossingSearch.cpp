#include "exporter/geometry/OutlineSteps.h"

namespace Exporter::OutlineSteps {

std::vector<double> eventHeightsFast(const std::vector<Edge>& edges)
{
    return eventHeightsReference(edges);
}

}  // namespace Exporter::OutlineSteps
