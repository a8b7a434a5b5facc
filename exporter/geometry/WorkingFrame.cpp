#include <cmath>
#include <iterator>
#include <numbers>
#include <set>

#include "common/geometry/Geometry.h"
#include "exporter/geometry/OutlineSteps.h"

namespace Exporter::OutlineSteps {

namespace {

bool usablePoint(const Vector2d& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= kLargestCoordinate &&
           std::fabs(p.y) <= kLargestCoordinate;
}

}  // namespace

Vector2d WorkingFrame::toWorking(const Vector2d& p) const
{
    Vector2d moved = p - origin;
    moved.rotate(theta);
    return moved;
}

Vector2d WorkingFrame::toPlan(const Vector2d& p) const
{
    Vector2d turned = p;
    turned.rotate(-theta);
    return turned + origin;
}

std::vector<std::vector<Vector2d>> usableOutlines(const StoreyOutlineSet& set)
{
    std::vector<std::vector<Vector2d>> usable;
    usable.reserve(set.outlines.size());
    for (const auto& outline : set.outlines) {
        bool ok = true;
        for (const auto& p : outline) {
            ok = ok && usablePoint(p);
        }
        if (ok) {
            usable.push_back(outline);
        }
    }
    return usable;
}

std::vector<Segment> usableOpenings(const StoreyOutlineSet& set)
{
    std::vector<Segment> usable;
    for (const auto& q : set.openingSegments) {
        if (usablePoint(q.start) && usablePoint(q.end)) {
            usable.push_back(q);
        }
    }
    return usable;
}

WorkingFrame makeWorkingFrame(const std::vector<std::vector<Vector2d>>& outlines)
{
    WorkingFrame frame;

    std::vector<Vector2d> all;
    for (const auto& outline : outlines) {
        all.insert(all.end(), outline.begin(), outline.end());
    }
    // The box starts at the first point of the first outline that has one;
    // with no point at all the origin stays (0, 0).
    frame.origin = Common::boundingBox(all).min;

    // Directions of all edges folded into [0, pi].
    std::set<double> angles;
    for (const auto& outline : outlines) {
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const Vector2d d = outline[(i + 1) % outline.size()] - outline[i];
            double a = std::atan2(d.y, d.x);
            if (a < 0.0) {
                a += std::numbers::pi;
            }
            angles.insert(a);
        }
    }
    if (angles.empty()) {
        return frame;
    }
    // The smallest direction again, half a turn on, closes the circle of
    // directions so that the gap across pi is measured too.
    angles.insert(*angles.begin() + std::numbers::pi);
    double bestGap = -1.0;
    double middle = 0.0;
    for (auto it = angles.begin(), next = std::next(it); next != angles.end(); ++it, ++next) {
        const double gap = *next - *it;
        if (gap > bestGap) {
            bestGap = gap;
            middle = (*it + *next) / 2.0;
        }
    }
    // Turning by -middle lays the direction farthest from every edge onto the
    // x axis: no edge is horizontal in the working frame.
    frame.theta = -middle;
    return frame;
}

std::vector<Edge> workingEdges(const std::vector<std::vector<Vector2d>>& outlines, const WorkingFrame& frame)
{
    std::vector<Edge> edges;
    for (const auto& outline : outlines) {
        std::vector<Vector2d> points;
        points.reserve(outline.size());
        for (const auto& p : outline) {
            points.push_back(frame.toWorking(p));
        }
        for (std::size_t i = 0; i < points.size(); ++i) {
            edges.push_back(Edge{points[i], points[(i + 1) % points.size()]});
        }
    }
    return edges;
}

void toPlan(std::vector<Segment>& segments, const WorkingFrame& frame)
{
    for (auto& s : segments) {
        s.start = frame.toPlan(s.start);
        s.end = frame.toPlan(s.end);
    }
}

}  // namespace Exporter::OutlineSteps
