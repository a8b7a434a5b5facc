#include "exporter/model/WritableCheck.h"

#include <string>

#include "common/geometry/Finite.h"
#include "common/text/XmlTextLimit.h"

namespace Exporter {

namespace {

using Common::allFinite;

bool fits(const std::wstring& text) { return Common::utf8Length(text) <= Common::kMaxXmlTextBytes; }

// Keeps the records for which `problemOf` gives no reason and names the others.
template <typename Record, typename Check>
void dropWhere(std::vector<std::unique_ptr<Record>>& list, const wchar_t* what, Common::Platform& platform,
               Check problemOf)
{
    std::vector<std::unique_ptr<Record>> kept;
    kept.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (const wchar_t* problem = problemOf(*list[i])) {
            platform.reportError(L"DM2CDX: " + std::wstring(what) + L" " + std::to_wstring(i + 1) + L" (storey " +
                                 std::to_wstring(list[i]->storey) + L") is not written: " + problem);
        } else {
            kept.push_back(std::move(list[i]));
        }
    }
    list = std::move(kept);
}

const wchar_t* const kNotFinite = L"a coordinate or size is not a finite number";
const wchar_t* const kTooLong = L"its name is longer than a CEDXM file can carry";

void dropNonFiniteLevels(std::map<int, float>& levels, const wchar_t* what, Common::Platform& platform)
{
    for (auto it = levels.begin(); it != levels.end();) {
        if (allFinite(it->second)) {
            ++it;
        } else {
            platform.reportError(L"DM2CDX: the " + std::wstring(what) + L" of storey " + std::to_wstring(it->first) +
                                 L" is not a finite number and is not written");
            it = levels.erase(it);
        }
    }
}

template <typename T>
void zeroIfNotFinite(T& value, const wchar_t* what, Common::Platform& platform)
{
    if (!allFinite(value)) {
        platform.reportError(L"DM2CDX: the " + std::wstring(what) + L" is not a finite number; 0 is written");
        value = T();
    }
}

}  // namespace

void dropUnwritableRecords(ExportModel& model, Common::Platform& platform)
{
    zeroIfNotFinite(model.gridOrigin, L"grid origin", platform);
    zeroIfNotFinite(model.gridSpacing, L"grid spacing", platform);
    zeroIfNotFinite(model.foundationHeight, L"foundation height", platform);
    dropNonFiniteLevels(model.structuralLevelByStorey, L"structural level", platform);
    dropNonFiniteLevels(model.referenceFloorLevelByStorey, L"floor level", platform);

    dropWhere(model.rooms, L"room", platform, [](const ExportRoom& r) -> const wchar_t* {
        if (!allFinite(r.floorHeight, r.ceilingHeight, r.outline)) {
            return kNotFinite;
        }
        return fits(r.name) && (r.kindCode != 0 || fits(r.kindName)) ? nullptr : kTooLong;
    });
    dropWhere(model.outerLines, L"exterior wall line", platform,
              [](const ExportOuterLine& l) { return allFinite(l.points) ? nullptr : kNotFinite; });
    dropWhere(model.walls, L"wall", platform, [](const ExportWall& w) {
        return allFinite(w.start, w.end, w.thickness, w.bottomHeight, w.topHeight) ? nullptr : kNotFinite;
    });
    dropWhere(model.openings, L"opening", platform, [](const ExportOpening& o) -> const wchar_t* {
        if (!allFinite(o.headHeight, o.width, o.height, o.start, o.end, o.region3D)) {
            return kNotFinite;
        }
        return fits(o.modelNumber) ? nullptr : L"its model number is longer than a CEDXM file can carry";
    });
    dropWhere(model.stairs, L"stair", platform, [](const ExportStair& s) {
        return allFinite(s.turnAngles, s.blockOutlines) ? nullptr : kNotFinite;
    });
    dropWhere(model.roofs, L"roof", platform, [](const ExportRoof& r) {
        return allFinite(r.baseLineStart, r.baseLineEnd, r.baseHeight, r.pitch, r.finishThickness, r.outline,
                         r.edgeOffsets)
                   ? nullptr
                   : kNotFinite;
    });
}

}  // namespace Exporter
