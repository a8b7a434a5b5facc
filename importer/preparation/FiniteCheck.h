#pragma once

#include "common/platform/Platform.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Drops every record that carries a number that is not finite (other than
// the positive infinity that stands for a height the file did not give) and
// tells the user which record went; such numbers must never reach the host.
// Levels, the foundation height and the grid spacing that are not finite
// count as 0, again with a message.
void dropNonFiniteRecords(ImportModel& model, Common::Platform& platform);

}  // namespace Importer
