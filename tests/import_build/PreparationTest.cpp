#include <cmath>
#include <limits>

#include "BuildFixture.h"
#include "importer/preparation/OverlapResolution.h"
#include "importer/preparation/Preparation.h"
#include "support/TempFolder.h"

using namespace ImportBuildTest;
using Importer::ImportOpening;
using Importer::ImportWall;

namespace {

std::wstring widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

struct Prepared {
    PermissiveHost host;
    FakePlatform platform;
    TestSupport::TempFolder folder;
    std::wstring ini;

    explicit Prepared(const std::string& iniText = "") { ini = widen(folder.write("CDX2DM.ini", iniText)); }
    void run(ImportModel& m, int extendType = 0) { Importer::prepareImport(m, host.object, ini, extendType, platform); }
};

void expectSegment(const Vector2d& a, const Vector2d& b, const Vector2d& ea, const Vector2d& eb)
{
    EXPECT_NEAR(a.x, ea.x, 1e-9);
    EXPECT_NEAR(a.y, ea.y, 1e-9);
    EXPECT_NEAR(b.x, eb.x, 1e-9);
    EXPECT_NEAR(b.y, eb.y, 1e-9);
}

}  // namespace

TEST(OverlapIntervalTest, CollinearWithinToleranceOnlyAndClampedToTheReference)
{
    using Importer::overlapInterval;
    const Vector2d a(0, 0), b(1000, 0);
    auto i = overlapInterval(a, b, Vector2d(-500, 0), Vector2d(250, 0.009));
    EXPECT_DOUBLE_EQ(i.t0, 0);
    EXPECT_DOUBLE_EQ(i.t1, 0.25);
    EXPECT_FALSE(overlapInterval(a, b, Vector2d(0, 0.02), Vector2d(500, 0.02)).overlaps());  // parallel, apart
    EXPECT_FALSE(overlapInterval(a, b, Vector2d(1000, 0), Vector2d(2000, 0)).overlaps());    // touching ends
    EXPECT_FALSE(overlapInterval(a, b, Vector2d(500, -100), Vector2d(500, 100)).overlaps());  // crossing
    EXPECT_FALSE(overlapInterval(a, a, Vector2d(0, 0), Vector2d(10, 0)).overlaps());          // zero length
    i = overlapInterval(a, b, Vector2d(800, 0), Vector2d(200, 0));  // reversed direction
    EXPECT_DOUBLE_EQ(i.t0, 0.2);
    EXPECT_DOUBLE_EQ(i.t1, 0.8);
}

TEST(PrepareWallsTest, IdenticalWallsBecomeTheFirstOne)
{
    ImportModel m;
    addWall(m, 1, Vector2d(0, 0), Vector2d(1000, 0), 1, 120);
    addWall(m, 1, Vector2d(0, 0), Vector2d(1000, 0), 3, 150);
    Prepared p;
    p.run(m);
    ASSERT_EQ(m.walls.size(), 1u);
    EXPECT_EQ(m.walls[0]->thickness, 120);
    EXPECT_EQ(m.walls[0]->kindCode, 1);
    expectSegment(m.walls[0]->start, m.walls[0]->end, Vector2d(0, 0), Vector2d(1000, 0));
    EXPECT_TRUE(p.platform.messages.empty());
}

TEST(PrepareWallsTest, ShortWallInsideLongOneInBothOrders)
{
    {  // short first: it stays, the long wall keeps its two uncovered ends
        ImportModel m;
        addWall(m, 1, Vector2d(400, 0), Vector2d(600, 0), 3, 150);
        addWall(m, 1, Vector2d(0, 0), Vector2d(1000, 0), 1, 120);
        Prepared p;
        p.run(m);
        ASSERT_EQ(m.walls.size(), 3u);
        EXPECT_EQ(m.walls[0]->kindCode, 3);
        EXPECT_EQ(m.walls[0]->thickness, 150);
        expectSegment(m.walls[0]->start, m.walls[0]->end, Vector2d(400, 0), Vector2d(600, 0));
        expectSegment(m.walls[1]->start, m.walls[1]->end, Vector2d(0, 0), Vector2d(400, 0));
        expectSegment(m.walls[2]->start, m.walls[2]->end, Vector2d(600, 0), Vector2d(1000, 0));
        EXPECT_EQ(m.walls[1]->kindCode, 1);
        EXPECT_EQ(m.walls[2]->thickness, 120);
    }
    {  // long first: it holds the whole line, the short wall goes
        ImportModel m;
        addWall(m, 1, Vector2d(0, 0), Vector2d(1000, 0), 1, 120);
        addWall(m, 1, Vector2d(400, 0), Vector2d(600, 0), 3, 150);
        Prepared p;
        p.run(m);
        ASSERT_EQ(m.walls.size(), 3u);
        for (const auto& w : m.walls) {
            EXPECT_EQ(w->kindCode, 1);
            EXPECT_EQ(w->thickness, 120);
        }
        expectSegment(m.walls[0]->start, m.walls[0]->end, Vector2d(400, 0), Vector2d(600, 0));
        expectSegment(m.walls[1]->start, m.walls[1]->end, Vector2d(0, 0), Vector2d(400, 0));
        expectSegment(m.walls[2]->start, m.walls[2]->end, Vector2d(600, 0), Vector2d(1000, 0));
    }
}

