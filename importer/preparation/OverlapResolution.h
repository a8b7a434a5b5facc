#pragma once

#include <memory>
#include <vector>

#include "common/geometry/Vector2.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// Parameters (t0, t1) along reference segment a-b of the stretch that c-d
// covers; equal when the two do not overlap (not collinear within 0.01, or
// touching at a point only).
struct OverlapInterval {
    double t0 = 0;
    double t1 = 0;
    bool overlaps() const { return t0 != t1; }
};

OverlapInterval overlapInterval(const Common::Vector2d& a, const Common::Vector2d& b, const Common::Vector2d& c,
                                const Common::Vector2d& d);

// The point at parameter t along a-b.
Common::Vector2d pointAt(const Common::Vector2d& a, const Common::Vector2d& b, double t);

// Each work list below gives up after 1000 passes per record it started
// with, so that no file can keep the importer busy for ever; `gaveUp` then
// tells that records were left as they were.

// Splits overlapping walls of a storey so that each stretch is held by one
// wall, the one that comes first in the list.
std::vector<std::unique_ptr<ImportWall>> resolveOverlappingWalls(std::vector<std::unique_ptr<ImportWall>> walls,
                                                                 bool& gaveUp);

// Joins overlapping openings: the shared stretch spans both openings' heights.
std::vector<std::unique_ptr<ImportOpening>> mergeOverlappingOpenings(
    std::vector<std::unique_ptr<ImportOpening>> openings, bool& gaveUp);

// Removes the stretches of openings that run along hanging or waist-high
// (not full-height) walls.
std::vector<std::unique_ptr<ImportOpening>> cutOpeningsAtPartialWalls(
    std::vector<std::unique_ptr<ImportOpening>> openings, const std::vector<std::unique_ptr<ImportWall>>& walls,
    bool& gaveUp);

}  // namespace Importer
