#include <limits>

#include "BuildFixture.h"
#include "common/host/ObjectWalk.h"
#include "importer/building/ImportFittingMap.h"
#include "importer/building/OpeningBuilder.h"
#include "importer/building/RoofBuilder.h"
#include "importer/building/StairBuilder.h"

using namespace ImportBuildTest;

namespace {

std::vector<double> numbers(const TestSupport::RecordedCall& c, std::size_t from = 0)
{
    std::vector<double> out;
    for (std::size_t i = from; i < c.args.size(); ++i) {
        out.push_back(c.args[i].value.asNumber());
    }
    return out;
}

struct OpeningStorey {
    ImportModel m;
    PermissiveHost host;
    OpeningStorey()
    {
        m.floorLevelByStorey = {{1, 0.0f}};
        m.programFolder = L"C:\\Prog";
        m.hostFolder = L"C:\\Host";
        m.fittingTable = {{L"W-1", L"parts\\win.m3d"}, {L"W-2", L"\\abs\\win.m3d"}, {L"W-3", L""}};
        addRoom(m, 1, rectangle(0, 0, 3640, 2730), 0, L"", 500, 2900);
    }
    void build(Importer::OpeningMode mode) { Importer::buildOpenings(m, host.object, mode, 1); }
};

}  // namespace

TEST(OpeningBuildTest, FramesPlaceholdersAndPlainOpeningsInModeZero)
{
    OpeningStorey s;
    addOpening(s.m, 1, Vector2d(1000, 0), Vector2d(2000, 0), 1, 2500, 1100, 1000);
    addOpening(s.m, 1, Vector2d(0, 500), Vector2d(0, 1300), 2, 2500, 2000, 800);
    addOpening(s.m, 1, Vector2d(3640, 500), Vector2d(3640, 1300), 5, 2900, 500, 0);
    addOpening(s.m, 1, Vector2d(1000, 2730), Vector2d(2000, 2730), 6);
    addOpening(s.m, 1, Vector2d(1000, 1000), Vector2d(2000, 1000), 1);  // inside the room: skipped
    addOpening(s.m, 1, Vector2d(2000, 2730), Vector2d(3000, 2730), 3);  // passage: built with walls
    s.build(Importer::OpeningMode::TemporaryFrames);
    EXPECT_EQ(s.host.ops(), (std::vector<int>{39, 50, 39, 50, 41}));
    const auto calls = s.host.host->calls;
    EXPECT_EQ(calls[0].args[0].value, Variant::i2(1));
    EXPECT_EQ(calls[1].args[0].value, Variant::text(L"C:\\Prog\\窓開口.m3d"));
    EXPECT_EQ(numbers(calls[1], 1), (std::vector<double>{1500, 0, 900, 0, 1000, 1100, 0}));
    EXPECT_EQ(calls[1].args[7].value, Variant::i4(0));
    EXPECT_EQ(calls[3].args[0].value, Variant::text(L"C:\\Prog\\ドア開口.m3d"));
    EXPECT_EQ(numbers(calls[3], 1), (std::vector<double>{0, 900, 0, 90, 800, 2000, 0}));
    // Hung from the ceiling: 2400 above the floor down to 1900.
    EXPECT_EQ(numbers(calls[4]), (std::vector<double>{2, 3640, 500, 3640, 1300, 2400, 1900}));
}

TEST(OpeningBuildTest, ModeOneMakesHolesOnly)
{
    OpeningStorey s;
    addOpening(s.m, 1, Vector2d(1000, 0), Vector2d(2000, 0), 1, 2500, 1100, 800);
    addOpening(s.m, 1, Vector2d(0, 500), Vector2d(0, 1300), 4, 2000, 2000, 0);
    s.build(Importer::OpeningMode::AsTheyAre);
    ASSERT_EQ(s.host.ops(), (std::vector<int>{41, 41}));
    // Re-centred to its width; top and bottom of the hole above the floor.
    EXPECT_EQ(numbers(s.host.host->calls[0]), (std::vector<double>{2, 1100, 0, 1900, 0, 2000, 900}));
    EXPECT_EQ(numbers(s.host.host->calls[1]), (std::vector<double>{2, 0, 500, 0, 1300, 2000, 0}));
}

