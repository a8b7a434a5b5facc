#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "exporter/geometry/EndpointGrid.h"
#include "exporter/geometry/OutlineSteps.h"

namespace Exporter::OutlineSteps {

namespace {

// Builds the chains. candidatesAt(p, out) lists, in set order, the segments
// still in the set whose start matches p.
//
// Every exterior section should find a successor, but with the point-match
// tolerance a chain can run into a dead end: no segment starts where it ends,
// or the only ones turn straight back. Such a chain is never closed; it is
// dropped rather than written out open (an open exterior wall line is not an
// outline a reader could use) and its segments are not offered to later
// chains. Its points, the last end included, go to `unclosed` (when given)
// so that the user can be told. Each step takes one segment out of the set,
// so the walk always ends.
template <typename Candidates>
std::vector<std::vector<Vector2d>> chainWith(const std::vector<Segment>& segments, std::vector<bool>& inSet,
                                             std::vector<std::vector<Vector2d>>* unclosed, Candidates&& candidatesAt)
{
    std::vector<std::vector<Vector2d>> chains;
    std::vector<std::size_t> chain;
    std::vector<std::size_t> candidates;
    std::size_t first = 0;
    while (true) {
        while (first < segments.size() && !inSet[first]) {
            ++first;
        }
        if (first == segments.size()) {
            break;
        }
        chain.assign(1, first);
        inSet[first] = false;
        bool closed = true;
        while (!pointsMatch(segments[chain.back()].end, segments[chain.front()].start)) {
            const Segment& last = segments[chain.back()];
            candidatesAt(last.end, candidates);
            std::size_t next = segments.size();
            if (candidates.size() == 1) {
                next = candidates.front();
            } else {
                // Least turn to the left; a candidate turning straight back
                // (pi) never wins, the earlier one wins a tie.
                const Vector2d d = (last.end - last.start).unit();
                double best = std::numbers::pi;
                for (const std::size_t c : candidates) {
                    const Vector2d u = (segments[c].end - segments[c].start).unit();
                    const double turn = std::atan2(Common::cross(d, u), Common::dot(d, u));
                    if (turn < best) {
                        best = turn;
                        next = c;
                    }
                }
            }
            if (next == segments.size()) {
                closed = false;
                break;
            }
            chain.push_back(next);
            inSet[next] = false;
        }
        if (closed || unclosed != nullptr) {
            std::vector<Vector2d> points;
            points.reserve(chain.size() + 1);
            for (const std::size_t i : chain) {
                points.push_back(segments[i].start);
            }
            if (closed) {
                chains.push_back(std::move(points));
            } else {
                points.push_back(segments[chain.back()].end);
                unclosed->push_back(std::move(points));
            }
        }
    }
    return chains;
}

}  // namespace

std::vector<std::vector<Vector2d>> chainReference(const std::vector<Segment>& segments,
                                                  std::vector<std::vector<Vector2d>>* unclosed)
{
    std::vector<bool> inSet(segments.size(), true);
    return chainWith(segments, inSet, unclosed, [&](const Vector2d& p, std::vector<std::size_t>& out) {
        out.clear();
        for (std::size_t j = 0; j < segments.size(); ++j) {
            if (inSet[j] && pointsMatch(segments[j].start, p)) {
                out.push_back(j);
            }
        }
    });
}

std::vector<std::vector<Vector2d>> chainFast(const std::vector<Segment>& segments,
                                             std::vector<std::vector<Vector2d>>* unclosed)
{
    std::vector<bool> inSet(segments.size(), true);
    EndpointGrid starts;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        starts.add(segments[i].start, static_cast<std::uint32_t>(i));
    }
    return chainWith(segments, inSet, unclosed, [&](const Vector2d& p, std::vector<std::size_t>& out) {
        out.clear();
        starts.forEachNear(p, [&](std::uint32_t j) {
            if (inSet[j] && pointsMatch(segments[j].start, p)) {
                out.push_back(j);
            }
        });
        // Candidates from several cells come back in set order.
        std::sort(out.begin(), out.end());
    });
}

}  // namespace Exporter::OutlineSteps
