#include <gtest/gtest.h>

#include "common/host/Binding.h"
#include "common/text/Encoding.h"
#include "exporter/reading/RoofPass.h"
#include "exporter/reading/StairPass.h"
#include "hostsim/HostSession.h"
#include "support/TempFolder.h"

// The passes against the simulated host, whose operations check the
// argument lists they are given.

namespace {

// Each test has a folder of its own: CTest runs the tests of this file side
// by side, and a plan file shared between them would be read by the wrong one.
struct Session {
    TestSupport::TempFolder folder;
    std::unique_ptr<HostSim::HostSession> session;
    Common::HostDocument document;

    explicit Session(const std::string& planJson)
    {
        session = HostSim::HostSession::open(folder.write("plan.json", planJson), false);
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
    Exporter::forceRoofGeneration(model, s.document, Common::fromUtf8(s.folder.file("absent.ini")));
    ASSERT_EQ(model.roofCount(), 1u);
    EXPECT_EQ(model.roofs[0]->storey, 2);
    EXPECT_EQ(model.roofs[0]->outline.size(), 3u);
}
