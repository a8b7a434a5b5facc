// The individual steps where a tie-break or a tolerance decides the result.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "OutlineTestSupport.h"
#include "exporter/geometry/OutlineSteps.h"

using namespace OutlineTest;
namespace Steps = Exporter::OutlineSteps;

TEST(WorkingFrame, AxisParallelPlanTurnsByMinusQuarterPi)
{
    const Steps::WorkingFrame frame = Steps::makeWorkingFrame({{Vector2d(2, 5), Vector2d(2, 7), Vector2d(4, 7), Vector2d(4, 5)},
                                                               {Vector2d(-1, 6), Vector2d(-1, 8), Vector2d(0, 6)}});
    // Directions 0, pi/2 and pi, but also the diagonal of the triangle
    // (atan2(-2, 1) + pi); origin from the box of all points.
    EXPECT_EQ(frame.origin, Vector2d(-1, 5));
    const double diagonal = std::atan2(-2.0, 1.0) + std::numbers::pi;
    // Gaps: 0..pi/2, pi/2..diagonal (about 2.03), diagonal..pi; the largest
    // is pi/2 from 0, so the middle is pi/4.
    EXPECT_GT(diagonal - std::numbers::pi / 2, 0.0);
    EXPECT_NEAR(frame.theta, -std::numbers::pi / 4, 1e-15);

    const Steps::WorkingFrame square = Steps::makeWorkingFrame({{Vector2d(0, 0), Vector2d(0, 1), Vector2d(1, 1), Vector2d(1, 0)}});
    EXPECT_NEAR(square.theta, -std::numbers::pi / 4, 1e-15);
}

TEST(WorkingFrame, GapAcrossHalfTurnCanWin)
{
    // Directions atan2(1, 10), pi/2 and atan2(2, 10) (the last edge folded
    // from atan2(-2, -10)); the smallest plus pi closes the circle and the
    // gap from pi/2 to it is the largest.
    const Steps::WorkingFrame frame = Steps::makeWorkingFrame({{Vector2d(0, 0), Vector2d(10, 1), Vector2d(10, 2)}});
    const double expected = -(std::numbers::pi / 2 + std::atan2(1.0, 10.0) + std::numbers::pi) / 2;
    EXPECT_NEAR(frame.theta, expected, 1e-15);
    // No edge is horizontal in the working frame, and the frame maps back.
    const Vector2d p(10, 2);
    const Vector2d back = frame.toPlan(frame.toWorking(p));
    EXPECT_NEAR(back.x, 10, 1e-12);
    EXPECT_NEAR(back.y, 2, 1e-12);
}

TEST(EventHeights, CloseHeightsMergeIntoTheLowest)
{
    // 0.0012 is within 0.001 of 0.0006, but that one was merged into 0: the
    // comparison is with the last kept height, 0, and 0.0012 stays. 0.0019
    // then merges into 0.0012, and exactly 0.001 above 0 is not "more than".
    const std::vector<double> heights = Steps::eventHeights({0.0019, 0.0, 0.0006, 0.0012, 0.001, 5.0, 0.0});
    ASSERT_EQ(heights.size(), 3u);
    EXPECT_EQ(heights[0], 0.0);
    EXPECT_EQ(heights[1], 0.0012);
    EXPECT_EQ(heights[2], 5.0);
}

TEST(EventHeights, OfEqualHeightsTheFirstInTheListStands)
{
    // 0 and -0 are one height; the one listed first is kept, wherever the
    // other one and the heights around them stand in the list.
    const std::vector<double> negativeFirst = Steps::eventHeights({7.0, -0.0, 3.0, 0.0, -0.0, 3.0, 0.0});
    ASSERT_EQ(negativeFirst.size(), 3u);
    EXPECT_TRUE(std::signbit(negativeFirst[0]));
    const std::vector<double> positiveFirst = Steps::eventHeights({7.0, 0.0, -0.0, 3.0, -0.0});
    ASSERT_EQ(positiveFirst.size(), 3u);
    EXPECT_FALSE(std::signbit(positiveFirst[0]));
    EXPECT_EQ(positiveFirst[1], 3.0);
    EXPECT_EQ(positiveFirst[2], 7.0);
}

