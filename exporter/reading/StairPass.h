#pragma once

#include "common/host/HostObject.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

void readStairs(ExportModel& model, Common::HostObject& document);

}  // namespace Exporter