TEST(OpeningBuildTest, ModeTwoUsesTheTableAndFallsBackToFrames)
{
    OpeningStorey s;
    addOpening(s.m, 1, Vector2d(1000, 0), Vector2d(2000, 0), 1).modelNumber = L"W-1";
    addOpening(s.m, 1, Vector2d(1000, 0), Vector2d(2000, 0), 6).modelNumber = L"W-2";  // any kind
    addOpening(s.m, 1, Vector2d(1000, 0), Vector2d(2000, 0), 7).modelNumber = L"W-9";
    addOpening(s.m, 1, Vector2d(1000, 0), Vector2d(2000, 0), 2).modelNumber = L"W-3";  // empty entry
    addOpening(s.m, 1, Vector2d(1000, 0), Vector2d(2000, 0), 1).modelNumber = L"w-1";  // case matters
    s.build(Importer::OpeningMode::FittingsFromTable);
    const auto placed = s.host.callsOf(50);
    ASSERT_EQ(placed.size(), 5u);
    EXPECT_EQ(placed[0].args[0].value, Variant::text(L"C:\\Host\\parts\\win.m3d"));
    EXPECT_EQ(placed[1].args[0].value, Variant::text(L"C:\\Host\\abs\\win.m3d"));
    EXPECT_EQ(placed[2].args[0].value, Variant::text(L"C:\\Prog\\窓開口.m3d"));
    EXPECT_EQ(placed[3].args[0].value, Variant::text(L"C:\\Prog\\ドア開口.m3d"));
    EXPECT_EQ(placed[4].args[0].value, Variant::text(L"C:\\Prog\\窓開口.m3d"));
}

TEST(OpeningBuildTest, WidthFromTheSegmentAndAngleFromItsDirection)
{
    OpeningStorey s;
    addOpening(s.m, 1, Vector2d(2000, 0), Vector2d(1000, 0), 1, 2500, 1100, 0);
    s.build(Importer::OpeningMode::TemporaryFrames);
    const auto placed = s.host.callsOf(50).at(0);
    EXPECT_DOUBLE_EQ(argR8(placed, 4), 180);
    EXPECT_DOUBLE_EQ(argR8(placed, 5), 1000);
}

TEST(FittingMapTest, FirstRowPerModelNumberAndExactLookup)
{
    ImportModel m;
    m.fittingTable = {{L"A", L"x\\a.m3d"}};
    EXPECT_EQ(Importer::lookupFittingPart(m, L"A"), L"x\\a.m3d");
    EXPECT_EQ(Importer::lookupFittingPart(m, L"a"), L"");
    EXPECT_EQ(Importer::lookupFittingPart(m, L"B"), L"");
}

namespace {

ImportModel stairStorey()
{
    ImportModel m;
    m.floorLevelByStorey = {{1, 0.0f}, {2, 3000.0f}};
    return m;
}

Importer::ImportStair& addStair(ImportModel& m, std::vector<double> angles, std::vector<int> steps,
                                std::vector<std::vector<Vector2d>> outlines, int form = 0)
{
    auto s = std::make_unique<Importer::ImportStair>();
    s->storey = 1;
    s->form = form;
    s->turnAngles = std::move(angles);
    s->stepCounts = std::move(steps);
    s->blockOutlines = std::move(outlines);
    m.stairs.push_back(std::move(s));
    return *m.stairs.back();
}

std::vector<TestSupport::RecordedCall> buildStairs(const ImportModel& m, int grade = 0)
{
    PermissiveHost host;
    FakePlatform platform;
    Importer::buildStairs(m, host.object, 1, grade, platform);
    return host.callsOf(42);
}

}  // namespace

