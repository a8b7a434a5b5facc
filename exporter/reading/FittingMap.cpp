#include "exporter/reading/FittingMap.h"

namespace Exporter {

void loadExportFittingMap(ExportModel&, const std::wstring&) {}

std::wstring lookupModelNumber(const ExportModel&, const std::wstring&) { return {}; }

}  // namespace Exporter
