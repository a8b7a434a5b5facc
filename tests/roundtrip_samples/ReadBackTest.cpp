// Every file the exporter writes for the shipped sample plans, under each
// choice that changes what it writes (openings only or model numbers from the
// fitting table, the first-quadrant shift, openings lengthened by half a wall
// thickness), reads back into an ImportModel whose values equal the export
// model's, field by field, as the file carries them (one decimal).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app_e2e/SampleRuns.h"
#include "common/geometry/Geometry.h"
#include "common/host/Binding.h"
#include "exporter/app/ReadingDriver.h"
#include "exporter/model/ExportModel.h"
#include "exporter/reading/FirstQuadrantShift.h"
#include "exporter/writer/SectionWriters.h"
#include "importer/model/ImportModel.h"
#include "importer/reading/CedxmReader.h"

using Common::Vector2d;
using Common::Vector3d;

namespace {

// A number as the file holds it.
double viaFile(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    return std::strtod(text, nullptr);
}
float viaFileF(double value) { return static_cast<float>(viaFile(value)); }
Vector2d viaFile(const Vector2d& p) { return Vector2d(viaFile(p.x), viaFile(p.y)); }
std::vector<Vector2d> viaFile(const std::vector<Vector2d>& points)
{
    std::vector<Vector2d> out;
    for (const Vector2d& p : points) {
        out.push_back(viaFile(p));
    }
    return out;
}

struct Choice {
    const char* name;
    Common::ExportOptions options;
    int openingExtendType;
};

std::vector<Choice> choices()
{
    const std::wstring table = Common::fromUtf8((E2e::sampleDir() / "features-fittings.csv").string());
    return {
        {"openings only", Common::ExportOptions{0, L"", 0}, 0},
        {"fitting table, first quadrant", Common::ExportOptions{1, table, 1}, 0},
        {"fitting table, openings lengthened", Common::ExportOptions{1, table, 0}, 1},
    };
}

void compare(const Exporter::ExportModel& e, const Importer::ImportModel& m, double halfWall, bool lengthened)
{
    EXPECT_EQ(m.gridQuadrant, std::stoi(e.gridQuadrant));
    EXPECT_EQ(m.gridOrigin, viaFile(e.gridOrigin));
    EXPECT_EQ(m.gridSpacing, viaFile(e.gridSpacing));
    EXPECT_EQ(m.linkFileVersion, e.linkFileVersion);
    EXPECT_EQ(m.cadMaker, e.cadMaker);
    EXPECT_EQ(m.cadSoftware, e.cadSoftware);
    EXPECT_EQ(m.cadVersion, e.cadVersion);
    EXPECT_EQ(m.outputYear + L"-" + m.outputMonth + L"-" + m.outputDay + L" " + m.outputHour + L":" +
                  m.outputMinute + L":" + m.outputSecond,
              e.outputYear + L"-" + e.outputMonth + L"-" + e.outputDay + L" " + e.outputHour + L":" +
                  e.outputMinute + L":" + e.outputSecond);
    EXPECT_EQ(m.storeysAboveGround, e.storeysAboveGround);
    EXPECT_EQ(m.storeysBelowGround, e.storeysBelowGround);
    // Both level tables land in one map; the reference floor level wins.
    std::map<int, float> levels;
    for (const auto& [storey, level] : e.structuralLevelByStorey) {
        levels[storey] = viaFileF(level);
    }
    for (const auto& [storey, level] : e.referenceFloorLevelByStorey) {
        levels[storey] = viaFileF(level);
    }
    EXPECT_EQ(m.levelByStorey, levels);
    EXPECT_TRUE(m.floorLevelByStorey.empty());
    EXPECT_EQ(m.foundationHeight, viaFileF(e.foundationHeight));

    ASSERT_EQ(m.rooms.size(), e.rooms.size());
    for (std::size_t i = 0; i < e.rooms.size(); ++i) {
        SCOPED_TRACE("room " + std::to_string(i));
        const auto& r = *m.rooms[i];
        const auto& x = *e.rooms[i];
        EXPECT_EQ(r.storey, x.storey);
        EXPECT_EQ(r.name, x.name);
        EXPECT_EQ(r.kindCode, x.kindCode);
        EXPECT_EQ(r.kindName, x.kindCode == 0 ? x.kindName : L"");
        EXPECT_EQ(r.floorHeight, viaFile(x.floorHeight));
        EXPECT_EQ(r.ceilingHeight, viaFile(x.ceilingHeight));
        EXPECT_EQ(r.outline, viaFile(x.outline));
    }
    ASSERT_EQ(m.outerLines.size(), e.outerLines.size());
    for (std::size_t i = 0; i < e.outerLines.size(); ++i) {
        SCOPED_TRACE("exterior line " + std::to_string(i));
        EXPECT_EQ(m.outerLines[i]->storey, e.outerLines[i]->storey);
        EXPECT_EQ(m.outerLines[i]->code, Common::runsClockwise(e.outerLines[i]->points) ? 0 : 1);
        EXPECT_EQ(m.outerLines[i]->points, viaFile(e.outerLines[i]->points));
    }
    ASSERT_EQ(m.walls.size(), e.walls.size());
    for (std::size_t i = 0; i < e.walls.size(); ++i) {
        SCOPED_TRACE("wall " + std::to_string(i));
        const auto& w = *m.walls[i];
        const auto& x = *e.walls[i];
        EXPECT_EQ(w.storey, x.storey);
        EXPECT_EQ(w.kindCode, x.kindCode);
        EXPECT_EQ(w.start, viaFile(x.start));
        EXPECT_EQ(w.end, viaFile(x.end));
        EXPECT_EQ(w.thickness, viaFileF(x.thickness));
        EXPECT_EQ(w.topHeight, static_cast<double>(viaFileF(x.topHeight)));
        EXPECT_EQ(w.bottomHeight, static_cast<double>(viaFileF(x.bottomHeight)));
    }
    ASSERT_EQ(m.openings.size(), e.openings.size());
    for (std::size_t i = 0; i < e.openings.size(); ++i) {
        SCOPED_TRACE("opening " + std::to_string(i));
        const auto& o = *m.openings[i];
        const auto& x = *e.openings[i];
        EXPECT_EQ(o.storey, x.storey);
        EXPECT_EQ(o.kindCode, x.kindCode);
        EXPECT_EQ(o.modelNumber, x.modelNumber);
        EXPECT_EQ(o.headHeight, viaFile(x.headHeight));
        EXPECT_EQ(o.height, viaFile(x.height));
        ASSERT_EQ(o.region3D.size(), 4u);
        ASSERT_EQ(x.region3D.size(), 4u);
        for (std::size_t k = 0; k < 4; ++k) {
            const Vector3d& p = x.region3D[k];
            EXPECT_EQ(o.region3D[k], Vector3d(viaFile(p.x), viaFile(p.y), viaFile(p.z))) << "corner " << k;
        }
        // The 3-D region spans the opening before lengthening, and the reader
        // fits the segment to it: a lengthened opening reads back at its own
        // size, on its own line, in its own direction.
        const Vector2d p1(viaFile(x.region3D[0].x), viaFile(x.region3D[0].y));
        const Vector2d p2(viaFile(x.region3D[1].x), viaFile(x.region3D[1].y));
        EXPECT_NEAR(o.width, viaFile(x.width), 0.11);
        EXPECT_NEAR(o.start.x, p1.x, 1e-6);
        EXPECT_NEAR(o.start.y, p1.y, 1e-6);
        EXPECT_NEAR(o.end.x, p2.x, 1e-6);
        EXPECT_NEAR(o.end.y, p2.y, 1e-6);
        // What the file itself says about the span.
        const double length = (x.end - x.start).length();
        EXPECT_NEAR(length, x.width + (lengthened ? 2 * halfWall : 0.0), 1e-6);
    }
    ASSERT_EQ(m.stairs.size(), e.stairs.size());
    for (std::size_t i = 0; i < e.stairs.size(); ++i) {
        SCOPED_TRACE("stair " + std::to_string(i));
        EXPECT_EQ(m.stairs[i]->storey, e.stairs[i]->storey);
        EXPECT_EQ(m.stairs[i]->form, e.stairs[i]->form);
        ASSERT_EQ(m.stairs[i]->blockOutlines.size(), e.stairs[i]->blockOutlines.size());
        ASSERT_EQ(m.stairs[i]->turnAngles.size(), e.stairs[i]->turnAngles.size());
        ASSERT_EQ(m.stairs[i]->stepCounts.size(), e.stairs[i]->stepCounts.size());
        for (std::size_t b = 0; b < e.stairs[i]->blockOutlines.size(); ++b) {
            EXPECT_EQ(m.stairs[i]->turnAngles[b], viaFile(e.stairs[i]->turnAngles[b]));
            EXPECT_EQ(m.stairs[i]->stepCounts[b], e.stairs[i]->stepCounts[b]);
            EXPECT_EQ(m.stairs[i]->blockOutlines[b], viaFile(e.stairs[i]->blockOutlines[b]));
        }
    }
    ASSERT_EQ(m.roofs.size(), e.roofs.size());
    for (std::size_t i = 0; i < e.roofs.size(); ++i) {
        SCOPED_TRACE("roof " + std::to_string(i));
        const auto& r = *m.roofs[i];
        const auto& x = *e.roofs[i];
        EXPECT_EQ(r.storey, x.storey);
        EXPECT_EQ(r.kindCode, 1);
        EXPECT_EQ(r.baseLineStart, viaFile(x.baseLineStart));
        EXPECT_EQ(r.baseLineEnd, viaFile(x.baseLineEnd));
        EXPECT_EQ(r.baseHeight, viaFile(x.baseHeight));
        EXPECT_EQ(r.pitch, viaFile(x.pitch));
        EXPECT_EQ(r.finishThickness, viaFile(x.finishThickness));
        EXPECT_EQ(r.eavesShapeCode, x.eavesShapeCode);
        EXPECT_EQ(r.outline, viaFile(x.outline));
        std::vector<float> offsets;
        for (float v : x.edgeOffsets) {
            offsets.push_back(viaFileF(v));
        }
        EXPECT_EQ(r.edgeOffsets, offsets);
    }
}

TEST(SampleFilesReadBack, EveryChoiceOfEverySamplePlan)
{
    TestSupport::TempFolder folder;
    for (const char* plan : {"house.json", "courtyard.json", "features.json"}) {
        for (const Choice& choice : choices()) {
            SCOPED_TRACE(std::string(plan) + ", " + choice.name);
            const auto session = HostSim::HostSession::open((E2e::sampleDir() / plan).string(), false);
            Common::HostApplication application =
                Common::bindHostObject(session->runningObjectTable(), Common::kHostApplicationProgId, 0);
            Common::HostDocument document =
                Common::bindHostObject(session->runningObjectTable(), Common::kHostDocumentProgId, 0);
            ASSERT_TRUE(application.isBound() && document.isBound());

            Exporter::ExportModel e;
            Exporter::runReadingDriver(e, application, document, choice.options, L"", choice.openingExtendType);
            if (choice.options.originType == 1) {
                Exporter::shiftToFirstQuadrant(e);
            }
            ASSERT_FALSE(e.rooms.empty());
            const std::string file = (folder.path() / "sample.xml").string();
            std::string error;
            ASSERT_TRUE(Exporter::writeCedxmDocument(e, file, L"sample", true, error)) << error;

            Importer::ImportModel m;
            std::wstring problem;
            ASSERT_TRUE(Importer::loadCedxmFile(m, Common::fromUtf8(file), problem)) << Common::toUtf8(problem);
            compare(e, m, 60.0, choice.openingExtendType == 1);
            if (std::string(plan) == "features.json") {
                // The sample really exercises what it is for.
                std::size_t models = 0;
                for (const auto& o : e.openings) {
                    models += o->modelNumber.empty() ? 0 : 1;
                }
                EXPECT_EQ(models, choice.options.fittingType == 1 ? 4u : 0u);
                EXPECT_EQ(e.stairs.size(), 6u);
                EXPECT_EQ(e.roofs.size(), 3u);
            }
        }
    }
}

}  // namespace

