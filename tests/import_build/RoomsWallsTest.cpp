#include "BuildFixture.h"
#include "importer/building/RoomBuilder.h"
#include "importer/building/RoomHeights.h"
#include "importer/building/WallBuilder.h"

#include <cmath>
#include <random>

using namespace ImportBuildTest;

namespace {

ImportModel storeyOne()
{
    ImportModel m;
    m.levelByStorey = {{1, 0.0f}, {2, 2900.0f}};
    m.floorLevelByStorey = {{1, 0.0f}, {2, 2900.0f}};
    return m;
}

TestSupport::RecordedCall onlyRoomCall(const ImportModel& m)
{
    PermissiveHost host;
    Importer::buildRooms(m, host.object, 1);
    const auto calls = host.callsOf(37);
    EXPECT_EQ(calls.size(), 1u);
    return calls.at(0);
}

}  // namespace

TEST(RoomBuildTest, EveryArgumentOfAnOrdinaryRoom)
{
    ImportModel m = storeyOne();
    m.floorLevelByStorey[1] = 100;
    addRoom(m, 1, {Vector2d(5, 5), Vector2d(0, 0), Vector2d(10, 0)}, 0, L"LDK", 500, 2900);
    addRoom(m, 2, rectangle(0, 0, 10, 10));  // another storey
    const auto c = onlyRoomCall(m);
    ASSERT_EQ(c.args.size(), 28u);
    EXPECT_EQ(argDoubles(c, 0), (std::vector<double>{0, 0, 10, 0, 5, 5}));
    const std::vector<Variant> expected{
        Variant::ui2(12),  Variant::text(L"LDK"), Variant::i4(1),     Variant::i4(1),     Variant::r8(400),
        Variant::r8(10),   Variant::r8(2400),     Variant::r8(100),   Variant::r8(0),     Variant::r8(30),
        Variant::r8(0),    Variant::r8(1200),     Variant::i4(1),     Variant::i4(1),     Variant::i4(0),
        Variant::i4(0),    Variant::i4(1),        Variant::ui1(2),    Variant::ui4(0xAFD2E0), Variant::ui4(0xCFEFFA),
        Variant::i4(0),    Variant::ui2(0),       Variant::text(L"メイリオ"), Variant::r8(4.0), Variant::ui1(0),
        Variant::r8(0.0),  Variant::ui4(0)};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(c.args[i + 1].value, expected[i]) << "argument " << i + 2;
    }
}

TEST(RoomBuildTest, TatamiLayoutByAreaAndExactProportions)
{
    EXPECT_EQ(Importer::tatamiLayout(rectangle(0, 0, 3640, 2730), 910), 19);
    EXPECT_EQ(Importer::tatamiLayout(rectangle(0, 0, 2730, 3640), 910), 21);
    EXPECT_EQ(Importer::tatamiLayout(rectangle(0, 0, 3640, 2700), 910), 0);
    EXPECT_EQ(Importer::tatamiLayout(rectangle(0, 0, 2730, 2730), 910), 9);
    EXPECT_EQ(Importer::tatamiLayout(rectangle(0, 0, 1820, 910), 910), 3);
    EXPECT_EQ(Importer::tatamiLayout(rectangle(0, 0, 910, 1820), 910), 2);
    EXPECT_EQ(Importer::tatamiLayout(rectangle(0, 0, 3640, 2730), 0), 0);

    ImportModel m = storeyOne();
    addRoom(m, 1, rectangle(0, 0, 3640, 2730), 1, L"和室");
    const auto c = onlyRoomCall(m);
    EXPECT_EQ(c.args[22].value, Variant::ui2(19));
    EXPECT_EQ(c.args[13].value, Variant::i4(0));  // S14
    EXPECT_EQ(c.args[1].value, Variant::ui2(15));
}

