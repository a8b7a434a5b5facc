#include "importer/building/OpeningBuilder.h"

#include <cmath>
#include <numbers>

#include "importer/building/HostArguments.h"
#include "importer/building/ImportFittingMap.h"
#include "importer/building/RoomHeights.h"

namespace Importer {

using namespace HostArgs;

namespace {

const wchar_t* const kWindowPlaceholder = L"窓開口.m3d";
const wchar_t* const kDoorPlaceholder = L"ドア開口.m3d";
// An opening without a fitting is made as the wall-line element of this
// kind (the host's type 22).
constexpr std::uint16_t kOpeningLine = 2;

bool isWindow(int code) { return code == 1 || code == 7; }
bool isDoor(int code) { return code == 2 || code == 4; }

// The fitting file for the opening, empty for a plain opening.
std::wstring fittingPath(const ImportModel& model, const ImportOpening& o, OpeningMode mode)
{
    std::wstring name;
    const std::wstring* base = &model.programFolder;
    if (mode == OpeningMode::FittingsFromTable) {
        name = lookupFittingPart(model, o.modelNumber);
        base = &model.hostFolder;
    }
    if (name.empty() && (mode == OpeningMode::TemporaryFrames || mode == OpeningMode::FittingsFromTable)) {
        base = &model.programFolder;
        if (isWindow(o.kindCode)) {
            name = kWindowPlaceholder;
        } else if (isDoor(o.kindCode)) {
            name = kDoorPlaceholder;
        }
    }
    if (name.empty()) {
        return name;
    }
    return name.front() == L'\\' ? *base + name : *base + L"\\" + name;
}

}  // namespace

void buildOpenings(const ImportModel& model, Common::HostDocument& document, OpeningMode mode, int storey)
{
    buildOpenings(model, document, mode, storey, ModelByStorey(model).of(storey));
}

void buildOpenings(const ImportModel& model, Common::HostDocument& document, OpeningMode mode, int storey,
                   const StoreyRecords& records)
{
    const StoreyRooms rooms(storey, records.rooms);
    for (const ImportOpening* o : records.openings) {
        if (o->kindCode == 3) {
            continue;
        }
        const RoomHeightPair h = rooms.along(o->start, o->end);
        if (h.none()) {
            Common::reportLeftOut(model.report, L"opening", storey, o->id, L"the opening touches no room, so it has no height");
            continue;
        }
        const std::wstring path = fittingPath(model, *o, mode);
        if (!path.empty()) {
            const Vector2d d = o->end - o->start;
            const Vector2d mid((o->start.x + o->end.x) / 2, (o->start.y + o->end.y) / 2);
            const double width = o->width > 0 ? o->width : d.length();
            const double angle = std::atan2(d.y, d.x) * 180.0 / std::numbers::pi;
            const double sill = o->headHeight - h.h1 - o->height;
            document.selectStorey(storeyNumber(o->storey));
            document.placeFitting(path, mid.x, mid.y, sill, angle, width, o->height, 0);
            continue;
        }
        Vector2d a = o->start, b = o->end;
        if (o->width > 0) {
            recentre(a, b, o->width);
        }
        double v1 = 0, v2 = 0;
        if (isWindow(o->kindCode)) {
            v1 = o->headHeight - h.h1;
            v2 = o->headHeight - o->height - h.h1;
        } else if (isDoor(o->kindCode)) {
            v1 = o->height;
            v2 = 0;
        } else if (o->kindCode == 5) {
            v1 = h.h2 - h.h1;
            v2 = h.h2 - h.h1 - o->height;
        } else {
            Common::reportLeftOut(model.report, L"opening", storey, o->id, L"opening kind " + std::to_wstring(o->kindCode) + L" is neither window, door nor passage");
            continue;
        }
        document.newWallLineElement(kOpeningLine, a.x, a.y, b.x, b.y, v1, v2);
    }
}

}  // namespace Importer
