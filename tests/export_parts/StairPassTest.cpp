#include <gtest/gtest.h>

#include <cmath>

#include "ObjectHost.h"
#include "exporter/reading/StairPass.h"

using namespace PartsTest;
using Exporter::ExportModel;
using Exporter::ExportStair;
using Exporter::Vector2d;

namespace {

struct StairSpec {
    double x = 0, y = 0, width = 900;
    int form = 0;
    double tread1 = 250, tread2 = 250, tread3 = 250;
    int count1 = 0, count2 = 0, count3 = 0;
    int pattern1 = 0, pattern2 = 0;
    int side = 0;
    double direction = 0;
    int formFlag = 1;
    int skip = 0;
};

// Fills operation 76's 32 outputs by position, after checking their types.
FakeObject stairObject(const StairSpec& s, std::uint32_t type = 13, std::int16_t storey = 1)
{
    FakeObject o;
    o.type = type;
    o.storey = storey;
    o.fill = [s](Arguments& a) {
        expectOutputs(a, repeated({{3, VariantType::R8},
                                   {1, VariantType::UI2},
                                   {3, VariantType::R8},
                                   {6, VariantType::UI2},
                                   {1, VariantType::R8},
                                   {5, VariantType::UI2},
                                   {1, VariantType::R8},
                                   {4, VariantType::UI2},
                                   {1, VariantType::R8},
                                   {7, VariantType::UI2}}));
        if (a.size() != 32) {
            return;
        }
        auto r8 = [&](int pos, double v) { a[static_cast<std::size_t>(pos - 1)].value = Variant::r8(v); };
        auto ui2 = [&](int pos, int v) { a[static_cast<std::size_t>(pos - 1)].value = Variant::ui2(static_cast<std::uint16_t>(v)); };
        r8(1, s.x);
        r8(2, s.y);
        r8(3, s.width);
        ui2(4, s.form);
        r8(5, s.tread1);
        r8(6, s.tread2);
        r8(7, s.tread3);
        ui2(8, s.count1);
        ui2(9, s.count2);
        ui2(10, s.count3);
        ui2(11, s.pattern1);
        ui2(12, s.pattern2);
        ui2(13, s.side);
        r8(14, s.direction);
        ui2(15, s.formFlag);
        // Values the pass must ignore.
        ui2(16, 7);
        r8(20, 123.0);
        ui2(29, 1);
        ui2(30, s.skip);
        ui2(31, 1);
        ui2(32, 1);
    };
    return o;
}

std::vector<std::unique_ptr<ExportStair>> readOne(const StairSpec& s)
{
    ObjectHost h;
    h.objects.push_back(stairObject(s));
    ExportModel model;
    Exporter::readStairs(model, h.document);
    return std::move(model.stairs);
}

void expectOutline(const std::vector<Vector2d>& actual, const std::vector<Vector2d>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-6) << "point " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-6) << "point " << i;
    }
}

void expectBlock(const ExportStair& stair, std::size_t i, double angle, int steps, const std::vector<Vector2d>& outline)
{
    ASSERT_LT(i, stair.blockOutlines.size());
    EXPECT_EQ(stair.turnAngles[i], angle) << "block " << i;
    EXPECT_EQ(stair.stepCounts[i], steps) << "block " << i;
    expectOutline(stair.blockOutlines[i], outline);
}

const double c = 900 / std::sqrt(3.0);

}  // namespace

TEST(StairPass, StraightFlightFrameBySideAndDirection)
{
    StairSpec s;
    s.count1 = 14;
    auto stairs = readOne(s);
    ASSERT_EQ(stairs.size(), 1u);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 1u);
    expectBlock(*stairs[0], 0, 0, 13, {{0, 0}, {900, 0}, {900, 3250}, {0, 3250}});

    s.side = 1;  // exactly 1: the base point moves back across the stair
    stairs = readOne(s);
    expectBlock(*stairs[0], 0, 0, 13, {{-900, 0}, {0, 0}, {0, 3250}, {-900, 3250}});

    s.side = 0;
    s.direction = 90;  // d = (0, 1), n = (-1, 0)
    stairs = readOne(s);
    expectBlock(*stairs[0], 0, 0, 13, {{0, 0}, {0, 900}, {-3250, 900}, {-3250, 0}});
}

TEST(StairPass, FormFlagStoreyAndSkippedOrForeignObjects)
{
    ObjectHost h;
    StairSpec s;
    s.count1 = 3;
    s.formFlag = 0;
    h.objects.push_back(stairObject(s, 13, 2));
    h.objects.push_back(FakeObject{19, 1, nullptr, {}});  // a room: never read as a stair
    StairSpec skipped = s;
    skipped.skip = 1;
    h.objects.push_back(stairObject(skipped, 15));
    s.formFlag = 2;
    h.objects.push_back(stairObject(s, 18, 3));
    h.objects.push_back(FakeObject{12, 1, nullptr, {}});
    ExportModel model;
    Exporter::readStairs(model, h.document);
    ASSERT_EQ(model.stairs.size(), 2u);
    EXPECT_EQ(model.stairs[0]->form, 3);
    EXPECT_EQ(model.stairs[0]->storey, 2);
    EXPECT_EQ(model.stairs[1]->form, 1);
    EXPECT_EQ(model.stairs[1]->storey, 3);
    EXPECT_EQ(h.host().ops(), (std::vector<int>{62, 65, 64, 76, 63, 65, 64, 63, 65, 64, 76, 63, 65, 64, 76, 63, 65, 64, 63}));
}

