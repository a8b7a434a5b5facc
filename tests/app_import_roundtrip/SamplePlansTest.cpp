// Every shipped sample plan, exported as DM2CDX does and read back as CDX2DM
// does, gives the exported values as the file holds them ("%.1f").

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "common/host/Binding.h"
#include "common/text/Encoding.h"
#include "exporter/app/ReadingDriver.h"
#include "exporter/model/ExportModel.h"
#include "exporter/writer/SectionWriters.h"
#include "hostsim/HostSession.h"
#include "importer/model/ImportModel.h"
#include "importer/reading/CedxmReader.h"

using Common::Vector2d;
using Common::Vector3d;

namespace {

// The value a number takes on its way through the file.
double viaFile(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    return std::strtod(text, nullptr);
}

Vector2d viaFile(const Vector2d& p) { return Vector2d(viaFile(p.x), viaFile(p.y)); }

std::vector<Vector2d> viaFile(const std::vector<Vector2d>& points)
{
    std::vector<Vector2d> out;
    for (const Vector2d& p : points) {
        out.push_back(viaFile(p));
    }
    return out;
}

void expectNear(const Vector2d& a, const Vector2d& b, const std::string& what)
{
    EXPECT_NEAR(a.x, b.x, 1e-6) << what;
    EXPECT_NEAR(a.y, b.y, 1e-6) << what;
}

}  // namespace

