#include <cmath>

#include "BuildFixture.h"
#include "common/text/Encoding.h"
#include "importer/building/BuildingPass.h"
#include "support/TempFolder.h"

using namespace ImportBuildTest;

namespace {

struct Pass {
    PermissiveHost application;
    PermissiveHost document;
    FakePlatform platform;

    void run(ImportModel& m, Importer::OpeningMode openings = Importer::OpeningMode::TemporaryFrames,
             Importer::RoofMode roofs = Importer::RoofMode::None, const std::wstring& csv = L"")
    {
        Importer::runBuildingPass({.model = m,
                                   .application = application.asApplication,
                                   .document = document.object,
                                   .platform = platform,
                                   .programDirectory = L"C:\\CDX2DM\\",
                                   .openings = openings,
                                   .fittingTablePath = csv,
                                   .roofs = roofs});
    }
};

ImportModel twoStoreys()
{
    ImportModel m;
    m.gridSpacing = Vector2d(910, 1000);
    m.levelByStorey = {{1, 500.0f}, {2, 3400.0f}};
    m.floorLevelByStorey = {{1, 500.0f}, {2, 3400.0f}};
    return m;
}

std::vector<std::uint16_t> record(const TestSupport::RecordedCall& c)
{
    std::vector<std::uint16_t> out;
    for (const auto& a : c.args) {
        out.push_back(a.value.asUI2());
    }
    return out;
}

}  // namespace

TEST(BuildingPassTest, StoreysAreVisitedInOrderBetweenGridAndRedraw)
{
    ImportModel m = twoStoreys();
    Pass p;
    p.document.currentStorey = 3;
    p.run(m);
    const std::vector<int> expected{38, 95, 94, 92, 172, 171,           //
                                    39, 179, 93, 172, 179, 182,         // storey 1
                                    39, 179, 93, 172, 179, 182,         // storey 2
                                    39, 183, 186, 98};
    EXPECT_EQ(p.document.ops(), expected);
    const auto& calls = p.document.host->calls;
    EXPECT_EQ(calls[6].args[0].value, Variant::i2(1));
    EXPECT_TRUE(calls[7].put);
    EXPECT_EQ(calls[7].args[0].value, Variant::ui2(1));
    EXPECT_EQ(calls[10].args[0].value, Variant::ui2(0));
    EXPECT_EQ(calls[12].args[0].value, Variant::i2(2));
    EXPECT_EQ(calls[18].args[0].value, Variant::i2(3));  // the storey current before the import
    EXPECT_EQ(calls[19].args[0].value, Variant::ui2(1));
    EXPECT_EQ(p.application.ops(), std::vector<int>{6});
    EXPECT_EQ(m.programFolder, L"C:\\CDX2DM");
    EXPECT_EQ(m.hostFolder, L"C:\\Host");
}

TEST(BuildingPassTest, GridSettingsKeepTheHostsOwnValues)
{
    ImportModel m = twoStoreys();
    Pass p;
    p.run(m);
    const auto write = p.document.callsOf(94).at(0);
    ASSERT_EQ(write.args.size(), 5u);
    EXPECT_EQ(write.args[0].value, Variant::r8(910.0));  // x spacing only
    EXPECT_EQ(write.args[1].value, Variant::ui2(7));
    EXPECT_EQ(write.args[2].value, Variant::ui4(70000));
    EXPECT_EQ(write.args[3].value, Variant::r8(0.0));
    EXPECT_EQ(write.args[4].value, Variant::r8(0.0));
    EXPECT_EQ(p.document.callsOf(92).at(0).args.at(0).value, Variant::r8(910.0));
}

TEST(BuildingPassTest, StoreyRecordTakesFloorLevelsAndFoundation)
{
    ImportModel m = twoStoreys();
    Pass p;
    p.document.storeySettings = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 120, 14};
    p.run(m);
    EXPECT_EQ(record(p.document.callsOf(171).at(0)),
              (std::vector<std::uint16_t>{1, 2, 3, 4, 5, 6, 7, 8, 2900, 10, 500, 12, 120, 14}));

    ImportModel tall;
    tall.levelByStorey = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}};
    tall.floorLevelByStorey = {{1, -200.7f}, {2, 2700.9f}, {3, 5600}, {4, 8500}, {5, 11400}};
    tall.foundationHeight = 450.5f;
    Pass q;
    q.document.storeySettings = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 120, 14};
    q.run(tall);
    // Levels are truncated towards zero first: -200 and 2700 give 2900.
    EXPECT_EQ(record(q.document.callsOf(171).at(0)),
              (std::vector<std::uint16_t>{1, 2, 3, 4, 5, 2900, 2900, 2900, 2900, 10,
                                          static_cast<std::uint16_t>(-200), 450, 120, 14}));
}

