#include "viewer/drawing/StoreyRecords.h"

#include <map>

namespace Viewer {

std::vector<StoreyRecords> recordsByStorey(const Importer::ImportModel& model)
{
    std::map<int, StoreyRecords> byStorey;
    auto storey = [&](int number) -> StoreyRecords& {
        StoreyRecords& records = byStorey[number];
        records.storey = number;
        return records;
    };
    for (const auto& r : model.rooms) {
        storey(r->storey).rooms.push_back(r.get());
    }
    for (const auto& w : model.walls) {
        storey(w->storey).walls.push_back(w.get());
    }
    for (const auto& l : model.outerLines) {
        storey(l->storey).outerLines.push_back(l.get());
    }
    for (const auto& o : model.openings) {
        storey(o->storey).openings.push_back(o.get());
    }
    for (const auto& s : model.stairs) {
        storey(s->storey).stairs.push_back(s.get());
    }
    for (const auto& r : model.roofs) {
        storey(r->storey).roofs.push_back(r.get());
    }
    std::vector<StoreyRecords> result;
    result.reserve(byStorey.size());
    for (auto& [number, records] : byStorey) {
        result.push_back(std::move(records));
    }
    return result;
}

}  // namespace Viewer