TEST(Crossings, FollowingEdgesAreSkippedOthersCross)
{
    double y = -1;
    // a ends where b starts: skipped although they touch.
    EXPECT_FALSE(Steps::crossingHeight({Vector2d(0, 0), Vector2d(1, 1)}, {Vector2d(1, 1), Vector2d(2, 0)}, y));
    // Proper crossing at (1, 1).
    EXPECT_TRUE(Steps::crossingHeight({Vector2d(0, 0), Vector2d(2, 2)}, {Vector2d(0, 2), Vector2d(2, 0)}, y));
    EXPECT_DOUBLE_EQ(y, 1.0);
    // Collinear overlapping edges do not cross.
    EXPECT_FALSE(Steps::crossingHeight({Vector2d(0, 0), Vector2d(2, 2)}, {Vector2d(1, 1), Vector2d(3, 3)}, y));
}

namespace {

Steps::Edge up(double x0, double x1)
{
    return Steps::Edge{Vector2d(x0, 0), Vector2d(x1, 10)};
}

Steps::Edge down(double x0, double x1)
{
    return Steps::Edge{Vector2d(x1, 10), Vector2d(x0, 0)};
}

std::vector<std::size_t> keep(const std::vector<Steps::Edge>& edges, Steps::KeepRule rule)
{
    std::vector<Steps::SlabCrossing> crossings;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        crossings.push_back({i, Steps::xAt(edges[i], 5.0)});
    }
    return Steps::keptEdges(crossings, edges, rule);
}

}  // namespace

TEST(KeepRules, CoincidenceWalkComparesWithTheLastKeptEdge)
{
    // x at mid: 0, 0.0008, 0.0016, 0.0030. 0.0008 is too close to 0; 0.0016
    // is compared with 0 (the last kept), not with 0.0008, and kept.
    const std::vector<Steps::Edge> edges = {up(0, 0), up(0.0016, 0.0016), down(0.0008, 0.0008), down(0.0030, 0.0030)};
    EXPECT_EQ(keep(edges, Steps::KeepRule::RoomEdges), (std::vector<std::size_t>{0, 1, 3}));
    // Equal x keeps edge order: the first of the pair survives.
    const std::vector<Steps::Edge> pair = {down(1, 1), up(1, 1)};
    EXPECT_EQ(keep(pair, Steps::KeepRule::RoomEdges), (std::vector<std::size_t>{0}));
}

TEST(KeepRules, ExteriorCancelsCoincidentPairsAndStepsBack)
{
    // Rooms [0,1], [1,2] and [2,3] in a row: the marked edges at 1 and 2
    // cancel in pairs, leaving the outer two.
    const std::vector<Steps::Edge> row = {up(0, 0), down(1, 1), up(1, 1), down(2, 2), up(2, 2), down(3, 3)};
    EXPECT_EQ(keep(row, Steps::KeepRule::Exterior), (std::vector<std::size_t>{0, 5}));

    // Marked edges at x = 0, 0.0005, 0.0009, 5: 0 and 0.0005 cancel; the
    // walk restarts at 0.0009, which is compared with 5 and stays.
    const std::vector<Steps::Edge> close = {up(0, 0), down(0.0005, 0.0005), up(0.0009, 0.0009), down(5, 5)};
    EXPECT_EQ(keep(close, Steps::KeepRule::Exterior), (std::vector<std::size_t>{2, 3}));

    // The pair at 3 and 3.0004 cancels; the walk steps back to 0 and
    // compares it with 3.0008, which stays, as does everything after it.
    const std::vector<Steps::Edge> back = {up(0, 0), down(3, 3), up(3.0004, 3.0004), down(3.0008, 3.0008),
                                           up(7, 7), down(8, 8)};
    // Winding: 0 up mark(w1), 3 down mark(w0), 3.0004 up mark(w1),
    // 3.0008 down mark(w0), 7 up mark, 8 down mark. Cancel 3/3.0004, then 0
    // against 3.0008 (far), then 3.0008 against 7 (far), 7 against 8.
    EXPECT_EQ(keep(back, Steps::KeepRule::Exterior), (std::vector<std::size_t>{0, 3, 4, 5}));

    // A room inside another: the inner room's edges are not where the count
    // leaves 0 and are not marked.
    const std::vector<Steps::Edge> nested = {up(0, 0), up(1, 1), down(2, 2), down(3, 3)};
    EXPECT_EQ(keep(nested, Steps::KeepRule::Exterior), (std::vector<std::size_t>{0, 3}));
}

