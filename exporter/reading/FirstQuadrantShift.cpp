#include "exporter/reading/FirstQuadrantShift.h"

#include <cmath>
#include <optional>

#include "common/geometry/Range.h"

namespace Exporter {

namespace {

// Points derived through the wall algorithms carry rounding noise of about
// 1e-12; a coordinate this close to 0 is not below it, so a plan lying on the
// axes is not moved a whole grid step by noise.
constexpr double kNotBelowZero = -1e-6;

// Beyond this many grid steps the steps are counted arithmetically instead of
// being added one by one.
constexpr double kMaxSteppedAdditions = 1e6;

class BoxBuilder {
public:
    void widen(const Vector2d& p)
    {
        if (!box_) {
            box_ = Common::Range2d(p, p);
            return;
        }
        box_->min.x = std::fmin(box_->min.x, p.x);
        box_->min.y = std::fmin(box_->min.y, p.y);
        box_->max.x = std::fmax(box_->max.x, p.x);
        box_->max.y = std::fmax(box_->max.y, p.y);
    }
    void widen(const std::vector<Vector2d>& points)
    {
        for (const Vector2d& p : points) {
            widen(p);
        }
    }
    const std::optional<Common::Range2d>& box() const { return box_; }

private:
    std::optional<Common::Range2d> box_;
};

// The box over the plan's rooms, exterior lines, walls, openings, stairs and
// roofs, started at the first room's first point.
std::optional<Common::Range2d> planBox(const ExportModel& model)
{
    BoxBuilder box;
    for (const auto& room : model.rooms) {
        box.widen(room->outline);
    }
    for (const auto& line : model.outerLines) {
        box.widen(line->points);
    }
    for (const auto& wall : model.walls) {
        box.widen(wall->start);
        box.widen(wall->end);
    }
    for (const auto& opening : model.openings) {
        box.widen(opening->start);
        box.widen(opening->end);
    }
    for (const auto& stair : model.stairs) {
        for (const auto& block : stair->blockOutlines) {
            box.widen(block);
        }
    }
    for (const auto& roof : model.roofs) {
        box.widen(roof->outline);
    }
    return box.box();
}

// The whole grid steps that bring `minimum` to 0 or above, as adding `step`
// to it again and again would give. A step of 0 or less, or a minimum that no
// finite shift can lift, leaves the axis where it is.
double axisShift(double minimum, double step)
{
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(minimum) || !(minimum < kNotBelowZero)) {
        return 0;
    }
    const double steps = std::ceil((kNotBelowZero - minimum) / step);
    if (steps <= kMaxSteppedAdditions) {
        // Few enough steps to add them one by one, which reproduces the
        // rounding of the repeated addition exactly.
        double m = minimum;
        double shift = 0;
        for (double i = 0; i < steps + 2 && m < kNotBelowZero; ++i) {
            m += step;
            shift += step;
        }
        if (!(m < kNotBelowZero)) {
            return shift;
        }
    }
    double shift = steps * step;
    if (minimum + shift < kNotBelowZero) {
        shift += step;
    }
    return std::isfinite(shift) ? shift : 0;
}

void move(Vector2d& p, const Vector2d& by)
{
    p = p + by;
}

void move(std::vector<Vector2d>& points, const Vector2d& by)
{
    for (Vector2d& p : points) {
        move(p, by);
    }
}

}  // namespace

void shiftToFirstQuadrant(ExportModel& model)
{
    if (model.rooms.empty()) {
        return;  // a plan without rooms stays where it is
    }
    const std::optional<Common::Range2d> box = planBox(model);
    if (!box) {
        return;
    }
    const Vector2d by(axisShift(box->min.x, model.gridSpacing.x), axisShift(box->min.y, model.gridSpacing.y));
    if (by.x == 0 && by.y == 0) {
        return;
    }
    Common::reportChanged(model.report, L"plan", 0, L"", L"the whole plan was moved by " + Common::reportLength(by.x) + L" mm along x and " + Common::reportLength(by.y) + L" mm along y into the first quadrant");

    for (auto& room : model.rooms) {
        move(room->outline, by);
    }
    for (auto& line : model.outerLines) {
        move(line->points, by);
    }
    for (auto& wall : model.walls) {
        move(wall->start, by);
        move(wall->end, by);
    }
    for (auto& opening : model.openings) {
        move(opening->start, by);
        move(opening->end, by);
        for (Vector3d& corner : opening->region3D) {
            corner.x += by.x;
            corner.y += by.y;
        }
    }
    for (auto& stair : model.stairs) {
        for (auto& block : stair->blockOutlines) {
            move(block, by);
        }
    }
    for (auto& roof : model.roofs) {
        move(roof->outline, by);
        move(roof->baseLineStart, by);
        move(roof->baseLineEnd, by);
    }
}

}  // namespace Exporter
