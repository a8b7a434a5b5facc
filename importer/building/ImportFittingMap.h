#pragma once

#include <string>

#include "importer/model/ImportModel.h"

namespace Importer {

// Fills `fittingTable` (model number -> part file) from the correspondence
// table; the first row for a model number wins. Rows whose part file names
// no folder (no slash or backslash) are not used.
void loadImportFittingMap(ImportModel& model, const std::wstring& path);
// The same; a table that could not be read leaves `problem` saying which
// file and why, so that the user learns why no fittings were placed.
void loadImportFittingMap(ImportModel& model, const std::wstring& path, std::wstring& problem);

// The part file for a model number (exact comparison), empty when absent.
std::wstring lookupFittingPart(const ImportModel& model, const std::wstring& modelNumber);

}  // namespace Importer
