#include "exporter/reading/StoreyFinish.h"

#include <memory>

#include "exporter/reading/RoomHeightRange.h"
#include "exporter/reading/WallBoxes.h"

namespace Exporter {

namespace {

// Wall lines shorter than 0.1 are left-overs of the slab walk, not walls.
constexpr double kMinWallLengthSquared = 0.01;

}  // namespace

void appendOuterLines(ExportModel& model, int storey, const std::vector<std::vector<Vector2d>>& chains)
{
    for (const auto& chain : chains) {
        auto line = std::make_unique<ExportOuterLine>();
        line->storey = storey;
        line->points = chain;
        model.outerLines.push_back(std::move(line));
    }
}

void appendRoomEdgeWalls(ExportModel& model, int storey, const std::vector<Common::Segment>& lines,
                         double wallThickness)
{
    const RoomHeightIndex rooms(model);
    for (const Common::Segment& line : lines) {
        if ((line.end - line.start).lengthSquared() < kMinWallLengthSquared) {
            continue;
        }
        const RoomHeightRange range = rooms.range(storey, line.start, line.end);
        auto wall = std::make_unique<ExportWall>();
        wall->storey = storey;
        wall->kindCode = kWallFullHeight;
        wall->start = line.start;
        wall->end = line.end;
        wall->thickness = wallThickness;
        wall->bottomHeight = range.floorMax;
        wall->topHeight = range.ceilingMax;
        model.walls.push_back(std::move(wall));
    }
}

void reportUnclosedOuterLines(ExportModel& model, int storey, const std::vector<std::vector<Vector2d>>& chains)
{
    const auto at = [](const Vector2d& p) {
        return L"(" + Common::reportLength(p.x) + L", " + Common::reportLength(p.y) + L")";
    };
    for (const auto& chain : chains) {
        const std::size_t pieces = chain.size() - 1;
        Common::reportLeftOut(model.report, L"exteriorLine", storey, L"",
                              L"the exterior wall line of " + std::to_wstring(pieces) +
                                  (pieces == 1 ? L" piece" : L" pieces") + L" from " + at(chain.front()) + L" to " +
                                  at(chain.back()) + L" does not close around the rooms, so it is not written");
    }
}

void finishStorey(ExportModel& model, int storey, const StoreyOutlineSet& set, double wallThickness)
{
    const StoreyLines lines = storeyLines(set, model.report != nullptr);
    appendOuterLines(model, storey, lines.exteriorOutlines);
    reportUnclosedOuterLines(model, storey, lines.unclosed);
    appendRoomEdgeWalls(model, storey, lines.roomEdgeWalls, wallThickness);
}

}  // namespace Exporter
