#include <gtest/gtest.h>

#include <cmath>

#include "exporter/reading/FirstQuadrantShift.h"

using Exporter::ExportModel;
using Exporter::Vector2d;
using Exporter::Vector3d;

namespace {

void addRoom(ExportModel& model, std::vector<Vector2d> outline)
{
    auto room = std::make_unique<Exporter::ExportRoom>();
    room->outline = std::move(outline);
    model.rooms.push_back(std::move(room));
}

ExportModel modelWithRoomAt(double minX, double minY, double grid = 910)
{
    ExportModel model;
    model.gridSpacing = Vector2d(grid, grid);
    addRoom(model, {{minX, minY}, {minX + 1500, minY}, {minX + 1500, minY + 700}, {minX, minY + 700}});
    return model;
}

}  // namespace

TEST(FirstQuadrantShift, WholeGridStepsOnlyWhereBelowZero)
{
    ExportModel model = modelWithRoomAt(-1000, 200);
    model.gridOrigin = Vector2d(-5, -5);
    Exporter::shiftToFirstQuadrant(model);
    EXPECT_EQ(model.rooms[0]->outline[0], Vector2d(820, 200));  // sx = 1820, sy = 0
    EXPECT_EQ(model.rooms[0]->outline[2], Vector2d(2320, 900));
    EXPECT_EQ(model.gridOrigin, Vector2d(-5, -5));

    model = modelWithRoomAt(0, 0);
    Exporter::shiftToFirstQuadrant(model);
    EXPECT_EQ(model.rooms[0]->outline[0], Vector2d(0, 0));

    // Rounding noise below zero is not below zero; a real overhang is.
    model = modelWithRoomAt(-1e-9, -2e-6);
    Exporter::shiftToFirstQuadrant(model);
    EXPECT_EQ(model.rooms[0]->outline[0].x, -1e-9);
    EXPECT_DOUBLE_EQ(model.rooms[0]->outline[0].y, 910 - 2e-6);
}

TEST(FirstQuadrantShift, BoxMembersAndMovedMembers)
{
    ExportModel model = modelWithRoomAt(0, 0);
    // A wall end reaching to x = -2000 widens the box: three steps (2730).
    auto wall = std::make_unique<Exporter::ExportWall>();
    wall->start = Vector2d(-2000, 10);
    wall->end = Vector2d(0, 10);
    model.walls.push_back(std::move(wall));
    // These are moved but do not widen the box.
    auto opening = std::make_unique<Exporter::ExportOpening>();
    opening->start = Vector2d(0, 0);
    opening->end = Vector2d(100, 0);
    opening->region3D = {Vector3d(-9000, -9000, 1200)};
    model.openings.push_back(std::move(opening));
    auto roof = std::make_unique<Exporter::ExportRoof>();
    roof->outline = {{0, 0}};
    roof->baseLineStart = Vector2d(-9000, -9000);
    roof->baseLineEnd = Vector2d(-8000, -9000);
    model.roofs.push_back(std::move(roof));
    auto line = std::make_unique<Exporter::ExportOuterLine>();
    line->points = {{5, 5}};
    model.outerLines.push_back(std::move(line));
    auto stair = std::make_unique<Exporter::ExportStair>();
    stair->blockOutlines = {{{1, -100}}};  // widens y: one step
    model.stairs.push_back(std::move(stair));

    Exporter::shiftToFirstQuadrant(model);
    const Vector2d by(2730, 910);
    EXPECT_EQ(model.rooms[0]->outline[0], by);
    EXPECT_EQ(model.walls[0]->start, Vector2d(730, 920));
    EXPECT_EQ(model.walls[0]->end, Vector2d(2730, 920));
    EXPECT_EQ(model.openings[0]->end, Vector2d(2830, 910));
    EXPECT_EQ(model.openings[0]->region3D[0].x, -9000 + 2730);
    EXPECT_EQ(model.openings[0]->region3D[0].y, -9000 + 910);
    EXPECT_EQ(model.openings[0]->region3D[0].z, 1200);
    EXPECT_EQ(model.roofs[0]->outline[0], by);
    EXPECT_EQ(model.roofs[0]->baseLineStart, Vector2d(-9000 + 2730, -9000 + 910));
    EXPECT_EQ(model.roofs[0]->baseLineEnd, Vector2d(-8000 + 2730, -9000 + 910));
    EXPECT_EQ(model.outerLines[0]->points[0], Vector2d(2735, 915));
    EXPECT_EQ(model.stairs[0]->blockOutlines[0][0], Vector2d(2731, 810));
}

TEST(FirstQuadrantShift, NoRoomsNoShift)
{
    ExportModel model;
    model.gridSpacing = Vector2d(910, 910);
    auto stair = std::make_unique<Exporter::ExportStair>();
    stair->blockOutlines = {{{-1000, -1000}}};
    model.stairs.push_back(std::move(stair));
    Exporter::shiftToFirstQuadrant(model);
    EXPECT_EQ(model.stairs[0]->blockOutlines[0][0], Vector2d(-1000, -1000));
}

TEST(FirstQuadrantShift, GridSpacingOfZeroOrLessLeavesThatAxis)
{
    ExportModel model = modelWithRoomAt(-1000, -1000);
    model.gridSpacing = Vector2d(0, 455);
    Exporter::shiftToFirstQuadrant(model);
    EXPECT_EQ(model.rooms[0]->outline[0], Vector2d(-1000, 365));
    model = modelWithRoomAt(-1000, -1000);
    model.gridSpacing = Vector2d(-910, 910);
    Exporter::shiftToFirstQuadrant(model);
    EXPECT_EQ(model.rooms[0]->outline[0], Vector2d(-1000, 820));
}

TEST(FirstQuadrantShift, HugeCoordinatesEndWithTheSameSteps)
{
    // 1e12 / 910 needs 1098901099 steps: 1098901099 * 910 = 1000000000090.
    ExportModel model = modelWithRoomAt(-1e12, 0);
    Exporter::shiftToFirstQuadrant(model);
    EXPECT_EQ(model.rooms[0]->outline[0].x, 90);

    // So far out that adding one step changes nothing: the shift still ends.
    model = modelWithRoomAt(-1e300, 0);
    Exporter::shiftToFirstQuadrant(model);
    EXPECT_TRUE(std::isfinite(model.rooms[0]->outline[0].x));

    // A step that is not a whole number: the sum of four additions of 303.3.
    model = modelWithRoomAt(-1000, 0, 303.3);
    Exporter::shiftToFirstQuadrant(model);
    const double sum = ((303.3 + 303.3) + 303.3) + 303.3;
    EXPECT_EQ(model.rooms[0]->outline[0].x, -1000 + sum);
}
