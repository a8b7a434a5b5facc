#include "exporter/reading/StoreyFinish.h"

#include <algorithm>
#include <memory>

#include "exporter/geometry/ParallelChunks.h"
#include "exporter/reading/RoomHeightRange.h"
#include "exporter/reading/WallBoxes.h"

namespace Exporter {

namespace {

// Wall lines shorter than 0.1 are left-overs of the slab walk, not walls.
constexpr double kMinWallLengthSquared = 0.01;

// The room heights of a storey's wall lines are looked up side by side from
// this many lines on (a long row of rooms has tens of thousands), in pieces
// of this many lines; an ordinary storey stays on the calling thread.
constexpr std::size_t kLinesSideBySide = 4096;
constexpr std::size_t kLinesPerPiece = 1024;

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
    std::vector<const Common::Segment*> walls;
    walls.reserve(lines.size());
    for (const Common::Segment& line : lines) {
        if ((line.end - line.start).lengthSquared() >= kMinWallLengthSquared) {
            walls.push_back(&line);
        }
    }
    // Each piece writes only its own lines' heights, and the walls are then
    // appended in line order: the model is the same however the pieces ran.
    std::vector<RoomHeightRange> ranges(walls.size());
    const std::size_t pieces = (walls.size() + kLinesPerPiece - 1) / kLinesPerPiece;
    const std::size_t threads = walls.size() >= kLinesSideBySide ? OutlineSteps::machineThreads() : 1;
    OutlineSteps::runChunks(pieces, threads, [&](std::size_t piece) {
        const std::size_t end = std::min(walls.size(), (piece + 1) * kLinesPerPiece);
        for (std::size_t i = piece * kLinesPerPiece; i < end; ++i) {
            ranges[i] = rooms.range(storey, walls[i]->start, walls[i]->end);
        }
    });
    model.walls.reserve(model.walls.size() + walls.size());
    for (std::size_t i = 0; i < walls.size(); ++i) {
        auto wall = std::make_unique<ExportWall>();
        wall->storey = storey;
        wall->kindCode = kWallFullHeight;
        wall->start = walls[i]->start;
        wall->end = walls[i]->end;
        wall->thickness = wallThickness;
        wall->bottomHeight = ranges[i].floorMax;
        wall->topHeight = ranges[i].ceilingMax;
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