TEST(StairBuildTest, OneStraightFlightWithEveryArgument)
{
    ImportModel m = stairStorey();
    addStair(m, {0}, {14}, {rectangle(0, 0, 900, 3500)});
    const auto calls = buildStairs(m);
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].args.size(), 32u);
    EXPECT_EQ(numbers(calls[0]), (std::vector<double>{0, 0, 900, 0, 250, 0, 0, 15, 0, 0, 0, 0, 0, 0, 1, 1,
                                                      1, 1, 0, 750, 1, 1, 1, 0, 750, 0, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(calls[0].args[3].value, Variant::ui2(0));
    EXPECT_EQ(calls[0].args[7].value, Variant::ui2(15));
    EXPECT_EQ(calls[0].args[12].value, Variant::i4(0));
    EXPECT_EQ(calls[0].args[31].value, Variant::ui2(2));
}

TEST(StairBuildTest, QuarterTurnPatterns)
{
    const std::vector<Vector2d> first = rectangle(0, 0, 900, 1800);
    const std::vector<Vector2d> turn = rectangle(0, 1800, 900, 2700);
    const std::vector<Vector2d> last{Vector2d(900, 1800), Vector2d(900, 2700), Vector2d(1900, 2700),
                                     Vector2d(1900, 1800)};
    {
        ImportModel m = stairStorey();
        addStair(m, {0, 90, 0}, {6, 3, 4}, {first, turn, last}, 3);
        EXPECT_EQ(Importer::stairBlockPattern(*m.stairs[0]), 0x464);
        const auto calls = buildStairs(m);
        ASSERT_EQ(calls.size(), 1u);
        // Type 2 turning with direction digit 3: origin at the first edge's end.
        EXPECT_EQ(numbers(calls[0]).size(), 32u);
        const auto n = numbers(calls[0]);
        EXPECT_EQ(std::vector<double>(n.begin(), n.begin() + 15),
                  (std::vector<double>{900, 0, 900, 2, 300, 250, 0, 7, 5, 0, 2, 0, 1, 0, 0}));
    }
    {
        ImportModel m = stairStorey();
        addStair(m, {90, 0}, {3, 4}, {turn, last});
        EXPECT_EQ(Importer::stairBlockPattern(*m.stairs[0]), 0x64);
        const auto n = numbers(buildStairs(m).at(0));
        EXPECT_EQ(std::vector<double>(n.begin() + 3, n.begin() + 13),
                  (std::vector<double>{2, 300, 250, 0, 1, 5, 0, 2, 0, 1}));
    }
}

TEST(StairBuildTest, HalfTurnDigitFromTheOutlineAndUnknownAngles)
{
    const std::vector<Vector2d> first = rectangle(0, 0, 900, 1800);
    const std::vector<Vector2d> beyond{Vector2d(0, 1800), Vector2d(900, 1800), Vector2d(1800, 1800)};
    const std::vector<Vector2d> behind{Vector2d(0, 1800), Vector2d(900, 1800), Vector2d(-200, 1900)};
    const std::vector<Vector2d> within{Vector2d(0, 1800), Vector2d(900, 1800), Vector2d(950, 2500)};
    ImportModel m = stairStorey();
    addStair(m, {0, 180, 0}, {6, 4, 6}, {first, beyond, first});
    EXPECT_EQ(Importer::stairBlockPattern(*m.stairs[0]), 0x414);
    const auto calls = buildStairs(m);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[3].value, Variant::ui2(3));

    ImportModel other = stairStorey();
    addStair(other, {0, 180}, {6, 4}, {first, behind});
    EXPECT_EQ(Importer::stairBlockPattern(*other.stairs[0]), 0x47);
    addStair(other, {0, 180, 0}, {6, 4, 6}, {first, within, first});
    EXPECT_EQ(Importer::stairBlockPattern(*other.stairs[1]), 0x44);
    addStair(other, {0, 45}, {6, 4}, {first, first});
    EXPECT_FALSE(Importer::stairBlockPattern(*other.stairs[2]).has_value());
    addStair(other, {0, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 1, 1}, {first, first, first, first, first, first});
    EXPECT_FALSE(Importer::stairBlockPattern(*other.stairs[3]).has_value());

    ImportModel skipped = stairStorey();
    addStair(skipped, {0, 45}, {6, 4}, {first, first});
    addStair(skipped, {90, 90, 90}, {1, 1, 1}, {first, first, first});  // 0x666: not in the table
    EXPECT_TRUE(buildStairs(skipped).empty());
}

TEST(StairBuildTest, BarrierFreeNudgeOnlyWithinHalfAMillimetre)
{
    EXPECT_DOUBLE_EQ(Importer::nudgeTread(249.7, 200), 249.7);
    EXPECT_DOUBLE_EQ(Importer::nudgeTread(194.8, 200), 195.0);
    EXPECT_DOUBLE_EQ(Importer::nudgeTread(190, 200), 190);
    EXPECT_NEAR(Importer::nudgeTread(200.2, 210), 210.0 * 21 / 22, 1e-12);

    // R = 3000 / 15 = 200; tread 2727.2 / 14 = 194.8.
    ImportModel m = stairStorey();
    addStair(m, {0}, {14}, {rectangle(0, 0, 900, 2727.2)});
    EXPECT_NEAR(argR8(buildStairs(m, 3).at(0), 4), 195.0, 1e-9);
    EXPECT_NEAR(argR8(buildStairs(m, 2).at(0), 4), 194.8, 1e-9);
}

TEST(StairBuildTest, FlightWithoutStepsIsReportedNotSent)
{
    ImportModel m = stairStorey();
    addStair(m, {0}, {0}, {rectangle(0, 0, 900, 3500)});
    PermissiveHost host;
    FakePlatform platform;
    Importer::buildStairs(m, host.object, 1, 0, platform);
    EXPECT_TRUE(host.callsOf(42).empty());
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].find(L"Stair 1"), std::wstring::npos);
}

namespace {

Importer::ImportRoof& addRoof(ImportModel& m, int storey, std::vector<Vector2d> outline, double thickness)
{
    auto r = std::make_unique<Importer::ImportRoof>();
    r->storey = storey;
    r->outline = std::move(outline);
    r->baseLineStart = Vector2d(0, 0);
    r->baseLineEnd = Vector2d(10, 0);
    r->pitch = 4;
    r->baseHeight = 5800;
    r->finishThickness = thickness;
    m.roofs.push_back(std::move(r));
    return *m.roofs.back();
}

}  // namespace

