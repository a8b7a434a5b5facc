// Opening spans cut out of the wall lines of one 6 x 3 room, whose wall lines
// come out as right (6,3)->(6,0), bottom (6,0)->(0,0), left (0,0)->(0,3) and
// top (0,3)->(6,3). Cut pieces go to the end of the work list.

#include <gtest/gtest.h>

#include "OutlineTestSupport.h"
#include "exporter/geometry/OutlineAlgorithms.h"
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
