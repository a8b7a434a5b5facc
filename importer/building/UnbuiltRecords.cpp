#include "importer/building/UnbuiltRecords.h"

#include <cstdint>


namespace Importer {

namespace {

template <typename Record>
void noteWithoutLevel(const ImportModel& model, const std::vector<std::unique_ptr<Record>>& records, const wchar_t* kind)
{
    for (const auto& r : records) {
        if (model.levelByStorey.count(r->storey) == 0) {
            Common::reportLeftOut(model.report, kind, r->storey, r->id,
                                  L"storey " + std::to_wstring(r->storey) + L" has no level in the file, so nothing on it is built");
        }
    }
}

}  // namespace

void noteUnbuiltRecords(const ImportModel& model, RoofMode roofs)
{
    if (model.report == nullptr) {
        return;
    }
    noteWithoutLevel(model, model.rooms, L"room");
    noteWithoutLevel(model, model.walls, L"wall");
    noteWithoutLevel(model, model.openings, L"opening");
    noteWithoutLevel(model, model.stairs, L"stair");
    for (const auto& line : model.outerLines) {
        Common::reportLeftOut(model.report, L"exteriorLine", line->storey, line->id,
                              L"exterior wall lines are not built; the host draws the outer walls from the rooms");
    }
    for (const auto& roof : model.roofs) {
        if (roofs != RoofMode::ManualFaces) {
            Common::reportLeftOut(model.report, L"roof", roof->storey, roof->id, L"roofs were chosen not to be built");
        } else if (model.levelByStorey.count(static_cast<int>(static_cast<long long>(roof->storey) - 1)) == 0 ||
                   roof->storey == INT32_MIN) {
            Common::reportLeftOut(model.report, L"roof", roof->storey, roof->id,
                                  L"a roof is built on the storey below it, and storey " +
                                      std::to_wstring(static_cast<long long>(roof->storey) - 1) + L" has no level in the file");
        }
    }
}

}  // namespace Importer
