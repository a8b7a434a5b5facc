// Walls from wall boxes and wall-attached objects, the opening segments they
// leave for the room edges, and the storey outline sets.

#include <gtest/gtest.h>

#include <memory>

#include "FakePlan.h"
#include "common/geometry/Geometry.h"
#include "common/host/HostDocument.h"
#include "exporter/reading/RoomPass.h"
#include "exporter/reading/WallPass.h"

namespace WallTests {
namespace {

using Common::Vector2d;
using Exporter::ExportModel;
using Exporter::ExportWall;

struct Walls {
    std::shared_ptr<FakePlan> plan = std::make_shared<FakePlan>();
    ExportModel model;
    Exporter::WallObjectsResult result;

    Walls() { plan->settings[10] = 0; }  // storey 1 floor level 0

    // Runs the room pass and the wall pass up to the end of the object walk.
    void read(int openingExtendType = 0)
    {
        Common::HostDocument document(plan);
        Exporter::readRooms(model, document);
        plan->ops.clear();
        result = Exporter::readWallObjects(model, document, openingExtendType);
    }
    const ExportWall& wall(std::size_t i) const { return *model.walls.at(i); }
    const std::vector<Common::Segment>& cuts(int storey) { return result.sets.at(storey).openingSegments; }
};

void expectWall(const ExportWall& w, int code, double bottom, double top)
{
    EXPECT_EQ(w.kindCode, code);
    EXPECT_DOUBLE_EQ(w.bottomHeight, bottom);
    EXPECT_DOUBLE_EQ(w.topHeight, top);
}

// An entrance (absolute floor) from 100 to 2500: room height 2400.
FakeObject hall() { return room(1, 1, rect(0, 0, 4000, 3000), 100, 2400); }

TEST(WallBoxes, Type5KindTable)
{
    Walls w;
    w.plan->objects = {
        hall(),
        wallBox(5, 2000, 1500, 1000, 100, 1, 300, 1000),   // full-height flag
        wallBox(5, 2000, 1500, 1000, 100, 0, 0, 2400),     // T equals the room height
        wallBox(5, 2000, 1500, 1000, 100, 0, 0, 2399),     // standing
        wallBox(5, 2000, 1500, 1000, 100, 0, -5, 1000),    // negative B counts as on the floor
        wallBox(5, 2000, 1500, 1000, 100, 0, 200, 2400),   // hanging
        wallBox(5, 2000, 1500, 1000, 100, 0, 200, 1800),   // free
    };
    w.read();
    ASSERT_EQ(w.model.walls.size(), 6u);
    expectWall(w.wall(0), 1, 100, 2500);
    expectWall(w.wall(1), 1, 100, 2500);
    expectWall(w.wall(2), 3, 100, 2499);
    expectWall(w.wall(3), 3, 100, 1100);
    expectWall(w.wall(4), 2, 300, 2500);
    expectWall(w.wall(5), 4, 300, 1900);
    for (const auto& wall : w.model.walls) {
        EXPECT_EQ(wall->storey, 1);
        EXPECT_EQ(wall->start, Vector2d(1500, 1500));
        EXPECT_EQ(wall->end, Vector2d(2500, 1500));
        EXPECT_DOUBLE_EQ(wall->thickness, 100);
    }
}

TEST(WallBoxes, Type20KindTable)
{
    Walls w;
    w.plan->objects = {
        hall(),
        wallBox(20, 2000, 1500, 1000, 100, 1, 300, 600),    // hanging, shorter than the room
        wallBox(20, 2000, 1500, 1000, 100, 1, 300, 2400),   // hanging, as high as the room
        wallBox(20, 2000, 1500, 1000, 100, 0, 0, 1000),     // standing
        wallBox(20, 2000, 1500, 1000, 100, 0, 0, 2400),     // full height
        wallBox(20, 2000, 1500, 1000, 100, 0, 300, 1000),   // free
        wallBox(20, 2000, 1500, 1000, 100, 0, 300, 2100),   // B + T reaches the ceiling
        wallBox(20, 2000, 1500, 1000, 100, 0, 300, 2099),   // just short of it
    };
    w.read();
    ASSERT_EQ(w.model.walls.size(), 7u);
    expectWall(w.wall(0), 2, 1900, 2500);
    expectWall(w.wall(1), 1, 100, 2500);
    expectWall(w.wall(2), 3, 100, 1100);
    expectWall(w.wall(3), 1, 100, 2500);
    expectWall(w.wall(4), 4, 400, 1400);
    expectWall(w.wall(5), 2, 400, 2500);
    expectWall(w.wall(6), 4, 400, 2499);
}

TEST(WallBoxes, TheWallRunsAlongTheLongerSide)
{
    Walls w;
    w.plan->objects = {hall(), wallBox(20, 2000, 1500, 500, 500, 0, 0, 2400),
                       wallBox(5, 2000, 1500, 100, 800, 1, 0, 0)};
    w.read();
    ASSERT_EQ(w.model.walls.size(), 2u);
    EXPECT_EQ(w.wall(0).start, Vector2d(1750, 1500));  // square: along x, y extent as thickness
    EXPECT_EQ(w.wall(0).end, Vector2d(2250, 1500));
    EXPECT_DOUBLE_EQ(w.wall(0).thickness, 500);
    EXPECT_EQ(w.wall(1).start, Vector2d(2000, 1100));
    EXPECT_EQ(w.wall(1).end, Vector2d(2000, 1900));
    EXPECT_DOUBLE_EQ(w.wall(1).thickness, 100);
    // Wall boxes never cut the room edges.
    EXPECT_TRUE(w.cuts(1).empty());
}

TEST(WallBoxes, ABoxOutsideEveryRoomOfItsStoreyGivesNoWallButItsFittingIsAsked)
{
    Walls w;
    w.plan->objects = {hall(), wallBox(5, 9000, 9000, 1000, 100, 1, 0, 0),
                       wallBox(20, 2000, 1500, 1000, 100, 1, 0, 600, 2)};
    w.read();
    EXPECT_TRUE(w.model.walls.empty());
    EXPECT_EQ(w.plan->ops, (std::vector<int>{172, 62, 65, 64, 68, 63, 65, 64, 71, 68, 63, 65, 64, 66, 68, 63}));
}

TEST(WallBoxes, HeightsComeFromTheHighestFloorAndCeilingOfTheMatchingRooms)
{
    Walls w;
    // Basement on storey 0 (level 0 - 1000 = -1000): the highest floor of
    // a single room is its own, even when below 0.
    w.plan->objects = {room(0, 2, rect(0, 0, 4000, 3000), 0, 2200), wallBox(5, 2000, 1500, 1000, 100, 1, 0, 0, 0)};
    w.read();
    ASSERT_EQ(w.model.walls.size(), 1u);
    expectWall(w.wall(0), 1, -1000, 1200);
    EXPECT_EQ(w.wall(0).storey, 0);
}

// The bottom edge of the hall, 800 long, room height 2400 above floor 100.
FakeObject onBottomEdge(std::uint32_t type, double upper, double lower)
{
    return attached(type, 1000, 0, 1800, 0, upper, lower);
}

TEST(WallAttached, Type22Cases)
{
    Walls w;
    w.plan->objects = {
        hall(),
        onBottomEdge(22, 2400, 0),     // floor to ceiling: opening, cuts
        onBottomEdge(22, 2000, 0),     // on the floor, below the ceiling: hanging wall above, cuts
        onBottomEdge(22, 2400, 800),   // above the floor, to the ceiling: standing wall below, cuts
        onBottomEdge(22, 2000, 800),   // wall above and below: window-like opening, no cut
        onBottomEdge(22, 2500, -10),   // beyond both: opening, cuts
    };
    w.read();
    ASSERT_EQ(w.model.walls.size(), 2u);
    expectWall(w.wall(0), 2, 2100, 2500);
    expectWall(w.wall(1), 3, 100, 900);
    for (const auto& wall : w.model.walls) {
        EXPECT_DOUBLE_EQ(wall->thickness, 120);
        EXPECT_EQ(wall->start, Vector2d(1000, 0));
        EXPECT_EQ(wall->end, Vector2d(1800, 0));
    }
    ASSERT_EQ(w.model.openings.size(), 3u);
    EXPECT_EQ(w.model.openings[0]->kindCode, 3);
    EXPECT_DOUBLE_EQ(w.model.openings[0]->headHeight, 2500);
    EXPECT_DOUBLE_EQ(w.model.openings[0]->height, 2400);
    EXPECT_EQ(w.model.openings[1]->kindCode, 1);
    EXPECT_DOUBLE_EQ(w.model.openings[1]->headHeight, 2100);
    EXPECT_DOUBLE_EQ(w.model.openings[1]->height, 1200);
    EXPECT_EQ(w.model.openings[2]->kindCode, 3);
    EXPECT_EQ(w.cuts(1).size(), 4u);
}

TEST(WallAttached, Types23And48AndTheTypeAskedAgainDecides)
{
    Walls w;
    FakeObject becomes21 = onBottomEdge(22, 2000, 800);  // would be a window as type 22
    becomes21.typeAskedAgain = 21;
    FakeObject becomesBox = onBottomEdge(21, 2400, 0);
    becomesBox.typeAskedAgain = 5;
    w.plan->objects = {hall(), onBottomEdge(23, 0, 1000), onBottomEdge(48, 60, 45), becomes21, becomesBox};
    w.read();
    ASSERT_EQ(w.model.walls.size(), 2u);
    expectWall(w.wall(0), 3, 100, 1100);
    EXPECT_DOUBLE_EQ(w.wall(0).thickness, 120);
    expectWall(w.wall(1), 1, 100, 2500);
    EXPECT_DOUBLE_EQ(w.wall(1).thickness, 105);
    ASSERT_EQ(w.model.openings.size(), 1u);
    EXPECT_EQ(w.model.openings[0]->kindCode, 3);
    EXPECT_DOUBLE_EQ(w.model.openings[0]->height, 2400);
    EXPECT_EQ(w.cuts(1).size(), 3u);  // 23, 48 and the object asked again as 21; not the one answering 5
}

TEST(WallAttached, AnObjectOutsideEveryRoomMakesNothingAndIsNotAskedAgain)
{
    Walls w;
    w.plan->objects = {hall(), attached(21, 5000, 0, 5800, 0, 2400, 0), attached(48, 1000, 0, 1800, 0, 60, 45, 2)};
    w.read();
    EXPECT_TRUE(w.model.walls.empty());
    EXPECT_TRUE(w.model.openings.empty());
    EXPECT_EQ(w.plan->count(64), 3);  // once per object
    EXPECT_EQ(w.plan->count(68), 3);
    EXPECT_TRUE(w.cuts(1).empty());
    EXPECT_EQ(w.result.sets.count(2), 0u);
}

TEST(WallAttached, FullHeightOpeningsCutWithTheirExtendedSegmentWallsWithTheirOwn)
{
    Walls w;
    w.plan->objects = {hall(), onBottomEdge(21, 0, 0), onBottomEdge(22, 2000, 0)};
    w.read(1);
    ASSERT_EQ(w.cuts(1).size(), 2u);
    EXPECT_EQ(w.cuts(1)[0].start, Vector2d(940, 0));
    EXPECT_EQ(w.cuts(1)[0].end, Vector2d(1860, 0));
    EXPECT_EQ(w.cuts(1)[1].start, Vector2d(1000, 0));
    EXPECT_EQ(w.cuts(1)[1].end, Vector2d(1800, 0));
}

TEST(WallAttached, AnObjectInABalconyOnlyCutsAStoreyWithoutOutlines)
{
    Walls w;
    w.plan->objects = {room(2, 21, rect(0, 0, 3000, 1000), 0, 1000), attached(21, 0, 0, 1000, 0, 0, 0, 2)};
    w.read();
    ASSERT_EQ(w.model.openings.size(), 1u);
    ASSERT_EQ(w.result.sets.count(2), 1u);
    EXPECT_TRUE(w.result.sets.at(2).outlines.empty());
    EXPECT_EQ(w.cuts(2).size(), 1u);
}

TEST(StoreyOutlineSets, OnlyWallShapingRoomsRunningClockwiseByStorey)
{
    Walls w;
    w.plan->objects = {
        room(2, 2, {0, 0, 0, 800, 1000, 800, 1000, 0}, 0, 2400),  // given clockwise
        room(1, 21, rect(0, 0, 2000, 1000), 0, 1000),              // balcony, code 18
        room(1, 30, rect(0, 0, 2000, 1000), 0, 2000),              // unknown kind, code 0
        room(1, 15, rect(0, 0, 2000, 1000), 0, 2400),              // counter-clockwise
        wallBox(5, 1000, 500, 1000, 100, 1, 0, 0),                 // inside all three storey-1 rooms
    };
    w.read();
    // Stored counter-clockwise, copied into its set clockwise again.
    EXPECT_FALSE(Common::runsClockwise(w.model.rooms[0]->outline));
    ASSERT_EQ(w.result.sets.size(), 2u);
    EXPECT_EQ(w.result.sets.begin()->first, 1);
    const auto& storey1 = w.result.sets.at(1).outlines;
    const auto& storey2 = w.result.sets.at(2).outlines;
    ASSERT_EQ(storey1.size(), 1u);
    ASSERT_EQ(storey2.size(), 1u);
    EXPECT_EQ(storey2[0], (std::vector<Vector2d>{{0, 0}, {0, 800}, {1000, 800}, {1000, 0}}));
    EXPECT_EQ(storey1[0], (std::vector<Vector2d>{{0, 1000}, {2000, 1000}, {2000, 0}, {0, 0}}));
    // The balcony and the unknown room still count for heights: 0 to 2400
    // from the Japanese room, and 2000 < 2400 so the ceiling is its.
    ASSERT_EQ(w.model.walls.size(), 1u);
    expectWall(w.wall(0), 1, 0, 2400);
}

TEST(StoreyOutlineSets, BalconyAndUnknownRoomsAloneStillGiveHeights)
{
    Walls w;
    w.plan->objects = {room(1, 21, rect(0, 0, 2000, 1000), 0, 1000), room(1, 30, rect(0, 0, 2000, 1000), 50, 900),
                       wallBox(5, 1000, 500, 1000, 100, 1, 0, 0)};
    w.read();
    EXPECT_TRUE(w.result.sets.empty());
    ASSERT_EQ(w.model.walls.size(), 1u);
    expectWall(w.wall(0), 1, 50, 1000);  // floor of one room, ceiling of the other
}

}  // namespace
}  // namespace WallTests
