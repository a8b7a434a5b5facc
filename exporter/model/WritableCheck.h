#pragma once

#include "common/platform/Platform.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

// Drops every record the CEDXM file could not carry truthfully: one with a
// number that is not finite (values near the limits of the number range
// overflow in the reading passes and the first-quadrant shift) or with a
// name longer than a reader takes. Each is named in a message. Levels that
// are not finite are dropped the same way; a grid or foundation value that
// is not finite is written as 0, again with a message.
void dropUnwritableRecords(ExportModel& model, Common::Platform& platform);

}  // namespace Exporter
