#pragma once

#include <cstddef>
#include <vector>

#include "importer/building/RecordsByStorey.h"
#include "importer/model/ImportModel.h"

namespace Importer {

// The records one storey builds, each list in the model's order.
struct StoreyRecords {
    const std::vector<const ImportRoom*>& rooms;
    const std::vector<const ImportWall*>& walls;
    const std::vector<const ImportOpening*>& openings;
    // Positions in the model's stair list: a stair is named by its number.
    const std::vector<std::size_t>& stairs;
};

// The model's rooms, walls, openings and stairs sorted out by storey once for
// a whole building pass, so that a plan of many storeys and many records is
// not looked through once per storey.
class ModelByStorey {
public:
    explicit ModelByStorey(const ImportModel& model)
        : rooms_(model.rooms), walls_(model.walls), openings_(model.openings), stairs_(model.stairs)
    {
    }

    StoreyRecords of(int storey) const
    {
        return StoreyRecords{rooms_.builtFrom(storey), walls_.builtFrom(storey), openings_.builtFrom(storey),
                             stairs_.positionsFrom(storey)};
    }

private:
    RecordsByStorey<ImportRoom> rooms_;
    RecordsByStorey<ImportWall> walls_;
    RecordsByStorey<ImportOpening> openings_;
    RecordsByStorey<ImportStair> stairs_;
};

}  // namespace Importer
