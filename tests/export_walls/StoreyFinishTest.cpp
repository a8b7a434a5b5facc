// Finishing the storeys: room-edge walls and exterior wall lines, storey by
// storey, after the walls and openings read from the host objects.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <random>

#include "FakePlan.h"
#include "common/geometry/Geometry.h"
#include "common/host/HostDocument.h"
#include "exporter/reading/RoomHeightRange.h"
#include "exporter/reading/RoomPass.h"
#include "exporter/reading/StoreyFinish.h"
#include "exporter/reading/WallPass.h"

namespace WallTests {
namespace {

using Common::Segment;
using Common::Vector2d;
using Exporter::ExportModel;
using Exporter::ExportRoom;
using Exporter::ExportWall;

void addRoom(ExportModel& model, int storey, std::vector<Vector2d> outline, double floor, double ceiling)
{
    auto room = std::make_unique<ExportRoom>();
    room->storey = storey;
    room->kindCode = 11;
    room->outline = std::move(outline);
    room->floorHeight = floor;
    room->ceilingHeight = ceiling;
    model.rooms.push_back(std::move(room));
}

TEST(RoomEdgeWalls, ShortLinesAreDroppedAndHeightsComeFromTheRooms)
{
    ExportModel model;
    addRoom(model, 1, {{0, 0}, {4000, 0}, {4000, 3000}, {0, 3000}}, 100, 2500);
    addRoom(model, 1, {{4000, 0}, {6000, 0}, {6000, 3000}, {4000, 3000}}, 150, 2400);
    const std::vector<Segment> lines{
        {{0, 0}, {0.09, 0}},           // 0.09 long: dropped
        {{0, 0}, {0.11, 0}},           // 0.11 long: a wall
        {{4000, 500}, {4000, 2500}},   // between both rooms
        {{9000, 0}, {9500, 0}},        // in no room: still a wall, at 0 to 0
        {{10, 10}, {10, 10.0999}},     // dropped
    };
    Exporter::appendRoomEdgeWalls(model, 1, lines, 120);
    ASSERT_EQ(model.walls.size(), 3u);
    for (const auto& wall : model.walls) {
        EXPECT_EQ(wall->storey, 1);
        EXPECT_EQ(wall->kindCode, 1);
        EXPECT_DOUBLE_EQ(wall->thickness, 120);
    }
    EXPECT_EQ(model.walls[0]->end, Vector2d(0.11, 0));
    EXPECT_DOUBLE_EQ(model.walls[0]->bottomHeight, 100);
    EXPECT_DOUBLE_EQ(model.walls[0]->topHeight, 2500);
    EXPECT_DOUBLE_EQ(model.walls[1]->bottomHeight, 150);
    EXPECT_DOUBLE_EQ(model.walls[1]->topHeight, 2500);
    EXPECT_EQ(model.walls[2]->start, Vector2d(9000, 0));
    EXPECT_DOUBLE_EQ(model.walls[2]->bottomHeight, 0);
    EXPECT_DOUBLE_EQ(model.walls[2]->topHeight, 0);

    // Along an edge and reaching beyond the room: it matches; touching the
    // room only at a corner: it does not.
    Exporter::appendRoomEdgeWalls(model, 1, {{{-1000, 0}, {1000, 0}}, {{-1000, 3000}, {0, 3000}}}, 120);
    ASSERT_EQ(model.walls.size(), 5u);
    EXPECT_DOUBLE_EQ(model.walls[3]->topHeight, 2500);
    EXPECT_DOUBLE_EQ(model.walls[4]->topHeight, 0);
    model.walls.resize(3);

    // The same line on a storey without rooms.
    Exporter::appendRoomEdgeWalls(model, 2, {{{0, 0}, {4000, 0}}}, 120);
    ASSERT_EQ(model.walls.size(), 4u);
    EXPECT_EQ(model.walls[3]->storey, 2);
    EXPECT_DOUBLE_EQ(model.walls[3]->topHeight, 0);
}

// --- The whole pass, with the wall and exterior outline algorithms. ---

struct Plan {
    std::shared_ptr<FakePlan> plan = std::make_shared<FakePlan>();
    ExportModel model;

    Plan() { plan->settings[10] = 0; }  // storey 1 at 0, storey 2 at 2900