namespace {

// Texts that XML would otherwise break or change: "]]>" is not allowed in
// element text, and a reader turns a carriage return into a line feed.
TEST(SampleFilesReadBack, MarkupSequencesAndCarriageReturnsInTextsComeBack)
{
    TestSupport::TempFolder folder;
    Exporter::ExportModel e;
    auto room = std::make_unique<Exporter::ExportRoom>();
    room->storey = 1;
    room->name = L"居間]]>食堂\r\n予備]]]>";
    room->kindName = L"a\rb]]>";
    room->outline = {{0, 0}, {910, 0}, {910, 910}};
    e.rooms.push_back(std::move(room));
    auto opening = std::make_unique<Exporter::ExportOpening>();
    opening->storey = 1;
    opening->kindCode = 1;
    opening->modelNumber = L"AB]]>C\rD";
    e.openings.push_back(std::move(opening));

    for (const bool shiftJis : {true, false}) {
        const std::string file = (folder.path() / "names.xml").string();
        std::string error;
        ASSERT_TRUE(Exporter::writeCedxmDocument(e, file, L"邸]]>", shiftJis, error)) << error;
        Importer::ImportModel m;
        std::wstring problem;
        ASSERT_TRUE(Importer::loadCedxmFile(m, Common::fromUtf8(file), problem)) << Common::toUtf8(problem);
        ASSERT_EQ(m.rooms.size(), 1u);
        EXPECT_EQ(m.rooms[0]->name, L"居間]]>食堂\r\n予備]]]>");
        EXPECT_EQ(m.rooms[0]->kindName, L"a\rb]]>");
        ASSERT_EQ(m.openings.size(), 1u);
        EXPECT_EQ(m.openings[0]->modelNumber, L"AB]]>C\rD");
    }
}

}  // namespace

