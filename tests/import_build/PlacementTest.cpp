#include <cmath>
#include <random>

#include "BuildFixture.h"
#include "importer/building/BuildingPass.h"
#include "importer/building/Placement.h"

using namespace ImportBuildTest;

namespace {

// The shift as stepping one spacing at a time finds it.
double steppedShift(double a, double m)
{
    if (m <= 0) {
        return 0;
    }
    double d = 0;
    if (a < 0) {
        while (a <= -m) {
            a += m;
            d += m;
        }
        if (a < -m / 2) {
            d += m;
        }
    } else {
        while (a >= m) {
            a -= m;
            d -= m;
        }
        if (a > m / 2) {
            d -= m;
        }
    }
    return d;
}

ImportModel withRoom(std::vector<Vector2d> outline, double spacing = 910)
{
    ImportModel m;
    m.gridSpacing = Vector2d(spacing, spacing);
    addRoom(m, 1, std::move(outline));
    return m;
}

}  // namespace

TEST(QuadrantFlipTest, EachQuadrantMirrorsItsAxes)
{
    ImportModel m = withRoom({Vector2d(1000, 2000)});
    m.gridQuadrant = 3;
    addOpening(m, 1, Vector2d(1, 2), Vector2d(3, 4)).region3D = {Importer::Vector3d(5, 6, 7)};
    m.roofs.push_back(std::make_unique<Importer::ImportRoof>());
    m.roofs[0]->baseLineEnd = Vector2d(8, 9);
    Importer::flipToFirstQuadrant(m);
    EXPECT_EQ(m.gridQuadrant, 1);
    EXPECT_EQ(m.rooms[0]->outline[0], Vector2d(-1000, -2000));
    EXPECT_EQ(m.openings[0]->end, Vector2d(-3, -4));
    EXPECT_DOUBLE_EQ(m.openings[0]->region3D[0].x, -5);
    EXPECT_DOUBLE_EQ(m.openings[0]->region3D[0].z, 7);  // heights are not touched
    EXPECT_EQ(m.roofs[0]->baseLineEnd, Vector2d(-8, -9));

    ImportModel q2 = withRoom({Vector2d(1000, 2000)});
    q2.gridQuadrant = 2;
    Importer::flipToFirstQuadrant(q2);
    EXPECT_EQ(q2.rooms[0]->outline[0], Vector2d(-1000, 2000));
    ImportModel q4 = withRoom({Vector2d(1000, 2000)});
    q4.gridQuadrant = 4;
    Importer::flipToFirstQuadrant(q4);
    EXPECT_EQ(q4.rooms[0]->outline[0], Vector2d(1000, -2000));
    for (int q : {0, 1, 5}) {
        ImportModel same = withRoom({Vector2d(1000, 2000)});
        same.gridQuadrant = q;
        Importer::flipToFirstQuadrant(same);
        EXPECT_EQ(same.gridQuadrant, q);
        EXPECT_EQ(same.rooms[0]->outline[0], Vector2d(1000, 2000));
    }
}

TEST(OriginMoveTest, LowerLeftCornerMovesToWithinHalfASpacing)
{
    ImportModel m = withRoom({Vector2d(1234, -1000), Vector2d(5000, 3000)});
    addWall(m, 1, Vector2d(2000, 0), Vector2d(3000, 0));
    Importer::moveOrigin(m, Importer::OriginPlacement::LowerLeftNearOrigin);
    EXPECT_EQ(m.rooms[0]->outline[0], Vector2d(324, -90));
    EXPECT_EQ(m.walls[0]->start, Vector2d(1090, 910));

    ImportModel half = withRoom({Vector2d(455, -455), Vector2d(5000, 3000)});
    Importer::moveOrigin(half, Importer::OriginPlacement::LowerLeftNearOrigin);
    EXPECT_EQ(half.rooms[0]->outline[0], Vector2d(455, -455));

    ImportModel keep = withRoom({Vector2d(1234, -1000)});
    Importer::moveOrigin(keep, Importer::OriginPlacement::Keep);
    EXPECT_EQ(keep.rooms[0]->outline[0], Vector2d(1234, -1000));

    // Both boxes of the dialog ticked (3) or a number it does not know: the
    // plan stays where it is, as with "keep".
    for (int choice : {3, -1, 7}) {
        ImportModel odd = withRoom({Vector2d(1234, -1000)});
        Importer::moveOrigin(odd, Importer::originPlacementFromChoice(choice));
        EXPECT_EQ(odd.rooms[0]->outline[0], Vector2d(1234, -1000)) << choice;
    }
}

