#include "exporter/reading/RoomPass.h"

#include <algorithm>
#include <memory>

#include "common/geometry/Geometry.h"
#include "exporter/reading/HostReading.h"
#include "exporter/reading/StoreyLevels.h"

namespace Exporter {

namespace {

constexpr std::uint32_t kRoomType = 19;
constexpr int kRoomDataOp = 73;
// Porches are not rooms of the file.
constexpr int kPorchKind = 20;

// Entrance, inner garage and earth floor: the host keeps their floor height
// as an absolute level instead of one above the storey's floor.
bool floorHeightIsAbsolute(int kind)
{
    return kind == 1 || kind == 22 || kind == 29;
}

// Argument list of operation 73, every slot an output of the documented type.
Common::Arguments roomDataArguments()
{
    Common::Arguments args;
    args.push_back(outDoubles());  // 1 outline
    args.push_back(outUI2());      // 2 room kind
    args.push_back(outText());     // 3 name
    for (int i = 0; i < 2; ++i) {
        args.push_back(outUI2());
    }
    for (int i = 0; i < 8; ++i) {
        args.push_back(outR8());  // 6 floor height, 8 ceiling above the floor
    }
    for (int i = 0; i < 5; ++i) {
        args.push_back(outUI2());
    }
    args.push_back(outUI1());
    args.push_back(outUI4());
    args.push_back(outUI4());
    args.push_back(outUI2());
    args.push_back(outUI2());
    args.push_back(outText());
    args.push_back(outR8());
    args.push_back(outUI1());
    args.push_back(outR8());
    args.push_back(outUI4());
    return args;
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

void readCurrentRoom(ExportModel& model, Common::HostObject& document, const StoreyLevels& levels)
{
    const std::int16_t storey = currentObjectStorey(document);
    Common::Arguments args = roomDataArguments();
    document.call(kRoomDataOp, args);

    const int kind = argUI2(kRoomDataOp, args, 1);
    if (kind == kPorchKind) {
        return;
    }
    auto room = std::make_unique<ExportRoom>();
    room->storey = storey;
    const double hostFloor = argR8(kRoomDataOp, args, 5);
    room->floorHeight = floorHeightIsAbsolute(kind) ? hostFloor : storeyLevel(levels, storey) + hostFloor;
    room->ceilingHeight = room->floorHeight + argR8(kRoomDataOp, args, 7);
    room->name = argText(kRoomDataOp, args, 2);
    const auto code = model.roomKindCodes.find(kind);
    room->kindCode = code != model.roomKindCodes.end() ? code->second : 0;
    const auto name = model.roomKindNames.find(kind);
    room->kindName = name != model.roomKindNames.end() ? name->second : std::wstring();
    // Rooms are stored counter-clockwise (y up), whichever way the host drew them.
    room->outline = outlineFromDoubles(argDoubles(kRoomDataOp, args, 0));
    if (Common::runsClockwise(room->outline)) {
        std::reverse(room->outline.begin(), room->outline.end());
    }
    model.rooms.push_back(std::move(room));
}

}  // namespace

void readRooms(ExportModel& model, Common::HostObject& document)
{
    const StoreyLevels levels = hostStoreyLevels(readStoreySettings(document));
    forEachHostObject(document, [&] {
        if (currentObjectType(document) == kRoomType) {
            readCurrentRoom(model, document, levels);
        }
    });
}

}  // namespace Exporter
