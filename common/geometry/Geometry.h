#pragma once

#include <vector>

#include "common/geometry/Range.h"
#include "common/geometry/Segment.h"
#include "common/geometry/Vector2.h"

namespace Common {

using Outline = std::vector<Vector2d>;

// Angle in [-pi, pi] from a to b; a left turn (y up) is negative, exact
// reversal is +pi.
double signedAngle(const Vector2d& a, const Vector2d& b);

// True when the closed outline turns clockwise (y axis up). Fewer than three
// points, or a zero-length edge, answer false.
bool runsClockwise(const Outline& outline);

// Box of the points; an empty sequence gives both corners at (0, 0).
Range2d boundingBox(const std::vector<Vector2d>& points);

// -1 empty outline, 0 outside, 1 on the boundary (within t), 2 inside.
int pointAgainstOutline(const Vector2d& p, const Outline& outline, double t);

// The boundary test of pointAgainstOutline for one edge a-b: p within t of
// a, or within t of the edge's line between a and b. Any edge passing it
// makes a point inside the outline's widened box lie on the boundary.
bool pointOnEdge(const Vector2d& p, const Vector2d& a, const Vector2d& b, double t);

// True when segment a-b runs along some edge of the outline (within t) and
// overlaps it by more than a touching point.
bool segmentAlongBoundary(const Vector2d& a, const Vector2d& b, const Outline& outline, double t);

// Fraction along P0->P1 where it crosses Q0->Q1, or -1 when they do not cross.
// Collinear pairs give a NaN, which every caller's "f >= 0" test rejects.
double crossingParameter(const Vector2d& p0, const Vector2d& p1, const Vector2d& q0, const Vector2d& q1);

// Lengthens the segment by d at both ends; a zero-length segment stays.
void extendSegment(Vector2d& start, Vector2d& end, double d);

}  // namespace Common