TEST(PrepareWallsTest, CrossingTouchingAndOtherStoreysStayAsTheyAre)
{
    ImportModel m;
    addWall(m, 1, Vector2d(0, 0), Vector2d(1000, 0));
    addWall(m, 1, Vector2d(500, -500), Vector2d(500, 500));
    addWall(m, 1, Vector2d(1000, 0), Vector2d(2000, 0));
    addWall(m, 2, Vector2d(0, 0), Vector2d(1000, 0));
    addWall(m, 1, Vector2d(5000, 0), Vector2d(5000, 0.005));  // shrunk to nothing: dropped
    Prepared p;
    p.run(m);
    ASSERT_EQ(m.walls.size(), 4u);
    EXPECT_EQ(m.walls[3]->storey, 2);
    expectSegment(m.walls[1]->start, m.walls[1]->end, Vector2d(500, -500), Vector2d(500, 500));
}

TEST(PrepareOpeningsTest, OverlappingWindowsShareTheWiderSpanOfHeights)
{
    ImportModel m;
    addOpening(m, 1, Vector2d(0, 0), Vector2d(1000, 0), 1, 2000, 1000, 1000);   // 1000 .. 2000
    addOpening(m, 1, Vector2d(500, 0), Vector2d(1500, 0), 7, 2200, 800, 1000);  // 1400 .. 2200
    Prepared p;
    p.run(m);
    ASSERT_EQ(m.openings.size(), 3u);
    const ImportOpening& shared = *m.openings[0];
    expectSegment(shared.start, shared.end, Vector2d(500, 0), Vector2d(1000, 0));
    EXPECT_DOUBLE_EQ(shared.headHeight, 2200);
    EXPECT_DOUBLE_EQ(shared.height, 1200);
    EXPECT_DOUBLE_EQ(shared.width, 500);
    EXPECT_EQ(shared.kindCode, 1);
    const ImportOpening& firstOnly = *m.openings[1];
    expectSegment(firstOnly.start, firstOnly.end, Vector2d(0, 0), Vector2d(500, 0));
    EXPECT_DOUBLE_EQ(firstOnly.headHeight, 2000);
    EXPECT_DOUBLE_EQ(firstOnly.height, 1000);
    EXPECT_DOUBLE_EQ(firstOnly.width, 500);
    const ImportOpening& secondOnly = *m.openings[2];
    expectSegment(secondOnly.start, secondOnly.end, Vector2d(1000, 0), Vector2d(1500, 0));
    EXPECT_DOUBLE_EQ(secondOnly.headHeight, 2200);
    EXPECT_DOUBLE_EQ(secondOnly.height, 800);
    EXPECT_EQ(secondOnly.kindCode, 7);
}

TEST(PrepareOpeningsTest, PartialHeightWallsCutOpenings)
{
    ImportModel m;
    addWall(m, 1, Vector2d(200, 0), Vector2d(600, 0), 3);      // waist-high, in the middle of opening 1
    addWall(m, 1, Vector2d(3000, 0), Vector2d(4000, 0), 2);    // hanging, covers opening 2
    addWall(m, 1, Vector2d(5600, 0), Vector2d(7000, 0), 3);    // covers the end of opening 3
    addWall(m, 1, Vector2d(8000, 0), Vector2d(9000, 0), 1);    // full height: no cut
    addOpening(m, 1, Vector2d(0, 0), Vector2d(1000, 0));
    addOpening(m, 1, Vector2d(3200, 0), Vector2d(3800, 0));
    addOpening(m, 1, Vector2d(5000, 0), Vector2d(6000, 0));
    addOpening(m, 1, Vector2d(8200, 0), Vector2d(8800, 0), 1, 2000, 1000, 600);
    Prepared p;
    p.run(m);
    ASSERT_EQ(m.openings.size(), 4u);
    // Unaffected openings keep their place in the list; pieces come after.
    expectSegment(m.openings[0]->start, m.openings[0]->end, Vector2d(8200, 0), Vector2d(8800, 0));
    EXPECT_DOUBLE_EQ(m.openings[0]->width, 600);
    expectSegment(m.openings[1]->start, m.openings[1]->end, Vector2d(0, 0), Vector2d(200, 0));
    EXPECT_DOUBLE_EQ(m.openings[1]->width, 200);
    expectSegment(m.openings[2]->start, m.openings[2]->end, Vector2d(600, 0), Vector2d(1000, 0));
    EXPECT_DOUBLE_EQ(m.openings[2]->width, 400);
    expectSegment(m.openings[3]->start, m.openings[3]->end, Vector2d(5000, 0), Vector2d(5600, 0));
    EXPECT_DOUBLE_EQ(m.openings[3]->width, 600);
}

