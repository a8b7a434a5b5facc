#include "importer/preparation/FiniteCheck.h"

#include <cmath>
#include <string>

#include "common/geometry/Finite.h"

namespace Importer {

namespace {

using Common::isFinite;

// Finite, or the marker of a height the file did not give.
bool finiteOrMissing(double v) { return std::isfinite(v) || v == kMissingHeight; }

template <typename Record, typename Check>
void dropWhere(ImportModel& model, std::vector<std::unique_ptr<Record>>& list, const wchar_t* what,
               const wchar_t* kind, Common::Platform& platform, Check isFinite)
{
    std::vector<std::unique_ptr<Record>> kept;
    kept.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (isFinite(*list[i])) {
            kept.push_back(std::move(list[i]));
        } else {
            platform.reportError(std::wstring(what) + L" " + std::to_wstring(i + 1) + L" (storey " +
                                 std::to_wstring(list[i]->storey) +
                                 L") skipped: a coordinate or height is not a finite number");
            Common::reportLeftOut(model.report, kind, list[i]->storey, list[i]->id,
                                  L"a coordinate or height is not a finite number");
        }
    }
    list = std::move(kept);
}

}  // namespace

void dropNonFiniteRecords(ImportModel& model, Common::Platform& platform)
{
    for (auto& [storey, level] : model.levelByStorey) {
        if (!std::isfinite(level)) {
            platform.reportError(L"The level of storey " + std::to_wstring(storey) +
                                 L" is not a finite number; 0 is used");
            level = 0;
        }
    }
    for (auto& [storey, level] : model.floorLevelByStorey) {
        if (!std::isfinite(level)) {
            platform.reportError(L"The floor level of storey " + std::to_wstring(storey) +
                                 L" is not a finite number; 0 is used");
            level = 0;
        }
    }
    if (!std::isfinite(model.foundationHeight)) {
        platform.reportError(L"The foundation height is not a finite number; it is ignored");
        model.foundationHeight = 0;
    }
    if (!isFinite(model.gridSpacing)) {
        platform.reportError(L"The grid spacing is not a finite number; 0 is used");
        if (!std::isfinite(model.gridSpacing.x)) {
            model.gridSpacing.x = 0;
        }
        if (!std::isfinite(model.gridSpacing.y)) {
            model.gridSpacing.y = 0;
        }
    }
    dropWhere(model, model.rooms, L"Room", L"room", platform, [](const ImportRoom& r) {
        return finiteOrMissing(r.floorHeight) && finiteOrMissing(r.ceilingHeight) && isFinite(r.outline);
    });
    dropWhere(model, model.outerLines, L"Exterior wall line", L"exteriorLine", platform,
              [](const ImportOuterLine& l) { return isFinite(l.points); });
    dropWhere(model, model.walls, L"Wall", L"wall", platform, [](const ImportWall& w) {
        return std::isfinite(w.thickness) && isFinite(w.start) && isFinite(w.end) && std::isfinite(w.bottomHeight) &&
               std::isfinite(w.topHeight);
    });
    dropWhere(model, model.openings, L"Opening", L"opening", platform, [](const ImportOpening& o) {
        return std::isfinite(o.headHeight) && std::isfinite(o.width) && std::isfinite(o.height) && isFinite(o.start) &&
               isFinite(o.end) && isFinite(o.region3D);
    });
    dropWhere(model, model.stairs, L"Stair", L"stair", platform, [](const ImportStair& s) {
        for (double a : s.turnAngles) {
            if (!std::isfinite(a)) {
                return false;
            }
        }
        for (const auto& outline : s.blockOutlines) {
            if (!isFinite(outline)) {
                return false;
            }
        }
        return true;
    });
    dropWhere(model, model.roofs, L"Roof", L"roof", platform, [](const ImportRoof& r) {
        if (!isFinite(r.baseLineStart) || !isFinite(r.baseLineEnd) || !std::isfinite(r.baseHeight) ||
            !std::isfinite(r.pitch) || !finiteOrMissing(r.finishThickness) || !isFinite(r.outline)) {
            return false;
        }
        for (float o : r.edgeOffsets) {
            if (!std::isfinite(o)) {
                return false;
            }
        }
        return true;
    });
}

}  // namespace Importer
