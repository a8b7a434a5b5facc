#pragma once

#include <string>

#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "common/settings/Options.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

// Fills the model from the host in the fixed order: fitting table (when
// fittings go through the table), project, rooms, walls and openings,
// stairs, roofs, and forced roof generation when the plan gave no roof.
void runReadingDriver(ExportModel& model, Common::HostApplication& application, Common::HostDocument& document,
                      const Common::ExportOptions& options, const std::wstring& iniPath, int openingExtendType);

}  // namespace Exporter
