#include "exporter/reading/RoofPass.h"

namespace Exporter {

void readRoofs(ExportModel&, Common::HostObject&) {}

void forceRoofGeneration(ExportModel&, Common::HostObject&, const std::wstring&) {}

}  // namespace Exporter
