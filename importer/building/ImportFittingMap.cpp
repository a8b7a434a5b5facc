#include "importer/building/ImportFittingMap.h"

#include "common/fitting/FittingCsv.h"

namespace Importer {

void loadImportFittingMap(ImportModel& model, const std::wstring& path)
{
    std::wstring ignored;
    loadImportFittingMap(model, path, ignored);
}

void loadImportFittingMap(ImportModel& model, const std::wstring& path, std::wstring& problem)
{
    problem.clear();
    for (const Common::CsvRow& row : Common::readFittingCsv(path, &problem)) {
        if (row.size() < 2 || row[0].find_first_of(L"/\\") == std::wstring::npos) {
            continue;
        }
        model.fittingTable.emplace(row[1], row[0]);  // keeps an existing entry
    }
}

std::wstring lookupFittingPart(const ImportModel& model, const std::wstring& modelNumber)
{
    const auto it = model.fittingTable.find(modelNumber);
    return it == model.fittingTable.end() ? std::wstring() : it->second;
}

}  // namespace Importer
