#pragma once

#include <string>

#include "importer/model/ImportModel.h"

namespace Importer {

// Loads the CEDXM file and reads every section into the model. False, with
// `problem` naming the file and the reason, when the file cannot be read as
// a CEDXM document; the model then stays as created.
bool loadCedxmFile(ImportModel& model, const std::wstring& path, std::wstring& problem);

}  // namespace Importer
