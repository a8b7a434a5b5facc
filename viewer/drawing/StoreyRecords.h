#pragma once

#include <vector>

#include "importer/model/ImportModel.h"

namespace Viewer {

// The records of one storey (層 value) of a file, in file order.
struct StoreyRecords {
    int storey = 0;
    std::vector<const Importer::ImportRoom*> rooms;
    std::vector<const Importer::ImportWall*> walls;
    std::vector<const Importer::ImportOuterLine*> outerLines;
    std::vector<const Importer::ImportOpening*> openings;
    std::vector<const Importer::ImportStair*> stairs;
    std::vector<const Importer::ImportRoof*> roofs;

    std::size_t recordCount() const
    {
        return rooms.size() + walls.size() + outerLines.size() + openings.size() + stairs.size() + roofs.size();
    }
};

// Every storey that holds at least one record, ascending by storey.
std::vector<StoreyRecords> recordsByStorey(const Importer::ImportModel& model);

}  // namespace Viewer
