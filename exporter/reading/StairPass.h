#pragma once

#include "common/host/HostDocument.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

void readStairs(ExportModel& model, Common::HostDocument& document);

}  // namespace Exporter
