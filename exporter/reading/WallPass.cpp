#include "exporter/reading/WallPass.h"

namespace Exporter {

void readWallsAndOpenings(ExportModel&, Common::HostObject&, int) {}

}  // namespace Exporter
