#include "exporter/reading/RoofPass.h"

#include <cmath>
#include <vector>

#include "common/host/ObjectWalk.h"
#include "common/settings/Profile.h"

namespace Exporter {

namespace {

constexpr std::uint32_t kRoofType = 24;
// An edge counts as running along the base line when the cross product of the
// two unit vectors stays below this.
constexpr double kParallelTolerance = 0.01;
constexpr float kEavesEdgeOffset = 50.0f;

std::int32_t eavesShapeCode(std::int64_t hostValue)
{
    switch (hostValue) {
    case 0: return 2;
    case 1: return 1;
    default: return 0;
    }
}

std::unique_ptr<ExportRoof> readRoof(Common::HostDocument& document, std::int32_t storey)
{
    // The outline array, pitch, height, base line offset, one ignored
    // double, an unsigned 16-bit and an unsigned 32-bit value (ignored), the
    // finish thickness and five unsigned 16-bit values, the first of them
    // the eaves shape.
    const Common::HostReply read = document.readRoof();
    const Common::Arguments& args = read.args;

    auto roof = std::make_unique<ExportRoof>();
    if (args[0].value.type() == Common::VariantType::DoubleArray) {
        const std::vector<double>& values = args[0].value.asDoubles();
        const std::size_t points = values.size() / 2;
        roof->outline.reserve(points);
        for (std::size_t i = 0; i < points; ++i) {
            roof->outline.emplace_back(values[2 * i], values[2 * i + 1]);
        }
    }
    roof->pitch = args[1].value.asNumber();
    roof->baseHeight = args[2].value.asNumber();
    const double offset = args[3].value.asNumber();
    roof->finishThickness = args[7].value.asNumber();
    roof->eavesShapeCode = eavesShapeCode(args[8].value.asInteger());
    roof->storey = storey + 1;

    // The base line runs along the first edge, moved by the offset to the
    // edge's left (the inside of a counter-clockwise face). A face of fewer
    // than two points has no first edge: its base line stays where its only
    // point is (or at the origin).
    const std::vector<Vector2d>& outline = roof->outline;
    Vector2d u;
    if (outline.size() >= 2) {
        u = (outline[1] - outline[0]).unit();
        const Vector2d v(-u.y, u.x);
        roof->baseLineStart = outline[0] + v * offset;
        roof->baseLineEnd = outline[1] + v * offset;
    } else if (outline.size() == 1) {
        roof->baseLineStart = outline[0];
        roof->baseLineEnd = outline[0];
    }

    // Eaves edges: those running the same way as the base line.
    roof->edgeOffsets.reserve(outline.size());
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vector2d e = (outline[(i + 1) % outline.size()] - outline[i]).unit();
        const bool eaves = Common::dot(e, u) > 0 && std::fabs(Common::cross(e, u)) < kParallelTolerance;
        roof->edgeOffsets.push_back(eaves ? kEavesEdgeOffset : 0.0f);
    }
    return roof;
}

}  // namespace

void readRoofs(ExportModel& model, Common::HostDocument& document)
{
    Common::forEachHostObject(document, [&] {
        // The type is asked before and after the storey; the second answer
        // decides.
        document.currentObjectType();
        const std::int32_t storey = document.currentObjectStorey();
        if (document.currentObjectType() == kRoofType) {
            model.roofs.push_back(readRoof(document, storey));
        }
    });
}

void forceRoofGeneration(ExportModel& model, Common::HostDocument& document, const std::wstring& iniPath)
{
    if (model.roofCount() != 0) {
        return;
    }
    const std::wstring setting = Common::readProfileString(L"EXPORT", L"ForceCreateRoof", iniPath);
    if (!setting.empty() && setting != L"TRUE") {
        return;
    }

    const std::int16_t currentStorey = document.currentStorey();
    document.setRebuilding(1);
    // Writing each storey's setting back unchanged while the switch is on
    // makes the host rebuild its storeys, generating roofs for a plan without
    // any.
    for (std::int16_t storey = 1; storey <= 4; ++storey) {
        document.writeStoreyFlag(storey, document.readStoreyFlag(storey));
    }
    document.setRebuilding(0);
    document.selectStorey(currentStorey);

    readRoofs(model, document);
}

}  // namespace Exporter
