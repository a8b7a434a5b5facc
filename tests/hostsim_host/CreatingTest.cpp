// Creating operations make objects that read back with the same meaning;
// the cursor follows what was made and survives removals during a walk; the
// host generates roofs when the rebuilding switch closes as the exporter's
// forced roof step drives it.

#include "HostFixture.h"

namespace HostSimTests {
namespace {

using V = std::vector<double>;

class CreatingTest : public HostFixture {
protected:
    void SetUp() override { openNewPlan(); }

    // The room call as the importer makes it for a veranda-less tatami room.
    Arguments roomCall(std::vector<double> outline, const std::wstring& name)
    {
        return Arguments{array(std::move(outline)), ui2(1), text(name), i4(1), i4(0), r8(50.0), r8(10.0), r8(2400.0),
                         r8(100.0), r8(0.0), r8(30.0), r8(0.0), r8(1200.0), i4(0), i4(1), i4(0), i4(0), i4(1),
                         ui1(2), ui4(0xCFE8E9), ui4(0x123456), i4(0), ui2(19), text(L"メイリオ"), r8(4.0), ui1(0),
                         r8(0.0), ui4(0)};
    }

    Arguments roofCall(std::vector<double> outline, double thickness)
    {
        return Arguments{array(std::move(outline)), r8(4.0), r8(5600), r8(455), i4(0), i4(0), r8(thickness), i4(1)};
    }
};

TEST_F(CreatingTest, RoomIsMadeOnTheCurrentStoreyAndBecomesCurrent)
{
    EXPECT_EQ(call(62), Variant::i4(0));  // a new plan is empty
    EXPECT_EQ(call(39, {i2(3)}), Variant::i4(1));
    EXPECT_EQ(call(37, roomCall({0, 0, 3640, 0, 3640, 2730, 0, 2730}, L"和室")), Variant::i4(1));
    EXPECT_EQ(call(64), Variant::ui4(19));
    EXPECT_EQ(call(65), Variant::i2(3));

    Arguments a = outs73();
    EXPECT_EQ(call(73, a), Variant::i4(1));
    EXPECT_EQ(a[0].value.asDoubles(), (V{0, 0, 3640, 0, 3640, 2730, 0, 2730}));
    EXPECT_EQ(a[1].value, Variant::ui2(1));
    EXPECT_EQ(a[2].value.asText(), L"和室");
    // Positions 4 and 5 were 32-bit, read back 16-bit.
    EXPECT_EQ(a[3].value, Variant::ui2(1));
    EXPECT_EQ(numbers(a, 5, 13), (V{0, 50, 10, 2400, 100, 0, 30, 0, 1200}));
    EXPECT_EQ(numbers(a, 14, 18), (V{0, 1, 0, 0, 1}));
    EXPECT_EQ(a[18].value, Variant::ui1(2));
    EXPECT_EQ(a[19].value, Variant::ui4(0xCFE8E9));
    EXPECT_EQ(a[20].value, Variant::ui4(0x123456));
    EXPECT_EQ(a[22].value, Variant::ui2(19));
    EXPECT_EQ(a[23].value.asText(), L"メイリオ");
    EXPECT_EQ(a[24].value, Variant::r8(4.0));
}

TEST_F(CreatingTest, WallLineElementsByKind)
{
    const std::uint32_t types[] = {21, 22, 23, 48};
    for (std::uint16_t kind = 1; kind <= 4; ++kind) {
        EXPECT_EQ(call(41, {ui2(kind), r8(0), r8(kind), r8(900), r8(kind), r8(2000), r8(800)}), Variant::i4(1));
        EXPECT_EQ(call(64), Variant::ui4(types[kind - 1]));
        Arguments a = outs77();
        EXPECT_EQ(call(77, a), Variant::i4(1));
        EXPECT_EQ(numbers(a, 1, 7), (V{static_cast<double>(kind), 0, static_cast<double>(kind), 900,
                                       static_cast<double>(kind), 2000, 800}));
    }
    // A kind the host does not know makes nothing and says so.
    EXPECT_EQ(call(41, {ui2(9), r8(0), r8(0), r8(1), r8(1), r8(0), r8(0)}), Variant::i4(0));
    EXPECT_EQ(walk().size(), 4u);
}

TEST_F(CreatingTest, WallBoxesKeepTheirValuesInTheRightFields)
{
    // Type 5: flag = full height, value 1 = bottom, value 2 = top.
    call(43, {ui2(0), r8(1820), r8(0), r8(3640), r8(120), i4(0), r8(0), r8(1100)});
    EXPECT_EQ(call(64), Variant::ui4(5));
    Arguments b5 = outs71();
    call(71, b5);
    EXPECT_EQ(numbers(b5, 1, 8), (V{0, 1820, 0, 3640, 120, 0, 0, 1100}));

    // Type 20 hanging: value 1 is the height, value 2 the bottom.
    call(44, {r8(0), r8(1365), r8(120), r8(2730), i4(1), r8(400), r8(0)});
    EXPECT_EQ(call(64), Variant::ui4(20));
    Arguments hanging = outs66();
    call(66, hanging);
    EXPECT_EQ(numbers(hanging, 5, 7), (V{1, 0, 400}));

    // Type 20 standing: value 1 is the bottom, value 2 the height.
    call(44, {r8(0), r8(1365), r8(120), r8(2730), i4(0), r8(300), r8(900)});
    Arguments standing = outs66();
    call(66, standing);
    EXPECT_EQ(numbers(standing, 1, 7), (V{0, 1365, 120, 2730, 0, 300, 900}));

    // A flag beyond 16 bits stays set.
    call(43, {ui2(0), r8(0), r8(0), r8(10), r8(10), i4(65536), r8(0), r8(0)});
    Arguments wide = outs71();
    call(71, wide);
    EXPECT_EQ(wide[5].value, Variant::ui2(1));
}

TEST_F(CreatingTest, StairReadsBackInTheSamePositions)
{
    // As the importer sends it: type 2, treads, risers, turn steps,
    // direction flag 1, angle 90, form flag 1, then the constants.
    Arguments stair{r8(100), r8(200), r8(900), ui2(2), r8(250), r8(260), r8(300), ui2(8), ui2(6), ui2(1),
                    ui2(2),  ui2(0),  i4(1),   r8(90), i4(1),   i4(1),   i4(1),   i4(1),  i4(0),  r8(750),
                    i4(1),   i4(1),   i4(1),   i4(0),  r8(750), i4(0),   i4(0),   i4(0),  i4(0),  i4(0),
                    ui2(0),  ui2(2)};
    ASSERT_EQ(stair.size(), 32u);
    EXPECT_EQ(call(42, stair), Variant::i4(1));
    EXPECT_EQ(call(64), Variant::ui4(15));  // 13 + host stair type 2
    Arguments s = outs76();
    EXPECT_EQ(call(76, s), Variant::i4(1));
    EXPECT_EQ(numbers(s, 1, 15), (V{100, 200, 900, 2, 250, 260, 300, 8, 6, 1, 2, 0, 1, 90, 1}));
    EXPECT_EQ(numbers(s, 16, 32), (V{1, 1, 1, 0, 750, 1, 1, 1, 0, 750, 0, 0, 0, 0, 0, 0, 2}));

    // A host stair type beyond 5 makes nothing.
    stair[3] = ui2(6);
    EXPECT_EQ(call(42, stair), Variant::i4(0));
    EXPECT_EQ(walk().size(), 1u);
}

TEST_F(CreatingTest, FittingObjectCarriesTheFitting)
{
    call(39, {i2(1)});
    EXPECT_EQ(call(50, {text(L"C:\\prog\\窓開口.m3d"), r8(0), r8(900), r8(900), r8(90), r8(800), r8(1100), i4(0)}),
              Variant::i4(1));
    EXPECT_EQ(call(64), Variant::ui4(27));
    Arguments f = outs68();
    EXPECT_EQ(call(68, f), Variant::i4(1));
    EXPECT_EQ(f[0].value.asText(), L"C:\\prog\\窓開口.m3d");
    EXPECT_EQ(numbers(f, 2, 8), (V{0, 900, 900, 90, 800, 1100, 0}));
}

TEST_F(CreatingTest, RoofAndItsThickness)
{
    call(39, {i2(2)});
    call(61, roofCall({0, 0, 10000, 0, 10000, 6000, 0, 6000, 5}, 150));  // odd trailing value dropped
    EXPECT_EQ(call(64), Variant::ui4(24));  // right after op 61 the roof is current
    EXPECT_EQ(call(219, {r8(90)}), Variant::i4(1));
    Arguments roof = outs222();
    EXPECT_EQ(call(222, roof), Variant::i4(1));
    EXPECT_EQ(roof[0].value.asDoubles(), (V{0, 0, 10000, 0, 10000, 6000, 0, 6000}));
    EXPECT_EQ(numbers(roof, 2, 4), (V{4, 5600, 455}));
    EXPECT_EQ(roof[7].value, Variant::r8(90));
    EXPECT_EQ(roof[8].value, Variant::ui2(0));  // eaves shape of a made roof
}

TEST_F(CreatingTest, ThicknessWithoutARoofMadeChangesNothing)
{
    EXPECT_EQ(call(219, {r8(90)}), Variant::i4(0));
    call(61, roofCall({0, 0, 1, 0, 1, 1}, 150));
    call(160);
    call(158);  // the roof just made is gone
    EXPECT_EQ(call(219, {r8(90)}), Variant::i4(0));
}

TEST_F(CreatingTest, SettingsWrittenAreReadBack)
{
    call(92, {r8(1000)});
    EXPECT_EQ(call(93), Variant::r8(1000));
    call(94, {r8(910), ui2(3), ui4(123456), r8(0), r8(0)});
    Arguments grid = outs({R8(), UI2(), UI4(), R8(2)});
    call(95, grid);
    EXPECT_EQ(numbers(grid, 1, 5), (V{910, 3, 123456, 0, 0}));

    Arguments record;
    for (int i = 1; i <= 14; ++i) {
        record.push_back(ui2(static_cast<std::uint16_t>(i * 100)));
    }
    call(171, record);
    Arguments back = outs({UI2(14)});
    call(172, back);
    EXPECT_EQ(numbers(back, 1, 14), numbers(record, 1, 14));

    call(59, {i2(7), ui1(9)});
    EXPECT_EQ(call(60, {i2(7)}), Variant::ui1(9));
    call(39, {i2(-1)});
    EXPECT_EQ(call(38), Variant::i2(-1));
}

// Removal during a walk, as the roof builder does it: for every object of the
// storey mark the roofs, then ask for removal of every object; the walk goes
// on with the object that followed a removed one.
TEST_F(CreatingTest, RemovalDuringAWalkKeepsTheWalkGoing)
{
    call(39, {i2(1)});
    call(61, roofCall({0, 0, 1, 0, 1, 1}, 150));               // 0 roof
    call(41, {ui2(1), r8(0), r8(0), r8(1), r8(0), r8(0), r8(0)});  // 1 wall-attached 21
    call(61, roofCall({0, 0, 2, 0, 2, 2}, 150));               // 2 roof
    call(61, roofCall({0, 0, 3, 0, 3, 3}, 150));               // 3 roof
    call(43, {ui2(0), r8(0), r8(0), r8(1), r8(1), i4(1), r8(0), r8(0)});  // 4 wall box 5
    call(61, roofCall({0, 0, 4, 0, 4, 4}, 150));               // 5 roof, last

    std::vector<std::uint32_t> visited;
    for (std::int32_t more = call(62).asI4(); more != 0 && visited.size() < 100; more = call(63).asI4()) {
        const std::uint32_t type = call(64).asUI4();
        visited.push_back(type);
        if (call(65).asI2() == 1) {
            if (type == 24) {
                call(160);
            }
            call(158);
        }
    }
    EXPECT_EQ(visited, (std::vector<std::uint32_t>{24, 21, 24, 24, 5, 24}));
    using P = std::pair<std::uint32_t, std::int16_t>;
    EXPECT_EQ(walk(), (std::vector<P>{{21, 1}, {5, 1}}));
}

TEST_F(CreatingTest, AfterRemovalThereIsNoCurrentObjectUntilTheNextMove)
{
    call(61, roofCall({0, 0, 1, 0, 1, 1}, 150));
    call(160);
    call(158);
    EXPECT_EQ(call(64), Variant::ui4(0));
    call(158);  // nothing current: nothing more removed
    EXPECT_EQ(call(63), Variant::i4(0));
    EXPECT_EQ(call(62), Variant::i4(0));
}

class ForcedRoofTest : public HostFixture {
protected:
    void SetUp() override
    {
        openPlan(R"({"document": {
            "currentStorey": 2,
            "objects": [ { "type": 19, "storey": 1, "outline": [[0,0],[1,0],[1,1]] } ],
            "generatedRoofs": [
              { "storey": 1, "outline": [[0,0],[5,0],[5,5],[0,5]], "pitch": 4, "height": 3000 },
              { "type": 24, "storey": 2, "outline": [[0,0],[6,0],[6,6]], "pitch": 3, "height": 6000 } ] } })");
    }

