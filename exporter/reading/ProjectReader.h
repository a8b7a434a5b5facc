#pragma once

#include <ctime>
#include <string>

#include "common/host/HostApplication.h"
#include "common/host/HostDocument.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

// File information, project, storeys, levels and grid spacing.
void readProject(ExportModel& model, Common::HostApplication& application, Common::HostDocument& document,
                 const std::wstring& iniPath);

// The same with the output date taken from `localTime` instead of the clock.
void readProject(ExportModel& model, Common::HostApplication& application, Common::HostDocument& document,
                 const std::wstring& iniPath, const std::tm& localTime);

// ファイル出力日: each field in decimal without leading zeros, the full year,
// month 1 to 12.
void setOutputDate(ExportModel& model, const std::tm& localTime);

}  // namespace Exporter
