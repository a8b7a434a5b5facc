#pragma once

#include <map>
#include <memory>
#include <vector>

#include "common/geometry/Vector2.h"
#include "exporter/model/ExportModel.h"

namespace Exporter {

// The heights of the rooms a segment belongs to: the highest floor and,
// taken separately, the highest ceiling. Both are 0 when no room matches.
struct RoomHeightRange {
    double floorMax = 0;
    double ceilingMax = 0;

    // False when no room matched (both heights 0).
    bool touchesRoom() const { return floorMax * floorMax + ceilingMax * ceilingMax > 0; }
    double height() const { return ceilingMax - floorMax; }
};

// A room of `storey` matches when both ends lie inside or on its outline, or
// when the segment runs along its outline; every room of the model counts,
// whatever its kind.
RoomHeightRange roomHeightRange(const ExportModel& model, int storey, const Vector2d& p1, const Vector2d& p2);

// The same answers for many segments: the rooms grouped by storey with their
// boxes worked out once. The model's rooms must not change while it is used.
class RoomHeightIndex {
public:
    explicit RoomHeightIndex(const ExportModel& model);
    RoomHeightRange range(int storey, const Vector2d& p1, const Vector2d& p2) const;

private:
    // The edges of a finely drawn outline by position, so that a segment
    // ending on the outline (every wall line of a round room does) is known
    // to lie on it without walking all its edges.
    struct OutlineEdges;
    struct Entry {
        const ExportRoom* room = nullptr;
        bool boxKnown = false;  // false when an outline value is not finite
        double minX = 0, maxX = 0, minY = 0, maxY = 0;
        std::shared_ptr<const OutlineEdges> edges;  // only for outlines of many points
    };
    static bool insideOrOn(const Entry& e, const Vector2d& p);
    static bool matches(const Entry& e, const Vector2d& p1, const Vector2d& p2);
    struct Storey;
    std::map<int, std::shared_ptr<const Storey>> byStorey_;
};

}  // namespace Exporter