    void read(int openingExtendType = 0)
    {
        Common::HostDocument document(plan);
        Exporter::readRooms(model, document);
        Exporter::readWallsAndOpenings(model, document, openingExtendType);
    }
};

bool near(const Vector2d& a, const Vector2d& b)
{
    return std::abs(a.x - b.x) < 1e-6 && std::abs(a.y - b.y) < 1e-6;
}

// The room-edge walls of `storey` with ends a and b, in either direction.
int wallsBetween(const ExportModel& model, int storey, const Vector2d& a, const Vector2d& b)
{
    int n = 0;
    for (const auto& w : model.walls) {
        if (w->storey == storey && ((near(w->start, a) && near(w->end, b)) || (near(w->start, b) && near(w->end, a)))) {
            ++n;
        }
    }
    return n;
}

TEST(StoreyFinish, OneRoomGivesItsFourEdgesAndOneExteriorLine)
{
    Plan p;
    p.plan->objects = {room(1, 2, rect(0, 0, 4000, 3000), 0, 2400)};
    p.read();
    ASSERT_EQ(p.model.walls.size(), 4u);
    EXPECT_EQ(wallsBetween(p.model, 1, {0, 0}, {4000, 0}), 1);
    EXPECT_EQ(wallsBetween(p.model, 1, {4000, 0}, {4000, 3000}), 1);
    EXPECT_EQ(wallsBetween(p.model, 1, {4000, 3000}, {0, 3000}), 1);
    EXPECT_EQ(wallsBetween(p.model, 1, {0, 3000}, {0, 0}), 1);
    for (const auto& w : p.model.walls) {
        EXPECT_EQ(w->kindCode, 1);
        EXPECT_DOUBLE_EQ(w->thickness, 120);
        EXPECT_DOUBLE_EQ(w->bottomHeight, 0);
        EXPECT_DOUBLE_EQ(w->topHeight, 2400);
    }
    ASSERT_EQ(p.model.outerLines.size(), 1u);
    EXPECT_EQ(p.model.outerLines[0]->storey, 1);
    EXPECT_EQ(p.model.outerLines[0]->points.size(), 4u);
}

TEST(StoreyFinish, StoreysAreFinishedInAscendingOrderAfterTheObjectWalls)
{
    Plan p;
    p.plan->objects = {
        room(2, 2, rect(0, 0, 3000, 3000), 0, 2400),
        wallBox(5, 1500, 1500, 1000, 100, 1, 0, 0, 2),
        room(1, 2, rect(0, 0, 4000, 3000), 0, 2400),
    };
    p.read();
    ASSERT_EQ(p.model.walls.size(), 9u);
    EXPECT_EQ(p.model.walls[0]->storey, 2);  // the wall box, in object order
    EXPECT_EQ(p.model.walls[0]->start, Vector2d(1000, 1500));
    for (std::size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(p.model.walls[i]->storey, 1) << i;
    }
    for (std::size_t i = 5; i < 9; ++i) {
        EXPECT_EQ(p.model.walls[i]->storey, 2) << i;
        EXPECT_DOUBLE_EQ(p.model.walls[i]->bottomHeight, 2900);
        EXPECT_DOUBLE_EQ(p.model.walls[i]->topHeight, 5300);
    }
    EXPECT_EQ(wallsBetween(p.model, 2, {3000, 0}, {3000, 3000}), 1);
    ASSERT_EQ(p.model.outerLines.size(), 2u);
    EXPECT_EQ(p.model.outerLines[0]->storey, 1);
    EXPECT_EQ(p.model.outerLines[1]->storey, 2);
}

TEST(StoreyFinish, AFullHeightOpeningCutsItsSpanOutOfTheRoomEdge)
{
    Plan p;
    p.plan->objects = {room(1, 2, rect(0, 0, 4000, 3000), 0, 2400), attached(21, 1000, 0, 1800, 0, 0, 0)};
    p.read();
    ASSERT_EQ(p.model.walls.size(), 5u);
    EXPECT_EQ(wallsBetween(p.model, 1, {0, 0}, {1000, 0}), 1);
    EXPECT_EQ(wallsBetween(p.model, 1, {1800, 0}, {4000, 0}), 1);
    EXPECT_EQ(wallsBetween(p.model, 1, {0, 0}, {4000, 0}), 0);
    EXPECT_EQ(p.model.openings.size(), 1u);
    EXPECT_EQ(p.model.outerLines.size(), 1u);
}

TEST(StoreyFinish, WindowsAndFittingsLeaveTheRoomEdgeWhole)
{
    Plan p;
    p.plan->objects = {room(1, 2, rect(0, 0, 4000, 3000), 0, 2400), attached(22, 1000, 0, 1800, 0, 2000, 800),
                       withFitting(plainObject(27), FakeFitting{L"W.m3d", 3000, 0, 900, 0, 800, 1100})};
    p.read();
    EXPECT_EQ(p.model.walls.size(), 4u);
    EXPECT_EQ(wallsBetween(p.model, 1, {0, 0}, {4000, 0}), 1);
    EXPECT_EQ(p.model.openings.size(), 2u);
}

TEST(StoreyFinish, BalconiesAndUnknownRoomsGiveNoRoomEdgesNorExteriorLines)
{
    Plan p;
    p.plan->objects = {room(1, 21, rect(0, 0, 4000, 1000), 0, 1000), room(1, 30, rect(5000, 0, 6000, 1000), 0, 2400)};
    p.read();
    EXPECT_TRUE(p.model.walls.empty());
    EXPECT_TRUE(p.model.outerLines.empty());
    EXPECT_EQ(p.model.rooms.size(), 2u);
}

}  // namespace
}  // namespace WallTests

