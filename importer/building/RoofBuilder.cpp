#include "importer/building/RoofBuilder.h"

#include <cmath>

#include "common/host/ObjectWalk.h"
#include "importer/building/HostArguments.h"

namespace Importer {

using namespace HostArgs;

namespace {

constexpr std::uint32_t kRoofType = 24;
constexpr double kDefaultRoofThickness = 150;

// Removes the host's roofs of the storey: roofs are marked first, then every
// object of the storey is asked to go, which removes the marked ones.
void clearRoofs(Common::HostDocument& document, int storey)
{
    Common::forEachHostObject(document, [&] {
        if (document.currentObjectStorey() != storey) {
            return;
        }
        if (document.currentObjectType() == kRoofType) {
            document.markCurrentObject();
        }
        document.removeMarkedObject();
    });
}

void buildRoof(const ImportRoof& roof, Common::HostDocument& document, int storey)
{
    const auto& outline = roof.outline;
    const std::size_t n = outline.size();
    std::vector<Vector2d> rotated;
    double eavesOffset = 0;
    if (n >= 2) {
        const Vector2d b0 = roof.baseLineStart;
        const Vector2d u = (roof.baseLineEnd - roof.baseLineStart).unit();
        // The eaves edge lies furthest to the right of the base line.
        std::size_t best = 0;
        double dMin = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double d = Common::cross(u, outline[i] - b0) + Common::cross(u, outline[(i + 1) % n] - b0);
            if (i == 0 || d < dMin) {
                best = i;
                dMin = d;
            }
        }
        rotated.assign(outline.begin() + static_cast<std::ptrdiff_t>(best), outline.end());
        rotated.insert(rotated.end(), outline.begin(), outline.begin() + static_cast<std::ptrdiff_t>(best));
        eavesOffset = std::fabs(dMin) / 2;
    }
    const double thickness = roof.finishThickness == 0 ? kDefaultRoofThickness : roof.finishThickness;

    document.selectStorey(storeyNumber(storey));
    document.newRoofFace(flatten(rotated), roof.pitch, roof.baseHeight, eavesOffset, 0, 0, thickness, 1);
    if (document.currentObjectType() == kRoofType) {
        document.setRoofThickness(thickness);
    }
}

}  // namespace

void buildRoofs(const ImportModel& model, Common::HostDocument& document, RoofMode mode, int storey)
{
    if (mode != RoofMode::ManualFaces) {
        return;
    }
    buildRoofs(model, document, mode, storey, RoofsByStorey(model).builtFrom(storey));
}

void buildRoofs(const ImportModel& model, Common::HostDocument& document, RoofMode mode, int storey,
                const std::vector<const ImportRoof*>& roofs)
{
    if (mode != RoofMode::ManualFaces) {
        return;
    }
    document.writeStoreyFlag(storeyNumber(storey), 9);
    clearRoofs(document, storey);
    for (const ImportRoof* roof : roofs) {
        if (roof->finishThickness == 0) {
            Common::reportChanged(model.report, L"roof", roof->storey, roof->id, L"finish thickness 0 became the default 150 mm");
        }
        buildRoof(*roof, document, storey);
    }
}

}  // namespace Importer