TEST(SamplePlansRoundTrip, EverySamplePlanReadsBackAsExported)
{
    const std::filesystem::path samples = std::filesystem::path(CEDXM_SOURCE_DIR) / "resources" / "samples";
    int plans = 0;
    for (const auto& entry : std::filesystem::directory_iterator(samples)) {
        if (entry.path().extension() != ".json") {
            continue;
        }
        ++plans;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto session = HostSim::HostSession::open(entry.path().string(), false);
        Common::HostApplication application =
            Common::bindHostObject(session->runningObjectTable(), Common::kHostApplicationProgId, 0);
        Common::HostDocument document =
            Common::bindHostObject(session->runningObjectTable(), Common::kHostDocumentProgId, 0);
        ASSERT_TRUE(application.isBound() && document.isBound());

        Exporter::ExportModel e;
        Exporter::runReadingDriver(e, application, document, Common::ExportOptions(), L"", 0);
        const char* env = std::getenv("CEDXM_TEST_TMP");
        std::filesystem::path dir = env != nullptr ? env : std::filesystem::temp_directory_path();
        dir /= "app_import_roundtrip";
        std::filesystem::create_directories(dir);
        const std::string file = (dir / (name + ".xml")).string();
        std::string error;
        ASSERT_TRUE(Exporter::writeCedxmDocument(e, file, L"sample", true, error)) << error;

        Importer::ImportModel m;
        std::wstring problem;
        ASSERT_TRUE(Importer::loadCedxmFile(m, Common::fromUtf8(file), problem)) << Common::toUtf8(problem);

        EXPECT_FALSE(e.rooms.empty());
        EXPECT_EQ(m.gridQuadrant, std::stoi(e.gridQuadrant));
        EXPECT_EQ(m.gridSpacing, viaFile(e.gridSpacing));
        EXPECT_EQ(m.cadVersion, e.cadVersion);
        EXPECT_EQ(m.outputYear, e.outputYear);
        EXPECT_EQ(m.storeysAboveGround, e.storeysAboveGround);
        EXPECT_EQ(m.storeysBelowGround, e.storeysBelowGround);
        std::map<int, float> levels;
        for (const auto& [storey, level] : e.structuralLevelByStorey) {
            levels[storey] = static_cast<float>(viaFile(level));
        }
        for (const auto& [storey, level] : e.referenceFloorLevelByStorey) {
            levels[storey] = static_cast<float>(viaFile(level));
        }
        EXPECT_EQ(m.levelByStorey, levels);
        EXPECT_EQ(m.foundationHeight, static_cast<float>(viaFile(e.foundationHeight)));

        ASSERT_EQ(m.rooms.size(), e.rooms.size());
        for (std::size_t i = 0; i < e.rooms.size(); ++i) {
            EXPECT_EQ(m.rooms[i]->storey, e.rooms[i]->storey);
            EXPECT_EQ(m.rooms[i]->name, e.rooms[i]->name);
            EXPECT_EQ(m.rooms[i]->kindCode, e.rooms[i]->kindCode);
            EXPECT_EQ(m.rooms[i]->floorHeight, viaFile(e.rooms[i]->floorHeight));
            EXPECT_EQ(m.rooms[i]->ceilingHeight, viaFile(e.rooms[i]->ceilingHeight));
            EXPECT_EQ(m.rooms[i]->outline, viaFile(e.rooms[i]->outline));
        }
        ASSERT_EQ(m.outerLines.size(), e.outerLines.size());
        for (std::size_t i = 0; i < e.outerLines.size(); ++i) {
            EXPECT_EQ(m.outerLines[i]->points, viaFile(e.outerLines[i]->points));
        }
        ASSERT_EQ(m.walls.size(), e.walls.size());
        for (std::size_t i = 0; i < e.walls.size(); ++i) {
            const auto& w = *m.walls[i];
            const auto& x = *e.walls[i];
            EXPECT_EQ(w.kindCode, x.kindCode);
            EXPECT_EQ(w.start, viaFile(x.start));
            EXPECT_EQ(w.end, viaFile(x.end));
            EXPECT_EQ(w.thickness, static_cast<float>(viaFile(x.thickness)));
            EXPECT_EQ(w.topHeight, static_cast<double>(static_cast<float>(viaFile(x.topHeight))));
            EXPECT_EQ(w.bottomHeight, static_cast<double>(static_cast<float>(viaFile(x.bottomHeight))));
        }
        ASSERT_EQ(m.openings.size(), e.openings.size());
        for (std::size_t i = 0; i < e.openings.size(); ++i) {
            const auto& o = *m.openings[i];
            const auto& x = *e.openings[i];
            EXPECT_EQ(o.kindCode, x.kindCode);
            EXPECT_EQ(o.modelNumber, x.modelNumber);
            EXPECT_EQ(o.headHeight, viaFile(x.headHeight));
            EXPECT_EQ(o.height, viaFile(x.height));
            EXPECT_EQ(o.region3D.size(), x.region3D.size());
            if (x.region3D.empty()) {
                EXPECT_EQ(o.width, viaFile(x.width));
                EXPECT_EQ(o.start, viaFile(x.start));
                EXPECT_EQ(o.end, viaFile(x.end));
            } else {
                // The exporter's region spans the opening, so fitting keeps it.
                EXPECT_NEAR(o.width, viaFile(x.width), 0.11) << "opening " << i;
                expectNear(o.start, viaFile(x.start), "opening start");
                expectNear(o.end, viaFile(x.end), "opening end");
            }
        }
        ASSERT_EQ(m.stairs.size(), e.stairs.size());
        for (std::size_t i = 0; i < e.stairs.size(); ++i) {
            EXPECT_EQ(m.stairs[i]->form, e.stairs[i]->form);
            ASSERT_EQ(m.stairs[i]->blockOutlines.size(), e.stairs[i]->blockOutlines.size());
            for (std::size_t b = 0; b < e.stairs[i]->blockOutlines.size(); ++b) {
                EXPECT_EQ(m.stairs[i]->turnAngles[b], viaFile(e.stairs[i]->turnAngles[b]));
                EXPECT_EQ(m.stairs[i]->stepCounts[b], e.stairs[i]->stepCounts[b]);
                EXPECT_EQ(m.stairs[i]->blockOutlines[b], viaFile(e.stairs[i]->blockOutlines[b]));
            }
        }
        ASSERT_EQ(m.roofs.size(), e.roofs.size());
        for (std::size_t i = 0; i < e.roofs.size(); ++i) {
            const auto& r = *m.roofs[i];
            const auto& x = *e.roofs[i];
            EXPECT_EQ(r.baseLineStart, viaFile(x.baseLineStart));
            EXPECT_EQ(r.baseLineEnd, viaFile(x.baseLineEnd));
            EXPECT_EQ(r.baseHeight, viaFile(x.baseHeight));
            EXPECT_EQ(r.pitch, viaFile(x.pitch));
            EXPECT_EQ(r.finishThickness, viaFile(x.finishThickness));
            EXPECT_EQ(r.eavesShapeCode, x.eavesShapeCode);
            EXPECT_EQ(r.outline, viaFile(x.outline));
            ASSERT_EQ(r.edgeOffsets.size(), x.edgeOffsets.size());
            for (std::size_t k = 0; k < x.edgeOffsets.size(); ++k) {
                EXPECT_EQ(r.edgeOffsets[k], static_cast<float>(viaFile(x.edgeOffsets[k])));
            }
        }
    }
    EXPECT_GT(plans, 0);
}
