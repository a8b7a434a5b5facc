// Small plans whose wall lines and exterior outlines were worked out by hand:
// the slabs of the working frame (turned by -pi/4 for these axis-parallel
// plans), the keep rules, the join and the chaining, step by step.

#include <gtest/gtest.h>

#include "OutlineTestSupport.h"
#include "common/geometry/Geometry.h"
#include "exporter/geometry/OutlineAlgorithms.h"
#include "exporter/geometry/ReferenceOutline.h"

using namespace OutlineTest;
using Exporter::StoreyOutlineSet;

namespace {

// Clockwise (y up) rectangle starting at its lower left corner.
Outline box(double x0, double y0, double x1, double y1)
{
    return {Vector2d(x0, y0), Vector2d(x0, y1), Vector2d(x1, y1), Vector2d(x1, y0)};
}

// Runs both the fast computation and the reference on the same set.
struct Both {
    std::vector<Segment> walls;
    std::vector<Outline> exterior;
};

std::vector<Both> computeBoth(const StoreyOutlineSet& set)
{
    return {Both{Exporter::roomEdgeWallLines(set), Exporter::exteriorOutlines(set)},
            Both{Exporter::referenceRoomEdgeWallLines(set), Exporter::referenceExteriorOutlines(set)}};
}

}  // namespace

TEST(HandWorkedPlans, OneRoomGivesItsFourEdgesAndOneChain)
{
    // Lowest slab first: the right edge and the bottom edge start there; the
    // bottom and top edges are cut at the height of the opposite corners and
    // joined back, each into the section of its last slab.
    StoreyOutlineSet set;
    set.outlines = {box(0, 0, 3, 2)};
    for (const auto& result : computeBoth(set)) {
        expectSegments(result.walls, {seg(3, 2, 3, 0), seg(3, 0, 0, 0), seg(0, 0, 0, 2), seg(0, 2, 3, 2)});
        ASSERT_EQ(result.exterior.size(), 1u);
        expectPoints(result.exterior[0], {Vector2d(3, 2), Vector2d(3, 0), Vector2d(0, 0), Vector2d(0, 2)});
        EXPECT_TRUE(Common::runsClockwise(result.exterior[0]));
    }
}

TEST(HandWorkedPlans, TwoSquaresSideBySideShareOneWallAndOneOutline)
{
    StoreyOutlineSet set;
    set.outlines = {box(0, 0, 1, 1), box(1, 0, 2, 1)};
    for (const auto& result : computeBoth(set)) {
        // Seven wall lines: the shared edge once; the long sides stay split
        // at x = 1 where three sections meet.
        ASSERT_EQ(result.walls.size(), 7u) << show(result.walls);
        expectSegments({result.walls[0], result.walls[1], result.walls[2]},
                       {seg(2, 0, 1, 0), seg(2, 1, 2, 0), seg(1, 0, 0, 0)});
        // The shared edge comes from whichever room's edge lies first in the
        // slab; both lie at the same x up to rounding.
        EXPECT_TRUE(sameUndirected(result.walls[3], seg(1, 1, 1, 0))) << show(result.walls[3]);
        expectSegments({result.walls[4], result.walls[5], result.walls[6]},
                       {seg(1, 1, 2, 1), seg(0, 0, 0, 1), seg(0, 1, 1, 1)});

        // The shared edge cancels from the exterior, so the halves of each
        // long side join.
        ASSERT_EQ(result.exterior.size(), 1u);
        expectPoints(result.exterior[0], {Vector2d(2, 1), Vector2d(2, 0), Vector2d(0, 0), Vector2d(0, 1)});
    }
}

TEST(HandWorkedPlans, RoomsTouchingAtACornerGiveTwoChains)
{
    StoreyOutlineSet set;
    set.outlines = {box(0, 0, 1, 1), box(1, 1, 2, 2)};
    for (const auto& result : computeBoth(set)) {
        // No edge is shared: all eight edges are wall lines; at the corner
        // four sections meet and none is joined.
        expectSegments(result.walls, {seg(1, 0, 0, 0), seg(1, 1, 1, 0), seg(2, 1, 1, 1), seg(2, 2, 2, 1),
                                      seg(0, 0, 0, 1), seg(0, 1, 1, 1), seg(1, 1, 1, 2), seg(1, 2, 2, 2)});
        // Arriving at (1, 1) along the top of the first room, the chain turns
        // right (down the first room's side) rather than left into the second.
        ASSERT_EQ(result.exterior.size(), 2u);
        expectPoints(result.exterior[0], {Vector2d(1, 0), Vector2d(0, 0), Vector2d(0, 1), Vector2d(1, 1)});
        expectPoints(result.exterior[1], {Vector2d(2, 1), Vector2d(1, 1), Vector2d(1, 2), Vector2d(2, 2)});
    }
}

