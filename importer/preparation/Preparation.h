#pragma once

#include <string>

#include "common/host/HostDocument.h"
#include "common/platform/Platform.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Completes and repairs what was read: levels, openings, overlapping walls,
// heights, names. May warn the user that the file is hard to import.
void prepareImport(ImportModel& model, Common::HostDocument& document, const std::wstring& iniPath,
                   int openingExtendType, Common::Platform& platform);

}  // namespace Importer