TEST(OriginMoveTest, DialogNumbersBecomeTheBuildingChoices)
{
    using namespace Importer;
    EXPECT_EQ(originPlacementFromChoice(0), OriginPlacement::Keep);
    EXPECT_EQ(originPlacementFromChoice(1), OriginPlacement::LowerLeftNearOrigin);
    EXPECT_EQ(originPlacementFromChoice(2), OriginPlacement::CentreAtOrigin);
    EXPECT_EQ(originPlacementFromChoice(3), OriginPlacement::NoReferencePoint);
    // An opening number other than 0 and 2 (a hand-edited registry, or -1
    // for none selected) leaves the openings as they are.
    EXPECT_EQ(openingModeFromChoice(0), OpeningMode::TemporaryFrames);
    EXPECT_EQ(openingModeFromChoice(2), OpeningMode::FittingsFromTable);
    for (int odd : {1, -1, 3, 99}) {
        EXPECT_EQ(openingModeFromChoice(odd), OpeningMode::AsTheyAre) << odd;
    }
    EXPECT_EQ(roofModeFromChoice(0), RoofMode::ManualFaces);
    for (int odd : {1, -1, 2}) {
        EXPECT_EQ(roofModeFromChoice(odd), RoofMode::None) << odd;
    }
}

TEST(OriginMoveTest, CentreOfTheWholePlanBoxAndNoMoveWithoutRooms)
{
    ImportModel m = withRoom({Vector2d(0, 0), Vector2d(10000, 4000)});
    addWall(m, 1, Vector2d(20000, 0), Vector2d(20000, 1000));
    m.roofs.push_back(std::make_unique<Importer::ImportRoof>());
    m.roofs[0]->baseLineStart = Vector2d(1e6, 1e6);  // base lines do not count for the box
    Importer::moveOrigin(m, Importer::OriginPlacement::CentreAtOrigin);
    // Box centre (10000, 2000): 11 spacings in x (remainder 900 > 455), 2 in y.
    EXPECT_EQ(m.rooms[0]->outline[0], Vector2d(-10010, -1820));
    EXPECT_EQ(m.roofs[0]->baseLineStart, Vector2d(1e6 - 10010, 1e6 - 1820));

    ImportModel noRooms;
    noRooms.gridSpacing = Vector2d(910, 910);
    addWall(noRooms, 1, Vector2d(5000, 5000), Vector2d(6000, 5000));
    Importer::moveOrigin(noRooms, Importer::OriginPlacement::LowerLeftNearOrigin);
    EXPECT_EQ(noRooms.walls[0]->start, Vector2d(5000, 5000));

    ImportModel noSpacing = withRoom({Vector2d(5000, 5000)}, 0);
    Importer::moveOrigin(noSpacing, Importer::OriginPlacement::LowerLeftNearOrigin);
    EXPECT_EQ(noSpacing.rooms[0]->outline[0], Vector2d(5000, 5000));
}

TEST(OriginMoveTest, ArithmeticShiftEqualsSteppingAndEndsFarOut)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> units(-200000, 200000);
    for (double m : {910.0, 1000.0, 303.0, 455.5}) {
        for (int k = -30; k <= 30; ++k) {
            for (double a : {k * m, k * m + m / 2, k * m - m / 2, k * m + 1, k * m - 1}) {
                EXPECT_EQ(Importer::gridShift(a, m), steppedShift(a, m)) << a << " " << m;
            }
        }
        for (int i = 0; i < 2000; ++i) {
            const double a = units(rng) / 4.0;
            EXPECT_EQ(Importer::gridShift(a, m), steppedShift(a, m)) << a << " " << m;
        }
    }
    const double far = Importer::gridShift(1e300, 910);
    EXPECT_TRUE(std::isfinite(far));
    EXPECT_LT(std::fabs(1e300 + far), 1e300 * 1e-12);
    EXPECT_EQ(Importer::gridShift(1000, -910), 0);
}
