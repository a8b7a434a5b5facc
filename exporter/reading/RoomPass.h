#pragma once

#include "common/host/HostDocument.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

// The room pass: appends one ExportRoom per host room (kind 20 left out).
void readRooms(ExportModel& model, Common::HostDocument& document);

}  // namespace Exporter
