#include "exporter/reading/StairPass.h"

namespace Exporter {

void readStairs(ExportModel&, Common::HostObject&) {}

}  // namespace Exporter