TEST(PrepareOpeningsTest, PullBackTakesHalfTheStandardWallThicknessOffEachEnd)
{
    ImportModel m;
    addOpening(m, 1, Vector2d(0, 0), Vector2d(1000, 0), 1, 2000, 1000, 1000);
    addOpening(m, 2, Vector2d(0, 500), Vector2d(0, 600), 1, 2000, 1000, 100);  // shorter than 120
    Prepared p;
    p.run(m, 1);
    ASSERT_EQ(p.host.callsOf(172).size(), 1u);
    ASSERT_EQ(m.openings.size(), 2u);
    expectSegment(m.openings[0]->start, m.openings[0]->end, Vector2d(60, 0), Vector2d(940, 0));
    EXPECT_DOUBLE_EQ(m.openings[0]->width, 1000);  // width and height stay as read
    // A short opening shrinks to its midpoint instead of turning around.
    expectSegment(m.openings[1]->start, m.openings[1]->end, Vector2d(0, 550), Vector2d(0, 550));

    ImportModel untouched;
    addOpening(untouched, 1, Vector2d(0, 0), Vector2d(1000, 0));
    Prepared q;
    q.run(untouched, 0);
    EXPECT_TRUE(q.host.ops().empty());
    expectSegment(untouched.openings[0]->start, untouched.openings[0]->end, Vector2d(0, 0), Vector2d(1000, 0));
}

TEST(PrepareLevelsTest, FloorOffsetsAndTheSixteenBitCut)
{
    ImportModel m;
    m.levelByStorey = {{1, 500.0f}, {2, 5000.0f}, {6, 1000.0f}};
    Prepared p("[COMMON]\nFloorOffset1=50\nFloorOffset2=70000\nFloorOffset6=99\n");
    p.run(m);
    EXPECT_FLOAT_EQ(m.floorLevelByStorey.at(1), 450.0f);
    EXPECT_FLOAT_EQ(m.floorLevelByStorey.at(2), 536.0f);  // 70000 holds 4464 in 16 bits
    EXPECT_FLOAT_EQ(m.floorLevelByStorey.at(6), 1000.0f);
    EXPECT_FLOAT_EQ(m.levelByStorey.at(1), 500.0f);

    ImportModel given;  // floor levels already there are kept
    given.levelByStorey = {{1, 500.0f}};
    given.floorLevelByStorey = {{1, 123.0f}};
    p.run(given);
    EXPECT_FLOAT_EQ(given.floorLevelByStorey.at(1), 123.0f);
}

// Storeys 0 to 4 have an offset of their own; the storeys just outside that
// range take none, even when the ini file names one for them.
TEST(PrepareLevelsTest, FloorOffsetsAtTheEdgesOfTheirRange)
{
    ImportModel m;
    m.levelByStorey = {{-1, 1000.0f}, {0, 1000.0f}, {4, 1000.0f}, {5, 1000.0f}};
    Prepared p("[COMMON]\nFloorOffset-1=1\nFloorOffset0=10\nFloorOffset4=40\nFloorOffset5=50\n");
    p.run(m);
    EXPECT_FLOAT_EQ(m.floorLevelByStorey.at(-1), 1000.0f);
    EXPECT_FLOAT_EQ(m.floorLevelByStorey.at(0), 990.0f);
    EXPECT_FLOAT_EQ(m.floorLevelByStorey.at(4), 960.0f);
    EXPECT_FLOAT_EQ(m.floorLevelByStorey.at(5), 1000.0f);
}