    // The exporter's forced roof step.
    void forceRoofs()
    {
        const Variant remembered = call(38);
        doc->putProperty(179, Variant::ui2(1));
        for (std::int16_t storey = 1; storey <= 4; ++storey) {
            const Variant flag = call(60, {i2(storey)});
            call(59, {i2(storey), in(flag)});
        }
        doc->putProperty(179, Variant::ui2(0));
        call(39, {in(remembered)});
    }
};

TEST_F(ForcedRoofTest, SwitchingBackToZeroGeneratesTheRoofsOnce)
{
    forceRoofs();
    using P = std::pair<std::uint32_t, std::int16_t>;
    EXPECT_EQ(walk(), (std::vector<P>{{19, 1}, {24, 1}, {24, 2}}));
    EXPECT_EQ(call(38), Variant::i2(2));
    moveTo(1);
    Arguments roof = outs222();
    call(222, roof);
    EXPECT_EQ(roof[0].value.asDoubles(), (V{0, 0, 5, 0, 5, 5, 0, 5}));
    EXPECT_EQ(numbers(roof, 2, 3), (V{4, 3000}));

    // The plan holds roofs now: doing it again adds nothing.
    forceRoofs();
    EXPECT_EQ(walk().size(), 3u);
}

TEST_F(ForcedRoofTest, NoRoofsWithoutAStoreySettingWrittenWhileSwitchedOn)
{
    call(59, {i2(1), ui1(0)});  // written while the switch is off
    doc->putProperty(179, Variant::ui2(1));
    doc->putProperty(179, Variant::ui2(0));
    EXPECT_EQ(walk().size(), 1u);

    // The mark is cleared when the switch returns to 0, whatever happened.
    doc->putProperty(179, Variant::ui2(1));
    call(59, {i2(1), ui1(0)});
    call(37, Arguments{array({0, 0, 1, 0, 1, 1}), ui2(1), text(L""), i4(1), i4(0), r8(0), r8(0), r8(0), r8(0),
                       r8(0), r8(0), r8(0), r8(0), i4(0), i4(0), i4(0), i4(0), i4(0), ui1(0), ui4(0), ui4(0), i4(0),
                       ui2(0), text(L""), r8(0), ui1(0), r8(0), ui4(0)});
    call(61, Arguments{array({0, 0, 1, 0, 1, 1}), r8(4), r8(0), r8(0), i4(0), i4(0), r8(150), i4(1)});
    doc->putProperty(179, Variant::ui2(0));  // the plan holds a roof: nothing generated
    EXPECT_EQ(walk().size(), 3u);
    moveTo(2);
    call(160);
    call(158);
    doc->putProperty(179, Variant::ui2(1));
    doc->putProperty(179, Variant::ui2(0));  // no new mark: still nothing generated
    EXPECT_EQ(walk().size(), 2u);
}

}  // namespace
}  // namespace HostSimTests
