#include "common/geometry/Geometry.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace Common {

namespace {

// Edge i of a closed outline runs from point i to point i+1, the last edge
// back to point 0.
const Vector2d& edgeEnd(const Outline& outline, std::size_t i)
{
    return outline[(i + 1) % outline.size()];
}

}  // namespace

double signedAngle(const Vector2d& a, const Vector2d& b)
{
    // A zero vector has no direction: the quotient is NaN and so is the
    // angle, which makes every sum built from it undecided.
    const double c = dot(a, b) / (a.length() * b.length());
    double magnitude;
    if (c >= 1.0) {
        magnitude = 0.0;
    } else if (c <= -1.0) {
        magnitude = std::numbers::pi;
    } else {
        magnitude = std::acos(c);
    }
    return cross(a, b) > 0.0 ? -magnitude : magnitude;
}

bool runsClockwise(const Outline& outline)
{
    const std::size_t n = outline.size();
    if (n < 3) {
        return false;
    }
    std::vector<Vector2d> directions;
    directions.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Vector2d edge = edgeEnd(outline, i) - outline[i];
        if (edge.lengthSquared() == 0.0) {
            // A repeated point: the turn at it is undefined.
            return false;
        }
        directions.push_back(edge.unit());
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += signedAngle(directions[i], directions[(i + 1) % n]);
    }
    return sum > 0.0;
}

Range2d boundingBox(const std::vector<Vector2d>& points)
{
    if (points.empty()) {
        return Range2d();
    }
    Range2d box(points.front(), points.front());
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Vector2d& p = points[i];
        if (p.x < box.min.x) box.min.x = p.x;
        if (p.x > box.max.x) box.max.x = p.x;
        if (p.y < box.min.y) box.min.y = p.y;
        if (p.y > box.max.y) box.max.y = p.y;
    }
    return box;
}

int pointAgainstOutline(const Vector2d& p, const Outline& outline, double t)
{
    if (outline.empty()) {
        return -1;
    }
    Range2d box = boundingBox(outline);
    const double half = t / 2.0;
    box.min.x -= half;
    box.min.y -= half;
    box.max.x += half;
    box.max.y += half;
    if (!box.contains(p)) {
        return 0;
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vector2d& a = outline[i];
        const Vector2d& b = edgeEnd(outline, i);
        if (pointOnEdge(p, a, b, t)) {
            return 1;
        }
        sum += signedAngle(a - p, b - p);
    }
    return std::fabs(sum) < std::numbers::pi ? 0 : 2;
}

bool pointOnEdge(const Vector2d& p, const Vector2d& a, const Vector2d& b, double t)
{
    if ((p - a).lengthSquared() < t * t) {
        return true;
    }
    const Vector2d edge = b - a;
    const double length = edge.length();
    // A zero-length edge (repeated point) has no direction; its unit vector
    // would be (0, 0) and would put every point "on" it. The point's distance
    // to it was tested just above.
    if (length > 0.0) {
        const Vector2d u = edge / length;
        const Vector2d w = p - a;
        const double along = dot(w, u);
        if (std::fabs(cross(w, u)) <= t && along >= 0.0 && along <= length) {
            return true;
        }
    }
    return false;
}

bool segmentAlongBoundary(const Vector2d& a, const Vector2d& b, const Outline& outline, double t)
{
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vector2d& q = outline[i];
        const Vector2d edge = edgeEnd(outline, i) - q;
        const double length = edge.length();
        if (length == 0.0) {
            continue;
        }
        const Vector2d u = edge / length;
        if (std::fabs(cross(a - q, u)) > t || std::fabs(cross(b - q, u)) > t) {
            continue;
        }
        const double g = dot(a - q, u);
        const double h = dot(b - q, u);
        const bool bothBefore = g <= 0.0 && h <= 0.0;
        const bool bothAfter = g >= length && h >= length;
        if (!bothBefore && !bothAfter) {
            return true;
        }
    }
    return false;
}

double crossingParameter(const Vector2d& p0, const Vector2d& p1, const Vector2d& q0, const Vector2d& q1)
{
    const Vector2d p = p1 - p0;
    const Vector2d q = q1 - q0;
    const double k1 = cross(p, q0 - p0);
    const double k2 = cross(p, q1 - p0);
    const double k3 = cross(q, p0 - q0);
    const double k4 = cross(q, p1 - q0);
    if (k1 * k2 > 0.0) {
        return -1.0;
    }
    if (k3 * k4 > 0.0) {
        return -1.0;
    }
    const double denominator = std::fabs(k3) + std::fabs(k4);
    if (denominator == 0.0) {
        // Collinear (or degenerate) pairs have no single crossing point.
        return std::numeric_limits<double>::quiet_NaN();
    }
    return std::fabs(k3) / denominator;
}

void extendSegment(Vector2d& start, Vector2d& end, double d)
{
    const Vector2d u = (end - start).unit();
    start = start - u * d;
    end = end + u * d;
}

}  // namespace Common
