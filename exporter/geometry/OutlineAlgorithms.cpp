#include "exporter/geometry/OutlineAlgorithms.h"

namespace Exporter {

std::vector<Common::Segment> roomEdgeWallLines(const StoreyOutlineSet&) { return {}; }

std::vector<std::vector<Common::Vector2d>> exteriorOutlines(const StoreyOutlineSet&) { return {}; }

}  // namespace Exporter