TEST(RoofBuildTest, OldRoofsGoAndEachRoofIsOneFaceFromItsEavesEdge)
{
    ImportModel m;
    addRoof(m, 3, {Vector2d(10, 10), Vector2d(0, 10), Vector2d(0, -500), Vector2d(10, -500)}, 0);
    addRoof(m, 2, rectangle(0, 0, 10, 10), 20);  // belongs to storey 1
    PermissiveHost host;
    host.objects = {{2, 24}, {2, 19}, {1, 24}};
    Importer::buildRoofs(m, host.object, Importer::RoofMode::ManualFaces, 2);
    EXPECT_EQ(host.ops(), (std::vector<int>{59, 62, 65, 64, 160, 158, 63, 65, 64, 158, 63, 65, 63, 39, 61, 64, 219}));
    const auto& calls = host.host->calls;
    EXPECT_EQ(calls[0].args[0].value, Variant::i2(2));
    EXPECT_EQ(calls[0].args[1].value, Variant::ui1(9));
    EXPECT_EQ(calls[13].args[0].value, Variant::i2(2));
    const auto face = host.callsOf(61).at(0);
    // Edge sums of y: 20, -490, -1000, -490; the third edge is the eaves.
    EXPECT_EQ(argDoubles(face, 0), (std::vector<double>{0, -500, 10, -500, 10, 10, 0, 10}));
    EXPECT_EQ(numbers(face, 1), (std::vector<double>{4, 5800, 500, 0, 0, 150, 1}));
    EXPECT_EQ(host.callsOf(219).at(0).args[0].value, Variant::r8(150));
}

TEST(RoofBuildTest, ClearingStopsWhenTheObjectListNeverEnds)
{
    const Common::ScopedHostObjectWalkLimit limit(20);
    ImportModel m;
    addRoof(m, 3, rectangle(0, 0, 10, 10), 20);
    PermissiveHost host;
    host.objects = {{2, 24}};
    host.host->on(63, [](Common::Arguments&, Variant& r) { r = Variant::i4(1); });  // never the end
    try {
        Importer::buildRoofs(m, host.object, Importer::RoofMode::ManualFaces, 2);
        ADD_FAILURE() << "the clearing did not stop";
    } catch (const Common::HostError& error) {
        EXPECT_STREQ(error.what(), "the host's object list did not come to an end after 20 objects");
    }
    EXPECT_EQ(host.callsOf(158).size(), 20u);
    EXPECT_TRUE(host.callsOf(61).empty());  // no face is built after a failed clearing
}

TEST(RoofBuildTest, NoRoofCallsInOtherModesAndNoThicknessWithoutARoof)
{
    ImportModel m;
    addRoof(m, 2, rectangle(0, 0, 10, 10), 20);
    PermissiveHost none;
    Importer::buildRoofs(m, none.object, Importer::RoofMode::None, 1);
    EXPECT_TRUE(none.ops().empty());

    PermissiveHost notMade;
    notMade.typeAfterCreate = 19;
    Importer::buildRoofs(m, notMade.object, Importer::RoofMode::ManualFaces, 1);
    EXPECT_EQ(notMade.ops(), (std::vector<int>{59, 62, 39, 61, 64}));
    EXPECT_EQ(argR8(notMade.callsOf(61).at(0), 6), 20);
}

TEST(RoofBuildTest, EachStoreyBuildsTheRoofsOfTheStoreyAboveInTheModelsOrder)
{
    ImportModel m;
    const auto& upperFirst = addRoof(m, 3, rectangle(0, 0, 10, 10), 20);
    const auto& lower = addRoof(m, 2, rectangle(0, 0, 10, 10), 20);
    const auto& upperSecond = addRoof(m, 3, rectangle(0, 0, 10, 10), 20);
    addRoof(m, std::numeric_limits<int>::min(), rectangle(0, 0, 10, 10), 20);  // below every storey
    const Importer::RoofsByStorey roofs(m);
    EXPECT_EQ(roofs.builtFrom(2), (std::vector<const Importer::ImportRoof*>{&upperFirst, &upperSecond}));
    EXPECT_EQ(roofs.builtFrom(1), (std::vector<const Importer::ImportRoof*>{&lower}));
    EXPECT_TRUE(roofs.builtFrom(3).empty());
    EXPECT_TRUE(roofs.builtFrom(std::numeric_limits<int>::max()).empty());
    EXPECT_TRUE(roofs.builtFrom(std::numeric_limits<int>::min()).empty());
}