using Common::Vector2d;

namespace {

// The answer of the plain walk over every room of the storey, in room order.
Exporter::RoomHeightRange plainRange(const Exporter::ExportModel& model, int storey, const Vector2d& p1,
                                     const Vector2d& p2)
{
    Exporter::RoomHeightRange plain;
    bool matched = false;
    for (const auto& room : model.rooms) {
        if (room->storey != storey || room->outline.empty()) {
            continue;
        }
        const auto inOrOn = [&](const Vector2d& p) { return Common::pointAgainstOutline(p, room->outline, 0.01) >= 1; };
        if ((inOrOn(p1) && inOrOn(p2)) || Common::segmentAlongBoundary(p1, p2, room->outline, 0.01)) {
            plain.floorMax = matched ? std::max(plain.floorMax, room->floorHeight) : room->floorHeight;
            plain.ceilingMax = matched ? std::max(plain.ceilingMax, room->ceilingHeight) : room->ceilingHeight;
            matched = true;
        }
    }
    return plain;
}

void addRoom(Exporter::ExportModel& model, std::vector<Vector2d> outline, double floor, double ceiling, int storey = 1)
{
    auto r = std::make_unique<Exporter::ExportRoom>();
    r->storey = storey;
    r->floorHeight = floor;
    r->ceilingHeight = ceiling;
    r->outline = std::move(outline);
    model.rooms.push_back(std::move(r));
}

// Equal, or both not a number.
bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace

TEST(RoomHeightIndexTest, FinelyDrawnRoomsMatchThePlainPointAndEdgeTests)
{
    // A round room of many points (its edges found by position) beside a
    // plain square; segments ending on points, on edges, just within and just
    // beyond the tolerance, inside, outside and across.
    Exporter::ExportModel model;
    std::vector<Vector2d> round;
    for (int i = 0; i < 500; ++i) {
        const double a = -2 * std::numbers::pi * i / 500;
        round.push_back(Vector2d(3000 + 2000 * std::cos(a), 3000 + 2000 * std::sin(a)));
    }
    addRoom(model, round, 100, 2500);
    addRoom(model, {Vector2d(5000, 2000), Vector2d(5000, 4000), Vector2d(7000, 4000), Vector2d(7000, 2000)}, 50, 2400);
    const Exporter::RoomHeightIndex index(model);

    std::mt19937 random(3);
    std::uniform_int_distribution<std::size_t> pick(0, round.size() - 1);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double offsets[] = {0.0, 0.009, -0.009, 0.0101, 0.5, 300.0};
    const auto somewhere = [&]() {
        const std::size_t i = pick(random);
        const Vector2d a = round[i], b = round[(i + 1) % round.size()];
        const Vector2d onEdge = a + (b - a) * (random() % 3 == 0 ? 0.0 : unit(random));
        const Vector2d outward = (onEdge - Vector2d(3000, 3000)).unit();
        return onEdge + outward * offsets[random() % 6];
    };
    for (int k = 0; k < 400; ++k) {
        const Vector2d p1 = somewhere(), p2 = k % 4 == 0 ? Vector2d(5000, 2000 + unit(random) * 2000) : somewhere();
        const Exporter::RoomHeightRange plain = plainRange(model, 1, p1, p2);
        const Exporter::RoomHeightRange fast = index.range(1, p1, p2);
        EXPECT_EQ(fast.floorMax, plain.floorMax) << k;
        EXPECT_EQ(fast.ceilingMax, plain.ceilingMax) << k;
    }
}

TEST(RoomHeightIndexTest, LongRowsFindTheirRoomsAsThePlainWalkDoes)
{
    // A row of rooms, rooms on top of each other with heights that are not
    // numbers (where the order of the rooms decides the answer), a room with
    // a point that is not finite, one far away, one the size of the row and
    // one of a single point; segments along and across the row, within and
    // just beyond the tolerance, longer than the grid looks at, and endless.
    Exporter::ExportModel model;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < 300; ++k) {
        const double x = 910.0 * k;
        const double floor = k % 50 == 7 ? nan : 10.0 * (k % 13);
        addRoom(model, {Vector2d(x, 0), Vector2d(x, 2730), Vector2d(x + 910, 2730), Vector2d(x + 910, 0)}, floor,
                2400 + k % 7);
        if (k % 50 == 7) {
            addRoom(model, {Vector2d(x, 0), Vector2d(x, 2730), Vector2d(x + 910, 2730), Vector2d(x + 910, 0)}, 20,
                    nan);
        }
    }
    addRoom(model, {Vector2d(1000, 1000), Vector2d(nan, 2000), Vector2d(2000, 1000)}, 99, 2999);
    addRoom(model, {Vector2d(5e11, 0), Vector2d(5e11, 1000), Vector2d(5e11 + 1000, 1000), Vector2d(5e11 + 1000, 0)}, 1,
            2);
    addRoom(model, {Vector2d(0, -100), Vector2d(0, 3000), Vector2d(273000, 3000), Vector2d(273000, -100)}, 5, 2500);
    addRoom(model, {Vector2d(45500, 0)}, 7, 7);
    addRoom(model, {Vector2d(0, 0), Vector2d(0, 2730), Vector2d(910, 2730)}, 3, 3, 2);
    const Exporter::RoomHeightIndex index(model);

    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double offsets[] = {0.0, 0.0099, -0.0099, 0.0101, -0.0101, 455.0};
    const auto corner = [&]() {
        return Vector2d(910.0 * static_cast<int>(random() % 301), random() % 2 == 0 ? 0.0 : 2730.0);
    };
    for (int k = 0; k < 3000; ++k) {
        Vector2d p1 = corner() + Vector2d(offsets[random() % 6], offsets[random() % 6]);
        Vector2d p2 = p1 + Vector2d(910.0 * static_cast<int>(random() % 3), 0);
        switch (k % 7) {
        case 1:  // across the row
            p2 = Vector2d(p1.x + unit(random) * 100, 2730 - p1.y);
            break;
        case 2:  // along much of the row
            p2 = Vector2d(p1.x + 910.0 * 200, p1.y);
            break;
        case 3:  // endless
            p2 = Vector2d(k % 2 == 0 ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity(), p1.y);
            break;
        case 4:  // the far room
            p1 = Vector2d(5e11 + 1000 * unit(random), 0);
            p2 = Vector2d(5e11 + 1000, 1000 * unit(random));
            break;
        default:
            break;
        }
        const int storey = k % 11 == 0 ? 2 : 1;
        const Exporter::RoomHeightRange plain = plainRange(model, storey, p1, p2);
        const Exporter::RoomHeightRange fast = index.range(storey, p1, p2);
        EXPECT_TRUE(same(fast.floorMax, plain.floorMax)) << k << ": " << fast.floorMax << " vs " << plain.floorMax;
        EXPECT_TRUE(same(fast.ceilingMax, plain.ceilingMax)) << k << ": " << fast.ceilingMax << " vs " << plain.ceilingMax;
    }
}