TEST(HandWorkedPlans, CourtyardHoleRunsTheOtherWay)
{
    // Four rooms framing a 1 x 1 courtyard in a 3 x 3 block.
    StoreyOutlineSet set;
    set.outlines = {box(0, 0, 3, 1), box(0, 2, 3, 3), box(0, 1, 1, 2), box(2, 1, 3, 2)};
    for (const auto& result : computeBoth(set)) {
        ASSERT_EQ(result.exterior.size(), 2u);
        const Outline outer = {Vector2d(0, 0), Vector2d(0, 3), Vector2d(3, 3), Vector2d(3, 0)};
        const Outline hole = {Vector2d(1, 1), Vector2d(2, 1), Vector2d(2, 2), Vector2d(1, 2)};
        const bool outerFirst = sameCycle(result.exterior[0], outer);
        const Outline& outerChain = outerFirst ? result.exterior[0] : result.exterior[1];
        const Outline& holeChain = outerFirst ? result.exterior[1] : result.exterior[0];
        EXPECT_TRUE(sameCycle(outerChain, outer));
        EXPECT_TRUE(sameCycle(holeChain, hole));
        EXPECT_TRUE(Common::runsClockwise(outerChain));
        EXPECT_FALSE(Common::runsClockwise(holeChain));

        // Wall lines: the outer square's sides split where the inner walls
        // meet them (three sections), the courtyard's sides whole.
        expectSegmentSet(result.walls,
                         {seg(0, 0, 3, 0), seg(3, 0, 3, 1), seg(3, 1, 3, 2), seg(3, 2, 3, 3), seg(3, 3, 0, 3),
                          seg(0, 3, 0, 2), seg(0, 2, 0, 1), seg(0, 1, 0, 0),
                          // the rooms' inner edges
                          seg(0, 1, 1, 1), seg(1, 1, 2, 1), seg(2, 1, 3, 1), seg(0, 2, 1, 2), seg(1, 2, 2, 2),
                          seg(2, 2, 3, 2), seg(1, 1, 1, 2), seg(2, 1, 2, 2)});
    }
}

TEST(HandWorkedPlans, ThreeWayJunctionStaysSplit)
{
    // A wide room with two rooms on top: the wide room's top edge meets the
    // edge shared by the upper rooms at (1, 1).
    StoreyOutlineSet set;
    set.outlines = {box(0, 0, 2, 1), box(0, 1, 1, 2), box(1, 1, 2, 2)};
    for (const auto& result : computeBoth(set)) {
        expectSegmentSet(result.walls,
                         {seg(0, 0, 0, 1), seg(0, 1, 0, 2), seg(0, 2, 1, 2), seg(1, 2, 2, 2), seg(2, 2, 2, 1),
                          seg(2, 1, 2, 0), seg(2, 0, 0, 0), seg(0, 1, 1, 1), seg(1, 1, 2, 1), seg(1, 1, 1, 2)});
        ASSERT_EQ(result.exterior.size(), 1u);
        EXPECT_TRUE(sameCycle(result.exterior[0], {Vector2d(0, 0), Vector2d(0, 2), Vector2d(2, 2), Vector2d(2, 0)}));
    }
}

TEST(HandWorkedPlans, EmptyAndDegenerateSetsGiveNothing)
{
    StoreyOutlineSet empty;
    EXPECT_TRUE(Exporter::roomEdgeWallLines(empty).empty());
    EXPECT_TRUE(Exporter::exteriorOutlines(empty).empty());

    // Outlines without points, a single point and a single segment cross no
    // slab in a way that leaves anything closed.
    StoreyOutlineSet degenerate;
    degenerate.outlines = {{}, {Vector2d(5, 5)}};
    EXPECT_TRUE(Exporter::roomEdgeWallLines(degenerate).empty());
    EXPECT_TRUE(Exporter::exteriorOutlines(degenerate).empty());
}

TEST(HandWorkedPlans, CorruptCoordinatesLeaveOnlyThatRoomOut)
{
    const double nan = std::nan("");
    StoreyOutlineSet set;
    set.outlines = {{Vector2d(0, 0), Vector2d(nan, 1), Vector2d(1, 1)}, box(0, 0, 3, 2),
                    {Vector2d(0, 0), Vector2d(0, 1e300), Vector2d(1e300, 0)}};
    set.openingSegments = {seg(1, 0, std::numeric_limits<double>::infinity(), 0)};
    expectSegments(Exporter::roomEdgeWallLines(set),
                   {seg(3, 2, 3, 0), seg(3, 0, 0, 0), seg(0, 0, 0, 2), seg(0, 2, 3, 2)});
    ASSERT_EQ(Exporter::exteriorOutlines(set).size(), 1u);
}