TEST(RoomBuildTest, KindAdjustmentsByNameAndCode)
{
    {
        ImportModel m = storeyOne();
        addRoom(m, 1, rectangle(0, 0, 3640, 2730), 1, L"広縁");
        const auto c = onlyRoomCall(m);
        EXPECT_EQ(c.args[1].value, Variant::ui2(27));
        EXPECT_EQ(c.args[4].value, Variant::i4(0));
        EXPECT_EQ(c.args[18].value, Variant::ui1(1));
        EXPECT_EQ(c.args[19].value, Variant::ui4(0xCFE8E9));
        EXPECT_EQ(c.args[20].value, Variant::ui4(0xCFE8E9));
        EXPECT_EQ(c.args[22].value, Variant::ui2(0));
        EXPECT_EQ(c.args[13].value, Variant::i4(1));
    }
    {
        ImportModel m = storeyOne();
        addRoom(m, 1, rectangle(0, 0, 10, 10), 3, L"ｼｽﾃﾑｷｯﾁﾝ");
        EXPECT_EQ(onlyRoomCall(m).args[1].value, Variant::ui2(6));
    }
    {
        ImportModel m = storeyOne();
        addRoom(m, 1, rectangle(0, 0, 10, 10), 3, L"台所");
        EXPECT_EQ(onlyRoomCall(m).args[1].value, Variant::ui2(12));
    }
    {
        ImportModel m = storeyOne();
        m.floorLevelByStorey[1] = 300;
        addRoom(m, 1, rectangle(0, 0, 10, 10), 15, L"", 450, 2900);
        EXPECT_EQ(onlyRoomCall(m).args[5].value, Variant::r8(450));  // absolute floor
    }
    {
        ImportModel m = storeyOne();
        addRoom(m, 1, rectangle(0, 0, 10, 10), 4);
        const auto c = onlyRoomCall(m);
        EXPECT_EQ(c.args[13].value, Variant::i4(0));
        EXPECT_EQ(c.args[14].value, Variant::i4(0));
        EXPECT_EQ(c.args[17].value, Variant::i4(1));
    }
    {
        ImportModel m = storeyOne();
        addRoom(m, 1, rectangle(0, 0, 10, 10), 17);
        EXPECT_EQ(onlyRoomCall(m).args[17].value, Variant::i4(0));
    }
    {
        ImportModel m = storeyOne();
        addRoom(m, 1, {Vector2d(1, 1)}, 25);  // unknown kind, one point
        const auto c = onlyRoomCall(m);
        EXPECT_TRUE(argDoubles(c, 0).empty());
        EXPECT_EQ(c.args[1].value, Variant::ui2(0));
        EXPECT_EQ(c.args[19].value, Variant::ui4(0));
    }
}

namespace {

struct WallStorey {
    ImportModel m = storeyOne();
    PermissiveHost host;
    WallStorey() { addRoom(m, 1, rectangle(0, 0, 3640, 2730), 0, L"", 500, 2900); }
    std::vector<TestSupport::RecordedCall> build()
    {
        Importer::buildWalls(m, host.object, 1);
        std::vector<TestSupport::RecordedCall> made;
        for (const auto& c : host.host->calls) {
            if (c.op != 172) {
                made.push_back(c);
            }
        }
        return made;
    }
};

std::vector<double> numbers(const TestSupport::RecordedCall& c)
{
    std::vector<double> out;
    for (const auto& a : c.args) {
        out.push_back(a.value.asNumber());
    }
    return out;
}

}  // namespace

TEST(WallBuildTest, EdgeWallsOnlyWhereTheyDifferFromTheHostsOwn)
{
    WallStorey s;
    addWall(s.m, 1, Vector2d(0, 0), Vector2d(3640, 0), 1, 120);
    addWall(s.m, 1, Vector2d(3640, 0), Vector2d(3640, 2730), 1, 0);
    addWall(s.m, 1, Vector2d(0, 2730), Vector2d(3640, 2730), 1, 150);
    addWall(s.m, 1, Vector2d(0, 0), Vector2d(0, 1000), 2, 120, 2000, 2900);
    addWall(s.m, 1, Vector2d(0, 1000), Vector2d(0, 2730), 3, 120, 0, 1200);
    addWall(s.m, 1, Vector2d(1000, 0), Vector2d(2000, 0), 4, 120, 800, 1500);
    const auto calls = s.build();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].op, 41);
    EXPECT_EQ(calls[0].args[0].value, Variant::ui2(4));
    EXPECT_EQ(numbers(calls[0]), (std::vector<double>{4, 0, 2730, 3640, 2730, 75, 75}));
    EXPECT_EQ(numbers(calls[1]), (std::vector<double>{2, 0, 0, 0, 1000, 1500, 0}));
    EXPECT_EQ(numbers(calls[2]), (std::vector<double>{3, 0, 1000, 0, 2730, 0, 700}));
}

