#include "importer/building/WallBuilder.h"

#include <algorithm>

#include "importer/building/HostArguments.h"
#include "importer/building/RoomHeights.h"
#include "importer/building/StoreySettings.h"

namespace Importer {

using namespace HostArgs;

namespace {

constexpr std::uint16_t kPassageLine = 1;
constexpr std::uint16_t kHangingLine = 2;
constexpr std::uint16_t kWaistLine = 3;
constexpr std::uint16_t kThicknessLine = 4;

void wallLine(Common::HostDocument& document, std::uint16_t kind, const Vector2d& a, const Vector2d& b, double v1,
              double v2)
{
    document.newWallLineElement(kind, a.x, a.y, b.x, b.y, v1, v2);
}

void edgeWall(const ImportWall& w, const RoomHeightPair& h, std::uint16_t standardThickness,
              Common::HostDocument& document)
{
    switch (w.kindCode) {
    case 1:
        if (w.thickness != standardThickness && w.thickness != 0) {
            wallLine(document, kThicknessLine, w.start, w.end, w.thickness / 2.0, w.thickness / 2.0);
        }
        break;
    case 2:
        wallLine(document, kHangingLine, w.start, w.end, w.bottomHeight - h.h1, 0);
        break;
    case 3:
        wallLine(document, kWaistLine, w.start, w.end, 0, w.topHeight - h.h1);
        break;
    default:
        break;
    }
}

void freeStandingWall(const ImportWall& w, const RoomHeightPair& h, Common::HostDocument& document)
{
    const double length = (w.end - w.start).length();
    const Vector2d centre((w.start.x + w.end.x) / 2, (w.start.y + w.end.y) / 2);
    Vector2d size;
    if (w.start.x == w.end.x) {
        size = Vector2d(w.thickness, length);
    } else if (w.start.y == w.end.y) {
        size = Vector2d(length, w.thickness);
    } else {
        return;  // blocks are axis-parallel only
    }
    const auto box43 = [&](std::int32_t flag, double v1, double v2) {
        document.newWallBox(0, centre.x, centre.y, size.x, size.y, flag, v1, v2);
    };
    const auto box44 = [&](std::int32_t flag, double v1, double v2) {
        document.newWallBoxSecondForm(centre.x, centre.y, size.x, size.y, flag, v1, v2);
    };
    switch (w.kindCode) {
    case 1:
        box43(1, 0, h.h2 - h.h1);
        break;
    case 2:
        box44(1, h.h2 - w.bottomHeight, 0);
        break;
    case 3:
        box43(0, 0, w.topHeight - h.h1);
        break;
    default:
        box44(0, std::max(0.0, w.bottomHeight - h.h1), std::min(w.topHeight - w.bottomHeight, h.h2 - h.h1));
        break;
    }
}

}  // namespace

void buildWalls(const ImportModel& model, Common::HostDocument& document, int storey)
{
    buildWalls(model, document, storey, ModelByStorey(model).of(storey));
}

void buildWalls(const ImportModel& model, Common::HostDocument& document, int storey, const StoreyRecords& records)
{
    const std::uint16_t standardThickness = readStoreySettings(document)[kStandardWallThicknessIndex];
    const StoreyRooms rooms(storey, records.rooms);
    for (const ImportWall* w : records.walls) {
        const RoomHeightPair along = rooms.along(w->start, w->end);
        if (!along.none()) {
            edgeWall(*w, along, standardThickness, document);
        } else {
            if (w->start.x != w->end.x && w->start.y != w->end.y) {
                Common::reportLeftOut(model.report, L"wall", storey, w->id, L"a free-standing wall that runs neither along x nor along y cannot be built as a wall block");
            }
            freeStandingWall(*w, rooms.around(w->start, w->end), document);
        }
    }
    for (const ImportOpening* o : records.openings) {
        if (o->kindCode != 3) {
            continue;
        }
        const RoomHeightPair h = rooms.along(o->start, o->end);
        if (h.none()) {
            Common::reportLeftOut(model.report, L"opening", storey, o->id, L"the passage touches no room, so it has no height");
            continue;
        }
        Vector2d a = o->start, b = o->end;
        if (o->width > 0) {
            recentre(a, b, o->width);
        }
        wallLine(document, kPassageLine, a, b, h.h2 - h.h1, 0);
    }
}

}  // namespace Importer