namespace {

// The writer refuses what the reader would refuse, and nothing less.
TEST(SampleFilesReadBack, LongestTextTheReaderTakesIsWrittenAndNoLonger)
{
    TestSupport::TempFolder folder;
    const std::string file = (folder.path() / "long.xml").string();
    Exporter::ExportModel e;
    auto room = std::make_unique<Exporter::ExportRoom>();
    room->kindCode = 1;
    room->outline = {{0, 0}, {910, 0}, {910, 910}};
    e.rooms.push_back(std::move(room));

    // 3,333,333 three-byte characters and one byte: exactly the limit in UTF-8.
    e.rooms[0]->name = std::wstring(3'333'333, L'居') + L"x";
    std::string error;
    ASSERT_TRUE(Exporter::writeCedxmDocument(e, file, L"p", true, error)) << error;
    Importer::ImportModel m;
    std::wstring problem;
    ASSERT_TRUE(Importer::loadCedxmFile(m, Common::fromUtf8(file), problem)) << Common::toUtf8(problem);
    ASSERT_EQ(m.rooms.size(), 1u);
    EXPECT_EQ(m.rooms[0]->name.size(), 3'333'334u);

    std::filesystem::remove(file);
    e.rooms[0]->name += L"x";
    EXPECT_FALSE(Exporter::writeCedxmDocument(e, file, L"p", true, error));
    EXPECT_NE(error.find("名称"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
