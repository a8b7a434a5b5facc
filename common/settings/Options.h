#pragma once

#include <string>

#include "common/platform/Registry.h"

namespace Common {

// The export choices of the save dialog.
struct ExportOptions {
    int fittingType = 0;  // 0 openings only, 1 fittings through the CSV table
    std::wstring fittingPath;
    int originType = 0;  // 1 shifts the plan into the first quadrant
};

// The import choices of the open dialog.
struct ImportOptions {
    int openingType = 0;
    int roofType = 0;
    int originType = 0;
    std::wstring fittingPath;
};

// Registry first, ini defaults where the rules say so.
void loadExportOptions(Registry& registry, const std::wstring& iniPath, ExportOptions& options);
void storeExportOptions(Registry& registry, const ExportOptions& options);
void loadImportOptions(Registry& registry, const std::wstring& iniPath, ImportOptions& options);
void storeImportOptions(Registry& registry, const ImportOptions& options);

}  // namespace Common