TEST(Join, OnlyASingleParallelNeighbourIsJoined)
{
    for (const bool fast : {false, true}) {
        auto join = [fast](std::vector<Segment> list) {
            fast ? Steps::joinFast(list) : Steps::joinReference(list);
            return list;
        };
        // End to end along a line: the first merges into the second.
        expectSegments(join({seg(0, 0, 1, 0), seg(1, 0, 2, 0), seg(2, 0, 3, 0)}), {seg(0, 0, 3, 0)});
        // Within the point-match distance still counts as meeting.
        expectSegments(join({seg(0, 0, 1, 0), seg(1.0005, 0, 2, 0)}), {seg(0, 0, 2, 0)});
        // A corner is not joined.
        expectSegments(join({seg(0, 0, 1, 0), seg(1, 0, 1, 1)}), {seg(0, 0, 1, 0), seg(1, 0, 1, 1)});
        // Three sections at one point: none is joined there.
        expectSegments(join({seg(0, 0, 1, 0), seg(1, 0, 2, 0), seg(1, 0, 1, 1)}),
                       {seg(0, 0, 1, 0), seg(1, 0, 2, 0), seg(1, 0, 1, 1)});
        // Two sections starting at the same point: the other one's start
        // moves to this one's end, so it covers both.
        expectSegments(join({seg(1, 0, 0, 0), seg(1, 0, 3, 0)}), {seg(0, 0, 3, 0)});
        // The single neighbour at the start is not parallel, so the end is
        // tried: it ends where the next one ends.
        expectSegments(join({seg(0, 0, 1, 0), seg(0, 0, 0, 1), seg(2, 0, 1, 0)}), {seg(0, 0, 0, 1), seg(2, 0, 0, 0)});
    }
}

TEST(Chaining, LeastLeftTurnWinsAndDeadEndsAreDropped)
{
    for (const bool fast : {false, true}) {
        std::vector<std::vector<Vector2d>> unclosed;
        auto chain = [fast, &unclosed](const std::vector<Segment>& list) {
            unclosed.clear();
            return fast ? Steps::chainFast(list, &unclosed) : Steps::chainReference(list, &unclosed);
        };
        // A figure eight through (1, 1): arriving along +x, the candidates go
        // down (turn -pi/2) and up (+pi/2); down wins and closes the lower
        // loop; the upper one becomes a chain of its own.
        const auto eight = chain({seg(0, 1, 1, 1), seg(1, 1, 1, 2), seg(1, 1, 1, 0), seg(1, 0, 0, 0),
                                  seg(0, 0, 0, 1), seg(1, 2, 2, 2), seg(2, 2, 2, 1), seg(2, 1, 1, 1)});
        ASSERT_EQ(eight.size(), 2u);
        EXPECT_TRUE(unclosed.empty());
        expectPoints(eight[0], {Vector2d(0, 1), Vector2d(1, 1), Vector2d(1, 0), Vector2d(0, 0)});
        expectPoints(eight[1], {Vector2d(1, 1), Vector2d(1, 2), Vector2d(2, 2), Vector2d(2, 1)});

        // Equal turns (both up): the earlier segment in the set wins and the
        // chain closes; the later one then leads nowhere and is dropped.
        const auto tie = chain({seg(0, 0, 1, 0), seg(1, 0, 1, 1), seg(1, 0, 1, 2), seg(1, 1, 0, 0)});
        ASSERT_EQ(tie.size(), 1u);
        expectPoints(tie[0], {Vector2d(0, 0), Vector2d(1, 0), Vector2d(1, 1)});
        ASSERT_EQ(unclosed.size(), 1u);
        expectPoints(unclosed[0], {Vector2d(1, 0), Vector2d(1, 2)});

        // An open path has no successor at its end: dropped, and the closed
        // triangle after it still comes out.
        const auto open = chain({seg(0, 0, 1, 0), seg(1, 0, 1, 1), seg(5, 5, 6, 5), seg(6, 5, 6, 6), seg(6, 6, 5, 5)});
        ASSERT_EQ(open.size(), 1u);
        expectPoints(open[0], {Vector2d(5, 5), Vector2d(6, 5), Vector2d(6, 6)});
        ASSERT_EQ(unclosed.size(), 1u);
        expectPoints(unclosed[0], {Vector2d(0, 0), Vector2d(1, 0), Vector2d(1, 1)});

        // Only candidates that turn straight back: the chain cannot go on.
        EXPECT_TRUE(chain({seg(0, 0, 1, 0), seg(1, 0, 0.5, 0), seg(1, 0, 0.2, 0)}).empty());
        // A single candidate is taken whatever its turn.
        EXPECT_EQ(chain({seg(0, 0, 1, 0), seg(1, 0, 0, 0)}).size(), 1u);
    }
}
