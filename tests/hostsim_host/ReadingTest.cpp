// The reading operations answer what the plan holds, in the listed types.

#include "HostFixture.h"

namespace HostSimTests {
namespace {

using V = std::vector<double>;

// Every output keeps the type it was prepared with (the listed type).
void expectTypesKept(const Arguments& prepared, const Arguments& filled)
{
    ASSERT_EQ(prepared.size(), filled.size());
    for (std::size_t i = 0; i < prepared.size(); ++i) {
        EXPECT_EQ(prepared[i].value.type(), filled[i].value.type()) << "argument " << i + 1;
        EXPECT_TRUE(filled[i].byRef);
    }
}

class ReadingTest : public HostFixture {
protected:
    void SetUp() override { openPlan(kSmallPlan); }
};

TEST_F(ReadingTest, ApplicationAndDocumentValues)
{
    Arguments none;
    Variant r;
    app->invoke(2, none, r);
    EXPECT_EQ(r, Variant::text(L"Ver.8.10"));
    app->invoke(4, none, r);
    EXPECT_EQ(r, Variant::i4(4242));
    app->invoke(6, none, r);
    EXPECT_EQ(r, Variant::text(L"C:\\Hosts\\Ravimo"));

    EXPECT_EQ(call(186), Variant::i4(4343));
    EXPECT_EQ(call(38), Variant::i2(2));
    EXPECT_EQ(call(60, {i2(1)}), Variant::ui1(3));
    EXPECT_EQ(call(60, {i2(3)}), Variant::ui1(0));  // no setting kept for storey 3
    EXPECT_EQ(call(93), Variant::r8(910.0));
    EXPECT_EQ(call(179), Variant::ui2(0));

    Arguments grid = outs({R8(), UI2(), UI4(), R8(2)});
    const Arguments prepared = grid;
    EXPECT_TRUE(call(95, grid).isEmpty());
    expectTypesKept(prepared, grid);
    EXPECT_EQ(numbers(grid, 1, 5), (V{910, 7, 70000, 1.5, -2.5}));

    Arguments storeys = outs({UI2(14)});
    EXPECT_TRUE(call(172, storeys).isEmpty());
    EXPECT_EQ(storeys[0].value.type(), VariantType::UI2);
    EXPECT_EQ(numbers(storeys, 1, 14), (V{1, 2, 3, 4, 5, 2800, 2850, 2900, 2950, 1000, 500, 400, 120, 14}));
}

TEST_F(ReadingTest, CursorWalksEveryObjectInPlanOrder)
{
    using P = std::pair<std::uint32_t, std::int16_t>;
    EXPECT_EQ(walk(), (std::vector<P>{{19, 1}, {5, 1}, {20, 1}, {22, 1}, {15, 1}, {24, 2}, {27, 2}}));
    // Past the end there is no current object, and moving on stays there.
    EXPECT_EQ(call(64), Variant::ui4(0));
    EXPECT_EQ(call(63), Variant::i4(0));
    // A fresh walk starts over.
    EXPECT_EQ(call(62), Variant::i4(1));
    EXPECT_EQ(call(64), Variant::ui4(19));
}

TEST_F(ReadingTest, RoomGivesOutlineKindNameHeightsAndKeptAttributes)
{
    moveTo(0);
    Arguments a = outs73();
    const Arguments prepared = a;
    EXPECT_EQ(call(73, a), Variant::i4(1));
    expectTypesKept(prepared, a);
    EXPECT_EQ(a[0].value.asDoubles(), (V{0, 0, 3640, 0, 3640, 2730, 0, 2730}));
    EXPECT_EQ(a[1].value.asUI2(), 3);
    EXPECT_EQ(a[2].value.asText(), L"キッチン");
    EXPECT_EQ(numbers(a, 4, 5), (V{1, 0}));
    EXPECT_EQ(numbers(a, 6, 13), (V{50, 0, 2400, 0, 0, 0, 0, 0}));
    EXPECT_EQ(a[20].value.asUI4(), 13625577u);  // colour A, position 21
    EXPECT_EQ(a[22].value.asUI2(), 19);         // tatami layout, position 23
    EXPECT_EQ(a[23].value.asText(), L"メイリオ");
    EXPECT_EQ(numbers(a, 25, 28), (V{0, 0, 0, 0}));
}

TEST_F(ReadingTest, WallBoxesAndWallAttachedObjects)
{
    moveTo(1);
    Arguments box5 = outs71();
    const Arguments prepared5 = box5;
    EXPECT_EQ(call(71, box5), Variant::i4(1));
    expectTypesKept(prepared5, box5);
    EXPECT_EQ(numbers(box5, 1, 8), (V{0, 1820, 0, 3640, 120, 1, 0, 2400}));

    moveTo(2);
    Arguments box20 = outs66();
    const Arguments prepared20 = box20;
    EXPECT_EQ(call(66, box20), Variant::i4(1));
    expectTypesKept(prepared20, box20);
    EXPECT_EQ(numbers(box20, 1, 7), (V{0, 1365, 120, 2730, 1, 300, 600}));

    moveTo(3);
    Arguments attached = outs77();
    const Arguments prepared77 = attached;
    EXPECT_EQ(call(77, attached), Variant::i4(1));
    expectTypesKept(prepared77, attached);
    // Type 22 answers wall-line kind 2, the kind that makes it.
    EXPECT_EQ(numbers(attached, 1, 7), (V{2, 0, 500, 0, 1300, 2000, 800}));
}

TEST_F(ReadingTest, FittingOfAnyObjectAndNoneWhereThereIsNone)
{
    moveTo(3);
    Arguments f = outs68();
    const Arguments prepared = f;
    EXPECT_EQ(call(68, f), Variant::i4(1));
    expectTypesKept(prepared, f);
    EXPECT_EQ(f[0].value.asText(), L"窓\\w1.m3d");
    EXPECT_EQ(numbers(f, 2, 8), (V{0, 900, 800, 90, 800, 1200, 0}));

    moveTo(0);
    Arguments none = outs68();
    none[0].value = Variant::text(L"left over");
    none[1].value = Variant::r8(99);
    EXPECT_EQ(call(68, none), Variant::i4(0));
    EXPECT_EQ(none[0].value.asText(), L"");
    EXPECT_EQ(none[1].value.asR8(), 0.0);
}

TEST_F(ReadingTest, StairPositionsOneToFifteenAndThirty)
{
    moveTo(4);
    Arguments s = outs76();
    const Arguments prepared = s;
    EXPECT_EQ(call(76, s), Variant::i4(1));
    expectTypesKept(prepared, s);
    EXPECT_EQ(numbers(s, 1, 15), (V{100, 200, 900, 2, 250, 260, 270, 8, 6, 0, 2, 0, 1, 90, 1}));
    // Kept values of the other positions: 20 and 32 set, the rest 0, skip (30) 0.
    EXPECT_EQ(numbers(s, 16, 32), (V{0, 0, 0, 0, 750, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}));
}

TEST_F(ReadingTest, RoofOutlineAndValues)
{
    moveTo(5);
    Arguments roof = outs222();
    const Arguments prepared = roof;
    EXPECT_EQ(call(222, roof), Variant::i4(1));
    expectTypesKept(prepared, roof);
    EXPECT_EQ(roof[0].value.asDoubles(), (V{0, 0, 10000, 0, 10000, 6000, 0, 6000}));
    EXPECT_EQ(numbers(roof, 2, 13), (V{4.5, 5600, 455, 0, 0, 0, 12, 1, 0, 0, 0, 0}));
}

TEST_F(ReadingTest, ReadingTheWrongKindOfObjectAnswersNothing)
{
    moveTo(1);  // a wall box
    Arguments room = outs73();
    const Arguments prepared = room;
    EXPECT_EQ(call(73, room), Variant::i4(0));
    expectTypesKept(prepared, room);
    EXPECT_TRUE(room[0].value.asDoubles().empty());
    for (int op : {76, 77, 222, 66}) {
        Arguments a = op == 76 ? outs76() : op == 77 ? outs77() : op == 222 ? outs222() : outs66();
        EXPECT_EQ(call(op, a), Variant::i4(0)) << op;
    }
    // Type 5 is read with 71, so that one answers.
    Arguments box = outs71();
    EXPECT_EQ(call(71, box), Variant::i4(1));
}

}  // namespace
}  // namespace HostSimTests
