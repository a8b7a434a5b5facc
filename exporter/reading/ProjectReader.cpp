#include "exporter/reading/ProjectReader.h"

namespace Exporter {

void readProject(ExportModel&, Common::HostObject&, Common::HostObject&, const std::wstring&) {}

}  // namespace Exporter
