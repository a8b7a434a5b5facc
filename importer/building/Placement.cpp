#include "importer/building/Placement.h"

#include <algorithm>
#include <cmath>

#include "importer/building/BuildingPass.h"

namespace Importer {

namespace {

// Calls f on every plan coordinate pair the placement moves; `all` adds the
// opening 3D points and the roof base lines, which do not count for the box.
template <typename F>
void forEachPoint(ImportModel& model, bool all, F&& f)
{
    for (auto& r : model.rooms) {
        for (auto& p : r->outline) {
            f(p.x, p.y);
        }
    }
    for (auto& l : model.outerLines) {
        for (auto& p : l->points) {
            f(p.x, p.y);
        }
    }
    for (auto& w : model.walls) {
        f(w->start.x, w->start.y);
        f(w->end.x, w->end.y);
    }
    for (auto& o : model.openings) {
        f(o->start.x, o->start.y);
        f(o->end.x, o->end.y);
        if (all) {
            for (auto& p : o->region3D) {
                f(p.x, p.y);
            }
        }
    }
    for (auto& s : model.stairs) {
        for (auto& outline : s->blockOutlines) {
            for (auto& p : outline) {
                f(p.x, p.y);
            }
        }
    }
    for (auto& r : model.roofs) {
        for (auto& p : r->outline) {
            f(p.x, p.y);
        }
        if (all) {
            f(r->baseLineStart.x, r->baseLineStart.y);
            f(r->baseLineEnd.x, r->baseLineEnd.y);
        }
    }
}

}  // namespace

void flipToFirstQuadrant(ImportModel& model)
{
    const int q = model.gridQuadrant;
    if (q != 2 && q != 3 && q != 4) {
        return;
    }
    const double sx = q == 4 ? 1.0 : -1.0;
    const double sy = q == 2 ? 1.0 : -1.0;
    forEachPoint(model, true, [&](double& x, double& y) {
        x *= sx;
        y *= sy;
    });
    model.gridQuadrant = 1;
}

double gridShift(double a, double m)
{
    if (!(m > 0) || !std::isfinite(a)) {
        return 0;
    }
    // Whole spacings first (what stepping one spacing at a time would reach;
    // the corrections only mend rounding of the quotient and are bounded, as
    // far out k - 1 and k are the same number), then the remainder decides
    // one more, with exactly half a spacing rounding towards zero.
    if (a < 0) {
        double k = std::floor(-a / m);
        for (int i = 0; i < 4 && k > 0 && a + (k - 1) * m > -m; ++i) {
            --k;
        }
        for (int i = 0; i < 4 && a + k * m <= -m; ++i) {
            ++k;
        }
        if (a + k * m < -m / 2) {
            ++k;
        }
        return k * m;
    }
    double k = std::floor(a / m);
    for (int i = 0; i < 4 && k > 0 && a - (k - 1) * m < m; ++i) {
        --k;
    }
    for (int i = 0; i < 4 && a - k * m >= m; ++i) {
        ++k;
    }
    if (a - k * m > m / 2) {
        ++k;
    }
    return -k * m;
}

void moveOrigin(ImportModel& model, OriginPlacement placement)
{
    if (placement == OriginPlacement::Keep) {
        return;
    }
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    if (!model.rooms.empty()) {
        bool first = true;
        forEachPoint(model, false, [&](double& x, double& y) {
            if (first) {
                minX = maxX = x;
                minY = maxY = y;
                first = false;
                return;
            }
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        });
    }
    double ax = 0, ay = 0;
    if (placement == OriginPlacement::LowerLeftNearOrigin) {
        ax = minX;
        ay = minY;
    } else if (placement == OriginPlacement::CentreAtOrigin) {
        ax = (minX + maxX) / 2;
        ay = (minY + maxY) / 2;
    }
    const double dx = gridShift(ax, model.gridSpacing.x);
    const double dy = gridShift(ay, model.gridSpacing.y);
    if (dx != 0 || dy != 0) {
        Common::reportChanged(model.report, L"plan", 0, L"", L"the whole plan was moved by " + Common::reportLength(dx) + L" mm along x and " + Common::reportLength(dy) + L" mm along y (origin option)");
    }
    forEachPoint(model, true, [&](double& x, double& y) {
        x += dx;
        y += dy;
    });
}

}  // namespace Importer
