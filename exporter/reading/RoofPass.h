#pragma once

#include <string>

#include "common/host/HostDocument.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

void readRoofs(ExportModel& model, Common::HostDocument& document);

// When the model holds no roof and "ForceCreateRoof" allows it, asks the host
// to generate roofs and reads them.
void forceRoofGeneration(ExportModel& model, Common::HostDocument& document, const std::wstring& iniPath);

}  // namespace Exporter
