#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "common/geometry/Geometry.h"

using namespace Common;

namespace {

const double pi = std::numbers::pi;

Outline unitSquare()
{
    return {Vector2d(0, 0), Vector2d(1, 0), Vector2d(1, 1), Vector2d(0, 1)};
}

}  // namespace

TEST(SignedAngle, LeftTurnNegativeRightTurnPositiveReversalPlusPi)
{
    EXPECT_DOUBLE_EQ(signedAngle(Vector2d(1, 0), Vector2d(0, 1)), -pi / 2);
    EXPECT_DOUBLE_EQ(signedAngle(Vector2d(0, 1), Vector2d(1, 0)), pi / 2);
    EXPECT_DOUBLE_EQ(signedAngle(Vector2d(1, 0), Vector2d(-1, 0)), pi);
    EXPECT_DOUBLE_EQ(signedAngle(Vector2d(-3, 0), Vector2d(5, 0)), pi);
    EXPECT_EQ(signedAngle(Vector2d(2, 0), Vector2d(1, 0)), 0.0);
    EXPECT_NEAR(signedAngle(Vector2d(2, 2), Vector2d(1, 1)), 0.0, 1e-7);
    // Lengths do not matter, only directions.
    EXPECT_DOUBLE_EQ(signedAngle(Vector2d(10, 0), Vector2d(0.5, -0.5)), pi / 4);
    EXPECT_TRUE(std::isnan(signedAngle(Vector2d(0, 0), Vector2d(1, 0))));
}

TEST(RunsClockwise, TurningSenseAndDegenerateOutlines)
{
    EXPECT_TRUE(runsClockwise({Vector2d(0, 0), Vector2d(0, 1), Vector2d(1, 1), Vector2d(1, 0)}));
    EXPECT_FALSE(runsClockwise(unitSquare()));
    EXPECT_FALSE(runsClockwise({Vector2d(0, 0), Vector2d(0, 1)}));
    EXPECT_FALSE(runsClockwise({}));
    // Clockwise triangle and L-shape (a concave corner included).
    EXPECT_TRUE(runsClockwise({Vector2d(0, 0), Vector2d(0, 2), Vector2d(3, 0)}));
    EXPECT_TRUE(runsClockwise({Vector2d(0, 0), Vector2d(0, 2), Vector2d(1, 2), Vector2d(1, 1), Vector2d(2, 1),
                               Vector2d(2, 0)}));
    // A repeated point makes a zero-length edge: undecided, so no, even
    // though the outline otherwise runs clockwise.
    EXPECT_FALSE(runsClockwise({Vector2d(0, 0), Vector2d(0, 1), Vector2d(0, 1), Vector2d(1, 1), Vector2d(1, 0)}));
    EXPECT_FALSE(runsClockwise({Vector2d(0, 0), Vector2d(0, 1), Vector2d(1, 1), Vector2d(1, 0), Vector2d(0, 0)}));
}

TEST(BoundingBox, WidensPerCoordinateAndContainsEdges)
{
    const Range2d empty = boundingBox({});
    EXPECT_EQ(empty.min, Vector2d(0, 0));
    EXPECT_EQ(empty.max, Vector2d(0, 0));

    const Range2d box = boundingBox({Vector2d(3, -1), Vector2d(-2, 4), Vector2d(1, 7)});
    EXPECT_EQ(box.min, Vector2d(-2, -1));
    EXPECT_EQ(box.max, Vector2d(3, 7));
    EXPECT_TRUE(box.contains(Vector2d(-2, 7)));
    EXPECT_TRUE(box.contains(Vector2d(0, 0)));
    EXPECT_FALSE(box.contains(Vector2d(3.0001, 0)));
    EXPECT_FALSE(box.contains(Vector2d(0, -1.5)));

    // A box of far-away points does not start at the origin.
    const Range2d far = boundingBox({Vector2d(10, 20), Vector2d(12, 25)});
    EXPECT_EQ(far.min, Vector2d(10, 20));
}

TEST(PointAgainstOutline, InsideBoundaryOutsideWithTolerance)
{
    const Outline square = unitSquare();
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.5, 0.5), square, 0.01), 2);
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.5, 0.005), square, 0.01), 1);
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.5, -0.004), square, 0.01), 1);
    // The edge test alone would accept it, but the widened box stops at -0.005.
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.5, -0.008), square, 0.01), 0);
    EXPECT_EQ(pointAgainstOutline(Vector2d(2, 2), square, 0.01), 0);
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.5, 0.5), Outline{}, 0.01), -1);
    // Near a corner, and along the closing edge (last point back to first).
    EXPECT_EQ(pointAgainstOutline(Vector2d(1.004, 1.004), square, 0.01), 1);
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.003, 0.5), square, 0.01), 1);
    // Same answers for the other turning sense.
    const Outline reversed = {Vector2d(0, 0), Vector2d(0, 1), Vector2d(1, 1), Vector2d(1, 0)};
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.5, 0.5), reversed, 0.01), 2);
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.5, 0.02), reversed, 0.01), 2);
}

