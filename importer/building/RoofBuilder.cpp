#include "importer/building/RoofBuilder.h"

#include <cmath>

#include "importer/building/HostArguments.h"

namespace Importer {

using namespace HostArgs;

namespace {

constexpr std::uint32_t kRoofType = 24;
constexpr double kDefaultRoofThickness = 150;

// Removes the host's roofs of the storey: roofs are marked first, then every
// object of the storey is asked to go, which removes the marked ones.
void clearRoofs(Common::HostObject& document, int storey)
{
    for (std::int64_t more = document.call(62).asInteger(); more != 0; more = document.call(63).asInteger()) {
        if (document.call(65).asInteger() != storey) {
            continue;
        }
        if (document.call(64).asInteger() == kRoofType) {
            document.call(160);
        }
        document.call(158);
    }
}

void buildRoof(const ImportRoof& roof, Common::HostObject& document, int storey)
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

    Common::Arguments current{i2(storeyNumber(storey))};
    document.call(39, current);
    Common::Arguments args{doubles(flatten(rotated)), r8(roof.pitch), r8(roof.baseHeight), r8(eavesOffset),
                           i4(0), i4(0), r8(thickness), i4(1)};
    document.call(61, args);
    if (document.call(64).asInteger() == kRoofType) {
        Common::Arguments t{r8(thickness)};
        document.call(219, t);
    }
}

}  // namespace

void buildRoofs(const ImportModel& model, Common::HostObject& document, int roofMode, int storey)
{
    if (roofMode != kRoofsAsManualFaces) {
        return;
    }
    Common::Arguments mark{i2(storeyNumber(storey)), ui1(9)};
    document.call(59, mark);
    clearRoofs(document, storey);
    for (const auto& roof : model.roofs) {
        if (static_cast<long long>(roof->storey) - 1 == storey) {
            buildRoof(*roof, document, storey);
        }
    }
}

}  // namespace Importer
