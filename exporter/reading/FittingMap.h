#pragma once

#include <string>

#include "exporter/model/ExportModel.h"

namespace Exporter {

// Fills model.fittingTable from the correspondence table at csvPath.
void loadExportFittingMap(ExportModel& model, const std::wstring& csvPath);

// The model number for a host fitting name; empty when no key matches.
std::wstring lookupModelNumber(const ExportModel& model, const std::wstring& fittingName);

}  // namespace Exporter
