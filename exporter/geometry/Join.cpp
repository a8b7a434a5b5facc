#include <algorithm>
#include <cmath>
#include <cstdint>

#include "exporter/geometry/EndpointGrid.h"
#include "exporter/geometry/OutlineSteps.h"

namespace Exporter::OutlineSteps {

namespace {

bool parallel(const Segment& a, const Segment& b)
{
    return std::fabs(Common::cross((a.end - a.start).unit(), (b.end - b.start).unit())) < kParallel;
}

// Merges s into its single parallel neighbour t at the shared point p (s's
// start or s's end): t's end at p moves to s's other end (and moved is told
// which section, which end, and where that end was). Returns false when
// there is not exactly one neighbour at p, or it is not parallel.
template <typename Neighbours, typename Move>
bool mergeInto(const Segment& s, const Vector2d& p, const Vector2d& other, std::vector<Segment>& list,
               Neighbours&& neighboursAt, Move&& moved)
{
    const std::vector<std::size_t>& found = neighboursAt(p);
    if (found.size() != 1) {
        return false;
    }
    Segment& t = list[found.front()];
    if (!parallel(t, s)) {
        return false;
    }
    if (pointsMatch(t.start, p)) {
        const Vector2d was = t.start;
        t.start = other;
        moved(found.front(), false, was);
    } else {
        const Vector2d was = t.end;
        t.end = other;
        moved(found.front(), true, was);
    }
    return true;
}

}  // namespace

void joinReference(std::vector<Segment>& sections)
{
    std::vector<std::size_t> found;
    std::size_t position = 0;
    while (position < sections.size()) {
        const Segment s = sections[position];
        auto neighboursAt = [&](const Vector2d& p) -> const std::vector<std::size_t>& {
            found.clear();
            for (std::size_t j = 0; j < sections.size(); ++j) {
                if (j != position && (pointsMatch(sections[j].start, p) || pointsMatch(sections[j].end, p))) {
                    found.push_back(j);
                }
            }
            return found;
        };
        auto moved = [](std::size_t, bool, const Vector2d&) {};
        if (mergeInto(s, s.start, s.end, sections, neighboursAt, moved) ||
            mergeInto(s, s.end, s.start, sections, neighboursAt, moved)) {
            // The next section moves into this position and is looked at next.
            sections.erase(sections.begin() + static_cast<std::ptrdiff_t>(position));
        } else {
            ++position;
        }
    }
}

void joinFast(std::vector<Segment>& sections)
{
    // Removing the section at the current position and looking next at the
    // one that moves up is the same as walking the list once and skipping the
    // removed ones: a section is only ever removed while it is the current
    // one, so every section is looked at exactly once, in list order.
    const std::size_t n = sections.size();
    std::vector<bool> removed(n, false);
    EndpointGrid grid;
    for (std::size_t i = 0; i < n; ++i) {
        grid.add(sections[i].start, static_cast<std::uint32_t>(2 * i));
        grid.add(sections[i].end, static_cast<std::uint32_t>(2 * i + 1));
    }

    std::vector<std::size_t> found;
    for (std::size_t position = 0; position < n; ++position) {
        const Segment s = sections[position];
        auto neighboursAt = [&](const Vector2d& p) -> const std::vector<std::size_t>& {
            found.clear();
            grid.forEachNear(p, [&](std::uint32_t entry) {
                const std::size_t j = entry / 2;
                if (j == position || removed[j]) {
                    return;
                }
                const Vector2d& q = (entry % 2 == 0) ? sections[j].start : sections[j].end;
                if (pointsMatch(q, p)) {
                    found.push_back(j);
                }
            });
            // A section with both ends at p counts once.
            std::sort(found.begin(), found.end());
            found.erase(std::unique(found.begin(), found.end()), found.end());
            return found;
        };
        // The grid keeps each end of a section that is still there under its
        // present point only: along a long wall the merged sections all pass
        // through the wall's first point, and entries left behind there would
        // make every later look at that point longer.
        auto moved = [&](std::size_t j, bool endMoved, const Vector2d& was) {
            const auto entry = static_cast<std::uint32_t>(2 * j + (endMoved ? 1 : 0));
            grid.remove(was, entry);
            grid.add(endMoved ? sections[j].end : sections[j].start, entry);
        };
        if (mergeInto(s, s.start, s.end, sections, neighboursAt, moved) ||
            mergeInto(s, s.end, s.start, sections, neighboursAt, moved)) {
            removed[position] = true;
            grid.remove(s.start, static_cast<std::uint32_t>(2 * position));
            grid.remove(s.end, static_cast<std::uint32_t>(2 * position + 1));
        }
    }

    std::size_t kept = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!removed[i]) {
            sections[kept++] = sections[i];
        }
    }
    sections.resize(kept);
}

}  // namespace Exporter::OutlineSteps