TEST(StairPass, StraightLandingAndShortFirstFlight)
{
    StairSpec s;
    s.form = 1;
    s.count1 = 8;
    s.count2 = 5;
    s.tread2 = 1000;  // the landing's depth; the second flight keeps tread 1
    auto stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 3u);
    expectBlock(*stairs[0], 0, 0, 7, {{0, 0}, {900, 0}, {900, 1750}, {0, 1750}});
    expectBlock(*stairs[0], 1, 0, 1, {{0, 1750}, {900, 1750}, {900, 2750}, {0, 2750}});
    expectBlock(*stairs[0], 2, 0, 4, {{0, 2750}, {900, 2750}, {900, 3750}, {0, 3750}});

    // Count 1 = 1: no first flight in forms 1 to 5, a flat one in form 0.
    s.count1 = 1;
    stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 2u);
    expectBlock(*stairs[0], 0, 0, 1, {{0, 0}, {900, 0}, {900, 1000}, {0, 1000}});
    s.form = 0;
    stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 1u);
    expectBlock(*stairs[0], 0, 0, 0, {{0, 0}, {900, 0}, {900, 0}, {0, 0}});
}

TEST(StairPass, CornerLandingClockwise)
{
    StairSpec s;
    s.form = 2;
    s.count1 = 8;
    s.count2 = 6;
    s.pattern1 = 2;
    auto stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 3u);
    expectBlock(*stairs[0], 0, 0, 7, {{0, 0}, {900, 0}, {900, 1750}, {0, 1750}});
    expectBlock(*stairs[0], 1, 270, 3, {{0, 1750}, {900, 1750}, {900, 2650}, {0, 2650}});
    expectBlock(*stairs[0], 2, 0, 5, {{900, 2650}, {900, 1750}, {2150, 1750}, {2150, 2650}});
}

TEST(StairPass, SecondCornerOfForm5TurnsTheOtherWay)
{
    StairSpec s;
    s.width = 1000;
    s.count1 = s.count2 = s.count3 = 3;
    s.pattern1 = 0;
    s.pattern2 = 1;
    s.form = 5;
    auto stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 5u);
    expectBlock(*stairs[0], 0, 0, 2, {{0, 0}, {1000, 0}, {1000, 500}, {0, 500}});
    expectBlock(*stairs[0], 1, 270, 1, {{0, 500}, {1000, 500}, {1000, 1500}, {0, 1500}});
    expectBlock(*stairs[0], 2, 0, 2, {{1000, 1500}, {1000, 500}, {1500, 500}, {1500, 1500}});
    expectBlock(*stairs[0], 3, 90, 2, {{1500, 1500}, {1500, 500}, {2500, 500}, {2500, 1500}});
    expectBlock(*stairs[0], 4, 0, 2, {{1500, 1500}, {2500, 1500}, {2500, 2000}, {1500, 2000}});

    s.form = 4;  // both corners clockwise
    stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 5u);
    expectBlock(*stairs[0], 3, 270, 2, {{1500, 1500}, {1500, 500}, {2500, 500}, {2500, 1500}});
    expectBlock(*stairs[0], 4, 0, 2, {{2500, 500}, {1500, 500}, {1500, 0}, {2500, 0}});

    s.count2 = 1;  // form 4 without the middle flight: two corners in a row
    s.side = 2;    // counter-clockwise, base point not moved
    stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 4u);
    expectBlock(*stairs[0], 1, 90, 1, {{0, 500}, {1000, 500}, {1000, 1500}, {0, 1500}});
    // turned +90 at B = (0, 500): d = (0, 1), n = (-1, 0)
    expectBlock(*stairs[0], 2, 90, 2, {{0, 500}, {0, 1500}, {-1000, 1500}, {-1000, 500}});
    expectBlock(*stairs[0], 3, 0, 2, {{0, 500}, {-1000, 500}, {-1000, 0}, {0, 0}});
}

