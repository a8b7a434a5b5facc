#include "exporter/reading/RoomPass.h"

#include <algorithm>
#include <memory>

#include "common/geometry/Geometry.h"
#include "common/host/ObjectWalk.h"
#include "exporter/reading/StoreyLevels.h"

namespace Exporter {

namespace {

constexpr std::uint32_t kRoomType = 19;
// Porches are not rooms of the file.
constexpr int kPorchKind = 20;

// Entrance, inner garage and earth floor: the host keeps their floor height
// as an absolute level instead of one above the storey's floor.
bool floorHeightIsAbsolute(int kind)
{
    return kind == 1 || kind == 22 || kind == 29;
}

// Consecutive x, y pairs; an unpaired last value is ignored.
std::vector<Vector2d> outlineFromDoubles(const std::vector<double>& values)
{
    std::vector<Vector2d> outline;
    const std::size_t count = values.size() / 2;
    outline.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        outline.emplace_back(values[2 * i], values[2 * i + 1]);
    }
    return outline;
}

void readCurrentRoom(ExportModel& model, Common::HostDocument& document, const StoreyLevels& levels)
{
    const std::int16_t storey = document.currentObjectStorey();
    // Outline, room kind and name first; floor height at 6 and the ceiling
    // above the floor at 8 (counted from 1).
    const Common::HostReply room73 = document.readRoom();

    const int kind = room73.ui2(1);
    if (kind == kPorchKind) {
        Common::reportLeftOut(model.report, L"room", storey, L"", L"the porch " + room73.text(2) + L" is not written: a porch is no room of a CEDXM file");
        return;
    }
    auto room = std::make_unique<ExportRoom>();
    room->storey = storey;
    const double hostFloor = room73.number(5);
    room->floorHeight = floorHeightIsAbsolute(kind) ? hostFloor : storeyLevel(levels, storey) + hostFloor;
    room->ceilingHeight = room->floorHeight + room73.number(7);
    room->name = room73.text(2);
    const auto code = model.roomKindCodes.find(kind);
    room->kindCode = code != model.roomKindCodes.end() ? code->second : 0;
    const auto name = model.roomKindNames.find(kind);
    room->kindName = name != model.roomKindNames.end() ? name->second : std::wstring();
    // Rooms are stored counter-clockwise (y up), whichever way the host drew them.
    room->outline = outlineFromDoubles(room73.doubles(0));
    if (Common::runsClockwise(room->outline)) {
        std::reverse(room->outline.begin(), room->outline.end());
    }
    model.rooms.push_back(std::move(room));
}

}  // namespace

void readRooms(ExportModel& model, Common::HostDocument& document)
{
    const StoreyLevels levels = hostStoreyLevels(readStoreySettings(document));
    Common::forEachHostObject(document, [&] {
        if (document.currentObjectType() == kRoomType) {
            readCurrentRoom(model, document, levels);
        }
    });
}

}  // namespace Exporter