TEST(RoomEdgeWalls, ManyLinesAreLookedUpSideBySideInLineOrder)
{
    // Enough lines for the lookups to be shared among threads, with short
    // lines that are dropped in between and rooms of heights that are not
    // numbers (where the order of the rooms decides the answer): every wall
    // must still be its own line's, with the plain walk's heights.
    Exporter::ExportModel model;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < 600; ++k) {
        const double x = 910.0 * k;
        addRoom(model, {Vector2d(x, 0), Vector2d(x, 2730), Vector2d(x + 910, 2730), Vector2d(x + 910, 0)},
                k % 40 == 3 ? nan : 5.0 * (k % 11), 2400 + k % 9);
    }
    std::mt19937 random(5);
    std::vector<Common::Segment> lines;
    for (int k = 0; k < 9000; ++k) {
        const Vector2d p1(910.0 * static_cast<int>(random() % 601), random() % 2 == 0 ? 0.0 : 2730.0);
        const double length = k % 13 == 0 ? 0.05 : 910.0 * static_cast<int>(1 + random() % 3);
        lines.push_back(k % 5 == 0 ? Common::Segment{p1, Vector2d(p1.x, 2730 - p1.y)}
                                   : Common::Segment{p1, p1 + Vector2d(length, 0)});
    }
    Exporter::appendRoomEdgeWalls(model, 1, lines, 105);
    std::size_t w = 0;
    for (const Common::Segment& line : lines) {
        if ((line.end - line.start).lengthSquared() < 0.01) {
            continue;
        }
        ASSERT_LT(w, model.walls.size());
        const Exporter::ExportWall& wall = *model.walls[w++];
        const Exporter::RoomHeightRange plain = plainRange(model, 1, line.start, line.end);
        ASSERT_TRUE(wall.start == line.start && wall.end == line.end) << w;
        EXPECT_TRUE(same(wall.bottomHeight, plain.floorMax)) << w;
        EXPECT_TRUE(same(wall.topHeight, plain.ceilingMax)) << w;
    }
    EXPECT_EQ(w, model.walls.size());
}