TEST(StairPass, UTurnWithThreeWinders)
{
    StairSpec s;
    s.form = 3;
    s.count1 = 5;
    s.count2 = 5;
    s.tread2 = 900;
    s.pattern1 = 3;
    s.side = 2;  // counter-clockwise; only 1 moves the base point
    auto stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 5u);
    const ExportStair& ccw = *stairs[0];
    expectBlock(ccw, 0, 0, 4, {{0, 0}, {900, 0}, {900, 1000}, {0, 1000}});
    expectBlock(ccw, 1, 60, 1, {{0, 1000}, {900, 1000}, {900, 1900}, {c, 1900}});
    expectBlock(ccw, 2, 60, 3, {{0, 1000}, {c, 1900}, {-c, 1900}});
    expectBlock(ccw, 3, 60, 1, {{0, 1000}, {-c, 1900}, {-900, 1900}, {-900, 1000}});
    expectBlock(ccw, 4, 0, 4, {{0, 1000}, {-900, 1000}, {-900, 0}, {0, 0}});

    s.side = 0;
    stairs = readOne(s);
    const ExportStair& cw = *stairs[0];
    ASSERT_EQ(cw.blockOutlines.size(), 5u);
    expectBlock(cw, 1, 300, 1, {{0, 1000}, {900, 1000}, {900 - c, 1900}, {0, 1900}});
    expectBlock(cw, 2, 300, 3, {{900 - c, 1900}, {900, 1000}, {900 + c, 1900}});
    expectBlock(cw, 3, 300, 1, {{900 + c, 1900}, {900, 1000}, {1800, 1000}, {1800, 1900}});
    expectBlock(cw, 4, 0, 4, {{1800, 1000}, {900, 1000}, {900, 0}, {1800, 0}});

    // An unknown division: no landing block, but the stair still turns.
    s.pattern1 = 11;
    stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 2u);
    expectBlock(*stairs[0], 1, 0, 4, {{1800, 1000}, {900, 1000}, {900, 0}, {1800, 0}});
}

TEST(StairPass, UTurnSingleAndTwoBlockLandings)
{
    StairSpec s;
    s.form = 3;
    s.tread2 = 300;
    s.count1 = 1;
    s.count2 = 1;  // landings only

    s.pattern1 = 5;  // clockwise, one block
    auto stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 1u);
    expectBlock(*stairs[0], 0, 180, 5, {{0, 0}, {900, 0}, {1800, 0}, {1800, 300}, {0, 300}});

    s.pattern1 = 0;
    s.side = 2;  // counter-clockwise
    stairs = readOne(s);
    expectBlock(*stairs[0], 0, 180, 1, {{0, 0}, {900, 0}, {900, 300}, {-900, 300}, {-900, 0}});

    s.pattern1 = 7;
    s.side = 0;
    stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 2u);
    expectBlock(*stairs[0], 0, 270, 1, {{0, 0}, {900, 0}, {900, 300}, {0, 300}});
    expectBlock(*stairs[0], 1, 270, 2, {{900, 300}, {900, 0}, {1800, 0}, {1800, 300}});

    // Side 1 turns counter-clockwise from a base point moved back by W.
    s.pattern1 = 4;
    s.side = 1;
    s.count1 = 5;
    s.count2 = 3;
    stairs = readOne(s);
    ASSERT_EQ(stairs[0]->blockOutlines.size(), 4u);
    expectBlock(*stairs[0], 0, 0, 4, {{-900, 0}, {0, 0}, {0, 1000}, {-900, 1000}});
    expectBlock(*stairs[0], 1, 90, 3, {{-900, 1000}, {0, 1000}, {0, 1300}, {-900, 1300}});
    expectBlock(*stairs[0], 2, 90, 2, {{-900, 1000}, {-900, 1300}, {-1800, 1300}, {-1800, 1000}});
    expectBlock(*stairs[0], 3, 0, 2, {{-900, 1000}, {-1800, 1000}, {-1800, 500}, {-900, 500}});
}

TEST(StairPass, TwoBlockDivisionsStepCounts)
{
    // pattern: steps of the first and second block
    const int expected[][3] = {{1, 3, 1}, {4, 3, 2}, {6, 3, 3}, {7, 1, 2}, {8, 1, 3}, {9, 3, 1}, {10, 3, 1}};
    for (const auto& e : expected) {
        for (int side : {0, 3}) {
            StairSpec s;
            s.form = 3;
            s.count1 = s.count2 = 1;
            s.pattern1 = e[0];
            s.side = side;
            auto stairs = readOne(s);
            ASSERT_EQ(stairs[0]->blockOutlines.size(), 2u) << "pattern " << e[0];
            EXPECT_EQ(stairs[0]->stepCounts, (std::vector<std::int32_t>{e[1], e[2]})) << "pattern " << e[0];
            const double angle = side == 0 ? 270 : 90;
            EXPECT_EQ(stairs[0]->turnAngles, (std::vector<double>{angle, angle}));
        }
    }
    for (int pattern : {0, 2, 5}) {
        StairSpec s;
        s.form = 3;
        s.count1 = s.count2 = 1;
        s.pattern1 = pattern;
        auto stairs = readOne(s);
        EXPECT_EQ(stairs[0]->stepCounts, (std::vector<std::int32_t>{pattern == 0 ? 1 : pattern == 2 ? 3 : 5}));
    }
}

TEST(StairPass, FormOutsideTheKnownSixHasNoBlocks)
{
    StairSpec s;
    s.form = 6;
    s.count1 = 10;
    auto stairs = readOne(s);
    ASSERT_EQ(stairs.size(), 1u);
    EXPECT_TRUE(stairs[0]->blockOutlines.empty());
    EXPECT_TRUE(stairs[0]->stepCounts.empty());
    EXPECT_TRUE(stairs[0]->turnAngles.empty());
}
