#pragma once

#include <string>

#include "common/host/HostObject.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

// File information, project, storeys, levels and grid spacing.
void readProject(ExportModel& model, Common::HostObject& application, Common::HostObject& document,
                 const std::wstring& iniPath);

}  // namespace Exporter
