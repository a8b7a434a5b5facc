#include <gtest/gtest.h>

#include <memory>

#include "FakePlan.h"
#include "common/host/HostDocument.h"
#include "exporter/reading/RoomPass.h"
#include "exporter/reading/WallPass.h"
#include "support/ScriptedHost.h"

namespace WallTests {
namespace {

using Exporter::ExportModel;
using Exporter::ExportRoom;
using Common::Vector2d;

struct Rooms {
    std::shared_ptr<FakePlan> plan = std::make_shared<FakePlan>();
    ExportModel model;

    void read()
    {
        Common::HostDocument document(plan);
        Exporter::readRooms(model, document);
    }
    const ExportRoom& room(std::size_t i) const { return *model.rooms.at(i); }
};

// Default record: L0 -500, L1 500, L2 3400, L3 6300, L4 9200, L5 12100.
TEST(RoomPass, FloorHeightsFollowTheRoomKindAndTheStoreyLevel)
{
    Rooms r;
    r.plan->objects = {
        room(2, 2, rect(0, 0, 10, 10), 10, 2400, L"ホール"),  // hall: above the storey 2 level
        room(2, 1, rect(0, 0, 10, 10), 300, 2400),             // entrance: absolute
        room(2, 20, rect(0, 0, 10, 10), 0, 2400),              // porch: no room
        room(2, 22, rect(0, 0, 10, 10), 0, 2200),              // inner garage: absolute
        room(2, 29, rect(0, 0, 10, 10), 150, 2000),            // earth floor: absolute
        room(0, 15, rect(0, 0, 10, 10), 0, 2100),              // storey 0: L0 = 500 - 1000
        room(1, 30, rect(0, 0, 10, 10), 20, 2400),             // a kind the tables lack
    };
    r.read();
    ASSERT_EQ(r.model.rooms.size(), 6u);

    EXPECT_EQ(r.room(0).storey, 2);
    EXPECT_DOUBLE_EQ(r.room(0).floorHeight, 3410);
    EXPECT_DOUBLE_EQ(r.room(0).ceilingHeight, 5810);
    EXPECT_EQ(r.room(0).name, L"ホール");
    EXPECT_EQ(r.room(0).kindCode, 11);
    EXPECT_EQ(r.room(0).kindName, L"廊下（ホール）");

    EXPECT_DOUBLE_EQ(r.room(1).floorHeight, 300);
    EXPECT_DOUBLE_EQ(r.room(1).ceilingHeight, 2700);
    EXPECT_EQ(r.room(1).kindCode, 15);
    EXPECT_EQ(r.room(1).kindName, L"玄関");

    EXPECT_DOUBLE_EQ(r.room(2).floorHeight, 0);
    EXPECT_DOUBLE_EQ(r.room(2).ceilingHeight, 2200);
    EXPECT_EQ(r.room(2).kindName, L"インナーガレージ");
    EXPECT_DOUBLE_EQ(r.room(3).floorHeight, 150);
    EXPECT_DOUBLE_EQ(r.room(3).ceilingHeight, 2150);
    EXPECT_EQ(r.room(3).kindName, L"土間");

    EXPECT_EQ(r.room(4).storey, 0);
    EXPECT_DOUBLE_EQ(r.room(4).floorHeight, -500);
    EXPECT_DOUBLE_EQ(r.room(4).ceilingHeight, 1600);
    EXPECT_EQ(r.room(4).kindCode, 1);

    EXPECT_DOUBLE_EQ(r.room(5).floorHeight, 520);
    EXPECT_EQ(r.room(5).kindCode, 0);
    EXPECT_EQ(r.room(5).kindName, L"");
}

TEST(RoomPass, StoreyLevelsWrapAroundInSixteenBits)
{
    Rooms r;
    // h11 = 60000 reads as -5536; L0 = -5536 - 1000; L2 = -5536 + 40000 =
    // 34464, which wraps to -31072; L3 = -31072 + 40000 = 8928.
    r.plan->settings = {0, 0, 0, 0, 0, 0, 0, 40000, 40000, 1000, 60000, 0, 120, 0};
    r.plan->objects = {room(0, 2, rect(0, 0, 1, 1), 0, 100), room(1, 2, rect(0, 0, 1, 1), 0, 100),
                       room(2, 2, rect(0, 0, 1, 1), 0, 100), room(3, 2, rect(0, 0, 1, 1), 10, 100)};
    r.read();
    ASSERT_EQ(r.model.rooms.size(), 4u);
    EXPECT_DOUBLE_EQ(r.room(0).floorHeight, -6536);
    EXPECT_DOUBLE_EQ(r.room(1).floorHeight, -5536);
    EXPECT_DOUBLE_EQ(r.room(2).floorHeight, -31072);
    EXPECT_DOUBLE_EQ(r.room(3).floorHeight, 8938);
}

TEST(RoomPass, StoreysBeyondTheLevelTableTakeTheNearestLevel)
{
    Rooms r;
    r.plan->objects = {room(7, 2, rect(0, 0, 1, 1), 10, 2400), room(-1, 2, rect(0, 0, 1, 1), 10, 2400),
                       room(5, 2, rect(0, 0, 1, 1), 10, 2400)};
    r.read();
    ASSERT_EQ(r.model.rooms.size(), 3u);
    EXPECT_DOUBLE_EQ(r.room(0).floorHeight, 12110);  // L5
    EXPECT_EQ(r.room(0).storey, 7);
    EXPECT_DOUBLE_EQ(r.room(1).floorHeight, -490);  // L0
    EXPECT_DOUBLE_EQ(r.room(2).floorHeight, 12110);
}

TEST(RoomPass, OutlinesAreStoredCounterClockwiseAndAnUnpairedValueIsIgnored)
{
    Rooms r;
    r.plan->objects = {
        room(1, 2, {0, 0, 1000, 0, 1000, 800, 0, 800}, 0, 2400),      // counter-clockwise: kept
        room(1, 2, {0, 0, 0, 800, 1000, 800, 1000, 0}, 0, 2400),      // clockwise: reversed
        room(1, 2, {0, 0, 1000, 0, 1000, 800, 0, 800, 55}, 0, 2400),  // odd count
        room(1, 2, {}, 0, 2400),                                       // no outline at all
    };
    r.read();
    ASSERT_EQ(r.model.rooms.size(), 4u);
    const std::vector<Vector2d> ccw{{0, 0}, {1000, 0}, {1000, 800}, {0, 800}};
    EXPECT_EQ(r.room(0).outline, ccw);
    const std::vector<Vector2d> reversed{{1000, 0}, {1000, 800}, {0, 800}, {0, 0}};
    EXPECT_EQ(r.room(1).outline, reversed);
    EXPECT_EQ(r.room(2).outline, ccw);
    EXPECT_TRUE(r.room(3).outline.empty());
}

TEST(RoomPass, ReadsOnlyRoomsAndAsksTheStoreyBeforeTheData)
{
    Rooms r;
    r.plan->objects = {wallBox(5, 0, 0, 10, 10, 0, 0, 0), room(1, 2, rect(0, 0, 1, 1), 0, 100),
                       room(1, 20, rect(0, 0, 1, 1), 0, 100)};
    r.read();
    EXPECT_EQ(r.plan->ops, (std::vector<int>{172, 62, 64, 63, 64, 65, 73, 63, 64, 65, 73, 63}));
    EXPECT_EQ(r.model.rooms.size(), 1u);
}

}  // namespace
}  // namespace WallTests

