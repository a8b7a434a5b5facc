// The records each storey builds, sorted out once, against a look through
// the whole model for every storey.

#include <limits>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "importer/building/ModelByStorey.h"

namespace {

using Importer::ImportModel;

// The straightforward answer: every record of the list whose storey is `storey`.
template <typename Record>
std::vector<const Record*> filtered(const std::vector<std::unique_ptr<Record>>& records, int storey)
{
    std::vector<const Record*> out;
    for (const auto& record : records) {
        if (record->storey == storey) {
            out.push_back(record.get());
        }
    }
    return out;
}

TEST(ModelByStoreyTest, EachStoreyGetsItsOwnRecordsInTheModelsOrder)
{
    // Records on storeys -3 to 6 in shuffled order, the extremes of the
    // storey range, and storeys without records of some kinds.
    ImportModel m;
    std::mt19937 rng(16);
    std::uniform_int_distribution<int> storeyOf(-3, 6);
    for (int i = 0; i < 300; ++i) {
        m.rooms.push_back(std::make_unique<Importer::ImportRoom>());
        m.rooms.back()->storey = storeyOf(rng);
        m.walls.push_back(std::make_unique<Importer::ImportWall>());
        m.walls.back()->storey = storeyOf(rng);
        m.openings.push_back(std::make_unique<Importer::ImportOpening>());
        m.openings.back()->storey = storeyOf(rng) % 3;
        m.stairs.push_back(std::make_unique<Importer::ImportStair>());
        m.stairs.back()->storey = storeyOf(rng) / 2;
    }
    m.rooms.back()->storey = std::numeric_limits<int>::min();
    m.walls.front()->storey = std::numeric_limits<int>::max();
    const Importer::ModelByStorey byStorey(m);
    for (int storey : {std::numeric_limits<int>::min(), -4, -3, -1, 0, 1, 3, 6, 7, std::numeric_limits<int>::max()}) {
        const Importer::StoreyRecords built = byStorey.of(storey);
        EXPECT_EQ(built.rooms, filtered(m.rooms, storey)) << storey;
        EXPECT_EQ(built.walls, filtered(m.walls, storey)) << storey;
        EXPECT_EQ(built.openings, filtered(m.openings, storey)) << storey;
        std::vector<const Importer::ImportStair*> stairs;
        for (std::size_t position : built.stairs) {
            stairs.push_back(m.stairs.at(position).get());
        }
        EXPECT_EQ(stairs, filtered(m.stairs, storey)) << storey;
    }
}

}  // namespace
