#include <algorithm>
#include <cmath>
#include <deque>

#include "exporter/geometry/OutlineSteps.h"

namespace Exporter::OutlineSteps {

std::vector<Segment> removeOpeningSpans(const std::vector<Segment>& walls, const std::vector<Segment>& openings)
{
    std::deque<Segment> work(walls.begin(), walls.end());
    std::vector<Segment> result;
    while (!work.empty()) {
        const Segment p = work.front();
        work.pop_front();
        const Vector2d a = p.start;
        const Vector2d ab = p.end - p.start;
        const double length = ab.length();
        // A wall of no length has no positions along it; it is no wall line.
        if (!(length > 0.0)) {
            continue;
        }
        const Vector2d u = ab.unit();

        // The first opening with an end on the wall's line whose span is not
        // wholly before the wall's first or after its last thousandth.
        bool cut = false;
        double t0 = 0.0;
        double t1 = 0.0;
        for (const auto& q : openings) {
            if (!(std::fabs(Common::cross(q.start - a, u)) <= kOpeningLineDistance ||
                  std::fabs(Common::cross(q.end - a, u)) <= kOpeningLineDistance)) {
                continue;
            }
            t0 = Common::dot(q.start - a, u) / length;
            t1 = Common::dot(q.end - a, u) / length;
            if ((t0 < kOpeningLow && t1 < kOpeningLow) || (t0 > kOpeningHigh && t1 > kOpeningHigh)) {
                continue;
            }
            cut = true;
            break;
        }
        if (!cut) {
            result.push_back(p);
            continue;
        }
        // The pieces left and right of the span go back to the end of the
        // work list, where later openings may cut them further. Each piece
        // lies wholly beyond the span that made it, so that opening never
        // cuts it again and the work list runs dry.
        const double lo = std::min(t0, t1);
        const double hi = std::max(t0, t1);
        if (lo > kOpeningLow) {
            work.push_back(Segment{a, a + ab * lo});
        }
        if (hi < kOpeningHigh) {
            work.push_back(Segment{a + ab * hi, p.end});
        }
    }
    return result;
}

}  // namespace Exporter::OutlineSteps
