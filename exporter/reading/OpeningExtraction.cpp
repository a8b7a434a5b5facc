#include "exporter/reading/OpeningExtraction.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "common/geometry/Geometry.h"
#include "exporter/reading/FittingMap.h"

namespace Exporter {

namespace {

constexpr std::uint32_t kDoorObjectType = 8;
constexpr std::uint32_t kFittingObjectType = 27;

constexpr int kWindowLike = 1;
constexpr int kDoorLike = 2;
constexpr int kWithoutFitting = 3;

// Fills the members every opening shares from its segment as the host gave
// it: start and end (lengthened when the layout asks for it) and the
// rectangle in space, whose corners keep the unlengthened ends.
void placeOpening(ExportOpening& opening, const Vector2d& p1, const Vector2d& p2, const OpeningLayout& layout)
{
    opening.start = p1;
    opening.end = p2;
    if (layout.openingExtendType == 1) {
        Common::extendSegment(opening.start, opening.end, layout.wallThickness / 2);
    }
    const double high = opening.headHeight;
    const double low = opening.headHeight - opening.height;
    opening.region3D = {Vector3d(p1.x, p1.y, low), Vector3d(p2.x, p2.y, low), Vector3d(p2.x, p2.y, high),
                        Vector3d(p1.x, p1.y, high)};
}

int fittingKindCode(std::uint32_t objectType, double sill)
{
    if (objectType == kDoorObjectType) {
        return kDoorLike;
    }
    if (objectType == kFittingObjectType) {
        return sill > 0 ? kWindowLike : kDoorLike;
    }
    return kWithoutFitting;
}

}  // namespace

Common::Segment appendWallAttachedOpening(ExportModel& model, int storey, const Vector2d& p1, const Vector2d& p2,
                                          double upper, double lower, const RoomHeightRange& range,
                                          WallAttachedOpening kind, const OpeningLayout& layout)
{
    auto opening = std::make_unique<ExportOpening>();
    opening->storey = storey;
    if (kind == WallAttachedOpening::FullHeight) {
        opening->kindCode = kWithoutFitting;
        opening->headHeight = range.ceilingMax;
        opening->height = range.height();
    } else {
        opening->kindCode = kWindowLike;
        opening->headHeight = range.floorMax + upper;
        opening->height = upper - lower;
    }
    opening->width = (p2 - p1).length();
    placeOpening(*opening, p1, p2, layout);
    const Common::Segment laidOut{opening->start, opening->end};
    model.openings.push_back(std::move(opening));
    return laidOut;
}

void appendFittingOpening(ExportModel& model, const RoomHeightIndex& rooms, Common::HostDocument& document,
                          int storey, const OpeningLayout& layout)
{
    // Fitting name, centre x, centre y, sill, angle, width, height.
    const Common::HostReply fitting = document.readFitting();
    if (!fitting.found()) {
        return;
    }
    const std::wstring name = fitting.text(0);
    const Vector2d centre(fitting.number(1), fitting.number(2));
    const double sill = fitting.number(3);
    const double angle = fitting.number(4) * std::numbers::pi / 180.0;
    const double width = fitting.number(5);
    const double height = fitting.number(6);

    const int kindCode = fittingKindCode(document.currentObjectType(), sill);
    std::wstring modelNumber = lookupModelNumber(model, name);

    const Vector2d halfSpan = Vector2d(std::cos(angle), std::sin(angle)) * (width / 2);
    const Vector2d p1 = centre - halfSpan;
    const Vector2d p2 = centre + halfSpan;
    const RoomHeightRange range = rooms.range(storey, p1, p2);
    if (!range.touchesRoom()) {
        Common::reportLeftOut(model.report, L"opening", storey, L"", L"the fitting " + name + L" touches no room, so it has no height and is not written");
        return;
    }
    if (modelNumber.empty() && !model.fittingTable.empty()) {
        Common::reportChanged(model.report, L"opening", storey, L"", L"the fitting " + name + L" has no model number in the correspondence table and is written as a plain opening");
    }
    auto opening = std::make_unique<ExportOpening>();
    opening->storey = storey;
    opening->kindCode = kindCode;
    opening->modelNumber = std::move(modelNumber);
    opening->headHeight = range.floorMax + sill + height;
    opening->width = width;
    opening->height = height;
    placeOpening(*opening, p1, p2, layout);
    model.openings.push_back(std::move(opening));
}

}  // namespace Exporter
