#include "exporter/reading/WallPass.h"

#include <algorithm>
#include <map>
#include <memory>

#include "common/geometry/Geometry.h"
#include "exporter/geometry/OutlineAlgorithms.h"
#include "common/host/ObjectWalk.h"
#include "exporter/reading/OpeningExtraction.h"
#include "exporter/reading/RoomHeightRange.h"
#include "exporter/reading/StoreyFinish.h"
#include "exporter/reading/StoreyLevels.h"
#include "exporter/reading/WallBoxes.h"

namespace Exporter {

namespace {

class WallPass {
public:
    WallPass(ExportModel& model, Common::HostDocument& document, int openingExtendType)
        : model_(model), document_(document), rooms_(model)
    {
        layout_.openingExtendType = openingExtendType;
    }

    WallObjectsResult run()
    {
        layout_.wallThickness = standardWallThickness(readStoreySettings(document_));
        sets_ = collectStoreyOutlineSets(model_);
        Common::forEachHostObject(document_, [&] { readCurrentObject(); });
        return {std::move(sets_), layout_.wallThickness};
    }

private:
    void readCurrentObject()
    {
        const int storey = document_.currentObjectStorey();
        const std::uint32_t type = document_.currentObjectType();
        if (type == 5) {
            readType5Box(storey);
        } else if (type == 20) {
            readType20Box(storey);
        } else if (type == 21 || type == 22 || type == 23 || type == 48) {
            readWallAttached(storey);
        }
        // Whatever its type, an object may carry a fitting.
        appendFittingOpening(model_, rooms_, document_, storey, layout_);
    }

    void readType5Box(int storey)
    {
        const Common::HostReply read = document_.readWallBox();
        const WallBoxShape box{read.number(1), read.number(2), read.number(3), read.number(4)};
        const bool fullHeight = read.ui2(5) != 0;
        const double bottom = read.number(6);
        const double top = read.number(7);
        appendWallBox(storey, box, [&](const RoomHeightRange& range) {
            return type5WallHeights(fullHeight, bottom, top, range);
        });
    }

    void readType20Box(int storey)
    {
        const Common::HostReply read = document_.readHangingWallBox();
        const WallBoxShape box{read.number(0), read.number(1), read.number(2), read.number(3)};
        const bool hanging = read.ui2(4) != 0;
        const double bottom = read.number(5);
        const double height = read.number(6);
        appendWallBox(storey, box, [&](const RoomHeightRange& range) {
            return type20WallHeights(hanging, bottom, height, range);
        });
    }

    // A box that lies in no room of its storey gives no wall.
    template <typename Heights>
    void appendWallBox(int storey, const WallBoxShape& box, Heights&& heights)
    {
        double thickness = 0;
        const Common::Segment line = wallBoxCentreLine(box, thickness);
        const RoomHeightRange range = rooms_.range(storey, line.start, line.end);
        if (range.touchesRoom()) {
            appendWall(storey, line, thickness, heights(range));
        }
    }

    // Doors, openings and short walls set into a wall line. What the object
    // becomes is decided by the type the host gives when asked again.
    void readWallAttached(int storey)
    {
        const Common::HostReply read = document_.readWallAttached();
        const Vector2d p1(read.number(1), read.number(2));
        const Vector2d p2(read.number(3), read.number(4));
        const double upper = read.number(5);
        const double lower = read.number(6);
        const RoomHeightRange range = rooms_.range(storey, p1, p2);
        if (!range.touchesRoom()) {
            return;
        }
        const double f = range.floorMax;
        const double c = range.ceilingMax;
        const double h = range.height();
        const Common::Segment asRead{p1, p2};
        switch (document_.currentObjectType()) {
        case 21:
            cutRoomEdges(storey, openingFrom(storey, asRead, upper, lower, range, WallAttachedOpening::FullHeight));
            break;
        case 22:
            if (lower <= 0 && upper >= h) {
                cutRoomEdges(storey, openingFrom(storey, asRead, upper, lower, range, WallAttachedOpening::FullHeight));
            } else if (lower <= 0) {
                appendWall(storey, asRead, layout_.wallThickness, {kWallHanging, f + upper, c});
                cutRoomEdges(storey, asRead);
            } else if (upper >= h) {
                appendWall(storey, asRead, layout_.wallThickness, {kWallStanding, f, f + lower});
                cutRoomEdges(storey, asRead);
            } else {
                // Wall above and below: the room-edge wall runs on through it.
                openingFrom(storey, asRead, upper, lower, range, WallAttachedOpening::WindowLike);
            }
            break;
        case 23:
            appendWall(storey, asRead, layout_.wallThickness, {kWallStanding, f, f + lower});
            cutRoomEdges(storey, asRead);
            break;
        case 48:
            appendWall(storey, asRead, upper + lower, {kWallFullHeight, f, c});
            cutRoomEdges(storey, asRead);
            break;
        default:
            break;
        }
    }

    Common::Segment openingFrom(int storey, const Common::Segment& segment, double upper, double lower,
                                const RoomHeightRange& range, WallAttachedOpening kind)
    {
        return appendWallAttachedOpening(model_, storey, segment.start, segment.end, upper, lower, range, kind,
                                         layout_);
    }

    // The room outline edges along the object give way to what it made.
    void cutRoomEdges(int storey, const Common::Segment& segment)
    {
        sets_[storey].openingSegments.push_back(segment);
    }

    void appendWall(int storey, const Common::Segment& line, double thickness, const WallHeights& heights)
    {
        auto wall = std::make_unique<ExportWall>();
        wall->storey = storey;
        wall->kindCode = heights.kindCode;
        wall->start = line.start;
        wall->end = line.end;
        wall->thickness = thickness;
        wall->bottomHeight = heights.bottom;
        wall->topHeight = heights.top;
        model_.walls.push_back(std::move(wall));
    }

    ExportModel& model_;
    Common::HostDocument& document_;
    const RoomHeightIndex rooms_;  // the rooms stay as the room pass left them
    OpeningLayout layout_;
    StoreyOutlineSets sets_;
};

}  // namespace

namespace {

// Balconies (code 18) and rooms of a kind the tables do not know (code 0)
// have no walls of their own and are not part of the house's outline.
bool shapesWalls(const ExportRoom& room)
{
    return room.kindCode != 0 && room.kindCode != 18;
}

}  // namespace

StoreyOutlineSets collectStoreyOutlineSets(const ExportModel& model)
{
    StoreyOutlineSets sets;
    for (const auto& room : model.rooms) {
        if (!shapesWalls(*room)) {
            continue;
        }
        std::vector<Vector2d> outline = room->outline;
        if (!Common::runsClockwise(outline)) {
            std::reverse(outline.begin(), outline.end());
        }
        sets[room->storey].outlines.push_back(std::move(outline));
    }
    return sets;
}

WallObjectsResult readWallObjects(ExportModel& model, Common::HostDocument& document, int openingExtendType)
{
    return WallPass(model, document, openingExtendType).run();
}

void readWallsAndOpenings(ExportModel& model, Common::HostDocument& document, int openingExtendType)
{
    const WallObjectsResult read = readWallObjects(model, document, openingExtendType);
    for (const auto& [storey, set] : read.sets) {
        finishStorey(model, storey, set, read.wallThickness);
    }
}

}  // namespace Exporter