TEST(PrepareRoomsTest, MissingHeightsComeFromTheLevels)
{
    ImportModel m;
    m.levelByStorey = {{1, 0.0f}, {2, 2900.0f}};
    const double missing = Importer::kMissingHeight;
    addRoom(m, 2, rectangle(0, 0, 10, 10), 0, L"top", missing, missing);
    addRoom(m, 1, rectangle(0, 0, 10, 10), 0, L"low ceiling", 500, 400);
    addRoom(m, 4, rectangle(0, 0, 10, 10), 0, L"no level", missing, 3000);
    Prepared p;
    p.run(m);
    EXPECT_DOUBLE_EQ(m.rooms[0]->floorHeight, 2900);
    EXPECT_DOUBLE_EQ(m.rooms[0]->ceilingHeight, 0);  // the storey above is added with level 0
    ASSERT_EQ(m.levelByStorey.count(3), 1u);
    EXPECT_FLOAT_EQ(m.levelByStorey.at(3), 0.0f);
    EXPECT_DOUBLE_EQ(m.rooms[1]->ceilingHeight, 2900);
    EXPECT_DOUBLE_EQ(m.rooms[2]->floorHeight, 0);
    EXPECT_EQ(m.floorLevelByStorey.count(4), 1u);
    EXPECT_DOUBLE_EQ(m.rooms[2]->ceilingHeight, 3000);
}

TEST(PrepareRoomsTest, BalconiesOnlyByTheExactName)
{
    ImportModel m;
    for (const wchar_t* name : {L"ベランダ", L"ﾍﾞﾗﾝﾀﾞ", L"バルコニー", L"ﾊﾞﾙｺﾆｰ", L"2階バルコニー", L"バルコニー北"}) {
        addRoom(m, 1, rectangle(0, 0, 10, 10), 5, name);
    }
    Prepared p;
    p.run(m);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m.rooms[static_cast<std::size_t>(i)]->kindCode, 17) << i;
    }
    EXPECT_EQ(m.rooms[4]->kindCode, 5);
    EXPECT_EQ(m.rooms[5]->kindCode, 5);
}

TEST(PrepareRoofsTest, MissingFinishThicknessTakesTheDefaultEavesThickness)
{
    ImportModel m;
    m.roofs.push_back(std::make_unique<Importer::ImportRoof>());
    m.roofs.push_back(std::make_unique<Importer::ImportRoof>());
    m.roofs[1]->finishThickness = 0;
    Prepared p("[IMPORT]\nDefaultEavesThick=25\n");
    p.run(m);
    EXPECT_DOUBLE_EQ(m.roofs[0]->finishThickness, 25);
    EXPECT_DOUBLE_EQ(m.roofs[1]->finishThickness, 0);
}

TEST(PrepareNonFiniteTest, RecordsWithNonFiniteNumbersAreSkippedAndReported)
{
    ImportModel m;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    m.levelByStorey = {{1, 0.0f}, {2, 2900.0f}};
    addWall(m, 1, Vector2d(nan, 0), Vector2d(1000, 0));
    addWall(m, 1, Vector2d(0, 0), Vector2d(1000, 0), 2, 120, inf, 0);
    addWall(m, 1, Vector2d(0, 500), Vector2d(1000, 500));
    addOpening(m, 1, Vector2d(0, 0), Vector2d(1000, 0), 1, nan);
    addRoom(m, 1, rectangle(0, 0, 10, 10), 0, L"", -inf, 2000);
    addRoom(m, 1, rectangle(0, 0, 10, 10), 0, L"", Importer::kMissingHeight, Importer::kMissingHeight);
    Prepared p;
    p.run(m);
    ASSERT_EQ(m.walls.size(), 1u);
    EXPECT_DOUBLE_EQ(m.walls[0]->start.y, 500);
    EXPECT_TRUE(m.openings.empty());
    ASSERT_EQ(m.rooms.size(), 1u);  // the missing-height marker is not an error
    EXPECT_DOUBLE_EQ(m.rooms[0]->ceilingHeight, 2900);
    ASSERT_EQ(p.platform.errors.size(), 4u);
    EXPECT_NE(p.platform.errors[0].find(L"Room 1"), std::wstring::npos);
    EXPECT_NE(p.platform.errors[1].find(L"Wall 1"), std::wstring::npos);
    EXPECT_NE(p.platform.errors[2].find(L"Wall 2"), std::wstring::npos);
    EXPECT_NE(p.platform.errors[3].find(L"Opening 1"), std::wstring::npos);
}

namespace {

// Three walls on two lines 0.005 apart: each pair counts as collinear, but
// the pieces cut at one line's projections never settle on the other.
template <typename Add>
void nearlyCollinear(ImportModel& m, Add add)
{
    add(m, 1, Vector2d(5500, 0.005), Vector2d(2250, 0.005));
    add(m, 1, Vector2d(4500, 0), Vector2d(7250, 0));
    add(m, 1, Vector2d(3750, 0.005), Vector2d(6250, 0.005));
}

}  // namespace

