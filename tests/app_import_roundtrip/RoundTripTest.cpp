// What the exporter writes must read back into the same values.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/text/Encoding.h"
#include "exporter/model/ExportModel.h"
#include "exporter/writer/SectionWriters.h"
#include "importer/model/ImportModel.h"
#include "importer/reading/CedxmReader.h"

using Common::Vector2d;
using Common::Vector3d;

namespace {

std::string tempFile(const std::string& name)
{
    const char* env = std::getenv("CEDXM_TEST_TMP");
    std::filesystem::path dir = env != nullptr ? env : std::filesystem::temp_directory_path() / "cedxm_roundtrip";
    dir /= "app_import_roundtrip";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

// A plan with every kind of record; values have one decimal at most, as the
// file keeps them.
void fill(Exporter::ExportModel& m)
{
    m.gridQuadrant = L"1";
    m.gridOrigin = Vector2d(0, 0);
    m.gridSpacing = Vector2d(910, 455.5);
    m.linkFileVersion = L"Ver.6.00";
    m.cadMaker = L"タヴレル株式会社";
    m.cadSoftware = L"DOMORIAP";
    m.cadVersion = L"Ver.8.10 ～β";
    m.outputYear = L"2026";
    m.outputMonth = L"12";
    m.outputDay = L"9";
    m.outputHour = L"0";
    m.outputMinute = L"7";
    m.outputSecond = L"30";
    m.storeysAboveGround = 2;
    m.storeysBelowGround = 1;
    m.structuralLevelByStorey = {{0, -1000.0f}, {1, 0.0f}, {2, 2900.1f}};
    m.referenceFloorLevelByStorey = {{0, -1000.0f}, {1, 500.5f}, {2, 3400.0f}};
    m.foundationHeight = 400.5f;
    m.methodType = 0;
    m.methodName = L"在来";
    m.methodDetailType = 0;
    m.methodDetailName = L"軸組";

    auto room = std::make_unique<Exporter::ExportRoom>();
    room->storey = 1;
    room->name = L"洋室<1> & \"納戸\" 😀";
    room->kindCode = 0;
    room->kindName = L"趣味室";
    room->floorHeight = 500.5;
    room->ceilingHeight = 2400.1;
    room->outline = {Vector2d(0, 0), Vector2d(3640, 0), Vector2d(3640, 2730.5), Vector2d(-0.5, 2730.5)};
    m.rooms.push_back(std::move(room));
    auto kitchen = std::make_unique<Exporter::ExportRoom>();
    kitchen->storey = 2;
    kitchen->name = L"キッチン";
    kitchen->kindCode = 7;
    kitchen->kindName = L"not written for a coded kind";
    m.rooms.push_back(std::move(kitchen));

    auto line = std::make_unique<Exporter::ExportOuterLine>();
    line->storey = 1;
    line->points = {Vector2d(0, 0), Vector2d(0, 910), Vector2d(910, 910), Vector2d(910, 0)};  // clockwise
    m.outerLines.push_back(std::move(line));

    auto wall = std::make_unique<Exporter::ExportWall>();
    wall->storey = 1;
    wall->kindCode = 4;
    wall->start = Vector2d(0, 0);
    wall->end = Vector2d(0, 3640.5);
    wall->thickness = 120.5;
    wall->bottomHeight = 900.1;
    wall->topHeight = 2400.3;
    m.walls.push_back(std::move(wall));

    auto opening = std::make_unique<Exporter::ExportOpening>();
    opening->storey = 2;
    opening->kindCode = 1;
    opening->modelNumber = L"W-1650/1100 ～";
    opening->headHeight = 2000.5;
    opening->width = 1650.5;
    opening->height = 1100.1;
    opening->start = Vector2d(100, 0);
    opening->end = Vector2d(1750.5, 0);
    opening->region3D = {Vector3d(100, 0, 900.4), Vector3d(1750.5, 0, 900.4), Vector3d(1750.5, 0, 2000.5),
                         Vector3d(100, 0, 2000.5)};
    m.openings.push_back(std::move(opening));
    auto door = std::make_unique<Exporter::ExportOpening>();
    door->storey = 1;
    door->kindCode = 3;
    door->start = Vector2d(0, 500);
    door->end = Vector2d(0, 1300);
    door->width = 800;
    m.openings.push_back(std::move(door));

    auto stair = std::make_unique<Exporter::ExportStair>();
    stair->storey = 1;
    stair->form = 3;
    stair->turnAngles = {0, 90, -90.5};
    stair->stepCounts = {4, 3, 6};
    stair->blockOutlines = {{Vector2d(0, 0), Vector2d(910, 0), Vector2d(910, 910)}, {}, {Vector2d(1.5, 2.5)}};
    m.stairs.push_back(std::move(stair));
    m.stairs.push_back(std::make_unique<Exporter::ExportStair>());

    auto roof = std::make_unique<Exporter::ExportRoof>();
    roof->storey = 2;
    roof->baseLineStart = Vector2d(-455, -455);
    roof->baseLineEnd = Vector2d(4095, -455);
    roof->baseHeight = 5800.5;
    roof->pitch = 4.5;
    roof->finishThickness = 30.5;
    roof->eavesShapeCode = 2;
    roof->outline = {Vector2d(-455, -455), Vector2d(4095, -455), Vector2d(4095, 3185), Vector2d(-455, 3185)};
    roof->edgeOffsets = {600.5f, 0.0f, 450.1f, -0.5f};
    m.roofs.push_back(std::move(roof));
}

void expectRoundTrip(bool shiftJis)
{
    Exporter::ExportModel exported;
    fill(exported);
    const std::string path = tempFile(shiftJis ? "roundtrip-sjis.xml" : "roundtrip-utf8.xml");
    std::string error;
    ASSERT_TRUE(Exporter::writeCedxmDocument(exported, path, L"house", shiftJis, error)) << error;

    Importer::ImportModel m(42);
    std::wstring problem;
    ASSERT_TRUE(Importer::loadCedxmFile(m, Common::fromUtf8(path), problem)) << Common::toUtf8(problem);

    EXPECT_EQ(m.ownerWindow, 42);
    EXPECT_EQ(m.gridQuadrant, 1);
    EXPECT_EQ(m.gridOrigin, exported.gridOrigin);
    EXPECT_EQ(m.gridSpacing, exported.gridSpacing);
    EXPECT_EQ(m.linkFileVersion, exported.linkFileVersion);
    EXPECT_EQ(m.cadMaker, exported.cadMaker);
    EXPECT_EQ(m.cadSoftware, exported.cadSoftware);
    EXPECT_EQ(m.cadVersion, exported.cadVersion);
    EXPECT_EQ(m.outputYear, exported.outputYear);
    EXPECT_EQ(m.outputMonth, exported.outputMonth);
    EXPECT_EQ(m.outputDay, exported.outputDay);
    EXPECT_EQ(m.outputHour, exported.outputHour);
    EXPECT_EQ(m.outputMinute, exported.outputMinute);
    EXPECT_EQ(m.outputSecond, exported.outputSecond);
    EXPECT_EQ(m.storeysAboveGround, 2);
    EXPECT_EQ(m.storeysBelowGround, 1);
    // Reference floor heights win over structural levels for the same storey.
    EXPECT_EQ(m.levelByStorey, exported.referenceFloorLevelByStorey);
    EXPECT_EQ(m.foundationHeight, exported.foundationHeight);

    ASSERT_EQ(m.rooms.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& e = *exported.rooms[i];
        const auto& r = *m.rooms[i];
        EXPECT_EQ(r.storey, e.storey);
        EXPECT_EQ(r.name, e.name);
        EXPECT_EQ(r.kindCode, e.kindCode);
        EXPECT_EQ(r.kindName, e.kindCode == 0 ? e.kindName : L"");
        EXPECT_EQ(r.floorHeight, e.floorHeight);
        EXPECT_EQ(r.ceilingHeight, e.ceilingHeight);
        EXPECT_EQ(r.outline, e.outline);
    }
    ASSERT_EQ(m.outerLines.size(), 1u);
    EXPECT_EQ(m.outerLines[0]->storey, 1);
    EXPECT_EQ(m.outerLines[0]->code, 0);
    EXPECT_EQ(m.outerLines[0]->points, exported.outerLines[0]->points);

    ASSERT_EQ(m.walls.size(), 1u);
    const auto& ew = *exported.walls[0];
    const auto& w = *m.walls[0];
    EXPECT_EQ(w.storey, ew.storey);
    EXPECT_EQ(w.kindCode, ew.kindCode);
    EXPECT_EQ(w.start, ew.start);
    EXPECT_EQ(w.end, ew.end);
    EXPECT_EQ(w.thickness, static_cast<float>(ew.thickness));
    EXPECT_EQ(w.bottomHeight, static_cast<double>(static_cast<float>(ew.bottomHeight)));
    EXPECT_EQ(w.topHeight, static_cast<double>(static_cast<float>(ew.topHeight)));

    ASSERT_EQ(m.openings.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& e = *exported.openings[i];
        const auto& o = *m.openings[i];
        EXPECT_EQ(o.storey, e.storey);
        EXPECT_EQ(o.kindCode, e.kindCode);
        EXPECT_EQ(o.modelNumber, e.modelNumber);
        EXPECT_EQ(o.headHeight, e.headHeight);
        EXPECT_EQ(o.height, e.height);
        EXPECT_EQ(o.width, e.width);
        EXPECT_EQ(o.start, e.start);
        EXPECT_EQ(o.end, e.end);
        EXPECT_EQ(o.region3D, e.region3D);
    }

    ASSERT_EQ(m.stairs.size(), 2u);
    EXPECT_EQ(m.stairs[0]->form, 3);
    EXPECT_EQ(m.stairs[0]->turnAngles, exported.stairs[0]->turnAngles);
    EXPECT_EQ(m.stairs[0]->stepCounts, std::vector<int>(exported.stairs[0]->stepCounts.begin(),
                                                        exported.stairs[0]->stepCounts.end()));
    EXPECT_EQ(m.stairs[0]->blockOutlines, exported.stairs[0]->blockOutlines);
    EXPECT_TRUE(m.stairs[1]->blockOutlines.empty());

    ASSERT_EQ(m.roofs.size(), 1u);
    const auto& er = *exported.roofs[0];
    const auto& r = *m.roofs[0];
    EXPECT_EQ(r.storey, er.storey);
    EXPECT_EQ(r.kindCode, 1);
    EXPECT_EQ(r.baseLineStart, er.baseLineStart);
    EXPECT_EQ(r.baseLineEnd, er.baseLineEnd);
    EXPECT_EQ(r.baseHeight, er.baseHeight);
    EXPECT_EQ(r.pitch, er.pitch);
    EXPECT_EQ(r.finishThickness, er.finishThickness);
    EXPECT_EQ(r.eavesShapeCode, er.eavesShapeCode);
    EXPECT_EQ(r.outline, er.outline);
    EXPECT_EQ(r.edgeOffsets, er.edgeOffsets);
}

}  // namespace

TEST(ExportImportRoundTrip, ShiftJisFileReadsBackFieldByField) { expectRoundTrip(true); }

TEST(ExportImportRoundTrip, Utf8FileReadsBackFieldByField) { expectRoundTrip(false); }

TEST(ExportImportRoundTrip, EmptyPlanReadsBackEmpty)
{
    Exporter::ExportModel exported;
    exported.gridQuadrant = L"1";
    exported.methodType = -1;
    const std::string path = tempFile("empty.xml");
    std::string error;
    ASSERT_TRUE(Exporter::writeCedxmDocument(exported, path, L"", true, error)) << error;
    Importer::ImportModel m;
    std::wstring problem;
    ASSERT_TRUE(Importer::loadCedxmFile(m, Common::fromUtf8(path), problem)) << Common::toUtf8(problem);
    EXPECT_TRUE(m.rooms.empty() && m.walls.empty() && m.openings.empty() && m.outerLines.empty() &&
                m.stairs.empty() && m.roofs.empty());
    EXPECT_TRUE(m.levelByStorey.empty());
    EXPECT_EQ(m.gridQuadrant, 1);
}
