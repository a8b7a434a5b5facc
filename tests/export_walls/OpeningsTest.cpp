#include <gtest/gtest.h>

#include <memory>

#include "FakePlan.h"
#include "common/host/HostDocument.h"
#include "exporter/reading/RoomPass.h"
#include "exporter/reading/WallPass.h"

namespace WallTests {
namespace {

using Common::Vector2d;
using Common::Vector3d;
using Exporter::ExportModel;
using Exporter::ExportOpening;

struct Openings {
    std::shared_ptr<FakePlan> plan = std::make_shared<FakePlan>();
    ExportModel model;

    Openings() { plan->settings[10] = 0; }  // storey 1 floor level 0

    void read(int openingExtendType = 0)
    {
        Common::HostDocument document(plan);
        Exporter::readRooms(model, document);
        Exporter::readWallObjects(model, document, openingExtendType);
    }
    const ExportOpening& opening(std::size_t i) const { return *model.openings.at(i); }
};

// A fitting object (type 27) carrying a fitting at (x, y).
FakeObject fitting(double x, double y, double sill, double angle, double width, double height,
                   std::uint32_t type = 27, std::wstring part = L"C:\\Parts\\Windows\\W1.m3d")
{
    return withFitting(plainObject(type), FakeFitting{std::move(part), x, y, sill, angle, width, height});
}

FakeObject livingRoom() { return room(1, 2, rect(0, 0, 4000, 3000), 0, 2400); }

TEST(FittingOpenings, KindCodeFromTheTypeAskedAgainAndTheSill)
{
    Openings o;
    FakeObject becomesDoor = fitting(2000, 0, 900, 0, 800, 1100);
    becomesDoor.typeAskedAgain = 8;
    o.plan->objects = {
        livingRoom(),
        fitting(2000, 0, 0, 0, 800, 2000),          // type 27 on the floor: door-like
        fitting(2000, 0, 900, 0, 800, 1100),        // type 27 above the floor: window-like
        fitting(2000, 0, 900, 0, 800, 1100, 8),     // type 8: door-like whatever the sill
        becomesDoor,                                 // first answer 27, second 8
        fitting(2000, 0, 900, 0, 800, 1100, 12),    // any other type
    };
    o.read();
    ASSERT_EQ(o.model.openings.size(), 5u);
    EXPECT_EQ(o.opening(0).kindCode, 2);
    EXPECT_EQ(o.opening(1).kindCode, 1);
    EXPECT_EQ(o.opening(2).kindCode, 2);
    EXPECT_EQ(o.opening(3).kindCode, 2);
    EXPECT_EQ(o.opening(4).kindCode, 3);
    // No correspondence table: no model number.
    for (const auto& opening : o.model.openings) {
        EXPECT_EQ(opening->modelNumber, L"");
    }
}

TEST(FittingOpenings, SegmentFromCentreWidthAndAngle)
{
    Openings o;
    o.plan->objects = {livingRoom(), fitting(2000, 1500, 0, 90, 1600, 2000)};
    o.read();
    ASSERT_EQ(o.model.openings.size(), 1u);
    const ExportOpening& a = o.opening(0);
    EXPECT_NEAR(a.start.x, 2000, 1e-9);
    EXPECT_NEAR(a.start.y, 700, 1e-9);
    EXPECT_NEAR(a.end.x, 2000, 1e-9);
    EXPECT_NEAR(a.end.y, 2300, 1e-9);
    EXPECT_DOUBLE_EQ(a.width, 1600);
}

TEST(FittingOpenings, HeadHeightAndRegionAboveTheRoomFloor)
{
    Openings o;
    o.plan->settings[10] = 500;  // the room's floor at 500
    o.plan->objects = {livingRoom(), fitting(2000, 0, 900, 0, 1000, 1100)};
    o.read();
    ASSERT_EQ(o.model.openings.size(), 1u);
    const ExportOpening& a = o.opening(0);
    EXPECT_EQ(a.storey, 1);
    EXPECT_DOUBLE_EQ(a.headHeight, 2500);
    EXPECT_DOUBLE_EQ(a.height, 1100);
    EXPECT_EQ(a.start, Vector2d(1500, 0));
    EXPECT_EQ(a.end, Vector2d(2500, 0));
    EXPECT_EQ(a.region3D, (std::vector<Vector3d>{{1500, 0, 1400}, {2500, 0, 1400}, {2500, 0, 2500}, {1500, 0, 2500}}));
}

TEST(FittingOpenings, ExtendTypeOneLengthensStartAndEndOnly)
{
    Openings o;
    o.plan->objects = {livingRoom(), fitting(2000, 0, 900, 0, 800, 1100)};
    o.read(1);
    ASSERT_EQ(o.model.openings.size(), 1u);
    const ExportOpening& a = o.opening(0);
    EXPECT_EQ(a.start, Vector2d(1540, 0));
    EXPECT_EQ(a.end, Vector2d(2460, 0));
    EXPECT_DOUBLE_EQ(a.width, 800);
    EXPECT_EQ(a.region3D, (std::vector<Vector3d>{{1600, 0, 900}, {2400, 0, 900}, {2400, 0, 2000}, {1600, 0, 2000}}));
}

TEST(FittingOpenings, NoOpeningWhereNoRoomOfTheStoreyMatches)
{
    Openings o;
    FakeObject upstairs = fitting(2000, 0, 900, 0, 800, 1100);
    upstairs.storey = 2;
    o.plan->objects = {livingRoom(), fitting(9000, 9000, 900, 0, 800, 1100), upstairs};
    o.read();
    EXPECT_TRUE(o.model.openings.empty());
}

TEST(FittingOpenings, ModelNumberFromTheCorrespondenceTable)
{
    Openings o;
    o.model.fittingTable[L"\\windows\\w1.m3d"] = L"MW-1600";
    o.plan->objects = {livingRoom(), fitting(2000, 0, 900, 0, 800, 1100),
                       fitting(2000, 0, 900, 0, 800, 1100, 27, L"C:\\Parts\\Doors\\D1.m3d")};
    o.read();
    ASSERT_EQ(o.model.openings.size(), 2u);
    EXPECT_EQ(o.opening(0).modelNumber, L"MW-1600");
    EXPECT_EQ(o.opening(1).modelNumber, L"");
}

TEST(WallAttachedOpenings, Type21BetweenTwoRoomsTakesEachMaximumSeparately)
{
    Openings o;
    o.plan->objects = {room(1, 2, rect(0, 0, 3000, 3000), 0, 2400), room(1, 2, rect(3000, 0, 6000, 3000), 50, 2400),
                       attached(21, 3000, 1000, 3000, 1800, 0, 0)};
    o.read();
    ASSERT_EQ(o.model.openings.size(), 1u);
    const ExportOpening& a = o.opening(0);
    EXPECT_EQ(a.kindCode, 3);
    EXPECT_DOUBLE_EQ(a.headHeight, 2450);
    EXPECT_DOUBLE_EQ(a.height, 2400);
    EXPECT_DOUBLE_EQ(a.width, 800);
    EXPECT_EQ(a.modelNumber, L"");
    EXPECT_EQ(a.region3D,
              (std::vector<Vector3d>{{3000, 1000, 50}, {3000, 1800, 50}, {3000, 1800, 2450}, {3000, 1000, 2450}}));
}

TEST(WallAttachedOpenings, HighestFloorAndHighestCeilingMayComeFromDifferentRooms)
{
    Openings o;
    o.plan->objects = {room(1, 2, rect(0, 0, 3000, 3000), 0, 2500), room(1, 2, rect(3000, 0, 6000, 3000), 50, 2400),
                       attached(21, 3000, 1000, 3000, 1800, 0, 0)};
    o.read();
    ASSERT_EQ(o.model.openings.size(), 1u);
    EXPECT_DOUBLE_EQ(o.opening(0).headHeight, 2500);
    EXPECT_DOUBLE_EQ(o.opening(0).height, 2450);
}

TEST(WallAttachedOpenings, Type22WindowBetweenWallAboveAndBelow)
{
    Openings o;
    o.plan->objects = {livingRoom(), attached(22, 1000, 0, 2200, 0, 2000, 800)};
    o.read(1);
    ASSERT_EQ(o.model.openings.size(), 1u);
    const ExportOpening& a = o.opening(0);
    EXPECT_EQ(a.kindCode, 1);
    EXPECT_DOUBLE_EQ(a.headHeight, 2000);
    EXPECT_DOUBLE_EQ(a.height, 1200);
    EXPECT_DOUBLE_EQ(a.width, 1200);
    EXPECT_EQ(a.start, Vector2d(940, 0));
    EXPECT_EQ(a.end, Vector2d(2260, 0));
    EXPECT_EQ(a.region3D, (std::vector<Vector3d>{{1000, 0, 800}, {2200, 0, 800}, {2200, 0, 2000}, {1000, 0, 2000}}));
}

TEST(WallAttachedOpenings, AnObjectWithAFittingGivesTwoOpeningsWallAttachedFirst)
{
    Openings o;
    FakeObject door = withFitting(attached(21, 1000, 0, 1800, 0, 0, 0), FakeFitting{L"D.m3d", 1400, 0, 0, 0, 800, 2000});
    o.plan->objects = {livingRoom(), door, fitting(3000, 0, 900, 0, 600, 900)};
    o.read();
    ASSERT_EQ(o.model.openings.size(), 3u);
    EXPECT_EQ(o.opening(0).kindCode, 3);  // the opening of the wall-attached object
    EXPECT_DOUBLE_EQ(o.opening(0).height, 2400);
    EXPECT_EQ(o.opening(1).kindCode, 3);  // its fitting, on a type-21 object
    EXPECT_DOUBLE_EQ(o.opening(1).height, 2000);
    EXPECT_DOUBLE_EQ(o.opening(1).headHeight, 2000);
    EXPECT_EQ(o.opening(2).kindCode, 1);
}

}  // namespace
}  // namespace WallTests
