#include "importer/building/BuildingPass.h"

namespace Importer {

void flipToFirstQuadrant(ImportModel&) {}

void moveOrigin(ImportModel&, int) {}

void runBuildingPass(const std::wstring&, const std::wstring&, ImportModel&, Common::HostObject&, Common::HostObject&,
                     int, int, int, Common::Platform&)
{
}

}  // namespace Importer