namespace WallTests {
namespace {

TEST(RoomPass, HostFailuresReachTheCallerNamingTheOperation)
{
    auto host = std::make_shared<TestSupport::ScriptedHost>();
    host->on(172, [](Common::Arguments&, Common::Variant&) {});
    host->on(62, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i4(1); });
    host->on(64, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::ui4(19); });
    host->on(65, [](Common::Arguments&, Common::Variant& r) { r = Common::Variant::i2(1); });
    host->on(73, [](Common::Arguments&, Common::Variant&) { throw Common::HostError(73, "room data failed"); });
    Common::HostDocument document(host);
    ExportModel model;
    try {
        Exporter::readRooms(model, document);
        ADD_FAILURE() << "no error";
    } catch (const Common::HostError& e) {
        EXPECT_EQ(e.dispatchNumber(), 73);
    }

    // An outline slot the host filled with something else than doubles.
    host->on(73, [](Common::Arguments& args, Common::Variant&) { args.at(0).value = Common::Variant::text(L"?"); });
    try {
        Exporter::readRooms(model, document);
        ADD_FAILURE() << "no error";
    } catch (const Common::HostError& e) {
        EXPECT_EQ(e.dispatchNumber(), 73);
        EXPECT_NE(std::string(e.what()).find("argument 1"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(model.rooms.empty());
}

TEST(RoomPass, AnUnboundDocumentGivesNoRooms)
{
    Common::HostDocument document;
    ExportModel model;
    Exporter::readRooms(model, document);
    Exporter::readWallsAndOpenings(model, document, 1);
    EXPECT_TRUE(model.rooms.empty());
    EXPECT_TRUE(model.walls.empty());
}

}  // namespace
}  // namespace WallTests
