#pragma once

#include <string>

#include "common/host/HostObject.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

void readRoofs(ExportModel& model, Common::HostObject& document);

// When the model holds no roof and "ForceCreateRoof" allows it, asks the host
// to generate roofs and reads them.
void forceRoofGeneration(ExportModel& model, Common::HostObject& document, const std::wstring& iniPath);

}  // namespace Exporter
