// The room pass and the wall and opening pass against the simulated host:
// the argument lists they build must be the ones the host accepts, and a
// small plan must come out as worked out by hand.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/host/Binding.h"
#include "exporter/reading/RoomPass.h"
#include "exporter/reading/WallPass.h"
#include "hostsim/HostSession.h"

namespace {

using Common::Vector2d;
using Exporter::ExportModel;

std::filesystem::path tempDir()
{
    const char* env = std::getenv("CEDXM_TEST_TMP");
    std::filesystem::path dir = env != nullptr ? env : std::filesystem::temp_directory_path() / "export_walls_hostsim";
    std::filesystem::create_directories(dir);
    return dir;
}

// Storey 1 at 500, storey height 2900, wall thickness 120 (the defaults).
const char* kPlan = R"({
  "document": {
    "objects": [
      {"type": 19, "storey": 1, "kind": 2, "name": "LDK", "floor": 0, "height": 2400,
       "outline": [[0,0],[0,3000],[4000,3000],[4000,0]]},
      {"type": 19, "storey": 1, "kind": 21, "name": "balcony", "floor": 0, "height": 1000,
       "outline": [[4000,0],[6000,0],[6000,3000],[4000,3000]]},
      {"type": 5, "storey": 1, "centre": [2000,1500], "size": [1000,100], "fullHeight": 0, "bottom": 0, "top": 1200},
      {"type": 21, "storey": 1, "start": [1000,0], "end": [1800,0]},
      {"type": 27, "storey": 1, "fitting": {"part": "W.m3d", "centre": [4000,1500], "sill": 900, "angle": 90,
                                            "width": 1200, "height": 1000}},
      {"type": 22, "storey": 2, "start": [1000,0], "end": [1800,0], "upper": 2000, "lower": 0}
    ]
  }
})";

bool near(const Vector2d& a, const Vector2d& b)
{
    return std::abs(a.x - b.x) < 1e-6 && std::abs(a.y - b.y) < 1e-6;
}

TEST(HostsimWallPass, ASmallPlanComesOutAsWorkedByHand)
{
    const std::filesystem::path planPath = tempDir() / "wallpass_plan.json";
    std::ofstream(planPath) << kPlan;
    auto session = HostSim::HostSession::open(planPath.string(), false);
    Common::HostDocument document = Common::bindHostObject(session->runningObjectTable(), Common::kHostDocumentProgId, 0);
    ASSERT_TRUE(document.isBound());

    ExportModel model;
    Exporter::readRooms(model, document);
    Exporter::readWallsAndOpenings(model, document, 0);

    ASSERT_EQ(model.rooms.size(), 2u);
    EXPECT_EQ(model.rooms[0]->name, L"LDK");
    EXPECT_DOUBLE_EQ(model.rooms[0]->floorHeight, 500);
    EXPECT_DOUBLE_EQ(model.rooms[0]->ceilingHeight, 2900);
    EXPECT_EQ(model.rooms[0]->outline,
              (std::vector<Vector2d>{{4000, 0}, {4000, 3000}, {0, 3000}, {0, 0}}));  // drawn clockwise
    EXPECT_EQ(model.rooms[1]->kindCode, 18);

    // The standing box wall, then the room edges of the living room only:
    // its bottom edge split by the door.
    ASSERT_EQ(model.walls.size(), 6u);
    EXPECT_EQ(model.walls[0]->kindCode, 3);
    EXPECT_EQ(model.walls[0]->start, Vector2d(1500, 1500));
    EXPECT_EQ(model.walls[0]->end, Vector2d(2500, 1500));
    EXPECT_DOUBLE_EQ(model.walls[0]->thickness, 100);
    EXPECT_DOUBLE_EQ(model.walls[0]->bottomHeight, 500);
    EXPECT_DOUBLE_EQ(model.walls[0]->topHeight, 1700);
    int doorSides = 0;
    for (std::size_t i = 1; i < model.walls.size(); ++i) {
        const auto& w = *model.walls[i];
        EXPECT_EQ(w.kindCode, 1);
        EXPECT_DOUBLE_EQ(w.thickness, 120);
        EXPECT_DOUBLE_EQ(w.bottomHeight, 500);
        EXPECT_DOUBLE_EQ(w.topHeight, 2900);
        EXPECT_LE(std::max(w.start.x, w.end.x), 4000 + 1e-6);  // nothing from the balcony
        if ((near(w.start, {0, 0}) && near(w.end, {1000, 0})) || (near(w.start, {1000, 0}) && near(w.end, {0, 0})) ||
            (near(w.start, {1800, 0}) && near(w.end, {4000, 0})) || (near(w.start, {4000, 0}) && near(w.end, {1800, 0}))) {
            ++doorSides;
        }
    }
    EXPECT_EQ(doorSides, 2);
    ASSERT_EQ(model.outerLines.size(), 1u);
    EXPECT_EQ(model.outerLines[0]->points.size(), 4u);

    ASSERT_EQ(model.openings.size(), 2u);
    const auto& door = *model.openings[0];
    EXPECT_EQ(door.kindCode, 3);
    EXPECT_DOUBLE_EQ(door.headHeight, 2900);
    EXPECT_DOUBLE_EQ(door.height, 2400);
    const auto& window = *model.openings[1];
    EXPECT_EQ(window.kindCode, 1);
    EXPECT_DOUBLE_EQ(window.headHeight, 2400);  // 500 + 900 + 1000
    EXPECT_DOUBLE_EQ(window.width, 1200);
    EXPECT_TRUE(near(window.start, {4000, 900}));
    EXPECT_TRUE(near(window.end, {4000, 2100}));
}

}  // namespace