TEST(PrepareLimitsTest, RestlessWallsAndOpeningsEndWithOneWarning)
{
    ImportModel m(4711);
    nearlyCollinear(m, [](ImportModel& mm, int s, Vector2d a, Vector2d b) { addWall(mm, s, a, b); });
    nearlyCollinear(m, [](ImportModel& mm, int s, Vector2d a, Vector2d b) { addOpening(mm, s, a, b); });
    Prepared p;
    p.run(m);
    ASSERT_EQ(p.platform.messages.size(), 1u);
    EXPECT_EQ(p.platform.messages[0],
              L"CEDXMファイルにインポート困難な箇所があります。\r\n"
              L"エクスポート側のソフトで、データの入力状態を\r\n"
              L"修正することで改善できる場合があります。");
    EXPECT_EQ(p.platform.captions[0], L"CEDXM入力");
    EXPECT_EQ(p.platform.messageOwners[0], 4711);
    EXPECT_FALSE(m.walls.empty());
    for (const auto& w : m.walls) {
        EXPECT_GT((w->end - w->start).lengthSquared(), 0.0001);
    }
    EXPECT_FALSE(m.openings.empty());
}

TEST(PrepareLimitsTest, EachStepGivesUpOnItsOwn)
{
    ImportModel walls;
    nearlyCollinear(walls, [](ImportModel& mm, int s, Vector2d a, Vector2d b) { addWall(mm, s, a, b); });
    bool gaveUp = false;
    auto resolved = Importer::resolveOverlappingWalls(std::move(walls.walls), gaveUp);
    EXPECT_TRUE(gaveUp);

    ImportModel openings;
    nearlyCollinear(openings, [](ImportModel& mm, int s, Vector2d a, Vector2d b) { addOpening(mm, s, a, b); });
    auto merged = Importer::mergeOverlappingOpenings(std::move(openings.openings), gaveUp);
    EXPECT_TRUE(gaveUp);
    EXPECT_FALSE(merged.empty());
}

TEST(PrepareLimitsTest, OpeningCutAtPartialWallsGivesUpAndKeepsTheRestUncut)
{
    // One opening of 6000 under 600 short hanging walls with gaps between
    // them. Each cut ends the remaining piece at a computed point that can
    // round to a hair inside the wall just cut; that piece then overlaps
    // the same wall again and the cut repeats for ever unless the work
    // list stops after 1000 passes for its one opening.
    ImportModel m(4711);
    addOpening(m, 1, Vector2d(0, 0), Vector2d(6000, 0));
    for (int j = 0; j < 600; ++j) {
        addWall(m, 1, Vector2d(10 * j + 2, 0), Vector2d(10 * j + 8, 0), 2);
    }
    Prepared p;
    p.run(m);

    ASSERT_EQ(p.platform.messages.size(), 1u);
    EXPECT_EQ(p.platform.messages[0],
              L"CEDXMファイルにインポート困難な箇所があります。\r\n"
              L"エクスポート側のソフトで、データの入力状態を\r\n"
              L"修正することで改善できる場合があります。");
    EXPECT_EQ(p.platform.captions[0], L"CEDXM入力");
    EXPECT_EQ(p.platform.messageOwners[0], 4711);
    EXPECT_EQ(m.walls.size(), 600u);

    // Handed on in order: the gaps before the walls cut so far, then the
    // piece that was still being worked on, left as it was: it reaches the
    // opening's end and still runs along the walls not yet cut, so nothing
    // of the opening is lost.
    const std::size_t n = m.openings.size();
    ASSERT_GE(n, 2u);
    ASSERT_LT(n, 601u);  // all 600 walls cut would leave 601 pieces
    expectSegment(m.openings[0]->start, m.openings[0]->end, Vector2d(0, 0), Vector2d(2, 0));
    for (std::size_t j = 1; j + 1 < n; ++j) {
        const auto& o = *m.openings[j];
        const double x = 10.0 * static_cast<double>(j);
        expectSegment(o.start, o.end, Vector2d(x - 2, 0), Vector2d(x + 2, 0));
        EXPECT_NEAR(o.width, 4, 1e-9);
    }
    const auto& rest = *m.openings[n - 1];
    const double restStart = 10.0 * static_cast<double>(n - 1) - 2;
    expectSegment(rest.start, rest.end, Vector2d(restStart, 0), Vector2d(6000, 0));
    EXPECT_NEAR(rest.width, 6000 - restStart, 1e-9);
}