TEST(WallBuildTest, FreeStandingWallsBecomeAxisParallelBlocks)
{
    WallStorey s;
    addWall(s.m, 1, Vector2d(1000, 1000), Vector2d(1000, 2000), 1, 120);
    addWall(s.m, 1, Vector2d(1000, 1000), Vector2d(2000, 2000), 1, 120);  // oblique: skipped
    addWall(s.m, 1, Vector2d(1500, 500), Vector2d(2500, 500), 3, 100, 0, 1400);
    addWall(s.m, 1, Vector2d(1500, 700), Vector2d(2500, 700), 2, 100, 2100, 2900);
    addWall(s.m, 1, Vector2d(1500, 900), Vector2d(2500, 900), 4, 100, 800, 1500);
    addWall(s.m, 1, Vector2d(5000, 0), Vector2d(6000, 0), 1, 100);  // outside every room
    const auto calls = s.build();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].op, 43);
    EXPECT_EQ(calls[0].args[0].value, Variant::ui2(0));
    EXPECT_EQ(calls[0].args[5].value, Variant::i4(1));
    EXPECT_EQ(numbers(calls[0]), (std::vector<double>{0, 1000, 1500, 120, 1000, 1, 0, 2400}));
    EXPECT_EQ(numbers(calls[1]), (std::vector<double>{0, 2000, 500, 1000, 100, 0, 0, 900}));
    EXPECT_EQ(calls[2].op, 44);
    EXPECT_EQ(calls[2].args[4].value, Variant::i4(1));
    EXPECT_EQ(numbers(calls[2]), (std::vector<double>{2000, 700, 1000, 100, 1, 800, 0}));
    EXPECT_EQ(numbers(calls[3]), (std::vector<double>{2000, 900, 1000, 100, 0, 300, 700}));
    EXPECT_EQ(numbers(calls[4]), (std::vector<double>{0, 5500, 0, 1000, 100, 1, 0, 0}));
}

TEST(WallBuildTest, PassagesAreReCentredToTheirWidth)
{
    WallStorey s;
    addOpening(s.m, 1, Vector2d(1000, 0), Vector2d(1900, 0), 3, 2000, 2000, 800);
    addOpening(s.m, 1, Vector2d(1000, 2730), Vector2d(1900, 2730), 3, 2000, 2000, 0);
    addOpening(s.m, 1, Vector2d(1000, 1000), Vector2d(1900, 1000), 3, 2000, 2000, 800);  // inside: none
    addOpening(s.m, 1, Vector2d(0, 500), Vector2d(0, 1500), 1);  // a window: not built here
    const auto calls = s.build();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(numbers(calls[0]), (std::vector<double>{1, 1050, 0, 1850, 0, 2400, 0}));
    EXPECT_EQ(numbers(calls[1]), (std::vector<double>{1, 1000, 2730, 1900, 2730, 2400, 0}));
}

TEST(WallBuildTest, RoomIndexSelectsTheRoomsTheFullScanSelects)
{
    // Rooms of a storey in a grid across cell borders, one huge, one with a
    // coordinate that is not finite; segments along edges, inside rooms,
    // 0.005 off an edge, crossing, far away.
    Importer::ImportModel model;
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> step(0, 12);
    const auto addRoom = [&](int storey, std::vector<Vector2d> outline) {
        auto r = std::make_unique<Importer::ImportRoom>();
        r->storey = storey;
        r->floorHeight = 10.0 * static_cast<double>(model.rooms.size());
        r->ceilingHeight = 2400.0 - r->floorHeight;
        r->outline = std::move(outline);
        model.rooms.push_back(std::move(r));
    };
    for (int i = 0; i < 40; ++i) {
        const double x = step(rng) * 910.0, y = step(rng) * 910.0;
        const double w = (1 + step(rng) % 4) * 910.0, h = (1 + step(rng) % 3) * 910.0;
        addRoom(i % 5 == 0 ? 2 : 1, {Vector2d(x, y), Vector2d(x + w, y), Vector2d(x + w, y + h), Vector2d(x, y + h)});
    }
    addRoom(1, {Vector2d(-1e6, -1e6), Vector2d(1e6, -1e6), Vector2d(1e6, 1e6), Vector2d(-1e6, 1e6)});
    addRoom(1, {Vector2d(0, 0), Vector2d(std::nan(""), 0), Vector2d(910, 910)});
    model.rooms.back()->floorHeight = model.rooms.back()->ceilingHeight = -1;  // shows only where alone
    addRoom(1, {});
    const Importer::ModelByStorey byStorey(model);
    const Importer::StoreyRooms rooms(1, byStorey.of(1).rooms);
    for (int i = 0; i < 400; ++i) {
        const Vector2d a(step(rng) * 455.0 + (i % 3 == 0 ? 0.005 : 0.0), step(rng) * 910.0);
        const Vector2d b = i % 2 == 0 ? Vector2d(a.x + step(rng) * 455.0, a.y) : Vector2d(a.x, a.y + step(rng) * 455.0);
        const auto along = Importer::roomHeightsAlong(model, 1, a, b);
        const auto around = Importer::roomHeightsAround(model, 1, a, b);
        EXPECT_EQ(rooms.along(a, b).h1, along.h1) << i;
        EXPECT_EQ(rooms.along(a, b).h2, along.h2) << i;
        EXPECT_EQ(rooms.around(a, b).h1, around.h1) << i;
        EXPECT_EQ(rooms.around(a, b).h2, around.h2) << i;
    }
}
