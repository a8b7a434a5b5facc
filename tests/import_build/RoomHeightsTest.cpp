// The importer's own room geometry: which rooms a wall runs along or stands
// in, and the tolerance of the point test at an outline's boundary.

#include "BuildFixture.h"
#include "importer/building/RoomHeights.h"

using namespace ImportBuildTest;
using Importer::pointInOutline;
using Importer::roomHeightsAlong;
using Importer::roomHeightsAround;

namespace {

// A wall on the line of a room edge that only meets the room at a corner
// does not run along it; one that shares a piece of the edge does.
TEST(RoomHeightsTest, CollinearWallTouchingOnlyAtACornerIsNotAlongTheRoom)
{
    ImportModel m;
    addRoom(m, 1, rectangle(0, 0, 3640, 3640), 0, L"", 500, 2900);
    EXPECT_TRUE(roomHeightsAlong(m, 1, Vector2d(3640, 0), Vector2d(5460, 0)).none());
    EXPECT_TRUE(roomHeightsAlong(m, 1, Vector2d(-910, 0), Vector2d(0, 0)).none());
    EXPECT_TRUE(roomHeightsAlong(m, 1, Vector2d(5460, 0), Vector2d(3640, 0)).none());
    const auto shared = roomHeightsAlong(m, 1, Vector2d(3000, 0), Vector2d(5460, 0));
    EXPECT_EQ(shared.h1, 500);
    EXPECT_EQ(shared.h2, 2900);
    // Rooms of another storey are not looked at.
    EXPECT_TRUE(roomHeightsAlong(m, 2, Vector2d(0, 0), Vector2d(3640, 0)).none());
}

// Where rooms overlap, the highest floor and the highest ceiling count, each
// taken on its own, whichever room comes first.
TEST(RoomHeightsTest, OverlappingRoomsGiveTheHighestFloorAndCeiling)
{
    ImportModel m;
    addRoom(m, 1, rectangle(0, 0, 3640, 3640), 0, L"", 500, 2900);
    addRoom(m, 1, rectangle(1820, 0, 5460, 3640), 0, L"", 700, 2600);
    addRoom(m, 1, rectangle(0, 0, 910, 910), 0, L"", 900, 2000);
    const auto inBoth = roomHeightsAround(m, 1, Vector2d(2000, 1000), Vector2d(3000, 1000));
    EXPECT_EQ(inBoth.h1, 700);
    EXPECT_EQ(inBoth.h2, 2900);
    // One end outside the second room: only the first holds both ends.
    const auto inFirst = roomHeightsAround(m, 1, Vector2d(1000, 1000), Vector2d(3000, 1000));
    EXPECT_EQ(inFirst.h1, 500);
    EXPECT_EQ(inFirst.h2, 2900);
    // On the shared bottom edge of all three: along all of them.
    const auto along = roomHeightsAlong(m, 1, Vector2d(0, 0), Vector2d(5460, 0));
    EXPECT_EQ(along.h1, 900);
    EXPECT_EQ(along.h2, 2900);
    // Floors below zero still compare by size.
    ImportModel low;
    addRoom(low, 1, rectangle(0, 0, 910, 910), 0, L"", -300, 2000);
    addRoom(low, 1, rectangle(0, 0, 910, 910), 0, L"", -100, 1000);
    EXPECT_EQ(roomHeightsAround(low, 1, Vector2d(100, 100), Vector2d(200, 100)).h1, -100);
}

// 0 outside, 1 on the boundary, 2 inside; the boundary is 0.01 wide on the
// inner side, but the bounding box, enlarged by only 0.005, decides first.
TEST(RoomHeightsTest, PointTestToleranceAtTheBoundary)
{
    const auto square = rectangle(0, 0, 1000, 1000);
    EXPECT_EQ(pointInOutline(Vector2d(500, 500), {}), -1);
    EXPECT_EQ(pointInOutline(Vector2d(500, 500), square), 2);
    EXPECT_EQ(pointInOutline(Vector2d(500, 0.009), square), 1);
    EXPECT_EQ(pointInOutline(Vector2d(500, 0.011), square), 2);
    EXPECT_EQ(pointInOutline(Vector2d(500, -0.004), square), 1);
    EXPECT_EQ(pointInOutline(Vector2d(500, -0.006), square), 0);
    EXPECT_EQ(pointInOutline(Vector2d(1000.004, 500), square), 1);
    EXPECT_EQ(pointInOutline(Vector2d(0.006, 0.006), square), 1);  // within 0.01 of a corner
    EXPECT_EQ(pointInOutline(Vector2d(2000, 500), square), 0);
    // Inside the bounding box of an L but outside the L itself.
    const std::vector<Vector2d> l{Vector2d(0, 0), Vector2d(2000, 0), Vector2d(2000, 1000), Vector2d(1000, 1000),
                                  Vector2d(1000, 2000), Vector2d(0, 2000)};
    EXPECT_EQ(pointInOutline(Vector2d(1500, 1500), l), 0);
    EXPECT_EQ(pointInOutline(Vector2d(1500, 1000.009), l), 1);
    EXPECT_EQ(pointInOutline(Vector2d(500, 1500), l), 2);
}

}  // namespace