TEST(PointAgainstOutline, ConcaveOutlineAndRepeatedPoint)
{
    // L-shape: the notch at (1.5, 1.5) lies inside the box but outside.
    const Outline ell = {Vector2d(0, 0), Vector2d(2, 0), Vector2d(2, 1), Vector2d(1, 1), Vector2d(1, 2),
                         Vector2d(0, 2)};
    EXPECT_EQ(pointAgainstOutline(Vector2d(1.5, 1.5), ell, 0.01), 0);
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.5, 1.5), ell, 0.01), 2);
    EXPECT_EQ(pointAgainstOutline(Vector2d(1.5, 0.5), ell, 0.01), 2);
    EXPECT_EQ(pointAgainstOutline(Vector2d(1.5, 1.0), ell, 0.01), 1);

    // A repeated point must not make far points count as on the boundary.
    const Outline repeated = {Vector2d(0, 0), Vector2d(1, 0), Vector2d(1, 0), Vector2d(1, 1), Vector2d(0, 1)};
    EXPECT_EQ(pointAgainstOutline(Vector2d(0.5, 0.5), repeated, 0.01), 2);
    EXPECT_EQ(pointAgainstOutline(Vector2d(1.0, 0.0), repeated, 0.01), 1);
}

TEST(SegmentAlongBoundary, CollinearOverlapCounts)
{
    const Outline square = unitSquare();
    EXPECT_TRUE(segmentAlongBoundary(Vector2d(0.2, 0), Vector2d(0.8, 0), square, 0.01));
    EXPECT_FALSE(segmentAlongBoundary(Vector2d(-1, 0), Vector2d(0, 0), square, 0.01));
    EXPECT_FALSE(segmentAlongBoundary(Vector2d(0.2, 0.02), Vector2d(0.8, 0.02), square, 0.01));
    // Reversed direction, partial overlap beyond the corner, and the closing edge.
    EXPECT_TRUE(segmentAlongBoundary(Vector2d(0.8, 0), Vector2d(0.2, 0), square, 0.01));
    EXPECT_TRUE(segmentAlongBoundary(Vector2d(0.5, 0.005), Vector2d(3, 0.005), square, 0.01));
    EXPECT_TRUE(segmentAlongBoundary(Vector2d(0, 0.9), Vector2d(0, 0.1), square, 0.01));
    EXPECT_FALSE(segmentAlongBoundary(Vector2d(1, 1), Vector2d(2, 1), square, 0.01));
    // Crossing an edge is not running along it.
    EXPECT_FALSE(segmentAlongBoundary(Vector2d(0.5, -1), Vector2d(0.5, 2), square, 0.01));
    // A zero-length edge never qualifies.
    EXPECT_FALSE(segmentAlongBoundary(Vector2d(5, 5), Vector2d(6, 6), {Vector2d(5, 5), Vector2d(5, 5)}, 0.01));
}

TEST(CrossingParameter, FractionTouchingAndCollinear)
{
    const Vector2d p0(0, 0), p1(2, 0);
    EXPECT_DOUBLE_EQ(crossingParameter(p0, p1, Vector2d(1, -1), Vector2d(1, 1)), 0.5);
    EXPECT_EQ(crossingParameter(p0, p1, Vector2d(3, -1), Vector2d(3, 1)), -1.0);
    // Same side of the line through P.
    EXPECT_EQ(crossingParameter(p0, p1, Vector2d(1, 1), Vector2d(1, 3)), -1.0);
    // Uneven split: crossing at x = 1.5.
    EXPECT_DOUBLE_EQ(crossingParameter(p0, p1, Vector2d(1.5, -1), Vector2d(1.5, 3)), 0.75);
    // Touching counts as crossing: Q ends on P, and P ends on Q.
    EXPECT_DOUBLE_EQ(crossingParameter(p0, p1, Vector2d(1, 0), Vector2d(1, 1)), 0.5);
    EXPECT_DOUBLE_EQ(crossingParameter(p0, p1, Vector2d(2, -1), Vector2d(2, 1)), 1.0);
    // Collinear pairs give a value that fails "f >= 0".
    const double collinear = crossingParameter(p0, p1, Vector2d(1, 0), Vector2d(3, 0));
    EXPECT_FALSE(collinear >= 0.0);
    EXPECT_TRUE(std::isnan(collinear));
}

TEST(ExtendSegment, BothEndsAlongDirection)
{
    Vector2d a(0, 0), b(3, 4);
    extendSegment(a, b, 5);
    EXPECT_DOUBLE_EQ(a.x, -3);
    EXPECT_DOUBLE_EQ(a.y, -4);
    EXPECT_DOUBLE_EQ(b.x, 6);
    EXPECT_DOUBLE_EQ(b.y, 8);

    Vector2d c(1, 1), d(1, 1);
    extendSegment(c, d, 5);
    EXPECT_EQ(c, Vector2d(1, 1));
    EXPECT_EQ(d, Vector2d(1, 1));

    // A negative distance shortens.
    Vector2d e(0, 0), f(10, 0);
    extendSegment(e, f, -2);
    EXPECT_DOUBLE_EQ(e.x, 2);
    EXPECT_DOUBLE_EQ(f.x, 8);
}