TEST(BuildingPassTest, NoRedrawWhileTheHostWindowIsMinimized)
{
    ImportModel m = twoStoreys();
    Pass p;
    p.platform.minimized = true;
    p.run(m);
    EXPECT_TRUE(p.document.callsOf(98).empty());
    EXPECT_EQ(p.document.ops().back(), 186);
}

TEST(BuildingPassTest, TableModeLoadsTheCorrespondenceTableFirst)
{
    TestSupport::TempFolder folder;
    const std::string csv = folder.write("table.csv", "parts\\win.m3d,W-1\nother/a.m3d,W-1\nbare.m3d,W-2\n");
    ImportModel m = twoStoreys();
    Pass p;
    p.run(m, Importer::OpeningMode::FittingsFromTable, Importer::RoofMode::None, std::wstring(csv.begin(), csv.end()));
    ASSERT_EQ(m.fittingTable.size(), 1u);
    EXPECT_EQ(m.fittingTable.at(L"W-1"), L"parts\\win.m3d");

    ImportModel frames = twoStoreys();
    Pass q;
    q.run(frames, Importer::OpeningMode::TemporaryFrames, Importer::RoofMode::None, std::wstring(csv.begin(), csv.end()));
    EXPECT_TRUE(frames.fittingTable.empty());
    EXPECT_TRUE(p.platform.errors.empty());
}

TEST(BuildingPassTest, UnreadableCorrespondenceTableIsToldNotSilentlyIgnored)
{
    TestSupport::TempFolder folder;
    ImportModel m = twoStoreys();
    Pass p;
    const std::string missing = folder.file("missing.csv");
    p.run(m, Importer::OpeningMode::FittingsFromTable, Importer::RoofMode::None,
          std::wstring(missing.begin(), missing.end()));
    EXPECT_TRUE(m.fittingTable.empty());
    ASSERT_EQ(p.platform.errors.size(), 1u);
    EXPECT_NE(p.platform.errors[0].find(L"CDX2DM: the fitting table"), std::wstring::npos);
    EXPECT_NE(p.platform.errors[0].find(L"missing.csv"), std::wstring::npos);
}

namespace {

// Values finite in the file whose derived values are not (the length of a
// wall from 0 to 1e200, the eaves offset of a roof spanning the number
// range) never reach the host; the record is skipped and named, and the
// thickness meant for a skipped roof does not fall on the roof before it.
TEST(BuildingPassTest, RecordsWhoseComputedValuesOverflowAreSkippedAndNamed)
{
    ImportModel m = twoStoreys();
    addWall(m, 1, Vector2d(0, 0), Vector2d(1e200, 0), 4);
    addWall(m, 1, Vector2d(0, 0), Vector2d(910, 0), 4);
    for (const double reach : {910.0, 1.7e308}) {
        auto roof = std::make_unique<Importer::ImportRoof>();
        roof->storey = 2;
        roof->baseLineStart = Vector2d(-reach, -reach);
        roof->baseLineEnd = Vector2d(reach, -reach);
        roof->outline = rectangle(-reach, -reach, reach, reach);
        roof->pitch = 4;
        roof->finishThickness = 30;
        m.roofs.push_back(std::move(roof));
    }
    Common::ConversionReport report;
    m.report = &report;
    Pass p;
    p.run(m, Importer::OpeningMode::TemporaryFrames, Importer::RoofMode::ManualFaces);

    // Both are left out in the report, on the storeys of the file.
    ASSERT_EQ(report.leftOut.size(), 2u);
    EXPECT_EQ(report.leftOut[0].kind, L"wall");
    EXPECT_EQ(report.leftOut[0].storey, 1);
    EXPECT_EQ(report.leftOut[1].kind, L"roof");
    EXPECT_EQ(report.leftOut[1].storey, 2);
    EXPECT_NE(report.leftOut[1].text.find(L"not a finite number"), std::wstring::npos);
    ASSERT_EQ(p.document.callsOf(44).size(), 1u);
    EXPECT_EQ(argR8(p.document.callsOf(44)[0], 2), 910.0);
    EXPECT_EQ(p.document.callsOf(61).size(), 1u);
    EXPECT_EQ(p.document.callsOf(219).size(), 1u);
    ASSERT_EQ(p.platform.errors.size(), 2u);
    EXPECT_EQ(p.platform.errors[0].rfind(L"Wall (storey 1) skipped", 0), 0u) << Common::toUtf8(p.platform.errors[0]);
    EXPECT_EQ(p.platform.errors[1].rfind(L"Roof (storey 1) skipped", 0), 0u) << Common::toUtf8(p.platform.errors[1]);
    for (const auto& call : p.document.host->calls) {
        for (const auto& a : call.args) {
            if (a.value.type() == Common::VariantType::R8) {
                EXPECT_TRUE(std::isfinite(a.value.asR8())) << "operation " << call.op;
            }
        }
    }
}

}  // namespace
