// Opening spans cut out of the wall lines of one 6 x 3 room, whose wall lines
// come out as right (6,3)->(6,0), bottom (6,0)->(0,0), left (0,0)->(0,3) and
// top (0,3)->(6,3). Cut pieces go to the end of the work list.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "OutlineTestSupport.h"
#include "exporter/geometry/OutlineAlgorithms.h"
#include "exporter/geometry/OutlineSteps.h"
#include "exporter/geometry/ReferenceOutline.h"

using namespace OutlineTest;
using Exporter::StoreyOutlineSet;

namespace {

StoreyOutlineSet roomWith(std::vector<Segment> openings)
{
    StoreyOutlineSet set;
    set.outlines = {{Vector2d(0, 0), Vector2d(0, 3), Vector2d(6, 3), Vector2d(6, 0)}};
    set.openingSegments = std::move(openings);
    return set;
}

void expectWalls(const StoreyOutlineSet& set, const std::vector<Segment>& expected)
{
    expectSegments(Exporter::roomEdgeWallLines(set), expected);
    expectSegments(Exporter::referenceRoomEdgeWallLines(set), expected);
}

const Segment kRight = seg(6, 3, 6, 0);
const Segment kBottom = seg(6, 0, 0, 0);
const Segment kLeft = seg(0, 0, 0, 3);
const Segment kTop = seg(0, 3, 6, 3);

}  // namespace

TEST(OpeningSpans, MiddleThirdLeavesTwoPieces)
{
    // Along the bottom wall (from x = 6 to 0) the opening spans 1/3 to 2/3.
    expectWalls(roomWith({seg(2, 0, 4, 0)}), {kRight, kLeft, kTop, seg(6, 0, 4, 0), seg(2, 0, 0, 0)});
}

TEST(OpeningSpans, WholeWallIsRemoved)
{
    expectWalls(roomWith({seg(-1, 0, 7, 0)}), {kRight, kLeft, kTop});
    // Exactly end to end: nothing is left either.
    expectWalls(roomWith({seg(0, 0, 6, 0)}), {kRight, kLeft, kTop});
}

TEST(OpeningSpans, SpansWithinTheMarginsOrBeyondTheWallLeaveItWhole)
{
    // Both ends past 0.999 of the bottom wall (x < 0.006), but more than
    // 0.001 away from the left wall's line.
    expectWalls(roomWith({seg(0.005, 0, 0.002, 0)}), {kRight, kBottom, kLeft, kTop});
    // On the bottom wall's line, but wholly beyond its start.
    expectWalls(roomWith({seg(7, 0, 8, 0)}), {kRight, kBottom, kLeft, kTop});
    // Parallel to the bottom wall but 0.002 away from its line.
    expectWalls(roomWith({seg(2, 0.002, 4, 0.002)}), {kRight, kBottom, kLeft, kTop});
}

TEST(OpeningSpans, OneEndOnTheLineIsEnough)
{
    // A perpendicular segment ending on the bottom wall splits it at x = 2.
    expectWalls(roomWith({seg(2, 0, 2, -1)}), {kRight, kLeft, kTop, seg(6, 0, 2, 0), seg(2, 0, 0, 0)});
    // An oblique one cuts between the projections of its ends (x = 4 and 3).
    expectWalls(roomWith({seg(3, 0, 4, -1)}), {kRight, kLeft, kTop, seg(6, 0, 4, 0), seg(3, 0, 0, 0)});
}

TEST(OpeningSpans, PiecesAreCutAgainByLaterOpenings)
{
    // The first opening cuts the bottom wall; its right piece (6,0)->(4,0)
    // then meets the second opening, which the first pass skipped because
    // the first one matched earlier.
    expectWalls(roomWith({seg(2, 0, 4, 0), seg(4.5, 0, 5, 0)}),
                {kRight, kLeft, kTop, seg(2, 0, 0, 0), seg(6, 0, 5, 0), seg(4.5, 0, 4, 0)});
}

// The indexed search for the cutting opening against trying every opening on
// every wall line, on walls at any angle and openings made to sit at the
// edges of what the index looks at: ends just within and just beyond the
// line distance, short openings reaching over a wall's end, openings far
// longer than the others with one end on a line far from the wall, many
// openings on one wall, and coordinates near the largest a plan may hold.
TEST(OpeningSpans, IndexedSearchCutsLikeTheScanOfEveryOpening)
{
    namespace Steps = Exporter::OutlineSteps;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(random); };
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        const double scale = seed % 8 == 0 ? 1e11 : 1.0;
        std::vector<Segment> walls;
        std::vector<Segment> openings;
        for (int w = 0; w < 60; ++w) {
            // Axis-parallel mostly, sometimes at any angle; lengths from a
            // few millimetres to a long facade.
            const double angle = pick(3) == 0 ? uniform(0.0, 6.3) : (std::numbers::pi / 2) * pick(4);
            const Vector2d u(std::cos(angle), std::sin(angle));
            const Vector2d n(-u.y, u.x);
            const Vector2d a = Vector2d(uniform(-20000, 20000), uniform(-20000, 20000)) * scale;
            const double length = pick(10) == 0 ? uniform(20000, 200000) : uniform(5, 4000);
            walls.push_back(Segment{a, a + u * length});
            for (int k = pick(4); k > 0; --k) {
                const double s = uniform(-0.3, 1.1) * length;
                const double t = s + uniform(-1500, 1500);
                // Off the line by nothing, by about the line distance, or well away.
                const double offsets[] = {0.0, 0.0, 0.00099, 0.00101, -0.001, 0.3};
                const double d = offsets[pick(6)];
                Segment q{a + u * s + n * d, a + u * t + n * (pick(2) == 0 ? d : uniform(-900, 900))};
                if (pick(2) == 0) {
                    std::swap(q.start, q.end);
                }
                openings.push_back(q);
            }
            if (pick(12) == 0) {
                // A very long opening with one end on the wall's line far
                // beyond its end, reaching back over it.
                const Vector2d farEnd = a + u * (length + 150000);
                openings.push_back(Segment{farEnd, a + u * (length / 2) + n * 90000});
            }
        }
        std::shuffle(walls.begin(), walls.end(), random);
        std::shuffle(openings.begin(), openings.end(), random);
        const auto fast = Steps::removeOpeningSpansFast(walls, openings);
        const auto scan = Steps::removeOpeningSpansReference(walls, openings);
        ASSERT_EQ(fast.size(), scan.size()) << "seed " << seed;
        for (std::size_t i = 0; i < fast.size(); ++i) {
            ASSERT_TRUE(fast[i].start == scan[i].start && fast[i].end == scan[i].end)
                << "seed " << seed << " piece " << i << ": " << show(fast[i]) << " vs " << show(scan[i]);
        }
        // The crafted openings do cut: the result is not the walls unchanged.
        if (scale == 1.0) {
            EXPECT_GT(fast.size(), walls.size() / 2) << "seed " << seed;
            EXPECT_NE(fast.size(), walls.size()) << "seed " << seed;
        }
    }
}
