#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/host/Binding.h"
#include "exporter/reading/RoofPass.h"
#include "exporter/reading/StairPass.h"
#include "hostsim/HostSession.h"

// The passes against the simulated host, whose operations check the
// argument lists they are given.

namespace {

std::filesystem::path tempDir()
{
    const char* env = std::getenv("CEDXM_TEST_TMP");
    std::filesystem::path dir = env != nullptr ? std::filesystem::path(env) : std::filesystem::temp_directory_path();
    dir /= "export_parts";
    std::filesystem::create_directories(dir);
    return dir;
}

struct Session {
    std::unique_ptr<HostSim::HostSession> session;
    Common::HostDocument document;

    explicit Session(const std::string& planJson)
    {
        const std::filesystem::path path = tempDir() / "plan.json";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << planJson;
        session = HostSim::HostSession::open(path.string(), false);
        document = Common::bindHostObject(session->runningObjectTable(), Common::kHostDocumentProgId, 0);
    }
};

}  // namespace

TEST(SimulatedHost, StairAndRoofAreReadThroughTheHostsOperations)
{
    Session s(R"({"document": {"objects": [
        {"type": 14, "storey": 2, "start": [0, 0], "width": 900, "form": 2, "treads": [250, 250, 250],
         "counts": [8, 6, 0], "patterns": [2, 0], "side": 0, "direction": 0, "formFlag": 0},
        {"type": 19, "storey": 1, "outline": [[0, 0], [100, 0], [100, 100]]},
        {"type": 24, "storey": 2, "outline": [[0, 0], [10000, 0], [10000, 6000], [0, 6000]],
         "pitch": 4, "height": 5800, "baseOffset": 455, "thickness": 30, "eavesShape": 1}
    ]}})");
    ASSERT_TRUE(s.document.isBound());
    Exporter::ExportModel model;
    Exporter::readStairs(model, s.document);
    Exporter::readRoofs(model, s.document);
    ASSERT_EQ(model.stairs.size(), 1u);
    EXPECT_EQ(model.stairs[0]->storey, 2);
    EXPECT_EQ(model.stairs[0]->form, 3);
    EXPECT_EQ(model.stairs[0]->stepCounts, (std::vector<std::int32_t>{7, 3, 5}));
    EXPECT_EQ(model.stairs[0]->turnAngles, (std::vector<double>{0, 270, 0}));
    ASSERT_EQ(model.roofs.size(), 1u);
    EXPECT_EQ(model.roofs[0]->storey, 3);
    EXPECT_EQ(model.roofs[0]->eavesShapeCode, 1);
    EXPECT_EQ(model.roofs[0]->baseLineStart, Exporter::Vector2d(0, 455));
    EXPECT_EQ(model.roofs[0]->edgeOffsets, (std::vector<float>{50, 0, 0, 0}));
}

TEST(SimulatedHost, ForcedGenerationBringsTheGeneratedRoofs)
{
    Session s(R"({"document": {"currentStorey": 2, "objects": [],
        "generatedRoofs": [{"type": 24, "storey": 1, "outline": [[0, 0], [5000, 0], [5000, 4000]]}]}})");
    Exporter::ExportModel model;
    Exporter::readRoofs(model, s.document);
    ASSERT_EQ(model.roofCount(), 0u);
    Exporter::forceRoofGeneration(model, s.document, (tempDir() / "absent.ini").wstring());
    ASSERT_EQ(model.roofCount(), 1u);
    EXPECT_EQ(model.roofs[0]->storey, 2);
    EXPECT_EQ(model.roofs[0]->outline.size(), 3u);
}
